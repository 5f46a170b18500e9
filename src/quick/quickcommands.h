#pragma once

#include <QObject>
#include <QPointer>

class ClippingsWindow;
class MainWindow;

// Naming an entry, opening an entry's text as a web address, and the frequently used clippings.
class QuickCommands : public QObject {
    Q_OBJECT
public:
    explicit QuickCommands(MainWindow &main);

    void nameEntry(int n);
    void openAsUrl(int n);
    void editClippings();
    // Puts clipping k, without its leading and trailing spaces, on the clipboard.
    void copyClipping(int k);
    // The frequent clippings' editor, created hidden when it does not exist yet.
    ClippingsWindow *clippingsWindow();

private:
    void reportIfEmpty(int n);

    MainWindow &m_main;
    QPointer<ClippingsWindow> m_clippings;
};
