#include "main/menucaption.h"
#include "quick/clippingswindow.h"
#include "quick/namedialog.h"
#include "quick/quickcommands.h"
#include "support/session.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTemporaryDir>

#include <memory>

class TestQuick : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_s.reset(); }

    void naming_data();
    void naming();
    void namingAnEmptyEntry();
    void namingWindow();
    void frequentClippingsEdited();
    void frequentClippingsCopiedTrimmed_data();
    void frequentClippingsCopiedTrimmed();
    void trayClickThenExitWritesAll();
    void trayRestsWhileEditing();
    void connectToUrl_data();
    void connectToUrl();

private:
    NameDialog *namingWindowOpen() { return openDialog<NameDialog>(m_s->window, "FrmNameEntry"); }
    QTemporaryDir m_dir;
    std::unique_ptr<Session> m_s;
    QuickCommands *m_commands = nullptr;
};

void TestQuick::init() {
    m_s = newSession(m_dir);
    m_commands = new QuickCommands(m_s->window);
    m_s->start();
}

void TestQuick::naming_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("after");
    QTest::newRow("Untitled opens an empty field") << "Untitled"
                                                   << ""
                                                   << "Work"
                                                   << "OK"
                                                   << "Work";
    QTest::newRow("a name is shown") << "Home"
                                     << "Home"
                                     << "Office"
                                     << "OK"
                                     << "Office";
    QTest::newRow("other letter case is a name") << "untitled"
                                                 << "untitled"
                                                 << "untitled"
                                                 << "OK"
                                                 << "untitled";
    QTest::newRow("empty name opens empty") << ""
                                            << ""
                                            << "x"
                                            << "OK"
                                            << "x";
    QTest::newRow("empty typed gives Untitled") << "Home"
                                                << "Home"
                                                << ""
                                                << "OK"
                                                << "Untitled";
    QTest::newRow("spaces kept") << "Untitled"
                                 << ""
                                 << "  two  "
                                 << "OK"
                                 << "  two  ";
    QTest::newRow("Cancel keeps the name") << "Home"
                                           << "Home"
                                           << "gone"
                                           << "Cancel"
                                           << "Home";
    QTest::newRow("close box keeps the name") << "Home"
                                              << "Home"
                                              << "gone"
                                              << "close"
                                              << "Home";
    QTest::newRow("Esc presses nothing") << "Home"
                                         << "Home"
                                         << "gone"
                                         << "Esc"
                                         << "Home";
    QTest::newRow("Enter presses OK") << "Home"
                                      << "Home"
                                      << "Office"
                                      << "Enter"
                                      << "Office";
}

void TestQuick::naming() {
    QFETCH(QString, name);
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, answer);
    QFETCH(QString, after);
    m_s->setEntry(12, QStringLiteral("some text"), name);
    m_s->window.setCurrentEntry(12);
    m_s->item("mnuNameEntry")->trigger();
    NameDialog *w = namingWindowOpen();
    QVERIFY(w);
    QLineEdit *edit = w->findChild<QLineEdit *>(QStringLiteral("TxtEntryName12"));
    QVERIFY(edit);
    QCOMPARE(edit->text(), field);
    edit->setText(typed);
    if (answer == QLatin1String("OK")) {
        w->findChild<QPushButton *>(QStringLiteral("CmdOKName12"))->click();
    } else if (answer == QLatin1String("Cancel")) {
        w->findChild<QPushButton *>(QStringLiteral("CmdCancel"))->click();
    } else if (answer == QLatin1String("close")) {
        w->close();
    } else if (answer == QLatin1String("Enter")) {
        QTest::keyClick(edit, Qt::Key_Return);
    } else {
        QTest::keyClick(edit, Qt::Key_Escape);
        QVERIFY(namingWindowOpen());
        w->close();
    }
    QVERIFY(!namingWindowOpen());
    QCOMPARE(m_s->name(12), after);
    QCOMPARE(m_s->window.entryField(12)->toolTip(), after);
    QCOMPARE(m_s->text(12), QStringLiteral("some text"));
    QVERIFY(m_s->desktop.messages.isEmpty());
    // Naming is not saving.
    QCOMPARE(m_s->stored(QStringLiteral("Data"), QStringLiteral("Entry12b")), QString());
}

void TestQuick::namingAnEmptyEntry() {
    m_s->setEntry(3, QString(), QStringLiteral("Home"));
    m_s->window.setCurrentEntry(3);
    m_s->item("mnuNameEntry")->trigger();
    QVERIFY(!namingWindowOpen());
    QCOMPARE(m_s->desktop.messages,
             QStringList{QStringLiteral("The selected entry does not exist.")});
    QCOMPARE(m_s->name(3), QStringLiteral("Home"));
}

void TestQuick::namingWindow() {
    m_s->setEntry(1, QStringLiteral("x"));
    m_s->window.setCurrentEntry(1);
    m_s->window.toggleOnTop(); // always on top off
    m_s->item("mnuNameEntry")->trigger();
    NameDialog *w = namingWindowOpen();
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QStringLiteral("Snapvale - Entry 1"));
    QVERIFY(w->isModal());
    QVERIFY(!w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(w->findChild<QLineEdit *>(QStringLiteral("TxtEntryName")));
    QCOMPARE(w->findChild<QLabel *>(QStringLiteral("LblEnterIdentifier"))->text(),
             QStringLiteral("Enter a name to identify your entry."));
    QCOMPARE(w->okButton()->objectName(), QStringLiteral("CmdOKName1"));
    QCOMPARE(w->okButton()->text(), QStringLiteral("&OK"));
    w->close();

    m_s->window.toggleOnTop(); // on again: the next window follows
    m_s->item("mnuNameEntry")->trigger();
    QVERIFY(namingWindowOpen()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    namingWindowOpen()->close();
}

void TestQuick::frequentClippingsEdited() {
    m_s->item("mnuConfigure")->trigger();
    ClippingsWindow *editor = m_commands->clippingsWindow();
    QVERIFY(editor->isVisible());
    QCOMPARE(editor->windowTitle(), QStringLiteral("Add Frequently Used Clippings"));
    QVERIFY(!editor->isModal());
    for (int k = 1; k <= 20; ++k)
        QCOMPARE(editor->field(k)->text(), QString());
    editor->field(3)->setText(QStringLiteral("  kind regards & thanks  "));
    editor->field(20)->setText(QStringLiteral("last"));
    editor->close();
    QCOMPARE(literalCaption(m_s->item("mnu03")), QStringLiteral("  kind regards & thanks  "));
    QCOMPARE(m_s->stored(QStringLiteral("Frequent"), QStringLiteral("03")),
             QStringLiteral("  kind regards & thanks  "));
    QCOMPARE(m_s->stored(QStringLiteral("Frequent"), QStringLiteral("20")), QStringLiteral("last"));

    // Cleared: the item hides, the key stays with the empty string.
    m_s->item("mnuConfigure")->trigger();
    QCOMPARE(m_commands->clippingsWindow()->field(3)->text(),
             QStringLiteral("  kind regards & thanks  "));
    m_commands->clippingsWindow()->field(20)->clear();
    m_commands->clippingsWindow()->close();
    m_s->window.refreshTrayList();
    QVERIFY(!m_s->item("mnu20")->isVisible());
    QVERIFY(m_s->item("mnu03")->isVisible());
    QCOMPARE(m_s->stored(QStringLiteral("Frequent"), QStringLiteral("20")), QString());
    QVERIFY(m_s->store.hasSection(QStringLiteral("Frequent")));
}

void TestQuick::frequentClippingsCopiedTrimmed_data() {
    QTest::addColumn<QString>("clipping");
    QTest::addColumn<QString>("copied");
    QTest::newRow("spaces at the ends") << "  hello  "
                                        << "hello";
    QTest::newRow("ampersand kept") << "R&D"
                                    << "R&D";
    QTest::newRow("tab kept") << "\tx"
                              << "\tx";
}

void TestQuick::frequentClippingsCopiedTrimmed() {
    QFETCH(QString, clipping);
    QFETCH(QString, copied);
    QStringList clippings(20);
    clippings[6] = clipping;
    QVERIFY(m_s->session.setClippings(clippings));
    m_s->item("mnu07")->trigger();
    QCOMPARE(m_s->desktop.clipboard, copied);
    QCOMPARE(literalCaption(m_s->item("mnu07")), clipping);
    m_s->desktop.failingWrites = 1;
    m_s->item("mnu07")->trigger();
    QCOMPARE(m_s->desktop.messages,
             QStringList{QStringLiteral("Error copying to clipboard. Please retry.")});
}

void TestQuick::trayClickThenExitWritesAll() {
    m_s->store.set(QStringLiteral("Frequent"), QStringLiteral("05"), QStringLiteral("five"));
    m_s->window.loadAtStart();
    m_s->window.hide();
    emit m_s->window.trayIcon()->activated(QSystemTrayIcon::Trigger);
    QCOMPARE(m_s->desktop.popups.size(), 1);
    m_s->item("ExitMnu")->trigger();
    for (int k = 1; k <= 20; ++k)
        QCOMPARE(m_s->stored(QStringLiteral("Frequent"),
                             QStringLiteral("%1").arg(k, 2, 10, QLatin1Char('0'))),
                 k == 5 ? QStringLiteral("five") : QString());
    QCOMPARE(m_s->store.get(QStringLiteral("Frequent"), QStringLiteral("20")), QString());

    // A second start finds them in the same places.
    const QString path = m_s->store.path();
    m_s.reset();
    m_s = std::make_unique<Session>(path);
    new QuickCommands(m_s->window);
    m_s->start();
    QCOMPARE(literalCaption(m_s->item("mnu05")), QStringLiteral("five"));
    QCOMPARE(literalCaption(m_s->item("mnu04")), QString());
}

void TestQuick::trayRestsWhileEditing() {
    m_s->window.hide();
    m_s->item("mnuConfigure")->trigger();
    emit m_s->window.trayIcon()->activated(QSystemTrayIcon::Trigger);
    emit m_s->window.trayIcon()->activated(QSystemTrayIcon::Context);
    QVERIFY(m_s->desktop.popups.isEmpty());
    m_commands->clippingsWindow()->close();
    emit m_s->window.trayIcon()->activated(QSystemTrayIcon::Context);
    QCOMPARE(m_s->desktop.popups.size(), 1);
}

void TestQuick::connectToUrl_data() {
    QTest::addColumn<int>("current");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("message");
    const QString failed = QStringLiteral("Error executing command.\r\nPlease sign on and retry.");
    const QString trap = QStringLiteral(
        "Please be sure the entry is a proper URL.\r\n(example: https://www.example.com)");
    QTest::newRow("opened") << 7 << true << "";
    QTest::newRow("not opened") << 7 << false << failed;
    QTest::newRow("no current entry") << 0 << true << trap;
    QTest::newRow("current entry 31") << 31 << true << trap;
}

void TestQuick::connectToUrl() {
    QFETCH(int, current);
    QFETCH(bool, opens);
    QFETCH(QString, message);
    // Handed over unchanged, spaces, line breaks and shell characters included.
    const QString text = QStringLiteral(" https://example.org/?q=a;b&c=$(rm -rf x)\r\n");
    m_s->setEntry(7, text, QStringLiteral("link"));
    m_s->window.setCurrentEntry(current);
    m_s->desktop.openSucceeds = opens;
    m_s->item("mnuConnect")->trigger();
    QCOMPARE(m_s->desktop.openedTargets,
             message.startsWith(QLatin1String("Please")) ? QStringList() : QStringList{text});
    QCOMPARE(m_s->desktop.messages, message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(m_s->text(7), text);
    QCOMPARE(m_s->name(7), QStringLiteral("link"));
}

QTEST_MAIN(TestQuick)
#include "test_quick.moc"
