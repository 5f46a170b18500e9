// The set-file recogniser: the first and sixth lines of whatever file is picked.
#include "core/entryset.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const EntrySet::Lines lines = EntrySet::parse(bytes);
    if (lines.readable == bytes.isEmpty())
        std::abort();
    // A line never holds its terminator.
    if (lines.first.contains(QLatin1Char('\r')) || lines.sixth.contains(QLatin1Char('\r')))
        std::abort();
    // A set file written for a path without line breaks is recognised, and names that path.
    const QString path =
        QString::fromUtf8(bytes).remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    if (!path.contains(QChar::ReplacementCharacter)) {
        const EntrySet::Lines set = EntrySet::parse(EntrySet::fileText(path).toUtf8());
        if (set.first != EntrySet::marker || set.sixth != path)
            std::abort();
    }
    return 0;
}
