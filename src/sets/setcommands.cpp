#include "sets/setcommands.h"

#include "core/entryset.h"
#include "core/settingsstore.h"
#include "core/text.h"
#include "main/frmsnapvale.h"
#include "platform/desktop.h"
#include "sets/frmdelete.h"

#include <QAction>
#include <QLabel>

namespace {
const QString setFilter = QStringLiteral("Entry Sets (*.ent)|*.ent");
const QString textFilter = QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*");
} // namespace

SetCommands::SetCommands(FrmSnapvale &main)
    : QObject(&main)
    , m_main(main) {
    const auto on = [this, &main](const char *name, void (SetCommands::*handler)()) {
        connect(main.action(QLatin1String(name)), &QAction::triggered, this, handler);
    };
    on("SaveSetMnu", &SetCommands::SaveSetMnu_Click);
    on("LoadMnu", &SetCommands::LoadMnu_Click);
    on("mnuLoad", &SetCommands::mnuLoad_Click);
    on("mnuLoad2", &SetCommands::mnuLoad2_Click);
    on("DeleteMnu", &SetCommands::DeleteMnu_Click);
    on("mnuLoad1", &SetCommands::mnuLoad1_Click);
    on("mnuSaveEntry", &SetCommands::mnuSaveEntry_Click);
}

void SetCommands::SaveSetMnu_Click() {
    FileDialog &dialog = m_main.CommonDialog2();
    FileNameReset reset(dialog);
    dialog.prepare(setFilter, FileDialog::OverwritePrompt | FileDialog::HideReadOnly,
                   QStringLiteral("Save Entry Set"));
    dialog.ShowSave();
    const QString path = dialog.FileName;
    if (path.isEmpty())
        return;
    // The file first: a set whose file cannot be written leaves the store as it was.
    if (!Text::writeFileAtomically(path, EntrySet::fileText(path)))
        return;
    m_main.entries().SaveEntries(m_main.registry(), path);
}

bool SetCommands::loadSet() {
    FileDialog &dialog = m_main.CommonDialog2();
    FileNameReset reset(dialog);
    dialog.prepare(setFilter, FileDialog::OverwritePrompt | FileDialog::HideReadOnly,
                   QStringLiteral("Load Entry Set"));
    dialog.ShowOpen();
    const QString path = dialog.FileName;
    if (path.isEmpty())
        return false;
    SettingsStore &store = m_main.registry().store();
    QString section = path;
    if (!store.hasSection(AppName, section)) {
        // A set file moved or renamed still names the path its entries were saved under.
        const EntrySet::Lines lines = EntrySet::readLines(path);
        if (lines.first == EntrySet::marker && !lines.sixth.isEmpty() &&
            store.hasSection(AppName, lines.sixth)) {
            section = lines.sixth;
        } else {
            // Loading nothing would empty all 30 entries: tell the user and keep them.
            m_main.desktop().message(&m_main,
                                     QStringLiteral("No entry set is stored for this file."));
            return false;
        }
    }
    m_main.entries().LoadEntries(m_main.registry(), section);
    return true;
}

void SetCommands::LoadMnu_Click() {
    if (loadSet())
        m_main.mnuRestore_Click();
}

void SetCommands::mnuLoad2_Click() {
    loadSet();
}

void SetCommands::DeleteMnu_Click() {
    FileDialog &dialog = m_main.CommonDialog2();
    FileNameReset reset(dialog);
    dialog.prepare(setFilter, FileDialog::HideReadOnly, QStringLiteral("Delete Entry Set"));
    dialog.ShowOpen();
    if (dialog.FileName.isEmpty())
        return;
    const EntrySet::Lines lines = EntrySet::readLines(dialog.FileName);
    if (!lines.readable)
        return;
    m_main.LblFirstLine()->setText(lines.first);
    m_main.desktop().beep();
    if (lines.first != EntrySet::marker) {
        // The confirmation of a set deletion is no place to delete someone's text file.
        m_main.desktop().message(&m_main, QStringLiteral("This file is not an entry set."));
        return;
    }
    auto *confirm = new FrmDelete(m_main, dialog.FileTitle, dialog.FileName);
    confirm->open();
}

void SetCommands::mnuLoad1_Click() {
    const int n = m_main.currentEntryNumber();
    if (!n)
        return;
    FileDialog &dialog = m_main.CommonDialog2();
    FileNameReset reset(dialog);
    dialog.prepare(textFilter, FileDialog::HideReadOnly, QStringLiteral("Load Entry"));
    dialog.ShowOpen();
    if (dialog.FileName.isEmpty())
        return;
    // The entry changes only once the whole file has been read.
    QString text;
    if (Text::readFile(dialog.FileName, text))
        m_main.entries().setEntry(n, text, EntryStore::DefaultName);
}

void SetCommands::mnuSaveEntry_Click() {
    const int n = m_main.currentEntryNumber();
    if (!n)
        return;
    FileDialog &dialog = m_main.CommonDialog2();
    FileNameReset reset(dialog);
    dialog.prepare(textFilter, FileDialog::OverwritePrompt | FileDialog::HideReadOnly,
                   QStringLiteral("Save Entry As..."));
    dialog.ShowSave();
    if (dialog.FileName.isEmpty())
        return;
    Text::writeFileAtomically(dialog.FileName, m_main.entries().text(n) + QStringLiteral("\r\n"));
}
