#include "core/backgroundwriter.h"

#include "core/settingsstore.h"

BackgroundWriter::BackgroundWriter(const QString &storePath, QObject *parent)
    : QObject(parent)
    , m_path(storePath) {}

BackgroundWriter::~BackgroundWriter() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void BackgroundWriter::write(const EntrySection &section, const QList<Item> &items, Done done) {
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back({section, items, std::move(done), {}, {}});
        // The thread starts with the first job: most runs never need it.
        if (!m_thread.joinable())
            m_thread = std::thread(&BackgroundWriter::run, this);
    }
    m_changed.notify_all();
}

void BackgroundWriter::writeRows(const QString &section, const QList<Row> &rows,
                                 std::function<void(bool)> done) {
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back({EntrySection::recovery(),
                          {},
                          [done = std::move(done)](bool written, const QList<int> &) {
                              if (done)
                                  done(written);
                          },
                          section,
                          rows});
        if (!m_thread.joinable())
            m_thread = std::thread(&BackgroundWriter::run, this);
    }
    m_changed.notify_all();
}

void BackgroundWriter::waitUntilIdle() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_jobs.empty() && !m_busy; });
}

void BackgroundWriter::closeStore() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_jobs.empty() && !m_busy; });
    // The thread waits for work and does not touch the store meanwhile.
    m_store.reset();
}

void BackgroundWriter::run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
        if (m_jobs.empty())
            break;
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_busy = true;
        lock.unlock();
        QList<int> unreadable;
        const bool ok = carryOut(job, &unreadable);
        QMetaObject::invokeMethod(
            this, [done = std::move(job.done), ok, unreadable] { done(ok, unreadable); },
            Qt::QueuedConnection);
        lock.lock();
        m_busy = false;
        m_changed.notify_all();
    }
    m_store.reset();
}

bool BackgroundWriter::carryOut(const Job &job, QList<int> *unreadable) {
    // Never moves the file aside or starts a fresh one: that is the program's own connection's
    // decision, which this one follows after closeStore().
    if (!m_store)
        m_store = std::make_unique<SettingsStore>(m_path, SettingsStore::ExistingOnly);
    SettingsStore::Transaction transaction(*m_store);
    if (!job.rowSection.isEmpty()) {
        for (const Row &row : job.rows) {
            if (!(row.value ? m_store->set(job.rowSection, row.key, *row.value)
                            : m_store->remove(job.rowSection, row.key)))
                return false;
        }
        return transaction.commit();
    }
    const QString section = job.section.storedName();
    for (const Item &item : job.items) {
        QByteArray text;
        // A text that cannot be read is left out, never written as anything else.
        if (!item.content.read(0, item.content.bytes, &text)) {
            *unreadable << item.n;
            continue;
        }
        if (!m_store->set(section, EntryStore::textKey(item.n), text) ||
            !m_store->set(section, EntryStore::nameKey(item.n), item.name))
            return false;
    }
    return transaction.commit();
}
