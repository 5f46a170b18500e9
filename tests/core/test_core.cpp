#include "core/entrystore.h"
#include "core/optionflag.h"
#include "core/settingsstore.h"
#include "core/storedsettings.h"
#include "core/text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <sqlite3.h>
#include <sys/stat.h>

namespace {

// Rows of one section, counted straight from the file as an outside tool would.
int rowCount(const QString &path, const QString &section) {
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, "SELECT count(*) FROM settings WHERE app = 'Snapvale' AND section = ?1",
                       -1, &st, nullptr);
    const QByteArray s = section.toUtf8();
    sqlite3_bind_text(st, 1, s.constData(), int(s.size()), SQLITE_TRANSIENT);
    const int count = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : -1;
    sqlite3_finalize(st);
    sqlite3_close(db);
    return count;
}

void writeFile(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class TestCore : public QObject {
    Q_OBJECT
private slots:
    // Every test starts from a store folder of its own.
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void optionFlag_data();
    void optionFlag();
    void missingKeysReadEmpty();
    void valuesRoundTrip_data();
    void valuesRoundTrip();
    void sectionNames_data();
    void sectionNames();
    void emptyValueKeepsKey();
    void regDelRemovesWholeSectionOnly();
    void saveAndLoadEntries();
    void loadEntryTouchesOneEntry();
    void entryChangesAreSignalled();
    void unusableStoreMovedAside_data();
    void unusableStoreMovedAside();
    void permissionsUnderOpenUmask();
    void transactionNestsIntoOne();
    void landedStoreMigrated();
    void damageIsReportedAndMovedAside();
    void largeTextsReadWhenUsed_data();
    void largeTextsReadWhenUsed();
    void unchangedStoredTextsNotWritten();
    void deletedTextsZeroed();
    void placesNotOurOwn_data();
    void placesNotOurOwn();
    void relativeDataHomeIgnored();
    void setPaths_data();
    void setPaths();
    void textLimit();
    void trimSpaces_data();
    void trimSpaces();
    void lineEnds_data();
    void lineEnds();
    void decoding_data();
    void decoding();

private:
    QString storePath() const {
        return m_dir->filePath(QStringLiteral("Snapvale/settings.sqlite3"));
    }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestCore::optionFlag_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("on");
    QTest::newRow("2 is off") << "2" << false;
    QTest::newRow("1 is on") << "1" << true;
    QTest::newRow("0 is on") << "0" << true;
    QTest::newRow("no is on") << "no" << true;
    QTest::newRow("missing is on") << "" << true;
    QTest::newRow("2 with space is on") << "2 " << true;
}

void TestCore::optionFlag() {
    QFETCH(QString, stored);
    QFETCH(bool, on);
    QCOMPARE(OptionFlag::isOn(stored), on);
    QCOMPARE(OptionFlag::encode(true), QStringLiteral("1"));
    QCOMPARE(OptionFlag::encode(false), QStringLiteral("2"));
}

void TestCore::missingKeysReadEmpty() {
    SettingsStore store(storePath());
    QVERIFY(store.isOpen());
    QCOMPARE(store.get(QStringLiteral("Data"), QStringLiteral("Entry1")), QString());
    const Options options = loadOptions(store);
    QVERIFY(options.onTop && options.mouseOver && options.autoSave && options.pasteAfterPicking);
    // Giving the clipboard back after a paste is asked for, never assumed.
    QVERIFY(!options.restoreClipboard);
    QVERIFY(saveOption(store, Option::RestoreClipboard, true));
    QVERIFY(loadOptions(store).restoreClipboard);
    QVERIFY(saveOption(store, Option::RestoreClipboard, false));
    QVERIFY(!loadOptions(store).restoreClipboard);
    QCOMPARE(loadClippings(store), QStringList(ClippingCount, QString()));
    QVERIFY(!store.hasSection(QStringLiteral("Data")));
}

void TestCore::valuesRoundTrip_data() {
    QTest::addColumn<QString>("value");
    QTest::newRow("CR LF and tabs") << QStringLiteral("a\r\nb\tc\r\n");
    QTest::newRow("lone CR and LF") << QStringLiteral("a\rb\nc");
    QTest::newRow("ampersand and quotes") << QStringLiteral("Tom & Jerry's \"best\"");
    QTest::newRow("non-ASCII") << QStringLiteral("Grüße, 東京, emoji \U0001F600");
    QTest::newRow("embedded NUL") << QString::fromUtf16(u"a\0b", 3);
    QTest::newRow("spaces only") << QStringLiteral("   ");
    QString big;
    big.reserve(1 << 20);
    while (big.size() < (1 << 20))
        big += QStringLiteral("line of text äöü\r\n");
    QTest::newRow("1 MB") << big;
}

void TestCore::valuesRoundTrip() {
    QFETCH(QString, value);
    {
        SettingsStore store(storePath());
        store.set(QStringLiteral("Data"), QStringLiteral("Entry7"), value);
    }
    // A second open reads what reached the file, not what a cache kept.
    SettingsStore store(storePath());
    QCOMPARE(store.get(QStringLiteral("Data"), QStringLiteral("Entry7")), value);
}

void TestCore::sectionNames_data() {
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("read");
    QTest::addColumn<bool>("same");
    // Sections compare exactly, keys without case.
    QTest::newRow("section letter case counts") << "/home/u/Sets/Work.ent"
                                                << "/home/u/sets/work.ENT" << false;
    QTest::newRow("Data is not DATA") << "Data"
                                      << "DATA" << false;
    QTest::newRow("key case ignored") << "/a/b.ent"
                                      << "/a/b.ent" << true;
    QTest::newRow("trailing slash differs") << "/a/b"
                                            << "/a/b/" << false;
    QTest::newRow("backslash path kept whole") << "C:\\Sets\\a.ent"
                                               << "C:" << false;
    QTest::newRow("spaces significant") << "/a b/c.ent"
                                        << "/a  b/c.ent" << false;
}

void TestCore::sectionNames() {
    QFETCH(QString, written);
    QFETCH(QString, read);
    QFETCH(bool, same);
    SettingsStore store(storePath());
    store.set(written, QStringLiteral("Entry1"), QStringLiteral("x"));
    QCOMPARE(store.get(read, QStringLiteral("entry1")) == QLatin1String("x"), same);
    QCOMPARE(store.get(QStringLiteral("Other"), QStringLiteral("Entry1")), QString());
}

void TestCore::emptyValueKeepsKey() {
    SettingsStore store(storePath());
    QStringList clippings(ClippingCount, QString());
    clippings[2] = QStringLiteral("hello");
    QVERIFY(saveClippings(store, clippings));
    QCOMPARE(store.get(QStringLiteral("Frequent"), QStringLiteral("03")), QStringLiteral("hello"));
    clippings[2].clear();
    QVERIFY(saveClippings(store, clippings));
    // Every clipping has its key, empty ones included.
    QCOMPARE(rowCount(storePath(), QStringLiteral("Frequent")), ClippingCount);
    QCOMPARE(loadClippings(store), clippings);
}

void TestCore::regDelRemovesWholeSectionOnly() {
    SettingsStore store(storePath());
    for (const char *section : {"/sets/a.ent", "/sets/b.ent"}) {
        for (const char *key : {"Entry1", "Entry1b"})
            store.set(QLatin1String(section), QLatin1String(key), QStringLiteral("v"));
    }
    QVERIFY(removeEntries(store, EntrySection::set(QStringLiteral("/sets/A.ENT"))));
    QCOMPARE(rowCount(storePath(), QStringLiteral("/sets/a.ent")), 2);
    QVERIFY(removeEntries(store, EntrySection::set(QStringLiteral("/sets/a.ent"))));
    QCOMPARE(rowCount(storePath(), QStringLiteral("/sets/a.ent")), 0);
    QCOMPARE(rowCount(storePath(), QStringLiteral("/sets/b.ent")), 2);
    // Deleting what is not there is no failure and changes nothing.
    QVERIFY(removeEntries(store, EntrySection::set(QStringLiteral("/never/saved.ent"))));
    QCOMPARE(rowCount(storePath(), QStringLiteral("/sets/b.ent")), 2);
}

void TestCore::saveAndLoadEntries() {
    SettingsStore store(storePath());
    EntryStore saved;
    for (int n = 1; n <= EntryStore::Count; ++n)
        saved.setEntry(n, n % 3 ? QStringLiteral("text %1\r\nline 2").arg(n) : QString(),
                       n % 2 ? QStringLiteral("name %1").arg(n) : QString());
    QVERIFY(saved.save(store, EntrySection::startup()));
    // All 60 keys, empty ones included.
    QCOMPARE(rowCount(storePath(), QStringLiteral("Data")), 60);
    QCOMPARE(store.get(QStringLiteral("Data"), QStringLiteral("Entry3")), QString());
    QCOMPARE(store.get(QStringLiteral("Data"), QStringLiteral("Entry5b")),
             QStringLiteral("name 5"));

    EntryStore loaded;
    loaded.load(store, EntrySection::startup());
    for (int n = 1; n <= EntryStore::Count; ++n) {
        QCOMPARE(loaded.text(n), saved.text(n));
        QCOMPARE(loaded.name(n), saved.name(n));
    }

    // A section with no keys empties texts and names; no "Untitled" comes back.
    loaded.load(store, EntrySection::set(QStringLiteral("/nothing/here.ent")));
    for (int n = 1; n <= EntryStore::Count; ++n) {
        QCOMPARE(loaded.text(n), QString());
        QCOMPARE(loaded.name(n), QString());
    }
}

void TestCore::loadEntryTouchesOneEntry() {
    SettingsStore store(storePath());
    store.set(QStringLiteral("Data"), QStringLiteral("Entry7"), QStringLiteral("seven"));
    store.set(QStringLiteral("Data"), QStringLiteral("Entry8"), QStringLiteral("eight"));
    EntryStore entries;
    entries.setEntry(6, QStringLiteral("six now"), QStringLiteral("n6"));
    entries.setEntry(7, QStringLiteral("seven now"), QStringLiteral("n7"));
    entries.loadEntry(store, 7, EntrySection::startup());
    QCOMPARE(entries.text(7), QStringLiteral("seven"));
    QCOMPARE(entries.name(7), QString());
    QCOMPARE(entries.text(6), QStringLiteral("six now"));
    QCOMPARE(entries.text(8), QString());
    QCOMPARE(entries.name(8), EntryStore::DefaultName);
}

void TestCore::entryChangesAreSignalled() {
    EntryStore entries;
    QSignalSpy spy(&entries, &EntryStore::entryChanged);
    entries.setText(4, QStringLiteral("a"));
    entries.setName(30, QStringLiteral("b"));
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0).at(0).toInt(), 4);
    QCOMPARE(spy.at(1).at(0).toInt(), 30);
    QCOMPARE(EntryStore::tabOf(5), 1);
    QCOMPARE(EntryStore::tabOf(6), 2);
    QCOMPARE(EntryStore::tabOf(30), 6);
}

void TestCore::unusableStoreMovedAside_data() {
    QTest::addColumn<QByteArray>("content");
    QByteArray noise(64 * 1024, '\0');
    QRandomGenerator gen(42);
    for (char &c : noise)
        c = char(gen.bounded(256));
    QTest::newRow("random bytes") << noise;
    QTest::newRow("truncated header") << QByteArray("SQLite format 3\0\x10\0\x01\x01", 21);
    QTest::newRow("wrong columns") << QByteArray("wrong columns");
}

void TestCore::unusableStoreMovedAside() {
    QFETCH(QByteArray, content);
    QDir().mkpath(QFileInfo(storePath()).absolutePath());
    if (content == "wrong columns") {
        sqlite3 *db = nullptr;
        sqlite3_open(QFile::encodeName(storePath()).constData(), &db);
        sqlite3_exec(db, "CREATE TABLE settings(name TEXT, value TEXT)", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        QFile f(storePath());
        QVERIFY(f.open(QIODevice::ReadOnly));
        content = f.readAll();
    } else {
        writeFile(storePath(), content);
    }

    SettingsStore store(storePath());
    QVERIFY(store.isOpen());
    const QString aside = store.movedAsidePath();
    QVERIFY(aside.startsWith(storePath() + QStringLiteral(".corrupt-")));
    QFile old(aside);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), content);

    // The fresh store works and keeps what is written.
    store.set(QStringLiteral("Data"), QStringLiteral("Entry1"), QStringLiteral("new"));
    QCOMPARE(store.get(QStringLiteral("Data"), QStringLiteral("Entry1")), QStringLiteral("new"));
    SettingsStore again(storePath());
    QCOMPARE(again.movedAsidePath(), QString());
}

void TestCore::permissionsUnderOpenUmask() {
    const mode_t old = umask(0);
    {
        SettingsStore store(storePath());
        store.set(QStringLiteral("Data"), QStringLiteral("Entry1"), QStringLiteral("x"));
    }
    umask(old);
    struct stat st {};
    QCOMPARE(stat(QFile::encodeName(QFileInfo(storePath()).absolutePath()).constData(), &st), 0);
    QCOMPARE(st.st_mode & 0777, mode_t(0700));
    QCOMPARE(stat(QFile::encodeName(storePath()).constData(), &st), 0);
    QCOMPARE(st.st_mode & 0777, mode_t(0600));
}

void TestCore::transactionNestsIntoOne() {
    SettingsStore store(storePath());
    {
        SettingsStore::Transaction outer(store);
        store.set(QStringLiteral("S"), QStringLiteral("a"), QStringLiteral("1"));
        {
            SettingsStore::Transaction inner(store);
            store.set(QStringLiteral("S"), QStringLiteral("b"), QStringLiteral("2"));
            QVERIFY(inner.commit());
        }
        // Nothing is visible to another reader until the outermost scope commits.
        QCOMPARE(rowCount(storePath(), QStringLiteral("S")), 0);
        QVERIFY(outer.commit());
    }
    QCOMPARE(rowCount(storePath(), QStringLiteral("S")), 2);

    // A scope that ends without committing, or whose inner part gives up, leaves nothing.
    {
        SettingsStore::Transaction outer(store);
        store.set(QStringLiteral("T"), QStringLiteral("a"), QStringLiteral("1"));
    }
    {
        SettingsStore::Transaction outer(store);
        store.set(QStringLiteral("T"), QStringLiteral("a"), QStringLiteral("1"));
        { SettingsStore::Transaction inner(store); }
        QVERIFY(!outer.commit());
    }
    QCOMPARE(rowCount(storePath(), QStringLiteral("T")), 0);
}

void TestCore::landedStoreMigrated() {
    // The table as the landed version wrote it: sections compared without case.
    QDir().mkpath(QFileInfo(storePath()).absolutePath());
    {
        sqlite3 *db = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(storePath()).constData(), &db), SQLITE_OK);
        QCOMPARE(
            sqlite3_exec(db,
                         "PRAGMA journal_mode=WAL;"
                         "CREATE TABLE settings(app TEXT NOT NULL, section TEXT NOT NULL "
                         "COLLATE NOCASE, key TEXT NOT NULL COLLATE NOCASE, value TEXT NOT "
                         "NULL, PRIMARY KEY (app, section, key)) WITHOUT ROWID;"
                         "INSERT INTO settings VALUES('Snapvale', '/a/Work.ent', 'Entry1', 'w');"
                         "INSERT INTO settings VALUES('Snapvale', 'Data', 'Entry2b', 'two');",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
        sqlite3_close(db);
    }
    SettingsStore store(storePath());
    QCOMPARE(store.movedAsidePath(), QString());
    QCOMPARE(store.get(QStringLiteral("/a/Work.ent"), QStringLiteral("entry1")),
             QStringLiteral("w"));
    QCOMPARE(store.get(QStringLiteral("Data"), QStringLiteral("Entry2b")), QStringLiteral("two"));
    // Two sets that differ in letter case only are two sets now.
    QVERIFY(
        store.set(QStringLiteral("/a/work.ent"), QStringLiteral("Entry1"), QStringLiteral("l")));
    QCOMPARE(store.get(QStringLiteral("/a/Work.ent"), QStringLiteral("Entry1")),
             QStringLiteral("w"));
    QCOMPARE(rowCount(storePath(), QStringLiteral("/a/work.ent")), 1);
}

void TestCore::damageIsReportedAndMovedAside() {
    {
        SettingsStore store(storePath());
        EntryStore entries;
        for (int n = 1; n <= EntryStore::Count; ++n)
            entries.setEntry(n, QString(8000, QLatin1Char('a' + n % 26)), QStringLiteral("n"));
        QVERIFY(entries.save(store, EntrySection::startup()));
    }
    // One page inside the table overwritten: the header and the schema are intact.
    QFile file(storePath());
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.size() > 20 * 4096);
    file.seek(12 * 4096);
    file.write(QByteArray(4096, '\x5a'));
    file.close();
    const QByteArray damaged = [&] {
        QFile f(storePath());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();

    SettingsStore store(storePath());
    int told = 0;
    store.setDamageHandler([&told] { ++told; });
    EntryStore entries;
    entries.load(store, EntrySection::startup());
    QCOMPARE(told, 1);
    QVERIFY(store.replaceDamaged());
    QFile aside(store.movedAsidePath());
    QVERIFY(aside.open(QIODevice::ReadOnly));
    QCOMPARE(aside.readAll(), damaged);
    QVERIFY(entries.save(store, EntrySection::startup()));
    QCOMPARE(rowCount(storePath(), QStringLiteral("Data")), 60);
}

void TestCore::largeTextsReadWhenUsed_data() {
    QTest::addColumn<QString>("order");
    QTest::addColumn<QString>("start");
    // Whatever happens to the section after the load, the entries read what it held then.
    QTest::newRow("section overwritten") << "overwrite"
                                         << "plain";
    QTest::newRow("set saved over itself") << "save over" << QStringLiteral("€uro");
    QTest::newRow("set deleted") << "delete" << QStringLiteral("😀 wide");
    QTest::newRow("another copy writes") << "other copy" << QStringLiteral("\uFEFFmark");
    QTest::newRow("store moved aside") << "moved" << QStringLiteral("ñ\r\nline");
}

void TestCore::largeTextsReadWhenUsed() {
    QFETCH(QString, order);
    QFETCH(QString, start);
    const EntrySection section = order == QLatin1String("overwrite")
                                     ? EntrySection::startup()
                                     : EntrySection::set(QStringLiteral("/sets/big.ent"));
    // Large enough to stay in the store; the start's characters cross the cut of what is read.
    std::array<QByteArray, EntryStore::Count> texts;
    {
        SettingsStore store(storePath());
        EntryStore entries;
        for (int n = 1; n <= EntryStore::Count; ++n) {
            const QString text = start.repeated(200) + QString::number(n) +
                                 QString(64 * 1024 + n, QLatin1Char('a' + n % 26));
            texts[n - 1] = text.toUtf8();
            entries.setEntry(n, text, QStringLiteral("n%1").arg(n));
        }
        QVERIFY(entries.save(store, section));
    }
    SettingsStore store(storePath());
    EntryStore entries;
    entries.load(store, section);
    for (int n = 1; n <= EntryStore::Count; ++n) {
        QVERIFY(!entries.content(n).inMemory);
        QCOMPARE(entries.content(n).bytes, texts[n - 1].size());
        QCOMPARE(entries.start(n), Text::startOf(start.repeated(200), EntryStore::StartLength));
        QCOMPARE(entries.name(n), QStringLiteral("n%1").arg(n));
    }
    entries.setText(1, QStringLiteral("changed"));

    const QString name = section.storedName();
    if (order == QLatin1String("overwrite")) {
        for (int n = 1; n <= EntryStore::Count; ++n)
            QVERIFY(store.set(name, EntryStore::textKey(n), QStringLiteral("other")));
    } else if (order == QLatin1String("save over")) {
        QVERIFY(entries.save(store, section));
        QCOMPARE(store.get(name, EntryStore::textKey(2)).toUtf8(), texts[1]);
    } else if (order == QLatin1String("delete")) {
        QVERIFY(removeEntries(store, section));
    } else if (order == QLatin1String("other copy")) {
        SettingsStore other(storePath());
        for (int n = 1; n <= EntryStore::Count; ++n)
            QVERIFY(other.set(name, EntryStore::textKey(n), QStringLiteral("other")));
    } else {
        QVERIFY(QFile::rename(storePath(), storePath() + QStringLiteral(".aside")));
        SettingsStore fresh(storePath());
        QVERIFY(fresh.set(name, EntryStore::textKey(2), QStringLiteral("other")));
    }
    QCOMPARE(entries.text(1), QStringLiteral("changed"));
    for (int n = 2; n <= EntryStore::Count; ++n) {
        QCOMPARE(entries.utf8(n), texts[n - 1]);
        // A byte-order mark at the start stays part of the text.
        QVERIFY(entries.text(n).startsWith(start));
        QVERIFY(entries.content(n).inMemory);
    }
}

void TestCore::unchangedStoredTextsNotWritten() {
    {
        SettingsStore store(storePath());
        EntryStore entries;
        for (int n = 1; n <= EntryStore::Count; ++n)
            entries.setEntry(n, QString(100 * 1024, QLatin1Char('a' + n % 26)),
                             QStringLiteral("n"));
        QVERIFY(entries.save(store, EntrySection::startup()));
    }
    SettingsStore store(storePath());
    EntryStore entries;
    SectionMirror startup(EntrySection::startup());
    startup.load(store, entries);
    // The section emptied behind the program's back shows what a save writes.
    QVERIFY(removeEntries(store, EntrySection::startup()));
    for (int n = 1; n <= EntryStore::Count; n += 2)
        entries.utf8(n);
    QVERIFY(startup.saveChanges(store, entries));
    QCOMPARE(rowCount(storePath(), QStringLiteral("Data")), 0);
    // The same text pasted again is no change; another text is written with its name.
    entries.setText(3, entries.text(3));
    entries.setText(4, QStringLiteral("new"));
    QVERIFY(startup.saveChanges(store, entries));
    QCOMPARE(rowCount(storePath(), QStringLiteral("Data")), 2);
    QCOMPARE(store.get(QStringLiteral("Data"), QStringLiteral("Entry4")), QStringLiteral("new"));

    // Letting go of the store's views keeps that knowledge: all texts come into memory, and
    // only an entry changed meanwhile is written.
    entries.setText(6, QStringLiteral("changed"));
    entries.takeAllIntoMemory();
    startup.releaseStoreViews(entries);
    entries.releaseStoreViews();
    for (int n = 1; n <= EntryStore::Count; ++n)
        QVERIFY(entries.content(n).inMemory && !entries.content(n).isStored());
    QVERIFY(startup.saveChanges(store, entries));
    QCOMPARE(rowCount(storePath(), QStringLiteral("Data")), 4);
    QCOMPARE(store.get(QStringLiteral("Data"), QStringLiteral("Entry6")),
             QStringLiteral("changed"));
}

void TestCore::deletedTextsZeroed() {
    // Entries often hold passwords: a deleted text leaves no trace in the file, unless the same
    // text is kept in another section anyway.
    const auto fileHolds = [this](const QByteArray &marker) {
        QFile f(storePath());
        QFile wal(storePath() + QStringLiteral("-wal"));
        f.open(QIODevice::ReadOnly);
        wal.open(QIODevice::ReadOnly);
        return f.readAll().contains(marker) || wal.readAll().contains(marker);
    };
    const QByteArray secret = QByteArray("secret-").repeated(20000);
    const QByteArray copy = QByteArray("copy-").repeated(20000);
    {
        SettingsStore store(storePath());
        QVERIFY(store.set(QStringLiteral("Recovery"), QStringLiteral("Entry1"), copy));
        QVERIFY(store.set(QStringLiteral("/sets/a.ent"), QStringLiteral("Entry1"), secret));
        QVERIFY(
            store.removeSection(QStringLiteral("Recovery"), SettingsStore::Erase::KeptElsewhere));
        QVERIFY(store.removeSection(QStringLiteral("/sets/a.ent")));
    }
    QVERIFY(!fileHolds(secret.left(70)));
    QVERIFY(!hasEntries(SettingsStore(storePath()), EntrySection::recovery()));
}

void TestCore::placesNotOurOwn_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("refused");
    QTest::newRow("store is a folder") << "folder" << true;
    QTest::newRow("data home is a file") << "file" << true;
    QTest::newRow("store is a link to another file") << "link" << true;
    QTest::newRow("folder of another user") << "foreign" << true;
    QTest::newRow("folder others may write, ours: fixed") << "open" << false;
}

void TestCore::placesNotOurOwn() {
    QFETCH(QString, kind);
    QFETCH(bool, refused);
    QString path = storePath();
    const QString folder = QFileInfo(path).absolutePath();
    const QString target = m_dir->filePath(QStringLiteral("theirs.txt"));
    QDir().mkpath(folder);
    if (kind == QLatin1String("folder")) {
        QDir().mkpath(path);
    } else if (kind == QLatin1String("file")) {
        writeFile(m_dir->filePath(QStringLiteral("plain")), "x");
        path = m_dir->filePath(QStringLiteral("plain/Snapvale/settings.sqlite3"));
    } else if (kind == QLatin1String("link")) {
        writeFile(target, "their text");
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
        QVERIFY(QFile::link(target, path));
    } else if (kind == QLatin1String("foreign")) {
        if (geteuid() != 0)
            QSKIP("only root can give a folder to another user");
        QCOMPARE(chown(QFile::encodeName(folder).constData(), 65534, 65534), 0);
        chmod(QFile::encodeName(folder).constData(), 0777);
    } else {
        chmod(QFile::encodeName(folder).constData(), 0777);
    }
    SettingsStore store(path);
    QCOMPARE(!store.unwritableReason().isEmpty(), refused);
    QCOMPARE(store.set(QStringLiteral("Data"), QStringLiteral("Entry1"), QStringLiteral("x")),
             !refused);
    if (kind == QLatin1String("link")) {
        // Nothing was written through the link, and the other file kept its permissions.
        QFile theirs(target);
        QVERIFY(theirs.open(QIODevice::ReadOnly));
        QCOMPARE(theirs.readAll(), QByteArray("their text"));
        QVERIFY(theirs.permissions().testFlag(QFile::ReadOther));
    }
    if (kind == QLatin1String("foreign"))
        QVERIFY(!QFile::exists(path));
    struct stat st = {};
    if (!refused && stat(QFile::encodeName(folder).constData(), &st) == 0)
        QCOMPARE(st.st_mode & 0777, mode_t(0700));
}

void TestCore::relativeDataHomeIgnored() {
    const QByteArray before = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", "relative/share");
    const QString path = SettingsStore::defaultPath();
    qputenv("XDG_DATA_HOME", before);
    QCOMPARE(path, QDir::homePath() + QStringLiteral("/.local/share/Snapvale/settings.sqlite3"));
}

void TestCore::setPaths_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("isSet");
    QTest::newRow("full path") << "/home/u/work.ent" << true;
    for (const char *own : {"Data", "Settings", "Frequent", "Recovery"})
        QTest::newRow(own) << own << false;
    QTest::newRow("relative") << "sets/work.ent" << false;
    QTest::newRow("empty") << "" << false;
}

void TestCore::setPaths() {
    QFETCH(QString, path);
    QFETCH(bool, isSet);
    QCOMPARE(EntrySection::isSetPath(path), isSet);
}

void TestCore::textLimit() {
    const qint64 before = EntryStore::maxTextBytes();
    EntryStore::setMaxTextBytes(10);
    const auto restore = qScopeGuard([before] { EntryStore::setMaxTextBytes(before); });
    QVERIFY(EntryStore::fits(QStringLiteral("0123456789")));
    QVERIFY(!EntryStore::fits(QStringLiteral("0123456789a")));
    // Counted in UTF-8: five characters of two bytes each fit, an emoji is four bytes.
    QVERIFY(EntryStore::fits(QStringLiteral("ääääää").left(5)));
    QVERIFY(!EntryStore::fits(QStringLiteral("äääää\U0001F600")));
    QCOMPARE(Text::utf8Size(QStringLiteral("aä€\U0001F600")), 1 + 2 + 3 + 4);
    QVERIFY(EntryStore::tooLargeMessage().contains(QStringLiteral("10 bytes")));
}

void TestCore::trimSpaces_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("trimmed");
    QTest::newRow("both ends") << "  a b  "
                               << "a b";
    QTest::newRow("tabs stay") << "\t a \t"
                               << "\t a \t";
    QTest::newRow("line break stays") << " a\r\n "
                                      << "a\r\n";
    QTest::newRow("no-break space stays")
        << QStringLiteral("\u00a0a ") << QStringLiteral("\u00a0a");
    QTest::newRow("spaces only") << "   "
                                 << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestCore::trimSpaces() {
    QFETCH(QString, text);
    QFETCH(QString, trimmed);
    QCOMPARE(Text::trimSpaces(text), trimmed);
    // The copy button trims the entry's UTF-8 bytes the same way.
    QCOMPARE(Text::trimSpaces(text.toUtf8()), trimmed.toUtf8());
}

void TestCore::lineEnds_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("lines");
    QTest::newRow("CR LF kept") << "a\r\nb\r\n"
                                << "a\r\nb\r\n";
    QTest::newRow("CR becomes CR LF") << "a\rb"
                                      << "a\r\nb\r\n";
    QTest::newRow("lone LF inside its line") << "a\nb"
                                             << "a\nb\r\n";
    QTest::newRow("LF CR") << "a\n\rb"
                           << "a\n\r\nb\r\n";
    QTest::newRow("CR CR LF is two lines") << "a\r\r\n"
                                           << "a\r\n\r\n";
    QTest::newRow("last line without terminator") << "a\r\nb"
                                                  << "a\r\nb\r\n";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("one empty line") << "\r\n"
                                    << "\r\n";
}

void TestCore::lineEnds() {
    QFETCH(QString, text);
    QFETCH(QString, lines);
    QCOMPARE(Text::withLineEnds(text), lines);
}

void TestCore::decoding_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("UTF-8") << QByteArray("gr\xC3\xBC\xC3\x9F") << QStringLiteral("grüß");
    QTest::newRow("UTF-8 BOM skipped") << QByteArray("\xEF\xBB\xBF"
                                                     "a")
                                       << QStringLiteral("a");
    QTest::newRow("UTF-16 LE BOM") << QByteArray("\xFF\xFEh\0i\0", 6) << QStringLiteral("hi");
    QTest::newRow("UTF-16 BE BOM") << QByteArray("\xFE\xFF\0h\0i", 6) << QStringLiteral("hi");
    // A last odd byte is kept as a replacement character, not dropped.
    QTest::newRow("UTF-16 LE odd length")
        << QByteArray("\xFF\xFEh\0i\0!", 7) << QStringLiteral("hi\uFFFD");
    QTest::newRow("Windows-1252") << QByteArray("\x80 \x93x\x94 caf\xE9")
                                  << QStringLiteral("€ “x” café");
    QTest::newRow("undefined 1252 bytes kept")
        << QByteArray("\x81\x8D\x8F\x90\x9D") << QStringLiteral("\u0081\u008d\u008f\u0090\u009d");
    QTest::newRow("truncated UTF-8 sequence") << QByteArray("ab\xC3") << QStringLiteral("ab\u00c3");
    QTest::newRow("NUL kept") << QByteArray("a\0b", 3) << QString::fromUtf16(u"a\0b", 3);
}

void TestCore::decoding() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(Text::decode(bytes), text);
}

QTEST_GUILESS_MAIN(TestCore)
#include "test_core.moc"
