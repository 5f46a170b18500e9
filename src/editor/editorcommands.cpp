#include "editor/editorcommands.h"

#include "editor/frmtext.h"
#include "main/entrytext.h"
#include "main/frmsnapvale.h"

#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>

EditorCommands::EditorCommands(FrmSnapvale &main)
    : QObject(&main)
    , m_main(main) {
    for (int n = 1; n <= EntryStore::Count; ++n)
        connect(main.Text(n), &EntryText::clicked, this, [this, n] { Text_Click(n); });
    connect(main.action(QStringLiteral("mnuEdit")), &QAction::triggered, this,
            &EditorCommands::mnuEdit_Click);
}

FrmText *EditorCommands::Text_Click(int n) {
    auto *editor = new FrmText(m_main);
    editor->setText(m_main.entries().text(n));
    editor->LblUpdateNumber()->setText(QString::number(n));
    editor->LblAddNumber()->setText(QString::number(n));
    editor->show();
    editor->TxtComplete()->setFocus();
    return editor;
}

void EditorCommands::mnuEdit_Click() {
    if (const int n = m_main.currentEntryNumber())
        Text_Click(n);
}
