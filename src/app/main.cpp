#include "app/commands.h"
#include "app/instance.h"
#include "app/nocoredumps.h"
#include "app/remotecontrol.h"
#include "core/settingsstore.h"
#include "i18n/translations.h"
#include "main/mainwindow.h"
#include "platform/keyring.h"
#include "platform/qtdesktop.h"

#include <QApplication>
#include <QFileInfo>
#include <QLockFile>
#include <QLoggingCategory>
#include <QSessionManager>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#ifdef Q_OS_UNIX
#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

const char usage[] =
    "Usage: snapvale [command]\n"
    "Snapvale keeps 30 clippings of text one click away, in a small window and\n"
    "behind its tray icon. One Snapvale runs per user: a second launch brings the\n"
    "running one's window forward, and a command acts on it (starting it first\n"
    "when none runs). On X11, Ctrl+Alt+V opens the entry picker from any program\n"
    "(Options, Keyboard Shortcut... changes the key); elsewhere bind --menu to a key\n"
    "in your desktop's keyboard settings (on sway: bindsym $mod+v exec snapvale --menu).\n"
    "\n"
    "Commands:\n"
    "  --show         Show the window.\n"
    "  --hide         Hide the window in the tray.\n"
    "  --toggle       Show the window, or hide it when it shows.\n"
    "  --menu         Open the entry picker: the entries and clippings that hold\n"
    "                 text, one key each (1-9, 0, a-t for entries 1 to 30; u-z and\n"
    "                 Shift+A to N for clippings 1 to 20; Tab, then 1-9, 0 for the\n"
    "                 history's newest ten), / to filter, Esc to close. A pick goes\n"
    "                 on the clipboard and, with Paste After Picking, into the\n"
    "                 window you were typing in.\n"
    "  --copy N       Put entry N (1 to 30) on the clipboard, without the spaces\n"
    "                 at its start and end.\n"
    "  --paste N      Store the clipboard text in entry N; for an entry that holds\n"
    "                 text, ends once its replace question is answered.\n"
    "  --get N        Write entry N's text to standard output, as UTF-8, exactly\n"
    "                 as stored.\n"
    "  --list         List the entries: number, name and start, tab-separated\n"
    "                 (a secret entry: its name and \"(secret)\").\n"
    "  --secret N on|off\n"
    "                 Keep entry N's text in the desktop's Secret Service (on), or\n"
    "                 back in Snapvale's store (off). --get N still writes it.\n"
    "  --history      List the clipboard history, newest first: number, age in\n"
    "                 seconds and start, tab-separated. It keeps what other\n"
    "                 programs copy (on X11, sway and KDE with the window hidden\n"
    "                 too, on GNOME while a Snapvale window has the keyboard),\n"
    "                 never a password manager's copy or a secret entry's text.\n"
    "                 File, History... (Ctrl+H) shows it in a window.\n"
    "  --history-get K\n"
    "                 Write history item K (1 the newest) to standard output,\n"
    "                 exactly as copied.\n"
    "  --history-copy K\n"
    "                 Put history item K on the clipboard.\n"
    "  --history-clear\n"
    "                 Clear the history; no file keeps its texts.\n"
    "  -h, --help     Show this help and exit.\n"
    "  -v, --version  Show the version and exit.\n"
    "  --exit-after-paint\n"
    "                 End after the window's first paint, only reading the store\n"
    "                 (for measuring start-up; runs beside any other Snapvale).\n"
    "\n"
    "Exit status: 0 done, 1 the running Snapvale cannot be reached or no display,\n"
    "the answer cannot be written out (a full disk) or the entry's text cannot be\n"
    "read from the store, 2 bad use (also a history item beyond the history); for\n"
    "--paste: 3 the entry kept its text\n"
    "(Cancel, or Snapvale was exited first), 4 nothing to paste (no text on the\n"
    "clipboard, or too large), 5 another replace question is open; 6 the Secret\n"
    "Service refused (--secret, --paste of a password manager's copy, or --get or\n"
    "--copy of a locked secret entry).\n"
    "\n"
    "Entries and settings are kept in $XDG_DATA_HOME/Snapvale/settings.sqlite3\n"
    "(~/.local/share/Snapvale/settings.sqlite3).\n";

// How long a launch waits for a starting Snapvale to answer.
constexpr int startTimeoutMs = 20000;

#ifdef Q_OS_UNIX
// Starts a plain Snapvale of its own session, with nothing of this process's standard streams:
// a command's output (`snapvale --get 3 | ...`) must end when the command does.
pid_t startProgram() {
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    ::setsid();
    const int null = ::open("/dev/null", O_RDWR);
    for (int fd = 0; fd <= 2; ++fd)
        ::dup2(null, fd);
    char name[] = "snapvale";
    char *const args[] = {name, nullptr};
    // Through the binary's own path where it still exists, so that the process is called
    // "snapvale" (pgrep, top) rather than "exe".
    char path[4096];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length > 0) {
        path[length] = '\0';
        ::execv(path, args);
    }
    ::execv("/proc/self/exe", args);
    ::_exit(127);
}
#endif

// Hands the request to the running Snapvale; when none runs, a command starts one first.
// Returns the exit status, or -1 when this process is to become the running Snapvale.
int handOver(InstanceChannel &channel, const Request &request) {
#ifdef Q_OS_UNIX
    bool started = false;
    pid_t child = 0;
    for (int waited = 0; waited <= startTimeoutMs; waited += 25) {
        InstanceClient::Answer answer;
        if (const int status = InstanceClient::finish(channel.send(request, &answer), answer);
            status >= 0)
            return status;
        if (!started) {
            started = true;
            // A plain launch becomes the running Snapvale unless another is starting.
            if (request.kind == Request::Activate && channel.lock())
                return -1;
            if (request.kind != Request::Activate)
                child = startProgram();
        }
        // A start that failed ends the wait; one that handed over to another start (two
        // commands at once) ended well, and the wait goes on for that one.
        int status = 0;
        if (child > 0 && ::waitpid(child, &status, WNOHANG) == child) {
            child = 0;
            if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
                std::fprintf(stderr,
                             "snapvale: Snapvale could not be started (is there a display?)\n");
                return 1;
            }
        }
        QThread::msleep(25);
    }
    std::fprintf(stderr, "snapvale: the running Snapvale cannot be reached\n");
    return 1;
#else
    // The channel is built on Unix sockets; elsewhere each launch is a program of its own.
    Q_UNUSED(channel);
    if (request.kind != Request::Activate) {
        std::fprintf(stderr, "snapvale: commands are not available on this system\n");
        return 1;
    }
    return -1;
#endif
}

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

Q_LOGGING_CATEGORY(lcWindows, "snapvale.windows", QtWarningMsg)

// Each window of the program shown, hidden, given or left by the keyboard, as one line on
// stderr with QT_LOGGING_RULES="snapvale.windows.info=true": what a test under a compositor
// that shows no window list waits on, and what a user tells when a window went missing.
class WindowLog : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (!widget || !widget->isWindow())
            return false;
        const QByteArray name = widget->objectName().toUtf8();
        switch (event->type()) {
        case QEvent::Show:
            // Said once the call that shows it has returned: on X11 a popup is then mapped and
            // holds the keyboard grab.
            QTimer::singleShot(0, widget,
                               [name] { qCInfo(lcWindows, "%s shown", name.constData()); });
            break;
        case QEvent::Hide:
            qCInfo(lcWindows, "%s hidden", name.constData());
            break;
        case QEvent::WindowActivate:
            qCInfo(lcWindows, "%s active", name.constData());
            break;
        case QEvent::WindowDeactivate:
            qCInfo(lcWindows, "%s inactive", name.constData());
            break;
        default:
            break;
        }
        return false;
    }
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
        window.unload(MainWindow::CloseReason::SessionEnd);
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
    forbidCoreDumps();
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

    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    bool exitAfterPaint = false;
    QString error;
    const std::optional<Request> request =
        RequestParser::parseArguments(arguments, &exitAfterPaint, &error);
    if (!request) {
        std::fprintf(stderr, "snapvale: %s\n", qUtf8Printable(error));
        return 2;
    }
    // The benchmark's starts run beside whatever else runs.
    InstanceChannel channel;
    if (!exitAfterPaint) {
        if (!channel.error().isEmpty()) {
            std::fprintf(stderr, "snapvale: %s\n", qUtf8Printable(channel.error()));
            return 1;
        }
        const int handedOver = handOver(channel, *request);
        if (handedOver >= 0)
            return handedOver;
    }

    // In a Wayland session with XWayland, Snapvale runs as an X11 program: Wayland keeps Always
    // on Top and a menu at the pointer from ordinary programs. Given as an argument, so that the
    // programs it opens are not told the same; the user's QT_QPA_PLATFORM wins.
    std::vector<char *> qtArguments(argv, argv + argc);
    char platformOption[] = "-platform";
    char xcb[] = "xcb";
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        !qEnvironmentVariableIsEmpty("DISPLAY")) {
        qtArguments.push_back(platformOption);
        qtArguments.push_back(xcb);
    }
    qtArguments.push_back(nullptr);
    int qtArgc = int(qtArguments.size()) - 1;

    qInstallMessageHandler(startupMessageHandler);
    QApplication app(qtArgc, qtArguments.data());
    qInstallMessageHandler(nullptr);
    for (const QString &held : std::as_const(startupMessages))
        std::fprintf(stderr, "%s\n", qUtf8Printable(held));

    Translations::install(app);
    QApplication::setApplicationName(QStringLiteral("Snapvale"));
    QApplication::setApplicationVersion(QStringLiteral(SNAPVALE_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("snapvale"));
    // The window hides in the tray; the program ends with Exit, not with its last window.
    QApplication::setQuitOnLastWindowClosed(false);

    // A start-up measurement runs beside any other Snapvale and changes nothing.
    const QString storePath = SettingsStore::defaultPath();
    const auto store = exitAfterPaint
                           ? std::make_unique<SettingsStore>(storePath, SettingsStore::ReadOnly)
                           : std::make_unique<SettingsStore>(storePath);
    QtDesktop desktop;
    // Outlives the session, which may still hand it a secret as the program ends.
    Keyring keyring(storePath);
    EntrySession session(*store);
    if (Keyring::supported() && !exitAfterPaint)
        session.setSecretKeeper(&keyring);
    MainWindow window(session, desktop);
    // The recovery copy and the closing saves belong to the one Snapvale that holds this lock
    // beside the store: another with a runtime folder of its own may share the store.
    QLockFile storeOwner(QFileInfo(storePath).absolutePath() + QStringLiteral("/owner.lock"));
    if (exitAfterPaint)
        session.setRole(EntrySession::Role::Probe);
    else if (!storeOwner.tryLock(0) && storeOwner.error() == QLockFile::LockFailedError)
        session.setRole(EntrySession::Role::Guest);
    installCommands(window, session);

    // Exit ends the program whatever else is open (help, a question): a program left running
    // after its session ended would take commands it never saves.
    QObject::connect(&window, &MainWindow::unloaded, &app, [] { QCoreApplication::exit(0); });
    QObject::connect(
        &app, &QGuiApplication::commitDataRequest, &window,
        [&window](QSessionManager &) { window.unload(MainWindow::CloseReason::SessionEnd); });
#ifdef Q_OS_UNIX
    handleTerminationSignals(window);
#endif

    FirstPaintExit firstPaintExit;
    if (exitAfterPaint)
        app.installEventFilter(&firstPaintExit);
    WindowLog windowLog;
    if (lcWindows().isInfoEnabled())
        app.installEventFilter(&windowLog);

    // Later launches hand their requests over from now on.
    std::unique_ptr<InstanceServer> server;
    if (!exitAfterPaint)
        server = std::make_unique<InstanceServer>(
            channel.socketPath(),
            [&window, &session](const Request &request, const InstanceServer::Answer &answer) {
                carryOut(window, session, request, answer);
            });

    window.loadAtStart();
    // A signal or a log-out while a start-up notice was open has already ended the program.
    if (window.isUnloaded())
        return 0;
    window.show();
    return app.exec();
}
