#include "app/remotecontrol.h"

#include "core/text.h"
#include "main/mainwindow.h"
#include "platform/desktop.h"

#include <QApplication>

QByteArray entryListing(const EntrySession &session) {
    const EntryStore &entries = session.entries();
    QByteArray out;
    for (int n = 1; n <= EntryStore::Count; ++n) {
        QString name = entries.name(n);
        name.replace(QLatin1Char('\t'), QLatin1Char(' '))
            .replace(QLatin1Char('\n'), QLatin1Char(' '));
        out += QString::number(n).toUtf8() + '\t' + name.toUtf8() + '\t' +
               Text::oneLine(entries.start(n), 60).toUtf8() + '\n';
    }
    return out;
}

void carryOut(MainWindow &window, EntrySession &session, const Request &request,
              const InstanceServer::Answer &answer) {
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
    case Request::Copy:
        window.requestCopy(request.entry);
        break;
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
    case Request::Get:
        answer(0, session.entries().utf8(request.entry));
        return;
    case Request::List:
        answer(0, entryListing(session));
        return;
    }
    answer(0, QByteArray());
}
