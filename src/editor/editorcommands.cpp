#include "editor/editorcommands.h"

#include "editor/editorwindow.h"
#include "main/entrytext.h"
#include "main/mainwindow.h"

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
    auto *editor = new EditorWindow(m_main, n);
    editor->setContent(m_main.session().entries().content(n));
    editor->show();
    editor->textEdit()->setFocus();
    return editor;
}
