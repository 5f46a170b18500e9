#include "help/helpwindows.h"
#include "support/session.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QTextBrowser>

#include <memory>

class TestHelp : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_s.reset(); }

    void pagesAndLinks();
    void about();
    void helpOutlivesExit();
    void escapeCloses();
    void followOnTopWhenTheyLoad();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Session> m_s;
    HelpCommands *m_help = nullptr;
};

void TestHelp::init() {
    m_s = newSession(m_dir);
    m_help = new HelpCommands(m_s->window);
    m_s->start();
}

void TestHelp::pagesAndLinks() {
    m_s->item("HelpMnu")->trigger();
    HelpWindow *help = m_s->window.findChild<HelpWindow *>(QStringLiteral("Frmhelp"));
    QVERIFY(help && help->isVisible());
    QVERIFY(!help->isModal());
    QCOMPARE(help->currentPage(), 0);
    QCOMPARE(help->pageTitle(0), QStringLiteral("Contents"));
    QVERIFY(help->pageCount() >= 9);
    for (int page = 1; page < help->pageCount(); ++page) {
        help->showPage(page);
        QCOMPARE(help->currentPage(), page);
        QVERIFY(help->browser()->toPlainText().size() > 80);
    }
    // The contents page links to the others.
    help->showPage(0);
    emit help->browser()->anchorClicked(QUrl(QStringLiteral("#editor")));
    QCOMPARE(help->pageTitle(help->currentPage()), QStringLiteral("The editor"));
    emit help->browser()->anchorClicked(QUrl(QStringLiteral("#data")));
    QVERIFY(help->browser()->toPlainText().contains(QStringLiteral("settings.sqlite3")));
    // The command line has a page of its own, with the recipe for each desktop.
    emit help->browser()->anchorClicked(QUrl(QStringLiteral("#shortcuts")));
    QCOMPARE(help->pageTitle(help->currentPage()), QStringLiteral("Shortcuts from anywhere"));
    for (const char *named : {"snapvale --menu", "snapvale --copy", "GNOME", "KDE Plasma", "Xfce"})
        QVERIFY2(help->browser()->toPlainText().contains(QLatin1String(named)), named);
    // A second Contents raises the same window.
    QCOMPARE(m_help->showHelp(), help);
}

void TestHelp::about() {
    m_s->item("AboutMnu")->trigger();
    auto *about = openDialog<AboutDialog>(m_s->window, "frmAbout");
    QVERIFY(about);
    const QString text = about->findChild<QLabel *>(QStringLiteral("AboutText"))->text();
    QVERIFY(text.contains(QStringLiteral("Snapvale " SNAPVALE_VERSION)));
    QVERIFY(text.contains(QStringLiteral("MIT License")));
    about->accept();
    QVERIFY(!openDialog<AboutDialog>(m_s->window, "frmAbout"));
}

void TestHelp::helpOutlivesExit() {
    HelpWindow *help = m_help->showHelp();
    m_s->item("ExitMnu")->trigger();
    QVERIFY(m_s->window.isUnloaded());
    QVERIFY(help->isVisible());
}

void TestHelp::escapeCloses() {
    HelpWindow *help = m_help->showHelp();
    QVERIFY(QTest::qWaitForWindowActive(help));
    QTest::keyClick(help, Qt::Key_Escape);
    QVERIFY(!help->isVisible());
}

void TestHelp::followOnTopWhenTheyLoad() {
    QVERIFY(m_help->showAbout()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(m_help->showHelp()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    m_help->showHelp()->close();
    m_s->window.toggleOnTop();
    QVERIFY(!m_help->showAbout()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(!m_help->showHelp()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

QTEST_MAIN(TestHelp)
#include "test_help.moc"
