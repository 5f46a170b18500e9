#include "core/entrystore.h"

#include "core/settingsstore.h"
#include "core/storedsettings.h"
#include "core/text.h"

#include <QCoreApplication>
#include <QStringDecoder>

#include <algorithm>

namespace {
// SQLite keeps at most 10^9 bytes in one row; half a gibibyte leaves room and a round number.
qint64 textLimit = qint64(512) * 1024 * 1024;

// Texts up to this size are read whole at once: their start costs about as much to read.
constexpr qint64 readWholeUpTo = 16 * 1024;

QString startOfUtf8(const QByteArray &utf8) {
    // A UTF-16 unit takes at most three bytes; a character cut at the end stays in the decoder.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    const QString decoded = decoder.decode(
        QByteArrayView(utf8).first(std::min<qsizetype>(utf8.size(), EntryStore::StartLength * 3)));
    return Text::startOf(decoded, EntryStore::StartLength);
}

EntryStore::Content contentOf(const QString &text) {
    EntryStore::Content c;
    c.utf8 = text.toUtf8();
    c.bytes = c.utf8.size();
    c.start = Text::startOf(text, EntryStore::StartLength);
    return c;
}

// A stored text: small ones read now, large ones left where they are but for their start.
EntryStore::Content storedContent(const std::shared_ptr<const SettingsStore::Snapshot> &snapshot,
                                  const SettingsStore::Snapshot::Row &row) {
    QByteArray bytes;
    if (row.bytes <= readWholeUpTo) {
        snapshot->read(row, 0, row.bytes, &bytes);
        return EntryStore::contentOf(bytes);
    }
    snapshot->read(row, 0, EntryStore::StartLength * 3, &bytes);
    EntryStore::Content c;
    c.snapshot = snapshot;
    c.row = row;
    c.inMemory = false;
    c.bytes = row.bytes;
    c.start = startOfUtf8(bytes);
    return c;
}

QString storedName(const SettingsStore::Snapshot &snapshot,
                   const SettingsStore::Snapshot::Row &row) {
    QByteArray bytes;
    snapshot.read(row, 0, row.bytes, &bytes);
    return QString::fromUtf8(bytes);
}
} // namespace

qint64 EntryStore::maxTextBytes() {
    return textLimit;
}

void EntryStore::setMaxTextBytes(qint64 bytes) {
    textLimit = bytes;
}

bool EntryStore::fits(const QString &text) {
    // Each UTF-16 unit is at most three UTF-8 bytes: most texts need no count.
    return text.size() * 3 <= textLimit || Text::utf8Size(text) <= textLimit;
}

QString EntryStore::tooLargeMessage() {
    return QCoreApplication::translate("EntryStore",
                                       "This text is too large for an entry. An entry holds at "
                                       "most %1 bytes of text (UTF-8), and nothing was changed.")
        .arg(textLimit);
}

bool EntryStore::Content::sameAs(const Content &other) const {
    if (bytes != other.bytes)
        return false;
    if (isStored() && snapshot == other.snapshot && row.rowid == other.row.rowid)
        return true;
    if (inMemory && other.inMemory && utf8.isSharedWith(other.utf8))
        return true;
    if (inMemory && other.inMemory)
        return utf8 == other.utf8;
    // Reading a stored text to compare costs a fraction of writing it, and keeps nothing.
    constexpr qint64 step = 1024 * 1024;
    QByteArray mine;
    QByteArray theirs;
    for (qint64 at = 0; at < bytes; at += step) {
        const qint64 length = std::min(step, bytes - at);
        const auto part = [at, length](const Content &c, QByteArray *buffer) {
            if (c.inMemory)
                return QByteArrayView(c.utf8).sliced(at, length);
            if (!c.snapshot->read(c.row, at, length, buffer) || buffer->size() != length)
                return QByteArrayView();
            return QByteArrayView(*buffer);
        };
        const QByteArrayView a = part(*this, &mine);
        if (a.size() != length || a != part(other, &theirs))
            return false;
    }
    return true;
}

bool EntryStore::Content::read(qint64 offset, qint64 length, QByteArray *out) const {
    if (!inMemory)
        return snapshot->read(row, offset, length, out);
    *out = utf8.mid(offset, length);
    return true;
}

QString EntryStore::Content::decoded() const {
    QByteArray whole;
    if (!read(0, bytes, &whole))
        return {};
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(whole);
}

void EntryStore::Content::releaseStoreView() {
    if (!inMemory)
        return;
    snapshot.reset();
    row = {};
}

EntryStore::Content EntryStore::contentOf(const QByteArray &utf8) {
    Content c;
    c.utf8 = utf8;
    c.bytes = utf8.size();
    c.start = startOfUtf8(utf8);
    return c;
}

EntryStore::EntryStore(QObject *parent)
    : QObject(parent) {}

int EntryStore::index(int n) {
    Q_ASSERT(isValid(n));
    return n - 1;
}

bool EntryStore::readStored(const Content &content, QByteArray *utf8) const {
    return content.snapshot->read(content.row, 0, content.bytes, utf8);
}

QByteArray EntryStore::utf8(int n) const {
    Content &c = m_entries[index(n)].content;
    if (!c.inMemory && !isUnreadable(n)) {
        if (readStored(c, &c.utf8))
            c.inMemory = true;
        else
            markUnreadable(n);
    }
    // Never the start in place of the text: whatever takes it would keep or write it as whole.
    return c.inMemory ? c.utf8 : QByteArray();
}

QString EntryStore::text(int n) const {
    utf8(n);
    return isUnreadable(n) ? QString() : content(n).decoded();
}

bool EntryStore::peekUtf8(int n, QByteArray *utf8) const {
    const Content &c = content(n);
    if (c.inMemory) {
        *utf8 = c.utf8;
        return true;
    }
    if (!isUnreadable(n) && readStored(c, utf8))
        return true;
    utf8->clear();
    markUnreadable(n);
    return false;
}

void EntryStore::holdBack(int n, bool hold) {
    int &held = m_entries[index(n)].heldBack;
    held = std::max(0, held + (hold ? 1 : -1));
}

bool EntryStore::textToWrite(int n, QByteArray *utf8) const {
    return !isHeldBack(n) && peekUtf8(n, utf8);
}

void EntryStore::markUnreadable(int n) const {
    Entry &e = m_entries[index(n)];
    if (e.unreadable)
        return;
    e.unreadable = true;
    auto *self = const_cast<EntryStore *>(this);
    emit self->entryChanged(n);
    emit self->textUnreadable(n);
}

QString EntryStore::unreadableMessage(const QList<int> &entries) {
    QStringList numbers;
    for (int n : entries)
        numbers << QString::number(n);
    const QString why =
        entries.size() == 1
            ? tr("The text of entry %1 could not be read from the settings file (a damaged part "
                 "of it, or a read error).")
            : tr("The texts of entries %1 could not be read from the settings file (a damaged "
                 "part of it, or a read error).");
    return why.arg(numbers.join(QStringLiteral(", "))) + QStringLiteral("\r\n") +
           tr("Shown as \"(unreadable)\", they are copied, saved and written nowhere: what the "
              "file holds of them stays as it is.");
}

void EntryStore::takeAllIntoMemory() {
    for (int n = 1; n <= Count; ++n)
        utf8(n);
}

void EntryStore::releaseStoreViews() {
    for (Entry &e : m_entries)
        e.content.releaseStoreView();
}

void EntryStore::setText(int n, const QString &text) {
    setEntry(n, text, name(n));
}

void EntryStore::setName(int n, const QString &name) {
    setEntry(n, content(n), name);
}

void EntryStore::setEntry(int n, const QString &text, const QString &name) {
    setEntry(n, ::contentOf(text), name);
}

void EntryStore::setEntry(int n, const Content &content, const QString &name) {
    Entry &e = m_entries[index(n)];
    // Comparing a 100 MB text costs more than repainting one row: compare only cheap sharing.
    const bool sameText =
        content.isStored()
            ? content.snapshot == e.content.snapshot && content.row.rowid == e.content.row.rowid
            : e.content.inMemory && e.content.utf8.isSharedWith(content.utf8);
    if (sameText && e.name == name)
        return;
    // A new text is readable; the same unreadable one stays so.
    if (!sameText) {
        e.unreadable = false;
        ++e.version;
    }
    e.content = content;
    e.name = name;
    emit entryChanged(n);
}

void EntryStore::setSecret(int n, bool secret) {
    Entry &e = m_entries[index(n)];
    if (e.secret == secret)
        return;
    e.secret = secret;
    ++e.version;
    emit entryChanged(n);
}

void EntryStore::setLocked(int n, bool locked) {
    Entry &e = m_entries[index(n)];
    if (e.locked == locked)
        return;
    e.locked = locked;
    ++e.version;
    emit entryChanged(n);
}

QString EntryStore::shownStart(int n) const {
    if (isUnreadable(n))
        return tr("(unreadable)");
    if (!isSecret(n))
        return start(n);
    if (isLocked(n))
        return tr("(locked)");
    return QString(8, QChar(0x25CF));
}

std::array<bool, EntryStore::Count>
EntryStore::loadSection(const SettingsStore &store, const EntrySection &section, bool presentOnly) {
    std::array<bool, Count> present{};
    const QString sectionName = section.storedName();
    if (const auto snapshot = store.snapshot()) {
        const auto rows = snapshot->rows(sectionName);
        for (int n = 1; n <= Count; ++n) {
            const auto text = rows.constFind(textKey(n).toLower());
            const auto named = rows.constFind(nameKey(n).toLower());
            const bool hasText = text != rows.cend();
            const bool hasName = named != rows.cend();
            present[n - 1] = hasText || hasName;
            if (presentOnly && !present[n - 1])
                continue;
            setEntry(n,
                     hasText ? storedContent(snapshot, *text)
                             : (presentOnly ? content(n) : Content{}),
                     hasName ? storedName(*snapshot, *named) : (presentOnly ? name(n) : QString()));
        }
        return present;
    }
    // A store that cannot keep a snapshot is read whole, now.
    for (int n = 1; n <= Count; ++n) {
        QByteArray text;
        QString name;
        const bool hasText = store.find(sectionName, textKey(n), &text);
        const bool hasName = store.find(sectionName, nameKey(n), &name);
        present[n - 1] = hasText || hasName;
        if (presentOnly && !present[n - 1])
            continue;
        setEntry(n, hasText || !presentOnly ? contentOf(text) : content(n),
                 hasName || !presentOnly ? name : this->name(n));
    }
    return present;
}

void EntryStore::load(SettingsStore &store, const EntrySection &section) {
    loadSection(store, section, false);
}

std::array<bool, EntryStore::Count> EntryStore::loadPresent(const SettingsStore &store,
                                                            const EntrySection &section) {
    return loadSection(store, section, true);
}

void EntryStore::loadEntry(const SettingsStore &store, int n, const EntrySection &section) {
    const QString sectionName = section.storedName();
    QByteArray text;
    store.find(sectionName, textKey(n), &text);
    setEntry(n, contentOf(text), store.get(sectionName, nameKey(n)));
}

bool EntryStore::save(SettingsStore &store, const EntrySection &section,
                      QList<int> *unreadable) const {
    SettingsStore::Transaction transaction(store);
    const QString name = section.storedName();
    for (int n = 1; n <= Count; ++n) {
        QByteArray text;
        if (!textToWrite(n, &text)) {
            if (unreadable && isUnreadable(n))
                *unreadable << n;
            continue;
        }
        if (!store.set(name, textKey(n), text) || !store.set(name, nameKey(n), this->name(n)))
            return false;
    }
    return transaction.commit();
}

void SectionMirror::remember(const EntryStore &entries, int n) {
    m_held[n - 1] = {entries.content(n), entries.name(n)};
}

bool SectionMirror::saveEntry(SettingsStore &store, const EntryStore &entries, int n) {
    const QString section = m_section.storedName();
    // A text that cannot be read is not written: the section keeps what it has of it.
    QByteArray text;
    if (!entries.textToWrite(n, &text))
        return true;
    if (!store.set(section, EntryStore::textKey(n), text) ||
        !store.set(section, EntryStore::nameKey(n), entries.name(n)))
        return false;
    remember(entries, n);
    return true;
}

bool SectionMirror::holdsSameAs(const SectionMirror &other) const {
    for (int n = 0; n < EntryStore::Count; ++n) {
        if (!m_held[n].content.sameAs(other.m_held[n].content) ||
            m_held[n].name != other.m_held[n].name)
            return false;
    }
    return true;
}

void SectionMirror::releaseStoreViews(const EntryStore &entries) {
    for (int n = 1; n <= EntryStore::Count; ++n) {
        Held &held = m_held[n - 1];
        if (!held.content.isStored())
            continue;
        // The entry's text, now in memory, stands for the stored one where they are the same.
        const EntryStore::Content &now = entries.content(n);
        if (!now.inMemory || !now.sameAs(held.content)) {
            forget(n);
            continue;
        }
        held.content = now;
        held.content.releaseStoreView();
    }
}

void SectionMirror::forget(int n) {
    // No text is this long: the entry differs from it whatever it holds.
    m_held[n - 1] = {};
    m_held[n - 1].content.bytes = -1;
}

QList<int> SectionMirror::changedEntries(const EntryStore &entries) const {
    QList<int> changed;
    for (int n = 1; n <= EntryStore::Count; ++n) {
        if (differs(entries, n))
            changed << n;
    }
    return changed;
}

bool SectionMirror::differs(const EntryStore &entries, int n) const {
    const Held &held = m_held[n - 1];
    return !entries.content(n).sameAs(held.content) || entries.name(n) != held.name;
}

void SectionMirror::load(SettingsStore &store, EntryStore &entries) {
    entries.load(store, m_section);
    for (int n = 1; n <= EntryStore::Count; ++n)
        remember(entries, n);
}

void SectionMirror::loadEntry(const SettingsStore &store, EntryStore &entries, int n) {
    entries.loadEntry(store, n, m_section);
    remember(entries, n);
}

void SectionMirror::loadPresent(const SettingsStore &store, EntryStore &entries,
                                const SectionMirror &others) {
    m_held = others.m_held;
    const auto present = entries.loadPresent(store, m_section);
    for (int n = 1; n <= EntryStore::Count; ++n) {
        if (present[n - 1])
            remember(entries, n);
    }
}

bool SectionMirror::saveChanges(SettingsStore &store, const EntryStore &entries) {
    std::array<bool, EntryStore::Count> changed{};
    for (int n = 1; n <= EntryStore::Count; ++n)
        changed[n - 1] = differs(entries, n);
    if (std::find(changed.begin(), changed.end(), true) == changed.end())
        return true;
    SettingsStore::Transaction transaction(store);
    const QString section = m_section.storedName();
    for (int n = 1; n <= EntryStore::Count; ++n) {
        if (!changed[n - 1])
            continue;
        // A text that cannot be read is not written: the section keeps what it has of it.
        QByteArray text;
        if (!entries.textToWrite(n, &text)) {
            changed[n - 1] = false;
            continue;
        }
        if (!store.set(section, EntryStore::textKey(n), text) ||
            !store.set(section, EntryStore::nameKey(n), entries.name(n)))
            return false;
    }
    if (!transaction.commit())
        return false;
    for (int n = 1; n <= EntryStore::Count; ++n) {
        if (changed[n - 1])
            remember(entries, n);
    }
    return true;
}
