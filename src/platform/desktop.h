#pragma once

#include <QPoint>
#include <QString>

class QAction;
class QMenu;
class QWidget;

// What one file dialog is asked for. The filter is already in Qt's form ("Name (*.txt);;...").
struct FileDialogRequest {
    enum Kind { Open, Save };
    Kind kind = Open;
    QString title;
    QString filter;
    QString initialPath;
    bool confirmOverwrite = false;
};

// The desktop services that windows call. Windows reach the desktop only through this, so that
// tests can script it: the next dialog's answer, a failing clipboard, the messages shown.
class Desktop {
public:
    virtual ~Desktop() = default;

    // Plain-text clipboard. Each returns false when the clipboard cannot be reached.
    virtual bool clearClipboard() = 0;
    virtual bool clipboardText(QString &text) = 0;
    virtual bool setClipboardText(const QString &text) = 0;

    // The chosen file's full path, or the empty string when the user cancelled.
    virtual QString chooseFile(QWidget *parent, const FileDialogRequest &request) = 0;

    // A modal message: OK only, no icon, title "Snapvale".
    virtual void message(QWidget *parent, const QString &text) = 0;
    virtual void beep() = 0;

    // Opens a web address or a file with the desktop's default handler, never through a shell.
    // Returns a status: 32 or less means the open failed.
    virtual int openTarget(const QString &target) = 0;

    // Keeps `window` above other windows, or not. A shown window stays shown.
    virtual void setStackOrder(QWidget *window, bool topmost) = 0;

    // Opens `menu` at `at` (global coordinates) without waiting for it; `defaultAction` is
    // drawn bold.
    virtual void popupMenu(QMenu *menu, QAction *defaultAction, const QPoint &at) = 0;

    // Whether a notification area can show our icon; without one, windows minimise instead
    // of hiding, so that the program can always be reached again.
    virtual bool trayAvailable() const = 0;
};

// Sets or clears the always-on-top hint of a window, shown or not, leaving it shown or hidden.
void applyStaysOnTop(QWidget *window, bool topmost);
