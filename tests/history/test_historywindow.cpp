// The history's window and the tray's Recent list: what they show, the filter, and what Copy,
// Store in Entry, Delete and Clear History do to the history, the entries and the store.

#include "clipboard/clipboardcommands.h"
#include "clipboard/replacedialog.h"
#include "history/historycommands.h"
#include "history/historywindow.h"
#include "main/menucaption.h"
#include "support/session.h"

#include <QComboBox>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTemporaryDir>
#include <QTest>

class TestHistoryWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_s.reset(); }

    void listsNewestFirst();
    void filter_data();
    void filter();
    void copyGivesTheTextBack();
    void storeInEntry_data();
    void storeInEntry();
    void deleteLeavesNoTrace();
    void clearAsksFirst_data();
    void clearAsksFirst();
    void recentList();
    void screenshot();

private:
    // Copies made by another program, the oldest first.
    void copied(const QStringList &texts) {
        for (const QString &text : texts)
            m_s->desktop.copyByAnotherProgram(text);
    }
    HistoryWindow *open() {
        m_commands->showHistory();
        return m_commands->historyWindow();
    }
    static QStringList rows(const HistoryWindow *w, int role = HistoryModel::startRole) {
        QStringList out;
        const QAbstractItemModel *model = w->list()->model();
        for (int r = 0; r < model->rowCount(); ++r)
            out << model->index(r, 0).data(role).toString();
        return out;
    }
    static QLabel *stateLine(const HistoryWindow *w) {
        return w->findChild<QLabel *>(QStringLiteral("LblState"));
    }
    bool anyFileHolds(const QByteArray &bytes) {
        QDirIterator files(QFileInfo(m_s->store.path()).absolutePath(), QDir::Files);
        while (files.hasNext()) {
            if (readBytes(files.next()).contains(bytes))
                return true;
        }
        return false;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<Session> m_s;
    HistoryCommands *m_commands = nullptr;
};

void TestHistoryWindow::init() {
    m_s = newSession(m_dir);
    new ClipboardCommands(m_s->window, m_s->session);
    m_commands = new HistoryCommands(m_s->window);
    m_s->start();
}

void TestHistoryWindow::listsNewestFirst() {
    copied({"one", "two\nsecond line", "three"});
    m_s->item("mnuHistory")->trigger();
    HistoryWindow *w = m_commands->historyWindow();
    QVERIFY(w && w->isVisible());
    QCOMPARE(rows(w), (QStringList{"three", "two", "one"}));
    // A screen reader hears when and what; the row shows the time before the text.
    QCOMPARE(rows(w, Qt::AccessibleTextRole).at(1), QStringLiteral("Copied just now: two"));
    QVERIFY(rows(w, Qt::DisplayRole).at(0).endsWith(QLatin1String("    three")));
    QCOMPARE(w->selectedItem(), 1);
    QVERIFY(!stateLine(w)->isVisibleTo(w));
    // A copy made while the window is open comes in at the top; the selection stays on its copy.
    w->list()->setCurrentIndex(w->list()->model()->index(1, 0));
    copied({"four"});
    QCOMPARE(rows(w).first(), QStringLiteral("four"));
    QCOMPARE(w->selectedItem(), 3);
    QCOMPARE(w->list()->currentIndex().data(HistoryModel::startRole).toString(),
             QStringLiteral("two"));
    // From the tray the same window comes forward, not a second one.
    m_s->item("mnuHistory2")->trigger();
    QCOMPARE(m_s->window.findChildren<HistoryWindow *>().size(), 1);
    QCOMPARE(
        HistoryModel::shownTime(QDateTime(QDate(2026, 3, 1), QTime(9, 5)).toMSecsSinceEpoch(),
                                QDateTime(QDate(2026, 3, 1), QTime(23, 0)).toMSecsSinceEpoch()),
        QLocale().toString(QTime(9, 5), QLocale::ShortFormat));
    QVERIFY(HistoryModel::shownTime(QDateTime(QDate(2026, 2, 27), QTime(9, 5)).toMSecsSinceEpoch(),
                                    QDateTime(QDate(2026, 3, 1), QTime(9, 5)).toMSecsSinceEpoch())
                .size() > QLocale().toString(QTime(9, 5), QLocale::ShortFormat).size());
}

void TestHistoryWindow::filter_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("state");
    QTest::newRow("part of a text") << "ap" << QStringList{"grape", "apple"} << "";
    QTest::newRow("letter case aside") << "APP" << QStringList{"apple"} << "";
    QTest::newRow("nothing holds it") << "kiwi" << QStringList{} << "No copy holds \"kiwi\".";
    QTest::newRow("emptied again") << "" << QStringList{"grape", "pear", "apple"} << "";
}

void TestHistoryWindow::filter() {
    QFETCH(QString, typed);
    QFETCH(QStringList, shown);
    QFETCH(QString, state);
    copied({"apple", "pear", "grape"});
    HistoryWindow *w = open();
    w->filterField()->setText(QStringLiteral("x"));
    w->filterField()->setText(typed);
    QCOMPARE(rows(w), shown);
    QCOMPARE(stateLine(w)->isVisibleTo(w) ? stateLine(w)->text() : QString(), state);
    // The first match is selected, so that Enter in the field copies it.
    QCOMPARE(w->selectedItem() > 0, !shown.isEmpty());
    QCOMPARE(w->findChild<QPushButton *>(QStringLiteral("CmdCopy"))->isEnabled(), !shown.isEmpty());
    if (shown.isEmpty())
        return;
    QTest::keyClick(w->filterField(), Qt::Key_Return);
    QCOMPARE(m_s->desktop.clipboard, shown.first());
}

void TestHistoryWindow::copyGivesTheTextBack() {
    const QString text = QStringLiteral("  tabs\tand\r\nbreaks kept \u00e9\U0001F600\n");
    copied({text, "newer"});
    HistoryWindow *w = open();
    w->list()->setCurrentIndex(w->list()->model()->index(1, 0));
    QTest::keyClick(w->list(), Qt::Key_Return);
    QCOMPARE(m_s->desktop.clipboard, text);
    // Its own copy is no new copy: the history stays as it was.
    QCOMPARE(rows(w).size(), 2);
    QCOMPARE(m_s->session.history().text(2), text.toUtf8());
    QVERIFY(stateLine(w)->text().startsWith(QLatin1String("On the clipboard: tabs")));
    // A copy that fails is told.
    m_s->desktop.failingWrites = 2;
    w->findChild<QPushButton *>(QStringLiteral("CmdCopy"))->click();
    QCOMPARE(m_s->desktop.messages.value(0),
             QStringLiteral("Error copying to clipboard. Please retry."));
}

void TestHistoryWindow::storeInEntry_data() {
    QTest::addColumn<QString>("held");
    QTest::addColumn<QString>("answer"); // "replace", "cancel", or "" when not asked
    QTest::addColumn<bool>("goneMeanwhile");
    QTest::addColumn<QString>("after");
    QTest::newRow("an empty entry, no question") << ""
                                                 << "" << false << "copied\r\ntext";
    QTest::newRow("text replaced after the question") << "held"
                                                      << "replace" << false << "copied\r\ntext";
    QTest::newRow("the question cancelled") << "held"
                                            << "cancel" << false << "held";
    QTest::newRow("the copy deleted while choosing") << "held"
                                                     << "" << true << "held";
}

void TestHistoryWindow::storeInEntry() {
    QFETCH(QString, held);
    QFETCH(QString, answer);
    QFETCH(bool, goneMeanwhile);
    QFETCH(QString, after);
    m_s->setEntry(1, QStringLiteral("one"));
    m_s->setEntry(2, QStringLiteral("two"), QStringLiteral("Work"));
    m_s->setEntry(7, held);
    copied({"copied\r\ntext"});
    HistoryWindow *w = open();
    w->findChild<QPushButton *>(QStringLiteral("CmdStore"))->click();
    auto *choose = openDialog<StoreInDialog>(*w, "FrmStoreIn");
    QVERIFY(choose);
    QComboBox *entries = choose->entryField();
    QCOMPARE(entries->count(), 30);
    // By number and name; an empty entry is chosen first, since nothing is lost there.
    QCOMPARE(entries->itemText(0), QStringLiteral("1  one"));
    QCOMPARE(entries->itemText(1), QStringLiteral("2  Work: two"));
    QCOMPARE(choose->entry(), 3);
    entries->setCurrentIndex(6);
    if (goneMeanwhile)
        QVERIFY(m_s->session.history().remove(1));
    choose->findChild<QPushButton *>(QStringLiteral("CmdStore"))->click();
    auto *question = openDialog<ReplaceDialog>(m_s->window, "FrmWarn1");
    QCOMPARE(question != nullptr, !answer.isEmpty());
    if (question) {
        QCOMPARE(question->entry(), 7);
        if (answer == QLatin1String("replace"))
            question->replaceButton(7)->click();
        else
            question->reject();
    }
    QCOMPARE(m_s->text(7), after);
    QCOMPARE(m_s->desktop.messages,
             goneMeanwhile ? QStringList{"The copied text is no longer in the history."}
                           : QStringList{});
}

void TestHistoryWindow::deleteLeavesNoTrace() {
    copied({"keep me", "DeleteThisOne-4711", "newest"});
    m_s->session.history().waitForWrites();
    QVERIFY(anyFileHolds("DeleteThisOne-4711"));
    HistoryWindow *w = open();
    w->list()->setCurrentIndex(w->list()->model()->index(1, 0));
    QTest::keyClick(w->list(), Qt::Key_Delete);
    QCOMPARE(rows(w), (QStringList{"newest", "keep me"}));
    // The row below takes its place, so Delete again goes on down the list.
    QCOMPARE(w->selectedItem(), 2);
    QVERIFY(!anyFileHolds("DeleteThisOne-4711"));
    QVERIFY(anyFileHolds("keep me"));
}

void TestHistoryWindow::clearAsksFirst_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("left");
    QTest::newRow("Clear") << 0 << 0;
    QTest::newRow("Cancel") << 1 << 2;
}

void TestHistoryWindow::clearAsksFirst() {
    QFETCH(int, answer);
    QFETCH(int, left);
    copied({"ClearedText-1", "ClearedText-2"});
    m_s->session.history().waitForWrites();
    HistoryWindow *w = open();
    m_s->desktop.nextAnswers = {answer};
    w->findChild<QPushButton *>(QStringLiteral("CmdClear"))->click();
    QCOMPARE(m_s->desktop.questions,
             QStringList{"Clear the clipboard history? All 2 copied texts in it are removed for "
                         "good."});
    QCOMPARE(rows(w).size(), left);
    QCOMPARE(anyFileHolds("ClearedText-"), left > 0);
    QCOMPARE(w->findChild<QPushButton *>(QStringLiteral("CmdClear"))->isEnabled(), left > 0);
    if (!left)
        QCOMPARE(stateLine(w)->text(),
                 QStringLiteral("Nothing copied yet: what other programs copy appears here."));
}

void TestHistoryWindow::recentList() {
    QStringList texts;
    for (int k = 1; k <= 12; ++k)
        texts << QStringLiteral("copy %1").arg(k);
    copied(texts);
    QMenu *recent = m_s->menu("mnuRecent");
    m_s->window.refreshTrayList();
    QVERIFY(recent->menuAction()->isVisible());
    QStringList shown;
    for (const QAction *item : recent->actions()) {
        if (item->isVisible())
            shown << item->text();
    }
    // The newest ten, with 1-9, 0 as their keys.
    QCOMPARE(shown.size(), 10);
    QCOMPARE(shown.first(), QStringLiteral("&1  copy 12"));
    QCOMPARE(shown.last(), QStringLiteral("&0  copy 3"));
    // A copy arriving while the menu is open moves the numbers: the item copies what it showed.
    copied({"arrived meanwhile"});
    m_s->item("mnuRecent02")->trigger();
    QCOMPARE(m_s->desktop.clipboard, QStringLiteral("copy 11"));
    // Off, there is no Recent list.
    m_s->desktop.nextAnswers = {0};
    m_s->item("HistoryMnu")->trigger();
    m_s->window.refreshTrayList();
    QVERIFY(!recent->menuAction()->isVisible());
}

void TestHistoryWindow::screenshot() {
    // The README's picture, from the window as it runs here.
    const QString shots = qEnvironmentVariable("SNAPVALE_ARTEFACTS");
    if (shots.isEmpty())
        QSKIP("SNAPVALE_ARTEFACTS names no folder");
    QDir().mkpath(shots);
    ClipboardHistory &history = m_s->session.history();
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const std::pair<const char *, int> copies[] = {{"https://www.example.com/reports/2026", 50},
                                                   {"Meeting moved to Thursday, 10:30", 35},
                                                   {"SELECT * FROM orders WHERE id = ?", 12},
                                                   {"Kind regards,\r\nAlex", 3},
                                                   {"+1 555 0100", 1}};
    for (const auto &[text, minutesAgo] : copies)
        QVERIFY(history.add(text, now - qint64(minutesAgo) * 60000));
    HistoryWindow *w = open();
    w->resize(w->fontMetrics().averageCharWidth() * 70, w->fontMetrics().height() * 16);
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QVERIFY(w->grab().save(shots + QStringLiteral("/history.png")));
}

QTEST_MAIN(TestHistoryWindow)
#include "test_historywindow.moc"
