#pragma once

#include "core/entrystore.h"

#include <QList>
#include <QObject>
#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

// Writes entries into a section of the store on a thread and a connection of its own, so that
// writing a large text never holds up the window. Jobs run one after another, in the order given.
class BackgroundWriter : public QObject {
    Q_OBJECT
public:
    struct Item {
        int n = 0;
        EntryStore::Content content;
        QString name;
    };

    explicit BackgroundWriter(const QString &storePath, QObject *parent = nullptr);
    // Ends the jobs already given, then the thread.
    ~BackgroundWriter() override;

    // The items in one transaction; `done` runs afterwards on this object's thread, told
    // whether they were written and which items' texts could not be read (left out).
    using Done = std::function<void(bool written, const QList<int> &unreadable)>;
    void write(const EntrySection &section, const QList<Item> &items, Done done);
    // Keys of one section set (a value) or removed (none), in one transaction, in order.
    struct Row {
        QString key;
        std::optional<QByteArray> value;
    };
    void writeRows(const QString &section, const QList<Row> &rows, std::function<void(bool)> done);
    // Returns once every job given so far has ended.
    void waitUntilIdle();
    // Waits for the jobs given so far, then closes this writer's connection; the next job opens
    // the store again. Called before the file is moved aside: a connection to the moved file
    // closed later would fold its log into it and delete the fresh store's log by name.
    void closeStore();

private:
    struct Job {
        EntrySection section;
        QList<Item> items;
        Done done;
        // A job of rows has a section name of its own.
        QString rowSection;
        QList<Row> rows;
    };
    void run();
    bool carryOut(const Job &job, QList<int> *unreadable);

    const QString m_path;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Job> m_jobs;
    bool m_busy = false;
    bool m_stopping = false;
    std::unique_ptr<SettingsStore> m_store; // used on the thread only
    std::thread m_thread;
};
