#include "editor/editorcommands.h"

#include "editor/editorwindow.h"
#include "main/entrytext.h"
#include "main/mainwindow.h"
#include "platform/desktop.h"

#include <QAction>
#include <QPlainTextEdit>

EditorCommands::EditorCommands(MainWindow &main)
    : QObject(&main)
    , m_main(main) {
    for (int n = 1; n <= EntryStore::Count; ++n)
        connect(main.entryField(n), &EntryText::clicked, this, [this, n] { openEditor(n); });
    connect(main.actions().editEntry, &QAction::triggered, this, [this] {
        if (const int n = m_main.currentEntry())
            openEditor(n);
    });
    // An editor open at Exit asks about its edits first; Cancel there keeps the program.
    main.addExitGuard([this](MainWindow::CloseReason mode) {
        for (EditorWindow *editor : m_main.findChildren<EditorWindow *>()) {
            if (!editor->isVisible())
                continue;
            if (mode == MainWindow::CloseReason::SessionEnd)
                editor->closeWithoutAsking();
            else if (!editor->close())
                return false;
        }
        return true;
    });
}

EditorWindow *EditorCommands::openEditor(int n) {
    const EntrySession &session = m_main.session();
    EntryStore::Content content = session.entries().content(n);
    // A secret is shown only when asked for, in so many words.
    if (session.isSecret(n)) {
        if (session.secretState(n) != EntrySession::SecretState::Ready) {
            m_main.desktop().message(&m_main, tr("The Secret Service did not give the text of "
                                                 "entry %1: it may be locked.")
                                                  .arg(n));
            return nullptr;
        }
        if (m_main.desktop().ask(&m_main, tr("Show the secret text of entry %1?").arg(n),
                                 {tr("&Show"), tr("&Cancel")}, 1, 1) != 0)
            return nullptr;
        content = EntryStore::contentOf(session.fullText(n));
    }
    auto *editor = new EditorWindow(m_main, n);
    editor->showEntry(content);
    editor->show();
    editor->textEdit()->setFocus();
    return editor;
}
