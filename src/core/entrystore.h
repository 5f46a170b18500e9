#pragma once

#include <QObject>
#include <QString>

#include <array>

class Registry;

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
    static int tabOf(int n) { return (n + PerTab - 1) / PerTab; }
    static QString textKey(int n) { return QStringLiteral("Entry") + QString::number(n); }
    static QString nameKey(int n) { return textKey(n) + QLatin1Char('b'); }

    const QString &text(int n) const { return m_entries[index(n)].text; }
    const QString &name(int n) const { return m_entries[index(n)].name; }
    void setText(int n, const QString &text);
    void setName(int n, const QString &name);
    void setEntry(int n, const QString &text, const QString &name);

    // All 30 texts and names from one section; a missing key empties the text or the name.
    void LoadEntries(Registry &reg, const QString &section);
    // All 60 keys to one section in one transaction, empty entries included.
    void SaveEntries(Registry &reg, const QString &section) const;
    // Entry n alone from one section.
    void LoadEntry(Registry &reg, int n, const QString &section);

signals:
    void entryChanged(int n);

private:
    struct Entry {
        QString text;
        QString name = DefaultName;
    };
    static int index(int n);
    void loadOne(Registry &reg, int n);

    std::array<Entry, Count> m_entries;
};
