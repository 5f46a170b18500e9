// Measures Snapvale against floors of the same machine and run: a minimal Qt window, raw SQLite
// writes and reads of the same bytes, and a memory copy of the same bytes. Prints one table and
// writes the same as JSON. Each figure is the median of several runs after a warm-up.
#include "app/commands.h"
#include "clipboard/clipboardcommands.h"
#include "core/entrystore.h"
#include "core/settingsstore.h"
#include "core/storedsettings.h"
#include "editor/editorcommands.h"
#include "editor/editorwindow.h"
#include "main/entrytext.h"
#include "main/mainwindow.h"
#include "platform/qtdesktop.h"
#include "support/scripteddesktop.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
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

QProcessEnvironment environmentFor(const QString &dataHome) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    return env;
}

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
        QFile status(QStringLiteral("/proc/%1/status").arg(p.processId()));
        double kib = 0;
        if (status.open(QIODevice::ReadOnly)) {
            for (const QByteArray &line : status.readAll().split('\n')) {
                if (line.startsWith("VmRSS:"))
                    kib = line.mid(6).trimmed().split(' ').value(0).toDouble();
            }
        }
        p.kill();
        p.waitForFinished();
        if (i > 0)
            mib.push_back(kib / 1024);
    }
    return median(mib);
}

// --- raw SQLite floor ------------------------------------------------------------------------

// The floor of a save: SQLite alone, with the program's own table, statement and pragmas.
struct RawDb {
    explicit RawDb(const QString &path) {
        sqlite3_open(QFile::encodeName(path).constData(), &db);
        sqlite3_exec(db,
                     "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;"
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

} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    const QString dir = QCoreApplication::applicationDirPath();
    const QString snapvale = dir + QStringLiteral("/../src/app/snapvale");
    const QString minimal = dir + QStringLiteral("/minimal_window");
    const QString json =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : dir + QStringLiteral("/bench-results.json");
    QTemporaryDir work;

    std::fprintf(stderr, "preparing stores...\n");
    const QString emptyHome = work.filePath(QStringLiteral("empty"));
    const QString bigHome = work.filePath(QStringLiteral("big"));
    const QString largeEntriesHome = work.filePath(QStringLiteral("entries"));
    fillStore(emptyHome, 0, 0, 0);
    fillStore(bigHome, MiB, 1000, 10 * 1024);
    fillStore(largeEntriesHome, MiB, 0, 0);

    // 1. Start to first paint, then exit.
    const double floorStart = startToPaint(minimal, emptyHome);
    report(QStringLiteral("start to first paint, empty store"), startToPaint(snapvale, emptyHome),
           floorStart, QStringLiteral("minimal window"), QStringLiteral("s"), 1.25, true);
    report(QStringLiteral("start to first paint, 30 x 1 MiB + 1,000 sets"),
           startToPaint(snapvale, bigHome), floorStart, QStringLiteral("minimal window"),
           QStringLiteral("s"), 1.35, true);

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

    // In-process scenarios over a store of their own.
    const QString storePath = work.filePath(QStringLiteral("inproc/settings.sqlite3"));
    SettingsStore store(storePath);
    ScriptedDesktop scripted;
    MainWindow window(store, scripted);
    installCommands(window);
    auto *editor = window.findChild<EditorCommands *>();
    window.loadAtStart();
    window.show();
    QApplication::processEvents();
    EntryStore &entries = window.entries();

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
        QtDesktop real;
        MainWindow copier(store, real);
        new ClipboardCommands(copier);
        copier.entries().setEntry(1, text(100 * MiB, 'c'), QString());
        const double s = timed([&] { copier.copyButton(1)->click(); });
        report(QStringLiteral("copy a 100 MiB entry to the clipboard"), s, memcpySeconds(100 * MiB),
               QStringLiteral("memcpy"), QStringLiteral("s"), 1.5, false);
    }

    // 5. Update Startup Entries with 30 x 10 MiB; Save Set and Load Set of 30 x 1 MiB.
    {
        std::vector<QByteArray> raw;
        for (int n = 1; n <= EntryStore::Count; ++n) {
            entries.setEntry(n, text(10 * MiB, char('A' + n % 26)), QStringLiteral("n"));
            raw.push_back(entries.text(n).toUtf8());
        }
        RawDb floorDb(work.filePath(QStringLiteral("raw1.sqlite3")));
        const double floorWrite = timed([&] { floorDb.write(raw); });
        // Every run saves 30 changed entries: a save writes only what changed.
        std::vector<QString> texts[2];
        for (int n = 1; n <= EntryStore::Count; ++n) {
            texts[0].push_back(text(10 * MiB, char('A' + n % 26)));
            texts[1].push_back(text(10 * MiB, char('a' + n % 26)));
        }
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
               physicalWriteSeconds(work.filePath(QStringLiteral("raw1.bin")), raw),
               QStringLiteral("write + fdatasync"), QStringLiteral("s"), 0, true);

        raw.clear();
        for (int n = 1; n <= EntryStore::Count; ++n) {
            entries.setEntry(n, text(MiB, char('a' + n % 26)), QStringLiteral("n"));
            raw.push_back(entries.text(n).toUtf8());
        }
        RawDb setDb(work.filePath(QStringLiteral("raw2.sqlite3")));
        const QString setFile = work.filePath(QStringLiteral("bench.ent"));
        const double saveSet = timed([&] {
            scripted.nextFiles = {setFile};
            window.actions().saveSet->trigger();
        });
        report(QStringLiteral("Save Set, 30 x 1 MiB"), saveSet, timed([&] { setDb.write(raw); }),
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
        MainWindow big(bigStore, d1);
        big.show();
        SettingsStore small(emptyHome + QStringLiteral("/Snapvale/settings.sqlite3"));
        MainWindow empty(small, d2);
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

    // 8. The editor: a 10 MiB entry, and a 10 MiB file.
    {
        entries.setEntry(1, text(10 * MiB, 'e'), QString());
        const auto closeEditor = [&] {
            if (auto *e = window.findChild<EditorWindow *>())
                delete e;
        };
        const double entryOpen = timed(
            [&] {
                EditorWindow *e = editor->openEditor(1);
                e->repaint();
            },
            closeEditor);
        report(QStringLiteral("editor: open a 10 MiB entry"), entryOpen, memcpySeconds(10 * MiB),
               QStringLiteral("memcpy"), QStringLiteral("s"), 0.3, false);
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

    // The table, and the same as JSON.
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
