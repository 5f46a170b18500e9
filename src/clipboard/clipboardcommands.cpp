#include "clipboard/clipboardcommands.h"

#include "clipboard/frmwarn1.h"
#include "core/text.h"
#include "main/entrytext.h"
#include "main/frmsnapvale.h"
#include "platform/desktop.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

namespace {
const QString readFailed = QStringLiteral("Error accessing clipboard. Please retry.");
const QString copyFailed = QStringLiteral("Error copying to clipboard. Please retry.");
} // namespace

ClipboardCommands::ClipboardCommands(FrmSnapvale &main)
    : QObject(&main)
    , m_main(main) {
    connect(&main, &FrmSnapvale::numberedButtonReleased, this, &ClipboardCommands::Cmd_MouseUp);
    for (int n = 1; n <= EntryStore::Count; ++n)
        connect(main.CmdCopy(n), &QToolButton::clicked, this, [this, n] { CmdCopy_Click(n); });

    const auto on = [this, &main](const char *name, auto handler) {
        connect(main.action(QLatin1String(name)), &QAction::triggered, this, handler);
    };
    on("mnuPaste1", [this] { mnuPaste1_Click(); });
    on("mnuCopy1", [this] { mnuCopy1_Click(); });
    on("mnuClear1", [this] { mnuClear1_Click(); });
    on("ClearMnu", [this] { ClearMnu_Click(); });
    on("mnuClipboard2", [this] { mnuClipboard2_Click(); });
    const char *tabItems[] = {"mnuOne", "mnuTwo", "mnuThree", "mnuFour", "mnuFive", "mnuSix"};
    for (int tab = 1; tab <= 6; ++tab)
        on(tabItems[tab - 1], [this, tab] { clearTab(tab); });
}

bool ClipboardCommands::pasteInto(FrmSnapvale &main, int n) {
    QString text;
    if (!main.desktop().clipboardText(text)) {
        main.desktop().message(QApplication::activeModalWidget() ? QApplication::activeModalWidget()
                                                                 : &main,
                               readFailed);
        return false;
    }
    main.entries().setEntry(n, text, EntryStore::DefaultName);
    return true;
}

void ClipboardCommands::Cmd_MouseUp(int n, Qt::MouseButton button, const QPoint &at) {
    if (button == Qt::LeftButton) {
        paste(n);
    } else if (button == Qt::RightButton) {
        m_main.setCurrentEntry(n);
        m_main.desktop().popupMenu(m_main.menu(QStringLiteral("mnuPopup1")), nullptr, at);
    }
}

void ClipboardCommands::paste(int n) {
    // Only the empty text counts as empty: spaces are someone's text.
    if (m_main.entries().text(n).isEmpty()) {
        pasteInto(m_main, n);
        return;
    }
    auto *warn = new FrmWarn1(m_main, n);
    warn->open();
}

void ClipboardCommands::CmdCopy_Click(int n) {
    Desktop &desktop = m_main.desktop();
    if (!desktop.clearClipboard() ||
        !desktop.setClipboardText(Text::trimSpaces(m_main.entries().text(n))))
        desktop.message(&m_main, copyFailed);
}

void ClipboardCommands::clearEntry(int n) {
    m_main.entries().setEntry(n, QString(), EntryStore::DefaultName);
}

void ClipboardCommands::clearTab(int tab) {
    for (int n = (tab - 1) * EntryStore::PerTab + 1; n <= tab * EntryStore::PerTab; ++n)
        clearEntry(n);
}

void ClipboardCommands::ClearMnu_Click() {
    for (int n = 1; n <= EntryStore::Count; ++n)
        clearEntry(n);
}

void ClipboardCommands::mnuPaste1_Click() {
    if (const int n = m_main.currentEntryNumber())
        paste(n);
}

void ClipboardCommands::mnuCopy1_Click() {
    if (const int n = m_main.currentEntryNumber())
        m_main.CmdCopy(n)->click();
}

void ClipboardCommands::mnuClear1_Click() {
    if (const int n = m_main.currentEntryNumber())
        clearEntry(n);
}

void ClipboardCommands::mnuClipboard2_Click() {
    FileDialog &dialog = m_main.CommonDialog2();
    FileNameReset reset(dialog);
    dialog.prepare(QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*"),
                   FileDialog::OverwritePrompt | FileDialog::HideReadOnly,
                   QStringLiteral("Save Clipboard As..."));
    dialog.ShowSave();
    if (dialog.FileName.isEmpty())
        return;
    QString text;
    if (!m_main.desktop().clipboardText(text))
        return;
    Text::writeFileAtomically(dialog.FileName, text + QStringLiteral("\r\n"));
}
