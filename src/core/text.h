#pragma once

#include <QString>

// Text rules shared by the commands that copy, save and load entries.
namespace Text {

// Removes leading and trailing U+0020 only: tabs and line breaks at the ends stay. A text with
// nothing to remove comes back shared, not copied.
QString trimSpaces(const QString &text);
QByteArray trimSpaces(const QByteArray &utf8);

// Writes `content` to `path` in UTF-8 without a byte-order mark, replacing a former file only
// once the new one is complete: a failed write leaves the old file as it was. False when the
// file was not written; `error` then says why, in the system's words.
bool writeFileAtomically(const QString &path, const QString &content, QString *error = nullptr);

// Decodes a text file's bytes: a byte-order mark is skipped (UTF-8, or UTF-16 of either order);
// bytes that are not valid UTF-8 are read as Windows-1252, so that no byte is lost or turns into
// a replacement character.
QString decode(const QByteArray &bytes);

// Applies the line rules of set files: a line ends at CR or at CR LF, a lone LF stays inside
// its line, and every line, the last one included, comes out ending in CR LF. An empty text
// stays empty.
QString withLineEnds(const QString &text);

// The line break of text this program makes (a line typed in the editor, the end a saved text
// file gets): LF, and CR LF on Windows. Text that came in keeps its own.
inline QString lineBreak() {
#ifdef Q_OS_WIN
    return QStringLiteral("\r\n");
#else
    return QStringLiteral("\n");
#endif
}

// The first `characters` UTF-16 units of `text`, one fewer where the cut would split a
// character in two.
QString startOf(const QString &text, qsizetype characters);
// The same start on one line: line breaks and tabs shown as spaces.
QString oneLine(const QString &text, qsizetype characters);

// The same start as a terminal may show it: every control character (escape sequences, CR,
// backspace, C1) and each bidirectional override or isolate shown as a space.
QString terminalLine(const QString &text, qsizetype characters);

// The size of `text` in UTF-8, counted without converting it.
qint64 utf8Size(const QString &text);

// Only ordinary files are read or written: a FIFO or a device would block or never end. True
// for a path that does not exist yet.
bool isOrdinaryOrAbsent(const QString &path);
// Whether a text or set file may be opened at `path`: an ordinary file (or none yet) that is not
// the program's own settings store or its log. `why` says why not.
bool mayOpen(const QString &path, QString *why = nullptr);

// Reads a text file: decoded as above, every byte of its text kept (its own CR, CR LF or LF
// line breaks) but one line break at its very end, which a save adds (lineBreak()). So a text
// saved and loaded again is the same text. False when it cannot be read; `text` is then
// unchanged and `error` says why. With `maxUtf8Bytes`, a file that decodes to more whatever its
// encoding is refused by its size before anything is read, and `tooLarge` says so.
bool readFile(const QString &path, QString &text, QString *error = nullptr,
              qint64 maxUtf8Bytes = -1, bool *tooLarge = nullptr);
QString withoutFinalLineBreak(const QString &text);

} // namespace Text
