#pragma once

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QKeySequence>
#include <QObject>
#include <QString>

// A key for the picker kept by the desktop itself, through the XDG desktop portal's
// GlobalShortcuts interface: the way on Wayland desktops that offer it (KDE Plasma, GNOME 48
// and later), where no program may grab a key. The desktop may ask the user first, keeps the
// binding across restarts by the shortcut's id, and lets the user change the key in its own
// settings. Every call is asynchronous: nothing here waits on the bus.
class PortalShortcut : public QObject {
    Q_OBJECT
public:
    enum class State {
        Idle,        // not asked: the user turned the key off
        Asking,      // the portal was asked and has not answered yet
        Unavailable, // no portal, or one without global shortcuts
        Bound,       // the desktop holds a key for the picker (trigger() says which)
        Refused      // the user or the desktop declined
    };

    explicit PortalShortcut(QObject *parent = nullptr);

    // Asks the portal for a session and binds the picker's shortcut in it, suggesting
    // `preferred`; the desktop decides the key.
    void bind(const QKeySequence &preferred);

    State state() const { return m_state; }
    // The key as the desktop describes it ("Ctrl+Alt+V"); may be empty when it chose none yet.
    QString trigger() const { return m_trigger; }

    // A key in the form XDG shortcut triggers take ("CTRL+ALT+v"); empty for a key it
    // cannot name.
    static QString portalTrigger(const QKeySequence &key);

signals:
    void stateChanged(PortalShortcut::State state);
    void activated();

private slots:
    void onResponse(const QDBusMessage &message);
    void onActivated(const QDBusObjectPath &session, const QString &id, qulonglong timestamp,
                     const QVariantMap &options);
    // ShortcutsChanged(o session, a(sa{sv}) shortcuts), read from the message itself.
    void onShortcutsChanged(const QDBusMessage &message);

private:
    enum class Step { None, CreateSession, Bind };
    // Calls `method` on the portal with a request whose Response comes to onResponse.
    void request(Step step, const QString &method, QVariantList arguments, QVariantMap options);
    void createSession();
    void setState(State state);

    State m_state = State::Idle;
    Step m_step = Step::None;
    QString m_preferred;
    QString m_session;
    QString m_requestPath;
    QString m_trigger;
};
