#include "core/settingsstore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <csignal>
#include <memory>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

QProcessEnvironment baseEnvironment(const QString &dataHome) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    // A runtime folder of the test's own: its Snapvale is the only one there.
    const QString runtime = dataHome + QStringLiteral("/run");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qt.*=false"));
    return env;
}

// The program takes termination signals once its handler is installed; reading the caught-signal
// mask tells when that is, without sleeping for a guessed time.
bool catchesSigterm(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1;
    }
    return false;
}

// The programs this test started, found as its children: the test takes in orphans (a launch
// starts a program of its own and ends), and a program's environment and binary are not for
// other processes to read.
QList<qint64> startedPrograms() {
    QList<qint64> found;
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &pid : pids) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (pid.toLongLong() <= 0 || !stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (comm) state ppid ...": the name may hold spaces and brackets, so from the last.
        const QByteArray line = stat.readAll();
        const qsizetype close = line.lastIndexOf(')');
        const QList<QByteArray> rest = line.mid(close + 2).split(' ');
        if (line.mid(line.indexOf('(') + 1, close - line.indexOf('(') - 1) != "snapvale" ||
            rest.size() < 2 || rest.at(1).toLongLong() != ::getpid())
            continue;
        // One that has ended is taken in here; QProcess takes its own children itself.
        if (rest.at(0) == "Z")
            ::waitpid(pid_t(pid.toLongLong()), nullptr, WNOHANG);
        else
            found << pid.toLongLong();
    }
    return found;
}

// Ends every program this test started, so that none outlives the test's folders.
bool endStartedPrograms() {
    QElapsedTimer waited;
    waited.start();
    while (!startedPrograms().isEmpty() && waited.elapsed() < 30000) {
        for (qint64 pid : startedPrograms())
            ::kill(pid_t(pid), SIGTERM);
        QTest::qWait(50);
    }
    return startedPrograms().isEmpty();
}

bool waitForSignalHandler(const QProcess &p) {
    QElapsedTimer waited;
    waited.start();
    while (!catchesSigterm(p.processId()) && waited.elapsed() < 30000)
        QTest::qWait(20);
    return catchesSigterm(p.processId());
}

int dataRows(const QString &path) {
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, "SELECT count(*) FROM settings WHERE section = 'Data'", -1, &st,
                       nullptr);
    const int rows = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : -1;
    sqlite3_finalize(st);
    sqlite3_close(db);
    return rows;
}

struct Run {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Run run(const QProcessEnvironment &env, const QStringList &arguments) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(SNAPVALE_BINARY), arguments);
    Run r;
    if (!p.waitForFinished(30000))
        return r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

// Whether something listens on the channel of that runtime folder: a socket file left by a
// killed program is not enough.
bool listening(const QProcessEnvironment &env) {
    QLocalSocket socket;
    socket.connectToServer(env.value(QStringLiteral("XDG_RUNTIME_DIR")) +
                           QStringLiteral("/snapvale.socket"));
    return socket.waitForConnected(1000);
}

// The running Snapvale of a test, once it listens on its channel; null when it never does.
std::unique_ptr<QProcess> startRunning(const QProcessEnvironment &env) {
    auto p = std::make_unique<QProcess>();
    p->setProcessEnvironment(env);
    p->start(QStringLiteral(SNAPVALE_BINARY));
    QElapsedTimer waited;
    waited.start();
    while (p->state() != QProcess::NotRunning && waited.elapsed() < 30000) {
        if (listening(env))
            return p;
        QTest::qWait(50);
    }
    p->kill();
    p->waitForFinished();
    return nullptr;
}

} // namespace

class TestBinary : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void informationOptions_data();
    void informationOptions();
    void unknownArgument();
    void noDisplay_data();
    void noDisplay();
    void terminationSignalRunsShutdown_data();
    void terminationSignalRunsShutdown();
    void signalWhileStartNoticeIsOpen();
    void secondLaunchHandsOver();
    void commandWithoutDisplay();
    void runtimeFolderNotUsable_data();
    void runtimeFolderNotUsable();
    void commandsAtOnceStartOne();
    void tenLaunchesAtOnce();
    void killedProgramTakenOver();
    void commands();
    void pasteWaitsForTheQuestion();
    void badUse_data();
    void badUse();
    void programMissing();
    void untrustedChannel();
    void otherUsersKeptOut();
    void noCoreDumps();
    void longReason();
    void listingSafeForATerminal();
    void slowReaderWaitsAlone();
};

void TestBinary::cleanup() {
    // No program a test started outlives it, or its folders.
    QVERIFY(endStartedPrograms());
}

void TestBinary::initTestCase() {
    // Programs that launches start are reparented to this test, which ends them.
    QVERIFY(::prctl(PR_SET_CHILD_SUBREAPER, 1) == 0);
}

void TestBinary::informationOptions_data() {
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("starts");
    QTest::newRow("--help") << "--help"
                            << "Usage: snapvale [command]\n";
    QTest::newRow("-h") << "-h"
                        << "Usage: snapvale [command]\n";
    QTest::newRow("--version") << "--version"
                               << "snapvale " SNAPVALE_VERSION "\n";
    QTest::newRow("-v") << "-v"
                        << "snapvale " SNAPVALE_VERSION "\n";
}

void TestBinary::informationOptions() {
    QFETCH(QString, option);
    QFETCH(QString, starts);
    QTemporaryDir home;
    QProcess p;
    // No display at all: these options never need one.
    QProcessEnvironment env = baseEnvironment(home.path());
    for (const char *var : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(var));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(SNAPVALE_BINARY), {option});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);
    QVERIFY(QString::fromUtf8(p.readAllStandardOutput()).startsWith(starts));
    QCOMPARE(p.readAllStandardError(), QByteArray());
    // Nothing is created for them either.
    QVERIFY(!QFile::exists(home.filePath(QStringLiteral("Snapvale"))));
}

void TestBinary::unknownArgument() {
    QTemporaryDir home;
    QProcess p;
    p.setProcessEnvironment(baseEnvironment(home.path()));
    p.start(QStringLiteral(SNAPVALE_BINARY), {QStringLiteral("--frobnicate")});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 2);
    QVERIFY(p.readAllStandardError().contains("--frobnicate"));
}

void TestBinary::noDisplay_data() {
    QTest::addColumn<QString>("display");
    QTest::newRow("none set") << QString();
    QTest::newRow("unreachable X server") << QStringLiteral(":4711");
}

void TestBinary::noDisplay() {
    QFETCH(QString, display);
    QTemporaryDir home;
    QTemporaryDir runtime;
    QProcessEnvironment env = baseEnvironment(home.path());
    for (const char *var : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_LOGGING_RULES"})
        env.remove(QLatin1String(var));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    if (!display.isEmpty())
        env.insert(QStringLiteral("DISPLAY"), display);
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(SNAPVALE_BINARY));
    QVERIFY(p.waitForFinished(30000));
    // An orderly exit with status 1, not an abort.
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 1);
    const QByteArray err = p.readAllStandardError();
    QVERIFY2(err.startsWith("snapvale: cannot open a window"), err.constData());
    QCOMPARE(err.count('\n'), 1);
}

void TestBinary::terminationSignalRunsShutdown_data() {
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("autoSave");
    QTest::newRow("SIGTERM, auto-save on") << int(SIGTERM) << true;
    QTest::newRow("SIGTERM, auto-save off") << int(SIGTERM) << false;
    QTest::newRow("SIGINT, auto-save on") << int(SIGINT) << true;
    QTest::newRow("SIGHUP, auto-save on") << int(SIGHUP) << true;
}

void TestBinary::terminationSignalRunsShutdown() {
    QFETCH(int, signal);
    QFETCH(bool, autoSave);
    QTemporaryDir home;
    const QString storePath = home.filePath(QStringLiteral("Snapvale/settings.sqlite3"));
    {
        // One key stored. Entry 1 is then pasted into entry 2: the save at the signal writes
        // entry 2 alone, which the row count shows.
        SettingsStore store(storePath);
        store.set(QStringLiteral("Data"), QStringLiteral("Entry1"), QStringLiteral("kept"));
        store.set(QStringLiteral("Settings"), QStringLiteral("AutoSave"),
                  autoSave ? QStringLiteral("1") : QStringLiteral("2"));
    }
    QProcess p;
    p.setProcessEnvironment(baseEnvironment(home.path()));
    p.start(QStringLiteral(SNAPVALE_BINARY));
    QVERIFY(p.waitForStarted());
    QVERIFY(waitForSignalHandler(p));
    const QProcessEnvironment env = baseEnvironment(home.path());
    QCOMPARE(run(env, {QStringLiteral("--copy"), QStringLiteral("1")}).status, 0);
    QCOMPARE(run(env, {QStringLiteral("--paste"), QStringLiteral("2")}).status, 0);
    QCOMPARE(run(env, {QStringLiteral("--get"), QStringLiteral("2")}).out, QByteArray("kept"));
    ::kill(pid_t(p.processId()), signal);
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(dataRows(storePath), autoSave ? 3 : 1);
    SettingsStore store(storePath);
    QCOMPARE(store.get(QStringLiteral("Data"), QStringLiteral("Entry1")), QStringLiteral("kept"));
}

void TestBinary::secondLaunchHandsOver() {
    QTemporaryDir home;
    const QProcessEnvironment env = baseEnvironment(home.path());
    auto first = startRunning(env);
    QVERIFY(first);
    const Run second = run(env, {});
    QCOMPARE(second.status, 0);
    QCOMPARE(second.out + second.err, QByteArray());
    QCOMPARE(first->state(), QProcess::Running);
    // No false recovery message in the first: the second never opened the store.
    first->terminate();
    QVERIFY(first->waitForFinished(30000));
}

void TestBinary::commandWithoutDisplay() {
    // Nothing runs and no window can be opened: the command ends with one line and status 1.
    QTemporaryDir home;
    QProcessEnvironment env = baseEnvironment(home.path());
    for (const char *var : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(var));
    const Run r = run(env, {QStringLiteral("--copy"), QStringLiteral("2")});
    QCOMPARE(r.status, 1);
    QCOMPARE(r.err, QByteArray("snapvale: Snapvale could not be started (is there a display?)\n"));
}

void TestBinary::runtimeFolderNotUsable_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing") << "missing";
    QTest::newRow("open to others (0755)") << "shared";
    QTest::newRow("another user's") << "foreign";
    QTest::newRow("unset, another user's folder in /tmp") << "unset";
}

void TestBinary::runtimeFolderNotUsable() {
    // A runtime folder that is not the user's alone is not used (anyone could listen there or
    // block it); the channel moves into the user's cache folder, and commands still reach the
    // program.
    QFETCH(QString, kind);
    if ((kind == QLatin1String("foreign") || kind == QLatin1String("unset")) && ::geteuid() != 0)
        QSKIP("only root can make another user's folder");
    QTemporaryDir home;
    QProcessEnvironment env = baseEnvironment(home.path());
    env.insert(QStringLiteral("HOME"), home.path());
    env.remove(QStringLiteral("XDG_CACHE_HOME"));
    const QString runtime = home.filePath(QStringLiteral("runtime"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    QString foreignTmp;
    if (kind == QLatin1String("shared")) {
        QVERIFY(QDir().mkpath(runtime));
        QVERIFY(::chmod(QFile::encodeName(runtime).constData(), 0755) == 0);
    } else if (kind == QLatin1String("foreign")) {
        QVERIFY(QDir().mkpath(runtime));
        QVERIFY(::chmod(QFile::encodeName(runtime).constData(), 0700) == 0);
        QVERIFY(::chown(QFile::encodeName(runtime).constData(), 65534, 65534) == 0);
    } else if (kind == QLatin1String("unset")) {
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        // The name an older Snapvale used, made first by another user.
        foreignTmp = QStringLiteral("/tmp/snapvale-%1").arg(::getuid());
        if (QFileInfo::exists(foreignTmp))
            foreignTmp.clear();
        else
            QVERIFY(QDir().mkdir(foreignTmp) &&
                    ::chown(QFile::encodeName(foreignTmp).constData(), 65534, 65534) == 0);
    }
    const auto removeTmp = qScopeGuard([&] {
        if (!foreignTmp.isEmpty())
            QDir().rmdir(foreignTmp);
    });
    const QString socket = home.filePath(QStringLiteral(".cache/Snapvale/run/snapvale.socket"));
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(SNAPVALE_BINARY));
    QVERIFY(p.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(socket).exists(), 30000);
    const Run listed = run(env, {QStringLiteral("--list")});
    QCOMPARE(listed.status, 0);
    QCOMPARE(listed.out.count('\n'), 30);
    QFileInfo folder(QFileInfo(socket).absolutePath());
    QCOMPARE(folder.permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
             QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    p.terminate();
    QVERIFY(p.waitForFinished(30000));
    if (kind != QLatin1String("unset"))
        QVERIFY2(p.readAllStandardError().contains("(XDG_RUNTIME_DIR) is not a folder of this "
                                                   "user's alone"),
                 qPrintable(kind));
}

void TestBinary::commandsAtOnceStartOne() {
    // Five commands with nothing running: each starts a Snapvale, one of those runs on, and
    // every command is answered.
    QTemporaryDir home;
    const QProcessEnvironment env = baseEnvironment(home.path());
    std::vector<std::unique_ptr<QProcess>> commands;
    for (int i = 0; i < 5; ++i) {
        commands.push_back(std::make_unique<QProcess>());
        commands.back()->setProcessEnvironment(env);
        commands.back()->start(QStringLiteral(SNAPVALE_BINARY),
                               {QStringLiteral("--get"), QStringLiteral("1")});
    }
    for (auto &p : commands) {
        QVERIFY(p->waitForFinished(30000));
        QCOMPARE(p->exitCode(), 0);
        QCOMPARE(p->readAllStandardError(), QByteArray());
    }
    QFile lock(env.value(QStringLiteral("XDG_RUNTIME_DIR")) + QStringLiteral("/snapvale.lock"));
    QVERIFY(lock.open(QIODevice::ReadOnly));
    const qint64 pid = lock.readLine().trimmed().toLongLong();
    QVERIFY(pid > 0);
    // The starts that lost hand over and end; the one that holds the lock runs on alone.
    QTRY_COMPARE_WITH_TIMEOUT(startedPrograms(), QList<qint64>{pid}, 15000);
    // A started program goes by its own name, as pgrep and top show it.
    QFile name(QStringLiteral("/proc/%1/comm").arg(pid));
    QVERIFY(name.open(QIODevice::ReadOnly));
    QCOMPARE(name.readAll().trimmed(), QByteArray("snapvale"));
    QVERIFY(endStartedPrograms());
}

void TestBinary::tenLaunchesAtOnce() {
    QTemporaryDir home;
    const QProcessEnvironment env = baseEnvironment(home.path());
    std::vector<std::unique_ptr<QProcess>> launches;
    for (int i = 0; i < 10; ++i) {
        launches.push_back(std::make_unique<QProcess>());
        launches.back()->setProcessEnvironment(env);
        launches.back()->start(QStringLiteral(SNAPVALE_BINARY));
    }
    // Nine hand over and end; exactly one runs on.
    int ended = 0;
    QProcess *running = nullptr;
    for (auto &p : launches) {
        if (p->waitForFinished(15000)) {
            QCOMPARE(p->exitCode(), 0);
            ++ended;
        } else {
            running = p.get();
        }
    }
    QCOMPARE(ended, 9);
    QVERIFY(running);
    QCOMPARE(run(env, {QStringLiteral("--list")}).status, 0);
    running->terminate();
    QVERIFY(running->waitForFinished(30000));
}

void TestBinary::killedProgramTakenOver() {
    QTemporaryDir home;
    const QProcessEnvironment env = baseEnvironment(home.path());
    auto first = startRunning(env);
    QVERIFY(first);
    first->kill();
    QVERIFY(first->waitForFinished(30000));
    // Its socket and lock are left behind; the next launch runs all the same.
    QVERIFY(QFile::exists(env.value(QStringLiteral("XDG_RUNTIME_DIR")) +
                          QStringLiteral("/snapvale.socket")));
    auto second = startRunning(env);
    QVERIFY(second);
    QCOMPARE(second->state(), QProcess::Running);
    QCOMPARE(run(env, {QStringLiteral("--get"), QStringLiteral("1")}).status, 0);
    second->terminate();
    QVERIFY(second->waitForFinished(30000));
}

void TestBinary::commands() {
    QTemporaryDir home;
    const QProcessEnvironment env = baseEnvironment(home.path());
    const QString text = QStringLiteral("  gr\u00fc\u00dfe\r\n\tzwei \U0001F600  ");
    const QString large = QStringLiteral("\u00e4\U0001F600").repeated(1 << 20);
    {
        SettingsStore store(home.filePath(QStringLiteral("Snapvale/settings.sqlite3")));
        store.set(QStringLiteral("Data"), QStringLiteral("Entry3"), text);
        store.set(QStringLiteral("Data"), QStringLiteral("Entry3b"), QStringLiteral("three"));
        store.set(QStringLiteral("Data"), QStringLiteral("Entry5"), large);
    }
    // A command with nothing running starts Snapvale first, and ends when it is done.
    const Run got = run(env, {QStringLiteral("--get"), QStringLiteral("3")});
    QCOMPARE(got.status, 0);
    QCOMPARE(got.out, text.toUtf8());
    const Run listed = run(env, {QStringLiteral("--list")});
    QCOMPARE(listed.status, 0);
    const QList<QByteArray> lines = listed.out.split('\n');
    QCOMPARE(lines.size(), 31);
    QCOMPARE(lines.at(2), QString(QStringLiteral("3\tthree\t") +
                                  QStringLiteral("  gr\u00fc\u00dfe  \tzwei \U0001F600  ")
                                      .replace(QLatin1Char('\t'), QLatin1Char(' ')))
                              .toUtf8());
    // Copy puts the text on the clipboard as the copy button does (trimmed of spaces), and
    // paste stores the clipboard in an entry as its numbered button does.
    for (const QStringList &command :
         {QStringList{QStringLiteral("--copy"), QStringLiteral("3")},
          QStringList{QStringLiteral("--paste"), QStringLiteral("7")},
          QStringList{QStringLiteral("--hide")}, QStringList{QStringLiteral("--toggle")},
          QStringList{QStringLiteral("--show")}, QStringList{QStringLiteral("--menu")}}) {
        const Run r = run(env, command);
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out + r.err, QByteArray());
    }
    QCOMPARE(run(env, {QStringLiteral("--get"), QStringLiteral("7")}).out,
             text.trimmed().toUtf8().replace("\r\n\tzwei", "\r\n\tzwei"));
    QCOMPARE(run(env, {}).status, 0);
    // Text of many reads on the socket arrives whole.
    const Run big = run(env, {QStringLiteral("--get"), QStringLiteral("5")});
    QCOMPARE(big.status, 0);
    QVERIFY(big.out == large.toUtf8());
    // An answer that cannot be written out is a failure: `--get 5 > file` on a full disk.
    QProcess full;
    full.setProcessEnvironment(env);
    full.setStandardOutputFile(QStringLiteral("/dev/full"));
    full.start(QStringLiteral(SNAPVALE_BINARY), {QStringLiteral("--get"), QStringLiteral("3")});
    QVERIFY(full.waitForFinished(30000));
    QCOMPARE(full.exitCode(), 1);
    QCOMPARE(full.readAllStandardError(),
             QByteArray("snapvale: cannot write the answer: No space left on device\n"));
    // The program started by the first command runs on, its process id in its lock.
    QFile lock(env.value(QStringLiteral("XDG_RUNTIME_DIR")) + QStringLiteral("/snapvale.lock"));
    QVERIFY(lock.open(QIODevice::ReadOnly));
    const qint64 pid = lock.readLine().trimmed().toLongLong();
    QVERIFY(pid > 0);
    ::kill(pid_t(pid), SIGTERM);
}

void TestBinary::pasteWaitsForTheQuestion() {
    QTemporaryDir home;
    const QProcessEnvironment env = baseEnvironment(home.path());
    {
        SettingsStore store(home.filePath(QStringLiteral("Snapvale/settings.sqlite3")));
        store.set(QStringLiteral("Data"), QStringLiteral("Entry3"), QStringLiteral("three"));
    }
    auto program = startRunning(env);
    QVERIFY(program);
    const Run nothing = run(env, {QStringLiteral("--paste"), QStringLiteral("2")});
    QCOMPARE(nothing.status, 4);
    QCOMPARE(nothing.err, QByteArray("snapvale: the clipboard holds no text\n"));
    QCOMPARE(run(env, {QStringLiteral("--copy"), QStringLiteral("3")}).status, 0);

    // Into a filled entry: the launch waits for the answer to the question.
    QProcess first;
    first.setProcessEnvironment(env);
    first.start(QStringLiteral(SNAPVALE_BINARY), {QStringLiteral("--paste"), QStringLiteral("3")});
    QVERIFY(first.waitForStarted());
    // Once its question is open, another paste is told so at once, and none stacks up. Before
    // that, each try pastes into an empty entry of its own.
    Run second;
    for (int n = 10; n <= 30 && second.status != 5; ++n)
        second = run(env, {QStringLiteral("--paste"), QString::number(n)});
    QCOMPARE(second.status, 5);
    QCOMPARE(second.err, QByteArray("snapvale: the question about entry 3 is still open\n"));
    QCOMPARE(first.state(), QProcess::Running);
    program->terminate();
    QVERIFY(program->waitForFinished(30000));
    QVERIFY(first.waitForFinished(30000));
    QVERIFY(first.exitCode() != 0);
}

void TestBinary::badUse_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("message");
    const QByteArray badEntry = "snapvale: an entry number is 1 to 30\n";
    const struct {
        const char *name;
        QStringList arguments;
        QByteArray message;
    } rows[] = {
        {"entry 31", {QStringLiteral("--copy"), QStringLiteral("31")}, badEntry},
        {"entry 0", {QStringLiteral("--get"), QStringLiteral("0")}, badEntry},
        {"entry 03", {QStringLiteral("--get"), QStringLiteral("03")}, badEntry},
        {"no number", {QStringLiteral("--paste")}, badEntry},
        {"secret without on or off",
         {QStringLiteral("--secret"), QStringLiteral("3"), QStringLiteral("maybe")},
         "snapvale: --secret N takes on or off\n"},
        {"secret without number", {QStringLiteral("--secret"), QStringLiteral("on")}, badEntry},
        {"two commands",
         {QStringLiteral("--show"), QStringLiteral("--hide")},
         "snapvale: one command at a time; see snapvale --help\n"},
        {"list with a number",
         {QStringLiteral("--list"), QStringLiteral("3")},
         "snapvale: one command at a time; see snapvale --help\n"},
        {"history item 0",
         {QStringLiteral("--history-get"), QStringLiteral("0")},
         "snapvale: a history item's number is 1 to 10000, the newest 1\n"},
        {"history item 10001",
         {QStringLiteral("--history-copy"), QStringLiteral("10001")},
         "snapvale: a history item's number is 1 to 10000, the newest 1\n"},
        {"the channel's own word",
         {QStringLiteral("--activate")},
         "snapvale: unknown option '--activate'; see snapvale --help\n"},
    };
    // The command sends what it knows to a running Snapvale itself; bad use must be told
    // alike whether one runs or not.
    for (const auto &row : rows) {
        QTest::addRow("%s, none running", row.name) << row.arguments << row.message;
        QTest::addRow("%s, one running", row.name) << row.arguments << row.message;
    }
}

void TestBinary::badUse() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, message);
    QTemporaryDir home;
    const QProcessEnvironment env = baseEnvironment(home.path());
    std::unique_ptr<QProcess> program;
    if (QString::fromUtf8(QTest::currentDataTag()).endsWith(QLatin1String("one running"))) {
        program = startRunning(env);
        QVERIFY(program);
    }
    const Run r = run(env, arguments);
    QCOMPARE(r.status, 2);
    QCOMPARE(r.err, message);
    QCOMPARE(r.out, QByteArray());
    if (program) {
        QCOMPARE(program->state(), QProcess::Running);
        program->terminate();
        QVERIFY(program->waitForFinished(30000));
    }
}

void TestBinary::programMissing() {
    // The command alone, without the program it becomes: one clear line, not a crash.
    QTemporaryDir home;
    const QString alone = home.filePath(QStringLiteral("bin/snapvale"));
    QVERIFY(QDir().mkpath(home.filePath(QStringLiteral("bin"))));
    QVERIFY(QFile::copy(QStringLiteral(SNAPVALE_BINARY), alone));
    QProcess p;
    p.setProcessEnvironment(baseEnvironment(home.path()));
    p.start(alone, {QStringLiteral("--copy"), QStringLiteral("3")});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 1);
    const QByteArray err = p.readAllStandardError();
    QVERIFY2(err.startsWith("snapvale: cannot run ") &&
                 err.endsWith(": No such file or directory\n"),
             err.constData());
}

void TestBinary::untrustedChannel() {
    QTemporaryDir home;
    const QProcessEnvironment env = baseEnvironment(home.path());
    auto program = startRunning(env);
    QVERIFY(program);
    const QString socket =
        env.value(QStringLiteral("XDG_RUNTIME_DIR")) + QStringLiteral("/snapvale.socket");
    const auto exchange = [&socket](const QByteArray &sent) {
        QLocalSocket s;
        s.connectToServer(socket);
        if (!s.waitForConnected(5000))
            return QByteArray("<no connection>");
        s.write(sent);
        s.waitForBytesWritten(5000);
        QByteArray answer;
        while (s.waitForReadyRead(4000))
            answer += s.readAll();
        return answer;
    };
    QCOMPARE(exchange("copy 99\n"), QByteArray("error an entry number is 1 to 30\n"));
    QCOMPARE(exchange("rm -rf /\n"), QByteArray("error unknown request\n"));
    QCOMPARE(exchange(QByteArray(100000, 'x')), QByteArray("error the request is too long\n"));
    QCOMPARE(exchange(QByteArray("get 1\0\n", 7)),
             QByteArray("error an entry number is 1 to 30\n"));
    // A client that says nothing is dropped.
    QCOMPARE(exchange(QByteArray()), QByteArray());
    QCOMPARE(program->state(), QProcess::Running);
    QCOMPARE(exchange("list\n").left(7), QByteArray("ok 141\n"));
    program->terminate();
    QVERIFY(program->waitForFinished(30000));
    QVERIFY(program->readAllStandardError().contains("refused"));
}

void TestBinary::otherUsersKeptOut() {
    if (::geteuid() != 0)
        QSKIP("only root can try as another user");
    QTemporaryDir home;
    const QProcessEnvironment env = baseEnvironment(home.path());
    auto program = startRunning(env);
    QVERIFY(program);
    const QString socket =
        env.value(QStringLiteral("XDG_RUNTIME_DIR")) + QStringLiteral("/snapvale.socket");
    QProcess other;
    other.start(QStringLiteral("setpriv"),
                {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                 QStringLiteral("--clear-groups"), QStringLiteral("/usr/bin/python3"),
                 QStringLiteral("-c"),
                 QStringLiteral("import socket,sys\ns=socket.socket(socket.AF_UNIX)\n"
                                "try:\n s.connect(sys.argv[1])\nexcept OSError:\n sys.exit(3)"),
                 socket});
    QVERIFY(other.waitForFinished(30000));
    QCOMPARE(other.exitCode(), 3);
    program->terminate();
    QVERIFY(program->waitForFinished(30000));
}

void TestBinary::signalWhileStartNoticeIsOpen() {
    QTemporaryDir home;
    const QString storePath = home.filePath(QStringLiteral("Snapvale/settings.sqlite3"));
    {
        // A recovery copy left behind: the start shows its notice and waits for OK.
        SettingsStore store(storePath);
        store.set(QStringLiteral("Recovery"), QStringLiteral("Entry1"), QStringLiteral("typed"));
    }
    QProcess p;
    const QProcessEnvironment env = baseEnvironment(home.path());
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(SNAPVALE_BINARY));
    QVERIFY(p.waitForStarted());
    QVERIFY(waitForSignalHandler(p));
    // The channel listens just before the start loads the entries: from then on the signal is
    // read by the notice's own event loop, the first one to run.
    QTRY_VERIFY_WITH_TIMEOUT(listening(env), 30000);
    ::kill(pid_t(p.processId()), SIGTERM);
    // It ends, cleanly, with the recovered entries saved and the recovery copy gone.
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 0);
    SettingsStore store(storePath);
    QCOMPARE(store.get(QStringLiteral("Data"), QStringLiteral("Entry1")), QStringLiteral("typed"));
    QVERIFY(!store.hasSection(QStringLiteral("Recovery")));
}

void TestBinary::noCoreDumps() {
#ifndef SNAPVALE_EXPECT_NO_CORE_DUMPS
    QSKIP("a debug or sanitizer build keeps core dumps");
#else
    // A crash must not write the program's memory, secrets and all, to a file.
    QTemporaryDir home;
    QProcess p;
    p.setProcessEnvironment(baseEnvironment(home.path()));
    p.start(QStringLiteral(SNAPVALE_BINARY));
    QVERIFY(p.waitForStarted());
    QVERIFY(waitForSignalHandler(p));
    QFile limits(QStringLiteral("/proc/%1/limits").arg(p.processId()));
    QVERIFY(limits.open(QIODevice::ReadOnly));
    const QByteArray all = limits.readAll();
    QVERIFY2(all.contains("Max core file size        0                    0"), all.constData());
    p.terminate();
    QVERIFY(p.waitForFinished(30000));
#endif
}

void TestBinary::longReason() {
    // A reason of any length reaches the user, from a program that answers with one.
    QTemporaryDir home;
    const QProcessEnvironment env = baseEnvironment(home.path());
    QLocalServer server;
    QVERIFY(server.listen(env.value(QStringLiteral("XDG_RUNTIME_DIR")) +
                          QStringLiteral("/snapvale.socket")));
    QProcess command;
    command.setProcessEnvironment(env);
    command.start(QStringLiteral(SNAPVALE_BINARY),
                  {QStringLiteral("--paste"), QStringLiteral("1")});
    QVERIFY(server.waitForNewConnection(30000));
    QLocalSocket *client = server.nextPendingConnection();
    QTRY_VERIFY(client->canReadLine());
    QCOMPARE(client->readLine(), QByteArray("paste 1\n"));
    const QByteArray reason = QByteArray("the entry kept its text ").repeated(40);
    client->write("status 3 " + reason + '\n');
    QVERIFY(client->waitForBytesWritten());
    QVERIFY(command.waitForFinished(30000));
    QCOMPARE(command.exitCode(), 3);
    QCOMPARE(command.readAllStandardError(), "snapvale: " + reason + '\n');
}

void TestBinary::listingSafeForATerminal() {
    // What --list prints cannot move a terminal's cursor, retitle it, clear it or turn its
    // text around: control characters and bidirectional overrides come out as spaces.
    QTemporaryDir home;
    const QProcessEnvironment env = baseEnvironment(home.path());
    const QList<std::pair<QString, QString>> entries = {
        {QStringLiteral("\x1b]0;pwned\x07title"), QStringLiteral("osc")},
        {QStringLiteral("typed\rover"), QStringLiteral("\x1b[2Jcleared")},
        {QStringLiteral("\u202Eevil"), QStringLiteral("isolate\u2066d")},
        {QStringLiteral("c1\u0085next\u009b31m"), QStringLiteral("tab\tname")},
        {QStringLiteral("back\bspace\x7f"), QStringLiteral("ok")},
    };
    {
        SettingsStore store(home.filePath(QStringLiteral("Snapvale/settings.sqlite3")));
        for (int n = 1; n <= int(entries.size()); ++n) {
            store.set(QStringLiteral("Data"), QStringLiteral("Entry%1").arg(n),
                      entries[n - 1].first);
            store.set(QStringLiteral("Data"), QStringLiteral("Entry%1b").arg(n),
                      entries[n - 1].second);
        }
    }
    const Run listed = run(env, {QStringLiteral("--list")});
    QCOMPARE(listed.status, 0);
    const QList<QByteArray> lines = listed.out.split('\n');
    QCOMPARE(lines.at(0), QByteArray("1\tosc\t ]0;pwned title"));
    QCOMPARE(lines.at(1), QByteArray("2\t [2Jcleared\ttyped over"));
    QCOMPARE(lines.at(2), QString(QStringLiteral("3\tisolate d\t evil")).toUtf8());
    QCOMPARE(lines.at(3), QByteArray("4\ttab name\tc1 next 31m"));
    QCOMPARE(lines.at(4), QByteArray("5\tok\tback space "));
    QVERIFY(endStartedPrograms());
}

void TestBinary::slowReaderWaitsAlone() {
    // A client that asks for a large text and reads none of it keeps no one else waiting: other
    // commands are answered meanwhile, and its own answer is still whole when it reads.
    QTemporaryDir home;
    const QProcessEnvironment env = baseEnvironment(home.path());
    const QByteArray large = QByteArray("0123456789abcdef").repeated(1 << 19);
    {
        SettingsStore store(home.filePath(QStringLiteral("Snapvale/settings.sqlite3")));
        store.set(QStringLiteral("Data"), QStringLiteral("Entry5"), large);
    }
    auto program = startRunning(env);
    QVERIFY(program);
    QLocalSocket slow;
    slow.setReadBufferSize(1);
    slow.connectToServer(env.value(QStringLiteral("XDG_RUNTIME_DIR")) +
                         QStringLiteral("/snapvale.socket"));
    QVERIFY(slow.waitForConnected(10000));
    // Read nothing of the answer: this socket is left alone from here.
    const int fd = int(slow.socketDescriptor());
    QVERIFY(::write(fd, "get 5\n", 6) == 6);
    for (int i = 0; i < 3; ++i) {
        const Run listed = run(env, {QStringLiteral("--list")});
        QCOMPARE(listed.status, 0);
    }
    QByteArray got;
    char chunk[65536];
    for (;;) {
        pollfd p = {fd, POLLIN, 0};
        if (::poll(&p, 1, 20000) <= 0)
            break;
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n <= 0 && !(n < 0 && errno == EAGAIN))
            break;
        if (n > 0)
            got.append(chunk, n);
    }
    const QByteArray whole = "ok " + QByteArray::number(large.size()) + '\n' + large;
    QCOMPARE(got.size(), whole.size());
    QVERIFY(got == whole);
    program->terminate();
    QVERIFY(program->waitForFinished(30000));
}

QTEST_GUILESS_MAIN(TestBinary)
#include "test_binary.moc"
