#include "core/settingsstore.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

Q_LOGGING_CATEGORY(lcStore, "snapvale.store")

enum StatementId { Select, Upsert, DeleteSection, SelectSection, DeleteKey, StatementCount };

const char *const statementSql[StatementCount] = {
    "SELECT value FROM settings WHERE app = ?1 AND section = ?2 AND key = ?3",
    "INSERT INTO settings(app, section, key, value) VALUES (?1, ?2, ?3, ?4) "
    "ON CONFLICT(app, section, key) DO UPDATE SET value = excluded.value",
    "DELETE FROM settings WHERE app = ?1 AND section = ?2",
    "SELECT 1 FROM settings WHERE app = ?1 AND section = ?2 LIMIT 1",
    "DELETE FROM settings WHERE app = ?1 AND section = ?2 AND key = ?3",
};

// Sections compare exactly: on Linux "/a/Work.ent" and "/a/work.ent" are two sets. Keys keep
// comparing without case. A rowid table, so that a value can be read in part.
#define SNAPVALE_SETTINGS_COLUMNS                                                                  \
    "(app TEXT NOT NULL, section TEXT NOT NULL, key TEXT NOT NULL COLLATE NOCASE, "                \
    "value TEXT NOT NULL, PRIMARY KEY (app, section, key))"
constexpr int schemaVersion = 2; // as written by the migration below
const char *const schemaSql = "CREATE TABLE IF NOT EXISTS settings " SNAPVALE_SETTINGS_COLUMNS;
// Stores written before sections compared exactly are rebuilt once, in one transaction.
const char *const migrationSql = "CREATE TABLE settings_new " SNAPVALE_SETTINGS_COLUMNS ";"
                                 "INSERT INTO settings_new SELECT app, section, key, value "
                                 "FROM settings;"
                                 "DROP TABLE settings;"
                                 "ALTER TABLE settings_new RENAME TO settings;";

const QByteArray appName = QByteArrayLiteral("Snapvale");

// Another copy of the program may hold the write lock for a moment; wait rather than lose a write.
constexpr int busyTimeoutMs = 30000;

// Waits for a busy store in short steps: a peer that saves often leaves only brief gaps, and
// SQLite's own waits grow to a tenth of a second and miss them.
int waitWhileBusy(void *, int attempt) {
    constexpr int stepUs = 500;
    if (attempt >= busyTimeoutMs * 1000 / stepUs)
        return 0;
    QThread::usleep(stepUs);
    return 1;
}

// SQLITE_OK, or why the value cannot be bound (SQLITE_TOOBIG for a text over the limit). The
// bytes must outlive the statement's step.
int bindUtf8(sqlite3_stmt *st, int index, const QByteArray &utf8) {
    return sqlite3_bind_text64(st, index, utf8.constData(), sqlite3_uint64(utf8.size()),
                               SQLITE_STATIC, SQLITE_UTF8);
}

int bindText(sqlite3_stmt *st, int index, const QString &text) {
    const QByteArray utf8 = text.toUtf8();
    return sqlite3_bind_text64(st, index, utf8.constData(), sqlite3_uint64(utf8.size()),
                               SQLITE_TRANSIENT, SQLITE_UTF8);
}

void bindApp(sqlite3_stmt *st) {
    sqlite3_bind_text(st, 1, appName.constData(), int(appName.size()), SQLITE_STATIC);
}

bool isDamage(int code) {
    return (code & 0xff) == SQLITE_CORRUPT || (code & 0xff) == SQLITE_NOTADB;
}

// Resets the statement when the scope ends, so that it never keeps a read lock open.
struct ResetGuard {
    sqlite3_stmt *st;
    ~ResetGuard() {
        if (st) {
            sqlite3_reset(st);
            sqlite3_clear_bindings(st);
        }
    }
};

// The stores this process has open, by path, for isStoreFile().
std::mutex openStoresMutex;
QHash<QString, int> openStores;

void noteOpenStore(const QString &path, int change) {
    std::lock_guard lock(openStoresMutex);
    if ((openStores[path] += change) <= 0)
        openStores.remove(path);
}

// Whether two names lead to one existing file, hard links included.
bool sameFile(const QString &a, const QString &b) {
#ifdef Q_OS_UNIX
    struct stat first = {}, second = {};
    return ::stat(QFile::encodeName(a).constData(), &first) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
#else
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
#endif
}

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

SettingsStore::SettingsStore(const QString &path)
    : m_path(path) {
    noteOpenStore(m_path, 1);
    // A link is never followed, not even to look at what it points to.
    if (QFileInfo(path).isSymLink()) {
        refuse(path,
               QCoreApplication::translate("SettingsStore", "%1 is a link, not the store itself")
                   .arg(path));
        return;
    }
    if (openAt(path, true)) {
        if (!headerIsIntact()) {
            qCWarning(lcStore, "%s is truncated", qUtf8Printable(m_path));
            m_notOurs = true;
        } else if (schemaIsUsable() && prepareForUse()) {
            return;
        }
    }
    close();
    // A place that is not the user's own is read, never written.
    if (!m_unwritable.isEmpty()) {
        if (m_readableElsewhere && openReadOnly() && prepareStatements())
            return;
        close();
        return;
    }
    // Only a file that is damaged or not ours is moved aside; a busy store is left alone and
    // this run keeps no settings.
    if (m_notOurs || isDamage(m_failure)) {
        moveAsideAndStartFresh();
        return;
    }
    if (m_failure == SQLITE_BUSY || m_failure == SQLITE_LOCKED)
        return;
    // A store that can be read but not written still shows what it holds.
    m_unwritable = m_lastError.isEmpty()
                       ? QCoreApplication::translate("SettingsStore", "the store cannot be opened")
                       : m_lastError;
    if (QFileInfo(path).isFile() && openReadOnly() && prepareStatements())
        return;
    close();
}

SettingsStore::SettingsStore(const QString &path, Existing)
    : m_path(path) {
    noteOpenStore(m_path, 1);
    if (QFileInfo(path).isSymLink() || !openAt(path, false) || !headerIsIntact() ||
        !schemaIsUsable() || !prepareForUse())
        close();
}

SettingsStore::SettingsStore(const QString &path, ReadOnlyTag)
    : m_path(path) {
    noteOpenStore(m_path, 1);
    m_unwritable =
        QCoreApplication::translate("SettingsStore", "the store is open for reading only");
    if (QFileInfo(path).isSymLink() || !QFileInfo(path).isFile())
        return;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db,
                        SQLITE_OPEN_READONLY | SQLITE_OPEN_NOFOLLOW, nullptr) == SQLITE_OK &&
        sqlite3_busy_handler(m_db, waitWhileBusy, nullptr) == SQLITE_OK && schemaIsUsable() &&
        prepareStatements())
        return;
    close();
    // A store in write-ahead mode whose folder cannot take the shared-memory file.
    if (openReadOnly() && prepareStatements())
        return;
    close();
}

qint64 SettingsStore::logBytes() const {
    return QFileInfo(m_path + QStringLiteral("-wal")).size();
}

SettingsStore::~SettingsStore() {
    close();
    noteOpenStore(m_path, -1);
}

bool SettingsStore::isStoreFile(const QString &path) {
    std::lock_guard lock(openStoresMutex);
    for (auto it = openStores.cbegin(); it != openStores.cend(); ++it) {
        for (const char *suffix : {"", "-wal", "-shm"}) {
            if (sameFile(path, it.key() + QLatin1String(suffix)))
                return true;
        }
    }
    return false;
}

QString SettingsStore::defaultPath() {
    // The XDG rules ignore a relative XDG_DATA_HOME.
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (!dataHome.isEmpty() && QDir::isRelativePath(dataHome))
        return QDir::homePath() + QStringLiteral("/.local/share/Snapvale/settings.sqlite3");
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/settings.sqlite3");
}

bool SettingsStore::refuse(const QString &what, const QString &reason) {
    m_unwritable = reason;
    m_lastError = reason;
    qCWarning(lcStore, "%s: %s", qUtf8Printable(what), qUtf8Printable(reason));
    return false;
}

bool SettingsStore::openAt(const QString &path, bool create) {
    const QString dir = QFileInfo(path).absolutePath();
    if (create && !QDir().mkpath(dir))
        return refuse(
            dir,
            QCoreApplication::translate("SettingsStore", "the folder %1 cannot be made").arg(dir));
    const QByteArray native = QFile::encodeName(path);
#ifdef Q_OS_UNIX
    // Entries often hold passwords: the folder and the file must be the user's alone. A folder
    // of another user's, or one others may write to, could swap the file for a link to theirs.
    // The checks look at names, never at descriptors: closing any descriptor on the file would
    // drop every lock that this process's connections hold on it.
    const QByteArray nativeDir = QFile::encodeName(dir);
    struct stat st = {};
    if (::stat(nativeDir.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return refuse(dir,
                      QCoreApplication::translate("SettingsStore", "%1 is not a folder").arg(dir));
    // Another user's place is read, never written.
    m_readableElsewhere = st.st_uid != ::geteuid();
    if (m_readableElsewhere)
        return refuse(dir, QCoreApplication::translate("SettingsStore",
                                                       "the folder %1 belongs to another user")
                               .arg(dir));
    if ((st.st_mode & 077) && ::chmod(nativeDir.constData(), 0700) != 0 && (st.st_mode & 022))
        return refuse(dir, QCoreApplication::translate("SettingsStore",
                                                       "others may write to the folder %1: %2")
                               .arg(dir, systemError()));
    if (::lstat(native.constData(), &st) == 0) {
        if (S_ISLNK(st.st_mode))
            return refuse(path, QCoreApplication::translate("SettingsStore",
                                                            "%1 is a link, not the store itself")
                                    .arg(path));
        if (!S_ISREG(st.st_mode))
            return refuse(path,
                          QCoreApplication::translate("SettingsStore", "%1 is not an ordinary file")
                              .arg(path));
        m_readableElsewhere = st.st_uid != ::geteuid();
        if (m_readableElsewhere)
            return refuse(path,
                          QCoreApplication::translate("SettingsStore", "%1 belongs to another user")
                              .arg(path));
        // In a folder that is the user's alone, the name still means the file just looked at.
        if ((st.st_mode & 077) && ::chmod(native.constData(), 0600) != 0) {
            m_lastError = QStringLiteral("%1: %2").arg(path, systemError());
            return false;
        }
    } else if (errno == ENOENT && create) {
        // Made here with the user's permissions, so that SQLite's files take them too. A
        // descriptor on a file that did not exist holds no lock to drop.
        const int fd =
            ::open(native.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST) {
            m_lastError = QStringLiteral("%1: %2").arg(path, systemError());
            return false;
        }
        if (fd >= 0)
            ::close(fd);
    } else {
        m_lastError = QStringLiteral("%1: %2").arg(path, systemError());
        return false;
    }
#endif
    const int flags =
        SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW | (create ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(native.constData(), &m_db, flags, nullptr) != SQLITE_OK) {
        warn("cannot open");
        close();
        return false;
    }
    sqlite3_busy_handler(m_db, waitWhileBusy, nullptr);
    return true;
}

bool SettingsStore::openReadOnly() {
    // Immutable: no lock and no write-ahead files, which a folder we cannot write would refuse.
    QUrl uri = QUrl::fromLocalFile(m_path);
    uri.setScheme(QStringLiteral("file"));
    uri.setQuery(QStringLiteral("immutable=1"));
    const QByteArray native = uri.toEncoded();
    if (sqlite3_open_v2(native.constData(), &m_db,
                        SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOFOLLOW,
                        nullptr) != SQLITE_OK)
        return false;
    m_immutable = true;
    return schemaIsUsable();
}

bool SettingsStore::usesWal() {
    // Asked first: switching the journal mode needs the store to itself, which another running
    // copy of the program may not allow.
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(m_db, "PRAGMA journal_mode", -1, &st, nullptr) != SQLITE_OK)
        return false;
    const bool wal =
        sqlite3_step(st) == SQLITE_ROW &&
        qstricmp(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)), "wal") == 0;
    sqlite3_finalize(st);
    return wal;
}

int SettingsStore::userVersion() {
    sqlite3_stmt *st = nullptr;
    int version = -1;
    if (sqlite3_prepare_v2(m_db, "PRAGMA user_version", -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW)
        version = sqlite3_column_int(st, 0);
    sqlite3_finalize(st);
    return version;
}

bool SettingsStore::prepareForUse() {
    // Converting a store writes all over it: a damaged one is found first and moved aside as it
    // is, rather than half converted.
    if ((!usesWal() || userVersion() < schemaVersion) && !isSound())
        return false;
    // WAL with FULL sync: a commit is on disk when it returns, and a crash mid-write leaves the
    // last complete commit.
    if (!usesWal() && !exec("PRAGMA journal_mode=WAL"))
        return false;
    // Entries often hold passwords: what is deleted or replaced is overwritten with zeros.
    // A log grown while a snapshot was held shrinks again once it is folded back.
    if (!exec("PRAGMA synchronous=FULL") || !exec("PRAGMA secure_delete=ON") ||
        !exec("PRAGMA journal_size_limit=4194304"))
        return false;
    if (userVersion() < schemaVersion) {
        // Another copy starting at the same moment may have done it meanwhile: ask again
        // inside the transaction.
        if (!exec("BEGIN IMMEDIATE"))
            return false;
        const int version = userVersion();
        bool ok = version >= 0;
        bool migrated = false;
        if (ok && version < schemaVersion) {
            const bool existing =
                sqlite3_table_column_metadata(m_db, nullptr, "settings", "app", nullptr, nullptr,
                                              nullptr, nullptr, nullptr) == SQLITE_OK;
            ok = exec(existing ? migrationSql : schemaSql) && exec("PRAGMA user_version = 2");
            migrated = ok && existing;
        }
        if (!ok || !exec("COMMIT")) {
            exec("ROLLBACK");
            return false;
        }
        // The copied table left the old one's pages free: the file shrinks to what it holds.
        if (migrated)
            exec("VACUUM");
    }
    return prepareStatements();
}

bool SettingsStore::isSound() {
    sqlite3_stmt *st = nullptr;
    int rc = sqlite3_prepare_v2(m_db, "PRAGMA quick_check(1)", -1, &st, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_step(st);
    const bool sound =
        rc == SQLITE_ROW &&
        qstrcmp(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)), "ok") == 0;
    if (rc == SQLITE_ROW && !sound) {
        m_lastError = QString::fromUtf8(sqlite3_errstr(SQLITE_CORRUPT));
        qCWarning(lcStore, "settings store %s: the integrity check failed", qUtf8Printable(m_path));
        noteFailure(SQLITE_CORRUPT);
    } else if (!sound) {
        warn("cannot check");
    }
    sqlite3_finalize(st);
    return sound;
}

void SettingsStore::salvage(const QString &from) {
    // Read-only: the moved file stays as it was. Each row is read on its own, so that a damaged
    // page costs only the rows it holds.
    sqlite3 *old = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(from).constData(), &old,
                        SQLITE_OPEN_READONLY | SQLITE_OPEN_NOFOLLOW, nullptr) != SQLITE_OK) {
        sqlite3_close_v2(old);
        return;
    }
    // The rowids, from the key index and from the table itself; a scan that meets a damaged
    // page starts again after it.
    QList<qint64> rowids;
    const auto collect = [&](const char *sql, qint64 after) {
        sqlite3_stmt *st = nullptr;
        int rc = SQLITE_ERROR;
        if (sqlite3_prepare_v2(old, sql, -1, &st, nullptr) == SQLITE_OK) {
            sqlite3_bind_int64(st, 1, after);
            while ((rc = sqlite3_step(st)) == SQLITE_ROW)
                rowids << sqlite3_column_int64(st, 0);
        }
        sqlite3_finalize(st);
        return rc == SQLITE_DONE;
    };
    collect("SELECT rowid FROM settings INDEXED BY sqlite_autoindex_settings_1 WHERE rowid > ?1",
            0);
    qint64 highest = 0;
    for (qint64 id : std::as_const(rowids))
        highest = std::max(highest, id);
    constexpr qint64 probeLimit = 100000;
    qint64 after = 0;
    for (qint64 probes = 0; probes < probeLimit; ++probes) {
        const qsizetype before = rowids.size();
        if (collect("SELECT rowid FROM settings NOT INDEXED WHERE rowid > ?1 ORDER BY rowid",
                    after))
            break;
        after = rowids.size() > before ? rowids.constLast() + 1 : after + 1;
        if (after > highest + probeLimit)
            break;
    }
    std::sort(rowids.begin(), rowids.end());
    rowids.erase(std::unique(rowids.begin(), rowids.end()), rowids.end());

    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(old,
                           "SELECT section, key, value FROM settings NOT INDEXED "
                           "WHERE rowid = ?1 AND app = ?2",
                           -1, &st, nullptr) == SQLITE_OK) {
        Transaction transaction(*this);
        for (qint64 id : std::as_const(rowids)) {
            sqlite3_reset(st);
            sqlite3_bind_int64(st, 1, id);
            sqlite3_bind_text(st, 2, appName.constData(), int(appName.size()), SQLITE_STATIC);
            if (sqlite3_step(st) != SQLITE_ROW)
                continue;
            const auto column = [st](int i) {
                return QByteArray(static_cast<const char *>(sqlite3_column_blob(st, i)),
                                  sqlite3_column_bytes(st, i));
            };
            if (!set(QString::fromUtf8(column(0)), QString::fromUtf8(column(1)), column(2)))
                break;
        }
        transaction.commit();
    }
    sqlite3_finalize(st);
    sqlite3_close_v2(old);
}

bool SettingsStore::prepareStatements() {
    for (int i = 0; i < StatementCount; ++i) {
        if (sqlite3_prepare_v3(m_db, statementSql[i], -1, SQLITE_PREPARE_PERSISTENT,
                               &m_statements[i], nullptr) != SQLITE_OK) {
            warn("cannot prepare a statement");
            return false;
        }
    }
    return true;
}

bool SettingsStore::headerIsIntact() const {
    // SQLite finds a truncated file only when it reads a missing page, which may be long after
    // start. The header says how long the file must be: compare, unless a write-ahead log holds
    // newer pages. Read through SQLite's own handle: a descriptor of ours would drop its locks.
    sqlite3_file *file = nullptr;
    sqlite3_int64 size = 0;
    if (sqlite3_file_control(m_db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK ||
        !file || !file->pMethods || file->pMethods->xFileSize(file, &size) != SQLITE_OK)
        return true;
    if (size < 100)
        return size == 0;
    unsigned char header[100];
    if (file->pMethods->xRead(file, header, 100, 0) != SQLITE_OK)
        return true;
    const auto be = [&header](int offset, int bytes) {
        quint32 v = 0;
        for (int i = 0; i < bytes; ++i)
            v = (v << 8) | header[offset + i];
        return v;
    };
    const quint32 pageSize = be(16, 2) == 1 ? 65536 : be(16, 2);
    const quint32 pages = be(28, 4);
    const bool countValid = be(24, 4) == be(92, 4) && pages > 0;
    if (!countValid || QFileInfo(m_path + QStringLiteral("-wal")).size() > 0)
        return true;
    return size >= qint64(pageSize) * pages;
}

bool SettingsStore::schemaIsUsable() {
    // Looked at before anything is written, so that a file that is not ours stays as it was.
    // An empty database is a new store; a table of other columns, or other tables only, is not.
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(m_db,
                           "SELECT name FROM pragma_table_info('settings') "
                           "UNION ALL SELECT '#' || count(*) FROM sqlite_master",
                           -1, &st, nullptr) != SQLITE_OK) {
        warn("cannot read");
        return false;
    }
    QStringList columns;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW)
        columns << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE)
        warn("cannot read");
    const QString objects = columns.isEmpty() ? QString() : columns.takeLast();
    const bool usable = rc == SQLITE_DONE &&
                        (objects == QLatin1String("#0") ||
                         columns == QStringList{QStringLiteral("app"), QStringLiteral("section"),
                                                QStringLiteral("key"), QStringLiteral("value")});
    m_notOurs = !usable && rc == SQLITE_DONE;
    if (!usable)
        qCWarning(lcStore, "%s is not a settings store of this program", qUtf8Printable(m_path));
    return usable;
}

void SettingsStore::moveAsideAndStartFresh() {
    // Closing the last connection would fold the log into the damaged file: it goes as it is.
    if (m_db)
        sqlite3_db_config(m_db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    close();
    const QString stamp =
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    QString target = m_path + QStringLiteral(".corrupt-") + stamp;
    for (int n = 2; QFileInfo::exists(target); ++n)
        target =
            m_path + QStringLiteral(".corrupt-") + stamp + QLatin1Char('-') + QString::number(n);
    if (!QFile::rename(m_path, target)) {
        // Never overwrite what we could not move: run without a store rather than lose the file.
        qCWarning(lcStore, "cannot move %s aside; settings will not be kept",
                  qUtf8Printable(m_path));
        return;
    }
    m_movedAside = target;
    // The old file's write-ahead log belongs with it.
    for (const char *suffix : {"-wal", "-shm"}) {
        const QString side = m_path + QLatin1String(suffix);
        if (QFileInfo::exists(side))
            QFile::rename(side, target + QLatin1String(suffix));
    }
    qCWarning(lcStore, "the settings store was unusable and was moved to %s",
              qUtf8Printable(target));
    m_damageSeen = false;
    if (!openAt(m_path, true) || !prepareForUse()) {
        close();
        return;
    }
    salvage(target);
}

void SettingsStore::close() {
    m_lastSnapshot.reset();
    for (auto &st : m_statements) {
        sqlite3_finalize(st);
        st = nullptr;
    }
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
    m_immutable = false;
}

bool SettingsStore::foldLog(bool wait) {
    if (!m_db)
        return false;
    int logFrames = -1;
    int copied = -1;
    if (!wait)
        sqlite3_busy_handler(m_db, nullptr, nullptr);
    const int rc =
        sqlite3_wal_checkpoint_v2(m_db, nullptr, SQLITE_CHECKPOINT_TRUNCATE, &logFrames, &copied);
    if (!wait)
        sqlite3_busy_handler(m_db, waitWhileBusy, nullptr);
    // A reader that still needs the log is no failure of the store.
    if (rc == SQLITE_BUSY)
        return false;
    if (rc != SQLITE_OK) {
        noteFailure(rc);
        return false;
    }
    return QFileInfo(m_path + QStringLiteral("-wal")).size() == 0;
}

bool SettingsStore::exec(const char *sql) {
    char *error = nullptr;
    int rc;
    // The busy timeout covers most waits for another copy of the program, but SQLite gives up
    // early on some (a peer's checkpoint or recovery): try again until the timeout is spent.
    QElapsedTimer waited;
    waited.start();
    while ((rc = sqlite3_exec(m_db, sql, nullptr, nullptr, &error)) == SQLITE_BUSY &&
           waited.elapsed() < busyTimeoutMs) {
        sqlite3_free(error);
        error = nullptr;
        QThread::msleep(10);
    }
    if (rc == SQLITE_OK)
        return true;
    noteFailure(sqlite3_extended_errcode(m_db));
    m_lastError = QString::fromUtf8(error ? error : sqlite3_errstr(rc));
    qCWarning(lcStore, "settings store %s: %s: %s", qUtf8Printable(m_path), sql,
              qUtf8Printable(m_lastError));
    sqlite3_free(error);
    return false;
}

int SettingsStore::step(sqlite3_stmt *st) {
    int rc;
    QElapsedTimer waited;
    waited.start();
    // A write on its own retries a busy store as exec() does; inside a transaction the lock is
    // already held.
    while ((rc = sqlite3_step(st)) == SQLITE_BUSY && m_transactionDepth == 0 &&
           waited.elapsed() < busyTimeoutMs) {
        sqlite3_reset(st);
        QThread::msleep(10);
    }
    return rc;
}

void SettingsStore::warn(const char *what) const {
    if (m_db) {
        noteFailure(sqlite3_extended_errcode(m_db));
        m_lastError = QString::fromUtf8(sqlite3_errmsg(m_db));
    } else {
        m_lastError =
            QCoreApplication::translate("SettingsStore", "the settings store could not be opened");
    }
    qCWarning(lcStore, "settings store %s: %s: %s", qUtf8Printable(m_path), what,
              qUtf8Printable(m_lastError));
}

void SettingsStore::noteFailure(int code) const {
    m_failure = code & 0xff;
    if (!isDamage(code) || m_damageSeen)
        return;
    m_damageSeen = true;
    if (m_onDamage)
        m_onDamage();
}

void SettingsStore::setDamageHandler(std::function<void()> handler) {
    m_onDamage = std::move(handler);
}

bool SettingsStore::replaceDamaged() {
    if (!m_damageSeen)
        return false;
    moveAsideAndStartFresh();
    return !m_movedAside.isEmpty();
}

sqlite3_stmt *SettingsStore::prepared(int which) const {
    return m_statements[which];
}

bool SettingsStore::writable() const {
    // Inside a transaction that SQLite has already rolled back, a write would be committed on
    // its own: half a save is worse than none.
    return m_transactionDepth == 0 || !sqlite3_get_autocommit(m_db);
}

QString SettingsStore::get(const QString &section, const QString &key) const {
    QString value;
    find(section, key, &value);
    return value;
}

bool SettingsStore::find(const QString &section, const QString &key, QString *value) const {
    QByteArray utf8;
    const bool found = find(section, key, &utf8);
    *value = QString::fromUtf8(utf8);
    return found;
}

bool SettingsStore::find(const QString &section, const QString &key, QByteArray *value) const {
    value->clear();
    if (!m_db)
        return false;
    sqlite3_stmt *st = prepared(Select);
    ResetGuard guard{st};
    bindApp(st);
    bindText(st, 2, section);
    bindText(st, 3, key);
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW) {
        const auto *data = static_cast<const char *>(sqlite3_column_blob(st, 0));
        *value = QByteArray(data, sqlite3_column_bytes(st, 0));
        return true;
    }
    if (rc != SQLITE_DONE)
        warn("cannot read");
    return false;
}

bool SettingsStore::set(const QString &section, const QString &key, const QString &value) {
    return set(section, key, value.toUtf8());
}

bool SettingsStore::set(const QString &section, const QString &key, const QByteArray &value) {
    if (!m_db) {
        warn("cannot write");
        return false;
    }
    // Once a save has failed, the rest of it is not attempted: it is rolled back whole.
    if (m_transactionFailed)
        return false;
    if (!writable()) {
        warn("cannot write");
        return false;
    }
    sqlite3_stmt *st = prepared(Upsert);
    ResetGuard guard{st};
    bindApp(st);
    int rc = bindText(st, 2, section);
    if (rc == SQLITE_OK)
        rc = bindText(st, 3, key);
    if (rc == SQLITE_OK)
        rc = bindUtf8(st, 4, value);
    if (rc != SQLITE_OK) {
        // A value over the store's limit is refused before anything is written.
        m_lastError = QString::fromUtf8(sqlite3_errstr(rc));
        qCWarning(lcStore, "settings store %s: cannot write: %s", qUtf8Printable(m_path),
                  qUtf8Printable(m_lastError));
    } else if (step(st) == SQLITE_DONE) {
        ++m_writes;
        return true;
    } else {
        warn("cannot write");
    }
    if (m_transactionDepth > 0)
        m_transactionFailed = true;
    return false;
}

bool SettingsStore::removeSection(const QString &section, Erase erase) {
    if (!m_db || m_transactionFailed || !writable()) {
        warn("cannot delete");
        return false;
    }
    // FAST clears the deleted rows' own pages but leaves freed overflow pages as they were.
    const bool fast = erase == Erase::KeptElsewhere;
    if (fast)
        sqlite3_exec(m_db, "PRAGMA secure_delete=FAST", nullptr, nullptr, nullptr);
    sqlite3_stmt *st = prepared(DeleteSection);
    ResetGuard guard{st};
    bindApp(st);
    bindText(st, 2, section);
    const int rc = step(st);
    if (fast)
        sqlite3_exec(m_db, "PRAGMA secure_delete=ON", nullptr, nullptr, nullptr);
    if (rc == SQLITE_DONE) {
        ++m_writes;
        return true;
    }
    warn("cannot delete");
    if (m_transactionDepth > 0)
        m_transactionFailed = true;
    return false;
}

bool SettingsStore::remove(const QString &section, const QString &key) {
    if (!m_db || m_transactionFailed || !writable()) {
        warn("cannot delete");
        return false;
    }
    sqlite3_stmt *st = prepared(DeleteKey);
    ResetGuard guard{st};
    bindApp(st);
    bindText(st, 2, section);
    bindText(st, 3, key);
    if (step(st) == SQLITE_DONE) {
        ++m_writes;
        return true;
    }
    warn("cannot delete");
    if (m_transactionDepth > 0)
        m_transactionFailed = true;
    return false;
}

bool SettingsStore::hasSection(const QString &section) const {
    if (!m_db)
        return false;
    sqlite3_stmt *st = prepared(SelectSection);
    ResetGuard guard{st};
    bindApp(st);
    bindText(st, 2, section);
    return sqlite3_step(st) == SQLITE_ROW;
}

SettingsStore::Transaction::Transaction(SettingsStore &store)
    : m_store(store) {
    if (!m_store.m_db) {
        m_store.warn("cannot write");
        return;
    }
    if (m_store.m_transactionDepth++ > 0)
        return;
    m_outermost = true;
    // IMMEDIATE takes the write lock now, so a busy peer is waited for here and not mid-way.
    m_store.m_transactionFailed = !m_store.exec("BEGIN IMMEDIATE");
    m_began = !m_store.m_transactionFailed;
}

SettingsStore::Transaction::~Transaction() {
    if (!m_ended)
        end(false);
}

bool SettingsStore::Transaction::commit() {
    if (!m_ended)
        end(true);
    return m_committed;
}

void SettingsStore::Transaction::end(bool commit) {
    m_ended = true;
    if (!m_store.m_db)
        return;
    --m_store.m_transactionDepth;
    if (!m_outermost) {
        m_committed = !m_store.m_transactionFailed;
        // A part that gives up makes the whole save give up.
        if (!commit)
            m_store.m_transactionFailed = true;
        return;
    }
    const bool failed = m_store.m_transactionFailed || !commit;
    m_store.m_transactionFailed = false;
    // SQLite rolls a transaction back by itself on some errors (a full disk); then nothing is left
    // to end.
    if (!m_began || sqlite3_get_autocommit(m_store.m_db)) {
        if (failed && commit)
            qCWarning(lcStore, "settings store %s: the save was not written",
                      qUtf8Printable(m_store.m_path));
        return;
    }
    if (!failed && m_store.exec("COMMIT")) {
        m_committed = true;
        return;
    }
    const QString reason = m_store.m_lastError;
    m_store.exec("ROLLBACK");
    m_store.m_lastError = reason;
    if (commit)
        qCWarning(lcStore, "settings store %s: the save was rolled back",
                  qUtf8Printable(m_store.m_path));
}

std::shared_ptr<SettingsStore::Snapshot> SettingsStore::snapshot() const {
    if (!m_db || m_immutable)
        return nullptr;
    // Another connection's commits change the data version.
    quint32 dataVersion = 0;
    sqlite3_stmt *version = nullptr;
    if (sqlite3_prepare_v2(m_db, "PRAGMA data_version", -1, &version, nullptr) == SQLITE_OK &&
        sqlite3_step(version) == SQLITE_ROW)
        dataVersion = quint32(sqlite3_column_int64(version, 0));
    sqlite3_finalize(version);
    if (auto last = m_lastSnapshot.lock();
        last && m_lastSnapshotWrites == m_writes && m_lastSnapshotDataVersion == dataVersion)
        return last;
    std::shared_ptr<Snapshot> snap(new Snapshot);
    snap->m_path = m_path;
    snap->m_store = m_self;
    snap->m_storeThread = std::this_thread::get_id();
    // The same file as the store's own connection, never through a link.
    if (sqlite3_open_v2(sqlite3_db_filename(m_db, "main"), &snap->m_db,
                        SQLITE_OPEN_READONLY | SQLITE_OPEN_NOFOLLOW, nullptr) != SQLITE_OK)
        return nullptr;
    sqlite3_busy_handler(snap->m_db, waitWhileBusy, nullptr);
    // Parts of large values pass through once; a small cache is enough.
    sqlite3_exec(snap->m_db, "PRAGMA cache_size=-256", nullptr, nullptr, nullptr);
    sqlite3_stmt *st = nullptr;
    // The read transaction starts with the first read and holds from then on. Only in
    // write-ahead mode does a held read leave writers free.
    const bool held =
        sqlite3_exec(snap->m_db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(snap->m_db, "PRAGMA journal_mode", -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW &&
        qstricmp(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)), "wal") == 0;
    sqlite3_finalize(st);
    st = nullptr;
    if (!held ||
        sqlite3_prepare_v2(snap->m_db, "SELECT count(*) FROM sqlite_master", -1, &st, nullptr) !=
            SQLITE_OK ||
        sqlite3_step(st) != SQLITE_ROW) {
        sqlite3_finalize(st);
        return nullptr;
    }
    sqlite3_finalize(st);
    m_lastSnapshot = snap;
    m_lastSnapshotWrites = m_writes;
    m_lastSnapshotDataVersion = dataVersion;
    return snap;
}

SettingsStore::Snapshot::~Snapshot() {
    if (m_db) {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close_v2(m_db);
    }
}

QHash<QString, SettingsStore::Snapshot::Row>
SettingsStore::Snapshot::rows(const QString &section) const {
    QHash<QString, Row> found;
    sqlite3_stmt *st = nullptr;
    // The value's column is not read: its length alone would load the whole text.
    if (sqlite3_prepare_v2(m_db, "SELECT key, rowid FROM settings WHERE app = ?1 AND section = ?2",
                           -1, &st, nullptr) != SQLITE_OK)
        return found;
    bindApp(st);
    bindText(st, 2, section);
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        const QString key =
            QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)),
                              sqlite3_column_bytes(st, 0));
        Row row;
        row.rowid = sqlite3_column_int64(st, 1);
        sqlite3_blob *blob = nullptr;
        if (sqlite3_blob_open(m_db, "main", "settings", "value", row.rowid, 0, &blob) !=
            SQLITE_OK) {
            sqlite3_blob_close(blob);
            failed("cannot read");
            continue;
        }
        row.bytes = sqlite3_blob_bytes(blob);
        sqlite3_blob_close(blob);
        found.insert(key.toLower(), row);
    }
    if (rc != SQLITE_DONE)
        failed("cannot read");
    sqlite3_finalize(st);
    return found;
}

bool SettingsStore::Snapshot::read(const Row &row, qint64 offset, qint64 bytes,
                                   QByteArray *out) const {
    out->clear();
    sqlite3_blob *blob = nullptr;
    int rc = sqlite3_blob_open(m_db, "main", "settings", "value", row.rowid, 0, &blob);
    if (rc == SQLITE_OK) {
        bytes = std::clamp<qint64>(bytes, 0, sqlite3_blob_bytes(blob) - offset);
        out->resize(bytes);
        rc = bytes > 0 ? sqlite3_blob_read(blob, out->data(), int(bytes), int(offset)) : SQLITE_OK;
    }
    sqlite3_blob_close(blob);
    if (rc == SQLITE_OK)
        return true;
    out->clear();
    failed("cannot read");
    return false;
}

void SettingsStore::Snapshot::failed(const char *what) const {
    qCWarning(lcStore, "settings store %s: %s: %s", qUtf8Printable(m_path), what,
              sqlite3_errmsg(m_db));
    // A read for a background write says nothing to the store: its next own read will.
    if (const auto store = m_store.lock(); store && std::this_thread::get_id() == m_storeThread)
        (*store)->noteFailure(sqlite3_extended_errcode(m_db));
}
