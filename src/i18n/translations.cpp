#include "i18n/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

QString language;

} // namespace

void Translations::install(QCoreApplication &app) {
    const QLocale locale;
    auto *own = new QTranslator(&app);
    // Looks through the user's languages in order: "de_AT" finds "snapvale_de".
    if (own->load(locale, QStringLiteral("snapvale"), QStringLiteral("_"),
                  QStringLiteral(":/i18n"))) {
        QCoreApplication::installTranslator(own);
        language = own->language();
    } else {
        delete own;
        return;
    }
    // The file dialogs and the standard buttons are Qt's; their words come with the system's
    // Qt translations when those are installed.
    auto *qt = new QTranslator(&app);
    if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;
}

QString Translations::installedLanguage() {
    return language;
}
