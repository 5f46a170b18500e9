#include "quick/quickcommands.h"

#include "core/text.h"
#include "main/frmsnapvale.h"
#include "main/menucaption.h"
#include "platform/desktop.h"
#include "quick/frmconfigure.h"
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
    connect(main.action(QStringLiteral("mnuConfigure")), &QAction::triggered, this,
            &QuickCommands::mnuConfigure_Click);
    for (int k = 1; k <= 20; ++k)
        connect(main.clippingItem(k), &QAction::triggered, this,
                [this, k] { mnuClipping_Click(k); });
    // While the clippings are being edited, the tray menus rest: they would show the old list.
    main.setTrayGate([this] { return configure()->isVisible(); });
    // Closing the editor stores the clippings; at exit that happens before the main window goes.
    connect(&main, &FrmSnapvale::exiting, this, [this] {
        if (m_configure)
            m_configure->close();
    });
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

FrmConfigure *QuickCommands::configure() {
    if (!m_configure)
        m_configure = new FrmConfigure(m_main);
    return m_configure;
}

void QuickCommands::mnuConfigure_Click() {
    configure()->show();
    m_configure->raise();
    m_configure->activateWindow();
}

void QuickCommands::mnuClipping_Click(int k) {
    const QString clipping = literalCaption(m_main.clippingItem(k));
    Desktop &desktop = m_main.desktop();
    if (!desktop.clearClipboard() || !desktop.setClipboardText(Text::trimSpaces(clipping)))
        desktop.message(&m_main, QStringLiteral("Error copying to clipboard. Please retry."));
}
