#include "core/clipboardhistory.h"

#include "core/backgroundwriter.h"
#include "core/settingsstore.h"
#include "core/text.h"

#include <QCryptographicHash>
#include <QPointer>
#include <QRegularExpression>

#include <algorithm>

namespace {

const QString historySection = QStringLiteral("History");
// What a row shows of a text: the start of its first line.
constexpr qsizetype startCharacters = 300;
constexpr qint64 startBytes = 4 * startCharacters;

// "<ms since the epoch, 13 digits>-<16 hex digits of the text's digest>": the keys sort by time.
QString keyOf(qint64 ms, const QString &digest) {
    return QStringLiteral("%1-%2").arg(ms, 13, 10, QLatin1Char('0')).arg(digest);
}

} // namespace

QString ClipboardHistory::digestOf(const QByteArray &utf8) {
    return QString::fromLatin1(
        QCryptographicHash::hash(utf8, QCryptographicHash::Sha256).left(8).toHex());
}

ClipboardHistory::ClipboardHistory(SettingsStore &store, BackgroundWriter *writer, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_writer(writer) {}

QString ClipboardHistory::startOf(const QByteArray &utf8) {
    // The first line that holds anything.
    const QString head = Text::decode(utf8.left(startBytes));
    for (const QString &line : head.split(QRegularExpression(QStringLiteral("[\r\n]")))) {
        if (!line.trimmed().isEmpty())
            return Text::oneLine(line, startCharacters).trimmed();
    }
    return {};
}

void ClipboardHistory::load() const {
    if (m_loaded)
        return;
    m_loaded = true;
    const std::shared_ptr<SettingsStore::Snapshot> snapshot = m_store.snapshot();
    if (!snapshot)
        return;
    const QHash<QString, SettingsStore::Snapshot::Row> rows = snapshot->rows(historySection);
    for (auto it = rows.constBegin(); it != rows.constEnd(); ++it) {
        const QStringList parts = it.key().split(QLatin1Char('-'));
        bool isTime = false;
        const qint64 ms = parts.value(0).toLongLong(&isTime);
        // A row of another shape is no copy of ours: left as it is.
        if (parts.size() != 2 || !isTime || parts[1].size() != 16)
            continue;
        QByteArray head;
        snapshot->read(it.value(), 0, std::min(it.value().bytes, startBytes), &head);
        m_items.append({it.key(), ms, parts[1], it.value().bytes, startOf(head), {}});
    }
    std::sort(m_items.begin(), m_items.end(),
              [](const Item &a, const Item &b) { return a.key > b.key; });
}

int ClipboardHistory::count() const {
    load();
    return int(m_items.size());
}

qint64 ClipboardHistory::copiedAtMs(int k) const {
    load();
    return m_items.value(k - 1).copiedMs;
}

QString ClipboardHistory::start(int k) const {
    load();
    return m_items.value(k - 1).start;
}

QByteArray ClipboardHistory::text(int k, bool *ok) const {
    load();
    if (ok)
        *ok = false;
    if (k < 1 || k > m_items.size())
        return {};
    const Item &item = m_items.at(k - 1);
    if (!item.pending.isNull()) {
        if (ok)
            *ok = true;
        return item.pending;
    }
    QByteArray utf8;
    if (!m_store.find(historySection, item.key, &utf8))
        return {};
    if (ok)
        *ok = true;
    return utf8;
}

bool ClipboardHistory::keeps(const QByteArray &utf8) {
    return utf8.size() <= maxTextBytes && !utf8.trimmed().isEmpty();
}

bool ClipboardHistory::add(const QByteArray &utf8, qint64 nowMs, const QString &known) {
    if (!keeps(utf8) || !m_writer)
        return false;
    load();
    const QString digest = known.isEmpty() ? digestOf(utf8) : known;
    for (int i = 0; i < m_items.size(); ++i) {
        const Item &item = m_items.at(i);
        if (item.digest != digest || item.bytes != utf8.size())
            continue;
        bool ok = false;
        if (i == 0 && text(1, &ok) == utf8 && ok)
            return true; // copied again: it is the newest already
        if (text(i + 1, &ok) == utf8 && ok) {
            drop(i + 1);
            break;
        }
    }
    // Never older than the newest: a clock set back keeps the order of the copies.
    const qint64 ms = m_items.isEmpty() ? nowMs : std::max(nowMs, m_items.first().copiedMs + 1);
    const QString key = keyOf(ms, digest);
    m_items.prepend({key, ms, digest, utf8.size(), startOf(utf8), utf8});
    write(key, &utf8);
    trim();
    emit changed();
    return true;
}

void ClipboardHistory::write(const QString &key, const QByteArray *value) {
    if (!m_writer)
        return;
    BackgroundWriter::Row row{key, value ? std::optional<QByteArray>(*value) : std::nullopt};
    const QPointer<ClipboardHistory> self(this);
    m_writer->writeRows(historySection, {row}, [self, key, stored = value != nullptr](bool ok) {
        if (!self)
            return;
        if (!ok) {
            emit self->writeFailed(self->m_store.lastError());
            return;
        }
        // Written: the text is read from the store again when needed, not kept twice.
        if (stored) {
            for (Item &item : self->m_items) {
                if (item.key == key)
                    item.pending = QByteArray();
            }
        }
    });
}

void ClipboardHistory::drop(int k) {
    write(m_items.takeAt(k - 1).key, nullptr);
}

QString ClipboardHistory::key(int k) const {
    load();
    return m_items.value(k - 1).key;
}

int ClipboardHistory::find(const QString &key) const {
    load();
    for (int i = 0; i < m_items.size(); ++i) {
        if (m_items.at(i).key == key)
            return i + 1;
    }
    return 0;
}

bool ClipboardHistory::remove(int k) {
    load();
    if (k < 1 || k > m_items.size())
        return true;
    // The user deletes a copy mostly because it should not be kept: gone from the log file too,
    // as a cleared history is.
    waitForWrites();
    const bool removed = m_store.remove(historySection, m_items.takeAt(k - 1).key);
    m_store.foldLog(false);
    emit changed();
    return removed;
}

void ClipboardHistory::forget(const QByteArray &utf8) {
    load();
    waitForWrites();
    const QString digest = digestOf(utf8);
    bool forgotten = false;
    for (int i = int(m_items.size()) - 1; i >= 0; --i) {
        bool ok = false;
        if (m_items.at(i).digest == digest && text(i + 1, &ok) == utf8 && ok) {
            // On this connection, so that the caller's fold of the log finds it gone.
            m_store.remove(historySection, m_items.takeAt(i).key);
            forgotten = true;
        }
    }
    if (forgotten)
        emit changed();
}

bool ClipboardHistory::clear() {
    load();
    waitForWrites();
    m_items.clear();
    const bool cleared = m_store.removeSection(historySection);
    // The cleared texts leave the log file too, where no reader holds it.
    m_store.foldLog(false);
    emit changed();
    return cleared;
}

void ClipboardHistory::setLimit(int items) {
    m_limit = std::clamp(items, minSize, maxSize);
    trim();
}

void ClipboardHistory::trim() {
    if (!m_loaded)
        return;
    bool trimmed = false;
    while (m_items.size() > m_limit) {
        write(m_items.takeLast().key, nullptr);
        trimmed = true;
    }
    if (trimmed)
        emit changed();
}

void ClipboardHistory::reload() {
    m_items.clear();
    m_loaded = false;
    emit changed();
}

void ClipboardHistory::waitForWrites() {
    if (m_writer)
        m_writer->waitUntilIdle();
}
