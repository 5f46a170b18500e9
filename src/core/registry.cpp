#include "core/registry.h"

#include "core/settingsstore.h"

void Registry::RegGet() {
    Setting = m_store.get(Appname, Section, Key);
}

void Registry::RegSave() {
    m_store.set(Appname, Section, Key, Setting);
}

void Registry::RegDel() {
    m_store.removeSection(Appname, Section);
}
