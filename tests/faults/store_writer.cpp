// A helper that other tests kill or run twice: it writes to a settings store in a loop.
//   store_writer STORE data|set      save all 30 entries over and over, each save a generation
//   store_writer STORE mixed ID SECS toggle an option, save the entries and a set, for SECS s
//   store_writer STORE recovery [seed]  change one entry at a time and keep the recovery copy
//                                    (seed: the startup entries and the first copy only)
//   store_writer STORE lazy [seed]   read the startup entries, their texts when used, in a loop
//                                    (seed: only write them, 30 x 1 MiB)
#include "core/backgroundwriter.h"
#include "core/entrystore.h"
#include "core/settingsstore.h"
#include "core/storedsettings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QThread>

#include <cstdio>

namespace {

// Generation g's text of entry n: distinct per entry and per generation, long enough that a save
// takes a while.
QString generationText(int g, int n, qsizetype length = 16 * 1024) {
    return QStringLiteral("g%1-e%2|").arg(g).arg(n) + QString(length, QLatin1Char('a' + n % 26));
}

// Generation 1 of the startup entries, unless a former run wrote it whole.
void seedStartup(SettingsStore &store, EntryStore &entries, qsizetype length) {
    if (store.hasSection(EntrySection::startup().storedName()))
        return;
    for (int n = 1; n <= EntryStore::Count; ++n)
        entries.setEntry(n, generationText(1, n, length), QStringLiteral("g1-n%1").arg(n));
    entries.save(store, EntrySection::startup());
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    SettingsStore store(args.at(1));
    EntryStore entries;
    const QString mode = args.at(2);

    if (mode == QLatin1String("data") || mode == QLatin1String("set")) {
        const EntrySection section = mode == QLatin1String("data")
                                         ? EntrySection::startup()
                                         : EntrySection::set(QStringLiteral("/sets/a.ent"));
        for (int g = 1;; ++g) {
            for (int n = 1; n <= EntryStore::Count; ++n)
                entries.setEntry(n, generationText(g, n), QStringLiteral("g%1-n%2").arg(g).arg(n));
            entries.save(store, section);
        }
    }

    if (mode == QLatin1String("recovery")) {
        seedStartup(store, entries, 16 * 1024);
        SectionMirror startup(EntrySection::startup());
        startup.load(store, entries);
        // As the program keeps it: on a thread and a connection of its own.
        BackgroundWriter writer(args.at(1));
        // seed: the first copy alone, so that every later kill finds one.
        const bool seedOnly = args.value(3) == QLatin1String("seed");
        for (int g = seedOnly ? 1 : 2;; ++g) {
            const int n = g % EntryStore::Count + 1;
            entries.setEntry(n, generationText(g, n, 1024 * 1024),
                             QStringLiteral("g%1-n%2").arg(g).arg(n));
            writer.write(EntrySection::recovery(), {{n, entries.content(n), entries.name(n)}},
                         [](bool, const QList<int> &) {});
            writer.waitUntilIdle();
            if (seedOnly)
                return 0;
        }
    }
    if (mode == QLatin1String("lazy")) {
        seedStartup(store, entries, 1024 * 1024);
        if (args.value(3) == QLatin1String("seed"))
            return 0;
        for (;;) {
            entries.load(store, EntrySection::startup());
            for (int n = 1; n <= EntryStore::Count; ++n) {
                if (!entries.utf8(n).startsWith(generationText(1, n, 0).toUtf8()))
                    return 1;
            }
        }
    }

    const QString id = args.value(3);
    const qint64 seconds = args.value(4).toLongLong();
    QElapsedTimer clock;
    clock.start();
    int rounds = 0;
    // A program saves when its user acts: often, but not in a loop without pause.
    const auto pause = [] { QThread::msleep(QRandomGenerator::global()->bounded(1, 10)); };
    while (clock.elapsed() < seconds * 1000) {
        ++rounds;
        saveOption(store, Option::OnTop, rounds % 2);
        pause();
        for (int n = 1; n <= EntryStore::Count; ++n)
            entries.setEntry(n, QStringLiteral("%1 round %2 entry %3").arg(id).arg(rounds).arg(n),
                             id);
        entries.save(store, EntrySection::startup());
        pause();
        entries.save(store,
                     EntrySection::set(QStringLiteral("/sets/") + id + QStringLiteral(".ent")));
        pause();
        store.set(QStringLiteral("Writers"), id, QString::number(rounds));
    }
    std::printf("%d\n", rounds);
    return 0;
}
