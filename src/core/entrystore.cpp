#include "core/entrystore.h"

#include "core/registry.h"
#include "core/settingsstore.h"

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

void EntryStore::loadOne(Registry &reg, int n) {
    reg.Key = textKey(n);
    reg.RegGet();
    const QString text = reg.Setting;
    reg.Key = nameKey(n);
    reg.RegGet();
    setEntry(n, text, reg.Setting);
}

void EntryStore::LoadEntries(Registry &reg, const QString &section) {
    SettingsStore::MappedReads mapped(reg.store());
    reg.Appname = AppName;
    reg.Section = section;
    for (int n = 1; n <= Count; ++n)
        loadOne(reg, n);
}

void EntryStore::LoadEntry(Registry &reg, int n, const QString &section) {
    reg.Appname = AppName;
    reg.Section = section;
    loadOne(reg, n);
}

void EntryStore::SaveEntries(Registry &reg, const QString &section) const {
    SettingsStore::Transaction transaction(reg.store());
    reg.Appname = AppName;
    reg.Section = section;
    for (int n = 1; n <= Count; ++n) {
        reg.Key = textKey(n);
        reg.Setting = text(n);
        reg.RegSave();
        reg.Key = nameKey(n);
        reg.Setting = name(n);
        reg.RegSave();
    }
}
