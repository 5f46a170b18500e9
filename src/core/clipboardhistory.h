#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

class BackgroundWriter;
class SettingsStore;

// The texts other programs copied, newest first, kept in the store's "History" section: each
// under the time of its copy and a digest of its text, so that the order survives a restart and
// a repeated copy is found without reading the texts. Nothing is read from the store before the
// history is first used; then only the keys and the start of each text, the whole text when it
// is asked for.
class ClipboardHistory : public QObject {
    Q_OBJECT
public:
    // Larger copies are not kept (UTF-8 bytes).
    static constexpr qint64 maxTextBytes = qint64(16) << 20;
    static constexpr int minSize = 10, maxSize = 10000, defaultSize = 200;

    // `writer` writes the copies away from the window's thread; without one (a store that
    // cannot be written) nothing is kept.
    ClipboardHistory(SettingsStore &store, BackgroundWriter *writer, QObject *parent = nullptr);

    // Items are numbered from 1, the newest.
    int count() const;
    qint64 copiedAtMs(int k) const;
    // The first line of item k, at most about 300 characters.
    QString start(int k) const;
    // Item k's whole text; empty (and `ok` false) when it cannot be read.
    QByteArray text(int k, bool *ok = nullptr) const;
    // What names item k while others come and go; find() gives its number now, 0 once it is gone.
    QString key(int k) const;
    int find(const QString &key) const;

    // Whether a copied text is kept at all: not empty, not only white space, not too large.
    static bool keeps(const QByteArray &utf8);
    // What tells texts apart in the store's keys; a reader on another thread may work it out
    // there (16 MiB take a seventh of a second).
    static QString digestOf(const QByteArray &utf8);
    // `utf8` as the newest item, copied at `nowMs` (ms since the epoch); the same text further
    // down moves up instead of standing twice. False when it is not kept. `digest`, when given,
    // is digestOf(utf8).
    bool add(const QByteArray &utf8, qint64 nowMs, const QString &digest = {});
    // Item k goes, its room in the store overwritten with zeros. False when the store could not
    // be written.
    bool remove(int k);
    // Every item holding exactly this text goes, at once (a text that became a secret).
    void forget(const QByteArray &utf8);
    // Every item, its room in the store overwritten with zeros. False when the store could not
    // be written.
    bool clear();
    // At most this many items (minSize to maxSize): the oldest fall off.
    void setLimit(int items);
    int limit() const { return m_limit; }
    // Returns once every write given so far has ended (a clean end, a test).
    void waitForWrites();
    // Nothing is written any more (a guest, a session that ended).
    void dropWriter() { m_writer = nullptr; }
    // The store was replaced: what it holds is read again when next needed.
    void reload();

signals:
    void changed();
    // A copy could not be written to the store; `why` in the store's words.
    void writeFailed(const QString &why);

private:
    struct Item {
        QString key;
        qint64 copiedMs = 0;
        QString digest;
        qint64 bytes = 0;
        QString start;
        // Held until its write has ended, so that it is there before the store has it.
        QByteArray pending;
    };
    void load() const;
    // Item k goes by the writer, as the oldest fall off.
    void drop(int k);
    void write(const QString &key, const QByteArray *value);
    void trim();
    static QString startOf(const QByteArray &utf8);

    SettingsStore &m_store;
    BackgroundWriter *m_writer;
    mutable QList<Item> m_items;
    mutable bool m_loaded = false;
    int m_limit = defaultSize;
};
