// The program as a German user sees it: started with LANG=de_DE.UTF-8 (set by CTest), it finds
// its German translation and shows German menus, whose keys do not collide, and messages.

#include "history/historywindow.h"
#include "i18n/translations.h"
#include "main/mainwindow.h"
#include "support/session.h"

#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

class TestTranslations : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void germanCaptions_data();
    void germanCaptions();
    void menuKeysUnique();
    void historyWindowInGerman();
    void sessionNoticesInGerman();

private:
    QTemporaryDir m_dir;
};

void TestTranslations::initTestCase() {
    Translations::install(*QCoreApplication::instance());
    QVERIFY2(Translations::installedLanguage().startsWith(QLatin1String("de")),
             qPrintable(Translations::installedLanguage()));
}

void TestTranslations::germanCaptions_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::newRow("File menu") << "FileMnu"
                               << "&Datei";
    QTest::newRow("Load Set") << "LoadMnu"
                              << "Set &laden";
    QTest::newRow("Exit") << "ExitMnu"
                          << "&Beenden";
    QTest::newRow("Options menu") << "OptionsMnu"
                                  << "&Optionen";
    QTest::newRow("Always on Top") << "OnTopMnu"
                                   << "Immer im &Vordergrund";
    QTest::newRow("entry menu, paste") << "mnuPaste1"
                                       << "Aus Zwischenablage &einfügen";
    QTest::newRow("entry menu, address") << "mnuConnect"
                                         << "&URL öffnen";
    QTest::newRow("tray, show") << "mnuRestore"
                                << "&Snapvale anzeigen";
    QTest::newRow("Help menu") << "MainHelpMnu"
                               << "&Hilfe";
    QTest::newRow("File, history") << "mnuHistory"
                                   << "&Verlauf...";
    QTest::newRow("tray, history") << "mnuHistory2"
                                   << "&Verlauf...";
}

void TestTranslations::germanCaptions() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    Session s(m_dir.filePath(QStringLiteral("captions/s.sqlite3")));
    auto *item = s.window.findChild<QAction *>(name);
    QVERIFY2(item, qPrintable(name));
    QCOMPARE(item->text(), caption);
}

void TestTranslations::menuKeysUnique() {
    // A translated menu in which two items share a key reaches only one of them by keyboard.
    Session s(m_dir.filePath(QStringLiteral("keys/s.sqlite3")));
    s.start();
    const QList<QMenu *> menus = s.window.findChildren<QMenu *>();
    QVERIFY(menus.size() > 5);
    for (const QMenu *menu : menus) {
        QHash<QChar, QString> taken;
        for (const QAction *item : menu->actions()) {
            const QString text = item->text();
            const qsizetype at = text.indexOf(QLatin1Char('&'));
            if (item->isSeparator() || at < 0 || at + 1 >= text.size() ||
                text.at(at + 1) == QLatin1Char('&'))
                continue;
            const QChar key = text.at(at + 1).toLower();
            QVERIFY2(!taken.contains(key),
                     qPrintable(menu->objectName() + QLatin1String(": ") + taken.value(key) +
                                QLatin1String(" / ") + text));
            taken.insert(key, text);
        }
    }
}

void TestTranslations::historyWindowInGerman() {
    Session s(m_dir.filePath(QStringLiteral("history/s.sqlite3")));
    s.start();
    auto *w = new HistoryWindow(s.window);
    QCOMPARE(w->windowTitle(), QStringLiteral("Zwischenablage-Verlauf"));
    QCOMPARE(w->findChild<QPushButton *>(QStringLiteral("CmdStore"))->text(),
             QStringLiteral("In Eintrag &speichern..."));
    QCOMPARE(w->findChild<QPushButton *>(QStringLiteral("CmdClear"))->text(),
             QStringLiteral("&Verlauf leeren"));
    // One key for each of the window's buttons and its filter.
    QSet<QChar> keys;
    for (const QPushButton *b : w->findChildren<QPushButton *>()) {
        const qsizetype at = b->text().indexOf(QLatin1Char('&'));
        if (at >= 0)
            QVERIFY2(!keys.contains(b->text().at(at + 1).toLower()), qPrintable(b->text()));
        if (at >= 0)
            keys.insert(b->text().at(at + 1).toLower());
    }
    QVERIFY(!keys.contains(u'f'));
    s.session.history().add("kopiert", QDateTime::currentMSecsSinceEpoch() - 120000);
    QCOMPARE(w->list()->model()->index(0, 0).data(Qt::AccessibleTextRole).toString(),
             QStringLiteral("Vor 2 Minuten kopiert: kopiert"));
}

void TestTranslations::sessionNoticesInGerman() {
    // The session's texts come from the core library, translated all the same.
    const QString path = m_dir.filePath(QStringLiteral("notices/s.sqlite3"));
    {
        SettingsStore store(path);
        QVERIFY(store.set(EntrySection::recovery().storedName(), EntryStore::textKey(2),
                          QStringLiteral("nach dem Absturz")));
    }
    Session s(path);
    const QStringList notices = s.session.loadAtStart();
    QCOMPARE(notices.size(), 1);
    QVERIFY2(notices.first().startsWith(
                 QStringLiteral("Snapvale wurde beim letzten Mal nicht ordnungsgemäß beendet.")),
             qPrintable(notices.first()));
    QCOMPARE(s.text(2), QStringLiteral("nach dem Absturz"));
}

QTEST_MAIN(TestTranslations)
#include "test_translations.moc"
