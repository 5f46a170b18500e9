#include "sets/setcommands.h"

#include "core/entryset.h"
#include "core/settingsstore.h"
#include "core/storedsettings.h"
#include "core/text.h"
#include "main/mainwindow.h"
#include "platform/desktop.h"
#include "sets/deletesetdialog.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>

SetCommands::SetCommands(MainWindow &main)
    : QObject(&main)
    , m_main(main) {
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
                                        title, FileFilter::sets, QString(), save});
}

void SetCommands::saveSet() {
    const QString path = chooseSet(true, QStringLiteral("Save Entry Set"));
    if (path.isEmpty())
        return;
    // The file and the entries succeed together or not at all. The file first: its old self, if
    // any, had the same six lines, so only a new file needs taking back when the entries fail.
    const bool existed = QFileInfo::exists(path);
    QString error;
    if (!Text::writeFileAtomically(path, EntrySet::fileText(path), &error)) {
        showWriteFailure(m_main.desktop(), &m_main, path, error);
        return;
    }
    if (!m_main.entries().save(m_main.store(), EntrySection::set(path))) {
        if (!existed)
            QFile::remove(path);
        m_main.showStoreFailure();
    }
}

bool SetCommands::loadSet() {
    const QString path = chooseSet(false, QStringLiteral("Load Entry Set"));
    if (path.isEmpty())
        return false;
    SettingsStore &store = m_main.store();
    EntrySection section = EntrySection::set(path);
    if (!hasEntries(store, section)) {
        // A set file moved or renamed still names the path its entries were saved under.
        const EntrySet::Lines lines = EntrySet::readLines(path);
        const bool marked = lines.first == EntrySet::marker && !lines.sixth.isEmpty();
        if (marked && !EntrySection::isSetPath(lines.sixth)) {
            // A sixth line naming the startup entries or the settings would empty them.
            m_main.desktop().message(&m_main, QStringLiteral("This file is not an entry set."));
            return false;
        }
        if (marked && hasEntries(store, EntrySection::set(lines.sixth))) {
            section = EntrySection::set(lines.sixth);
        } else {
            // Loading nothing would empty all 30 entries: tell the user and keep them.
            m_main.desktop().message(&m_main,
                                     QStringLiteral("No entry set is stored for this file."));
            return false;
        }
    }
    m_main.entries().load(store, section);
    return true;
}

void SetCommands::deleteSet() {
    const QString path = chooseSet(false, QStringLiteral("Delete Entry Set"));
    if (path.isEmpty())
        return;
    if (!Text::isOrdinaryOrAbsent(path)) {
        m_main.desktop().message(&m_main, QStringLiteral("This file is not an entry set."));
        return;
    }
    const EntrySet::Lines lines = EntrySet::readLines(path);
    if (!lines.readable)
        return;
    m_main.desktop().beep();
    if (lines.first != EntrySet::marker) {
        // The confirmation of a set deletion is no place to delete someone's text file.
        m_main.desktop().message(&m_main, QStringLiteral("This file is not an entry set."));
        return;
    }
    auto *confirm = new DeleteSetDialog(m_main, QFileInfo(path).fileName(), path);
    confirm->open();
}

void SetCommands::loadEntry(int n) {
    const QString path =
        m_main.desktop().chooseFile(&m_main, {FileDialogRequest::Open, QStringLiteral("Load Entry"),
                                              FileFilter::text, QString(), false});
    if (path.isEmpty())
        return;
    // The entry changes only once the whole file has been read.
    QString text;
    QString error;
    if (!Text::readFile(path, text, &error))
        showReadFailure(m_main.desktop(), &m_main, path, error);
    else if (!EntryStore::fits(text))
        m_main.desktop().message(&m_main, EntryStore::tooLargeMessage());
    else
        m_main.entries().setEntry(n, text, EntryStore::DefaultName);
}

void SetCommands::saveEntry(int n) {
    const QString path = m_main.desktop().chooseFile(&m_main, {FileDialogRequest::Save,
                                                               QStringLiteral("Save Entry As..."),
                                                               FileFilter::text, QString(), true});
    if (path.isEmpty())
        return;
    QString error;
    if (!Text::writeFileAtomically(path, m_main.entries().text(n) + QStringLiteral("\r\n"), &error))
        showWriteFailure(m_main.desktop(), &m_main, path, error);
}
