#pragma once

#include "core/backgroundwriter.h"
#include "core/clipboardhistory.h"
#include "core/entrystore.h"
#include "core/storedsettings.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

class SecretKeeper;
class SettingsStore;

// One run of the program over its settings store: the 30 entries, the options, the frequent
// clippings, the sets, the recovery copy and the saves at the end. It shows nothing: the window
// displays it and forwards the user's gestures, and tells the user what the results say.
class EntrySession : public QObject {
    Q_OBJECT
public:
    // Whose the store's recovery copy and closing saves are. Only the one Snapvale that holds
    // the store's owner lock keeps them (Owner); another copy over the same store (Guest) and a
    // start-up measurement (Probe, which is told nothing either) leave them alone.
    enum class Role { Owner, Guest, Probe };

    explicit EntrySession(SettingsStore &store, QObject *parent = nullptr);
    ~EntrySession() override;

    EntryStore &entries() { return m_entries; }
    const EntryStore &entries() const { return m_entries; }
    SettingsStore &store() { return m_store; }

    // Set before loadAtStart().
    void setRole(Role role);
    Role role() const { return m_role; }

    // Start-up: the startup entries, the options, a recovery copy left by an unclean end and the
    // clippings. Returns what the user is to be told, in order.
    QStringList loadAtStart();

    const Options &options() const { return m_options; }
    // Takes the option at once and stores it; false when it could not be stored.
    bool setOption(Option option, bool on);
    // How long a copied secret stays on the clipboard, 10 to 300 seconds, stored at once.
    bool setSecretClearSeconds(int seconds);

    // What other programs copied. Only the store's owner keeps it (a guest has no writer).
    ClipboardHistory &history() { return *m_history; }
    const ClipboardHistory &history() const { return *m_history; }
    // Another program put `utf8` on the clipboard (`secret`: marked by a password manager). It
    // goes into the history unless the history is off, it is marked, or it is a secret entry's
    // text; false when it was not kept.
    bool copiedElsewhere(const QByteArray &utf8, bool secret, const QString &digest = {});
    // Whether a copy now would be kept at all (the history on, this run the store's owner):
    // otherwise the clipboard is not even read.
    bool keepsHistory() const { return m_options.history && !m_ended && m_role == Role::Owner; }
    // How many items the history keeps, 10 to 10,000, stored at once; the oldest fall off.
    bool setHistorySize(int items);

    // The frequent clipping k, 1 to 20.
    QString clipping(int k) const { return m_clippings.value(k - 1); }
    // All 20, stored at once; false when they could not be stored (they are taken all the same).
    bool setClippings(const QStringList &clippings);

    // Entry n gets `text` as "Untitled"; false (nothing changes) when the text is too large.
    // A secret entry stays secret: the text goes to the keeper.
    bool setEntryText(int n, const QString &text);
    // What copying entry n puts on the clipboard: its text without the spaces at both ends; a
    // secret's exactly as it is (a space may be part of a password). Empty for a secret that
    // could not be read.
    QByteArray textToCopy(int n) const;
    // The whole text as stored, a secret's included.
    QByteArray fullText(int n) const;

    // Secret entries keep their text with `keeper` (the desktop's Secret Service), never in the
    // store, which keeps only the mark and the name. Set before loadAtStart(); without one
    // nothing can be made secret. Each change answers later: secretFailed() when it could not
    // be made, and then nothing changed.
    void setSecretKeeper(SecretKeeper *keeper) { m_keeper = keeper; }
    bool hasSecretKeeper() const { return m_keeper != nullptr; }
    enum class SecretState { Plain, Loading, Ready, Locked };
    SecretState secretState(int n) const { return m_secretStates[EntryStore::index(n)]; }
    bool isSecret(int n) const { return m_entries.isSecret(n); }
    // Marks entry n secret (its text moves to the keeper and out of the store) or not (its
    // text comes back into the store and the keeper's item goes).
    void setSecret(int n, bool secret);
    // Whether the Secret Service kept a secret text, and if not, why in its words.
    using SecretDone = std::function<void(bool kept, const QString &why)>;
    // Entry n becomes secret with this text (copied from a password manager) without it ever
    // passing through the store; false (nothing changes) when the text is too large. `done`
    // learns the Secret Service's answer (also when a newer change made it moot: kept).
    bool setSecretText(int n, const QString &text, const SecretDone &done = {});
    // Entry n gets this text and name from the editor; a secret entry's text goes to the keeper.
    void setEntryContent(int n, const EntryStore::Content &content, const QString &name);
    QList<int> secretEntries() const;
    // As the program ends: the entries whose secret the Secret Service has not answered for
    // yet (a store or a lookup). waitForSecrets() waits up to `ms` for those answers, true when
    // none is left; giveUpSecrets() gives them up, each entry keeping what it held before.
    QList<int> secretsWaiting() const;
    bool waitForSecrets(int ms);
    void giveUpSecrets();
    void clearEntry(int n);
    void clearTab(int tab);
    void clearAll();

    // Writes the 30 entries to the startup entries; false when the store could not be written.
    bool updateStartupEntries();
    void restoreStartupEntries();
    void restoreStartupEntry(int n);

    // Sets: all 30 entries under a set file's path.
    enum class SetResult { Done, FileFailed, StoreFailed, NotASet, NothingStored };
    // The file and the entries succeed together or not at all; `error` says why the file failed.
    SetResult saveSet(const QString &path, QString *error);
    // The set a file names, also one that was moved or renamed since it was saved.
    SetResult loadSet(const QString &path);
    // The entries first, then the file; a file whose entries are still stored is no loss to keep.
    SetResult deleteSet(const QString &path, QString *error);

    // The end of the run. Whether the startup entries are to be saved at the end (auto-save),
    // and whether this run may save them (the store's owner, and the store can be written).
    bool savesAtEnd() const { return m_options.autoSave; }
    bool mayWriteAtEnd() const;
    bool saveStartupEntries();
    // The save as the program ends: the same, with the recovery copy it stands in for dropped
    // in the same transaction.
    bool saveStartupEntriesAtEnd();
    // No more changes are kept; a run whose closing save was made drops its recovery copy.
    void end(bool saved);
    bool hasEnded() const { return m_ended; }

    // A change waits for its recovery copy (the copy follows within a second).
    bool recoveryCopyPending() const { return m_recoveryTimer.isActive(); }

signals:
    void optionsChanged();
    void clippingsChanged();
    // A recovery copy written on its thread has ended; when it failed, another follows.
    void recoveryCopyEnded(bool written);
    // A damaged store was moved aside and a fresh one holds what the program holds; `saved` is
    // false when the entries could not be written to it.
    void storeReplaced(bool saved);
    // Entry n could not be made secret, or not secret, or its secret could not be kept or
    // read; `why` in the Secret Service's words.
    void secretFailed(int n, const QString &why);
    // Entry n is now secret, or not, and the store says so.
    void secretChanged(int n, bool secret);
    // The views of the store that texts are read from are let go now (the entries' texts are in
    // memory): any other holder of one takes its text into memory too, or the log they keep
    // cannot be folded back.
    void storeViewsReleasing();

private:
    void loadOptionsAndClippings();
    void scheduleRecoveryCopy();
    void writeRecoveryCopy();
    void dropRecoveryCopy();
    bool recoverAfterUncleanEnd();
    void limitStoreLog();
    void replaceDamagedStore();
    void loadSecrets();
    // After entry n's text left the store: its overwritten rows leave the log file too, now
    // or, while another program reads the store, as soon as it lets go.
    void foldLogAfterSecret();
    // Every text still read from the store comes into memory, and the store's views go.
    void releaseStoreViews();
    // Entry n as secret with this text, in memory.
    void holdSecret(int n, const QByteArray &utf8, const QString &name);
    void keepSecret(int n, const QByteArray &utf8, const QString &name,
                    const SecretDone &done = {});

    SettingsStore &m_store;
    EntryStore m_entries;
    // What the startup entries and the recovery copy hold, so that saves write only changes.
    SectionMirror m_startup{EntrySection::startup()};
    SectionMirror m_recovery{EntrySection::recovery()};
    Options m_options;
    QStringList m_clippings;
    QTimer m_recoveryTimer;
    // The recovery copy is written away from the caller's thread; null when the store cannot
    // be written, and the copy then fails where it is.
    std::unique_ptr<BackgroundWriter> m_recoveryWriter;
    // The history's copies have a writer of their own: a store busy with another program
    // holds them up, never the recovery copy. The history goes before its writer.
    std::unique_ptr<BackgroundWriter> m_historyWriter;
    std::unique_ptr<ClipboardHistory> m_history;
    SecretKeeper *m_keeper = nullptr;
    std::array<QByteArray, EntryStore::Count> m_secretTexts;
    std::array<SecretState, EntryStore::Count> m_secretStates{};
    // Stores and lookups handed to the keeper and not yet answered, per entry.
    std::array<int, EntryStore::Count> m_secretCalls{};
    // What an entry held before a secret was pasted over it, kept until the keeper answers.
    std::array<EntryStore::Content, EntryStore::Count> m_secretBefore;
    QTimer m_foldRetry;
    Role m_role = Role::Owner;
    bool m_ended = false;
};
