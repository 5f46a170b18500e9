// A helper that other tests kill or run twice: it writes to a settings store in a loop.
//   store_writer STORE data|set      save all 30 entries over and over, each save a generation
//   store_writer STORE mixed ID SECS toggle an option, save the entries and a set, for SECS s
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
QString generationText(int g, int n) {
    return QStringLiteral("g%1-e%2|").arg(g).arg(n) + QString(16 * 1024, QLatin1Char('a' + n % 26));
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
