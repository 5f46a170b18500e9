#include "core/entryset.h"

#include "core/text.h"

#include <QFile>
#include <QStringList>

namespace EntrySet {

QString fileText(const QString &path) {
    const QString lines[] = {
        marker,
        QStringLiteral("Entry set information is stored in the system registry."),
        QStringLiteral("In order to preserve the Delete Set option for this"),
        QStringLiteral("entry set, do not move this file, alter its contents"),
        QStringLiteral("or its original filename."),
        path,
    };
    QString text;
    for (const QString &line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}

Lines readLines(const QString &path) {
    // A FIFO would block the window for as long as nobody writes to it.
    if (!Text::mayOpen(path))
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // Six lines of a set file are short; a path line of thousands of characters still fits.
    return parse(file.read(1 << 20));
}

Lines parse(const QByteArray &head) {
    Lines lines;
    if (head.isEmpty())
        return lines;
    lines.readable = true;
    const QStringList split = Text::withLineEnds(Text::decode(head)).split(QStringLiteral("\r\n"));
    lines.first = split.value(0);
    lines.sixth = split.size() > 6 ? split.value(5) : QString();
    return lines;
}

} // namespace EntrySet
