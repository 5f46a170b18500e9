#include "core/entrystore.h"

#include "core/settingsstore.h"
#include "core/storedsettings.h"

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
