#include "app/remotecontrol.h"

#include "core/text.h"
#include "main/mainwindow.h"
#include "platform/desktop.h"

#include <QApplication>
#include <QDateTime>

#include <functional>

namespace {

// Runs `then` once entry n's secret is no longer being fetched from the Secret Service: at
// once for any other entry. A command right after the start waits for the keyring's answer
// instead of taking the entry as empty.
void whenSecretKnown(EntrySession &session, int n, const std::function<void()> &then) {
    if (!session.isSecret(n) || session.secretState(n) != EntrySession::SecretState::Loading) {
        then();
        return;
    }
    auto *waiter = new QObject(&session);
    QObject::connect(&session.entries(), &EntryStore::entryChanged, waiter,
                     [&session, waiter, n, then](int changed) {
                         if (changed != n ||
                             (session.isSecret(n) &&
                              session.secretState(n) == EntrySession::SecretState::Loading))
                             return;
                         QObject::disconnect(&session.entries(), nullptr, waiter, nullptr);
                         waiter->deleteLater();
                         then();
                     });
}

} // namespace

QByteArray entryListing(const EntrySession &session) {
    const EntryStore &entries = session.entries();
    QByteArray out;
    for (int n = 1; n <= EntryStore::Count; ++n) {
        // What reaches a terminal has no control characters: a name or a text could move the
        // cursor, retitle the window or hide the lines before it. A secret entry is listed by
        // its name only.
        const QString name = entries.name(n);
        out += QString::number(n).toUtf8() + '\t' + Text::terminalLine(name, name.size()).toUtf8() +
               '\t' +
               (entries.isSecret(n) ? QByteArrayLiteral("(secret)")
                                    : Text::terminalLine(entries.start(n), 60).toUtf8()) +
               '\n';
    }
    return out;
}

QByteArray historyListing(const ClipboardHistory &history, qint64 nowMs) {
    QByteArray out;
    for (int k = 1; k <= history.count(); ++k) {
        const qint64 age = std::max<qint64>(0, (nowMs - history.copiedAtMs(k)) / 1000);
        out += QByteArray::number(k) + '\t' + QByteArray::number(age) + '\t' +
               Text::terminalLine(history.start(k), 60).toUtf8() + '\n';
    }
    return out;
}

void carryOut(MainWindow &window, EntrySession &session, const Request &request,
              const InstanceServer::Answer &answer) {
    // A history item's number beyond what the history holds is bad use, as a wrong entry
    // number is.
    const auto noSuchItem = [&session, &request, &answer] {
        if (request.entry <= session.history().count())
            return false;
        answer(2, QStringLiteral("there is no history item %1: the history holds %2")
                      .arg(request.entry)
                      .arg(session.history().count())
                      .toUtf8());
        return true;
    };
    switch (request.kind) {
    case Request::Activate:
    case Request::Show:
        window.showWindow();
        break;
    case Request::Hide:
        window.hideInTray();
        break;
    case Request::Toggle:
        if (window.isVisible() && !window.isMinimized())
            window.hideInTray();
        else
            window.showWindow();
        break;
    case Request::Menu:
        window.requestPicker();
        break;
    case Request::Copy: {
        const int n = request.entry;
        whenSecretKnown(session, n, [&window, &session, n, answer] {
            if (copyEntry(window.desktop(), &window, session, n))
                answer(0, QByteArray());
            else if (session.isSecret(n))
                answer(
                    MainWindow::SecretRefused,
                    QByteArrayLiteral("the Secret Service did not give this secret entry's text"));
            else
                answer(1, QByteArrayLiteral("the entry could not be copied"));
        });
        return;
    }
    case Request::Paste:
        window.requestPaste(request.entry, [answer](int status, const QString &why) {
            answer(status, why.toUtf8());
        });
        // A question stands above other windows, also while this one is hidden: once.
        if (QWidget *question = QApplication::activeModalWidget()) {
            question->raise();
            question->activateWindow();
        }
        return;
    case Request::Get: {
        const int n = request.entry;
        whenSecretKnown(session, n, [&session, n, answer] {
            if (session.isSecret(n) && session.secretState(n) != EntrySession::SecretState::Ready) {
                answer(
                    MainWindow::SecretRefused,
                    QByteArrayLiteral("the Secret Service did not give this secret entry's text"));
                return;
            }
            const QByteArray text = session.fullText(n);
            if (session.entries().isUnreadable(n))
                answer(1, QByteArrayLiteral("the text of this entry could not be read from the "
                                            "settings file"));
            else
                answer(0, text);
        });
        return;
    }
    case Request::SecretOn:
    case Request::SecretOff: {
        const int n = request.entry;
        const bool on = request.kind == Request::SecretOn;
        // Already so (a secret still being fetched is a secret): nothing to change.
        if (on && session.isSecret(n)) {
            answer(0, QByteArray());
            return;
        }
        // Off waits for the text to come from the Secret Service: it goes back into the store.
        whenSecretKnown(session, n, [&session, n, on, answer] {
            if (session.isSecret(n) == on) {
                answer(0, QByteArray());
                return;
            }
            // Answered once, by whichever comes first for this entry.
            auto *waiter = new QObject(&session);
            QObject::connect(&session, &EntrySession::secretChanged, waiter,
                             [&session, waiter, answer, n](int changed, bool) {
                                 if (changed != n)
                                     return;
                                 answer(0, QByteArray());
                                 QObject::disconnect(&session, nullptr, waiter, nullptr);
                                 waiter->deleteLater();
                             });
            QObject::connect(&session, &EntrySession::secretFailed, waiter,
                             [&session, waiter, answer, n](int failed, const QString &why) {
                                 if (failed != n)
                                     return;
                                 answer(MainWindow::SecretRefused, why.toUtf8());
                                 QObject::disconnect(&session, nullptr, waiter, nullptr);
                                 waiter->deleteLater();
                             });
            session.setSecret(n, on);
        });
        return;
    }
    case Request::List:
        answer(0, entryListing(session));
        return;
    case Request::History:
        answer(0, historyListing(session.history(), QDateTime::currentMSecsSinceEpoch()));
        return;
    case Request::HistoryGet:
    case Request::HistoryCopy: {
        if (noSuchItem())
            return;
        bool read = false;
        const QByteArray text = session.history().text(request.entry, &read);
        if (!read)
            answer(1,
                   QByteArrayLiteral("the history item could not be read from the settings file"));
        else if (request.kind == Request::HistoryGet)
            answer(0, text);
        else if (copyToClipboard(window.desktop(), &window, text))
            answer(0, QByteArray());
        else
            answer(1, QByteArrayLiteral("the history item could not be copied"));
        return;
    }
    case Request::HistoryClear:
        if (session.history().clear())
            answer(0, QByteArray());
        else
            answer(1, session.store().lastError().toUtf8());
        return;
    }
    answer(0, QByteArray());
}
