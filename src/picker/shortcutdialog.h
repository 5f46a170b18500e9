#pragma once

#include <QDialog>

class GlobalShortcut;
class MainWindow;
class QKeySequenceEdit;
class QLabel;

// "Keyboard Shortcut...": where this program can take a key for itself (X11), the key that
// opens the picker; elsewhere, the command to bind in the desktop's settings, with a Copy
// button.
class ShortcutDialog : public QDialog {
    Q_OBJECT
public:
    // `shortcut` is null where no key can be taken.
    ShortcutDialog(MainWindow &main, GlobalShortcut *shortcut);

    QKeySequenceEdit *keyField() const { return m_key; }
    QLabel *status() const { return m_status; }
    // Takes the key in the field (none when empty); false, with the reason shown, when it
    // cannot be taken.
    bool take();

    static QString command() { return QStringLiteral("snapvale --menu"); }

signals:
    // A key was taken (an empty one: none), to be kept for the next start.
    void chosen(const QKeySequence &key);

private:
    MainWindow &m_main;
    GlobalShortcut *m_shortcut;
    QKeySequenceEdit *m_key = nullptr;
    QLabel *m_status = nullptr;
};
