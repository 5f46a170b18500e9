#include "main/autostart.h"

#include "core/text.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace Autostart {

QString entryPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/snapvale.desktop");
}

bool isOn() {
    QFile file(entryPath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // A desktop may switch an entry off rather than remove it.
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.trimmed() == "Hidden=true")
            return false;
    }
    return true;
}

QString execValue(const QString &program) {
    // The desktop entry rules: inside double quotes `"`, `` ` ``, `$` and `\` take a backslash;
    // then, as in every string value, each backslash is doubled and a line break or tab is
    // written as an escape; a literal `%` is `%%`, as field codes start with one.
    QString quoted;
    for (const QChar c : program) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    QString value = QStringLiteral("\"");
    for (const QChar c : quoted) {
        if (c == QLatin1Char('\\'))
            value += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            value += QLatin1String("\\n");
        else if (c == QLatin1Char('\t'))
            value += QLatin1String("\\t");
        else if (c == QLatin1Char('\r'))
            value += QLatin1String("\\r");
        else if (c == QLatin1Char('%'))
            value += QLatin1String("%%");
        else
            value += c;
    }
    return value + QLatin1Char('"');
}

bool set(bool on, QString *error) {
    const QString path = entryPath();
    if (!on) {
        QFile file(path);
        if (!file.exists() || file.remove())
            return true;
        *error = file.errorString();
        return false;
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        *error = QCoreApplication::translate("Autostart", "the folder cannot be made");
        return false;
    }
    // The program that runs now, so that a copy outside the system folders starts too: through
    // the `snapvale` command beside it, which the program's own folder is not.
    QString program = QCoreApplication::applicationFilePath();
#ifdef SNAPVALE_LAUNCHER_FROM_PROGRAM
    const QString launcher = QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                             QStringLiteral("/" SNAPVALE_LAUNCHER_FROM_PROGRAM));
    if (QFileInfo(launcher).isExecutable())
        program = launcher;
#endif
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=Snapvale\n"
                                         "Comment=Thirty clippings of text, one click away\n"
                                         "Exec=%1\n"
                                         "Icon=snapvale\n"
                                         "Terminal=false\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(execValue(program));
    return Text::writeFileAtomically(path, entry, error);
}

} // namespace Autostart
