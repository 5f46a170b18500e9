#include "core/entrysession.h"

#include "core/entryset.h"
#include "core/secretkeeper.h"
#include "core/settingsstore.h"
#include "core/text.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QPointer>

#include <algorithm>

namespace {

// What happened to the entries in the background, for
// QT_LOGGING_RULES="snapvale.session.info=true".
Q_LOGGING_CATEGORY(lcSession, "snapvale.session", QtWarningMsg)

// A recovery copy follows a change within this time.
constexpr int recoveryDelayMs = 1000;

} // namespace

EntrySession::EntrySession(SettingsStore &store, QObject *parent)
    : QObject(parent)
    , m_store(store) {
    for (int k = 0; k < ClippingCount; ++k)
        m_clippings << QString();
    if (m_store.isOpen() && m_store.unwritableReason().isEmpty()) {
        m_recoveryWriter = std::make_unique<BackgroundWriter>(m_store.path());
        m_historyWriter = std::make_unique<BackgroundWriter>(m_store.path());
    }
    m_history = std::make_unique<ClipboardHistory>(m_store, m_historyWriter.get());

    connect(&m_entries, &EntryStore::entryChanged, this, &EntrySession::scheduleRecoveryCopy);
    m_foldRetry.setInterval(1000);
    connect(&m_foldRetry, &QTimer::timeout, this, [this] {
        if (m_store.foldLog(false))
            m_foldRetry.stop();
    });
    m_recoveryTimer.setSingleShot(true);
    m_recoveryTimer.setInterval(recoveryDelayMs);
    connect(&m_recoveryTimer, &QTimer::timeout, this, &EntrySession::writeRecoveryCopy);
    // Damage is met in the middle of a read or write: it is dealt with once that has ended.
    m_store.setDamageHandler(
        [this] { QTimer::singleShot(0, this, &EntrySession::replaceDamagedStore); });
}

EntrySession::~EntrySession() {
    m_store.setDamageHandler({});
}

void EntrySession::setRole(Role role) {
    m_role = role;
    if (role != Role::Owner) {
        m_history->dropWriter();
        m_historyWriter.reset();
        m_recoveryWriter.reset();
    }
}

QStringList EntrySession::loadAtStart() {
    m_startup.load(m_store, m_entries);
    int keptEntries = 0;
    for (int n = 1; n <= EntryStore::Count; ++n)
        keptEntries += m_entries.isEmpty(n) ? 0 : 1;
    loadOptionsAndClippings();

    QStringList notices;
    // After the recovery copy: it may hold a secret entry's name, never its text.
    loadSecrets();
    if (recoverAfterUncleanEnd())
        notices << tr("Snapvale did not end properly last time. Your entries were recovered as "
                      "they were then.\r\n\"Restore Startup Entries\" brings back the startup "
                      "entries.");
    if (m_role == Role::Probe)
        return notices;
    if (m_role == Role::Guest)
        notices << tr("Another Snapvale is running with the settings in %1\r\nThis one keeps no "
                      "recovery copy and saves nothing when it ends; \"Update Startup Entries\" "
                      "and \"Save Set\" still save.")
                       .arg(m_store.path());
    else if (!m_store.movedAsidePath().isEmpty())
        notices << tr("The settings file could not be read whole. It was moved aside, and what "
                      "could still be read from it was kept: %1 of the 30 entries.\r\nThe old "
                      "file is now:\r\n%2")
                       .arg(keptEntries)
                       .arg(m_store.movedAsidePath());
    else if (!m_store.unwritableReason().isEmpty())
        notices << tr("Snapvale cannot keep changes in %1\r\n%2\r\nWhat you change now is lost "
                      "when Snapvale ends.")
                       .arg(m_store.path(), m_store.unwritableReason());
    return notices;
}

void EntrySession::loadOptionsAndClippings() {
    m_options = loadOptions(m_store);
    m_history->setLimit(m_options.historySize);
    m_clippings = loadClippings(m_store);
    emit optionsChanged();
    emit clippingsChanged();
}

bool EntrySession::setOption(Option option, bool on) {
    switch (option) {
    case Option::OnTop:
        m_options.onTop = on;
        break;
    case Option::MouseOver:
        m_options.mouseOver = on;
        break;
    case Option::PasteAfterPicking:
        m_options.pasteAfterPicking = on;
        break;
    case Option::RestoreClipboard:
        m_options.restoreClipboard = on;
        break;
    case Option::History:
        m_options.history = on;
        // Off means nothing is kept: what was is cleared (the window asked first).
        if (!on)
            m_history->clear();
        break;
    case Option::AutoSave:
        m_options.autoSave = on;
        if (on)
            scheduleRecoveryCopy();
        else
            dropRecoveryCopy();
        break;
    }
    emit optionsChanged();
    // Stored at once: a later crash or kill keeps the choice.
    return saveOption(m_store, option, on);
}

bool EntrySession::copiedElsewhere(const QByteArray &utf8, bool secret, const QString &digest) {
    if (!keepsHistory() || secret)
        return false;
    // A secret entry's text, copied back from another program, stays out of it too.
    for (int n : secretEntries()) {
        if (m_secretTexts[EntryStore::index(n)] == utf8)
            return false;
    }
    return m_history->add(utf8, QDateTime::currentMSecsSinceEpoch(), digest);
}

bool EntrySession::setHistorySize(int items) {
    m_options.historySize = std::clamp(items, ClipboardHistory::minSize, ClipboardHistory::maxSize);
    m_history->setLimit(m_options.historySize);
    emit optionsChanged();
    return saveHistorySize(m_store, m_options.historySize);
}

bool EntrySession::setSecretClearSeconds(int seconds) {
    m_options.secretClearSeconds = std::clamp(seconds, 10, 300);
    emit optionsChanged();
    return saveSecretClearSeconds(m_store, m_options.secretClearSeconds);
}

bool EntrySession::setClippings(const QStringList &clippings) {
    m_clippings = clippings;
    while (m_clippings.size() < ClippingCount)
        m_clippings << QString();
    m_clippings.resize(ClippingCount);
    emit clippingsChanged();
    // Every one, empty or unchanged ones too: the stored list is always the whole list.
    return saveClippings(m_store, m_clippings);
}

bool EntrySession::setEntryText(int n, const QString &text) {
    if (m_entries.isSecret(n))
        return setSecretText(n, text);
    if (!EntryStore::fits(text))
        return false;
    m_entries.setEntry(n, text, EntryStore::DefaultName);
    return true;
}

QByteArray EntrySession::textToCopy(int n) const {
    if (m_entries.isSecret(n))
        return fullText(n);
    return Text::trimSpaces(m_entries.utf8(n));
}

QByteArray EntrySession::fullText(int n) const {
    if (!m_entries.isSecret(n))
        return m_entries.utf8(n);
    return secretState(n) == SecretState::Ready ? m_secretTexts[EntryStore::index(n)]
                                                : QByteArray();
}

void EntrySession::clearEntry(int n) {
    if (m_entries.isSecret(n)) {
        const int i = EntryStore::index(n);
        m_secretTexts[i].clear();
        m_secretStates[i] = SecretState::Plain;
        m_entries.setSecret(n, false);
        m_entries.setLocked(n, false);
        if (!saveSecretMark(m_store, n, false))
            qWarning("the secret mark of entry %d could not be removed: %s", n,
                     qUtf8Printable(m_store.lastError()));
        if (m_keeper)
            m_keeper->remove(n, [](const SecretKeeper::Answer &) {});
    }
    m_entries.setEntry(n, QString(), EntryStore::DefaultName);
}

QList<int> EntrySession::secretsWaiting() const {
    QList<int> waiting;
    for (int n = 1; n <= EntryStore::Count; ++n) {
        if (m_secretCalls[EntryStore::index(n)] > 0)
            waiting << n;
    }
    return waiting;
}

bool EntrySession::waitForSecrets(int ms) {
    return !m_keeper || m_keeper->waitForAnswers(ms);
}

void EntrySession::giveUpSecrets() {
    // Each given-up store puts its entry back as it was, as a refusal does.
    if (m_keeper)
        m_keeper->giveUp();
}

QList<int> EntrySession::secretEntries() const {
    QList<int> secret;
    for (int n = 1; n <= EntryStore::Count; ++n) {
        if (m_entries.isSecret(n))
            secret << n;
    }
    return secret;
}

void EntrySession::loadSecrets() {
    for (int n : loadSecretMarks(m_store)) {
        const int i = EntryStore::index(n);
        m_secretStates[i] = SecretState::Loading;
        // A text left beside the mark by an older run is kept by the keeper as well.
        m_entries.setEntry(n, QString(), m_entries.name(n));
        m_entries.setSecret(n, true);
        if (!m_keeper || m_role == Role::Probe) {
            m_secretStates[i] = SecretState::Locked;
            m_entries.setLocked(n, true);
            continue;
        }
        QPointer<EntrySession> self(this);
        ++m_secretCalls[i];
        m_keeper->lookup(n, [self, n, i](const SecretKeeper::Answer &answer) {
            if (self)
                --self->m_secretCalls[i];
            if (!self || self->m_secretStates[i] != SecretState::Loading)
                return;
            if (answer.status == SecretKeeper::Status::Done) {
                self->m_secretTexts[i] = answer.utf8;
                self->m_secretStates[i] = SecretState::Ready;
            } else {
                self->m_secretStates[i] = SecretState::Locked;
                self->m_entries.setLocked(n, true);
            }
            self->m_entries.refresh(n);
        });
    }
}

void EntrySession::holdSecret(int n, const QByteArray &utf8, const QString &name) {
    const int i = EntryStore::index(n);
    m_secretTexts[i] = utf8;
    m_secretStates[i] = SecretState::Ready;
    m_entries.setEntry(n, QString(), name);
    m_entries.setSecret(n, true);
    m_entries.setLocked(n, false);
    m_entries.refresh(n);
}

bool EntrySession::setSecretText(int n, const QString &text, const SecretDone &done) {
    if (!EntryStore::fits(text))
        return false;
    keepSecret(n, text.toUtf8(), EntryStore::DefaultName, done);
    return true;
}

void EntrySession::setEntryContent(int n, const EntryStore::Content &content, const QString &name) {
    if (!m_entries.isSecret(n)) {
        m_entries.setEntry(n, content, name);
        return;
    }
    QByteArray utf8;
    content.read(0, content.bytes, &utf8);
    keepSecret(n, utf8, name);
}

void EntrySession::keepSecret(int n, const QByteArray &utf8, const QString &name,
                              const SecretDone &done) {
    if (!m_keeper) {
        const QString why = tr("No Secret Service is available.");
        if (done)
            done(false, why);
        emit secretFailed(n, why);
        return;
    }
    // Taken at once in memory only; the keeper's answer decides whether it stays.
    const int i = EntryStore::index(n);
    const bool wasSecret = m_entries.isSecret(n);
    m_secretBefore[i] = m_entries.content(n);
    const QString beforeName = m_entries.name(n);
    const QByteArray beforeSecret = m_secretTexts[i];
    const SecretState beforeState = m_secretStates[i];
    holdSecret(n, utf8, name);
    const QByteArray held = m_secretTexts[i];
    QPointer<EntrySession> self(this);
    ++m_secretCalls[i];
    // Until the keeper has it, the store keeps the entry's old text: no save or recovery copy
    // writes the empty one in its place.
    m_entries.holdBack(n, true);
    m_keeper->store(n, utf8, [=](const SecretKeeper::Answer &answer) {
        if (!self)
            return;
        --self->m_secretCalls[i];
        self->m_entries.holdBack(n, false);
        // What was held back is copied now, whatever the answer.
        self->scheduleRecoveryCopy();
        // Changed since (another paste, Clear, Load Set): the newer change decides, and this
        // answer neither marks nor puts back anything over it.
        const bool stillThis = self->m_entries.isSecret(n) &&
                               self->m_secretStates[i] == SecretState::Ready &&
                               self->m_secretTexts[i].isSharedWith(held);
        if (answer.status == SecretKeeper::Status::Done || !stillThis) {
            if (stillThis)
                self->m_secretBefore[i] = {};
            if (stillThis && !wasSecret)
                self->setSecret(n, true);
            if (done)
                done(true, QString());
            return;
        }
        // Put back as it was; a text that was never stored is not stored now either.
        self->m_secretTexts[i] = beforeSecret;
        self->m_secretStates[i] = beforeState;
        self->m_entries.setSecret(n, wasSecret);
        self->m_entries.setLocked(n, beforeState == SecretState::Locked);
        self->m_entries.setEntry(n, self->m_secretBefore[i], beforeName);
        self->m_secretBefore[i] = {};
        self->m_entries.refresh(n);
        if (done)
            done(false, answer.why);
        emit self->secretFailed(n, answer.why);
    });
}

void EntrySession::setSecret(int n, bool secret) {
    const int i = EntryStore::index(n);
    if (secret) {
        if (!m_keeper) {
            emit secretFailed(n, tr("No Secret Service is available."));
            return;
        }
        // Held by the keeper (already, or first): then the mark, and the text leaves the store.
        const bool held = m_entries.isSecret(n);
        // Marked already, its text still coming from the keeper: nothing to change, and nothing
        // to hold in its place.
        if (held && m_secretStates[i] == SecretState::Loading) {
            emit secretChanged(n, true);
            return;
        }
        const QByteArray utf8 = held ? m_secretTexts[i] : m_entries.utf8(n);
        if (m_entries.isUnreadable(n)) {
            emit secretFailed(n, tr("Its text could not be read from the settings file."));
            return;
        }
        auto mark = [this, n, utf8] {
            holdSecret(n, utf8, m_entries.name(n));
            if (m_recoveryWriter)
                m_recoveryWriter->waitUntilIdle();
            SettingsStore::Transaction transaction(m_store);
            bool written =
                saveSecretMark(m_store, n, true) && m_startup.saveEntry(m_store, m_entries, n);
            if (written && hasEntries(m_store, EntrySection::recovery()))
                written = m_recovery.saveEntry(m_store, m_entries, n);
            if (!written || !transaction.commit()) {
                // Not marked in the store: the entry goes back to plain, with its text, as the
                // store still has it; the keyring's copy stays until the next try.
                const QString why = m_store.lastError();
                m_secretTexts[EntryStore::index(n)].clear();
                m_secretStates[EntryStore::index(n)] = SecretState::Plain;
                m_entries.setSecret(n, false);
                m_entries.setEntry(n, QString::fromUtf8(utf8), m_entries.name(n));
                emit secretFailed(n, why);
                return;
            }
            // An earlier copy of the text is a secret now too: out of the history, and with
            // the rest out of the log.
            m_history->forget(utf8);
            foldLogAfterSecret();
            emit secretChanged(n, true);
        };
        if (held) {
            mark();
            return;
        }
        QPointer<EntrySession> self(this);
        const EntryStore::Content asked = m_entries.content(n);
        ++m_secretCalls[i];
        m_keeper->store(n, utf8, [self, n, i, mark, asked](const SecretKeeper::Answer &answer) {
            if (!self)
                return;
            --self->m_secretCalls[i];
            if (answer.status != SecretKeeper::Status::Done) {
                emit self->secretFailed(n, answer.why);
                return;
            }
            // Made secret meanwhile (a password manager's copy pasted): that change marks it.
            if (self->m_entries.isSecret(n))
                return;
            // Another text since it was asked (a paste, Load Set, the editor): the keeper's copy
            // of the old one goes again, and the entry keeps its newer text, plain.
            if (!self->m_entries.content(n).sameAs(asked)) {
                self->m_keeper->remove(n, [](const SecretKeeper::Answer &) {});
                emit self->secretFailed(
                    n, tr("Entry %1 changed while the Secret Service was asked; it was not made "
                          "secret.")
                           .arg(n));
                return;
            }
            mark();
        });
        return;
    }
    if (!m_entries.isSecret(n))
        return;
    if (m_secretStates[i] != SecretState::Ready) {
        emit secretFailed(n, tr("The Secret Service did not give the text of entry %1.").arg(n));
        return;
    }
    // The text comes back into the store before the keeper's item goes.
    const QByteArray utf8 = m_secretTexts[i];
    m_entries.setSecret(n, false);
    m_entries.setEntry(n, QString::fromUtf8(utf8), m_entries.name(n));
    SettingsStore::Transaction transaction(m_store);
    if (!saveSecretMark(m_store, n, false) || !m_startup.saveEntry(m_store, m_entries, n) ||
        !transaction.commit()) {
        m_entries.setEntry(n, QString(), m_entries.name(n));
        m_entries.setSecret(n, true);
        emit secretFailed(n, m_store.lastError());
        return;
    }
    m_secretTexts[i].clear();
    m_secretStates[i] = SecretState::Plain;
    emit secretChanged(n, false);
    QPointer<EntrySession> self(this);
    m_keeper->remove(n, [self, n](const SecretKeeper::Answer &answer) {
        if (self && answer.status == SecretKeeper::Status::Failed)
            emit self->secretFailed(n, answer.why);
    });
}

void EntrySession::releaseStoreViews() {
    m_entries.takeAllIntoMemory();
    for (EntryStore::Content &before : m_secretBefore) {
        QByteArray whole;
        if (before.isStored() && !before.inMemory && before.read(0, before.bytes, &whole))
            before = EntryStore::contentOf(whole);
        before.releaseStoreView();
    }
    emit storeViewsReleasing();
    m_startup.releaseStoreViews(m_entries);
    m_recovery.releaseStoreViews(m_entries);
    m_entries.releaseStoreViews();
}

void EntrySession::foldLogAfterSecret() {
    // The log keeps what was overwritten until it is folded back, and a view of the store
    // that a text is still read from holds it: the texts come into memory first.
    releaseStoreViews();
    if (m_store.foldLog(false))
        return;
    // Another program reads the store (a backup, the sqlite3 shell): the fold is tried again
    // each second until it has gone, without the window waiting for it.
    qWarning("the store's log could not be emptied yet: another program reads the store");
    m_foldRetry.start();
}

void EntrySession::clearTab(int tab) {
    for (int n = EntryStore::firstOfTab(tab); n < EntryStore::firstOfTab(tab + 1); ++n)
        clearEntry(n);
}

void EntrySession::clearAll() {
    for (int n = 1; n <= EntryStore::Count; ++n)
        clearEntry(n);
}

bool EntrySession::saveStartupEntries() {
    return m_startup.saveChanges(m_store, m_entries);
}

bool EntrySession::saveStartupEntriesAtEnd() {
    if (m_role != Role::Owner)
        return saveStartupEntries();
    m_recoveryTimer.stop();
    if (m_recoveryWriter)
        m_recoveryWriter->waitUntilIdle();
    // The copy goes first: the save's texts then take the pages it frees, so that the log
    // folded back at the end holds each changed text once rather than its copy as well. Texts
    // the entries hold now are kept elsewhere once the save is made; any other is zeroed.
    const SectionMirror startupBefore = m_startup;
    SettingsStore::Transaction transaction(m_store);
    if (!removeEntries(m_store, EntrySection::recovery(),
                       m_recovery.changedEntries(m_entries).isEmpty()) ||
        !m_startup.saveChanges(m_store, m_entries) || !transaction.commit()) {
        // Rolled back as a whole: the section holds what it held.
        m_startup = startupBefore;
        return false;
    }
    m_recovery.assume(m_startup);
    return true;
}

bool EntrySession::updateStartupEntries() {
    if (!saveStartupEntries())
        return false;
    limitStoreLog();
    return true;
}

void EntrySession::restoreStartupEntries() {
    m_startup.load(m_store, m_entries);
}

void EntrySession::restoreStartupEntry(int n) {
    if (EntryStore::isValid(n))
        m_startup.loadEntry(m_store, m_entries, n);
}

EntrySession::SetResult EntrySession::saveSet(const QString &path, QString *error) {
    // The file first: its old self, if any, had the same six lines, so only a new file needs
    // taking back when the entries fail.
    const bool existed = QFileInfo::exists(path);
    if (!Text::writeFileAtomically(path, EntrySet::fileText(path), error))
        return SetResult::FileFailed;
    if (!m_entries.save(m_store, EntrySection::set(path))) {
        if (!existed)
            QFile::remove(path);
        return SetResult::StoreFailed;
    }
    return SetResult::Done;
}

EntrySession::SetResult EntrySession::loadSet(const QString &path) {
    EntrySection section = EntrySection::set(path);
    if (!hasEntries(m_store, section)) {
        // A set file moved or renamed still names the path its entries were saved under.
        const EntrySet::Lines lines = EntrySet::readLines(path);
        const bool marked = lines.first == EntrySet::marker && !lines.sixth.isEmpty();
        // A sixth line naming the startup entries or the settings would empty them.
        if (marked && !EntrySection::isSetPath(lines.sixth))
            return SetResult::NotASet;
        // Loading nothing would empty all 30 entries.
        if (!marked || !hasEntries(m_store, EntrySection::set(lines.sixth)))
            return SetResult::NothingStored;
        section = EntrySection::set(lines.sixth);
    }
    // Secret entries are not part of sets: they stay as they are.
    QStringList secretNames;
    for (int n : secretEntries())
        secretNames << m_entries.name(n);
    m_entries.load(m_store, section);
    for (int n : secretEntries())
        m_entries.setEntry(n, QString(), secretNames.takeFirst());
    return SetResult::Done;
}

EntrySession::SetResult EntrySession::deleteSet(const QString &path, QString *error) {
    if (!removeEntries(m_store, EntrySection::set(path)))
        return SetResult::StoreFailed;
    QFile file(path);
    if (file.exists() && !file.remove()) {
        *error = file.errorString();
        return SetResult::FileFailed;
    }
    return SetResult::Done;
}

bool EntrySession::mayWriteAtEnd() const {
    // Where the start said that nothing can be kept, asking again at the end helps nobody.
    return m_role == Role::Owner && m_store.unwritableReason().isEmpty();
}

void EntrySession::end(bool saved) {
    m_ended = true;
    // A clean end drops the recovery copy, but only once the save it stands in for is made.
    if (saved)
        dropRecoveryCopy();
    m_recoveryTimer.stop();
}

void EntrySession::scheduleRecoveryCopy() {
    // Only auto-save promises to keep what is on screen; without it the startup entries are the
    // user's fixed choice and nothing else is kept.
    if (!m_ended && m_role == Role::Owner && m_options.autoSave && !m_recoveryTimer.isActive())
        m_recoveryTimer.start();
}

void EntrySession::writeRecoveryCopy() {
    // Only what changed since the last copy is written. Nobody waits for it: a failure is
    // logged, and another copy follows.
    if (!m_options.autoSave)
        return;
    if (!m_recoveryWriter) {
        m_recovery.saveChanges(m_store, m_entries);
        return;
    }
    QList<int> changed = m_recovery.changedEntries(m_entries);
    // A text that cannot be read goes nowhere; the copy keeps what it had of it.
    changed.removeIf(
        [this](int n) { return m_entries.isUnreadable(n) || m_entries.isHeldBack(n); });
    if (changed.isEmpty())
        return;
    QList<BackgroundWriter::Item> items;
    for (int n : changed) {
        items.append({n, m_entries.content(n), m_entries.name(n)});
        m_recovery.remember(m_entries, n);
    }
    m_recoveryWriter->write(EntrySection::recovery(), items,
                            [this, changed](bool written, const QList<int> &unreadable) {
                                // Left out of the copy: shown as unreadable, and the copy does not
                                // stand for them.
                                for (int n : unreadable) {
                                    m_entries.markUnreadable(n);
                                    m_recovery.forget(n);
                                }
                                QStringList numbers;
                                for (int n : changed)
                                    numbers << QString::number(n);
                                qCInfo(lcSession, "recovery copy %s: entries %s",
                                       written ? "written" : "not written",
                                       qUtf8Printable(numbers.join(QLatin1Char(' '))));
                                if (!written) {
                                    for (int n : changed)
                                        m_recovery.forget(n);
                                    scheduleRecoveryCopy();
                                }
                                limitStoreLog();
                                emit recoveryCopyEnded(written);
                            });
}

void EntrySession::limitStoreLog() {
    // While texts are read from the store as it was when they were loaded, its write-ahead log
    // keeps all that was written since. Past this size the texts come into memory instead, and
    // the log is folded back into the store.
    constexpr qint64 logLimit = qint64(256) * 1024 * 1024;
    if (m_store.logBytes() < logLimit)
        return;
    releaseStoreViews();
}

void EntrySession::dropRecoveryCopy() {
    m_recoveryTimer.stop();
    if (m_role != Role::Owner)
        return;
    if (m_recoveryWriter)
        m_recoveryWriter->waitUntilIdle();
    // Once the startup entries hold what the copy holds, its texts need no zeroing on the way out.
    removeEntries(m_store, EntrySection::recovery(), m_recovery.holdsSameAs(m_startup));
    // Without its own keys the copy stands for the startup entries.
    m_recovery.assume(m_startup);
}

bool EntrySession::recoverAfterUncleanEnd() {
    // A recovery copy left behind means the last run ended without closing: a crash, a kill or a
    // power cut. Its entries are newer than the startup entries. Another copy's live one is
    // not ours to read.
    if (m_role != Role::Owner || !hasEntries(m_store, EntrySection::recovery())) {
        m_recovery.assume(m_startup);
        return false;
    }
    if (!m_options.autoSave) {
        dropRecoveryCopy();
        return false;
    }
    // The copy holds the entries that had changed; the others are the startup entries.
    m_recovery.loadPresent(m_store, m_entries, m_startup);
    m_recoveryTimer.stop();
    return true;
}

void EntrySession::replaceDamagedStore() {
    if (m_ended || m_role != Role::Owner || !m_store.damageSeen())
        return;
    // Texts still read from the damaged file are taken out of it while it can still be read.
    m_entries.takeAllIntoMemory();
    if (m_recoveryWriter)
        m_recoveryWriter->closeStore();
    if (m_historyWriter)
        m_historyWriter->closeStore();
    if (!m_store.replaceDamaged())
        return;
    // What the rows read back from the old file had as a recovery copy is older than what is
    // on screen.
    removeEntries(m_store, EntrySection::recovery());
    // The fresh store takes what the program holds: nothing more is lost than the damage took.
    m_startup = SectionMirror(EntrySection::startup());
    const bool saved = saveStartupEntries();
    m_recovery.assume(m_startup);
    // Options and clippings are written the moment they change: what the old file still held
    // of them is their latest state; so is the history.
    loadOptionsAndClippings();
    m_history->reload();
    emit storeReplaced(saved);
}
