#include "platform/portalshortcut.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcPortal, "snapvale.portal")

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString shortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString requestInterface = QStringLiteral("org.freedesktop.portal.Request");
// The id the desktop keeps the binding under, from one run to the next.
const QString pickerId = QStringLiteral("picker");

// One shortcut as the portal passes it: its id and its properties (a(sa{sv}) on the bus).
struct PortalEntry {
    QString id;
    QVariantMap properties;
};

QDBusArgument &operator<<(QDBusArgument &argument, const PortalEntry &entry) {
    argument.beginStructure();
    argument << entry.id << entry.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, PortalEntry &entry) {
    argument.beginStructure();
    argument >> entry.id >> entry.properties;
    argument.endStructure();
    return argument;
}

// The picker's key as the desktop describes it, from a list of shortcuts.
QString pickerTrigger(const QList<PortalEntry> &entries, bool *found) {
    for (const PortalEntry &entry : entries) {
        if (entry.id == pickerId) {
            *found = true;
            return entry.properties.value(QStringLiteral("trigger_description")).toString();
        }
    }
    *found = false;
    return QString();
}

QList<PortalEntry> entriesOf(const QVariant &value) {
    QList<PortalEntry> entries;
    if (value.canConvert<QDBusArgument>())
        value.value<QDBusArgument>() >> entries;
    return entries;
}

// The xkb name of a key without modifiers; empty for one this does not know.
QString keyName(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return QString(QChar(u'a' + (key - Qt::Key_A)));
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return QString(QChar(u'0' + (key - Qt::Key_0)));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35)
        return QStringLiteral("F%1").arg(key - Qt::Key_F1 + 1);
    switch (key) {
    case Qt::Key_Space:
        return QStringLiteral("space");
    case Qt::Key_Insert:
        return QStringLiteral("Insert");
    case Qt::Key_Home:
        return QStringLiteral("Home");
    case Qt::Key_End:
        return QStringLiteral("End");
    case Qt::Key_PageUp:
        return QStringLiteral("Prior");
    case Qt::Key_PageDown:
        return QStringLiteral("Next");
    case Qt::Key_Print:
        return QStringLiteral("Print");
    case Qt::Key_Pause:
        return QStringLiteral("Pause");
    default:
        return QString();
    }
}

} // namespace

Q_DECLARE_METATYPE(PortalEntry)

PortalShortcut::PortalShortcut(QObject *parent)
    : QObject(parent) {
    qDBusRegisterMetaType<PortalEntry>();
    qDBusRegisterMetaType<QList<PortalEntry>>();
}

QString PortalShortcut::portalTrigger(const QKeySequence &key) {
    if (key.isEmpty())
        return QString();
    const QKeyCombination combination = key[0];
    const QString name = keyName(combination.key());
    if (name.isEmpty())
        return QString();
    QStringList parts;
    const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
    if (modifiers & Qt::ControlModifier)
        parts << QStringLiteral("CTRL");
    if (modifiers & Qt::AltModifier)
        parts << QStringLiteral("ALT");
    if (modifiers & Qt::ShiftModifier)
        parts << QStringLiteral("SHIFT");
    if (modifiers & Qt::MetaModifier)
        parts << QStringLiteral("LOGO");
    parts << name;
    return parts.join(QLatin1Char('+'));
}

void PortalShortcut::setState(State state) {
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged(state);
}

void PortalShortcut::bind(const QKeySequence &preferred) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        setState(State::Unavailable);
        return;
    }
    m_preferred = portalTrigger(preferred);
    setState(State::Asking);
    // A program not started by the desktop as an application names itself first, so that
    // the portal keeps its shortcuts under its own id; portals that know it already, or are
    // older than the call, answer with an error that changes nothing.
    QDBusMessage registration = QDBusMessage::createMethodCall(
        portalService, portalPath, QStringLiteral("org.freedesktop.host.portal.Registry"),
        QStringLiteral("Register"));
    registration << QStringLiteral("snapvale") << QVariantMap();
    bus.send(registration);
    // Whether this portal has global shortcuts at all: its version property.
    QDBusMessage version = QDBusMessage::createMethodCall(
        portalService, portalPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    version << shortcutsInterface << QStringLiteral("version");
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(version), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *w) {
        w->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *w;
        if (reply.isError()) {
            qCInfo(lcPortal, "no global shortcuts portal: %s",
                   qUtf8Printable(reply.error().message()));
            setState(State::Unavailable);
            return;
        }
        createSession();
    });
}

void PortalShortcut::request(Step step, const QString &method, QVariantList arguments,
                             QVariantMap options) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    // The portal answers on a request object whose path follows from our name and a token:
    // listened to before the call, so that a quick answer is not missed.
    // Counted for the process, not the object: an answer to an earlier binding (another
    // object's, or one given up) never lands on a request of its path.
    static int requests = 0;
    const QString token = QStringLiteral("snapvale%1").arg(++requests);
    QString sender = bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    m_requestPath =
        QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
    bus.connect(portalService, m_requestPath, requestInterface, QStringLiteral("Response"), this,
                SLOT(onResponse(QDBusMessage)));
    m_step = step;
    options.insert(QStringLiteral("handle_token"), token);
    QDBusMessage call =
        QDBusMessage::createMethodCall(portalService, portalPath, shortcutsInterface, method);
    arguments << options;
    call.setArguments(arguments);
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    const QString asked = m_requestPath;
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, asked](QDBusPendingCallWatcher *w) {
                w->deleteLater();
                // The Response signal and the call's reply come by different ways and in either
                // order: a reply after its Response (the next request already waiting) is of no
                // more use.
                if (m_requestPath != asked || m_step == Step::None)
                    return;
                const QDBusPendingReply<QDBusObjectPath> reply = *w;
                if (reply.isError()) {
                    qCWarning(lcPortal, "the portal refused the call: %s",
                              qUtf8Printable(reply.error().message()));
                    m_step = Step::None;
                    setState(State::Unavailable);
                    return;
                }
                // Portals older than the token rule answer on a path of their own choosing.
                const QString path = reply.value().path();
                if (path != m_requestPath) {
                    QDBusConnection bus = QDBusConnection::sessionBus();
                    bus.disconnect(portalService, m_requestPath, requestInterface,
                                   QStringLiteral("Response"), this,
                                   SLOT(onResponse(QDBusMessage)));
                    m_requestPath = path;
                    bus.connect(portalService, m_requestPath, requestInterface,
                                QStringLiteral("Response"), this, SLOT(onResponse(QDBusMessage)));
                }
            });
}

void PortalShortcut::createSession() {
    request(Step::CreateSession, QStringLiteral("CreateSession"), {},
            {{QStringLiteral("session_handle_token"), QStringLiteral("snapvale")}});
}

void PortalShortcut::onResponse(const QDBusMessage &message) {
    // Only the answer to the request now waiting counts.
    const QVariantList arguments = message.arguments();
    if (message.path() != m_requestPath || m_step == Step::None || arguments.size() < 2)
        return;
    const uint response = arguments.at(0).toUInt();
    const QVariantMap results = qdbus_cast<QVariantMap>(arguments.at(1));
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.disconnect(portalService, m_requestPath, requestInterface, QStringLiteral("Response"), this,
                   SLOT(onResponse(QDBusMessage)));
    const Step step = m_step;
    m_step = Step::None;
    // 0 done, 1 the user cancelled, 2 ended otherwise.
    if (response != 0) {
        qCInfo(lcPortal, "the portal declined (%u)", response);
        setState(response == 1 ? State::Refused : State::Unavailable);
        return;
    }
    if (step == Step::CreateSession) {
        // A string in the portal documentation, an object path in some portals.
        const QVariant handle = results.value(QStringLiteral("session_handle"));
        m_session = handle.canConvert<QDBusObjectPath>() &&
                            handle.metaType() == QMetaType::fromType<QDBusObjectPath>()
                        ? handle.value<QDBusObjectPath>().path()
                        : handle.toString();
        if (m_session.isEmpty()) {
            setState(State::Unavailable);
            return;
        }
        bus.connect(portalService, portalPath, shortcutsInterface, QStringLiteral("Activated"),
                    this, SLOT(onActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
        bus.connect(portalService, portalPath, shortcutsInterface,
                    QStringLiteral("ShortcutsChanged"), this,
                    SLOT(onShortcutsChanged(QDBusMessage)));
        QVariantMap properties{
            {QStringLiteral("description"), tr("Open the Snapvale entry picker")}};
        if (!m_preferred.isEmpty())
            properties.insert(QStringLiteral("preferred_trigger"), m_preferred);
        const QList<PortalEntry> shortcuts{{pickerId, properties}};
        request(Step::Bind, QStringLiteral("BindShortcuts"),
                {QVariant::fromValue(QDBusObjectPath(m_session)), QVariant::fromValue(shortcuts),
                 QString()},
                {});
        return;
    }
    if (step == Step::Bind) {
        bool found = false;
        m_trigger = pickerTrigger(entriesOf(results.value(QStringLiteral("shortcuts"))), &found);
        setState(found ? State::Bound : State::Refused);
    }
}

void PortalShortcut::onActivated(const QDBusObjectPath &session, const QString &id, qulonglong,
                                 const QVariantMap &) {
    if (m_state == State::Bound && session.path() == m_session && id == pickerId)
        emit activated();
}

void PortalShortcut::onShortcutsChanged(const QDBusMessage &message) {
    const QVariantList arguments = message.arguments();
    if (arguments.size() < 2 || arguments.at(0).value<QDBusObjectPath>().path() != m_session)
        return;
    bool found = false;
    const QString trigger = pickerTrigger(entriesOf(arguments.at(1)), &found);
    if (!found)
        return;
    // The user changed the key in the desktop's settings.
    m_trigger = trigger;
    emit stateChanged(m_state);
}
