#include "core/settingsstore.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <csignal>

namespace {

QProcessEnvironment baseEnvironment(const QString &dataHome) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
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

} // namespace

class TestBinary : public QObject {
    Q_OBJECT
private slots:
    void informationOptions_data();
    void informationOptions();
    void unknownArgument();
    void noDisplay_data();
    void noDisplay();
    void terminationSignalRunsShutdown_data();
    void terminationSignalRunsShutdown();
    void signalWhileStartNoticeIsOpen();
};

void TestBinary::informationOptions_data() {
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("starts");
    QTest::newRow("--help") << "--help"
                            << "Usage: snapvale [options]\n";
    QTest::newRow("-h") << "-h"
                        << "Usage: snapvale [options]\n";
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
        // One key stored: saving the startup entries writes all 60, which the row count shows.
        SettingsStore store(storePath);
        store.set(QStringLiteral("Data"), QStringLiteral("Entry1"), QStringLiteral("kept"));
        store.set(QStringLiteral("Settings"), QStringLiteral("AutoSave"),
                  autoSave ? QStringLiteral("1") : QStringLiteral("2"));
    }
    QProcess p;
    p.setProcessEnvironment(baseEnvironment(home.path()));
    p.start(QStringLiteral(SNAPVALE_BINARY));
    QVERIFY(p.waitForStarted());
    QElapsedTimer waited;
    waited.start();
    while (!catchesSigterm(p.processId()) && waited.elapsed() < 30000)
        QTest::qWait(20);
    QVERIFY(catchesSigterm(p.processId()));
    ::kill(pid_t(p.processId()), signal);
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(dataRows(storePath), autoSave ? 60 : 1);
    SettingsStore store(storePath);
    QCOMPARE(store.get(QStringLiteral("Data"), QStringLiteral("Entry1")), QStringLiteral("kept"));
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
    p.setProcessEnvironment(baseEnvironment(home.path()));
    p.start(QStringLiteral(SNAPVALE_BINARY));
    QVERIFY(p.waitForStarted());
    QElapsedTimer waited;
    waited.start();
    while (!catchesSigterm(p.processId()) && waited.elapsed() < 30000)
        QTest::qWait(20);
    QTest::qWait(500);
    ::kill(pid_t(p.processId()), SIGTERM);
    // It ends, cleanly, with the recovered entries saved and the recovery copy gone.
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 0);
    SettingsStore store(storePath);
    QCOMPARE(store.get(QStringLiteral("Data"), QStringLiteral("Entry1")), QStringLiteral("typed"));
    QVERIFY(!store.hasSection(QStringLiteral("Recovery")));
}

QTEST_GUILESS_MAIN(TestBinary)
#include "test_binary.moc"
