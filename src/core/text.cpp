#include "core/text.h"

#include <QSaveFile>

#include <cstdio>

namespace Text {

QString trimSpaces(const QString &text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    if (begin == 0 && end == text.size())
        return text;
    return text.mid(begin, end - begin);
}

bool writeFileAtomically(const QString &path, const QString &content) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "snapvale: cannot write %s: %s\n", qUtf8Printable(path),
                     qUtf8Printable(file.errorString()));
        return false;
    }
    const QByteArray bytes = content.toUtf8();
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        std::fprintf(stderr, "snapvale: cannot write %s: %s\n", qUtf8Printable(path),
                     qUtf8Printable(file.errorString()));
        file.cancelWriting();
        return false;
    }
    return true;
}

} // namespace Text
