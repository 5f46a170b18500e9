#pragma once

#include <QObject>
#include <QString>

#include <array>

class EntrySection;
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
