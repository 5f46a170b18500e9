#include "clipboard/clipboardcommands.h"

#include "clipboard/replacedialog.h"
#include "core/text.h"
#include "main/mainwindow.h"
#include "platform/desktop.h"

#include <QAction>

ClipboardCommands::ClipboardCommands(MainWindow &main, EntrySession &session)
    : QObject(&main)
    , m_main(main)
    , m_session(session) {
    connect(&main, &MainWindow::numberedButtonReleased, this, &ClipboardCommands::onNumberedButton);
    connect(&main, &MainWindow::copyRequested, this, &ClipboardCommands::copy);

    const MainActions &a = main.actions();
    // The entry menu acts on the entry it was opened for.
    const auto onCurrent = [this, &main](QAction *item, auto command) {
        connect(item, &QAction::triggered, this, [&main, command] {
            if (const int n = main.currentEntry())
                command(n);
        });
    };
    onCurrent(a.paste, [this](int n) { paste(n); });
    onCurrent(a.copy, [this](int n) { copy(n); });
    onCurrent(a.clearEntry, [&session](int n) { session.clearEntry(n); });
    connect(a.clearAll, &QAction::triggered, &session, &EntrySession::clearAll);
    connect(a.saveClipboard, &QAction::triggered, this, &ClipboardCommands::saveClipboard);
    for (int tab = 1; tab <= int(a.clearTab.size()); ++tab)
        connect(a.clearTab[tab - 1], &QAction::triggered, this,
                [&session, tab] { session.clearTab(tab); });
}

bool ClipboardCommands::pasteInto(int n) {
    QString text;
    // An image or files on the clipboard would empty the entry: nothing changes instead.
    if (!clipboardHoldsText(m_main.desktop(), &m_main) ||
        !readClipboard(m_main.desktop(), &m_main, text))
        return false;
    if (!m_session.setEntryText(n, text)) {
        m_main.desktop().message(&m_main, EntryStore::tooLargeMessage());
        return false;
    }
    return true;
}

void ClipboardCommands::onNumberedButton(int n, Qt::MouseButton button, const QPoint &at) {
    if (button == Qt::LeftButton) {
        paste(n);
    } else if (button == Qt::RightButton) {
        m_main.setCurrentEntry(n);
        m_main.desktop().popupMenu(m_main.menus().entry, nullptr, at);
    }
}

void ClipboardCommands::paste(int n) {
    // Nothing to ask about when there is nothing to paste.
    if (!clipboardHoldsText(m_main.desktop(), &m_main))
        return;
    // Only the empty text counts as empty: spaces are someone's text.
    if (m_session.entries().isEmpty(n)) {
        pasteInto(n);
        return;
    }
    auto *question = new ReplaceDialog(m_main, n);
    // A paste that fails leaves the question open for another try.
    connect(question, &ReplaceDialog::replaceChosen, this, [this, question](int entry) {
        if (pasteInto(entry))
            question->accept();
    });
    question->open();
}

void ClipboardCommands::copy(int n) {
    copyToClipboard(m_main.desktop(), &m_main, m_session.textToCopy(n));
}

void ClipboardCommands::saveClipboard() {
    Desktop &desktop = m_main.desktop();
    // Said before the dialog: choosing a file for nothing and then ending in silence helps nobody.
    QString text;
    if (!desktop.clipboardText(text) || text.isEmpty()) {
        desktop.message(&m_main, tr("The clipboard holds no text."));
        return;
    }
    const QString path =
        desktop.chooseFile(&m_main, {FileDialogRequest::Save, tr("Save Clipboard As..."),
                                     FileFilter::text(), QString(), true});
    if (path.isEmpty())
        return;
    QString error;
    if (!Text::writeFileAtomically(path, text + Text::lineBreak(), &error))
        showWriteFailure(desktop, &m_main, path, error);
}
