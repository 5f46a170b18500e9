#pragma once

#include <QString>

// Text rules shared by the commands that copy, save and load entries.
namespace Text {

// Removes leading and trailing U+0020 only: tabs and line breaks at the ends stay. A text with
// nothing to remove comes back shared, not copied.
QString trimSpaces(const QString &text);

// Writes `content` to `path` in UTF-8 without a byte-order mark, replacing a former file only
// once the new one is complete: a failed write leaves the old file as it was. Failures are
// printed on stderr; the result says whether the file was written.
bool writeFileAtomically(const QString &path, const QString &content);

} // namespace Text
