#include "main/autostart.h"
#include "main/entrytext.h"
#include "main/mainwindow.h"
#include "main/menucaption.h"
#include "platform/qtdesktop.h"
#include "support/scripteddesktop.h"
#include "support/session.h"

#include <QAccessible>
#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>
#include <sqlite3.h>

namespace {

// Rows of one section, counted from the file as an outside tool would.
int rows(const QString &path, const char *section) {
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, "SELECT count(*) FROM settings WHERE section = ?1", -1, &st, nullptr);
    sqlite3_bind_text(st, 1, section, -1, SQLITE_STATIC);
    const int count = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : -1;
    sqlite3_finalize(st);
    sqlite3_close(db);
    return count;
}

bool topmost(QWidget *w) {
    return w->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_session.reset(); }

    void designTimeState();
    void fileDialogFolderAndSuffix_data();
    void fileDialogFolderAndSuffix();
    void captionsAndNames_data();
    void captionsAndNames();
    void popupMenusStayOutOfMenuBar();
    void firstRun();
    void storedOptions_data();
    void storedOptions();
    void closing_data();
    void closing();
    void closeBoxWithoutTrayMinimises();
    void togglesStoredAtOnceAndReadBack();
    void entriesSurviveRestart_data();
    void entriesSurviveRestart();
    void unusableStoreMovedAsideAndUserTold();
    void mouseover_data();
    void mouseover();
    void trayClicksOnlyWhileHidden();
    void hideInTrayAndShow();
    void otherWindowsFollowOnTopWhenTheyLoad();
    void startupEntries();
    void restoreWithNothingStored();
    void trayEntryCaptions_data();
    void trayEntryCaptions();
    void trayListsWhenAllEmpty();
    void trayEntryCopiesWholeText();
    void trayWaitsForAnOpenDialog_data();
    void trayWaitsForAnOpenDialog();
    void trayGateHoldsMenus();
    void minimisedWindowBackFromTray();
    void recoveryAfterUncleanEnd();
    void noRecoveryWithoutAutoSave();
    void savesWriteOnlyChanges();
    void accessibleEntries_data();
    void accessibleEntries();
    void startAtLogin();
    void startAtLoginFromAnyPath_data();
    void startAtLoginFromAnyPath();
    void startAtLoginPercent();
    void screenshots();
    void literalMenuCaptions_data();
    void literalMenuCaptions();

private:
    Session &start() {
        m_session.reset();
        m_session = std::make_unique<Session>(m_path);
        return *m_session;
    }
    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<Session> m_session;
};

void TestMainWindow::init() {
    QVERIFY(m_dir.isValid());
    // A store of its own for every test and data row.
    static int run = 0;
    m_path = m_dir.filePath(QStringLiteral("run%1/settings.sqlite3").arg(++run));
}

void TestMainWindow::designTimeState() {
    Session &s = start();
    for (int n = 1; n <= EntryStore::Count; ++n) {
        QCOMPARE(s.window.entryField(n)->text(), QString());
        QCOMPARE(s.window.entryField(n)->toolTip(), QStringLiteral("Untitled"));
    }
    QCOMPARE(s.window.currentEntry(), 0);
}

void TestMainWindow::captionsAndNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shortcut");
    const auto row = [](const char *name, const char *caption, const char *shortcut = "") {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(caption)
                            << QString::fromLatin1(shortcut);
    };
    row("FileMnu", "&File");
    row("LoadMnu", "&Load Set", "Ctrl+L");
    row("SaveSetMnu", "&Save Set", "Ctrl+S");
    row("DeleteMnu", "&Delete Set", "Ctrl+D");
    row("ExitMnu", "E&xit");
    row("OptionsMnu", "&Options");
    row("MinimizeMnu", "&Hide in Tray");
    row("OnTopMnu", "Always on &Top");
    row("ActivateMnu", "Active on &Mouseover");
    row("UpdateMnu", "&Update Startup Entries");
    row("AutoSaveMnu", "Auto-Save on &Exit");
    row("ClearMnu", "&Clear All");
    row("mnuClear", "Clear Tab");
    row("mnuOne", "&1");
    row("mnuSix", "&6");
    row("RestoreMnu", "&Restore Startup Entries");
    row("MainHelpMnu", "&Help");
    row("HelpMnu", "&Contents");
    row("AboutMnu", "&About Snapvale");
    row("mnuLists", "Popup2");
    row("mnuTabs13", "List &1  (Tabs 1 - 3)");
    row("mnuTabs46", "List &2  (Tabs 4 - 6)");
    row("mnuT01", "");
    row("mnuT30", "");
    row("mnuCommon", "&Frequently Used");
    row("mnuConfigure", "&Edit List");
    row("mnu20", "");
    row("mnuPopup", "Popup");
    row("mnuRestore", "Show &Snapvale");
    row("mnuLoad2", "&Load Set");
    row("mnuLoad", "Load Set / &Show Snapvale");
    row("RestoreMnu2", "&Restore Startup Entries");
    row("mnuClipboard2", "Save Clipboard &As...");
    row("mnuExit", "E&xit");
    row("mnuPopup1", "Popup1");
    row("mnuPaste1", "&Paste From Clipboard");
    row("mnuCopy1", "&Copy To Clipboard");
    row("mnuLoad1", "&Load Entry");
    row("mnuSaveEntry", "&Save Entry As...");
    row("mnuNameEntry", "&Name Entry");
    row("mnuEdit", "&View/Edit Entry");
    row("mnuClear1", "Clear &Entry");
    row("mnuRestore1", "&Restore Startup Entry");
    row("mnuConnect", "Connect to &URL");
}

void TestMainWindow::captionsAndNames() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, shortcut);
    Session &s = start();
    QAction *item = s.window.findChild<QAction *>(name);
    QVERIFY2(item, qPrintable(name));
    QCOMPARE(item->text(), caption);
    QCOMPARE(item->shortcut().toString(), shortcut);
    // A menu's own action carries the menu's name, so either can be found.
    if (QMenu *m = s.window.findChild<QMenu *>(name))
        QCOMPARE(m->menuAction(), item);
}

void TestMainWindow::popupMenusStayOutOfMenuBar() {
    Session &s = start();
    QStringList bar;
    for (QAction *a : s.window.menuBar()->actions())
        bar << a->objectName();
    QCOMPARE(bar, (QStringList{QStringLiteral("FileMnu"), QStringLiteral("OptionsMnu"),
                               QStringLiteral("MainHelpMnu")}));

    QCOMPARE(s.window.windowTitle(), QStringLiteral("Snapvale"));
    QCOMPARE(s.window.tabs()->count(), 6);
    for (int t = 0; t < 6; ++t) {
        QCOMPARE(s.window.tabs()->tabText(t), QString::number(t + 1));
        QVERIFY(!s.window.tabs()->tabIcon(t).isNull());
    }
    for (int n = 1; n <= EntryStore::Count; ++n) {
        // Entry n sits on tab (n + 4) / 5, inside its tab's frame, numbered button beside it.
        QWidget *page = s.window.tabs()->widget((n + 4) / 5 - 1);
        QVERIFY(page->isAncestorOf(s.window.entryField(n)));
        QVERIFY(s.window.entryFrame(n)->isAncestorOf(s.window.copyButton(n)));
        QCOMPARE(s.window.pasteButton(n)->text(), QString::number(n));
        QCOMPARE(s.window.pasteButton(n)->toolTip(),
                 QStringLiteral("Left-click to paste / Right-click for menu"));
        QCOMPARE(s.window.copyButton(n)->toolTip(), QStringLiteral("Copy Entry to Clipboard"));
        QCOMPARE(s.window.entryField(n)->objectName(), QStringLiteral("Text%1").arg(n));
        QCOMPARE(s.window.findChild<QWidget *>(QStringLiteral("Frame3%1").arg((n + 4) / 5))
                     ->property("title")
                     .toString(),
                 QStringLiteral("Click Text to View"));
    }
    QCOMPARE(s.window.trayIcon()->toolTip(),
             QStringLiteral("Left-click for list / Right-click for menu"));
}

void TestMainWindow::firstRun() {
    Session &s = start();
    s.window.loadAtStart();
    for (int n = 1; n <= EntryStore::Count; ++n) {
        QCOMPARE(s.window.entryField(n)->text(), QString());
        // A missing name gives no tooltip, not "Untitled".
        QCOMPARE(s.window.entryField(n)->toolTip(), QString());
    }
    for (const char *option : {"OnTopMnu", "ActivateMnu", "AutoSaveMnu"})
        QVERIFY2(s.item(option)->isChecked(), option);
    QVERIFY(topmost(&s.window));
    for (int k = 1; k <= 20; ++k)
        QCOMPARE(literalCaption(s.window.findChild<QAction *>(
                     QStringLiteral("mnu%1").arg(k, 2, 10, QLatin1Char('0')))),
                 QString());
    QVERIFY(s.window.trayIcon()->isVisible());
    QVERIFY(!s.window.windowIcon().isNull());
    QVERIFY(s.desktop.messages.isEmpty());
}

void TestMainWindow::storedOptions_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("on");
    QTest::newRow("2") << "2" << false;
    QTest::newRow("1") << "1" << true;
    QTest::newRow("0") << "0" << true;
    QTest::newRow("no") << "no" << true;
    QTest::newRow("empty") << "" << true;
}

void TestMainWindow::storedOptions() {
    QFETCH(QString, value);
    QFETCH(bool, on);
    {
        SettingsStore store(m_path);
        for (const char *key : {"OnTop", "MouseOver", "AutoSave"})
            store.set(QStringLiteral("Settings"), QLatin1String(key), value);
    }
    Session &s = start();
    s.window.loadAtStart();
    QCOMPARE(s.item("OnTopMnu")->isChecked(), on);
    QCOMPARE(s.item("ActivateMnu")->isChecked(), on);
    QCOMPARE(s.item("AutoSaveMnu")->isChecked(), on);
    QCOMPARE(topmost(&s.window), on);
}

void TestMainWindow::closing_data() {
    QTest::addColumn<bool>("autoSave");
    QTest::addColumn<int>("how");
    QTest::addColumn<bool>("ends");
    enum { CloseBox, Exit, TrayExit, Shutdown };
    QTest::newRow("close box, auto-save on") << true << int(CloseBox) << false;
    QTest::newRow("close box, auto-save off") << false << int(CloseBox) << false;
    QTest::newRow("Exit, auto-save on") << true << int(Exit) << true;
    QTest::newRow("Exit, auto-save off") << false << int(Exit) << true;
    QTest::newRow("tray Exit, auto-save on") << true << int(TrayExit) << true;
    QTest::newRow("log out, auto-save on") << true << int(Shutdown) << true;
    QTest::newRow("log out, auto-save off") << false << int(Shutdown) << true;
}

void TestMainWindow::closing() {
    QFETCH(bool, autoSave);
    QFETCH(int, how);
    QFETCH(bool, ends);
    {
        SettingsStore store(m_path);
        store.set(QStringLiteral("Data"), QStringLiteral("Entry1"), QStringLiteral("old"));
        store.set(QStringLiteral("Settings"), QStringLiteral("AutoSave"),
                  autoSave ? QStringLiteral("1") : QStringLiteral("2"));
    }
    Session &s = start();
    s.window.loadAtStart();
    s.window.show();
    s.session.entries().setEntry(1, QStringLiteral("new"), QStringLiteral("named"));
    QSignalSpy unloaded(&s.window, &MainWindow::unloaded);

    switch (how) {
    case 0:
        s.window.close();
        break;
    case 1:
        s.item("ExitMnu")->trigger();
        break;
    case 2:
        s.item("mnuExit")->trigger();
        break;
    default:
        s.window.unload(MainWindow::CloseReason::SessionEnd);
    }

    QCOMPARE(unloaded.count(), ends ? 1 : 0);
    QVERIFY(s.window.isHidden());
    QCOMPARE(s.window.trayIcon()->isVisible(), !ends);
    QCOMPARE(s.stored(QStringLiteral("Data"), QStringLiteral("Entry1")),
             autoSave ? QStringLiteral("new") : QStringLiteral("old"));
    QCOMPARE(s.stored(QStringLiteral("Data"), QStringLiteral("Entry1b")),
             autoSave ? QStringLiteral("named") : QString());
    // The entries are still there for a window that was only hidden.
    QCOMPARE(s.session.entries().text(1), QStringLiteral("new"));
}

void TestMainWindow::closeBoxWithoutTrayMinimises() {
    Session &s = start();
    s.desktop.trayIsAvailable = false;
    s.window.loadAtStart();
    s.window.show();
    s.window.close();
    QVERIFY(s.window.isVisible());
    QVERIFY(s.window.isMinimized());
    s.window.showNormal();
    s.item("MinimizeMnu")->trigger();
    QVERIFY(s.window.isMinimized());
}

void TestMainWindow::togglesStoredAtOnceAndReadBack() {
    {
        Session &s = start();
        s.window.loadAtStart();
        s.window.show();
        s.item("OnTopMnu")->trigger();
        s.item("ActivateMnu")->trigger();
        s.item("AutoSaveMnu")->trigger();
        // Stored at once, before any closing.
        QCOMPARE(s.stored(QStringLiteral("Settings"), QStringLiteral("OnTop")),
                 QStringLiteral("2"));
        QCOMPARE(s.stored(QStringLiteral("Settings"), QStringLiteral("MouseOver")),
                 QStringLiteral("2"));
        QCOMPARE(s.stored(QStringLiteral("Settings"), QStringLiteral("AutoSave")),
                 QStringLiteral("2"));
        QVERIFY(!topmost(&s.window));
        QVERIFY(s.window.isVisible());
    }
    {
        Session &s = start();
        s.window.loadAtStart();
        QVERIFY(!s.item("OnTopMnu")->isChecked());
        QVERIFY(!s.item("ActivateMnu")->isChecked());
        QVERIFY(!s.item("AutoSaveMnu")->isChecked());
        QVERIFY(!topmost(&s.window));
        s.window.toggleOnTop();
        s.window.toggleAutoSave();
        QVERIFY(s.item("OnTopMnu")->isChecked());
        QVERIFY(topmost(&s.window));
        QCOMPARE(s.stored(QStringLiteral("Settings"), QStringLiteral("OnTop")),
                 QStringLiteral("1"));
        QCOMPARE(s.stored(QStringLiteral("Settings"), QStringLiteral("AutoSave")),
                 QStringLiteral("1"));
    }
    Session &s = start();
    s.window.loadAtStart();
    QVERIFY(s.item("OnTopMnu")->isChecked());
    QVERIFY(!s.item("ActivateMnu")->isChecked());
    QVERIFY(s.item("AutoSaveMnu")->isChecked());
}

void TestMainWindow::entriesSurviveRestart_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("CR LF and tabs") << QStringLiteral("first\r\n\tsecond\r\n");
    QTest::newRow("ampersand") << QStringLiteral("Fish & Chips &&");
    QTest::newRow("non-ASCII") << QStringLiteral("naïve café – 日本語");
    QTest::newRow("1 MB") << QString(1 << 20, QLatin1Char('x'));
}

void TestMainWindow::entriesSurviveRestart() {
    QFETCH(QString, text);
    {
        Session &s = start();
        s.window.loadAtStart();
        s.session.entries().setEntry(7, text, QStringLiteral("seven"));
        s.session.entries().setEntry(30, text, QString());
        s.window.exitProgram();
    }
    Session &s = start();
    s.window.loadAtStart();
    QCOMPARE(s.window.entryField(7)->text(), text);
    QCOMPARE(s.window.entryField(7)->toolTip(), QStringLiteral("seven"));
    QCOMPARE(s.window.entryField(30)->text(), text);
    QCOMPARE(s.window.entryField(30)->toolTip(), QString());
    QCOMPARE(s.window.entryField(8)->text(), QString());
}

void TestMainWindow::unusableStoreMovedAsideAndUserTold() {
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    {
        QFile f(m_path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, '\x7f'));
    }
    Session &s = start();
    s.window.loadAtStart();
    QCOMPARE(s.desktop.messages.size(), 1);
    const QString aside = s.store.movedAsidePath();
    QVERIFY(!aside.isEmpty());
    QVERIFY(s.desktop.messages.constFirst().endsWith(aside));
    QCOMPARE(QFileInfo(aside).size(), 4096);
    // And the fresh store keeps settings as before.
    s.window.toggleAutoSave();
    QCOMPARE(s.stored(QStringLiteral("Settings"), QStringLiteral("AutoSave")), QStringLiteral("2"));
}

void TestMainWindow::mouseover_data() {
    QTest::addColumn<bool>("on");
    QTest::addColumn<int>("entry");
    QTest::addColumn<int>("focused");
    QTest::newRow("off") << false << 1 << 0;
    QTest::newRow("Text1 to CmdCopy6") << true << 1 << 6;
    QTest::newRow("Text25 to CmdCopy30") << true << 25 << 30;
    QTest::newRow("Text27 wraps to CmdCopy2") << true << 27 << 2;
    QTest::newRow("Text30 wraps to CmdCopy5") << true << 30 << 5;
}

void TestMainWindow::mouseover() {
    QFETCH(bool, on);
    QFETCH(int, entry);
    QFETCH(int, focused);
    Session &s = start();
    s.window.loadAtStart();
    if (!on)
        s.window.toggleMouseOver();
    s.window.show();
    s.window.tabs()->setCurrentIndex((entry + 4) / 5 - 1);
    QVERIFY(QTest::qWaitForWindowExposed(&s.window));
    s.window.pasteButton(entry)->setFocus();
    // From elsewhere first: a move to where the pointer already is delivers nothing.
    QTest::mouseMove(s.window.pasteButton(entry));
    QTest::mouseMove(s.window.entryField(entry));
    QWidget *expected = focused ? static_cast<QWidget *>(s.window.copyButton(focused))
                                : static_cast<QWidget *>(s.window.pasteButton(entry));
    QCOMPARE(s.window.focusWidget(), expected);
}

void TestMainWindow::trayClicksOnlyWhileHidden() {
    Session &s = start();
    s.window.loadAtStart();
    s.window.show();
    emit s.window.trayIcon()->activated(QSystemTrayIcon::Trigger);
    emit s.window.trayIcon()->activated(QSystemTrayIcon::Context);
    QVERIFY(s.desktop.popups.isEmpty());

    s.window.hideInTray();
    emit s.window.trayIcon()->activated(QSystemTrayIcon::Trigger);
    emit s.window.trayIcon()->activated(QSystemTrayIcon::Context);
    QCOMPARE(s.desktop.popups.size(), 2);
    QCOMPARE(s.desktop.popups[0].menu->objectName(), QStringLiteral("mnuLists"));
    QVERIFY(!s.desktop.popups[0].defaultAction);
    QCOMPARE(s.desktop.popups[1].menu->objectName(), QStringLiteral("mnuPopup"));
    QCOMPARE(s.desktop.popups[1].defaultAction->objectName(), QStringLiteral("mnuRestore"));
}

void TestMainWindow::hideInTrayAndShow() {
    Session &s = start();
    s.window.loadAtStart();
    s.session.entries().setEntry(3, QStringLiteral("kept"), QStringLiteral("n"));
    s.window.show();
    s.window.tabs()->setCurrentIndex(4);
    const QSize size = s.window.size();
    s.item("MinimizeMnu")->trigger();
    QVERIFY(s.window.isHidden());
    QVERIFY(!s.window.isUnloaded());
    s.item("mnuRestore")->trigger();
    QVERIFY(s.window.isVisible());
    QCOMPARE(s.window.size(), size);
    QCOMPARE(s.window.tabs()->currentIndex(), 4);
    QCOMPARE(s.window.entryField(3)->text(), QStringLiteral("kept"));
}

void TestMainWindow::otherWindowsFollowOnTopWhenTheyLoad() {
    Session &s = start();
    s.window.loadAtStart();
    QDialog first(&s.window);
    s.window.applyStackOrder(&first);
    first.show();
    QVERIFY(topmost(&first));

    // A window already open keeps its stacking; the next one follows the new state.
    s.window.toggleOnTop();
    QVERIFY(topmost(&first));
    QVERIFY(first.isVisible());
    QDialog second(&s.window);
    s.window.applyStackOrder(&second);
    QVERIFY(!topmost(&second));
    QVERIFY(!topmost(&s.window));
}

void TestMainWindow::startupEntries() {
    Session &s = start();
    s.start();
    for (int n = 1; n <= EntryStore::Count; ++n)
        s.setEntry(n, n % 2 ? QStringLiteral("text %1\r\n").arg(n) : QString(),
                   QStringLiteral("name %1").arg(n));
    s.item("UpdateMnu")->trigger();
    QCOMPARE(s.stored(QStringLiteral("Data"), QStringLiteral("Entry1")),
             QStringLiteral("text 1\r\n"));
    QCOMPARE(s.stored(QStringLiteral("Data"), QStringLiteral("Entry2b")), QStringLiteral("name 2"));

    const auto edit = [&s] {
        for (int n = 1; n <= EntryStore::Count; ++n)
            s.setEntry(n, QStringLiteral("edited"), QStringLiteral("Untitled"));
    };
    edit();
    // One entry: only entry 7 comes back.
    s.window.setCurrentEntry(7);
    s.item("mnuRestore1")->trigger();
    QCOMPARE(s.text(7), QStringLiteral("text 7\r\n"));
    QCOMPARE(s.name(7), QStringLiteral("name 7"));
    QCOMPARE(s.text(6), QStringLiteral("edited"));
    QCOMPARE(s.text(8), QStringLiteral("edited"));

    // All, from the Options menu and from the tray menu with the window hidden.
    for (const char *item : {"RestoreMnu", "RestoreMnu2"}) {
        edit();
        if (QByteArray(item) == "RestoreMnu2")
            s.window.hideInTray();
        s.item(item)->trigger();
        for (int n = 1; n <= EntryStore::Count; ++n) {
            QCOMPARE(s.text(n), n % 2 ? QStringLiteral("text %1\r\n").arg(n) : QString());
            QCOMPARE(s.name(n), QStringLiteral("name %1").arg(n));
        }
    }
    QVERIFY(s.window.isHidden());
}

void TestMainWindow::restoreWithNothingStored() {
    Session &s = start();
    s.start();
    s.setEntry(4, QStringLiteral("four"), QStringLiteral("n"));
    s.window.restoreStartupEntries();
    for (int n = 1; n <= EntryStore::Count; ++n) {
        QCOMPARE(s.text(n), QString());
        QCOMPARE(s.name(n), QString());
    }
}

void TestMainWindow::trayEntryCaptions_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("shown");
    const QString hundred = QString(40, QLatin1Char('a')) + QString(60, QLatin1Char('b'));
    QTest::newRow("100 characters") << hundred << hundred.left(60) << true;
    QTest::newRow("60 characters")
        << QString(60, QLatin1Char('c')) << QString(60, QLatin1Char('c')) << true;
    QTest::newRow("1 character") << "x"
                                 << "x" << true;
    QTest::newRow("a single space") << " "
                                    << " " << true;
    QTest::newRow("ampersand") << "Fish & Chips"
                               << "Fish & Chips" << true;
    QTest::newRow("tabs and line breaks") << "a\tb\r\nc"
                                          << "a\tb\r\nc" << true;
    QTest::newRow("empty") << ""
                           << "" << false;
    // A character outside the first plane is never cut in half.
    QTest::newRow("surrogate pair at 60") << QString(59, QLatin1Char('d')) + QStringLiteral("😀")
                                          << QString(59, QLatin1Char('d')) << true;
}

void TestMainWindow::trayEntryCaptions() {
    QFETCH(QString, text);
    QFETCH(QString, caption);
    QFETCH(bool, shown);
    Session &s = start();
    s.start();
    s.setEntry(7, text);
    s.setEntry(22, text);
    s.window.hide();
    emit s.window.findChild<QMenu *>(QStringLiteral("mnuLists"))->aboutToShow();
    for (const char *name : {"mnuT07", "mnuT22"}) {
        QAction *item = s.item(name);
        QCOMPARE(literalCaption(item), caption);
        QCOMPARE(item->isVisible(), shown);
        QVERIFY(!item->text().contains(QLatin1Char('\n')));
    }
    // Each entry has its key, shown in the item: 7 for entry 7, l for entry 22.
    QVERIFY(s.item("mnuT07")->text().startsWith(QStringLiteral("&7  ")));
    QVERIFY(s.item("mnuT22")->text().startsWith(QStringLiteral("&l  ")));
}

void TestMainWindow::trayListsWhenAllEmpty() {
    Session &s = start();
    s.start();
    emit s.window.findChild<QMenu *>(QStringLiteral("mnuLists"))->aboutToShow();
    for (int n = 1; n <= 30; ++n) {
        QAction *item =
            s.window.findChild<QAction *>(QStringLiteral("mnuT%1").arg(n, 2, 10, QLatin1Char('0')));
        QCOMPARE(item->isVisible(), n == 1 || n == 16);
    }
    for (int k = 1; k <= 20; ++k)
        QVERIFY(
            !s.window.findChild<QAction *>(QStringLiteral("mnu%1").arg(k, 2, 10, QLatin1Char('0')))
                 ->isVisible());
    QVERIFY(s.item("mnuConfigure")->isVisible());

    // An entry changed while the list was closed shows at the next opening.
    s.setEntry(2, QStringLiteral("new"));
    QStringList clippings(20);
    clippings[4] = QStringLiteral("clip");
    s.session.setClippings(clippings);
    emit s.window.findChild<QMenu *>(QStringLiteral("mnuLists"))->aboutToShow();
    QVERIFY(s.item("mnuT02")->isVisible());
    QVERIFY(s.item("mnu05")->isVisible());
}

void TestMainWindow::trayEntryCopiesWholeText() {
    Session &s = start();
    s.start();
    const QString text =
        QStringLiteral("  ") + QString(100, QLatin1Char('z')) + QStringLiteral(" ");
    s.setEntry(16, text);
    QSignalSpy copy(&s.window, &MainWindow::copyRequested);
    emit s.window.findChild<QMenu *>(QStringLiteral("mnuLists"))->aboutToShow();
    s.item("mnuT16")->trigger();
    // The item copies the entry as its copy button does: the whole text, not the caption.
    QCOMPARE(copy.count(), 1);
    QCOMPARE(copy.constFirst().constFirst().toInt(), 16);
}

void TestMainWindow::minimisedWindowBackFromTray() {
    Session &s = start();
    s.start();
    s.window.showMinimized();
    emit s.window.trayIcon()->activated(QSystemTrayIcon::Trigger);
    QVERIFY(!s.window.isMinimized());
    QVERIFY(s.window.isVisible());
    QVERIFY(s.desktop.popups.isEmpty());
}

void TestMainWindow::trayWaitsForAnOpenDialog_data() {
    QTest::addColumn<int>("modality");
    QTest::addColumn<bool>("menus");
    QTest::newRow("a dialog modal to the program") << int(Qt::ApplicationModal) << false;
    QTest::newRow("a dialog modal to the window") << int(Qt::WindowModal) << false;
    QTest::newRow("a window beside it (help)") << int(Qt::NonModal) << true;
}

// With the window hidden under an open editor or question, Load Set or Exit from the tray would
// act beneath it: the tray brings the dialog forward instead, and says so.
void TestMainWindow::trayWaitsForAnOpenDialog() {
    QFETCH(int, modality);
    QFETCH(bool, menus);
    Session &s = start();
    s.start();
    auto *dialog = new QDialog(&s.window);
    dialog->setWindowTitle(QStringLiteral("Snapvale - Entry 3"));
    dialog->setWindowModality(Qt::WindowModality(modality));
    dialog->show();
    s.window.hide();
    QVERIFY(dialog->isVisible());
    s.window.trayLeftClick();
    s.window.trayRightClick();
    QCOMPARE(s.desktop.popups.size(), menus ? 2 : 0);
    QCOMPARE(s.desktop.notices,
             menus ? QStringList()
                   : QStringList(2, QStringLiteral(
                                        "Snapvale waits for its open window: Snapvale - Entry 3")));
    // Once it is closed, the tray's menus are there again.
    delete dialog;
    s.window.trayRightClick();
    QCOMPARE(s.desktop.popups.size(), menus ? 3 : 1);
}

void TestMainWindow::trayGateHoldsMenus() {
    Session &s = start();
    s.start();
    bool editing = true;
    s.window.setTrayGate([&editing] { return editing; });
    s.window.hide();
    s.window.trayLeftClick();
    s.window.trayRightClick();
    QVERIFY(s.desktop.popups.isEmpty());
    editing = false;
    s.window.trayRightClick();
    QCOMPARE(s.desktop.popups.size(), 1);
}

void TestMainWindow::recoveryAfterUncleanEnd() {
    {
        Session &s = start();
        s.start();
        s.setEntry(3, QStringLiteral("startup"), QStringLiteral("n"));
        s.window.updateStartupEntries();
        s.setEntry(3, QStringLiteral("typed since"), QStringLiteral("newer"));
        // Within a second of the change, outside the startup entries.
        QTRY_COMPARE_WITH_TIMEOUT(s.stored(QStringLiteral("Recovery"), QStringLiteral("Entry3")),
                                  QStringLiteral("typed since"), 3000);
        QCOMPARE(s.stored(QStringLiteral("Data"), QStringLiteral("Entry3")),
                 QStringLiteral("startup"));
        // The session ends here without any closing, as a kill or a power cut ends it.
    }
    {
        Session &s = start();
        s.start();
        QCOMPARE(s.text(3), QStringLiteral("typed since"));
        QCOMPARE(s.name(3), QStringLiteral("newer"));
        QCOMPARE(s.desktop.messages.size(), 1);
        QVERIFY(s.desktop.messages.constFirst().contains(QStringLiteral("recovered")));
        s.window.restoreStartupEntries();
        QCOMPARE(s.text(3), QStringLiteral("startup"));
        s.window.toggleOnTop();
        s.window.toggleAutoSave(); // off: the startup entries stay as they are
        s.window.exitProgram();
        QVERIFY(!s.store.hasSection(QStringLiteral("Recovery")));
    }
    Session &s = start();
    s.start();
    QVERIFY(s.desktop.messages.isEmpty());
    QCOMPARE(s.text(3), QStringLiteral("startup"));
}

void TestMainWindow::noRecoveryWithoutAutoSave() {
    {
        Session &s = start();
        s.start();
        s.window.toggleAutoSave();
        s.setEntry(1, QStringLiteral("not kept"));
        QVERIFY(!s.session.recoveryCopyPending());
        QVERIFY(!s.store.hasSection(QStringLiteral("Recovery")));
        // A copy left from an earlier run is not loaded either, and goes.
        s.store.set(QStringLiteral("Recovery"), QStringLiteral("Entry1"), QStringLiteral("stale"));
    }
    Session &s = start();
    s.start();
    QCOMPARE(s.text(1), QString());
    QVERIFY(s.desktop.messages.isEmpty());
    QVERIFY(!s.store.hasSection(QStringLiteral("Recovery")));
}

void TestMainWindow::accessibleEntries_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("name");
    QTest::newRow("short") << "hello world"
                           << "greeting";
    QTest::newRow("line breaks") << "one\r\ntwo\tthree"
                                 << "";
    QTest::newRow("1 MiB") << QString(1 << 20, QLatin1Char('m')) + QStringLiteral("world") << "big";
}

void TestMainWindow::accessibleEntries() {
    QFETCH(QString, text);
    QFETCH(QString, name);
    Session &s = start();
    s.start();
    s.setEntry(3, text, name);
    // As a screen reader finds the field: read-only text named for its entry.
    QAccessibleInterface *field = QAccessible::queryAccessibleInterface(s.window.entryField(3));
    QVERIFY(field);
    QCOMPARE(field->role(), QAccessible::EditableText);
    QVERIFY(field->state().readOnly);
    QCOMPARE(field->text(QAccessible::Name), QStringLiteral("Entry 3"));
    QCOMPARE(field->text(QAccessible::Description), name);
    QAccessibleTextInterface *reader = field->textInterface();
    QVERIFY(reader);
    QCOMPARE(reader->characterCount(), int(text.size()));
    QCOMPARE(reader->text(0, int(text.size())), text);
    QCOMPARE(reader->text(int(text.size()) - 5, int(text.size())), text.right(5));
    // The numbered button says what it does, and whose entry.
    QAccessibleInterface *button = QAccessible::queryAccessibleInterface(s.window.pasteButton(3));
    QCOMPARE(button->text(QAccessible::Name), QStringLiteral("Paste into entry 3"));
    QCOMPARE(button->text(QAccessible::Description),
             name.isEmpty() ? QStringLiteral("No name") : name);
}

void TestMainWindow::startAtLogin() {
    QTemporaryDir config;
    const QByteArray before = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    const auto restore = qScopeGuard([&] { qputenv("XDG_CONFIG_HOME", before); });
    const QString entry = config.filePath(QStringLiteral("autostart/snapvale.desktop"));
    {
        Session &s = start();
        s.start();
        QVERIFY(!s.item("LoginMnu")->isChecked());
        s.item("LoginMnu")->trigger();
        QVERIFY(s.item("LoginMnu")->isChecked());
        const QByteArray written = readBytes(entry);
        QVERIFY(written.startsWith("[Desktop Entry]\n"));
        QVERIFY(written.contains("\nExec=\""));
    }
    {
        // The mark is read from the file at start; the desktop's own switch-off counts.
        Session &s = start();
        s.start();
        QVERIFY(s.item("LoginMnu")->isChecked());
        s.item("LoginMnu")->trigger();
        QVERIFY(!QFile::exists(entry));
        QVERIFY(!s.item("LoginMnu")->isChecked());
    }
    writeBytes(entry, "[Desktop Entry]\nType=Application\nHidden=true\n");
    Session &s = start();
    s.start();
    QVERIFY(!s.item("LoginMnu")->isChecked());
}

void TestMainWindow::startAtLoginFromAnyPath_data() {
    QTest::addColumn<QString>("folder");
    QTest::newRow("plain") << "bin";
    QTest::newRow("spaces") << "my programs";
    QTest::newRow("quote") << "say \"hi\"";
    QTest::newRow("shell characters") << "$HOME `id` ;&|";
    QTest::newRow("backslash") << "back\\slash\\\\";
    QTest::newRow("tab") << "a\tb";
    QTest::newRow("not ASCII") << "Grüße ✓";
}

void TestMainWindow::startAtLoginFromAnyPath() {
    // The entry starts the program from wherever it lies: GLib, as desktops read autostart
    // entries, runs the Exec line, and the program it runs says where it was started from.
    QFETCH(QString, folder);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(folder));
    const QString program = dir.filePath(folder + QStringLiteral("/snapvale"));
    const QString out = dir.filePath(QStringLiteral("started-as"));
    writeBytes(program, "#!/bin/sh\nprintf '%s' \"$0\" > \"$SNAPVALE_TEST_OUT\"\n");
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString entry = dir.filePath(QStringLiteral("snapvale.desktop"));
    writeBytes(entry, "[Desktop Entry]\nType=Application\nName=Snapvale\nExec=" +
                          Autostart::execValue(program).toUtf8() + "\n");
    QProcess launch;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("SNAPVALE_TEST_OUT"), out);
    launch.setProcessEnvironment(env);
    launch.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import sys; from gi.repository import Gio; "
                                 "sys.exit(0 if Gio.DesktopAppInfo.new_from_filename(sys.argv[1])"
                                 ".launch([], None) else 1)"),
                  entry});
    QVERIFY(launch.waitForFinished(30000));
    QCOMPARE(launch.exitCode(), 0);
    QTRY_VERIFY(QFile::exists(out));
    QTRY_COMPARE(QString::fromUtf8(readBytes(out)), program);
}

void TestMainWindow::startAtLoginPercent() {
    // A literal % is %% by the desktop entry rules (GLib itself then looks for the program under
    // the unexpanded name, so no GNOME session starts a program from such a folder).
    QCOMPARE(Autostart::execValue(QStringLiteral("/opt/100% %f/snapvale")),
             QStringLiteral("\"/opt/100%% %%f/snapvale\""));
}

void TestMainWindow::screenshots() {
    // The pictures of the README, from the program as it runs here.
    const QString shots = qEnvironmentVariable("SNAPVALE_ARTEFACTS");
    if (shots.isEmpty())
        QSKIP("SNAPVALE_ARTEFACTS names no folder");
    QDir().mkpath(shots);
    Session &s = start();
    s.start();
    const char *const texts[] = {"https://www.example.com/reports/2026", "Kind regards,\r\nAlex",
                                 "SELECT * FROM orders WHERE id = ?", "+1 555 0100", ""};
    for (int n = 1; n <= 5; ++n)
        s.setEntry(n, QString::fromUtf8(texts[n - 1]), n == 5 ? QString() : QStringLiteral("n"));
    s.setEntry(16, QStringLiteral("git log --oneline --graph"));
    QVERIFY(QTest::qWaitForWindowExposed(&s.window));
    QVERIFY(s.window.grab().save(shots + QStringLiteral("/main-window.png")));
    s.window.hideInTray();
    s.window.refreshTrayList();
    QMenu *list = s.menu("mnuTabs13");
    list->popup(QPoint(0, 0));
    QVERIFY(QTest::qWaitForWindowExposed(list));
    QVERIFY(list->grab().save(shots + QStringLiteral("/entry-list.png")));
    list->hide();
}

void TestMainWindow::savesWriteOnlyChanges() {
    {
        // Nothing changed: closing writes nothing.
        Session &s = start();
        s.start();
        s.window.exitProgram();
        QCOMPARE(rows(m_path, "Data"), 0);
    }
    {
        // One entry changed: that entry alone, in the recovery copy and at Exit.
        Session &s = start();
        s.start();
        s.setEntry(5, QStringLiteral("five"), QStringLiteral("n5"));
        QTRY_COMPARE_WITH_TIMEOUT(rows(m_path, "Recovery"), 2, 3000);
        s.setEntry(6, QStringLiteral("six"));
        QTRY_COMPARE_WITH_TIMEOUT(rows(m_path, "Recovery"), 4, 3000);
        s.window.exitProgram();
        QCOMPARE(rows(m_path, "Data"), 4);
        QCOMPARE(s.stored(QStringLiteral("Data"), QStringLiteral("Entry6b")),
                 QStringLiteral("Untitled"));
    }
    Session &s = start();
    s.start();
    QCOMPARE(s.text(5), QStringLiteral("five"));
    // Restoring and saving again changes nothing, and writes nothing.
    s.setEntry(5, QStringLiteral("edited"));
    s.window.restoreStartupEntries();
    QVERIFY(s.window.updateStartupEntries());
    QCOMPARE(rows(m_path, "Data"), 4);
    QCOMPARE(s.stored(QStringLiteral("Data"), QStringLiteral("Entry5")), QStringLiteral("five"));
}

void TestMainWindow::literalMenuCaptions_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shown");
    QTest::newRow("ampersand") << "Tom & Jerry"
                               << "Tom && Jerry";
    QTest::newRow("tab and line breaks") << "a\tb\r\nc"
                                         << "a b  c";
    QTest::newRow("empty") << ""
                           << "";
}

void TestMainWindow::literalMenuCaptions() {
    QFETCH(QString, caption);
    QFETCH(QString, shown);
    {
        SettingsStore store(m_path);
        store.set(QStringLiteral("Frequent"), QStringLiteral("03"), caption);
    }
    Session &s = start();
    s.window.loadAtStart();
    QAction *item = s.item("mnu03");
    QCOMPARE(literalCaption(item), caption);
    QCOMPARE(item->text(), shown);
}

void TestMainWindow::fileDialogFolderAndSuffix_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("Save Set: the set extension added")
        << int(FileDialogRequest::Save) << FileFilter::sets() << "work"
        << "work.ent";
    QTest::newRow("an extension typed is kept")
        << int(FileDialogRequest::Save) << FileFilter::text() << "notes.md"
        << "notes.md";
    QTest::newRow("open: the name as typed")
        << int(FileDialogRequest::Open) << FileFilter::sets() << "work"
        << "work";
}

void TestMainWindow::fileDialogFolderAndSuffix() {
    QFETCH(int, kind);
    QFETCH(QString, filter);
    QFETCH(QString, typed);
    QFETCH(QString, chosen);
    // The real dialog, answered as a user would, from the user's home and then the folder used.
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    const auto restoreHome = qScopeGuard([&] { qputenv("HOME", oldHome); });
    QDir(home.path()).mkpath(QStringLiteral("sets"));
    QtDesktop desktop;
    QStringList shownIn;
    const auto answer = [&](const QString &name) {
        QTimer::singleShot(0, [&, name] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            shownIn << dialog->directory().absolutePath();
            dialog->selectFile(name);
            static_cast<QDialog *>(dialog)->accept();
        });
    };
    const FileDialogRequest request{FileDialogRequest::Kind(kind), QStringLiteral("t"), filter,
                                    QString(), false};
    answer(home.filePath(QStringLiteral("sets/") + typed));
    QCOMPARE(desktop.chooseFile(nullptr, request), home.filePath(QStringLiteral("sets/") + chosen));
    answer(typed);
    QCOMPARE(desktop.chooseFile(nullptr, request), home.filePath(QStringLiteral("sets/") + chosen));
    QCOMPARE(shownIn, (QStringList{home.path(), home.filePath(QStringLiteral("sets"))}));
}

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
