#pragma once

#include <QString>

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

// The per-user store of strings addressed by application, section and key, kept in one SQLite
// file. Reads never fail (a missing key or an unreadable store reads as the empty string);
// writes never report failure to the caller but print each one on stderr with its reason.
class SettingsStore {
public:
    // Opens (creating when needed) the store at `path`. A file that is not a usable store is
    // moved aside and a fresh store started; movedAsidePath() then tells where the old file is.
    explicit SettingsStore(const QString &path);
    ~SettingsStore();
    SettingsStore(const SettingsStore &) = delete;
    SettingsStore &operator=(const SettingsStore &) = delete;

    // $XDG_DATA_HOME/Snapvale/settings.sqlite3 (through QStandardPaths::AppDataLocation).
    static QString defaultPath();

    QString path() const { return m_path; }
    bool isOpen() const { return m_db != nullptr; }
    QString movedAsidePath() const { return m_movedAside; }

    QString get(const QString &app, const QString &section, const QString &key) const;
    void set(const QString &app, const QString &section, const QString &key, const QString &value);
    void removeSection(const QString &app, const QString &section);
    bool hasSection(const QString &app, const QString &section) const;

    // Groups writes into one transaction: the store holds either all of them or none, also
    // after a crash or a power cut. Nested scopes join the outermost one.
    class Transaction {
    public:
        explicit Transaction(SettingsStore &store);
        ~Transaction();
        Transaction(const Transaction &) = delete;
        Transaction &operator=(const Transaction &) = delete;

    private:
        SettingsStore &m_store;
        bool m_outermost = false;
        bool m_began = false;
    };

    // Reads large values straight from a map of the file rather than copying them page by page
    // through read calls, while it lives. The map goes with it: mapped pages would otherwise
    // stay counted in the program's memory.
    class MappedReads {
    public:
        explicit MappedReads(SettingsStore &store);
        ~MappedReads();
        MappedReads(const MappedReads &) = delete;
        MappedReads &operator=(const MappedReads &) = delete;

    private:
        SettingsStore &m_store;
    };

private:
    bool openAt(const QString &path);
    bool headerIsIntact() const;
    bool schemaIsUsable();
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
    sqlite3 *m_db = nullptr;
    mutable sqlite3_stmt *m_statements[4] = {};
    int m_transactionDepth = 0;
    bool m_transactionFailed = false;
    bool m_notOurs = false;
    mutable int m_failure = 0;
};
