#include "app/commands.h"
#include "core/entryset.h"
#include "core/storedsettings.h"
#include "editor/editorcommands.h"
#include "editor/editorwindow.h"
#include "support/session.h"

#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>

#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

constexpr qsizetype MiB = 1024 * 1024;

// Files may not grow past `bytes` while it lives, as under `prlimit --fsize`: a write past it
// fails with EFBIG instead of ending the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }

private:
    rlimit m_old{};
};

// Whether this process holds a POSIX lock on the file, as /proc/locks lists it.
bool holdsLock(const QString &path) {
    struct stat st {};
    if (stat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    QFile locks(QStringLiteral("/proc/locks"));
    if (!locks.open(QIODevice::ReadOnly))
        return false;
    const QByteArray pid = QByteArray::number(qint64(getpid()));
    const QByteArray inode = ':' + QByteArray::number(quint64(st.st_ino));
    for (const QByteArray &line : locks.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        // "1: POSIX ADVISORY READ 1234 fd:01:5678 0 EOF"
        if (fields.size() >= 6 && fields.at(1) == "POSIX" && fields.at(4) == pid &&
            fields.at(5).endsWith(inode))
            return true;
    }
    return false;
}

// A file's SHA-256, read by another process: a descriptor of the test's own on the store would
// drop the locks the test looks at.
QByteArray digest(const QString &path) {
    QProcess sum;
    sum.start(QStringLiteral("sha256sum"), {path});
    sum.waitForFinished(30000);
    return sum.readAllStandardOutput().left(64);
}

// The sqlite3 shell run on the store, as a user or a backup script would.
QString peerQuery(const QString &path, const QString &sql) {
    QProcess peer;
    peer.start(QStringLiteral("sqlite3"), {path, sql});
    if (!peer.waitForFinished(30000) || peer.exitCode() != 0)
        return QStringLiteral("<failed: %1>").arg(QString::fromUtf8(peer.readAllStandardError()));
    return QString::fromUtf8(peer.readAllStandardOutput()).trimmed();
}

QString integrity(const QString &path) {
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr);
    QString result =
        sqlite3_step(st) == SQLITE_ROW
            ? QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)))
            : QStringLiteral("unreadable");
    sqlite3_finalize(st);
    sqlite3_close(db);
    return result;
}

} // namespace

class TestFaults : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_s.reset(); }

    void killedMidSave_data();
    void killedMidSave();
    void fileSizeLimit();
    void recoveryCopyRetried();
    void closingSaveFailures_data();
    void closingSaveFailures();
    void closingSaveAfterAFailure_data();
    void closingSaveAfterAFailure();
    void hostileTextFiles_data();
    void hostileTextFiles();
    void hostileSetFiles();
    void truncatedStoreMovedAside();
    void permissionsAfterReplacement();
    void twoCopiesAtOnce();
    void locksHeldWhateverOpensTheStore_data();
    void locksHeldWhateverOpensTheStore();
    void setFileNamingOwnSection_data();
    void setFileNamingOwnSection();
    void specialFilesNeverBlock();
    void damagedPageMovedAsideWithMemorySaved();
    void unwritableStoreSaidAtStart();
    void damagedStoreMovedAsFoundRowsKept_data();
    void damagedStoreMovedAsFoundRowsKept();
    void migrationLeavesNoSlack();
    void unreadableTextWrittenNowhere_data();
    void unreadableTextWrittenNowhere();
    void foreignValueTypesOverwritten_data();
    void foreignValueTypesOverwritten();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString storePath() const { return path(QStringLiteral("Snapvale/settings.sqlite3")); }
    void startSession() {
        m_s = std::make_unique<Session>(storePath());
        installCommands(m_s->window, m_s->session);
        m_s->start();
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Session> m_s;
};

void TestFaults::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestFaults::killedMidSave_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("section");
    QTest::newRow("startup entries") << "data"
                                     << "Data";
    QTest::newRow("entry set") << "set"
                               << "/sets/a.ent";
    QTest::newRow("recovery copy, one changed entry at a time") << "recovery"
                                                                << "Recovery";
    // A reader killed while it holds its view of the store and reads texts in parts.
    QTest::newRow("texts read when used") << "lazy"
                                          << "Data";
}

void TestFaults::killedMidSave() {
    QFETCH(QString, mode);
    QFETCH(QString, section);
    QRandomGenerator random(20261208);
    int generationsSeen = 0;
    // Written before the kills begin: a slow start (as under sanitizers) would otherwise be
    // killed before its first write again and again.
    if (mode == QLatin1String("lazy") || mode == QLatin1String("recovery")) {
        QProcess seed;
        seed.start(QStringLiteral(STORE_WRITER), {storePath(), mode, QStringLiteral("seed")});
        QVERIFY(seed.waitForFinished(60000));
        QCOMPARE(seed.exitCode(), 0);
    }
    for (int kill = 0; kill < 200; ++kill) {
        QProcess writer;
        writer.start(QStringLiteral(STORE_WRITER), {storePath(), mode});
        QVERIFY(writer.waitForStarted());
        QThread::msleep(random.bounded(5, 80));
        writer.kill(); // SIGKILL: no handler, no cleanup
        QVERIFY(writer.waitForFinished());

        SettingsStore store(storePath());
        QCOMPARE(store.movedAsidePath(), QString());
        if (!store.hasSection(section))
            continue;
        if (mode == QLatin1String("recovery")) {
            // Each entry in the copy is whole: text and name of the same change.
            for (int n = 1; n <= EntryStore::Count; ++n) {
                const QString name = store.get(section, EntryStore::nameKey(n));
                if (name.isEmpty())
                    continue;
                const QString generation = name.section(QLatin1Char('-'), 0, 0);
                const QString text = store.get(section, EntryStore::textKey(n));
                QVERIFY(text.startsWith(generation + QStringLiteral("-e%1|").arg(n)));
                QCOMPARE(text.size(),
                         1024 * 1024 + generation.size() + 3 + QString::number(n).size());
            }
            ++generationsSeen;
            continue;
        }
        // A reader's end leaves no lock behind: the store takes a write at once.
        if (mode == QLatin1String("lazy")) {
            QElapsedTimer wrote;
            wrote.start();
            QVERIFY(
                store.set(QStringLiteral("Writers"), QStringLiteral("test"), QStringLiteral("1")));
            QVERIFY(wrote.elapsed() < 5000);
        }
        // One generation, whole: every text and name of the same save.
        const QString first = store.get(section, QStringLiteral("Entry1"));
        const QString generation = first.section(QLatin1Char('-'), 0, 0);
        QVERIFY2(generation.startsWith(QLatin1Char('g')), qPrintable(first.left(20)));
        for (int n = 1; n <= EntryStore::Count; ++n) {
            QVERIFY(store.get(section, EntryStore::textKey(n))
                        .startsWith(generation + QStringLiteral("-e%1|").arg(n)));
            QCOMPARE(store.get(section, EntryStore::nameKey(n)),
                     generation + QStringLiteral("-n%1").arg(n));
        }
        ++generationsSeen;
    }
    // The kills landed while saves were going on, not only before the first.
    QVERIFY(generationsSeen > 100);
    QCOMPARE(integrity(storePath()), QStringLiteral("ok"));
}

void TestFaults::fileSizeLimit() {
    startSession();
    for (int n = 1; n <= 30; ++n)
        m_s->setEntry(n, QStringLiteral("former %1").arg(n), QStringLiteral("n"));
    m_s->window.updateStartupEntries();
    const QString entryFile = path(QStringLiteral("entry.txt"));
    const QString clipFile = path(QStringLiteral("clip.txt"));
    const QString setFile = path(QStringLiteral("set.ent"));
    const QString newSetFile = path(QStringLiteral("new.ent"));
    writeBytes(entryFile, "former entry\r\n");
    writeBytes(clipFile, "former clip\r\n");
    m_s->desktop.nextFiles = {setFile};
    m_s->item("SaveSetMnu")->trigger();
    const QByteArray setBytes = readBytes(setFile);
    const QStringList filesBefore = QDir(m_dir->path()).entryList(QDir::Files);

    QString big = QString(4 * MiB, QLatin1Char('b'));
    for (qsizetype i = 99; i < big.size(); i += 100)
        big[i] = QLatin1Char('\n');
    for (int n = 1; n <= 30; ++n)
        m_s->setEntry(n, big, QStringLiteral("big"));
    m_s->desktop.clipboard = big;
    {
        FileSizeLimit limit(2 * MiB);
        m_s->window.updateStartupEntries();
        m_s->window.setCurrentEntry(1);
        m_s->desktop.nextFiles = {entryFile, clipFile, setFile, newSetFile};
        m_s->item("mnuSaveEntry")->trigger();
        m_s->item("mnuClipboard2")->trigger();
        m_s->item("SaveSetMnu")->trigger();
        // A new set whose entries do not fit leaves no file without entries behind.
        m_s->item("SaveSetMnu")->trigger();
        // The editor's Save, over the entry file.
        m_s->item("mnuEdit")->trigger();
        EditorWindow *editor = openDialog<EditorWindow>(m_s->window, "FrmText");
        QVERIFY(editor);
        m_s->desktop.nextFiles = {entryFile};
        editor->saveAs();
        QCOMPARE(editor->windowTitle(), QStringLiteral("Snapvale"));
        editor->close();
    }
    // Each failure was shown, naming the file or the store and the system's reason; the Save
    // Set file itself fitted, its entries did not.
    const QStringList failed = {storePath(), entryFile,   clipFile,
                                storePath(), storePath(), entryFile};
    QCOMPARE(m_s->desktop.messages.size(), failed.size());
    for (qsizetype i = 0; i < failed.size(); ++i) {
        const QString shown = m_s->desktop.messages.at(i);
        const QString named = QStringLiteral("Snapvale could not write %1\r\n").arg(failed.at(i));
        QVERIFY2(shown.startsWith(named) && shown.size() > named.size(), qPrintable(shown));
    }
    // The program runs on, and every former file and row is as it was.
    QVERIFY(m_s->window.isVisible());
    QCOMPARE(readBytes(entryFile), QByteArray("former entry\r\n"));
    QCOMPARE(readBytes(clipFile), QByteArray("former clip\r\n"));
    QCOMPARE(readBytes(setFile), setBytes);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), filesBefore);
    QCOMPARE(m_s->stored(QStringLiteral("Data"), QStringLiteral("Entry30")),
             QStringLiteral("former 30"));
    QCOMPARE(m_s->stored(setFile, QStringLiteral("Entry1")), QStringLiteral("former 1"));

    // With room again, the same commands write.
    m_s->window.updateStartupEntries();
    QCOMPARE(m_s->stored(QStringLiteral("Data"), QStringLiteral("Entry30")), big);
    m_s.reset();
    SettingsStore reopened(storePath());
    QCOMPARE(reopened.movedAsidePath(), QString());
    QCOMPARE(integrity(storePath()), QStringLiteral("ok"));
}

void TestFaults::recoveryCopyRetried() {
    startSession();
    QSignalSpy ended(&m_s->session, &EntrySession::recoveryCopyEnded);
    const QString big(4 * MiB, QLatin1Char('y'));
    {
        // The copy is written on a thread of its own; the limit holds for the whole process.
        FileSizeLimit limit(2 * MiB);
        m_s->setEntry(4, big, QStringLiteral("n"));
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 10000);
        QCOMPARE(ended.at(0).at(0).toBool(), false);
        QVERIFY(!m_s->store.hasSection(QStringLiteral("Recovery")));
    }
    // With room again, the next copy writes what the failed one could not.
    QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 2, 10000);
    QCOMPARE(ended.at(1).at(0).toBool(), true);
    QCOMPARE(m_s->stored(QStringLiteral("Recovery"), QStringLiteral("Entry4")), big);
    // A clean end waits for a copy under way (its timer fires first), then drops it.
    m_s->setEntry(5, big, QStringLiteral("m"));
    QTRY_VERIFY_WITH_TIMEOUT(!m_s->session.recoveryCopyPending(), 10000);
    m_s->window.unload(MainWindow::CloseReason::Exit);
    QVERIFY(!m_s->store.hasSection(QStringLiteral("Recovery")));
    QCOMPARE(m_s->stored(QStringLiteral("Data"), QStringLiteral("Entry5")), big);
}

void TestFaults::closingSaveFailures_data() {
    QTest::addColumn<int>("how");
    QTest::newRow("close box") << int(MainWindow::CloseReason::CloseBox);
    QTest::newRow("Exit") << int(MainWindow::CloseReason::Exit);
    QTest::newRow("log out") << int(MainWindow::CloseReason::SessionEnd);
}

void TestFaults::closingSaveFailures() {
    QFETCH(int, how);
    const bool closeBox = how == int(MainWindow::CloseReason::CloseBox);
    startSession();
    m_s->setEntry(4, QStringLiteral("saved"), QStringLiteral("n"));
    QVERIFY(m_s->window.updateStartupEntries());
    m_s->setEntry(4, QString(4 * MiB, QLatin1Char('x')), QStringLiteral("n"));
    QTRY_VERIFY(m_s->store.hasSection(QStringLiteral("Recovery")));
    const auto closeOnce = [&] {
        if (closeBox)
            m_s->window.close();
        else
            m_s->window.exitProgram();
    };
    QSignalSpy unloaded(&m_s->window, &MainWindow::unloaded);
    if (how == int(MainWindow::CloseReason::SessionEnd)) {
        // No window can be asked at log-out: the program ends, stderr has the reason.
        FileSizeLimit limit(2 * MiB);
        m_s->window.unload(MainWindow::CloseReason::SessionEnd);
        QVERIFY(m_s->desktop.questions.isEmpty());
    } else {
        FileSizeLimit limit(2 * MiB);
        // Cancel: the window stays as it was, the entries too.
        closeOnce();
        QCOMPARE(m_s->desktop.questions.size(), 1);
        QVERIFY(m_s->desktop.questions.constFirst().startsWith(
            QStringLiteral("Snapvale could not write %1\r\n").arg(storePath())));
        QVERIFY(m_s->window.isVisible());
        QCOMPARE(unloaded.count(), 0);
        // Try Again fails again and asks again; then close anyway.
        m_s->desktop.nextAnswers = {0, 1};
        closeOnce();
        QCOMPARE(m_s->desktop.questions.size(), 3);
    }
    QVERIFY(!m_s->window.isVisible());
    QCOMPARE(unloaded.count(), closeBox ? 0 : 1);
    // What could not be saved is still in the recovery copy, and the startup entries as before.
    QCOMPARE(m_s->stored(QStringLiteral("Data"), QStringLiteral("Entry4")),
             QStringLiteral("saved"));
    QCOMPARE(m_s->stored(QStringLiteral("Recovery"), QStringLiteral("Entry4")).size(), 4 * MiB);
    QVERIFY(m_s->desktop.messages.isEmpty());
}

void TestFaults::closingSaveAfterAFailure_data() {
    // A large text fails as it is written, a small one only as the transaction commits.
    QTest::addColumn<int>("bytes");
    QTest::newRow("4 MiB") << 4 * MiB;
    QTest::newRow("small") << 5;
}

void TestFaults::closingSaveAfterAFailure() {
    // The closing save and the drop of the recovery copy are one transaction: a failed one
    // leaves both as they were, and the next try writes the entry all the same.
    QFETCH(int, bytes);
    startSession();
    m_s->setEntry(4, QStringLiteral("saved"), QStringLiteral("n"));
    QVERIFY(m_s->window.updateStartupEntries());
    const QString text(bytes, QLatin1Char('x'));
    m_s->setEntry(4, text, QStringLiteral("n"));
    QTRY_VERIFY(m_s->store.hasSection(QStringLiteral("Recovery")));
    {
        // Nothing more fits in the log, wherever the failure comes.
        FileSizeLimit limit(rlim_t(std::min<qint64>(2 * MiB, m_s->store.logBytes())));
        QVERIFY(!m_s->session.saveStartupEntriesAtEnd());
    }
    QCOMPARE(m_s->stored(QStringLiteral("Data"), QStringLiteral("Entry4")),
             QStringLiteral("saved"));
    QCOMPARE(m_s->stored(QStringLiteral("Recovery"), QStringLiteral("Entry4")), text);
    QVERIFY(m_s->session.saveStartupEntriesAtEnd());
    QCOMPARE(m_s->stored(QStringLiteral("Data"), QStringLiteral("Entry4")), text);
    QVERIFY(!m_s->store.hasSection(QStringLiteral("Recovery")));
}

void TestFaults::hostileTextFiles_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("inEditor");
    // Each file's own bytes as text, but one line break at its very end.
    QByteArray hundred(100 * MiB, 'x');
    for (qsizetype i = 99; i < hundred.size(); i += 100)
        hundred[i] = '\r';
    QTest::newRow("100 MiB") << hundred << QString::fromLatin1(hundred).chopped(1) << true;
    QTest::newRow("NUL bytes") << QByteArray("a\0b\r\n\0", 6)
                               << QString::fromUtf16(u"a\0b\r\n\0", 6) << true;
    QTest::newRow("invalid UTF-8")
        << QByteArray("ok \xC3\x28 \xFF") << QStringLiteral("ok \u00c3( \u00ff") << true;
    QTest::newRow("UTF-16 BOM") << QByteArray("\xFF\xFEh\0i\0\r\0\n\0", 10) << QStringLiteral("hi")
                                << true;
    QTest::newRow("CR-only lines") << QByteArray("a\rb\rc") << QStringLiteral("a\rb\rc") << true;
    // Laying out one line costs the editor about a microsecond a character: 50 MiB loads into
    // an entry, 2 MiB is shown in the editor.
    const QByteArray line(50 * MiB, 'L');
    QTest::newRow("one line of 50 MiB") << line << QString::fromLatin1(line) << false;
    const QByteArray shorter(2 * MiB, 'S');
    QTest::newRow("one line of 2 MiB") << shorter << QString::fromLatin1(shorter) << true;
}

void TestFaults::hostileTextFiles() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(bool, inEditor);
    startSession();
    const QString file = path(QStringLiteral("hostile.txt"));
    writeBytes(file, bytes);
    m_s->window.setCurrentEntry(4);
    m_s->desktop.nextFiles = {file};
    m_s->item("mnuLoad1")->trigger();
    QCOMPARE(m_s->text(4).size(), text.size());
    QVERIFY(m_s->text(4) == text);
    if (!inEditor)
        return;
    // The editor reads the same way, and shows the text without losing any of it.
    m_s->setEntry(4, QString());
    m_s->item("mnuEdit")->trigger();
    EditorWindow *editor = openDialog<EditorWindow>(m_s->window, "FrmText");
    QVERIFY(editor);
    m_s->desktop.nextFiles = {file};
    editor->openFile();
    QVERIFY(editor->text() == text);
    editor->close();
}

void TestFaults::hostileSetFiles() {
    startSession();
    for (int n = 1; n <= 30; ++n)
        m_s->setEntry(n, QStringLiteral("set text %1").arg(n));
    // A path with a line break is saved and found again.
    QDir().mkpath(path(QStringLiteral("odd\nfolder")));
    const QString odd = path(QStringLiteral("odd\nfolder/two\nlines.ent"));
    m_s->desktop.nextFiles = {odd};
    m_s->item("SaveSetMnu")->trigger();
    QVERIFY(m_s->store.hasSection(odd));
    m_s->setEntry(1, QStringLiteral("changed"));
    m_s->desktop.nextFiles = {odd};
    m_s->item("LoadMnu")->trigger();
    QCOMPARE(m_s->text(1), QStringLiteral("set text 1"));

    // A sixth line of 10,000 characters: no section by that name, then one.
    const QString longLine = QLatin1Char('/') + QString(9999, QLatin1Char('p'));
    const QString crafted = path(QStringLiteral("crafted.ent"));
    QByteArray bytes = readBytes(odd);
    bytes.truncate(bytes.indexOf("or its original filename.\r\n") + 27);
    writeBytes(crafted, bytes + longLine.toUtf8() + "\r\n");
    m_s->setEntry(2, QStringLiteral("changed"));
    m_s->desktop.nextFiles = {crafted};
    m_s->item("LoadMnu")->trigger();
    QCOMPARE(m_s->text(2), QStringLiteral("changed"));
    QCOMPARE(m_s->desktop.messages.constLast(),
             QStringLiteral("No entry set is stored for this file."));
    m_s->store.set(longLine, QStringLiteral("Entry2"), QStringLiteral("from the long line"));
    m_s->desktop.nextFiles = {crafted};
    m_s->item("LoadMnu")->trigger();
    QCOMPARE(m_s->text(2), QStringLiteral("from the long line"));

    // A marker without its sixth line: no set to load, but it is a set file to delete.
    const QString stub = path(QStringLiteral("stub.ent"));
    writeBytes(stub, "Do not edit this file.\r\n");
    m_s->desktop.nextFiles = {stub};
    m_s->item("LoadMnu")->trigger();
    QCOMPARE(m_s->desktop.messages.constLast(),
             QStringLiteral("No entry set is stored for this file."));
    m_s->desktop.nextFiles = {stub};
    m_s->item("DeleteMnu")->trigger();
    QWidget *confirm = openDialog<QDialog>(m_s->window, "FrmDelete");
    QVERIFY(confirm);
    confirm->findChild<QPushButton *>(QStringLiteral("CmdDelete"))->click();
    QVERIFY(!QFile::exists(stub));
}

void TestFaults::truncatedStoreMovedAside() {
    {
        SettingsStore store(storePath());
        EntryStore entries;
        for (int n = 1; n <= 30; ++n)
            entries.setEntry(n, QString(64 * 1024, QLatin1Char('t')), QStringLiteral("n"));
        entries.save(store, EntrySection::startup());
    }
    // Closing checkpointed the log into the file; cut the file in half.
    QVERIFY(QFileInfo(storePath() + QStringLiteral("-wal")).size() == 0 ||
            !QFile::exists(storePath() + QStringLiteral("-wal")));
    const qint64 size = QFileInfo(storePath()).size();
    QVERIFY(QFile::resize(storePath(), size / 2));
    startSession();
    QCOMPARE(m_s->desktop.messages.size(), 1);
    QVERIFY(QFile::exists(m_s->store.movedAsidePath()));
    QCOMPARE(QFileInfo(m_s->store.movedAsidePath()).size(), size / 2);
    QCOMPARE(m_s->text(1), QString());
}

void TestFaults::permissionsAfterReplacement() {
    QDir().mkpath(QFileInfo(storePath()).absolutePath());
    writeBytes(storePath(), QByteArray(8192, 'z'));
    QFile::setPermissions(storePath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    const mode_t old = umask(0);
    {
        SettingsStore store(storePath());
        QVERIFY(!store.movedAsidePath().isEmpty());
        store.set(QStringLiteral("Data"), QStringLiteral("Entry1"), QStringLiteral("x"));
        // The write-ahead log and its index carry entries too.
        for (const char *suffix : {"", "-wal", "-shm"}) {
            struct stat st {};
            QCOMPARE(stat(QFile::encodeName(storePath() + QLatin1String(suffix)).constData(), &st),
                     0);
            QCOMPARE(st.st_mode & 0777, mode_t(0600));
        }
    }
    umask(old);
    struct stat st {};
    QCOMPARE(stat(QFile::encodeName(QFileInfo(storePath()).absolutePath()).constData(), &st), 0);
    QCOMPARE(st.st_mode & 0777, mode_t(0700));
}

void TestFaults::twoCopiesAtOnce() {
    // Two writers over one store for 30 s: options, startup entries and sets, interleaved.
    QProcess a, b;
    for (auto [p, id] : {std::pair{&a, "A"}, std::pair{&b, "B"}})
        p->start(QStringLiteral(STORE_WRITER),
                 {storePath(), QStringLiteral("mixed"), QLatin1String(id), QStringLiteral("30")});
    for (QProcess *p : {&a, &b}) {
        QVERIFY(p->waitForFinished(120000));
        QCOMPARE(p->exitCode(), 0);
        // Any write lost to a locked store is reported on stderr.
        const QByteArray errors = p->readAllStandardError();
        QVERIFY2(errors.isEmpty(), errors.constData());
    }
    const int roundsA = a.readAllStandardOutput().trimmed().toInt();
    const int roundsB = b.readAllStandardOutput().trimmed().toInt();
    QVERIFY(roundsA > 10 && roundsB > 10);
    SettingsStore store(storePath());
    QCOMPARE(store.movedAsidePath(), QString());
    QCOMPARE(store.get(QStringLiteral("Writers"), QStringLiteral("A")).toInt(), roundsA);
    QCOMPARE(store.get(QStringLiteral("Writers"), QStringLiteral("B")).toInt(), roundsB);
    QCOMPARE(store.get(QStringLiteral("/sets/A.ent"), QStringLiteral("Entry30")),
             QStringLiteral("A round %1 entry 30").arg(roundsA));
    // The startup entries are one writer's whole save.
    const QString owner = store.get(QStringLiteral("Data"), QStringLiteral("Entry1b"));
    for (int n = 1; n <= 30; ++n)
        QVERIFY(store.get(QStringLiteral("Data"), EntryStore::textKey(n)).startsWith(owner));
    QCOMPARE(integrity(storePath()), QStringLiteral("ok"));
}

void TestFaults::locksHeldWhateverOpensTheStore_data() {
    QTest::addColumn<QString>("opener");
    QTest::newRow("a second connection") << "existing";
    QTest::newRow("another store object") << "store";
    QTest::newRow("a snapshot") << "snapshot";
    QTest::newRow("the recovery copy's writer") << "writer";
    QTest::newRow("a store moved aside and started fresh") << "fresh";
    // The user picks the store itself, or its log, in a file dialog.
    QTest::newRow("Load Entry from the store") << "mnuLoad1";
    QTest::newRow("Save Entry As over the store") << "mnuSaveEntry";
    QTest::newRow("Save Clipboard As over the log") << "mnuClipboard2";
    QTest::newRow("Load Set from the store") << "LoadMnu";
}

void TestFaults::locksHeldWhateverOpensTheStore() {
    QFETCH(QString, opener);
    startSession();
    m_s->setEntry(3, QStringLiteral("first"), QStringLiteral("n"));
    QVERIFY(m_s->window.updateStartupEntries());
    QVERIFY(holdsLock(storePath()));
    QSignalSpy copies(&m_s->session, &EntrySession::recoveryCopyEnded);
    std::shared_ptr<SettingsStore::Snapshot> snapshot;
    std::unique_ptr<SettingsStore> other;
    if (opener == QLatin1String("existing")) {
        other = std::make_unique<SettingsStore>(storePath(), SettingsStore::ExistingOnly);
    } else if (opener == QLatin1String("store")) {
        other = std::make_unique<SettingsStore>(storePath());
    } else if (opener == QLatin1String("snapshot")) {
        snapshot = m_s->store.snapshot();
        QVERIFY(snapshot);
    } else if (opener == QLatin1String("writer")) {
        m_s->setEntry(4, QStringLiteral("copied"), QStringLiteral("n"));
        QTRY_COMPARE_WITH_TIMEOUT(copies.size(), 1, 10000);
    } else if (opener.startsWith(QLatin1String("mnu")) || opener == QLatin1String("LoadMnu")) {
        const QByteArray before = digest(storePath());
        m_s->desktop.clipboard = QStringLiteral("clip");
        m_s->window.setCurrentEntry(3);
        m_s->desktop.nextFiles = {opener == QLatin1String("mnuClipboard2")
                                      ? storePath() + QStringLiteral("-wal")
                                      : storePath()};
        m_s->item(opener.toLatin1().constData())->trigger();
        QCOMPARE(m_s->desktop.messages.size(), 1);
        QCOMPARE(m_s->text(3), QStringLiteral("first"));
        QCOMPARE(digest(storePath()), before);
    } else {
        // A damaged file elsewhere in the same folder is no reason to drop this one's locks.
        const QString elsewhere = path(QStringLiteral("Snapvale/other.sqlite3"));
        writeBytes(elsewhere, QByteArray(8192, 'z'));
        other = std::make_unique<SettingsStore>(elsewhere);
        QVERIFY(!other->movedAsidePath().isEmpty());
    }
    other.reset();
    QVERIFY2(holdsLock(storePath()), "the process let go of its lock on the store");

    // A peer that opens and closes the store leaves the log in place: what is written after it
    // reaches the file that the next reader reads.
    QCOMPARE(peerQuery(storePath(), QStringLiteral("select count(*) > 0 from settings")),
             QStringLiteral("1"));
    QVERIFY(QFile::exists(storePath() + QStringLiteral("-wal")));
    m_s->setEntry(5, QStringLiteral("after the peer"), QStringLiteral("n"));
    QVERIFY(m_s->window.updateStartupEntries());
    QCOMPARE(peerQuery(storePath(), QStringLiteral("select value from settings where "
                                                   "section = 'Data' and key = 'Entry5'")),
             QStringLiteral("after the peer"));
    QVERIFY(holdsLock(storePath()));
}

void TestFaults::setFileNamingOwnSection_data() {
    QTest::addColumn<QString>("sixth");
    for (const char *own : {"Settings", "Data", "Frequent", "Recovery"})
        QTest::newRow(own) << own;
}

void TestFaults::setFileNamingOwnSection() {
    QFETCH(QString, sixth);
    startSession();
    m_s->setEntry(1, QStringLiteral("mine"), QStringLiteral("n"));
    QVERIFY(m_s->window.updateStartupEntries());
    QTRY_VERIFY(m_s->store.hasSection(QStringLiteral("Recovery")));
    m_s->store.set(QStringLiteral("Frequent"), QStringLiteral("01"), QStringLiteral("clip"));
    // Six lines, the sixth naming one of the program's own sections.
    const QString file = path(QStringLiteral("hostile.ent"));
    QByteArray bytes = EntrySet::fileText(file).toUtf8();
    bytes.truncate(bytes.indexOf("or its original filename.\r\n") + 27);
    writeBytes(file, bytes + sixth.toUtf8() + "\r\n");
    m_s->desktop.nextFiles = {file};
    m_s->item("LoadMnu")->trigger();
    QCOMPARE(m_s->desktop.messages, QStringList{QStringLiteral("This file is not an entry set.")});
    QCOMPARE(m_s->text(1), QStringLiteral("mine"));
    QCOMPARE(m_s->stored(QStringLiteral("Data"), QStringLiteral("Entry1")), QStringLiteral("mine"));
    QCOMPARE(m_s->stored(QStringLiteral("Frequent"), QStringLiteral("01")), QStringLiteral("clip"));
}

void TestFaults::specialFilesNeverBlock() {
    startSession();
    const QString fifo = path(QStringLiteral("pipe.ent"));
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    m_s->setEntry(5, QStringLiteral("five"), QStringLiteral("n"));
    m_s->window.setCurrentEntry(5);
    // Each would block for ever in open() if it tried to read or write the FIFO.
    for (const char *item : {"LoadMnu", "DeleteMnu", "mnuLoad1", "mnuSaveEntry", "SaveSetMnu"}) {
        m_s->desktop.nextFiles = {fifo};
        m_s->item(item)->trigger();
    }
    m_s->item("mnuEdit")->trigger();
    EditorWindow *editor = openDialog<EditorWindow>(m_s->window, "FrmText");
    QVERIFY(editor);
    m_s->desktop.nextFiles = {fifo, fifo};
    editor->openFile();
    editor->saveAs();
    editor->close();
    QCOMPARE(m_s->text(5), QStringLiteral("five"));
    QCOMPARE(m_s->desktop.messages.size(), 7);
    QVERIFY(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());
    QVERIFY(!m_s->store.hasSection(fifo));
}

void TestFaults::damagedPageMovedAsideWithMemorySaved() {
    {
        SettingsStore store(storePath());
        EntryStore entries;
        for (int n = 1; n <= 30; ++n)
            entries.setEntry(n, QString(8000, QLatin1Char('a' + n % 26)), QStringLiteral("n"));
        QVERIFY(entries.save(store, EntrySection::startup()));
    }
    QFile file(storePath());
    QVERIFY(file.open(QIODevice::ReadWrite));
    file.seek(12 * 4096);
    file.write(QByteArray(4096, '\x5a'));
    file.close();
    startSession();
    // Told once, with the old file's new place; the fresh store holds what the window shows.
    QTRY_COMPARE(m_s->desktop.messages.size(), 1);
    QVERIFY(m_s->desktop.messages.constFirst().contains(QStringLiteral("damaged")));
    const QString aside = m_s->store.movedAsidePath();
    QVERIFY(!aside.isEmpty() && QFile::exists(aside));
    QVERIFY(m_s->desktop.messages.constFirst().endsWith(aside));
    for (int n = 1; n <= 30; ++n)
        QCOMPARE(m_s->stored(QStringLiteral("Data"), EntryStore::textKey(n)), m_s->text(n));
    QCOMPARE(integrity(storePath()), QStringLiteral("ok"));
    m_s->setEntry(1, QStringLiteral("after"));
    QVERIFY(m_s->window.updateStartupEntries());
    QCOMPARE(m_s->desktop.messages.size(), 1);
}

void TestFaults::unwritableStoreSaidAtStart() {
    // A folder where the store should be: the program runs, and says once why nothing is kept.
    QDir().mkpath(storePath());
    startSession();
    QCOMPARE(m_s->desktop.messages.size(), 1);
    QVERIFY(m_s->desktop.messages.constFirst().startsWith(
        QStringLiteral("Snapvale cannot keep changes in %1\r\n").arg(storePath())));
    QVERIFY(m_s->window.isVisible());
}

namespace {

// A store of the former layout (sections compared without case, no write-ahead log), or of the
// current one, written directly: entries first, the rest after them.
void writeRawStore(const QString &path, bool oldLayout, const QList<QStringList> &rows) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    sqlite3_exec(db,
                 oldLayout ? "CREATE TABLE settings(app TEXT NOT NULL, section TEXT NOT NULL "
                             "COLLATE NOCASE, key TEXT NOT NULL COLLATE NOCASE, value TEXT NOT "
                             "NULL, PRIMARY KEY (app, section, key)); BEGIN"
                           : "PRAGMA journal_mode=WAL; CREATE TABLE settings(app TEXT NOT NULL, "
                             "section TEXT NOT NULL, key TEXT NOT NULL COLLATE NOCASE, value TEXT "
                             "NOT NULL, PRIMARY KEY (app, section, key)); PRAGMA user_version=2; "
                             "BEGIN",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO settings VALUES ('Snapvale', ?1, ?2, ?3)", -1, &st,
                       nullptr);
    for (const QStringList &row : rows) {
        for (int i = 0; i < 3; ++i) {
            const QByteArray utf8 = row.at(i).toUtf8();
            sqlite3_bind_text(st, i + 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        }
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

} // namespace

void TestFaults::damagedStoreMovedAsFoundRowsKept_data() {
    QTest::addColumn<bool>("oldLayout");
    QTest::newRow("former layout, converted at start") << true;
    QTest::newRow("current layout") << false;
}

void TestFaults::damagedStoreMovedAsFoundRowsKept() {
    QFETCH(bool, oldLayout);
    QList<QStringList> rows;
    for (int n = 1; n <= 30; ++n) {
        rows << QStringList{QStringLiteral("Data"), EntryStore::textKey(n),
                            QString(8000, QLatin1Char('a' + n % 26))};
        rows << QStringList{QStringLiteral("Data"), EntryStore::nameKey(n),
                            QStringLiteral("name %1").arg(n)};
    }
    rows << QStringList{QStringLiteral("/sets/kept.ent"), QStringLiteral("Entry1"),
                        QStringLiteral("from the set")};
    rows << QStringList{QStringLiteral("Frequent"), QStringLiteral("01"), QStringLiteral("clip")};
    rows << QStringList{QStringLiteral("Settings"), QStringLiteral("OnTop"), QStringLiteral("2")};
    writeRawStore(storePath(), oldLayout, rows);
    // One page among the entries' texts overwritten.
    {
        QFile file(storePath());
        QVERIFY(file.open(QIODevice::ReadWrite));
        file.seek(12 * 4096);
        file.write(QByteArray(4096, '\x5a'));
    }
    const QByteArray before = readBytes(storePath());
    startSession();
    QTRY_COMPARE(m_s->desktop.messages.size(), 1);
    const QString aside = m_s->store.movedAsidePath();
    QVERIFY(!aside.isEmpty());
    QVERIFY(m_s->desktop.messages.constFirst().endsWith(aside));
    // The file as it was found, not a byte changed by the start.
    QVERIFY(readBytes(aside) == before);
    // Every row the damage spared is in the fresh store: most entries, the set, the clipping,
    // the option; an entry whose text was lost is empty, never cut short.
    int kept = 0;
    for (int n = 1; n <= 30; ++n) {
        const QString text = m_s->stored(QStringLiteral("Data"), EntryStore::textKey(n));
        QVERIFY(text.isEmpty() || text == QString(8000, QLatin1Char('a' + n % 26)));
        kept += text.isEmpty() ? 0 : 1;
        QCOMPARE(m_s->text(n), text);
        if (!text.isEmpty())
            QCOMPARE(m_s->name(n), QStringLiteral("name %1").arg(n));
    }
    QVERIFY2(kept >= 25 && kept < 30, qPrintable(QString::number(kept)));
    if (!oldLayout) {
        // Found while the entries loaded: the fresh store holds what the window holds.
        QVERIFY(m_s->desktop.messages.constFirst().contains(QStringLiteral("damaged")));
    } else {
        QVERIFY(m_s->desktop.messages.constFirst().contains(
            QStringLiteral("%1 of the 30 entries").arg(kept)));
    }
    QCOMPARE(m_s->stored(QStringLiteral("/sets/kept.ent"), QStringLiteral("Entry1")),
             QStringLiteral("from the set"));
    QCOMPARE(m_s->stored(QStringLiteral("Frequent"), QStringLiteral("01")), QStringLiteral("clip"));
    QVERIFY(!m_s->window.alwaysOnTop());
    QCOMPARE(integrity(storePath()), QStringLiteral("ok"));
}

void TestFaults::migrationLeavesNoSlack() {
    QList<QStringList> rows;
    for (int n = 1; n <= 30; ++n)
        rows << QStringList{QStringLiteral("Data"), EntryStore::textKey(n),
                            QString(MiB, QLatin1Char('a' + n % 26))};
    writeRawStore(storePath(), true, rows);
    const qint64 data = 30 * MiB;
    { SettingsStore store(storePath()); }
    QCOMPARE(SettingsStore(storePath()).get(QStringLiteral("Data"), QStringLiteral("Entry30")),
             QString(MiB, QLatin1Char('a' + 30 % 26)));
    const qint64 size =
        QFileInfo(storePath()).size() + QFileInfo(storePath() + QStringLiteral("-wal")).size();
    QVERIFY2(size < data + data / 10, qPrintable(QString::number(size)));
}

void TestFaults::unreadableTextWrittenNowhere_data() {
    QTest::addColumn<QString>("command");
    QTest::newRow("copy") << "copy";
    QTest::newRow("save set") << "set";
    QTest::newRow("save entry as") << "file";
    QTest::newRow("editor") << "editor";
}

void TestFaults::unreadableTextWrittenNowhere() {
    // A large text still in the store, then a damaged page in it under the running program:
    // whatever needs the whole text finds it unreadable. It is shown so and told once, and
    // neither it nor the start the window shows is written anywhere in its place.
    QFETCH(QString, command);
    QString large;
    for (int i = 0; large.size() < 3 * MiB; ++i)
        large += QStringLiteral("line %1 of the large entry\n").arg(i);
    {
        SettingsStore store(storePath());
        store.set(QStringLiteral("Data"), QStringLiteral("Entry3"), large);
        store.set(QStringLiteral("Data"), QStringLiteral("Entry4"), QStringLiteral("small"));
    }
    QFile file(storePath());
    QVERIFY(file.open(QIODevice::ReadWrite));
    startSession();
    const QString start = m_s->session.entries().start(3);
    QVERIFY(start.startsWith(QLatin1String("line 0 of")));
    file.seek(file.size() / 2 / 4096 * 4096);
    file.write(QByteArray(4096, '\x5a'));
    file.flush();

    const QString set = path(QStringLiteral("all.ent"));
    const QString saved = path(QStringLiteral("entry.txt"));
    m_s->window.setCurrentEntry(3);
    m_s->desktop.clipboard = QStringLiteral("before");
    if (command == QLatin1String("copy")) {
        m_s->item("mnuCopy1")->trigger();
    } else if (command == QLatin1String("set")) {
        m_s->desktop.nextFiles = {set};
        m_s->item("SaveSetMnu")->trigger();
    } else if (command == QLatin1String("file")) {
        m_s->desktop.nextFiles = {saved};
        m_s->item("mnuSaveEntry")->trigger();
    } else {
        m_s->item("mnuEdit")->trigger();
        // Closed again without writing anything back.
        QTRY_VERIFY(!openDialog<EditorWindow>(m_s->window, "FrmText"));
    }
    QTRY_VERIFY(m_s->session.entries().isUnreadable(3));
    QTRY_VERIFY(std::any_of(
        m_s->desktop.messages.cbegin(), m_s->desktop.messages.cend(),
        [](const QString &m) { return m.contains(QLatin1String("entry 3 could not be read")); }));
    QCOMPARE(m_s->session.entries().shownStart(3), QStringLiteral("(unreadable)"));
    QCOMPARE(m_s->desktop.clipboard, QStringLiteral("before"));
    QVERIFY(!QFile::exists(saved));
    // The store the program uses now, fresh or not, has nothing in its place but what it had.
    m_s->window.unload(MainWindow::CloseReason::SessionEnd);
    const int told = int(std::count_if(
        m_s->desktop.messages.cbegin(), m_s->desktop.messages.cend(),
        [](const QString &m) { return m.contains(QLatin1String("could not be read")); }));
    QCOMPARE(told, 1);
    m_s.reset();
    file.close();
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(storePath()).constData(), &db), SQLITE_OK);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, "SELECT section, value FROM settings WHERE key = 'Entry3'", -1, &st,
                       nullptr);
    while (sqlite3_step(st) == SQLITE_ROW) {
        const QByteArray value(static_cast<const char *>(sqlite3_column_blob(st, 1)),
                               sqlite3_column_bytes(st, 1));
        QVERIFY2(value.isEmpty() || value == large.toUtf8(),
                 reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    QCOMPARE(SettingsStore(storePath()).get(QStringLiteral("Data"), QStringLiteral("Entry4")),
             QStringLiteral("small"));
}

void TestFaults::foreignValueTypesOverwritten_data() {
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("nullable");
    QTest::newRow("a small blob") << QByteArray("x'0102ff68'") << false;
    QTest::newRow("a large blob") << QByteArray("zeroblob(40000)") << false;
    QTest::newRow("a number") << QByteArray("4.5") << false;
    QTest::newRow("null, in a table that allows it") << QByteArray("NULL") << true;
}

void TestFaults::foreignValueTypesOverwritten() {
    // Another program may write values of other types under an entry's key: a text pasted
    // over one is saved like any other.
    QFETCH(QByteArray, value);
    QFETCH(bool, nullable);
    QDir().mkpath(QFileInfo(storePath()).absolutePath());
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(storePath()).constData(), &db), SQLITE_OK);
    const QByteArray sql =
        "CREATE TABLE settings(app TEXT NOT NULL, section TEXT NOT NULL, key TEXT NOT NULL "
        "COLLATE NOCASE, value TEXT" +
        QByteArray(nullable ? "" : " NOT NULL") +
        ", PRIMARY KEY (app, section, key)); PRAGMA user_version = 2; "
        "INSERT INTO settings VALUES ('Snapvale', 'Data', 'Entry1', " +
        value + ");";
    QCOMPARE(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    startSession();
    QVERIFY(m_s->session.setEntryText(1, QStringLiteral("pasted over")));
    m_s->window.unload(MainWindow::CloseReason::SessionEnd);
    m_s.reset();
    SettingsStore store(storePath());
    QCOMPARE(store.get(QStringLiteral("Data"), QStringLiteral("Entry1")),
             QStringLiteral("pasted over"));
}

QTEST_MAIN(TestFaults)
#include "test_faults.moc"
