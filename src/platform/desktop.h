#pragma once

#include "platform/keysender.h"

#include <QPoint>
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>

class EntrySession;
class QAction;
class QMenu;
class QObject;
class QWidget;

// What one file dialog is asked for. The filter is in Qt's form ("Name (*.txt);;..."). An open
// dialog also accepts a name that does not exist: the command decides what that means.
struct FileDialogRequest {
    enum Kind { Open, Save };
    Kind kind = Open;
    QString title;
    QString filter;
    QString initialPath;
    bool confirmOverwrite = false;
};

// The filters the file commands offer.
namespace FileFilter {
QString text();
QString sets();
} // namespace FileFilter

// The desktop services that windows call. Windows reach the desktop only through this, so that
// tests can script it: the next dialog's answer, a failing clipboard, the messages shown.
class Desktop {
public:
    virtual ~Desktop() = default;

    // Plain-text clipboard. Each returns false when the clipboard cannot be reached.
    virtual bool clearClipboard() = 0;
    virtual bool clipboardText(QString &text) = 0;
    // Whether the clipboard holds text at all, and not only an image or files.
    virtual bool clipboardHoldsText() = 0;
    virtual bool setClipboardText(const QString &text) = 0;
    // The same text as UTF-8 bytes, which the clipboard may keep as they are, shared.
    virtual bool setClipboardUtf8(const QByteArray &utf8);
    // A password: the text marked as password managers mark theirs
    // (x-kde-passwordManagerHint: secret), so that clipboard history tools leave it out.
    virtual bool setClipboardSecret(const QByteArray &utf8) { return setClipboardUtf8(utf8); }
    // Whether the clipboard's text is so marked (copied from a password manager).
    virtual bool clipboardIsSecret() { return false; }
    // The clipboard's text and its mark, read as one: the mark is looked at before the text and
    // after it, so that a copy that changes while it is read (a password manager clearing its
    // own) counts as secret rather than as plain text.
    struct ClipboardText {
        QString text;
        bool secret = false;
        // As read, where the reader had the bytes (then `text` is empty) and their digest
        // (ClipboardHistory::digestOf) on a thread of its own.
        QByteArray utf8;
        QString digest;
    };
    virtual bool readClipboard(ClipboardText *out);
    // Runs `onCopy` each time another program puts text on the clipboard, never for this
    // program's own copies, with the text and its mark; the clipboard is read only while
    // `wanted` says so. Where the desktop tells only the window that has the keyboard
    // (Wayland), only while one of this program's has it.
    virtual void watchClipboard(std::function<bool()> wanted,
                                std::function<void(const ClipboardText &)> onCopy) {
        Q_UNUSED(wanted);
        Q_UNUSED(onCopy);
    }
    // Everything the clipboard holds, each format by its name, to be put back later as it was
    // (a password manager's mark included). Empty when it holds nothing or cannot be read.
    using Contents = QList<std::pair<QString, QByteArray>>;
    virtual Contents clipboardContents() { return {}; }
    // Puts such contents back; false when they could not be, whole.
    virtual bool setClipboardContents(const Contents &contents) {
        Q_UNUSED(contents);
        return false;
    }
    // Takes `text` off the primary selection (X11's middle-click paste) where Snapvale put it
    // there and it still holds it.
    virtual void clearSelectionHolding(const QString &text) { Q_UNUSED(text); }

    // The chosen file's full path, or the empty string when the user cancelled.
    virtual QString chooseFile(QWidget *parent, const FileDialogRequest &request) = 0;

    // A modal message: OK only, no icon, title "Snapvale".
    virtual void message(QWidget *parent, const QString &text) = 0;
    // A modal question with these buttons (captions with their '&' keys), no icon, title
    // "Snapvale". Returns the index of the button pressed; Esc or the close box give
    // `escapeButton`.
    virtual int ask(QWidget *parent, const QString &text, const QStringList &buttons,
                    int defaultButton, int escapeButton) = 0;
    virtual void beep() = 0;
    // A whole number from `minimum` to `maximum`, starting at `value`, title "Snapvale";
    // false when the user cancelled.
    virtual bool askNumber(QWidget *parent, const QString &text, int minimum, int maximum,
                           int *value) = 0;

    // Opens a web address or a file with the desktop's default handler, never through a shell.
    // False when it could not be opened.
    virtual bool openTarget(const QString &target) = 0;

    // Keeps `window` above other windows, or not. A shown window stays shown.
    virtual void setStackOrder(QWidget *window, bool topmost) = 0;

    // Opens `menu` at `at` (global coordinates) without waiting for it; `defaultAction` is
    // drawn bold.
    virtual void popupMenu(QMenu *menu, QAction *defaultAction, const QPoint &at) = 0;

    // Whether a notification area can show our icon; without one, windows minimise instead
    // of hiding, so that the program can always be reached again.
    virtual bool trayAvailable() const = 0;

    // The window that has the keyboard now, asked before the picker takes it; and pasting the
    // clipboard into it once it has the keyboard back (false: no way to send it keys).
    virtual PasteTarget keyboardTarget() = 0;
    virtual bool pasteInto(const PasteTarget &target) = 0;
    // A short note that asks for nothing and goes away by itself.
    virtual void notice(const QString &text) = 0;
};

// Sets or clears the always-on-top hint of a window, shown or not, leaving it shown or hidden.
void applyStaysOnTop(QWidget *window, bool topmost);

// The clipboard as commands use it: a failure is told to the user ("Error copying to clipboard.
// Please retry.", "Error accessing clipboard. Please retry.") and the result says whether the
// text went to, or came from, the clipboard.
bool copyToClipboard(Desktop &desktop, QWidget *parent, const QString &text);
bool copyToClipboard(Desktop &desktop, QWidget *parent, const QByteArray &utf8);
bool readClipboard(Desktop &desktop, QWidget *parent, QString &text);
bool readClipboard(Desktop &desktop, QWidget *parent, Desktop::ClipboardText *read);
// Entry n to the clipboard, as its copy button puts it: a secret marked, exactly as kept, and
// taken off the clipboard after the session's time if the clipboard still holds it then. False,
// with the reason told, when nothing was copied.
bool copyEntry(Desktop &desktop, QWidget *parent, const EntrySession &session, int n);
// History item k to the clipboard exactly as it was copied; false, with the reason told, when
// nothing was copied.
bool copyHistoryItem(Desktop &desktop, QWidget *parent, const EntrySession &session, int k);
// The text `utf8` of secret entry n (or part of it) to the clipboard in the same way; the
// clearing waits with `context`, which must outlive `parent` where that is a passing window.
bool copySecret(Desktop &desktop, QWidget *parent, QObject *context, const EntrySession &session,
                int n, const QByteArray &utf8);
// Whether the text of entry n may go to a file: true for a plain entry; for a secret, only when
// the Secret Service gave its text and the user, asked, said so.
bool maySaveSecretToFile(Desktop &desktop, QWidget *parent, const EntrySession &session, int n);
// The question alone: whether the user lets secret entry n's text go to a file.
bool askSaveSecret(Desktop &desktop, QWidget *parent, int n);
// Says "The clipboard holds no text." when it holds none; a paste then changes nothing.
bool clipboardHoldsText(Desktop &desktop, QWidget *parent);

// Tells the user that a file or the settings store at `path` could not be written, and why.
void showWriteFailure(Desktop &desktop, QWidget *parent, const QString &path,
                      const QString &reason);
QString writeFailureText(const QString &path, const QString &reason);
// The same for a file that could not be read.
void showReadFailure(Desktop &desktop, QWidget *parent, const QString &path, const QString &reason);
