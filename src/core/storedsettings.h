#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

class SettingsStore;

// The program's typed view of the settings store. Which section and key each value is kept under
// is known here and nowhere else; the stored layout is the one outside tools read.

// Where a whole list of 30 entries is kept: the startup entries, the recovery copy of the
// entries on screen, or an entry set.
class EntrySection {
public:
    static EntrySection startup();
    static EntrySection recovery();
    // The set saved under a set file's full path.
    static EntrySection set(const QString &path);
    // Whether a path names a set: a full path, never one of the program's own sections. A set
    // file's sixth line is read through this, so that no file can reach the settings.
    static bool isSetPath(const QString &path);

    QString storedName() const { return m_name; }
    bool operator==(const EntrySection &other) const { return m_name == other.m_name; }

private:
    explicit EntrySection(const QString &name)
        : m_name(name) {}
    QString m_name;
};

// Whether a section holds anything, and removing one with all its keys (a missing one is no
// failure). False from remove means the store could not be written; lastError() says why.
bool hasEntries(const SettingsStore &store, const EntrySection &section);
// `keptElsewhere`: every text of the section is also stored in another one.
bool removeEntries(SettingsStore &store, const EntrySection &section, bool keptElsewhere = false);

// The options; a missing or unknown stored value reads as on, except for restoring the
// clipboard, which only a stored "1" turns on.
enum class Option { OnTop, MouseOver, AutoSave, PasteAfterPicking, RestoreClipboard, History };
struct Options {
    bool onTop = true;
    bool mouseOver = true;
    bool autoSave = true;
    // A pick from the picker is pasted into the window that had the keyboard before.
    bool pasteAfterPicking = true;
    // After such a paste the clipboard gets back the text it held before the pick.
    bool restoreClipboard = false;
    // A copied secret leaves the clipboard after this time, if the clipboard still holds it
    // ("SecretClearSeconds", 10 to 300).
    int secretClearSeconds = 30;
    // Texts other programs copy are kept, the newest "HistorySize" of them (10 to 10,000).
    bool history = true;
    int historySize = 200;
};
Options loadOptions(const SettingsStore &store);
bool saveOption(SettingsStore &store, Option option, bool on);
bool saveSecretClearSeconds(SettingsStore &store, int seconds);
bool saveHistorySize(SettingsStore &store, int items);

// Which entries are secret: their texts are kept outside the store, which holds "1" under
// "Secrets", "Entry<n>" for each, and nothing else of them but their names.
QList<int> loadSecretMarks(const SettingsStore &store);
bool saveSecretMark(SettingsStore &store, int n, bool secret);

// The key that opens the picker from anywhere, in the portable form of QKeySequence
// ("Ctrl+Alt+V"); "none" when the user turned it off.
inline const QString defaultPickerShortcut = QStringLiteral("Ctrl+Alt+V");
QString loadPickerShortcut(const SettingsStore &store);
bool savePickerShortcut(SettingsStore &store, const QString &shortcut);

// The editor's size when it was last closed, in twips ("EditorSize", "8000x5600"); an
// invalid size when none, or nothing sensible, is stored.
QSize loadEditorSize(const SettingsStore &store);
bool saveEditorSize(SettingsStore &store, const QSize &twips);

// The frequently used clippings, always all of them, the first at index 0.
constexpr int ClippingCount = 20;
QStringList loadClippings(const SettingsStore &store);
// All of them in one transaction, empty ones included.
bool saveClippings(SettingsStore &store, const QStringList &clippings);
