#pragma once

#include <QString>

class SettingsStore;

// The accessor through which windows reach the settings store: set the properties, then call
// a method. Properties keep their values between calls.
class Registry {
public:
    explicit Registry(SettingsStore &store)
        : m_store(store) {}

    QString Appname;
    QString Section;
    QString Key;
    QString Setting;

    // Setting = the value under (Appname, Section, Key); the empty string when there is none.
    void RegGet();
    // Stores Setting under (Appname, Section, Key); failures are not reported to the caller.
    void RegSave();
    // Removes the whole section (Appname, Section); a missing section is no failure.
    void RegDel();

    SettingsStore &store() const { return m_store; }

private:
    SettingsStore &m_store;
};

// The one application name under which every section of the program is kept.
inline const QString AppName = QStringLiteral("Snapvale");
