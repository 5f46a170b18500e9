#include "platform/filedialog.h"

#include "platform/desktop.h"

#include <QFileInfo>
#include <QStringList>

QString FileDialog::qtFilter(const QString &filter) {
    // Pairs of description and pattern; the description already names its patterns.
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList names;
    for (qsizetype i = 0; i < parts.size(); i += 2)
        names << parts.at(i);
    return names.join(QStringLiteral(";;"));
}

bool FileDialog::ShowOpen() {
    return show(false);
}

bool FileDialog::ShowSave() {
    return show(true);
}

bool FileDialog::show(bool save) {
    FileDialogRequest request;
    request.kind = save ? FileDialogRequest::Save : FileDialogRequest::Open;
    request.title = DialogTitle;
    request.filter = qtFilter(Filter);
    request.initialPath = FileName;
    request.confirmOverwrite = save && (Flags & OverwritePrompt);
    const QString chosen = m_desktop.chooseFile(m_owner, request);
    if (chosen.isEmpty())
        return false;
    FileName = chosen;
    FileTitle = QFileInfo(chosen).fileName();
    return true;
}
