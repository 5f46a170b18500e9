// The picker's key through the desktop portal's GlobalShortcuts interface, against a stand-in
// portal (fakeportal.py) on the private session bus that CTest starts for this test: no
// desktop runs a portal headless here.

#include "picker/pickercommands.h"
#include "picker/shortcutdialog.h"
#include "platform/portalshortcut.h"
#include "support/session.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using State = PortalShortcut::State;

class TestPortal : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void portalTrigger_data();
    void portalTrigger();
    void bindsAndOpensThePicker();
    void refusedThenAskedAgain();
    void keyChangedInTheDesktop();
    void noPortalShowsTheCommand();

private:
    // Starts the stand-in portal with these arguments and waits until it owns its name.
    bool startPortal(const QStringList &arguments = {});
    // Starts the program's picker commands over a new session, as the program does at start.
    void startProgram(const QString &storedKey = QString());
    // Tells the stand-in portal to do something (Activate, ChangeTrigger).
    void tellPortal(const QString &method, const QString &argument);
    QString log() const;
    ShortcutDialog *openShortcutDialog();

    QTemporaryDir m_dir;
    QProcess m_portal;
    std::unique_ptr<Session> m_s;
    PickerCommands *m_commands = nullptr;
};

void TestPortal::initTestCase() {
    QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run under dbus-run-session");
}

void TestPortal::cleanup() {
    if (m_commands && m_commands->picker())
        m_commands->picker()->close();
    m_s.reset();
    m_commands = nullptr;
    if (m_portal.state() != QProcess::NotRunning) {
        m_portal.kill();
        m_portal.waitForFinished();
    }
    // The name is free again before the next test starts its own portal.
    QDBusConnectionInterface *bus = QDBusConnection::sessionBus().interface();
    QTRY_VERIFY(!bus->isServiceRegistered(QStringLiteral("org.freedesktop.portal.Desktop")));
    QFile::remove(m_dir.filePath(QStringLiteral("portal.log")));
}

bool TestPortal::startPortal(const QStringList &arguments) {
    m_portal.setProcessChannelMode(QProcess::ForwardedChannels);
    m_portal.start(QStringLiteral(SNAPVALE_FAKE_PORTAL),
                   QStringList{m_dir.filePath(QStringLiteral("portal.log"))} + arguments);
    if (!m_portal.waitForStarted())
        return false;
    QDBusConnectionInterface *bus = QDBusConnection::sessionBus().interface();
    for (int i = 0; i < 100; ++i) {
        if (bus->isServiceRegistered(QStringLiteral("org.freedesktop.portal.Desktop")))
            return true;
        QTest::qWait(50);
    }
    return false;
}

void TestPortal::startProgram(const QString &storedKey) {
    m_s = newSession(m_dir);
    if (!storedKey.isEmpty())
        QVERIFY(savePickerShortcut(m_s->store, storedKey));
    m_commands = new PickerCommands(m_s->window, m_s->session);
    m_s->start();
    m_s->setEntry(3, QStringLiteral("hello"));
}

void TestPortal::tellPortal(const QString &method, const QString &argument) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.portal.Desktop"),
                                       QStringLiteral("/org/freedesktop/portal/desktop"),
                                       QStringLiteral("org.snapvale.TestPortal"), method);
    call << argument;
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call);
    QVERIFY2(reply.type() == QDBusMessage::ReplyMessage, qPrintable(reply.errorMessage()));
}

QString TestPortal::log() const {
    QFile file(m_dir.filePath(QStringLiteral("portal.log")));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

ShortcutDialog *TestPortal::openShortcutDialog() {
    m_s->item("ShortcutMnu")->trigger();
    return openDialog<ShortcutDialog>(m_s->window, "FrmShortcut");
}

void TestPortal::portalTrigger_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("trigger");
    QTest::newRow("the default") << "Ctrl+Alt+V"
                                 << "CTRL+ALT+v";
    QTest::newRow("logo and shift, function key") << "Meta+Shift+F5"
                                                  << "SHIFT+LOGO+F5";
    QTest::newRow("digit") << "Ctrl+1"
                           << "CTRL+1";
    QTest::newRow("named key") << "Alt+Space"
                               << "ALT+space";
    QTest::newRow("page down") << "Ctrl+PgDown"
                               << "CTRL+Next";
    QTest::newRow("a key it cannot name") << "Ctrl+Ä"
                                          << "";
    QTest::newRow("none") << ""
                          << "";
}

void TestPortal::portalTrigger() {
    QFETCH(QString, key);
    QFETCH(QString, trigger);
    QCOMPARE(PortalShortcut::portalTrigger(QKeySequence(key, QKeySequence::PortableText)), trigger);
}

void TestPortal::bindsAndOpensThePicker() {
    QVERIFY(startPortal({QStringLiteral("--trigger"), QStringLiteral("Ctrl+Alt+V")}));
    startProgram();
    PortalShortcut *portal = m_commands->portalShortcut();
    QVERIFY(portal);
    QTRY_VERIFY2(portal->state() == State::Bound, qPrintable(log()));
    QCOMPARE(portal->trigger(), QStringLiteral("Ctrl+Alt+V"));
    const QString calls = log();
    QVERIFY2(calls.contains(QLatin1String("Register snapvale\n")), qPrintable(calls));
    QVERIFY2(calls.contains(QLatin1String(" picker CTRL+ALT+v description=Open the Snapvale "
                                          "entry picker\n")),
             qPrintable(calls));

    // The dialog says what the desktop holds; the command to bind is not needed.
    ShortcutDialog *dialog = openShortcutDialog();
    QVERIFY(dialog);
    QVERIFY(dialog->portalStatus()->text().contains(QLatin1String("with Ctrl+Alt+V")));
    QVERIFY(!dialog->status()->isVisible());
    QVERIFY(!dialog->askButton()->isVisible());
    const QPointer<ShortcutDialog> closing(dialog);
    dialog->close();
    // The dialog gone first: its going would close the picker.
    QTRY_VERIFY(closing.isNull());

    // Another program's shortcut in the same portal opens nothing; ours opens the picker. The
    // portal's signals arrive in order: once ours has opened it, the other's was handled.
    QSignalSpy activated(m_commands->portalShortcut(), &PortalShortcut::activated);
    tellPortal(QStringLiteral("Activate"), QStringLiteral("somebody-else"));
    tellPortal(QStringLiteral("Activate"), QStringLiteral("picker"));
    QTRY_VERIFY(m_commands->picker() && m_commands->picker()->isVisible());
    QCOMPARE(activated.count(), 1);
    m_commands->picker()->close();

    // The next start binds the same shortcut again, with the key kept in the store.
    m_s.reset();
    startProgram(QStringLiteral("Meta+Shift+F5"));
    QTRY_COMPARE(m_commands->portalShortcut()->state(), State::Bound);
    QVERIFY2(log().contains(QLatin1String(" picker SHIFT+LOGO+F5 ")), qPrintable(log()));
}

void TestPortal::refusedThenAskedAgain() {
    QVERIFY(startPortal({QStringLiteral("--refuse-first")}));
    startProgram();
    PortalShortcut *portal = m_commands->portalShortcut();
    QTRY_COMPARE(portal->state(), State::Refused);
    // Checked once the portal has answered the calls below: its signals arrive in order.
    tellPortal(QStringLiteral("Activate"), QStringLiteral("picker"));

    ShortcutDialog *dialog = openShortcutDialog();
    QVERIFY(dialog);
    QCOMPARE(dialog->portalStatus()->text(),
             QStringLiteral("The desktop gave the entry picker no key."));
    // The command is still offered as the other way.
    QVERIFY(dialog->status()->isVisible());
    QVERIFY(dialog->askButton()->isVisible());
    dialog->askButton()->click();
    QTRY_COMPARE(portal->state(), State::Bound);
    QVERIFY2(!m_commands->picker(), "a shortcut the desktop refused opened the picker");
    QVERIFY(!dialog->askButton()->isVisible());
    QVERIFY(dialog->portalStatus()->text().contains(QLatin1String("Ctrl+Alt+V")));
}

void TestPortal::keyChangedInTheDesktop() {
    QVERIFY(startPortal());
    startProgram();
    PortalShortcut *portal = m_commands->portalShortcut();
    QTRY_COMPARE(portal->state(), State::Bound);
    tellPortal(QStringLiteral("ChangeTrigger"), QStringLiteral("Meta+V"));
    QTRY_COMPARE(portal->trigger(), QStringLiteral("Meta+V"));
}

void TestPortal::noPortalShowsTheCommand() {
    // Nothing on this bus owns the portal's name, and nothing can be started for it.
    startProgram();
    PortalShortcut *portal = m_commands->portalShortcut();
    QTRY_COMPARE(portal->state(), State::Unavailable);
    ShortcutDialog *dialog = openShortcutDialog();
    QVERIFY(dialog);
    QVERIFY(!dialog->portalStatus()->isVisible());
    QVERIFY(!dialog->askButton()->isVisible());
    QVERIFY(dialog->status()->isVisible());
    QVERIFY(dialog->status()->text().startsWith(QLatin1String("This desktop lets no program")));
}

QTEST_MAIN(TestPortal)
#include "test_portal.moc"
