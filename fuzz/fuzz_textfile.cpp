// The text-file reader: decoding (BOMs, UTF-8, Windows-1252) and the line rules.
#include "core/text.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString decoded = Text::decode(bytes);
    const QString text = Text::withLineEnds(decoded);
    // Every CR ends a line and is followed by LF; a text that is not empty ends with CR LF.
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('\r') &&
            (i + 1 == text.size() || text.at(i + 1) != QLatin1Char('\n')))
            std::abort();
    }
    if (!text.isEmpty() && !text.endsWith(QLatin1String("\r\n")))
        std::abort();
    if (decoded.isEmpty() != text.isEmpty())
        std::abort();
    // No byte turns into a replacement character unless the input held one.
    if (text.contains(QChar::ReplacementCharacter) && !bytes.contains("\xEF\xBF\xBD") &&
        !bytes.startsWith("\xFF\xFE") && !bytes.startsWith("\xFE\xFF"))
        std::abort();
    return 0;
}
