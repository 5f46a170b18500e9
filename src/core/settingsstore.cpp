#include "core/settingsstore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <sqlite3.h>

#include <cstdio>

namespace {

enum StatementId { Select, Upsert, DeleteSection, SelectSection, StatementCount };

const char *const statementSql[StatementCount] = {
    "SELECT value FROM settings WHERE app = ?1 AND section = ?2 AND key = ?3",
    "INSERT INTO settings(app, section, key, value) VALUES (?1, ?2, ?3, ?4) "
    "ON CONFLICT(app, section, key) DO UPDATE SET value = excluded.value",
    "DELETE FROM settings WHERE app = ?1 AND section = ?2",
    "SELECT 1 FROM settings WHERE app = ?1 AND section = ?2 LIMIT 1",
};

const char *const schemaSql = "CREATE TABLE IF NOT EXISTS settings("
                              "  app     TEXT NOT NULL,"
                              "  section TEXT NOT NULL COLLATE NOCASE,"
                              "  key     TEXT NOT NULL COLLATE NOCASE,"
                              "  value   TEXT NOT NULL,"
                              "  PRIMARY KEY (app, section, key)"
                              ") WITHOUT ROWID";

// Another copy of the program may hold the write lock for a moment; wait rather than lose a write.
constexpr int busyTimeoutMs = 5000;

void bindText(sqlite3_stmt *st, int index, const QString &text) {
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(st, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
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

void restrictToOwner(const QString &path, bool isDir) {
    QFileDevice::Permissions p = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (isDir)
        p |= QFileDevice::ExeOwner;
    QFile::setPermissions(path, p);
}

} // namespace

SettingsStore::SettingsStore(const QString &path)
    : m_path(path) {
    if (openAt(path) && schemaIsUsable() && prepareForUse())
        return;
    // Only a file that is damaged or not ours is moved aside; a busy or unreachable store is
    // left alone and this run keeps no settings.
    const bool damaged = m_notOurs || m_failure == SQLITE_NOTADB || m_failure == SQLITE_CORRUPT;
    close();
    if (damaged)
        moveAsideAndStartFresh();
}

SettingsStore::~SettingsStore() {
    close();
}

QString SettingsStore::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/settings.sqlite3");
}

bool SettingsStore::openAt(const QString &path) {
    const QFileInfo info(path);
    const QString dir = info.absolutePath();
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "snapvale: cannot create the folder %s\n", qUtf8Printable(dir));
        return false;
    }
    // Entries often hold passwords: the folder and the file are the user's alone, whatever the
    // umask.
    restrictToOwner(dir, true);
    if (!info.exists()) {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            f.close();
    }
    restrictToOwner(path, false);

    const QByteArray native = QFile::encodeName(path);
    if (sqlite3_open_v2(native.constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        warn("cannot open");
        close();
        return false;
    }
    sqlite3_busy_timeout(m_db, busyTimeoutMs);
    return true;
}

bool SettingsStore::prepareForUse() {
    // WAL with FULL sync: a commit is on disk when it returns, and a crash mid-write leaves the
    // last complete commit.
    if (!exec("PRAGMA journal_mode=WAL") || !exec("PRAGMA synchronous=FULL") || !exec(schemaSql))
        return false;
    for (int i = 0; i < StatementCount; ++i) {
        if (sqlite3_prepare_v3(m_db, statementSql[i], -1, SQLITE_PREPARE_PERSISTENT,
                               &m_statements[i], nullptr) != SQLITE_OK) {
            warn("cannot prepare a statement");
            return false;
        }
    }
    return true;
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
        std::fprintf(stderr, "snapvale: %s is not a settings store of this program\n",
                     qUtf8Printable(m_path));
    return usable;
}

void SettingsStore::moveAsideAndStartFresh() {
    close();
    const QString stamp =
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    QString target = m_path + QStringLiteral(".corrupt-") + stamp;
    for (int n = 2; QFileInfo::exists(target); ++n)
        target =
            m_path + QStringLiteral(".corrupt-") + stamp + QLatin1Char('-') + QString::number(n);
    if (!QFile::rename(m_path, target)) {
        // Never overwrite what we could not move: run without a store rather than lose the file.
        std::fprintf(stderr, "snapvale: cannot move %s aside; settings will not be kept\n",
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
    std::fprintf(stderr, "snapvale: the settings store was unusable and was moved to %s\n",
                 qUtf8Printable(target));
    if (!openAt(m_path) || !prepareForUse())
        close();
}

void SettingsStore::close() {
    for (auto &st : m_statements) {
        sqlite3_finalize(st);
        st = nullptr;
    }
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

bool SettingsStore::exec(const char *sql) {
    char *error = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &error) == SQLITE_OK)
        return true;
    m_failure = sqlite3_errcode(m_db);
    std::fprintf(stderr, "snapvale: settings store %s: %s: %s\n", qUtf8Printable(m_path), sql,
                 error ? error : "unknown error");
    sqlite3_free(error);
    return false;
}

void SettingsStore::warn(const char *what) const {
    if (m_db)
        m_failure = sqlite3_errcode(m_db);
    std::fprintf(stderr, "snapvale: settings store %s: %s: %s\n", qUtf8Printable(m_path), what,
                 m_db ? sqlite3_errmsg(m_db) : "not open");
}

sqlite3_stmt *SettingsStore::prepared(int which) const {
    return m_statements[which];
}

bool SettingsStore::writable() const {
    // Inside a transaction that could not begin, or that SQLite has already rolled back, a
    // write would be committed on its own: half a save is worse than none.
    return m_transactionDepth == 0 || (!m_writesBlocked && !sqlite3_get_autocommit(m_db));
}

QString SettingsStore::get(const QString &app, const QString &section, const QString &key) const {
    if (!m_db)
        return {};
    sqlite3_stmt *st = prepared(Select);
    ResetGuard guard{st};
    bindText(st, 1, app);
    bindText(st, 2, section);
    bindText(st, 3, key);
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW) {
        const auto *data = static_cast<const char *>(sqlite3_column_blob(st, 0));
        return QString::fromUtf8(data, sqlite3_column_bytes(st, 0));
    }
    if (rc != SQLITE_DONE)
        warn("cannot read");
    return {};
}

void SettingsStore::set(const QString &app, const QString &section, const QString &key,
                        const QString &value) {
    if (!m_db || !writable()) {
        warn("cannot write");
        return;
    }
    sqlite3_stmt *st = prepared(Upsert);
    ResetGuard guard{st};
    bindText(st, 1, app);
    bindText(st, 2, section);
    bindText(st, 3, key);
    bindText(st, 4, value);
    if (sqlite3_step(st) != SQLITE_DONE)
        warn("cannot write");
}

void SettingsStore::removeSection(const QString &app, const QString &section) {
    if (!m_db || !writable()) {
        warn("cannot delete");
        return;
    }
    sqlite3_stmt *st = prepared(DeleteSection);
    ResetGuard guard{st};
    bindText(st, 1, app);
    bindText(st, 2, section);
    if (sqlite3_step(st) != SQLITE_DONE)
        warn("cannot delete");
}

bool SettingsStore::hasSection(const QString &app, const QString &section) const {
    if (!m_db)
        return false;
    sqlite3_stmt *st = prepared(SelectSection);
    ResetGuard guard{st};
    bindText(st, 1, app);
    bindText(st, 2, section);
    return sqlite3_step(st) == SQLITE_ROW;
}

SettingsStore::Transaction::Transaction(SettingsStore &store)
    : m_store(store) {
    if (!m_store.m_db || m_store.m_transactionDepth++ > 0)
        return;
    m_outermost = true;
    // IMMEDIATE takes the write lock now, so a busy peer is waited for here and not mid-way.
    m_store.m_writesBlocked = !m_store.exec("BEGIN IMMEDIATE");
}

SettingsStore::Transaction::~Transaction() {
    if (!m_store.m_db)
        return;
    --m_store.m_transactionDepth;
    if (!m_outermost)
        return;
    const bool began = !m_store.m_writesBlocked;
    m_store.m_writesBlocked = false;
    // SQLite rolls a transaction back by itself on some errors (a full disk); then nothing is left
    // to commit.
    if (began && !sqlite3_get_autocommit(m_store.m_db) && !m_store.exec("COMMIT"))
        m_store.exec("ROLLBACK");
}
