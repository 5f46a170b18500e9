#pragma once

#include <QString>

class QCoreApplication;

namespace Translations {

// Installs the program's translation for the user's language (LANGUAGE, LC_ALL, LC_MESSAGES,
// LANG), and Qt's own for its dialogs where the system has it. English needs none.
void install(QCoreApplication &app);

// The language the program's texts were installed in ("de_DE"), or empty for English.
QString installedLanguage();

} // namespace Translations
