#include "sets/setcommands.h"

#include "core/entrysession.h"
#include "core/entryset.h"
#include "core/text.h"
#include "main/mainwindow.h"
#include "platform/desktop.h"
#include "sets/deletesetdialog.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>

SetCommands::SetCommands(MainWindow &main, EntrySession &session)
    : QObject(&main)
    , m_main(main)
    , m_session(session) {
    const MainActions &a = main.actions();
    connect(a.saveSet, &QAction::triggered, this, &SetCommands::saveSet);
    // From the File menu the window comes forward with the loaded set; from the tray's
    // "&Load Set" it stays hidden.
    for (QAction *item : {a.loadSet, a.trayLoadSetAndShow}) {
        connect(item, &QAction::triggered, this, [this] {
            if (loadSet())
                m_main.showWindow();
        });
    }
    connect(a.trayLoadSet, &QAction::triggered, this, &SetCommands::loadSet);
    connect(a.deleteSet, &QAction::triggered, this, &SetCommands::deleteSet);
    for (const auto &[item, command] : {std::pair{a.loadEntry, &SetCommands::loadEntry},
                                        {a.saveEntry, &SetCommands::saveEntry}}) {
        connect(item, &QAction::triggered, this, [this, command] {
            if (const int n = m_main.currentEntry())
                (this->*command)(n);
        });
    }
}

QString SetCommands::chooseSet(bool save, const QString &title) {
    return m_main.desktop().chooseFile(&m_main,
                                       {save ? FileDialogRequest::Save : FileDialogRequest::Open,
                                        title, FileFilter::sets(), QString(), save});
}

void SetCommands::saveSet() {
    const QString path = chooseSet(true, tr("Save Entry Set"));
    if (path.isEmpty())
        return;
    QString error;
    switch (m_session.saveSet(path, &error)) {
    case EntrySession::SetResult::FileFailed:
        showWriteFailure(m_main.desktop(), &m_main, path, error);
        break;
    case EntrySession::SetResult::StoreFailed:
        m_main.showStoreFailure();
        break;
    case EntrySession::SetResult::Done:
        // Secrets stay in the Secret Service only; loading the set leaves them as they are.
        if (const QList<int> secret = m_session.secretEntries(); !secret.isEmpty()) {
            QStringList numbers;
            for (int n : secret)
                numbers << QString::number(n);
            m_main.desktop().message(&m_main,
                                     tr("The set was saved without the text of the secret "
                                        "entries (%1): secrets stay in the Secret Service.")
                                         .arg(numbers.join(QStringLiteral(", "))));
        }
        break;
    default:
        break;
    }
}

bool SetCommands::loadSet() {
    const QString path = chooseSet(false, tr("Load Entry Set"));
    if (path.isEmpty())
        return false;
    switch (m_session.loadSet(path)) {
    case EntrySession::SetResult::Done:
        return true;
    case EntrySession::SetResult::NotASet:
        m_main.desktop().message(&m_main, tr("This file is not an entry set."));
        return false;
    default:
        // Loading nothing would empty all 30 entries: the user is told and keeps them.
        m_main.desktop().message(&m_main, tr("No entry set is stored for this file."));
        return false;
    }
}

void SetCommands::deleteSet() {
    const QString path = chooseSet(false, tr("Delete Entry Set"));
    if (path.isEmpty())
        return;
    if (!Text::isOrdinaryOrAbsent(path)) {
        m_main.desktop().message(&m_main, tr("This file is not an entry set."));
        return;
    }
    const EntrySet::Lines lines = EntrySet::readLines(path);
    m_main.desktop().beep();
    if (!lines.readable) {
        // Typed into the file dialog, or removed since: said, as every other failure is.
        // The store itself is never opened here: closing a descriptor of ours on it would drop
        // SQLite's locks.
        const QFileInfo info(path);
        QFile file(path);
        if (!info.exists())
            m_main.desktop().message(&m_main,
                                     tr("The file \"%1\" does not exist.").arg(info.fileName()));
        else if (info.size() > 0 && Text::mayOpen(path) && !file.open(QIODevice::ReadOnly))
            showReadFailure(m_main.desktop(), &m_main, path, file.errorString());
        else
            m_main.desktop().message(&m_main, tr("This file is not an entry set."));
        return;
    }
    if (lines.first != EntrySet::marker) {
        // The confirmation of a set deletion is no place to delete someone's text file.
        m_main.desktop().message(&m_main, tr("This file is not an entry set."));
        return;
    }
    auto *confirm = new DeleteSetDialog(m_main, QFileInfo(path).fileName(), path);
    confirm->open();
}

void SetCommands::loadEntry(int n) {
    const QString path = m_main.desktop().chooseFile(
        &m_main, {FileDialogRequest::Open, tr("Load Entry"), FileFilter::text(), QString(), false});
    if (path.isEmpty())
        return;
    // The entry changes only once the whole file has been read; a file too large for an entry
    // is not read into memory at all.
    QString text;
    QString error;
    bool tooLarge = false;
    if (!Text::readFile(path, text, &error, EntryStore::maxTextBytes(), &tooLarge)) {
        if (tooLarge)
            m_main.desktop().message(&m_main, EntryStore::tooLargeMessage());
        else
            showReadFailure(m_main.desktop(), &m_main, path, error);
    } else if (!m_session.setEntryText(n, text))
        m_main.desktop().message(&m_main, EntryStore::tooLargeMessage());
}

void SetCommands::saveEntry(int n) {
    // A file keeps no secret: asked first, and again if the entry became secret while the file
    // was chosen.
    const bool secret = m_session.isSecret(n);
    if (!maySaveSecretToFile(m_main.desktop(), &m_main, m_session, n))
        return;
    const QString path =
        m_main.desktop().chooseFile(&m_main, {FileDialogRequest::Save, tr("Save Entry As..."),
                                              FileFilter::text(), QString(), true});
    if (path.isEmpty())
        return;
    // Asked already only if its text was there to be asked about.
    const bool asked = secret && m_session.secretState(n) == EntrySession::SecretState::Ready;
    if (m_session.isSecret(n) && !asked &&
        !maySaveSecretToFile(m_main.desktop(), &m_main, m_session, n))
        return;
    const QByteArray text = m_session.fullText(n);
    if (m_session.entries().isUnreadable(n))
        return;
    QString error;
    if (!Text::writeFileAtomically(path, QString::fromUtf8(text) + Text::lineBreak(), &error))
        showWriteFailure(m_main.desktop(), &m_main, path, error);
}
