// The session without any window: start, recovery copy, sets, options and the end of a run, as
// any front end (the window, the command line, a picker) drives it.

#include "core/entrysession.h"
#include "core/entryset.h"
#include "core/settingsstore.h"
#include "core/storedsettings.h"

#include <QFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using Role = EntrySession::Role;
using SetResult = EntrySession::SetResult;

class TestSession : public QObject {
    Q_OBJECT
private slots:
    void init();
    void recoveryCopyFollowsTheRole_data();
    void recoveryCopyFollowsTheRole();
    void startAfterUncleanEnd_data();
    void startAfterUncleanEnd();
    void sets_data();
    void sets();
    void refusedTextChangesNothing();
    void optionsAndClippingsKeptAtOnce();

private:
    QString storePath() const { return m_dir->filePath(QStringLiteral("s.sqlite3")); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSession::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestSession::recoveryCopyFollowsTheRole_data() {
    QTest::addColumn<Role>("role");
    QTest::addColumn<bool>("keepsCopy");
    QTest::newRow("owner") << Role::Owner << true;
    QTest::newRow("second copy") << Role::Guest << false;
    QTest::newRow("start-up measurement") << Role::Probe << false;
}

void TestSession::recoveryCopyFollowsTheRole() {
    QFETCH(Role, role);
    QFETCH(bool, keepsCopy);
    SettingsStore store(storePath());
    EntrySession session(store);
    session.setRole(role);
    session.loadAtStart();

    QSignalSpy copied(&session, &EntrySession::recoveryCopyEnded);
    QVERIFY(session.setEntryText(4, QStringLiteral("kept")));
    QCOMPARE(session.recoveryCopyPending(), keepsCopy);
    if (keepsCopy) {
        QVERIFY(copied.wait(10000));
        QCOMPARE(copied.first().first().toBool(), true);
    }
    QCOMPARE(hasEntries(store, EntrySection::recovery()), keepsCopy);
    QCOMPARE(session.mayWriteAtEnd(), keepsCopy);

    // A clean end: the owner's closing save lands and the copy it stood in for goes.
    if (keepsCopy)
        QVERIFY(session.saveStartupEntries());
    session.end(keepsCopy);
    QVERIFY(!hasEntries(store, EntrySection::recovery()));
    QCOMPARE(store.get(EntrySection::startup().storedName(), EntryStore::textKey(4)),
             keepsCopy ? QStringLiteral("kept") : QString());
    // Nothing more is kept once the run has ended.
    session.entries().setText(5, QStringLiteral("late"));
    QVERIFY(!session.recoveryCopyPending());
}

void TestSession::startAfterUncleanEnd_data() {
    QTest::addColumn<Role>("role");
    QTest::addColumn<bool>("autoSave");
    QTest::addColumn<QString>("entry2");
    QTest::addColumn<QString>("notice");
    QTest::addColumn<bool>("copyLeft");
    QTest::newRow("owner recovers") << Role::Owner << true << "after crash"
                                    << "did not end properly" << true;
    QTest::newRow("auto-save off drops the copy")
        << Role::Owner << false << "startup" << QString() << false;
    QTest::newRow("a second copy leaves it alone") << Role::Guest << true << "startup"
                                                   << "Another Snapvale is running" << true;
    QTest::newRow("a measurement says nothing")
        << Role::Probe << true << "startup" << QString() << true;
}

void TestSession::startAfterUncleanEnd() {
    QFETCH(Role, role);
    QFETCH(bool, autoSave);
    QFETCH(QString, entry2);
    QFETCH(QString, notice);
    QFETCH(bool, copyLeft);
    {
        // The last run: startup entries saved, then a change copied, then killed.
        SettingsStore store(storePath());
        EntrySession last(store);
        last.loadAtStart();
        last.entries().setText(2, QStringLiteral("startup"));
        last.entries().setText(3, QStringLiteral("unchanged"));
        QVERIFY(last.updateStartupEntries());
        QSignalSpy copied(&last, &EntrySession::recoveryCopyEnded);
        last.entries().setText(2, QStringLiteral("after crash"));
        QVERIFY(copied.wait(10000));
        QVERIFY(last.setOption(Option::AutoSave, autoSave) || !autoSave);
        if (!autoSave) {
            // Turning auto-save off drops the copy; put one back as a crash would leave it.
            QVERIFY(store.set(EntrySection::recovery().storedName(), EntryStore::textKey(2),
                              QStringLiteral("after crash")));
        }
    }
    SettingsStore store(storePath());
    EntrySession session(store);
    session.setRole(role);
    const QStringList notices = session.loadAtStart();
    QCOMPARE(notices.size(), notice.isEmpty() ? 0 : 1);
    if (!notice.isEmpty())
        QVERIFY2(notices.first().contains(notice), qPrintable(notices.first()));
    QCOMPARE(session.entries().text(2), entry2);
    QCOMPARE(session.entries().text(3), QStringLiteral("unchanged"));
    QCOMPARE(hasEntries(store, EntrySection::recovery()), copyLeft);
}

void TestSession::sets_data() {
    QTest::addColumn<QString>("sixthLine"); // of the file loaded; empty: the file as saved
    QTest::addColumn<bool>("moved");
    QTest::addColumn<SetResult>("result");
    QTest::newRow("as saved") << QString() << false << SetResult::Done;
    QTest::newRow("moved, its sixth line names the set") << QString() << true << SetResult::Done;
    QTest::newRow("sixth line names the startup entries")
        << "Startup" << true << SetResult::NotASet;
    QTest::newRow("sixth line names a set never saved")
        << "/nowhere/never.ent" << true << SetResult::NothingStored;
}

void TestSession::sets() {
    QFETCH(QString, sixthLine);
    QFETCH(bool, moved);
    QFETCH(SetResult, result);
    SettingsStore store(storePath());
    EntrySession session(store);
    session.loadAtStart();
    session.entries().setEntry(7, QStringLiteral("in the set"), QStringLiteral("seven"));
    const QString path = m_dir->filePath(QStringLiteral("work.ent"));
    QString error;
    QCOMPARE(session.saveSet(path, &error), SetResult::Done);

    QString loaded = path;
    if (moved) {
        loaded = m_dir->filePath(QStringLiteral("moved.ent"));
        QVERIFY(QFile::rename(path, loaded));
        if (!sixthLine.isEmpty()) {
            QFile f(loaded);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(EntrySet::fileText(sixthLine).toUtf8());
        }
    }
    session.clearAll();
    session.entries().setText(1, QStringLiteral("on screen"));
    QCOMPARE(session.loadSet(loaded), result);
    if (result == SetResult::Done) {
        QCOMPARE(session.entries().text(7), QStringLiteral("in the set"));
        QCOMPARE(session.entries().name(7), QStringLiteral("seven"));
        QCOMPARE(session.entries().text(1), QString());
    } else {
        // Nothing loaded: what is on screen stays.
        QCOMPARE(session.entries().text(1), QStringLiteral("on screen"));
        QCOMPARE(session.entries().text(7), QString());
    }

    QCOMPARE(session.deleteSet(path, &error), SetResult::Done);
    QVERIFY(!hasEntries(store, EntrySection::set(path)));
    QVERIFY(!QFile::exists(path));
}

void TestSession::refusedTextChangesNothing() {
    SettingsStore store(storePath());
    EntrySession session(store);
    session.loadAtStart();
    session.entries().setEntry(9, QStringLiteral("  keep me  "), QStringLiteral("nine"));
    const qint64 limit = EntryStore::maxTextBytes();
    EntryStore::setMaxTextBytes(8);
    const auto restore = qScopeGuard([limit] { EntryStore::setMaxTextBytes(limit); });
    QVERIFY(!session.setEntryText(9, QStringLiteral("far too long")));
    QCOMPARE(session.entries().text(9), QStringLiteral("  keep me  "));
    QCOMPARE(session.entries().name(9), QStringLiteral("nine"));
    // Copying drops the spaces at both ends only.
    QCOMPARE(session.textToCopy(9), QByteArray("keep me"));
}

void TestSession::optionsAndClippingsKeptAtOnce() {
    {
        SettingsStore store(storePath());
        EntrySession session(store);
        session.loadAtStart();
        QSignalSpy changed(&session, &EntrySession::optionsChanged);
        QVERIFY(session.setOption(Option::MouseOver, false));
        QCOMPARE(changed.size(), 1);
        QStringList clippings(ClippingCount);
        clippings[19] = QStringLiteral("last");
        QVERIFY(session.setClippings(clippings));
        // A run killed now keeps both.
    }
    SettingsStore store(storePath());
    EntrySession session(store);
    session.loadAtStart();
    QCOMPARE(session.options().mouseOver, false);
    QCOMPARE(session.options().onTop, true);
    QCOMPARE(session.clipping(20), QStringLiteral("last"));
    QCOMPARE(session.clipping(1), QString());
}

QTEST_GUILESS_MAIN(TestSession)
#include "test_session.moc"
