#include "core/entrystore.h"

#include "core/settingsstore.h"
#include "core/storedsettings.h"
#include "core/text.h"

#include <algorithm>

namespace {
// SQLite keeps at most 10^9 bytes in one row; half a gibibyte leaves room and a round number.
qint64 textLimit = qint64(512) * 1024 * 1024;
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
    return QStringLiteral("This text is too large for an entry. An entry holds at most %1 bytes "
                          "of text (UTF-8), and nothing was changed.")
        .arg(textLimit);
}

EntryStore::EntryStore(QObject *parent)
    : QObject(parent) {}

int EntryStore::index(int n) {
    Q_ASSERT(isValid(n));
    return n - 1;
}

void EntryStore::setText(int n, const QString &text) {
    setEntry(n, text, name(n));
}

void EntryStore::setName(int n, const QString &name) {
    setEntry(n, text(n), name);
}

void EntryStore::setEntry(int n, const QString &text, const QString &name) {
    Entry &e = m_entries[index(n)];
    // Comparing a 100 MB text costs more than repainting one row: compare only cheap sharing.
    if (e.text.isSharedWith(text) && e.name == name)
        return;
    e.text = text;
    e.name = name;
    emit entryChanged(n);
}

void EntryStore::loadOne(const SettingsStore &store, int n, const QString &section) {
    setEntry(n, store.get(section, textKey(n)), store.get(section, nameKey(n)));
}

void EntryStore::load(SettingsStore &store, const EntrySection &section) {
    SettingsStore::MappedReads mapped(store);
    for (int n = 1; n <= Count; ++n)
        loadOne(store, n, section.storedName());
}

void EntryStore::loadEntry(const SettingsStore &store, int n, const EntrySection &section) {
    loadOne(store, n, section.storedName());
}

bool EntryStore::save(SettingsStore &store, const EntrySection &section) const {
    SettingsStore::Transaction transaction(store);
    const QString name = section.storedName();
    for (int n = 1; n <= Count; ++n) {
        if (!store.set(name, textKey(n), text(n)) || !store.set(name, nameKey(n), this->name(n)))
            return false;
    }
    return transaction.commit();
}

void SectionMirror::remember(const EntryStore &entries, int n) {
    m_held[n - 1] = {entries.text(n), entries.name(n)};
}

bool SectionMirror::differs(const EntryStore &entries, int n) const {
    const Held &held = m_held[n - 1];
    // A text that was not replaced is still shared with what the section holds: no comparing.
    const QString &text = entries.text(n);
    return !(text.isSharedWith(held.text) || text == held.text) || entries.name(n) != held.name;
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
    const QString section = m_section.storedName();
    for (int n = 1; n <= EntryStore::Count; ++n) {
        QString text;
        QString name;
        const bool hasText = store.find(section, EntryStore::textKey(n), &text);
        const bool hasName = store.find(section, EntryStore::nameKey(n), &name);
        if (!hasText && !hasName)
            continue;
        entries.setEntry(n, hasText ? text : entries.text(n), hasName ? name : entries.name(n));
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
        if (changed[n - 1] && (!store.set(section, EntryStore::textKey(n), entries.text(n)) ||
                               !store.set(section, EntryStore::nameKey(n), entries.name(n))))
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
