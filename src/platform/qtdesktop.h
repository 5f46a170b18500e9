#pragma once

#include "platform/desktop.h"

// The desktop as Qt reaches it: QClipboard, QFileDialog, QMessageBox, QDesktopServices and
// QSystemTrayIcon.
class QtDesktop : public Desktop {
public:
    QtDesktop();
    bool clearClipboard() override;
    bool clipboardText(QString &text) override;
    bool clipboardHoldsText() override;
    bool setClipboardText(const QString &text) override;
    bool setClipboardUtf8(const QByteArray &utf8) override;
    bool setClipboardSecret(const QByteArray &utf8) override;
    bool clipboardIsSecret() override;
    Contents clipboardContents() override;
    bool setClipboardContents(const Contents &contents) override;
    void clearSelectionHolding(const QString &text) override;
    QString chooseFile(QWidget *parent, const FileDialogRequest &request) override;
    void message(QWidget *parent, const QString &text) override;
    bool askNumber(QWidget *parent, const QString &text, int minimum, int maximum,
                   int *value) override;
    int ask(QWidget *parent, const QString &text, const QStringList &buttons, int defaultButton,
            int escapeButton) override;
    void beep() override;
    bool openTarget(const QString &target) override;
    void setStackOrder(QWidget *window, bool topmost) override;
    void popupMenu(QMenu *menu, QAction *defaultAction, const QPoint &at) override;
    bool trayAvailable() const override;
    PasteTarget keyboardTarget() override;
    bool pasteInto(const PasteTarget &target) override;
    void notice(const QString &text) override;
    void watchClipboard(std::function<bool()> wanted,
                        std::function<void(const ClipboardText &)> onCopy) override;

private:
    // The text on the X11 or Qt clipboard, marked as a password when `secret`.
    static bool setClipboardData(const QByteArray &utf8, bool secret);

    QString m_lastFolder;
    // What this program put on the clipboard last: wl-copy's offer comes back as another
    // program's once a window of ours has the keyboard.
    static QByteArray s_lastOwnCopy;
};
