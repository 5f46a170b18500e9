#pragma once

#include "core/settingsstore.h"
#include "core/storedsettings.h"

#include <QObject>
#include <QString>

#include <array>
#include <memory>

// The 30 numbered entries, each a text and a name. Entry numbers run from 1 to 30; the views
// follow entryChanged() synchronously, so what they show is always what is stored here.
class EntryStore : public QObject {
    Q_OBJECT
public:
    static constexpr int Count = 30;
    static constexpr int PerTab = 5;
    // What the window, the tray and a listing ever show of a text, in UTF-16 units.
    static constexpr qsizetype StartLength = 300;
    static inline const QString DefaultName = QStringLiteral("Untitled");

    // An entry's text: its UTF-8 bytes once in memory, the stored value it came from while it
    // is unchanged (read only when all of it is needed), and the start the views show.
    struct Content {
        QByteArray utf8;
        std::shared_ptr<const SettingsStore::Snapshot> snapshot;
        SettingsStore::Snapshot::Row row;
        bool inMemory = true;
        qint64 bytes = 0;
        QString start;

        bool isStored() const { return snapshot != nullptr; }
        // `length` bytes from `offset`, from memory or from the store, keeping nothing.
        bool read(qint64 offset, qint64 length, QByteArray *out) const;
        // The whole text, decoded; a byte-order mark at the start stays part of it. Empty for a
        // stored text that cannot be read.
        QString decoded() const;
        // The same text: the same stored value, or equal bytes. A stored text of the same size
        // is read in parts to compare; one that cannot be read counts as different.
        bool sameAs(const Content &other) const;
        // A text in memory no longer needs the view of the store it was read from.
        void releaseStoreView();
    };
    static Content contentOf(const QByteArray &utf8);

    explicit EntryStore(QObject *parent = nullptr);

    static bool isValid(int n) { return n >= 1 && n <= Count; }
    // Where entry n (1 to 30) is kept in an array of Count: the one translation of an entry's
    // number into an index.
    static int index(int n);

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

    const QString &name(int n) const { return m_entries[index(n)].name; }
    const Content &content(int n) const { return m_entries[index(n)].content; }
    // The start of the text, at most StartLength units; never reads the rest.
    const QString &start(int n) const { return content(n).start; }
    // A secret entry holds text even though its text here is empty: that is kept elsewhere.
    bool isEmpty(int n) const { return content(n).bytes == 0 && !isSecret(n); }
    bool isSecret(int n) const { return m_entries[index(n)].secret; }
    // Marks entry n secret or not. The text here is left as it is: the caller empties it.
    void setSecret(int n, bool secret);
    // A secret entry whose text the Secret Service did not give (locked, or gone).
    bool isLocked(int n) const { return m_entries[index(n)].locked; }
    void setLocked(int n, bool locked);
    // A text still in the store that could not be read (a damaged page, an I/O error): it is
    // shown so, given to nobody and written nowhere, and its place in the store is left as it is.
    bool isUnreadable(int n) const { return m_entries[index(n)].unreadable; }
    static QString unreadableMessage(const QList<int> &entries);
    // What the views show of an entry's text: its start, or for a secret a fixed row of dots
    // (not its length), or "(locked)", or for a text that could not be read "(unreadable)".
    QString shownStart(int n) const;
    // Tells the views that what they show of entry n changed outside its text and name.
    void refresh(int n) {
        ++m_entries[index(n)].version;
        emit entryChanged(n);
    }
    // Grows with every change of entry n's text or of how it is kept (secret, locked), not of
    // its name: a question remembers it to see whether what it asked about is still so.
    quint64 textVersion(int n) const { return m_entries[index(n)].version; }
    // The whole text. A text still in the store is read once and kept from then on; one that
    // cannot be read is marked unreadable and comes back empty, never as its start.
    QByteArray utf8(int n) const;
    QString text(int n) const;
    // The whole text without keeping it, for writing it elsewhere. False (the entry marked
    // unreadable) when it cannot be read: nothing is to be written for it then.
    bool peekUtf8(int n, QByteArray *utf8) const;
    // Marks entry n's text as one that could not be read (found so elsewhere, by a writer).
    void markUnreadable(int n) const;
    // While held back (a secret on its way to the Secret Service, its old text still kept),
    // nothing is written for entry n: the sections keep what they have of it. Counted: each
    // hold is let go once.
    void holdBack(int n, bool hold);
    bool isHeldBack(int n) const { return m_entries[index(n)].heldBack > 0; }
    // What a writer writes for entry n: false when nothing is to be written (held back, or a
    // text that cannot be read).
    bool textToWrite(int n, QByteArray *utf8) const;
    // Reads every text still in the store into memory, before the store is given up.
    void takeAllIntoMemory();
    // Lets go of the store's views behind texts already in memory.
    void releaseStoreViews();

    void setText(int n, const QString &text);
    void setName(int n, const QString &name);
    void setEntry(int n, const QString &text, const QString &name);
    void setEntry(int n, const Content &content, const QString &name);

    // All 30 texts and names from one section; a missing key empties the text or the name.
    // Large texts stay in the store until they are needed.
    void load(SettingsStore &store, const EntrySection &section);
    // All 60 keys to one section in one transaction, empty entries included; an entry whose text
    // cannot be read is left out, and named in `unreadable`. False when the store could not be
    // written: it then holds the section as it was.
    bool save(SettingsStore &store, const EntrySection &section,
              QList<int> *unreadable = nullptr) const;
    // Only the texts and names the section has keys for; tells which entries it had.
    std::array<bool, Count> loadPresent(const SettingsStore &store, const EntrySection &section);
    // Entry n alone from one section, read whole.
    void loadEntry(const SettingsStore &store, int n, const EntrySection &section);

signals:
    void entryChanged(int n);
    // Entry n's text was found unreadable, once until it gets another text.
    void textUnreadable(int n);

private:
    struct Entry {
        Content content;
        QString name = DefaultName;
        bool secret = false;
        bool locked = false;
        bool unreadable = false;
        int heldBack = 0;
        quint64 version = 0;
    };
    std::array<bool, Count> loadSection(const SettingsStore &store, const EntrySection &section,
                                        bool presentOnly);
    bool readStored(const Content &content, QByteArray *utf8) const;

    mutable std::array<Entry, Count> m_entries;
};

// What one section holds of the 30 entries, as far as this program read or wrote it, so that a
// save writes only the entries that differ: closing with nothing changed writes nothing, and a
// change to one entry writes that entry alone. The texts are shared with the entries, not copied,
// and a text still in the store is compared by where it is kept, without reading it.
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

    // For a save made elsewhere: the entries that differ, taking what an entry holds now as
    // what the section holds, and giving that up when the save failed.
    QList<int> changedEntries(const EntryStore &entries) const;
    void remember(const EntryStore &entries, int n);
    // Entry n alone, written at once and remembered; false when the store could not be written.
    bool saveEntry(SettingsStore &store, const EntryStore &entries, int n);
    void forget(int n);
    // Whether both sections hold the same texts and names, as far as this program knows.
    bool holdsSameAs(const SectionMirror &other) const;
    // Before the entries let go of their views of the store (all texts in memory): what the
    // section holds is then known by those texts; anything else is written at the next save.
    void releaseStoreViews(const EntryStore &entries);

private:
    struct Held {
        EntryStore::Content content;
        QString name;
    };
    bool differs(const EntryStore &entries, int n) const;

    EntrySection m_section;
    std::array<Held, EntryStore::Count> m_held;
};
