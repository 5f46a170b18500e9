#include "platform/desktop.h"

#include "core/entrysession.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLoggingCategory>
#include <QStringDecoder>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {
// What became of a copied secret, for QT_LOGGING_RULES="snapvale.clipboard.info=true".
Q_LOGGING_CATEGORY(lcClipboard, "snapvale.clipboard", QtWarningMsg)
} // namespace

void applyStaysOnTop(QWidget *window, bool topmost) {
    Qt::WindowFlags flags = window->windowFlags();
    if (flags.testFlag(Qt::WindowStaysOnTopHint) == topmost)
        return;
    flags.setFlag(Qt::WindowStaysOnTopHint, topmost);
    QWindow *handle = window->windowHandle();
    if (handle && window->isVisible()) {
        // A shown window is told directly: new widget flags would re-create its native window,
        // which hides it and costs a round trip to the window system.
        window->overrideWindowFlags(flags);
        handle->setFlags(flags);
        return;
    }
    window->setWindowFlags(flags);
}

bool Desktop::readClipboard(ClipboardText *out) {
    const bool markedBefore = clipboardIsSecret();
    if (!clipboardText(out->text))
        return false;
    out->secret = markedBefore || clipboardIsSecret();
    return true;
}

bool Desktop::setClipboardUtf8(const QByteArray &utf8) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return setClipboardText(decoder.decode(utf8));
}

bool copyEntry(Desktop &desktop, QWidget *parent, const EntrySession &session, int n) {
    if (!session.isSecret(n)) {
        const QByteArray text = session.textToCopy(n);
        // A text that could not be read is copied nowhere (the window says why).
        return !session.entries().isUnreadable(n) && copyToClipboard(desktop, parent, text);
    }
    if (session.secretState(n) != EntrySession::SecretState::Ready) {
        desktop.message(parent,
                        QCoreApplication::translate("Desktop", "Entry %1 is secret, and the Secret "
                                                               "Service did not give its text: it "
                                                               "may be locked.")
                            .arg(n));
        return false;
    }
    return copySecret(desktop, parent, parent, session, n, session.textToCopy(n));
}

bool copySecret(Desktop &desktop, QWidget *parent, QObject *context, const EntrySession &session,
                int n, const QByteArray &utf8) {
    if (!desktop.setClipboardSecret(utf8)) {
        desktop.message(parent, QCoreApplication::translate(
                                    "Desktop", "Error copying to clipboard. Please retry."));
        return false;
    }
    // Only our own copy goes: whatever the user copied since stays.
    const QString copied = QString::fromUtf8(utf8);
    QTimer::singleShot(session.options().secretClearSeconds * 1000, context, [&desktop, copied, n] {
        QString now;
        // The primary selection too, where a paste into a terminal put it.
        desktop.clearSelectionHolding(copied);
        if (desktop.clipboardText(now) && now == copied) {
            desktop.clearClipboard();
            qCInfo(lcClipboard, "entry %d: its secret was cleared from the clipboard", n);
        } else {
            qCInfo(lcClipboard, "entry %d: its secret is no longer on the clipboard", n);
        }
    });
    return true;
}

bool maySaveSecretToFile(Desktop &desktop, QWidget *parent, const EntrySession &session, int n) {
    if (!session.isSecret(n))
        return true;
    if (session.secretState(n) != EntrySession::SecretState::Ready) {
        desktop.message(parent,
                        QCoreApplication::translate("Desktop", "The Secret Service did not give "
                                                               "the text of entry %1: it may be "
                                                               "locked.")
                            .arg(n));
        return false;
    }
    return askSaveSecret(desktop, parent, n);
}

bool askSaveSecret(Desktop &desktop, QWidget *parent, int n) {
    return desktop.ask(parent,
                       QCoreApplication::translate("Desktop",
                                                   "Entry %1 is secret. Save its text to a file, "
                                                   "where anyone who can read the file can read "
                                                   "it?")
                           .arg(n),
                       {QCoreApplication::translate("Desktop", "&Save"),
                        QCoreApplication::translate("Desktop", "&Cancel")},
                       1, 1) == 0;
}

bool copyHistoryItem(Desktop &desktop, QWidget *parent, const EntrySession &session, int k) {
    bool read = false;
    const QByteArray text = session.history().text(k, &read);
    if (!read) {
        desktop.message(parent, QCoreApplication::translate(
                                    "Desktop", "The copied text could not be read from the "
                                               "settings file."));
        return false;
    }
    return copyToClipboard(desktop, parent, text);
}

bool copyToClipboard(Desktop &desktop, QWidget *parent, const QString &text) {
    if (desktop.clearClipboard() && desktop.setClipboardText(text))
        return true;
    desktop.message(parent, QCoreApplication::translate(
                                "Desktop", "Error copying to clipboard. Please retry."));
    return false;
}

bool copyToClipboard(Desktop &desktop, QWidget *parent, const QByteArray &utf8) {
    if (desktop.clearClipboard() && desktop.setClipboardUtf8(utf8))
        return true;
    desktop.message(parent, QCoreApplication::translate(
                                "Desktop", "Error copying to clipboard. Please retry."));
    return false;
}

bool readClipboard(Desktop &desktop, QWidget *parent, QString &text) {
    Desktop::ClipboardText read;
    if (!readClipboard(desktop, parent, &read))
        return false;
    text = read.text;
    return true;
}

bool readClipboard(Desktop &desktop, QWidget *parent, Desktop::ClipboardText *read) {
    if (desktop.readClipboard(read))
        return true;
    // Over a modal window, so that the message is seen where the user is.
    QWidget *modal = QApplication::activeModalWidget();
    desktop.message(
        modal ? modal : parent,
        QCoreApplication::translate("Desktop", "Error accessing clipboard. Please retry."));
    return false;
}

bool clipboardHoldsText(Desktop &desktop, QWidget *parent) {
    if (desktop.clipboardHoldsText())
        return true;
    QWidget *modal = QApplication::activeModalWidget();
    desktop.message(modal ? modal : parent,
                    QCoreApplication::translate("Desktop", "The clipboard holds no text."));
    return false;
}

QString writeFailureText(const QString &path, const QString &reason) {
    return QCoreApplication::translate("Desktop", "Snapvale could not write %1\r\n%2")
        .arg(path, reason);
}

void showWriteFailure(Desktop &desktop, QWidget *parent, const QString &path,
                      const QString &reason) {
    desktop.message(parent, writeFailureText(path, reason));
}

void showReadFailure(Desktop &desktop, QWidget *parent, const QString &path,
                     const QString &reason) {
    desktop.message(parent,
                    QCoreApplication::translate("Desktop", "Snapvale could not read %1\r\n%2")
                        .arg(path, reason));
}

QString FileFilter::text() {
    return QCoreApplication::translate("Desktop", "Text Files (*.txt);;All Files (*.*)");
}

QString FileFilter::sets() {
    return QCoreApplication::translate("Desktop", "Entry Sets (*.ent)");
}
