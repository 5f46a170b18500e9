#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <functional>
#include <memory>
#include <thread>

struct sqlite3;
struct sqlite3_stmt;

// The per-user store of strings addressed by section and key, all under the application name
// "Snapvale", kept in one SQLite file. These are the raw rows: the program reaches them through
// the typed API of storedsettings.h, which alone knows the sections and keys. Reads never fail (a
// missing key or an unreadable store reads as the empty string); a failed write returns false,
// prints the reason on stderr and leaves it in lastError().
class SettingsStore {
public:
    // Opens (creating when needed) the store at `path`. A file that is not a usable store is
    // moved aside and a fresh store started; movedAsidePath() then tells where the old file is.
    explicit SettingsStore(const QString &path);
    // A second connection to a store the program has open: a file it cannot use is left as it
    // is, and the store is then not open.
    enum Existing { ExistingOnly };
    SettingsStore(const QString &path, Existing);
    // A connection that only reads, for a run that must change nothing (a start-up measurement):
    // nothing is created, converted or moved aside.
    enum ReadOnlyTag { ReadOnly };
    SettingsStore(const QString &path, ReadOnlyTag);
    ~SettingsStore();
    SettingsStore(const SettingsStore &) = delete;
    SettingsStore &operator=(const SettingsStore &) = delete;

    // $XDG_DATA_HOME/Snapvale/settings.sqlite3 (through QStandardPaths::AppDataLocation).
    static QString defaultPath();
    // Whether `path` names a store this process has open, or its log or shared-memory file, by
    // any name or link. Such a file is never opened as a text or set file: closing a descriptor
    // of ours on it would drop SQLite's locks, and replacing it would lose the store.
    static bool isStoreFile(const QString &path);

    QString path() const { return m_path; }
    // The size of the write-ahead log, which keeps what is written while a snapshot lives.
    qint64 logBytes() const;
    // Copies the write-ahead log into the store and empties the log file, so that values
    // overwritten since (with zeros, as every deleted value) are in no file any more. False
    // while a reader (this program's snapshot, another process) still needs the log; with
    // `wait` false at once, without waiting for the reader.
    bool foldLog(bool wait = true);
    bool isOpen() const { return m_db != nullptr; }
    // Where a damaged or foreign file was moved; every row that could still be read from it
    // (entries, names, options, sets, clippings) is in the fresh store.
    QString movedAsidePath() const { return m_movedAside; }
    // Why changes cannot be kept in this run (a folder of another user's, a store that can only
    // be read, no store at all); empty when they can.
    QString unwritableReason() const { return m_unwritable; }

    // SQLite answered that the store is damaged ("corrupt", "not a database"). The handler runs
    // once, on the first such answer; replaceDamaged() then moves the file aside and starts a
    // fresh store, and movedAsidePath() tells where the old one is.
    void setDamageHandler(std::function<void()> handler);
    bool damageSeen() const { return m_damageSeen; }
    bool replaceDamaged();

    QString get(const QString &section, const QString &key) const;
    // The same, telling a missing key from an empty value.
    bool find(const QString &section, const QString &key, QString *value) const;
    bool find(const QString &section, const QString &key, QByteArray *utf8) const;
    bool set(const QString &section, const QString &key, const QString &value);
    // The value as UTF-8 bytes, written as they are, without a copy.
    bool set(const QString &section, const QString &key, const QByteArray &utf8);

    // A view of the store as it is now, which later writes (this program's or another copy's)
    // do not change; large values are read from it in parts, when needed. Null when the store
    // cannot keep one (no store, or one that is not in write-ahead mode).
    class Snapshot;
    std::shared_ptr<Snapshot> snapshot() const;
    // The freed room is overwritten with zeros, as for every deleted value, unless the texts
    // are kept in another section too (KeptElsewhere): zeroing them protects nothing.
    enum class Erase { Zero, KeptElsewhere };
    bool removeSection(const QString &section, Erase erase = Erase::Zero);
    // One key of a section, its room overwritten with zeros; a missing key is no failure.
    bool remove(const QString &section, const QString &key);
    bool hasSection(const QString &section) const;

    // Why the last write failed, in the system's words ("database or disk is full").
    QString lastError() const { return m_lastError; }

    // Groups writes into one transaction: the store holds either all of them or none, also
    // after a crash or a power cut. Nested scopes join the outermost one. What is not committed
    // is rolled back when the scope ends.
    class Transaction {
    public:
        explicit Transaction(SettingsStore &store);
        ~Transaction();
        Transaction(const Transaction &) = delete;
        Transaction &operator=(const Transaction &) = delete;

        // Commits the outermost scope; an inner one only reports whether all went well so far.
        bool commit();

    private:
        void end(bool commit);

        SettingsStore &m_store;
        bool m_outermost = false;
        bool m_began = false;
        bool m_ended = false;
        bool m_committed = false;
    };

private:
    friend class Snapshot;
    bool openAt(const QString &path, bool create);
    bool openReadOnly();
    bool refuse(const QString &what, const QString &reason);
    int userVersion();
    bool prepareStatements();
    void noteFailure(int code) const;
    bool headerIsIntact() const;
    bool schemaIsUsable();
    bool isSound();
    void salvage(const QString &from);
    bool prepareForUse();
    bool usesWal();
    int step(sqlite3_stmt *st);
    void moveAsideAndStartFresh();
    void close();
    bool exec(const char *sql);
    void warn(const char *what) const;
    sqlite3_stmt *prepared(int which) const;
    bool writable() const;

    QString m_path;
    QString m_movedAside;
    mutable QString m_lastError;
    QString m_unwritable;
    std::function<void()> m_onDamage;
    mutable bool m_damageSeen = false;
    sqlite3 *m_db = nullptr;
    mutable sqlite3_stmt *m_statements[5] = {};
    int m_transactionDepth = 0;
    bool m_transactionFailed = false;
    bool m_notOurs = false;
    // The store lies in a place of another user's, where it may still be read.
    bool m_readableElsewhere = false;
    // Opened without locks or write-ahead files: nothing else can be read consistently beside it.
    bool m_immutable = false;
    mutable int m_failure = 0;
    // The last snapshot is shared until something is written.
    mutable std::weak_ptr<Snapshot> m_lastSnapshot;
    mutable quint64 m_lastSnapshotWrites = 0;
    mutable quint32 m_lastSnapshotDataVersion = 0;
    quint64 m_writes = 0;
    std::shared_ptr<SettingsStore *> m_self = std::make_shared<SettingsStore *>(this);
};

// A read transaction on a connection of its own: while it lives, the store keeps the rows it saw,
// whatever is written meanwhile. It costs the write-ahead log the room of what is written while it
// is held, given back when the last snapshot goes.
class SettingsStore::Snapshot {
public:
    struct Row {
        qint64 rowid = 0;
        qint64 bytes = 0;
    };
    ~Snapshot();
    Snapshot(const Snapshot &) = delete;
    Snapshot &operator=(const Snapshot &) = delete;

    // The rows of one section, by key in lower case.
    QHash<QString, Row> rows(const QString &section) const;
    // `bytes` bytes of a row's value from `offset`; false when it cannot be read.
    bool read(const Row &row, qint64 offset, qint64 bytes, QByteArray *out) const;

private:
    friend class SettingsStore;
    Snapshot() = default;
    void failed(const char *what) const;

    QString m_path;
    sqlite3 *m_db = nullptr;
    // The store that took it, told of damage the snapshot meets on the store's own thread;
    // gone with the store.
    std::weak_ptr<SettingsStore *> m_store;
    std::thread::id m_storeThread;
};
