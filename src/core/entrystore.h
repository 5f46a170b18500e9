#pragma once

#include "core/storedsettings.h"

#include <QObject>
#include <QString>

#include <array>

class SettingsStore;

// The 30 numbered entries, each a text and a name. Entry numbers run from 1 to 30; the views
// follow entryChanged() synchronously, so what they show is always what is stored here.
class EntryStore : public QObject {
    Q_OBJECT
public:
    static constexpr int Count = 30;
    static constexpr int PerTab = 5;
    static inline const QString DefaultName = QStringLiteral("Untitled");

    explicit EntryStore(QObject *parent = nullptr);

    static bool isValid(int n) { return n >= 1 && n <= Count; }

    // A text larger than the store can keep as one value is refused where it would enter an
    // entry. The limit is in UTF-8 bytes; tests lower it.
    static qint64 maxTextBytes();
    static void setMaxTextBytes(qint64 bytes);
    static bool fits(const QString &text);
    static QString tooLargeMessage();
    static int tabOf(int n) { return (n + PerTab - 1) / PerTab; }
    static QString textKey(int n) { return QStringLiteral("Entry") + QString::number(n); }
    static QString nameKey(int n) { return textKey(n) + QLatin1Char('b'); }
    // Entry n's tab, counted from 1, and the first entry of tab t.
    static int firstOfTab(int tab) { return (tab - 1) * PerTab + 1; }

    const QString &text(int n) const { return m_entries[index(n)].text; }
    const QString &name(int n) const { return m_entries[index(n)].name; }
    void setText(int n, const QString &text);
    void setName(int n, const QString &name);
    void setEntry(int n, const QString &text, const QString &name);

    // All 30 texts and names from one section; a missing key empties the text or the name.
    void load(SettingsStore &store, const EntrySection &section);
    // All 60 keys to one section in one transaction, empty entries included. False when the
    // store could not be written: it then holds the section as it was.
    bool save(SettingsStore &store, const EntrySection &section) const;
    // Entry n alone from one section.
    void loadEntry(const SettingsStore &store, int n, const EntrySection &section);

signals:
    void entryChanged(int n);

private:
    struct Entry {
        QString text;
        QString name = DefaultName;
    };
    static int index(int n);
    void loadOne(const SettingsStore &store, int n, const QString &section);

    std::array<Entry, Count> m_entries;
};

// What one section holds of the 30 entries, as far as this program read or wrote it, so that a
// save writes only the entries that differ: closing with nothing changed writes nothing, and a
// change to one entry writes that entry alone. The texts are shared with the entries, not copied.
class SectionMirror {
public:
    explicit SectionMirror(const EntrySection &section)
        : m_section(section) {}

    // Reads all 30 entries from the section, a missing key emptying the text or the name.
    void load(SettingsStore &store, EntryStore &entries);
    void loadEntry(const SettingsStore &store, EntryStore &entries, int n);
    // Reads only the entries the section has keys for; for the others the section stands for
    // what `others` holds.
    void loadPresent(const SettingsStore &store, EntryStore &entries, const SectionMirror &others);
    // Takes what `other` stands for as what this section stands for, writing nothing.
    void assume(const SectionMirror &other) { m_held = other.m_held; }

    // The entries that differ from what the section holds, written in one transaction. False
    // when the store could not be written; the section then holds what it held.
    bool saveChanges(SettingsStore &store, const EntryStore &entries);

private:
    struct Held {
        QString text;
        QString name;
    };
    bool differs(const EntryStore &entries, int n) const;
    void remember(const EntryStore &entries, int n);

    EntrySection m_section;
    std::array<Held, EntryStore::Count> m_held;
};
