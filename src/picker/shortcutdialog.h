#pragma once

#include <QDialog>

class GlobalShortcut;
class MainWindow;
class PortalShortcut;
class QPushButton;
class QKeySequenceEdit;
class QLabel;

// "Keyboard Shortcut...": where this program can take a key for itself (X11), the key that
// opens the picker; elsewhere, what the desktop's portal holds (if it has one) and the command
// to bind in the desktop's settings, with a Copy button.
class ShortcutDialog : public QDialog {
    Q_OBJECT
public:
    // `shortcut` is null where no key can be taken, `portal` where no portal is asked.
    ShortcutDialog(MainWindow &main, GlobalShortcut *shortcut, PortalShortcut *portal);

    QKeySequenceEdit *keyField() const { return m_key; }
    QLabel *status() const { return m_status; }
    QLabel *portalStatus() const { return m_portalStatus; }
    QPushButton *askButton() const { return m_ask; }
    // Takes the key in the field (none when empty); false, with the reason shown, when it
    // cannot be taken.
    bool take();

    static QString command() { return QStringLiteral("snapvale --menu"); }

signals:
    // A key was taken (an empty one: none), to be kept for the next start.
    void chosen(const QKeySequence &key);
    // The user asks the desktop's portal (again) for a key.
    void askDesktop();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    MainWindow &m_main;
    GlobalShortcut *m_shortcut;
    QKeySequenceEdit *m_key = nullptr;
    QLabel *m_status = nullptr;
    QLabel *m_portalStatus = nullptr;
    QPushButton *m_ask = nullptr;
    QWidget *m_commandPart = nullptr;
    void showPortalState();
    PortalShortcut *m_portal;
};
