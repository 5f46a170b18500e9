#include "quick/quickcommands.h"

#include "core/text.h"
#include "main/mainwindow.h"
#include "platform/desktop.h"
#include "quick/clippingswindow.h"
#include "quick/namedialog.h"

#include <QAction>
#include <QLineEdit>

QuickCommands::QuickCommands(MainWindow &main)
    : QObject(&main)
    , m_main(main) {
    const MainActions &a = main.actions();
    connect(a.nameEntry, &QAction::triggered, this, [this] {
        if (const int n = m_main.currentEntry())
            nameEntry(n);
    });
    // Without an entry to act on, the message that asks for a proper address is all there is.
    connect(a.openAsUrl, &QAction::triggered, this, [this] { openAsUrl(m_main.currentEntry()); });
    connect(a.editClippings, &QAction::triggered, this, &QuickCommands::editClippings);
    for (int k = 1; k <= ClippingCount; ++k)
        connect(a.clipping[k - 1], &QAction::triggered, this, [this, k] { copyClipping(k); });
    // While the clippings are being edited, the tray menus rest: they would show the old list.
    main.setTrayGate([this] { return clippingsWindow()->isVisible(); });
    // Closing the editor stores the clippings; at exit that happens before the main window goes.
    connect(&main, &MainWindow::exiting, this, [this] {
        if (m_clippings)
            m_clippings->close();
    });
}

void QuickCommands::nameEntry(int n) {
    const EntryStore &entries = m_main.session().entries();
    if (entries.isEmpty(n)) {
        reportIfEmpty(n);
        return;
    }
    auto *naming = new NameDialog(m_main, n);
    // "Untitled" is no name of the user's: the field then opens empty.
    if (entries.name(n) != EntryStore::DefaultName)
        naming->nameField()->setText(entries.name(n));
    connect(naming, &QDialog::finished, this, [this, n] { reportIfEmpty(n); });
    naming->open();
}

void QuickCommands::reportIfEmpty(int n) {
    if (m_main.session().entries().isEmpty(n))
        m_main.desktop().message(&m_main, tr("The selected entry does not exist."));
}

void QuickCommands::openAsUrl(int n) {
    if (!EntryStore::isValid(n)) {
        m_main.desktop().message(&m_main, tr("Please be sure the entry is a proper URL.\r\n"
                                             "(example: https://www.example.com)"));
        return;
    }
    // The text goes unchanged to the desktop's opener, as one argument and never to a shell.
    const QString target = m_main.session().entries().text(n);
    if (m_main.session().entries().isUnreadable(n))
        return;
    if (!m_main.desktop().openTarget(target))
        m_main.desktop().message(&m_main,
                                 tr("Error executing command.\r\nPlease sign on and retry."));
}

ClippingsWindow *QuickCommands::clippingsWindow() {
    if (!m_clippings)
        m_clippings = new ClippingsWindow(m_main);
    return m_clippings;
}

void QuickCommands::editClippings() {
    clippingsWindow()->show();
    m_clippings->raise();
    m_clippings->activateWindow();
}

void QuickCommands::copyClipping(int k) {
    copyToClipboard(m_main.desktop(), &m_main, Text::trimSpaces(m_main.session().clipping(k)));
}
