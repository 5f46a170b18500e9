#include "app/commands.h"
#include "core/settingsstore.h"
#include "main/mainwindow.h"
#include "platform/qtdesktop.h"

#include <QApplication>
#include <QSessionManager>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef Q_OS_UNIX
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

const char usage[] = "Usage: snapvale [options]\n"
                     "Snapvale keeps 30 clippings of text one click away, in a small window and\n"
                     "behind its tray icon.\n"
                     "\n"
                     "Options:\n"
                     "  -h, --help     Show this help and exit.\n"
                     "  -v, --version  Show the version and exit.\n"
                     "  --exit-after-paint\n"
                     "                 End after the window's first paint, saving nothing\n"
                     "                 (for measuring start-up).\n"
                     "\n"
                     "Entries and settings are kept in $XDG_DATA_HOME/Snapvale/settings.sqlite3\n"
                     "(~/.local/share/Snapvale/settings.sqlite3).\n";

QStringList startupMessages;

// Until the window system is reached, a failure to reach it ends the program with one clear
// line instead of Qt's abort and its paragraph of advice; other messages are held till then.
void startupMessageHandler(QtMsgType type, const QMessageLogContext &, const QString &text) {
    if (type == QtFatalMsg) {
        const char *display = std::getenv("DISPLAY");
        const char *wayland = std::getenv("WAYLAND_DISPLAY");
        std::fprintf(stderr,
                     "snapvale: cannot open a window: no display could be reached "
                     "(DISPLAY=%s, WAYLAND_DISPLAY=%s)\n",
                     display ? display : "", wayland ? wayland : "");
        std::_Exit(1);
    }
    startupMessages << text;
}

// Ends the program once the window it watches has painted for the first time.
class FirstPaintExit : public QObject {
public:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint && !m_painted) {
            m_painted = true;
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        }
        return false;
    }

private:
    bool m_painted = false;
};

#ifdef Q_OS_UNIX
int signalPipe[2] = {-1, -1};

void onTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

// SIGTERM, SIGINT and SIGHUP end the program as a system shut-down does, so that auto-save
// keeps what it promised. The handler only wakes the event loop; the work runs there.
void handleTerminationSignals(MainWindow &window) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window, notifier] {
        char byte;
        [[maybe_unused]] const auto read = ::read(signalPipe[0], &byte, 1);
        notifier->setEnabled(false);
        window.unload(MainWindow::SystemShutdown);
        // exit(), not quit(): quit() asks every window to close, and any may refuse.
        QCoreApplication::exit(0);
    });
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        sigaction(sig, &action, nullptr);
}
#endif

} // namespace

int main(int argc, char *argv[]) {
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "-h") || !std::strcmp(argv[i], "--help")) {
            std::fputs(usage, stdout);
            return 0;
        }
        if (!std::strcmp(argv[i], "-v") || !std::strcmp(argv[i], "--version")) {
            std::printf("snapvale %s\n", SNAPVALE_VERSION);
            return 0;
        }
    }

    qInstallMessageHandler(startupMessageHandler);
    QApplication app(argc, argv);
    qInstallMessageHandler(nullptr);
    for (const QString &held : std::as_const(startupMessages))
        std::fprintf(stderr, "%s\n", qUtf8Printable(held));

    QApplication::setApplicationName(QStringLiteral("Snapvale"));
    QApplication::setApplicationVersion(QStringLiteral(SNAPVALE_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("snapvale"));
    // The window hides in the tray; the program ends with Exit, not with its last window.
    QApplication::setQuitOnLastWindowClosed(false);

    QStringList rest = QApplication::arguments().mid(1);
    const bool exitAfterPaint = rest.removeAll(QStringLiteral("--exit-after-paint")) > 0;
    if (!rest.isEmpty()) {
        std::fprintf(stderr, "snapvale: unknown argument '%s'; see snapvale --help\n",
                     qUtf8Printable(rest.constFirst()));
        return 2;
    }

    SettingsStore store(SettingsStore::defaultPath());
    QtDesktop desktop;
    MainWindow window(store, desktop);
    installCommands(window);

    QObject::connect(&window, &MainWindow::unloaded, &app, [] {
        // A window that is open on its own (help) keeps the program until it is closed too.
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && !w->inherits("QMenu")) {
                QApplication::setQuitOnLastWindowClosed(true);
                return;
            }
        }
        QCoreApplication::exit(0);
    });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager &) { window.unload(MainWindow::SystemShutdown); });
#ifdef Q_OS_UNIX
    handleTerminationSignals(window);
#endif

    FirstPaintExit firstPaintExit;
    if (exitAfterPaint)
        app.installEventFilter(&firstPaintExit);

    window.loadAtStart();
    // A signal or a log-out while a start-up notice was open has already ended the program.
    if (window.isUnloaded())
        return 0;
    window.show();
    return app.exec();
}
