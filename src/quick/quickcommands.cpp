#include "quick/quickcommands.h"

#include "main/frmsnapvale.h"
#include "platform/desktop.h"
#include "quick/frmnameentry.h"

#include <QAction>
#include <QLineEdit>

QuickCommands::QuickCommands(FrmSnapvale &main)
    : QObject(&main)
    , m_main(main) {
    connect(main.action(QStringLiteral("mnuNameEntry")), &QAction::triggered, this,
            &QuickCommands::mnuNameEntry_Click);
    connect(main.action(QStringLiteral("mnuConnect")), &QAction::triggered, this,
            &QuickCommands::mnuConnect_Click);
}

void QuickCommands::mnuNameEntry_Click() {
    const int n = m_main.currentEntryNumber();
    if (!n)
        return;
    const EntryStore &entries = m_main.entries();
    if (entries.text(n).isEmpty()) {
        reportIfEmpty(n);
        return;
    }
    auto *naming = new FrmNameEntry(m_main, n);
    // "Untitled" is no name of the user's: the field then opens empty.
    if (entries.name(n) != EntryStore::DefaultName)
        naming->TxtEntryName()->setText(entries.name(n));
    connect(naming, &QDialog::finished, this, [this, n] { reportIfEmpty(n); });
    naming->open();
}

void QuickCommands::reportIfEmpty(int n) {
    if (m_main.entries().text(n).isEmpty())
        m_main.desktop().message(&m_main, QStringLiteral("The selected entry does not exist."));
}

void QuickCommands::mnuConnect_Click() {
    const int n = m_main.currentEntryNumber();
    if (!n) {
        m_main.desktop().message(&m_main,
                                 QStringLiteral("Please be sure the entry is a proper URL.\r\n"
                                                "(example: https://www.example.com)"));
        return;
    }
    // The text goes unchanged to the desktop's opener, as one argument and never to a shell.
    const int status = m_main.desktop().openTarget(m_main.entries().text(n));
    if (status >= 0 && status <= 32)
        m_main.desktop().message(
            &m_main, QStringLiteral("Error executing command.\r\nPlease sign on and retry."));
}
