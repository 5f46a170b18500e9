#include "core/text.h"

#include "core/settingsstore.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>

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

QByteArray trimSpaces(const QByteArray &utf8) {
    // A space byte is never part of a longer UTF-8 sequence.
    qsizetype begin = 0;
    qsizetype end = utf8.size();
    while (begin < end && utf8.at(begin) == ' ')
        ++begin;
    while (end > begin && utf8.at(end - 1) == ' ')
        --end;
    if (begin == 0 && end == utf8.size())
        return utf8;
    return utf8.mid(begin, end - begin);
}

namespace {

Q_LOGGING_CATEGORY(lcFiles, "snapvale.files")

bool failed(const char *what, const QString &path, const QString &reason, QString *error) {
    qCWarning(lcFiles, "cannot %s %s: %s", what, qUtf8Printable(path), qUtf8Printable(reason));
    if (error)
        *error = reason;
    return false;
}

} // namespace

QString startOf(const QString &text, qsizetype characters) {
    qsizetype cut = std::min(text.size(), characters);
    if (cut > 0 && cut < text.size() && text.at(cut - 1).isHighSurrogate())
        --cut;
    return text.left(cut);
}

QString oneLine(const QString &text, qsizetype characters) {
    QString shown = startOf(text, characters);
    for (QChar &c : shown) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QLatin1Char('\t'))
            c = QLatin1Char(' ');
    }
    return shown;
}

QString terminalLine(const QString &text, qsizetype characters) {
    QString shown = startOf(text, characters);
    for (QChar &c : shown) {
        const char16_t u = c.unicode();
        if (c.category() == QChar::Other_Control || (u >= 0x202A && u <= 0x202E) ||
            (u >= 0x2066 && u <= 0x2069))
            c = QLatin1Char(' ');
    }
    return shown;
}

qint64 utf8Size(const QString &text) {
    qint64 bytes = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        // A surrogate pair is four bytes: two for each half.
        bytes += u < 0x80 ? 1 : u < 0x800 ? 2 : QChar::isSurrogate(u) ? 2 : 3;
    }
    return bytes;
}

bool isOrdinaryOrAbsent(const QString &path) {
    const QFileInfo info(path);
    return !info.exists() || info.isFile();
}

bool mayOpen(const QString &path, QString *why) {
    const QString reason =
        !isOrdinaryOrAbsent(path)
            ? QCoreApplication::translate("Text", "This is not an ordinary file.")
        : SettingsStore::isStoreFile(path)
            ? QCoreApplication::translate("Text", "This is Snapvale's own settings store.")
            : QString();
    if (why)
        *why = reason;
    return reason.isEmpty();
}

bool writeFileAtomically(const QString &path, const QString &content, QString *error) {
    if (QString why; !mayOpen(path, &why))
        return failed("write", path, why, error);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failed("write", path, file.errorString(), error);
    const QByteArray bytes = content.toUtf8();
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return failed("write", path, reason, error);
    }
    return true;
}

namespace {

// Windows-1252 where it differs from Latin-1 (0x80 to 0x9F). The five bytes Windows leaves
// undefined keep their own code point, as Windows itself maps them.
const char16_t cp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString fromWindows1252(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = (b >= 0x80 && b <= 0x9F) ? QChar(cp1252High[b - 0x80]) : QChar(b);
    }
    return text;
}

// UTF-16 after its byte-order mark. A last odd byte is no character, but it is not dropped in
// silence: it becomes U+FFFD.
QString fromUtf16(QByteArrayView bytes) {
    const bool little = bytes.startsWith("\xFF\xFE");
    QStringDecoder decoder(little ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
    QString text = decoder(bytes.sliced(2));
    if (bytes.size() % 2)
        text += QChar::ReplacementCharacter;
    return text;
}

} // namespace

QString decode(const QByteArray &bytes) {
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    else if (view.startsWith("\xFF\xFE") || view.startsWith("\xFE\xFF"))
        return fromUtf16(view);
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8(view);
    if (!utf8.hasError())
        return text;
    return fromWindows1252(view);
}

QString withLineEnds(const QString &text) {
    QString out;
    out.reserve(text.size() + text.size() / 32 + 2);
    const qsizetype size = text.size();
    const QChar *data = text.constData();
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < size; ++i) {
        if (data[i] != QLatin1Char('\r'))
            continue;
        out.append(data + lineStart, i - lineStart);
        out += QLatin1String("\r\n");
        if (i + 1 < size && data[i + 1] == QLatin1Char('\n'))
            ++i;
        lineStart = i + 1;
    }
    // The last line counts even without a terminator.
    if (lineStart < size) {
        out.append(data + lineStart, size - lineStart);
        out += QLatin1String("\r\n");
    }
    return out;
}

QString withoutFinalLineBreak(const QString &text) {
    if (text.endsWith(QLatin1String("\r\n")))
        return text.chopped(2);
    if (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r')))
        return text.chopped(1);
    return text;
}

bool readFile(const QString &path, QString &text, QString *error, qint64 maxUtf8Bytes,
              bool *tooLarge) {
    if (tooLarge)
        *tooLarge = false;
    if (QString why; !mayOpen(path, &why))
        return failed("read", path, why, error);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failed("read", path, file.errorString(), error);
    // Told by the size before anything is read: the fewest UTF-8 bytes the file can decode
    // to, two bytes a unit after UTF-16's mark, at least one a byte otherwise.
    if (maxUtf8Bytes >= 0) {
        const QByteArray mark = file.peek(3);
        const qint64 size = file.size();
        const qint64 fewest = mark.startsWith("\xFF\xFE") || mark.startsWith("\xFE\xFF")
                                  ? (size - 2) / 2
                                  : size - (mark == "\xEF\xBB\xBF" ? 3 : 0);
        if (fewest > maxUtf8Bytes) {
            if (tooLarge)
                *tooLarge = true;
            return false;
        }
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return failed("read", path, file.errorString(), error);
    text = withoutFinalLineBreak(decode(bytes));
    return true;
}

} // namespace Text
