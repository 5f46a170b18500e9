// Secret entries as the window, the tray, the picker, the editor and the set files show and
// use them. A keeper in memory stands in for the Secret Service here (it can be told to
// refuse); tests/e2e/secrets.sh runs the same against GNOME Keyring for real.

#include "app/commands.h"
#include "app/remotecontrol.h"
#include "clipboard/replacedialog.h"
#include "core/secretkeeper.h"
#include "editor/editorwindow.h"
#include "main/entrytext.h"
#include "picker/pickercommands.h"
#include "picker/pickerwindow.h"
#include "support/session.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTimer>
#include <QToolButton>

#include <deque>
#include <functional>

namespace {

// Answers later, as the real one does; refuses everything while `refuse` is set. While `hold`
// is set, answers wait until answerNext() (a keyring whose unlock prompt is open).
class MemoryKeeper : public SecretKeeper {
public:
    QMap<int, QByteArray> items;
    bool refuse = false;
    bool hold = false;
    std::deque<std::function<void()>> held;
    int givenUp = 0;

    // The oldest held call is carried out (refused when `refuse`), and answered.
    void answerNext() {
        QVERIFY(!held.empty());
        auto next = std::move(held.front());
        held.pop_front();
        next();
    }
    // The newest held call, ahead of the older ones.
    void answerLast() {
        QVERIFY(!held.empty());
        auto last = std::move(held.back());
        held.pop_back();
        last();
    }
    bool waitForAnswers(int) override {
        for (int i = 0; i < 10; ++i) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
        return held.empty();
    }
    void giveUp() override {
        ++givenUp;
        while (!held.empty()) {
            refuse = true;
            answerNext();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        QCoreApplication::processEvents();
    }

    void store(int n, const QByteArray &utf8, Done done) override {
        answer(done, [this, n, utf8](Answer &a) {
            items[n] = utf8;
            a.status = Status::Done;
        });
    }
    void lookup(int n, Done done) override {
        answer(done, [this, n](Answer &a) {
            a.status = items.contains(n) ? Status::Done : Status::Missing;
            a.utf8 = items.value(n);
        });
    }
    void remove(int n, Done done) override {
        answer(done, [this, n](Answer &a) {
            items.remove(n);
            a.status = Status::Done;
        });
    }

private:
    void answer(const Done &done, const std::function<void(Answer &)> &act) {
        const auto carryOut = [this, done, act] {
            Answer a;
            if (refuse)
                a.why = QStringLiteral("The collection is locked.");
            else
                act(a);
            QTimer::singleShot(0, [done, a] { done(a); });
        };
        if (hold)
            held.push_back(carryOut);
        else
            carryOut();
    }
};

const QString secret = QStringLiteral(" hunter2 ");

} // namespace

class TestSecrets : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void shownMasked();
    void copiedExactlyWithTheMark();
    void markRefusedChangesNothing();
    void hintedPasteIsSecretAtOnce();
    void hintedPasteCommandTellsTheKeyringsAnswer_data();
    void hintedPasteCommandTellsTheKeyringsAnswer();
    void editorAsksFirstAndKeepsItSecret_data();
    void editorAsksFirstAndKeepsItSecret();
    void editorCopiesASecretAsEveryCopy_data();
    void editorCopiesASecretAsEveryCopy();
    void secretToAFileAsksFirst_data();
    void secretToAFileAsksFirst();
    void historyNeverKeepsASecret();
    void setsLeaveSecretsOut();
    void offBringsTheTextBack();
    void lockedAtStart();
    void clearTimeChosen_data();
    void clearTimeChosen();
    void commandsWaitForTheKeyringAtStart();
    void lateAnswerKeepsTheNewerText_data();
    void lateAnswerKeepsTheNewerText();
    void exitWhileTheKeyringWrites_data();
    void exitWhileTheKeyringWrites();
    void markReadWithItsText();
    void markedLeavesNoTrace_data();
    void markedLeavesNoTrace();

private:
    // Starts the program again over the same store, the keyring holding its answers.
    void restartHeld();
    // Carries out a command line's request; its answer lands in `got` (status -1 till then).
    void command(Request::Kind kind, int n, std::pair<int, QByteArray> *got);
    // Entry 3 holds the secret, marked, named "bank".
    void markEntry3();
    // The editor on entry 3, its secret shown after the question.
    EditorWindow *editSecret();
    QTemporaryDir m_dir;
    MemoryKeeper m_keeper;
    std::unique_ptr<Session> m_s;
};

void TestSecrets::init() {
    m_keeper = MemoryKeeper();
    m_s = newSession(m_dir);
    m_s->session.setSecretKeeper(&m_keeper);
    installCommands(m_s->window, m_s->session);
    m_s->start();
}

void TestSecrets::cleanup() {
    m_s.reset();
}

void TestSecrets::restartHeld() {
    const QString path = m_s->store.path();
    m_s.reset();
    m_keeper.hold = true;
    m_s = std::make_unique<Session>(path);
    m_s->session.setSecretKeeper(&m_keeper);
    installCommands(m_s->window, m_s->session);
    m_s->start();
}

void TestSecrets::command(Request::Kind kind, int n, std::pair<int, QByteArray> *got) {
    *got = {-1, QByteArray()};
    carryOut(m_s->window, m_s->session, Request{kind, n},
             [got](int status, const QByteArray &text) {
                 *got = {status, text};
             });
}

void TestSecrets::markEntry3() {
    m_s->setEntry(3, secret, QStringLiteral("bank"));
    QSignalSpy changed(&m_s->session, &EntrySession::secretChanged);
    m_s->session.setSecret(3, true);
    QTRY_COMPARE(changed.size(), 1);
    QVERIFY(m_s->session.isSecret(3));
}

void TestSecrets::shownMasked() {
    markEntry3();
    QCOMPARE(m_keeper.items.value(3), secret.toUtf8());
    // The store keeps the mark and the name, never the text.
    QCOMPARE(m_s->stored(QStringLiteral("Secrets"), QStringLiteral("Entry3")), QStringLiteral("1"));
    QCOMPARE(m_s->stored(QStringLiteral("Data"), QStringLiteral("Entry3")), QString());
    QCOMPARE(m_s->stored(QStringLiteral("Data"), QStringLiteral("Entry3b")),
             QStringLiteral("bank"));

    EntryText *field = m_s->window.entryField(3);
    QCOMPARE(field->displayText(), QString(8, QChar(0x25CF)));
    QCOMPARE(field->text(), QString());
    QAccessibleInterface *spoken = QAccessible::queryAccessibleInterface(field);
    QCOMPARE(spoken->text(QAccessible::Name), QStringLiteral("Entry 3, secret, bank"));
    QVERIFY(spoken->textInterface()->text(0, spoken->textInterface()->characterCount()).isEmpty());

    m_s->window.refreshTrayList();
    QCOMPARE(m_s->window.actions().trayEntry[2]->text(), QStringLiteral("&3  bank (secret)"));
    QVERIFY(entryListing(m_s->session).contains("3\tbank\t(secret)\n"));
    QVERIFY(!entryListing(m_s->session).contains("hunter2"));
}

void TestSecrets::copiedExactlyWithTheMark() {
    markEntry3();
    m_s->window.requestCopy(3);
    // The spaces at both ends are part of a password.
    QCOMPARE(m_s->desktop.clipboard, secret);
    QVERIFY(m_s->desktop.clipboardSecret);
    // A plain entry's copy is trimmed and unmarked, as ever.
    m_s->setEntry(4, QStringLiteral(" plain "));
    m_s->window.requestCopy(4);
    QCOMPARE(m_s->desktop.clipboard, QStringLiteral("plain"));
    QVERIFY(!m_s->desktop.clipboardSecret);
}

void TestSecrets::markRefusedChangesNothing() {
    m_s->setEntry(3, secret, QStringLiteral("bank"));
    QVERIFY(m_s->session.updateStartupEntries());
    m_keeper.refuse = true;
    QSignalSpy failed(&m_s->session, &EntrySession::secretFailed);
    m_s->session.setSecret(3, true);
    QTRY_COMPARE(failed.size(), 1);
    QTRY_COMPARE(m_s->desktop.messages.size(), 1);
    QVERIFY(m_s->desktop.messages.first().contains(QLatin1String("The collection is locked.")));
    QVERIFY(!m_s->session.isSecret(3));
    QCOMPARE(m_s->text(3), secret);
    QCOMPARE(m_s->stored(QStringLiteral("Data"), QStringLiteral("Entry3")), secret);
    QCOMPARE(m_s->stored(QStringLiteral("Secrets"), QStringLiteral("Entry3")), QString());
}

void TestSecrets::hintedPasteIsSecretAtOnce() {
    m_s->desktop.clipboard = QStringLiteral("from the password manager");
    m_s->desktop.clipboardSecret = true;
    m_s->window.numberedButtonReleased(4, Qt::LeftButton, QPoint());
    // Secret before the keeper even answered: the text never reaches the entries' store.
    QVERIFY(m_s->session.isSecret(4));
    QCOMPARE(m_s->text(4), QString());
    QTRY_COMPARE(m_s->stored(QStringLiteral("Secrets"), QStringLiteral("Entry4")),
                 QStringLiteral("1"));
    QCOMPARE(m_keeper.items.value(4), QByteArray("from the password manager"));
    QCOMPARE(m_s->session.fullText(4), QByteArray("from the password manager"));
}

void TestSecrets::hintedPasteCommandTellsTheKeyringsAnswer_data() {
    QTest::addColumn<QString>("before"); // entry 4
    QTest::addColumn<bool>("refuse");
    QTest::newRow("kept, into an empty entry") << "" << false;
    QTest::newRow("refused, into an empty entry") << "" << true;
    QTest::newRow("kept, over a text") << "old" << false;
    QTest::newRow("refused, over a text") << "old" << true;
}

void TestSecrets::hintedPasteCommandTellsTheKeyringsAnswer() {
    // `--paste` ends once the keyring answered: a refusal (the entry as it was) is a failure.
    QFETCH(QString, before);
    QFETCH(bool, refuse);
    m_s->setEntry(4, before);
    m_s->desktop.clipboard = QStringLiteral("from the password manager");
    m_s->desktop.clipboardSecret = true;
    m_keeper.hold = true;
    m_keeper.refuse = refuse;
    std::pair<int, QByteArray> got;
    command(Request::Paste, 4, &got);
    if (!before.isEmpty()) {
        QTRY_VERIFY(QApplication::activeModalWidget());
        auto *question = qobject_cast<ReplaceDialog *>(QApplication::activeModalWidget());
        QVERIFY(question);
        question->replaceButton(4)->click();
    }
    QCOMPARE(got.first, -1);
    m_keeper.answerNext();
    QTRY_COMPARE_NE(got.first, -1);
    QCOMPARE(got.first, refuse ? int(MainWindow::SecretRefused) : 0);
    QCOMPARE(got.second.contains("locked"), refuse);
    QCOMPARE(m_s->session.isSecret(4), !refuse);
    QCOMPARE(m_s->text(4), refuse ? before : QString());
}

void TestSecrets::editorAsksFirstAndKeepsItSecret_data() {
    QTest::addColumn<int>("answer");
    QTest::newRow("shown") << 0;
    QTest::newRow("not shown") << 1;
}

void TestSecrets::editorAsksFirstAndKeepsItSecret() {
    QFETCH(int, answer);
    markEntry3();
    m_s->desktop.nextAnswers = {answer};
    m_s->window.entryField(3)->clicked();
    QCOMPARE(m_s->desktop.questions,
             QStringList{QStringLiteral("Show the secret text of entry 3?")});
    auto *editor = m_s->window.findChild<EditorWindow *>();
    if (answer != 0) {
        QVERIFY(!editor || !editor->isVisible());
        return;
    }
    QVERIFY(editor);
    QTRY_COMPARE(editor->textEdit()->toPlainText(), secret);
    // What the editor writes back goes to the keeper, not into the store.
    editor->textEdit()->setPlainText(QStringLiteral("new secret"));
    editor->textEdit()->document()->setModified(true);
    m_s->desktop.nextAnswers.clear();
    editor->updateEntry();
    QTRY_COMPARE(m_keeper.items.value(3), QByteArray("new secret"));
    QVERIFY(m_s->session.isSecret(3));
    QCOMPARE(m_s->text(3), QString());
    QCOMPARE(m_s->session.entries().name(3), QStringLiteral("bank"));
}

EditorWindow *TestSecrets::editSecret() {
    m_s->desktop.nextAnswers = {0};
    m_s->window.entryField(3)->clicked();
    auto *editor = m_s->window.findChild<EditorWindow *>();
    m_s->desktop.questions.clear();
    // Null (failing the caller) unless the secret arrived in the editor.
    return editor &&
                   QTest::qWaitFor([editor] { return editor->textEdit()->toPlainText() == secret; })
               ? editor
               : nullptr;
}

void TestSecrets::editorCopiesASecretAsEveryCopy_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("copied");
    // Spaces and all: they are part of a password.
    QTest::newRow("copy button") << "PicClip" << secret;
    QTest::newRow("copy button that closes") << "PicClipExit" << secret;
    QTest::newRow("Edit, Copy of a selection") << "CopyMnu" << secret.left(4);
    QTest::newRow("Edit, Cut of a selection") << "CutMnu" << secret.left(4);
}

// The editor's copies of a secret are marked for clipboard history tools and taken off the
// clipboard after the time set, also once the editor is closed.
void TestSecrets::editorCopiesASecretAsEveryCopy() {
    QFETCH(QString, control);
    QFETCH(QString, copied);
    markEntry3();
    QVERIFY(m_s->session.setSecretClearSeconds(10));
    const QPointer<EditorWindow> editor = editSecret();
    QVERIFY(editor);
    if (control.endsWith(QLatin1String("Mnu"))) {
        QTextCursor cursor = editor->textEdit()->textCursor();
        cursor.setPosition(0);
        cursor.setPosition(int(copied.size()), QTextCursor::KeepAnchor);
        editor->textEdit()->setTextCursor(cursor);
        auto *item = editor->findChild<QAction *>(control);
        QVERIFY(item && item->isEnabled());
        item->trigger();
    } else {
        editor->findChild<QToolButton *>(control)->click();
    }
    QCOMPARE(m_s->desktop.clipboard, copied);
    QVERIFY(m_s->desktop.clipboardSecret);
    QCOMPARE(m_s->desktop.messages, QStringList());
    if (control == QLatin1String("PicClipExit")) {
        QTRY_VERIFY(!editor);
        QTRY_COMPARE_WITH_TIMEOUT(m_s->desktop.clipboard, QString(), 15000);
    }
}

void TestSecrets::secretToAFileAsksFirst_data() {
    QTest::addColumn<QString>("command");
    // Whether the entry is marked secret only while the file dialog is open.
    QTest::addColumn<bool>("markedMeanwhile");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("written");
    QTest::newRow("editor Save As, Save") << "SaveAsMnu" << false << 0 << true;
    QTest::newRow("editor Save As, Cancel") << "SaveAsMnu" << false << 1 << false;
    QTest::newRow("editor Save, Save") << "SaveMnu" << false << 0 << true;
    QTest::newRow("editor Save, Cancel") << "SaveMnu" << false << 1 << false;
    QTest::newRow("editor Save As, marked meanwhile, Cancel") << "SaveAsMnu" << true << 1 << false;
    QTest::newRow("Save Entry As, Save") << "mnuSaveEntry" << false << 0 << true;
    QTest::newRow("Save Entry As, Cancel") << "mnuSaveEntry" << false << 1 << false;
    QTest::newRow("Save Entry As, marked meanwhile, Save") << "mnuSaveEntry" << true << 0 << true;
    QTest::newRow("Save Entry As, marked meanwhile, Cancel")
        << "mnuSaveEntry" << true << 1 << false;
}

// A secret's text goes to a file only after the user said so, whenever it became secret.
void TestSecrets::secretToAFileAsksFirst() {
    QFETCH(QString, command);
    QFETCH(bool, markedMeanwhile);
    QFETCH(int, answer);
    QFETCH(bool, written);
    const QString path = m_dir.filePath(QStringLiteral("out.txt"));
    QFile::remove(path);
    const QString question = QStringLiteral(
        "Entry 3 is secret. Save its text to a file, where anyone who can read the file can "
        "read it?");
    QPointer<EditorWindow> editor;
    if (markedMeanwhile) {
        m_s->setEntry(3, secret, QStringLiteral("bank"));
        if (command != QLatin1String("mnuSaveEntry")) {
            m_s->window.entryField(3)->clicked();
            editor = m_s->window.findChild<EditorWindow *>();
            QVERIFY(editor);
            QTRY_COMPARE(editor->textEdit()->toPlainText(), secret);
        }
        m_s->desktop.duringFileDialog = [this] {
            QSignalSpy changed(&m_s->session, &EntrySession::secretChanged);
            m_s->session.setSecret(3, true);
            QTRY_COMPARE(changed.size(), 1);
        };
    } else {
        markEntry3();
        if (command != QLatin1String("mnuSaveEntry"))
            editor = editSecret();
    }
    m_s->desktop.nextFiles = {path};
    m_s->desktop.nextAnswers = {answer};
    if (command == QLatin1String("mnuSaveEntry")) {
        m_s->window.setCurrentEntry(3);
        m_s->item("mnuSaveEntry")->trigger();
    } else {
        QVERIFY(editor);
        editor->findChild<QAction *>(command)->trigger();
    }
    m_s->desktop.duringFileDialog = nullptr;
    QCOMPARE(m_s->desktop.questions, QStringList{question});
    QCOMPARE(QFile::exists(path), written);
    if (written) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().startsWith(secret.toUtf8()));
        // The user said so for this file: a second Save asks no more.
        if (editor) {
            m_s->desktop.questions.clear();
            editor->findChild<QAction *>(QStringLiteral("SaveMnu"))->trigger();
            QCOMPARE(m_s->desktop.questions, QStringList());
        }
    }
    if (editor)
        editor->closeWithoutAsking();
}

// Neither a password manager's copy nor a secret entry's text (copied before it was marked, or
// back from another program since) stays in the clipboard history, nor any byte of them in the
// store.
void TestSecrets::historyNeverKeepsASecret() {
    m_s->desktop.copyByAnotherProgram(secret);
    QCOMPARE(m_s->session.history().count(), 1);
    markEntry3();
    QCOMPARE(m_s->session.history().count(), 0);
    m_s->desktop.copyByAnotherProgram(secret);
    m_s->desktop.copyByAnotherProgram(QStringLiteral("from-the-manager"), true);
    QCOMPARE(m_s->session.history().count(), 0);
    m_s->desktop.copyByAnotherProgram(QStringLiteral("plain"));
    QCOMPARE(m_s->session.history().count(), 1);
    m_s->session.history().waitForWrites();
    const QString folder = QFileInfo(m_s->store.path()).absolutePath();
    for (const QString &file : QDir(folder).entryList(QDir::Files)) {
        const QByteArray bytes = readBytes(QDir(folder).filePath(file));
        QVERIFY2(!bytes.contains("hunter2") && !bytes.contains("from-the-manager"),
                 qPrintable(file));
    }
}

void TestSecrets::setsLeaveSecretsOut() {
    markEntry3();
    m_s->setEntry(5, QStringLiteral("plain five"));
    const QString set = m_dir.filePath(QStringLiteral("s.ent"));
    m_s->desktop.nextFiles = {set};
    m_s->item("SaveSetMnu")->trigger();
    QCOMPARE(m_s->desktop.messages.size(), 1);
    QVERIFY(m_s->desktop.messages.first().contains(QLatin1String("secret entries (3)")));
    QCOMPARE(m_s->stored(set, QStringLiteral("Entry3")), QString());
    QCOMPARE(m_s->stored(set, QStringLiteral("Entry5")), QStringLiteral("plain five"));
    // Loading it leaves the secret entry as it is.
    m_s->setEntry(5, QString());
    QCOMPARE(m_s->session.loadSet(set), EntrySession::SetResult::Done);
    QCOMPARE(m_s->text(5), QStringLiteral("plain five"));
    QVERIFY(m_s->session.isSecret(3));
    QCOMPARE(m_s->session.fullText(3), secret.toUtf8());
    QCOMPARE(m_s->session.entries().name(3), QStringLiteral("bank"));
}

void TestSecrets::offBringsTheTextBack() {
    markEntry3();
    QSignalSpy changed(&m_s->session, &EntrySession::secretChanged);
    m_s->session.setSecret(3, false);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(m_s->text(3), secret);
    QCOMPARE(m_s->stored(QStringLiteral("Data"), QStringLiteral("Entry3")), secret);
    QCOMPARE(m_s->stored(QStringLiteral("Secrets"), QStringLiteral("Entry3")), QString());
    QTRY_VERIFY(!m_keeper.items.contains(3));
}

void TestSecrets::lockedAtStart() {
    markEntry3();
    const QString path = m_s->store.path();
    m_s.reset();
    // The next start finds the mark but the keyring gives nothing: "(locked)", no copy.
    m_keeper.refuse = true;
    m_s = std::make_unique<Session>(path);
    m_s->session.setSecretKeeper(&m_keeper);
    installCommands(m_s->window, m_s->session);
    m_s->start();
    QTRY_COMPARE(m_s->window.entryField(3)->displayText(), QStringLiteral("(locked)"));
    m_s->desktop.clipboard = QStringLiteral("before");
    m_s->window.requestCopy(3);
    QCOMPARE(m_s->desktop.clipboard, QStringLiteral("before"));
    QCOMPARE(m_s->desktop.messages.size(), 1);
    QVERIFY(m_s->desktop.messages.first().contains(QLatin1String("may be locked")));
}

void TestSecrets::clearTimeChosen_data() {
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<int>("seconds");
    QTest::newRow("chosen") << QList<int>{45} << 45;
    QTest::newRow("cancelled") << QList<int>{} << 30;
    QTest::newRow("below the least") << QList<int>{3} << 10;
}

void TestSecrets::clearTimeChosen() {
    QFETCH(QList<int>, answers);
    QFETCH(int, seconds);
    m_s->desktop.nextNumbers = answers;
    m_s->item("SecretClearMnu")->trigger();
    QCOMPARE(m_s->session.options().secretClearSeconds, seconds);
    // Kept for the next start.
    QCOMPARE(loadOptions(m_s->store).secretClearSeconds, seconds);
}

void TestSecrets::commandsWaitForTheKeyringAtStart() {
    // Right after the start the keyring has not answered yet (it may be asking to be unlocked):
    // commands wait for it instead of taking the secret as empty, and marking it again changes
    // nothing.
    markEntry3();
    restartHeld();
    QCOMPARE(m_keeper.held.size(), size_t(1));
    std::pair<int, QByteArray> on, get, copy;
    command(Request::SecretOn, 3, &on);
    QCOMPARE(on.first, 0);
    command(Request::Get, 3, &get);
    m_s->desktop.clipboard = QStringLiteral("before");
    command(Request::Copy, 3, &copy);
    QCOMPARE(get.first, -1);
    QCOMPARE(copy.first, -1);
    QCOMPARE(m_s->stored(QStringLiteral("Secrets"), QStringLiteral("Entry3")), QStringLiteral("1"));
    m_keeper.answerNext();
    QTRY_COMPARE(get.first, 0);
    QCOMPARE(get.second, secret.toUtf8());
    QCOMPARE(copy.first, 0);
    QCOMPARE(m_s->desktop.clipboard, secret);
    // Off, the text comes back into the store whole.
    m_keeper.hold = false;
    std::pair<int, QByteArray> off;
    command(Request::SecretOff, 3, &off);
    QTRY_COMPARE(off.first, 0);
    QCOMPARE(m_s->stored(QStringLiteral("Data"), QStringLiteral("Entry3")), secret);
}

void TestSecrets::lateAnswerKeepsTheNewerText_data() {
    QTest::addColumn<QString>("meanwhile");
    QTest::newRow("a paste") << "paste";
    QTest::newRow("Load Set") << "set";
    QTest::newRow("Clear Entry") << "clear";
}

void TestSecrets::lateAnswerKeepsTheNewerText() {
    // Marked secret while the keyring asks to be unlocked, then changed: the late answer does
    // not put the old text back over the newer one, and the keyring keeps no copy of it.
    QFETCH(QString, meanwhile);
    const QString set = m_dir.filePath(QStringLiteral("late-%1.ent").arg(meanwhile));
    m_s->setEntry(3, QStringLiteral("from the set"));
    QVERIFY(m_s->session.saveSet(set, nullptr) == EntrySession::SetResult::Done);
    m_s->setEntry(3, QStringLiteral("old text"));
    m_keeper.hold = true;
    QSignalSpy failed(&m_s->session, &EntrySession::secretFailed);
    m_s->session.setSecret(3, true);
    QString expected;
    if (meanwhile == QLatin1String("paste")) {
        QVERIFY(m_s->session.setEntryText(3, QStringLiteral("pasted meanwhile")));
        expected = QStringLiteral("pasted meanwhile");
    } else if (meanwhile == QLatin1String("set")) {
        QVERIFY(m_s->session.loadSet(set) == EntrySession::SetResult::Done);
        expected = QStringLiteral("from the set");
    } else {
        m_s->session.clearEntry(3);
    }
    m_keeper.hold = false;
    m_keeper.answerNext();
    QTRY_COMPARE(failed.size(), 1);
    QVERIFY(!m_s->session.isSecret(3));
    QCOMPARE(m_s->text(3), expected);
    QTRY_VERIFY(!m_keeper.items.contains(3));
    QCOMPARE(m_s->stored(QStringLiteral("Secrets"), QStringLiteral("Entry3")), QString());
}

void TestSecrets::exitWhileTheKeyringWrites_data() {
    QTest::addColumn<int>("reason");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<bool>("kept");
    QTest::newRow("SIGTERM or log-out")
        << int(MainWindow::CloseReason::SessionEnd) << QList<int>{} << false;
    QTest::newRow("Exit, Exit Anyway")
        << int(MainWindow::CloseReason::Exit) << QList<int>{1} << false;
    QTest::newRow("Exit, Wait, then unlocked")
        << int(MainWindow::CloseReason::Exit) << QList<int>{0} << true;
}

void TestSecrets::exitWhileTheKeyringWrites() {
    // A password manager's copy pasted over a saved entry while the keyring asks to be
    // unlocked, then the program ends: it waits a moment, then gives the call up (asking first
    // where a window can). The entry keeps its saved text, never an empty one, and the program
    // ends; or, waited for, the secret is kept.
    QFETCH(int, reason);
    QFETCH(QList<int>, answers);
    QFETCH(bool, kept);
    m_s->setEntry(5, QStringLiteral("saved five"));
    QVERIFY(m_s->window.updateStartupEntries());
    m_keeper.hold = true;
    QVERIFY(m_s->session.setSecretText(5, QStringLiteral("new password")));
    QVERIFY(m_s->session.isSecret(5));
    // The question at Exit names the entry; Wait gives the keyring time to answer.
    m_s->desktop.nextAnswers = answers;
    if (kept)
        QTimer::singleShot(0, [this] {
            m_keeper.hold = false;
            m_keeper.answerNext();
        });
    m_s->window.unload(MainWindow::CloseReason(reason));
    QVERIFY(m_s->window.isUnloaded());
    if (reason == int(MainWindow::CloseReason::Exit) && !kept) {
        QCOMPARE(m_s->desktop.questions.size(), 1);
        QVERIFY(m_s->desktop.questions.constFirst().contains(QLatin1String("entry 5")));
    }
    QCOMPARE(m_keeper.givenUp, kept ? 0 : 1);
    if (kept) {
        QCOMPARE(m_s->stored(QStringLiteral("Secrets"), QStringLiteral("Entry5")),
                 QStringLiteral("1"));
        QCOMPARE(m_s->stored(QStringLiteral("Data"), QStringLiteral("Entry5")), QString());
        QCOMPARE(m_keeper.items.value(5), QByteArray("new password"));
    } else {
        QCOMPARE(m_s->stored(QStringLiteral("Data"), QStringLiteral("Entry5")),
                 QStringLiteral("saved five"));
        QCOMPARE(m_s->stored(QStringLiteral("Secrets"), QStringLiteral("Entry5")), QString());
        QVERIFY(!m_keeper.items.contains(5));
    }
}

void TestSecrets::markedLeavesNoTrace_data() {
    QTest::addColumn<QString>("holder");
    QTest::newRow("the editor open on a large entry") << "editor";
    QTest::newRow("a password manager's copy over a large entry, the keyring still asking")
        << "paste";
}

void TestSecrets::markedLeavesNoTrace() {
    // Something holds a view of a large entry still read from the store; marking another entry
    // secret still takes its text out of every file, the log included, and loses nothing.
    QFETCH(QString, holder);
    const QByteArray plain = "Pla1n-T3xt-to-hide";
    const QString large(64 * 1024, QLatin1Char('e'));
    m_s->setEntry(3, QString::fromLatin1(plain));
    m_s->setEntry(4, large);
    QVERIFY(m_s->window.updateStartupEntries());
    restartHeld();
    m_keeper.hold = false;
    QVERIFY(!m_s->session.entries().content(4).inMemory);
    EditorWindow *editor = nullptr;
    if (holder == QLatin1String("editor")) {
        m_s->window.setCurrentEntry(4);
        m_s->item("mnuEdit")->trigger();
        editor = openDialog<EditorWindow>(m_s->window, "FrmText");
        QVERIFY(editor);
    } else {
        m_keeper.hold = true;
        QVERIFY(m_s->session.setSecretText(4, QStringLiteral("pw")));
    }
    QSignalSpy changed(&m_s->session, &EntrySession::secretChanged);
    m_s->session.setSecret(3, true);
    if (holder == QLatin1String("paste")) {
        // Entry 3's mark comes first; entry 4's keyring then refuses, and it gets its text back.
        m_keeper.answerLast();
        QTRY_COMPARE(changed.size(), 1);
        m_keeper.refuse = true;
        m_keeper.answerNext();
        QTRY_VERIFY(!m_s->session.isSecret(4));
        QCOMPARE(m_s->text(4), large);
    }
    QTRY_COMPARE(changed.size(), 1);
    const QDir folder = QFileInfo(m_s->store.path()).dir();
    for (const QString &name : folder.entryList(QDir::Files))
        QVERIFY2(!readBytes(folder.filePath(name)).contains(plain), qPrintable(name));
    if (editor) {
        // The editor still shows and keeps its whole text.
        QTRY_COMPARE(editor->text().size(), large.size());
        editor->updateEntry();
        QCOMPARE(m_s->text(4), large);
    }
}

void TestSecrets::markReadWithItsText() {
    // A password manager clears its copy just after Snapvale read the text: the mark, seen
    // before the text was read, still makes the entry secret instead of plain text in the store.
    m_s->desktop.clipboard = QStringLiteral("cleared at once");
    m_s->desktop.clipboardSecret = true;
    m_s->desktop.afterTextRead = [this] {
        m_s->desktop.afterTextRead = nullptr;
        m_s->desktop.clipboard.clear();
        m_s->desktop.clipboardSecret = false;
    };
    m_s->window.numberedButtonReleased(6, Qt::LeftButton, QPoint());
    QVERIFY(m_s->session.isSecret(6));
    QTRY_COMPARE(m_keeper.items.value(6), QByteArray("cleared at once"));
    QCOMPARE(m_s->text(6), QString());
}

QTEST_MAIN(TestSecrets)
#include "test_secrets.moc"
