#pragma once

#include <QObject>

class EntrySession;
class MainWindow;

// Entry sets (save, load, delete all 30 entries under a file's path) and single-entry text
// files (load an entry from a file, save it to one).
class SetCommands : public QObject {
    Q_OBJECT
public:
    SetCommands(MainWindow &main, EntrySession &session);

    void saveSet();
    // Loads a chosen set; true when one was loaded.
    bool loadSet();
    void deleteSet();
    void loadEntry(int n);
    void saveEntry(int n);

private:
    QString chooseSet(bool save, const QString &title);

    MainWindow &m_main;
    EntrySession &m_session;
};
