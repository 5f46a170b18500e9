// The clipboard history: what another program's copy leaves in it and what it never keeps,
// order and repeats, the size, clearing without a trace, a restart, the options and the
// command line's requests.

#include "app/remotecontrol.h"
#include "core/clipboardhistory.h"
#include "core/request.h"
#include "platform/wlclipboardwatch.h"
#include "support/session.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestHistory : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void whatIsKept_data();
    void whatIsKept();
    void newestFirstAndRepeatsMoveUp();
    void keptOverARestart();
    void oldestFallOff();
    void clearedLeavesNoTrace_data();
    void clearedLeavesNoTrace();
    void options_data();
    void options();
    void commands_data();
    void commands();
    void waylandWatchScript_data();
    void waylandWatchScript();

private:
    ClipboardHistory &history() { return m_s->session.history(); }
    QStringList starts() {
        QStringList out;
        for (int k = 1; k <= history().count(); ++k)
            out << history().start(k);
        return out;
    }
    // Carries out a command line's request; its status and what it prints.
    std::pair<int, QByteArray> command(Request::Kind kind, int k = 0);
    // Whether any file under the store's folder holds `bytes`.
    bool anyFileHolds(const QByteArray &bytes);
    void restart();

    QTemporaryDir m_dir;
    std::unique_ptr<Session> m_s;
};

void TestHistory::init() {
    m_s = newSession(m_dir);
    m_s->start();
}

void TestHistory::cleanup() {
    m_s.reset();
}

std::pair<int, QByteArray> TestHistory::command(Request::Kind kind, int k) {
    std::pair<int, QByteArray> got{-1, {}};
    carryOut(m_s->window, m_s->session, Request{kind, k},
             [&got](int status, const QByteArray &text) {
                 got = {status, text};
             });
    return got;
}

bool TestHistory::anyFileHolds(const QByteArray &bytes) {
    QDirIterator files(QFileInfo(m_s->store.path()).absolutePath(), QDir::Files);
    while (files.hasNext()) {
        if (readBytes(files.next()).contains(bytes))
            return true;
    }
    return false;
}

void TestHistory::restart() {
    const QString path = m_s->store.path();
    m_s.reset();
    m_s = std::make_unique<Session>(path);
    m_s->start();
}

void TestHistory::whatIsKept_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("marked");
    QTest::addColumn<bool>("kept");
    QTest::newRow("a plain copy") << "copied text" << false << true;
    QTest::newRow("spaces and breaks kept as copied") << "  a\r\nb\t " << false << true;
    QTest::newRow("a password manager's copy") << "hunter2" << true << false;
    QTest::newRow("only white space") << " \t\r\n " << false << false;
    QTest::newRow("16 MiB, the most") << QString(16 << 20, QLatin1Char('x')) << false << true;
    QTest::newRow("one byte over 16 MiB")
        << QString((16 << 20) + 1, QLatin1Char('x')) << false << false;
    QTest::newRow("non-ASCII, over two bytes each") << "Grüße ✓ 😀" << false << true;
}

void TestHistory::whatIsKept() {
    QFETCH(QString, text);
    QFETCH(bool, marked);
    QFETCH(bool, kept);
    m_s->desktop.copyByAnotherProgram(text, marked);
    QCOMPARE(history().count(), kept ? 1 : 0);
    if (!kept)
        return;
    bool read = false;
    QCOMPARE(history().text(1, &read), text.toUtf8());
    QVERIFY(read);
    // In the store within the writer's time, not only in memory.
    history().waitForWrites();
    restart();
    QCOMPARE(history().count(), 1);
    QCOMPARE(history().text(1, &read), text.toUtf8());
    QVERIFY(read);
}

void TestHistory::newestFirstAndRepeatsMoveUp() {
    for (const char *text : {"one", "two", "three"})
        m_s->desktop.copyByAnotherProgram(QString::fromLatin1(text));
    QCOMPARE(starts(), (QStringList{"three", "two", "one"}));
    m_s->desktop.copyByAnotherProgram(QStringLiteral("one"));
    QCOMPARE(starts(), (QStringList{"one", "three", "two"}));
    // The newest copied again changes nothing.
    m_s->desktop.copyByAnotherProgram(QStringLiteral("one"));
    QCOMPARE(starts(), (QStringList{"one", "three", "two"}));
    QVERIFY(history().copiedAtMs(1) > history().copiedAtMs(2));
    // The start is the first line; the whole text stays.
    m_s->desktop.copyByAnotherProgram(QStringLiteral("first line\nsecond line"));
    QCOMPARE(history().start(1), QStringLiteral("first line"));
    QCOMPARE(history().text(1), QByteArray("first line\nsecond line"));
}

void TestHistory::keptOverARestart() {
    for (const char *text : {"older", "newer"})
        m_s->desktop.copyByAnotherProgram(QString::fromLatin1(text));
    // The program ends without any closing (a kill): the writes it had given are there.
    history().waitForWrites();
    restart();
    QCOMPARE(starts(), (QStringList{"newer", "older"}));
    m_s->desktop.copyByAnotherProgram(QStringLiteral("older"));
    QCOMPARE(starts(), (QStringList{"older", "newer"}));
    history().waitForWrites();
    restart();
    QCOMPARE(starts(), (QStringList{"older", "newer"}));
}

void TestHistory::oldestFallOff() {
    QVERIFY(m_s->session.setHistorySize(10));
    for (int i = 1; i <= 12; ++i)
        m_s->desktop.copyByAnotherProgram(QStringLiteral("copy %1").arg(i));
    QCOMPARE(history().count(), 10);
    QCOMPARE(history().start(10), QStringLiteral("copy 3"));
    history().waitForWrites();
    restart();
    QCOMPARE(m_s->session.options().historySize, 10);
    QCOMPARE(history().count(), 10);
    QCOMPARE(history().start(1), QStringLiteral("copy 12"));
    // Out of range, the size is held to 10 to 10,000.
    QVERIFY(m_s->session.setHistorySize(3));
    QCOMPARE(m_s->session.options().historySize, 10);
}

void TestHistory::clearedLeavesNoTrace_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("--history-clear") << "command";
    QTest::newRow("history turned off") << "option";
    QTest::newRow("fallen off the end") << "size";
}

// A cleared text is in no file under the data home: not in the store, not in its log.
void TestHistory::clearedLeavesNoTrace() {
    QFETCH(QString, how);
    const QByteArray marker = "cleared-marker-" + QByteArray(QTest::currentDataTag()).toHex();
    m_s->desktop.copyByAnotherProgram(QString::fromLatin1(marker + "-" + QByteArray(5000, 'z')));
    history().waitForWrites();
    QVERIFY(anyFileHolds(marker));
    if (how == QLatin1String("command")) {
        QCOMPARE(command(Request::HistoryClear).first, 0);
    } else if (how == QLatin1String("option")) {
        m_s->desktop.nextAnswers = {0};
        m_s->item("HistoryMnu")->trigger();
    } else {
        QVERIFY(m_s->session.setHistorySize(10));
        for (int i = 0; i < 10; ++i)
            m_s->desktop.copyByAnotherProgram(QStringLiteral("newer %1").arg(i));
        history().waitForWrites();
        QVERIFY(m_s->store.foldLog(false));
    }
    QCOMPARE(history().count(), how == QLatin1String("size") ? 10 : 0);
    QVERIFY2(!anyFileHolds(marker), "a cleared text is still in a file");
}

void TestHistory::options_data() {
    QTest::addColumn<int>("answer");
    QTest::newRow("turned off after the question") << 0;
    QTest::newRow("the question cancelled") << 1;
}

void TestHistory::options() {
    QFETCH(int, answer);
    QAction *keep = m_s->item("HistoryMnu");
    QVERIFY(keep->isChecked());
    m_s->desktop.copyByAnotherProgram(QStringLiteral("kept"));
    m_s->desktop.nextAnswers = {answer};
    keep->trigger();
    QCOMPARE(
        m_s->desktop.questions,
        QStringList{QStringLiteral("Stop keeping the clipboard history, and clear all it holds?")});
    QCOMPARE(keep->isChecked(), answer != 0);
    QCOMPARE(history().count(), answer != 0 ? 1 : 0);
    QCOMPARE(m_s->stored(QStringLiteral("Settings"), QStringLiteral("History")),
             answer != 0 ? QString() : QStringLiteral("2"));
    // Off, nothing more is kept; on again (nothing to lose: no question), copies are.
    m_s->desktop.copyByAnotherProgram(QStringLiteral("after"));
    QCOMPARE(history().count(), answer != 0 ? 2 : 0);
    if (answer == 0) {
        m_s->desktop.questions.clear();
        keep->trigger();
        QVERIFY(m_s->desktop.questions.isEmpty());
        m_s->desktop.copyByAnotherProgram(QStringLiteral("again"));
        QCOMPARE(history().count(), 1);
    }
    m_s->desktop.nextNumbers = {50};
    m_s->item("HistorySizeMnu")->trigger();
    QCOMPARE(m_s->session.options().historySize, 50);
    QCOMPARE(m_s->stored(QStringLiteral("Settings"), QStringLiteral("HistorySize")),
             QStringLiteral("50"));
}

void TestHistory::commands_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("printed");
    QTest::addColumn<QString>("clipboard");
    QTest::newRow("--history") << int(Request::History) << 0 << 0
                               << QByteArray("1\t0\tthird, with a tab\n2\t0\tsecond\n"
                                             "3\t0\tfirst\n")
                               << "before";
    QTest::newRow("--history-get 1, exactly")
        << int(Request::HistoryGet) << 1 << 0 << QByteArray("third, with a\ttab\r\n") << "before";
    QTest::newRow("--history-get 3")
        << int(Request::HistoryGet) << 3 << 0 << QByteArray("first") << "before";
    QTest::newRow("--history-get 4, beyond the history")
        << int(Request::HistoryGet) << 4 << 2
        << QByteArray("there is no history item 4: the history holds 3") << "before";
    QTest::newRow("--history-copy 2")
        << int(Request::HistoryCopy) << 2 << 0 << QByteArray() << "second";
    QTest::newRow("--history-copy 9") << int(Request::HistoryCopy) << 9 << 2
                                      << QByteArray("there is no history item 9: the history "
                                                    "holds 3")
                                      << "before";
}

void TestHistory::commands() {
    QFETCH(int, kind);
    QFETCH(int, item);
    QFETCH(int, status);
    QFETCH(QByteArray, printed);
    QFETCH(QString, clipboard);
    for (const char *text : {"first", "second", "third, with a\ttab\r\n"})
        m_s->desktop.copyByAnotherProgram(QString::fromLatin1(text));
    m_s->desktop.clipboard = QStringLiteral("before");
    const auto [got, out] = command(Request::Kind(kind), item);
    QCOMPARE(got, status);
    QCOMPARE(out, printed);
    QCOMPARE(m_s->desktop.clipboard, clipboard);
    // Snapvale's own copy is not another program's: the history stays as it was.
    QCOMPARE(history().count(), 3);
}

void TestHistory::waylandWatchScript_data() {
    QTest::addColumn<QByteArray>("copied");
    QTest::addColumn<QString>("types"); // what `wl-paste --list-types` says of the copy
    QTest::addColumn<QString>("state"); // wl-clipboard 2.2's CLIPBOARD_STATE; 2.1 sets none
    QTest::addColumn<QByteArray>("record");
    const QByteArray text("tabs\tand\r\nbreaks \xc3\xa9\n");
    QTest::newRow("a text, wl-clipboard 2.1") << text << "text/plain;charset=utf-8"
                                              << ""
                                              << "data " + text.toBase64();
    QTest::newRow("a text, wl-clipboard 2.2") << text << "text/plain"
                                              << "data"
                                              << "data " + text.toBase64();
    QTest::newRow("marked, told by the types")
        << QByteArray("Manager-Pa55") << "text/plain\nx-kde-passwordManagerHint"
        << "" << QByteArray("sensitive");
    QTest::newRow("marked, told by the state") << QByteArray("Manager-Pa55") << "text/plain"
                                               << "sensitive" << QByteArray("sensitive");
    QTest::newRow("cleared") << QByteArray() << ""
                             << "clear" << QByteArray("clear");
    QTest::newRow("over the limit: cut one byte over it")
        << QByteArray(70, 'x') << "text/plain"
        << ""
        << "data " + QByteArray(65, 'x').toBase64();
}

void TestHistory::waylandWatchScript() {
    // The script wl-paste runs for each copy, run by the shell as wl-paste runs it, beside a
    // stand-in for `wl-paste --list-types`.
    QFETCH(QByteArray, copied);
    QFETCH(QString, types);
    QFETCH(QString, state);
    QFETCH(QByteArray, record);
    QTemporaryDir bin;
    const QString stub = bin.filePath(QStringLiteral("wl-paste"));
    writeBytes(stub, "#!/bin/sh\nprintf '%s\\n' '" + types.toUtf8() + "'\n");
    QVERIFY(QFile::setPermissions(stub, QFile::ReadOwner | QFile::ExeOwner));
    QProcess sh;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PATH"), bin.path() + QLatin1Char(':') + env.value("PATH"));
    env.remove(QStringLiteral("CLIPBOARD_STATE"));
    if (!state.isEmpty())
        env.insert(QStringLiteral("CLIPBOARD_STATE"), state);
    sh.setProcessEnvironment(env);
    sh.start(QStringLiteral("sh"),
             {QStringLiteral("-c"), QString::fromLatin1(WlClipboardWatch::script),
              QStringLiteral("sh"), QStringLiteral("65")});
    sh.write(copied);
    sh.closeWriteChannel();
    QVERIFY2(sh.waitForFinished(10000), "the watch script did not end");
    const QByteArray out = sh.readAllStandardOutput();
    QCOMPARE(out, record + '\n');
    // A marked text never reaches the program, not even in part.
    if (record == "sensitive")
        QVERIFY(!out.contains("Pa55"));
    QCOMPARE(WlClipboardWatch::textOfRecord(out.chopped(1)),
             record.startsWith("data ") ? QByteArray::fromBase64(record.mid(5)) : QByteArray());
}

QTEST_MAIN(TestHistory)
#include "test_history.moc"
