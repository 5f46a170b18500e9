// Measures Snapvale against floors of the same machine and run: a minimal Qt window, raw SQLite
// writes and reads of the same bytes, and a memory copy of the same bytes. Prints one table and
// writes the same as JSON. Each figure is the median of several runs after a warm-up.
#include "app/commands.h"
#include "clipboard/clipboardcommands.h"
#include "core/clipboardhistory.h"
#include "core/entrystore.h"
#include "core/settingsstore.h"
#include "core/storedsettings.h"
#include "editor/editorcommands.h"
#include "editor/editorwindow.h"
#include "main/entrytext.h"
#include "main/mainwindow.h"
#include "picker/pickercommands.h"
#include "picker/pickerwindow.h"
#include "platform/globalshortcut.h"
#include "platform/qtdesktop.h"
#include "support/scripteddesktop.h"
#include "x11keys.h"

#include <QAction>
#include <QApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QToolButton>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include <unistd.h>

namespace {

constexpr int runs = 5;
constexpr qsizetype MiB = 1024 * 1024;

struct Row {
    QString figure;
    double snapvale;
    double floor;
    QString floorName;
    QString unit;
    // The target: a ratio to the floor when `ratio`, otherwise an absolute figure in `unit`.
    double target;
    bool ratio;
};

std::vector<Row> rows;

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Seconds: one warm-up, then the median of `runs`; `prepare` runs untimed before each.
double timed(const std::function<void()> &work, const std::function<void()> &prepare = {}) {
    std::vector<double> seconds;
    for (int i = 0; i <= runs; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer t;
        t.start();
        work();
        if (i > 0)
            seconds.push_back(t.nsecsElapsed() / 1e9);
    }
    return median(seconds);
}

void report(const QString &figure, double snapvale, double floor, const QString &floorName,
            const QString &unit, double target, bool ratio) {
    rows.push_back({figure, snapvale, floor, floorName, unit, target, ratio});
    std::fprintf(stderr, "  measured: %s\n", qUtf8Printable(figure));
}

QString text(qsizetype size, char fill) {
    QString s(size, QLatin1Char(fill));
    for (qsizetype i = 79; i < size; i += 80)
        s[i] = QLatin1Char('\n');
    return s;
}

// --- processes -------------------------------------------------------------------------------

// A data home and a runtime folder of its own: the program started there is the only one.
QProcessEnvironment environmentFor(const QString &dataHome) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    const QString runtime = dataHome + QStringLiteral("/run");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    return env;
}

// A launch of the program with one command for the copy running over `dataHome`.
bool command(const QString &program, const QString &dataHome, const QStringList &arguments) {
    QProcess p;
    p.setProcessEnvironment(environmentFor(dataHome));
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(program, arguments);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// Starts the program and waits until it answers on its channel.
void startRunning(QProcess &p, const QString &program, const QString &dataHome) {
    p.setProcessEnvironment(environmentFor(dataHome));
    p.start(program);
    p.waitForStarted();
    QElapsedTimer waited;
    waited.start();
    while (!command(program, dataHome, {QStringLiteral("--list")}) && waited.elapsed() < 30000)
        QThread::msleep(50);
}

double residentMiBOf(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    double kib = 0;
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                kib = line.mid(6).trimmed().split(' ').value(0).toDouble();
        }
    }
    return kib / 1024;
}

// Seconds from SIGTERM to the end of a program started over `dataHome`, after `before` ran
// against it; `prepare` puts the store in place before each start.
double exitSeconds(const QString &program, const QString &dataHome,
                   const std::function<void()> &before = {},
                   const std::function<void()> &prepare = {}) {
    std::vector<double> seconds;
    for (int i = 0; i <= runs; ++i) {
        if (prepare)
            prepare();
        QProcess p;
        startRunning(p, program, dataHome);
        if (before)
            before();
        QThread::msleep(500);
        QElapsedTimer t;
        t.start();
        p.terminate();
        p.waitForFinished(120000);
        if (i > 0)
            seconds.push_back(t.nsecsElapsed() / 1e9);
    }
    return median(seconds);
}

// The longest the event loop waited past a 1 ms timer while `run` was true, in seconds.
double longestStall(const std::function<bool()> &run) {
    QTimer tick;
    tick.setInterval(1);
    tick.setTimerType(Qt::PreciseTimer);
    QElapsedTimer since;
    qint64 longest = 0;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, since.nsecsElapsed());
        since.restart();
    });
    since.start();
    tick.start();
    while (run())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    // The wait that ended the run counts too: a read that blocks the loop to its end is a stall.
    longest = std::max(longest, since.nsecsElapsed());
    return std::max<qint64>(0, longest - 1000000) / 1e9;
}

// Puts a file's bytes on the X11 clipboard from another process, which keeps serving them.
// xclip reads the whole file first; it says when it owns the clipboard.
void ownClipboard(QProcess &xclip, const QString &file) {
    xclip.setProcessChannelMode(QProcess::MergedChannels);
    xclip.start(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard"),
                                          QStringLiteral("-i"), file, QStringLiteral("-quiet")});
    QByteArray said;
    while (!said.contains("Waiting for selection") && xclip.waitForReadyRead(30000))
        said += xclip.readAll();
}

// The real desktop, but a message goes to stderr: nobody is there to press OK.
class BenchDesktop : public QtDesktop {
public:
    void message(QWidget *, const QString &text) override {
        std::fprintf(stderr, "  message: %s\n", qUtf8Printable(text));
    }
};

double startToPaint(const QString &program, const QString &dataHome) {
    return timed([&] {
        QProcess p;
        p.setProcessEnvironment(environmentFor(dataHome));
        p.start(program, {QStringLiteral("--exit-after-paint")});
        p.waitForFinished(60000);
    });
}

double residentMiB(const QString &program, const QString &dataHome) {
    std::vector<double> mib;
    for (int i = 0; i <= runs; ++i) {
        QProcess p;
        p.setProcessEnvironment(environmentFor(dataHome));
        p.start(program);
        p.waitForStarted();
        QThread::msleep(2000);
        const double resident = residentMiBOf(p.processId());
        p.kill();
        p.waitForFinished();
        if (i > 0)
            mib.push_back(resident);
    }
    return median(mib);
}

// --- raw SQLite floor ------------------------------------------------------------------------

// The floor of a save: SQLite alone, with the program's own table, statement and pragmas.
struct RawDb {
    explicit RawDb(const QString &path) {
        sqlite3_open(QFile::encodeName(path).constData(), &db);
        sqlite3_exec(db,
                     "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; PRAGMA secure_delete=ON; "
                     "PRAGMA journal_size_limit=4194304;"
                     "CREATE TABLE IF NOT EXISTS settings(app TEXT NOT NULL, section TEXT NOT "
                     "NULL, key TEXT NOT NULL COLLATE NOCASE, value TEXT NOT NULL, PRIMARY KEY "
                     "(app, section, key))",
                     nullptr, nullptr, nullptr);
    }
    ~RawDb() { sqlite3_close(db); }
    void write(const std::vector<QByteArray> &values) {
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(db,
                           "INSERT INTO settings(app, section, key, value) VALUES ('Snapvale', "
                           "'Data', ?1, ?2) ON CONFLICT(app, section, key) DO UPDATE SET value = "
                           "excluded.value",
                           -1, &st, nullptr);
        for (size_t i = 0; i < values.size(); ++i) {
            const QByteArray key = "Entry" + QByteArray::number(qulonglong(i + 1));
            sqlite3_bind_text(st, 1, key.constData(), int(key.size()), SQLITE_STATIC);
            sqlite3_bind_text(st, 2, values[i].constData(), int(values[i].size()), SQLITE_STATIC);
            sqlite3_step(st);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    qsizetype read() {
        qsizetype total = 0;
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(db, "SELECT value FROM settings WHERE section = 'Data'", -1, &st,
                           nullptr);
        while (sqlite3_step(st) == SQLITE_ROW) {
            QByteArray copy(static_cast<const char *>(sqlite3_column_blob(st, 0)),
                            sqlite3_column_bytes(st, 0));
            total += copy.size();
        }
        sqlite3_finalize(st);
        return total;
    }
    sqlite3 *db = nullptr;
};

// The floor below that: the same bytes written to a file and flushed to the disk.
double physicalWriteSeconds(const QString &path, const std::vector<QByteArray> &values) {
    return timed([&] {
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        for (const QByteArray &v : values)
            file.write(v);
        file.flush();
        ::fdatasync(file.handle());
    });
}

double memcpySeconds(qsizetype bytes) {
    std::vector<char> from(size_t(bytes), 'x');
    std::vector<char> to(static_cast<size_t>(bytes));
    return timed([&] { std::memcpy(to.data(), from.data(), size_t(bytes)); });
}

// --- stores ----------------------------------------------------------------------------------

void fillStore(const QString &dataHome, qsizetype entryBytes, int sets, qsizetype setEntryBytes) {
    SettingsStore store(dataHome + QStringLiteral("/Snapvale/settings.sqlite3"));
    EntryStore entries;
    for (int n = 1; n <= EntryStore::Count; ++n)
        entries.setEntry(n, entryBytes ? text(entryBytes, char('a' + n % 26)) : QString(),
                         QStringLiteral("name %1").arg(n));
    entries.save(store, EntrySection::startup());
    for (int n = 1; n <= EntryStore::Count; ++n)
        entries.setEntry(n, text(setEntryBytes, 's'), QStringLiteral("set"));
    for (int s = 0; s < sets; ++s)
        entries.save(store, EntrySection::set(QStringLiteral("/home/user/sets/set %1.ent").arg(s)));
}

// The table, and the same as JSON.
int printTable(const QString &json) {
    std::printf("%-58s %12s %12s %-20s %8s %10s %s\n", "figure", "Snapvale", "floor", "floor is",
                "ratio", "target", "");
    QJsonArray out;
    for (const Row &r : rows) {
        const double ratio = r.floor > 0 ? r.snapvale / r.floor : 0;
        // A target of 0 is a figure shown for its floor only.
        const bool met = r.target == 0 || (r.ratio ? ratio <= r.target : r.snapvale <= r.target);
        const QString target = r.target == 0 ? QStringLiteral("-")
                               : r.ratio     ? QStringLiteral("<= %1x").arg(r.target)
                                             : QStringLiteral("<= %1").arg(r.target, 0, 'g', 4);
        std::printf("%-58s %10.4f %-2s %10.4f %-20s %7.2fx %10s %s\n", qUtf8Printable(r.figure),
                    r.snapvale, qUtf8Printable(r.unit), r.floor, qUtf8Printable(r.floorName), ratio,
                    qUtf8Printable(target), met ? "ok" : "MISSED");
        out.append(QJsonObject{{QStringLiteral("figure"), r.figure},
                               {QStringLiteral("snapvale"), r.snapvale},
                               {QStringLiteral("floor"), r.floor},
                               {QStringLiteral("floor_is"), r.floorName},
                               {QStringLiteral("unit"), r.unit},
                               {QStringLiteral("ratio"), ratio},
                               {QStringLiteral("target"), target},
                               {QStringLiteral("met"), met}});
    }
    QFile file(json);
    if (file.open(QIODevice::WriteOnly))
        file.write(QJsonDocument(out).toJson());
    std::printf("\nJSON: %s\n", qUtf8Printable(json));
    return 0;
}

// A command's launch against a running Snapvale, and the picker from its key to the text arrived
// in another program's window (the picker's mapping plus one paste round trip; the time the
// user takes to read it is not counted).
void commandFigures(const QString &snapvale, const QString &dir, QTemporaryDir &work) {
    const QString home = work.filePath(QStringLiteral("commands"));
    fillStore(home, 64, 0, 0);
    QProcess running;
    startRunning(running, snapvale, home);
    const double copy = timed([&] {
        command(snapvale, home, {QStringLiteral("--copy"), QStringLiteral("1")});
    });
    const double xclipOut = timed([] {
        QProcess out;
        out.setStandardOutputFile(QProcess::nullDevice());
        out.start(QStringLiteral("xclip"), {QStringLiteral("-selection"),
                                            QStringLiteral("clipboard"), QStringLiteral("-o")});
        out.waitForFinished(60000);
    });
    report(QStringLiteral("snapvale --copy 1 against a running Snapvale"), copy, xclipOut,
           QStringLiteral("xclip -o"), QStringLiteral("s"), 1.5, true);

    // A copy another program makes, until --history lists it first.
    std::vector<double> listedAfter;
    for (int i = 0; i <= 20; ++i) {
        const QByteArray copied = "history bench copy " + QByteArray::number(i);
        const QString file = work.filePath(QStringLiteral("copy%1.txt").arg(i));
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly) || f.write(copied) != copied.size())
            break;
        f.close();
        QProcess xclip;
        ownClipboard(xclip, file);
        QElapsedTimer t;
        t.start();
        bool listed = false;
        while (!listed && t.elapsed() < 5000) {
            QProcess history;
            history.setProcessEnvironment(environmentFor(home));
            history.start(snapvale, {QStringLiteral("--history")});
            history.waitForFinished(10000);
            listed =
                history.readAllStandardOutput().split('\n').value(0).split('\t').value(2) == copied;
        }
        if (i > 0 && listed)
            listedAfter.push_back(t.nsecsElapsed() / 1e9);
        xclip.kill();
        xclip.waitForFinished();
    }
    if (!listedAfter.empty())
        report(QStringLiteral("history: a copy by xclip listed by --history, X11"),
               median(listedAfter), 0, QStringLiteral("-"), QStringLiteral("s"), 0.050, false);

    const QString out = work.filePath(QStringLiteral("target.txt"));
    QProcess target;
    target.start(dir + QStringLiteral("/../tests/support/pastetarget"),
                 {out, QStringLiteral("Gedit")});
    quint32 targetWindow = 0;
    QElapsedTimer waited;
    waited.start();
    while (!(targetWindow = X11Keys::mappedWindow(QStringLiteral("paste target"))) &&
           waited.elapsed() < 10000)
        QThread::msleep(20);
    const QString pickerTitle = QStringLiteral("Snapvale: pick an entry");
    std::vector<double> seconds;
    for (int i = 0; i <= 20 && targetWindow; ++i) {
        X11Keys::focus(targetWindow);
        const qint64 before = QFileInfo(out).size();
        QElapsedTimer t;
        t.start();
        X11Keys::type(QStringLiteral("ctrl+alt+v"));
        while (!X11Keys::mappedWindow(pickerTitle) && t.elapsed() < 5000)
            QThread::usleep(200);
        const qint64 shown = t.nsecsElapsed();
        t.restart();
        X11Keys::type(QStringLiteral("3"));
        while (QFileInfo(out).size() < before + 64 && t.elapsed() < 5000)
            QThread::usleep(200);
        if (i > 0)
            seconds.push_back((shown + t.nsecsElapsed()) / 1e9);
    }
    if (seconds.empty())
        std::fprintf(stderr, "  the paste target did not start\n");
    else
        report(QStringLiteral("picker: its key to the text arrived in a window, X11"),
               median(seconds), 0, QStringLiteral("-"), QStringLiteral("s"), 0.060, false);
    target.kill();
    target.waitForFinished();
    running.terminate();
    running.waitForFinished(60000);
}

// Exit after one 10 MiB entry was pasted from another program into a store of 29 x 10 MiB and
// its recovery copy was written, against a raw SQLite write of the same bytes.
void oneEntryChangedExit(const QString &snapvale, QTemporaryDir &work) {
    // 29 x 10 MiB and an empty entry 1, which a paste fills without asking.
    const QString oneChangedHome = work.filePath(QStringLiteral("onechanged"));
    fillStore(oneChangedHome, 10 * MiB, 0, 0);
    const QString oneChangedStore = oneChangedHome + QStringLiteral("/Snapvale/settings.sqlite3");
    SettingsStore(oneChangedStore)
        .set(EntrySection::startup().storedName(), EntryStore::textKey(1), QString());
    QFile::copy(oneChangedStore, oneChangedStore + QStringLiteral(".pristine"));
    const QString clip = work.filePath(QStringLiteral("clip10.txt"));
    QFile file(clip);
    file.open(QIODevice::WriteOnly);
    const std::vector<QByteArray> one[2] = {{text(10 * MiB, 'x').toUtf8()},
                                            {text(10 * MiB, 'y').toUtf8()}};
    file.write(one[0][0]);
    file.close();
    QProcess xclip;
    ownClipboard(xclip, clip);
    const double exit = exitSeconds(
        snapvale, oneChangedHome,
        [&] {
            command(snapvale, oneChangedHome, {QStringLiteral("--paste"), QStringLiteral("1")});
            // The recovery copy follows a second later.
            QThread::msleep(2000);
        },
        [&] {
            for (const char *suffix : {"", "-wal", "-shm"})
                QFile::remove(oneChangedStore + QLatin1String(suffix));
            QFile::copy(oneChangedStore + QStringLiteral(".pristine"), oneChangedStore);
        });
    xclip.kill();
    xclip.waitForFinished();
    RawDb rawOne(work.filePath(QStringLiteral("rawone.sqlite3")));
    int round = 0;
    const double floor = timed([&] { rawOne.write(one[++round % 2]); });
    report(QStringLiteral("Exit after one 10 MiB entry changed"), exit, floor,
           QStringLiteral("raw SQLite write"), QStringLiteral("s"), 1.3, true);
}

// A window over a store of its own, for the figures taken inside this process.
struct InProcess {
    explicit InProcess(const QString &storePath)
        : store(storePath)
        , session(store)
        , window(session, scripted) {
        installCommands(window, session);
        editor = window.findChild<EditorCommands *>();
        window.loadAtStart();
        window.show();
        QApplication::processEvents();
    }
    SettingsStore store;
    ScriptedDesktop scripted;
    EntrySession session;
    MainWindow window;
    EditorCommands *editor = nullptr;
};

// The editor: 10 and 100 MiB entries, and a 10 MiB file.
void editorFigures(InProcess &in, QTemporaryDir &work) {
    MainWindow &window = in.window;
    EditorCommands *editor = in.editor;
    EntryStore &entries = in.session.entries();
    ScriptedDesktop &scripted = in.scripted;
    {
        const auto closeEditor = [&] {
            if (auto *e = window.findChild<EditorWindow *>())
                delete e;
        };
        for (const qsizetype size : {10 * MiB, 100 * MiB}) {
            entries.setEntry(1, text(size, 'e'), QString());
            const double first = timed(
                [&] {
                    EditorWindow *e = editor->openEditor(1);
                    e->repaint();
                },
                closeEditor);
            report(QStringLiteral("editor: first screen painted, %1 MiB entry").arg(size / MiB),
                   first, 0, QStringLiteral("-"), QStringLiteral("s"), 0.1, false);
            closeEditor();
            EditorWindow *e = editor->openEditor(1);
            e->repaint();
            report(QStringLiteral("editor: longest stall while the rest of %1 MiB arrives")
                       .arg(size / MiB),
                   longestStall([&] { return e->isLoading(); }), 0, QStringLiteral("-"),
                   QStringLiteral("s"), 0.05, false);
            closeEditor();
        }
        entries.setEntry(1, QString(), QString());
        const QString file = work.filePath(QStringLiteral("ten.txt"));
        {
            QFile f(file);
            f.open(QIODevice::WriteOnly);
            f.write(text(10 * MiB, 'f').toUtf8());
        }
        EditorWindow *e = nullptr;
        const double fileOpen = timed(
            [&] {
                scripted.nextFiles = {file};
                e->openFile();
                e->repaint();
            },
            [&] {
                closeEditor();
                entries.setEntry(1, QString(), QString());
                e = editor->openEditor(1);
            });
        closeEditor();
        report(QStringLiteral("editor: open a 10 MiB file"), fileOpen, memcpySeconds(10 * MiB),
               QStringLiteral("memcpy"), QStringLiteral("s"), 0.3, false);
    }
}

} // namespace

// --- the clipboard history ---------------------------------------------------------------------

// A store whose history holds 10,000 copies of 1 KiB and 100 of 1 MiB, as the program keeps them.
void fillHistory(const QString &dataHome) {
    fillStore(dataHome, 0, 0, 0);
    SettingsStore store(dataHome + QStringLiteral("/Snapvale/settings.sqlite3"));
    saveHistorySize(store, ClipboardHistory::maxSize);
    SettingsStore::Transaction transaction(store);
    const qint64 start = QDateTime::currentMSecsSinceEpoch() - 20000000;
    for (int i = 0; i < 10100; ++i) {
        // The 1 MiB copies are the oldest; each text differs from the start.
        const QByteArray text = (QByteArray::number(i) + ' ')
                                    .leftJustified(i < 100 ? int(MiB) : 1024, char('a' + i % 26));
        const QString key =
            QStringLiteral("%1-%2")
                .arg(start + i * 1000, 13, 10, QLatin1Char('0'))
                .arg(QString::fromLatin1(
                    QCryptographicHash::hash(text, QCryptographicHash::Sha256).left(8).toHex()));
        store.set(QStringLiteral("History"), key, text);
    }
    transaction.commit();
}

void historyFigures(const QString &snapvale, const QString &minimal, QTemporaryDir &work) {
    const QString emptyHome = work.filePath(QStringLiteral("history-empty"));
    const QString home = work.filePath(QStringLiteral("history"));
    fillStore(emptyHome, 0, 0, 0);
    fillHistory(home);

    // Also against the empty store in the same run: what the history itself costs at start.
    const double withHistory = startToPaint(snapvale, home);
    report(QStringLiteral("history: start to first paint, 10,000 x 1 KiB + 100 x 1 MiB"),
           withHistory, startToPaint(minimal, emptyHome), QStringLiteral("minimal window"),
           QStringLiteral("s"), 1.15, true);
    report(QStringLiteral("history: the same start against the empty store"), withHistory,
           startToPaint(snapvale, emptyHome), QStringLiteral("empty store"), QStringLiteral("s"), 0,
           true);
    const double emptyMemory = residentMiB(snapvale, emptyHome);
    report(QStringLiteral("history: resident memory, 10,100 items (target: empty + 2 MiB)"),
           residentMiB(snapvale, home), emptyMemory, QStringLiteral("empty store"),
           QStringLiteral("MiB"), emptyMemory + 2, false);

    // `snapvale --menu` until the picker is mapped, then Esc; the first, which reads the
    // history, is the warm-up.
    const QString pickerTitle = QStringLiteral("Snapvale: pick an entry");
    const auto menuToMapped = [&](const QString &dataHome) {
        QProcess running;
        startRunning(running, snapvale, dataHome);
        const double s = timed([&] {
            QProcess menu;
            menu.setProcessEnvironment(environmentFor(dataHome));
            menu.start(snapvale, {QStringLiteral("--menu")});
            QElapsedTimer t;
            t.start();
            while (!X11Keys::mappedWindow(pickerTitle) && t.elapsed() < 5000)
                QThread::usleep(200);
            menu.waitForFinished(5000);
            X11Keys::type(QStringLiteral("Escape"));
            while (X11Keys::mappedWindow(pickerTitle) && t.elapsed() < 10000)
                QThread::usleep(500);
        });
        running.terminate();
        running.waitForFinished(60000);
        return s;
    };
    report(QStringLiteral("history: --menu to the picker mapped, 10,100 items"), menuToMapped(home),
           menuToMapped(emptyHome), QStringLiteral("same, empty history"), QStringLiteral("s"),
           0.030, false);

    // One keystroke in the picker's filter over the 10,100 items, to the list repainted.
    {
        SettingsStore store(home + QStringLiteral("/Snapvale/settings.sqlite3"));
        EntrySession session(store);
        session.loadAtStart();
        PickerWindow picker(session);
        picker.open(QPoint(100, 100));
        QApplication::processEvents();
        int round = 0;
        const double s = timed(
            [&] {
                picker.filterField()->setText(round % 2 ? QStringLiteral("7")
                                                        : QStringLiteral("q"));
                picker.list()->repaint();
            },
            [&] {
                ++round;
                picker.filterField()->clear();
                QApplication::processEvents();
            });
        report(QStringLiteral("history: one filter keystroke in the picker, 10,100 items"), s, 0,
               QStringLiteral("-"), QStringLiteral("s"), 0.016, false);
    }

    // A 16 MiB copy by another program, taken into the history, as the event loop sees it.
    {
        const QString file = work.filePath(QStringLiteral("copy16.txt"));
        {
            QFile f(file);
            f.open(QIODevice::WriteOnly);
            f.write(text(16 * MiB - 1, 'h').toUtf8());
        }
        SettingsStore store(emptyHome + QStringLiteral("/Snapvale/settings.sqlite3"));
        BenchDesktop real;
        EntrySession session(store);
        MainWindow w(session, real);
        w.loadAtStart();
        w.show();
        QElapsedTimer clock;
        clock.start();
        const double idle = longestStall([&] { return clock.elapsed() < 1000; });
        QProcess xclip;
        ownClipboard(xclip, file);
        clock.restart();
        const double stall =
            longestStall([&] { return session.history().count() == 0 && clock.elapsed() < 20000; });
        if (session.history().count() == 0)
            std::fprintf(stderr, "  the 16 MiB copy never reached the history\n");
        report(QStringLiteral("history: longest stall while a 16 MiB copy is taken in, X11"), stall,
               idle, QStringLiteral("same, idle"), QStringLiteral("s"), 0.050, false);
        xclip.kill();
        xclip.waitForFinished();
    }
}

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    const QString dir = QCoreApplication::applicationDirPath();
    const QString snapvale = dir + QStringLiteral("/../src/app/snapvale");
    const QString minimal = dir + QStringLiteral("/minimal_window");
    const QString json =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : dir + QStringLiteral("/bench-results.json");
    QTemporaryDir work;
    // SNAPVALE_BENCH_ONLY=commands: the figures against a running Snapvale alone.
    if (qEnvironmentVariable("SNAPVALE_BENCH_ONLY") == QLatin1String("commands")) {
        commandFigures(snapvale, dir, work);
        return printTable(json);
    }
    // SNAPVALE_BENCH_ONLY=editor: the editor's figures alone, with 30 x 10 MiB entries held.
    if (qEnvironmentVariable("SNAPVALE_BENCH_ONLY") == QLatin1String("editor")) {
        InProcess in(work.filePath(QStringLiteral("inproc/settings.sqlite3")));
        for (int n = 1; n <= EntryStore::Count; ++n)
            in.session.entries().setEntry(n, text(10 * MiB, char('a' + n % 26)),
                                          QStringLiteral("n"));
        editorFigures(in, work);
        return printTable(json);
    }
    // SNAPVALE_BENCH_ONLY=history: the clipboard history's figures alone.
    if (qEnvironmentVariable("SNAPVALE_BENCH_ONLY") == QLatin1String("history")) {
        historyFigures(snapvale, minimal, work);
        return printTable(json);
    }
    // SNAPVALE_BENCH_ONLY=exit: the Exit after one changed entry alone.
    if (qEnvironmentVariable("SNAPVALE_BENCH_ONLY") == QLatin1String("exit")) {
        oneEntryChangedExit(snapvale, work);
        return printTable(json);
    }

    std::fprintf(stderr, "preparing stores...\n");
    const QString emptyHome = work.filePath(QStringLiteral("empty"));
    const QString bigHome = work.filePath(QStringLiteral("big"));
    const QString largeEntriesHome = work.filePath(QStringLiteral("entries"));
    fillStore(emptyHome, 0, 0, 0);
    fillStore(bigHome, MiB, 1000, 10 * 1024);
    fillStore(largeEntriesHome, MiB, 0, 0);
    const QString hugeHome = work.filePath(QStringLiteral("huge"));
    fillStore(hugeHome, 10 * MiB, 1000, 10 * 1024);

    // 1. Start to first paint, then exit.
    const double floorStart = startToPaint(minimal, emptyHome);
    report(QStringLiteral("start to first paint, empty store"), startToPaint(snapvale, emptyHome),
           floorStart, QStringLiteral("minimal window"), QStringLiteral("s"), 1.25, true);
    report(QStringLiteral("start to first paint, 30 x 1 MiB + 1,000 sets"),
           startToPaint(snapvale, bigHome), floorStart, QStringLiteral("minimal window"),
           QStringLiteral("s"), 1.35, true);
    report(QStringLiteral("start to first paint, 30 x 10 MiB + 1,000 sets"),
           startToPaint(snapvale, hugeHome), floorStart, QStringLiteral("minimal window"),
           QStringLiteral("s"), 1.15, true);

    // 2. Resident memory 2 s after start.
    const double floorMemory = residentMiB(minimal, emptyHome);
    const double emptyMemory = residentMiB(snapvale, emptyHome);
    report(QStringLiteral("resident memory, empty store (target: floor + 4 MiB)"), emptyMemory,
           floorMemory, QStringLiteral("minimal window"), QStringLiteral("MiB"), floorMemory + 4,
           false);
    const double largeMemory = residentMiB(snapvale, largeEntriesHome);
    report(QStringLiteral("resident memory per MiB of entry text, 30 x 1 MiB"),
           (largeMemory - emptyMemory) / 30, 1.0, QStringLiteral("the text itself"),
           QStringLiteral("MiB/MiB"), 2.2, false);
    report(QStringLiteral("resident memory, 30 x 10 MiB + 1,000 sets (target: empty + 8 MiB)"),
           residentMiB(snapvale, hugeHome), emptyMemory, QStringLiteral("empty store"),
           QStringLiteral("MiB"), emptyMemory + 8, false);
    {
        std::vector<double> perMiB;
        for (int i = 0; i < 3; ++i) {
            QProcess p;
            startRunning(p, snapvale, hugeHome);
            for (int n = 1; n <= EntryStore::Count; ++n)
                command(snapvale, hugeHome, {QStringLiteral("--copy"), QString::number(n)});
            QThread::msleep(2000);
            perMiB.push_back((residentMiBOf(p.processId()) - emptyMemory) / 300);
            p.terminate();
            p.waitForFinished(60000);
        }
        report(QStringLiteral("resident memory once every entry was copied, 30 x 10 MiB"),
               median(perMiB), 1.0, QStringLiteral("the text itself"), QStringLiteral("MiB/MiB"),
               1.25, false);
    }

    // 2b. Exit: nothing changed, and one 10 MiB entry pasted from another program.
    report(QStringLiteral("Exit with nothing changed, 30 x 10 MiB + 1,000 sets"),
           exitSeconds(snapvale, hugeHome), exitSeconds(snapvale, emptyHome),
           QStringLiteral("same, empty store"), QStringLiteral("s"), 1.2, true);
    oneEntryChangedExit(snapvale, work);

    // In-process scenarios over a store of their own.
    InProcess in(work.filePath(QStringLiteral("inproc/settings.sqlite3")));
    SettingsStore &store = in.store;
    ScriptedDesktop &scripted = in.scripted;
    EntrySession &session = in.session;
    MainWindow &window = in.window;
    EntryStore &entries = session.entries();

    // 3. Paste into an empty entry, to the entry painted.
    for (const qsizetype size : {10 * MiB, 100 * MiB}) {
        scripted.clipboard = text(size, 'p');
        const double s = timed(
            [&] {
                window.pasteButton(1)->click();
                window.entryField(1)->repaint();
            },
            [&] { entries.setEntry(1, QString(), QString()); });
        report(QStringLiteral("paste %1 MiB to painted").arg(size / MiB), s, memcpySeconds(size),
               QStringLiteral("memcpy"), QStringLiteral("s"), size == 10 * MiB ? 0.15 : 1.5, false);
    }

    // 4. Copy a 100 MiB entry to the real clipboard.
    {
        BenchDesktop real;
        EntrySession copierSession(store);
        MainWindow copier(copierSession, real);
        new ClipboardCommands(copier, copierSession);
        copierSession.entries().setEntry(1, text(100 * MiB, 'c'), QString());
        const double s = timed([&] { copier.copyButton(1)->click(); });
        report(QStringLiteral("copy a 100 MiB entry to the clipboard"), s, memcpySeconds(100 * MiB),
               QStringLiteral("memcpy"), QStringLiteral("s"), 1.5, false);
    }

    // 5. Update Startup Entries with 30 x 10 MiB; Save Set and Load Set of 30 x 1 MiB.
    {
        // Every run saves 30 changed entries: a save writes only what changed. The floor too
        // writes other bytes each run: SQLite skips pages whose bytes stay the same.
        std::vector<QString> texts[2];
        std::vector<QByteArray> raw[2];
        for (int n = 1; n <= EntryStore::Count; ++n) {
            for (int k = 0; k < 2; ++k) {
                texts[k].push_back(text(10 * MiB, char((k ? 'a' : 'A') + n % 26)));
                raw[k].push_back(texts[k].back().toUtf8());
            }
        }
        RawDb floorDb(work.filePath(QStringLiteral("raw1.sqlite3")));
        int floorRound = 0;
        const double floorWrite = timed([&] { floorDb.write(raw[++floorRound % 2]); });
        int round = 0;
        const double update =
            timed([&] { window.updateStartupEntries(); },
                  [&] {
                      ++round;
                      for (int n = 1; n <= EntryStore::Count; ++n)
                          entries.setEntry(n, texts[round % 2][size_t(n - 1)], QStringLiteral("n"));
                  });
        report(QStringLiteral("Update Startup Entries, 30 x 10 MiB"), update, floorWrite,
               QStringLiteral("raw SQLite write"), QStringLiteral("s"), 1.3, true);
        report(QStringLiteral("Update Startup Entries, 30 x 10 MiB, against the disk"), update,
               physicalWriteSeconds(work.filePath(QStringLiteral("raw1.bin")), raw[0]),
               QStringLiteral("write + fdatasync"), QStringLiteral("s"), 0, true);

        std::vector<QByteArray> setRaw;
        for (int n = 1; n <= EntryStore::Count; ++n) {
            entries.setEntry(n, text(MiB, char('a' + n % 26)), QStringLiteral("n"));
            setRaw.push_back(entries.utf8(n));
        }
        RawDb setDb(work.filePath(QStringLiteral("raw2.sqlite3")));
        const QString setFile = work.filePath(QStringLiteral("bench.ent"));
        const double saveSet = timed([&] {
            scripted.nextFiles = {setFile};
            window.actions().saveSet->trigger();
        });
        // Saved over the same set, the same bytes: the floor writes them over themselves too.
        report(QStringLiteral("Save Set, 30 x 1 MiB"), saveSet, timed([&] { setDb.write(setRaw); }),
               QStringLiteral("raw SQLite write"), QStringLiteral("s"), 1.3, true);
        const double loadSet = timed([&] {
            scripted.nextFiles = {setFile};
            window.actions().loadSet->trigger();
        });
        report(QStringLiteral("Load Set, 30 x 1 MiB"), loadSet, timed([&] { setDb.read(); }),
               QStringLiteral("raw SQLite read"), QStringLiteral("s"), 1.3, true);
    }

    // 6. Toggle Always on Top with 1,000 saved sets, against an empty store.
    {
        const auto toggle = [](MainWindow &w) {
            return timed([&] {
                w.toggleOnTop();
                QApplication::processEvents();
            });
        };
        SettingsStore bigStore(bigHome + QStringLiteral("/Snapvale/settings.sqlite3"));
        ScriptedDesktop d1, d2;
        EntrySession bigSession(bigStore);
        MainWindow big(bigSession, d1);
        big.show();
        SettingsStore small(emptyHome + QStringLiteral("/Snapvale/settings.sqlite3"));
        EntrySession emptySession(small);
        MainWindow empty(emptySession, d2);
        empty.show();
        const double floorToggle = toggle(empty);
        report(QStringLiteral("toggle Always on Top, 1,000 sets (target: 5 ms)"), toggle(big),
               floorToggle, QStringLiteral("same, empty store"), QStringLiteral("s"), 0.005, false);
    }

    // 7. The tray entry list with 30 x 10 MiB entries.
    for (int n = 1; n <= EntryStore::Count; ++n)
        entries.setEntry(n, text(10 * MiB, char('a' + n % 26)), QStringLiteral("n"));
    report(QStringLiteral("tray entry list, 30 x 10 MiB"), timed([&] { window.refreshTrayList(); }),
           0, QStringLiteral("-"), QStringLiteral("s"), 0.020, false);

    // 8. The editor: 10 and 100 MiB entries, and a 10 MiB file.
    editorFigures(in, work);

    // 9. Paste 10 and 100 MiB that another program holds on the X11 clipboard.
    for (const qsizetype size : {10 * MiB, 100 * MiB}) {
        const QString clip = work.filePath(QStringLiteral("clip.txt"));
        {
            QFile f(clip);
            f.open(QIODevice::WriteOnly);
            f.write(text(size, 'o').toUtf8());
        }
        QProcess xclip;
        ownClipboard(xclip, clip);
        BenchDesktop real;
        EntrySession pasterSession(store);
        MainWindow paster(pasterSession, real);
        new ClipboardCommands(paster, pasterSession);
        const double s = timed(
            [&] {
                paster.pasteButton(1)->click();
                paster.entryField(1)->repaint();
            },
            [&] { pasterSession.entries().setEntry(1, QString(), QString()); });
        if (pasterSession.entries().content(1).bytes != size)
            std::fprintf(stderr, "  the paste of %lld MiB came out %lld bytes\n",
                         static_cast<long long>(size / MiB),
                         static_cast<long long>(pasterSession.entries().content(1).bytes));
        const double floor = timed([] {
            QProcess out;
            out.setStandardOutputFile(QProcess::nullDevice());
            out.start(QStringLiteral("xclip"), {QStringLiteral("-selection"),
                                                QStringLiteral("clipboard"), QStringLiteral("-o")});
            out.waitForFinished(120000);
        });
        report(QStringLiteral("paste %1 MiB from another program, to painted").arg(size / MiB), s,
               floor, QStringLiteral("xclip -o"), QStringLiteral("s"), 1.2, true);
        xclip.kill();
        xclip.waitForFinished();
    }

    // 10. The recovery copy after a small paste, 29 x 10 MiB others, as the event loop sees it.
    {
        SettingsStore hugeStore(hugeHome + QStringLiteral("/Snapvale/settings.sqlite3"));
        ScriptedDesktop d;
        EntrySession hugeSession(hugeStore);
        MainWindow w(hugeSession, d);
        w.loadAtStart();
        w.show();
        QElapsedTimer clock;
        clock.start();
        const double idle = longestStall([&] { return clock.elapsed() < 1500; });
        hugeSession.entries().setText(1, QStringLiteral("a small paste"));
        clock.restart();
        report(QStringLiteral("longest stall, recovery copy after a small paste, 29 x 10 MiB"),
               longestStall([&] { return clock.elapsed() < 2500; }), idle,
               QStringLiteral("same, idle"), QStringLiteral("s"), 0.030, false);
    }

    // 11. Against a running Snapvale. The picker's key is that program's: the windows of this
    // process give theirs up.
    for (PickerCommands *picker : window.findChildren<PickerCommands *>()) {
        QString why;
        if (picker->shortcut())
            picker->shortcut()->set(QKeySequence(), &why);
    }
    commandFigures(snapvale, dir, work);
    historyFigures(snapvale, minimal, work);

    return printTable(json);
}
