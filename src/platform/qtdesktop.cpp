#include "platform/qtdesktop.h"

#include "core/clipboardhistory.h"
#include "platform/wlclipboardwatch.h"
#ifdef SNAPVALE_HAVE_XTEST
#include "platform/x11.h"
#include "platform/x11clipboardreader.h"
#endif

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolTip>
#include <QUrl>

namespace {

// Wayland gives the clipboard only to a focused window, and Snapvale copies from the tray and the
// command line with its window hidden. Compositors with the data-control protocol (sway and the
// other wlroots ones, KDE Plasma) give it to wl-clipboard's wl-copy and wl-paste without focus.
// GNOME has no such protocol, but shares the X11 clipboard, which Snapvale then reaches through
// XWayland.
bool wlClipboard() {
    static const bool use = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
                            !qEnvironmentVariable("XDG_CURRENT_DESKTOP")
                                 .contains(QLatin1String("GNOME"), Qt::CaseInsensitive) &&
                            !QStandardPaths::findExecutable(QStringLiteral("wl-copy")).isEmpty() &&
                            !QStandardPaths::findExecutable(QStringLiteral("wl-paste")).isEmpty();
    return use;
}

// Whether the event being handled now is a key or a click in one of Snapvale's windows.
bool handlingInput = false;

class InputWatch : public QObject {
public:
    bool eventFilter(QObject *, QEvent *event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
            if (!handlingInput) {
                handlingInput = true;
                // Over once the event has been handled and the loop runs again.
                QTimer::singleShot(0, [] { handlingInput = false; });
            }
            break;
        default:
            break;
        }
        return false;
    }
};

// For a key or a click in a Snapvale window, the window reaches the clipboard itself: every
// compositor takes a focused window's copy made for a fresh input event, and without
// data-control (GNOME) wl-copy and wl-paste would each open a window of their own to get the
// keyboard, racing with ours. wl-clipboard stands in for the rest: the tray, the command line.
bool viaWlClipboard() {
    return wlClipboard() && !(handlingInput && QGuiApplication::focusWindow());
}

// Runs one of wl-clipboard's commands; the exit status, or -1 when it did not run.
int runWl(const QString &program, const QStringList &arguments, const QByteArray &input = {},
          QByteArray *output = nullptr) {
    QProcess process;
    // wl-copy leaves a process that serves the text: it must not hold our output open.
    if (!output)
        process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForStarted(5000))
        return -1;
    if (!input.isNull())
        process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        return -1;
    }
    if (output)
        *output = process.readAllStandardOutput();
    return process.exitCode();
}

} // namespace

QtDesktop::QtDesktop() {
    if (wlClipboard()) {
        static InputWatch watch;
        qApp->installEventFilter(&watch);
    }
}

bool QtDesktop::clearClipboard() {
    if (viaWlClipboard())
        return runWl(QStringLiteral("wl-copy"), {QStringLiteral("--clear")}) == 0;
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->clear(QClipboard::Clipboard);
    return true;
}

bool QtDesktop::clipboardText(QString &text) {
    if (viaWlClipboard()) {
        QByteArray bytes;
        const int status = runWl(
            QStringLiteral("wl-paste"),
            {QStringLiteral("--no-newline"), QStringLiteral("--type"), QStringLiteral("text")}, {},
            &bytes);
        if (status < 0)
            return false;
        // A clipboard with nothing on it reads as the empty text.
        text = status == 0 ? QString::fromUtf8(bytes) : QString();
        return true;
    }
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    text = clipboard->text(QClipboard::Clipboard);
    return true;
}

bool QtDesktop::clipboardHoldsText() {
    if (viaWlClipboard()) {
        QByteArray types;
        // Nothing on the clipboard (or no answer) is no text: a paste must not empty an entry.
        if (runWl(QStringLiteral("wl-paste"), {QStringLiteral("--list-types")}, {}, &types) != 0)
            return false;
        for (const QByteArray &type : types.split('\n')) {
            if (type.startsWith("text/") || type == "UTF8_STRING" || type == "STRING" ||
                type == "TEXT")
                return true;
        }
        return false;
    }
    const QClipboard *clipboard = QGuiApplication::clipboard();
    const QMimeData *data = clipboard ? clipboard->mimeData(QClipboard::Clipboard) : nullptr;
    return data && data->hasText();
}

bool QtDesktop::setClipboardText(const QString &text) {
    if (viaWlClipboard())
        return setClipboardUtf8(text.toUtf8());
    s_lastOwnCopy = text.toUtf8();
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->setText(text, QClipboard::Clipboard);
    return true;
}

bool QtDesktop::setClipboardUtf8(const QByteArray &utf8) {
    s_lastOwnCopy = utf8;
    if (viaWlClipboard())
        return runWl(QStringLiteral("wl-copy"),
                     {QStringLiteral("--type"), QStringLiteral("text/plain;charset=utf-8")},
                     utf8) == 0;
    return setClipboardData(utf8, false);
}

namespace {
const QString passwordHint = QStringLiteral("x-kde-passwordManagerHint");
} // namespace

QByteArray QtDesktop::s_lastOwnCopy;

void QtDesktop::watchClipboard(std::function<bool()> wanted,
                               std::function<void(const ClipboardText &)> onCopy) {
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return;
    // Where the compositor tells wl-paste of every copy, Qt, which hears only while a window of
    // ours has the keyboard, is not asked at all. The watcher runs only while a copy is wanted.
    if (wlClipboard() && WlClipboardWatch::available()) {
        auto *watch = new WlClipboardWatch(clipboard);
        QObject::connect(watch, &WlClipboardWatch::copied, watch,
                         [wanted, onCopy](const QByteArray &utf8) {
                             if (!wanted())
                                 return;
                             if (!s_lastOwnCopy.isNull() && utf8 == s_lastOwnCopy) {
                                 s_lastOwnCopy = QByteArray();
                                 return;
                             }
                             onCopy({QString(), false, utf8, {}});
                         });
        auto *poll = new QTimer(watch);
        QObject::connect(poll, &QTimer::timeout, watch, [watch, wanted] {
            if (wanted())
                watch->start();
            else
                watch->stop();
        });
        poll->start(1000);
        if (wanted())
            watch->start();
        // Ended with the program, not left serving a dead pipe.
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, watch, &WlClipboardWatch::stop);
        return;
    }
#ifdef SNAPVALE_HAVE_XTEST
    // On X11 the text is read on a thread of its own: Qt would wait on this one for every part of
    // a large copy.
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        xcb_connection_t *own = X11::connection();
        const xcb_setup_t *setup = own ? xcb_get_setup(own) : nullptr;
        if (std::unique_ptr<X11ClipboardReader> opened = X11ClipboardReader::open(
                ClipboardHistory::maxTextBytes, setup ? setup->resource_id_base : 0,
                setup ? setup->resource_id_mask : 0, clipboard)) {
            X11ClipboardReader *reader = opened.release();
            QObject::connect(reader, &X11ClipboardReader::read, reader,
                             [wanted, onCopy](const QByteArray &utf8, const QString &digest,
                                              bool secret, bool ok) {
                                 if (!ok || secret || utf8.isEmpty() || !wanted())
                                     return;
                                 if (!s_lastOwnCopy.isNull() && utf8 == s_lastOwnCopy) {
                                     s_lastOwnCopy = QByteArray();
                                     return;
                                 }
                                 onCopy({QString(), false, utf8, digest});
                             });
            QObject::connect(clipboard, &QClipboard::dataChanged, reader,
                             [clipboard, reader, wanted] {
                                 if (!clipboard->ownsClipboard() && wanted())
                                     reader->request();
                             });
            return;
        }
    }
#endif
    QObject::connect(clipboard, &QClipboard::dataChanged, clipboard, [=, this] {
        // Read once the change has been taken in, not inside the event that reports it.
        QMetaObject::invokeMethod(
            clipboard,
            [=, this] {
                if (clipboard->ownsClipboard() || !wanted())
                    return;
                // Qt's own offer, never wl-paste: on GNOME that opens a window of its own to get
                // the keyboard, and every such change would start another.
                const QMimeData *data = clipboard->mimeData(QClipboard::Clipboard);
                if (!data || !data->hasText())
                    return;
                const bool markedBefore = data->data(passwordHint).trimmed() == "secret";
                ClipboardText copied{data->text(), false, {}, {}};
                copied.secret = markedBefore || data->data(passwordHint).trimmed() == "secret";
                if (copied.text.isEmpty())
                    return;
                if (!s_lastOwnCopy.isNull() && copied.text.toUtf8() == s_lastOwnCopy)
                    return;
                s_lastOwnCopy = QByteArray();
                onCopy(copied);
            },
            Qt::QueuedConnection);
    });
}

bool QtDesktop::setClipboardData(const QByteArray &utf8, bool secret) {
    s_lastOwnCopy = utf8;
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    // The entry's own bytes, shared: a program that pastes gets them as UTF-8 text, and no
    // second copy of a large text is kept for the clipboard.
    auto *data = new QMimeData;
    data->setData(QStringLiteral("text/plain"), utf8);
    data->setData(QStringLiteral("text/plain;charset=utf-8"), utf8);
    if (secret)
        data->setData(passwordHint, QByteArrayLiteral("secret"));
    clipboard->setMimeData(data, QClipboard::Clipboard);
    return true;
}

bool QtDesktop::setClipboardSecret(const QByteArray &utf8) {
    // wl-copy serves one type only: the text goes without the mark there.
    if (viaWlClipboard())
        return setClipboardUtf8(utf8);
    return setClipboardData(utf8, true);
}

bool QtDesktop::clipboardIsSecret() {
    if (viaWlClipboard()) {
        QByteArray types;
        if (runWl(QStringLiteral("wl-paste"), {QStringLiteral("--list-types")}, {}, &types) != 0)
            return false;
        return types.split('\n').contains(passwordHint.toLatin1());
    }
    const QClipboard *clipboard = QGuiApplication::clipboard();
    const QMimeData *data = clipboard ? clipboard->mimeData(QClipboard::Clipboard) : nullptr;
    return data && data->data(passwordHint).trimmed() == "secret";
}

QString QtDesktop::chooseFile(QWidget *parent, const FileDialogRequest &request) {
    QFileDialog dialog(parent, request.title);
    dialog.setNameFilter(request.filter);
    dialog.setAcceptMode(request.kind == FileDialogRequest::Save ? QFileDialog::AcceptSave
                                                                 : QFileDialog::AcceptOpen);
    // An open dialog also takes a name that does not exist; the command decides what that means.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    // The folder last used, or the user's home: never the folder the program was started in.
    dialog.setDirectory(m_lastFolder.isEmpty() ? QDir::homePath() : m_lastFolder);
    // A name typed without an extension takes the filter's, so that "work" is saved as a set
    // the Load dialog shows.
    static const QRegularExpression firstExtension(QStringLiteral("\\*\\.(\\w+)"));
    if (request.kind == FileDialogRequest::Save)
        dialog.setDefaultSuffix(firstExtension.match(request.filter).captured(1));
    if (!request.initialPath.isEmpty())
        dialog.selectFile(request.initialPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString chosen = dialog.selectedFiles().constFirst();
    m_lastFolder = QFileInfo(chosen).absolutePath();
    return chosen;
}

void QtDesktop::message(QWidget *parent, const QString &text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Snapvale"), text, QMessageBox::Ok, parent);
    box.exec();
}

bool QtDesktop::askNumber(QWidget *parent, const QString &text, int minimum, int maximum,
                          int *value) {
    bool ok = false;
    const int chosen = QInputDialog::getInt(parent, QStringLiteral("Snapvale"), text, *value,
                                            minimum, maximum, 1, &ok);
    if (ok)
        *value = chosen;
    return ok;
}

int QtDesktop::ask(QWidget *parent, const QString &text, const QStringList &buttons,
                   int defaultButton, int escapeButton) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Snapvale"), text, QMessageBox::NoButton,
                    parent);
    QList<QAbstractButton *> added;
    for (const QString &caption : buttons)
        added << box.addButton(caption, QMessageBox::ActionRole);
    box.setDefaultButton(qobject_cast<QPushButton *>(added.value(defaultButton)));
    box.setEscapeButton(added.value(escapeButton));
    box.exec();
    const int pressed = int(added.indexOf(box.clickedButton()));
    return pressed < 0 ? escapeButton : pressed;
}

void QtDesktop::beep() {
    QApplication::beep();
}

bool QtDesktop::openTarget(const QString &target) {
    if (target.isEmpty())
        return false;
    // The text goes to the opener as one URL: no shell ever sees it.
    QUrl url(target, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty() || url.scheme().size() == 1)
        url = QFileInfo::exists(target) ? QUrl::fromLocalFile(target) : QUrl::fromUserInput(target);
    if (!url.isValid())
        return false;
    return QDesktopServices::openUrl(url);
}

void QtDesktop::setStackOrder(QWidget *window, bool topmost) {
    applyStaysOnTop(window, topmost);
}

void QtDesktop::popupMenu(QMenu *menu, QAction *defaultAction, const QPoint &at) {
    menu->setDefaultAction(defaultAction);
    menu->popup(at);
}

bool QtDesktop::trayAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

PasteTarget QtDesktop::keyboardTarget() {
    return KeySender::keyboardTarget();
}

namespace {

// A copy of every format `data` holds, to be kept after its owner has moved on.
QMimeData *copyOf(const QMimeData &data) {
    auto *copy = new QMimeData;
    for (const QString &format : data.formats())
        copy->setData(format, data.data(format));
    return copy;
}

} // namespace

bool QtDesktop::pasteInto(const PasteTarget &target) {
    // Shift+Insert pastes the primary selection: it gets the same data first, a password's
    // mark included, and loses it again with the clipboard (clearSelectionHolding).
    if (KeySender::pasteKeysFor(target.windowClass) == KeySender::PasteKeys::ShiftInsert) {
        QClipboard *clipboard = QGuiApplication::clipboard();
        if (clipboard->supportsSelection()) {
            if (const QMimeData *data = clipboard->mimeData(QClipboard::Clipboard))
                clipboard->setMimeData(copyOf(*data), QClipboard::Selection);
        }
    }
    return KeySender::paste(target);
}

void QtDesktop::clearSelectionHolding(const QString &text) {
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (clipboard && clipboard->supportsSelection() && clipboard->ownsSelection() &&
        clipboard->text(QClipboard::Selection) == text)
        clipboard->clear(QClipboard::Selection);
}

Desktop::Contents QtDesktop::clipboardContents() {
    Contents contents;
    if (viaWlClipboard()) {
        // wl-paste serves one type at a time: the text, and the mark where there is one.
        QString text;
        if (clipboardHoldsText() && clipboardText(text)) {
            contents.append({QStringLiteral("text/plain;charset=utf-8"), text.toUtf8()});
            if (clipboardIsSecret())
                contents.append({passwordHint, QByteArrayLiteral("secret")});
        }
        return contents;
    }
    const QClipboard *clipboard = QGuiApplication::clipboard();
    const QMimeData *data = clipboard ? clipboard->mimeData(QClipboard::Clipboard) : nullptr;
    if (!data)
        return contents;
    for (const QString &format : data->formats())
        contents.append({format, data->data(format)});
    return contents;
}

bool QtDesktop::setClipboardContents(const Contents &contents) {
    if (viaWlClipboard()) {
        // wl-copy cannot carry the mark: a marked copy is not put back unmarked.
        QByteArray text;
        for (const auto &[format, bytes] : contents) {
            if (format == passwordHint)
                return false;
            if (format.startsWith(QLatin1String("text/plain")))
                text = bytes;
        }
        return setClipboardUtf8(text);
    }
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    auto *data = new QMimeData;
    for (const auto &[format, bytes] : contents)
        data->setData(format, bytes);
    clipboard->setMimeData(data, QClipboard::Clipboard);
    return true;
}

void QtDesktop::notice(const QString &text) {
    constexpr int shownMs = 4000;
    QToolTip::showText(QCursor::pos(), text, nullptr, {}, shownMs);
}
