#pragma once

#include <QAbstractNativeEventFilter>
#include <QKeySequence>
#include <QObject>

// A key that reaches this program whatever window has the keyboard: a passive grab on the X11
// root window. Elsewhere (a Wayland session without XWayland) there is none to take; the user
// binds `snapvale --menu` in the desktop's settings instead.
class GlobalShortcut : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit GlobalShortcut(QObject *parent = nullptr);
    ~GlobalShortcut() override;

    // Whether this session lets a program take a key for itself.
    static bool available();

    // Takes `key` (one key with its modifiers), giving up the one held before; an empty key
    // takes none. False, with the reason, when the key cannot be taken (another program holds
    // it, or it has no place on the keyboard): the key held before stays.
    bool set(const QKeySequence &key, QString *why);
    QKeySequence key() const { return m_key; }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

signals:
    void activated();

private:
    void release();

    QKeySequence m_key;
    quint8 m_keycode = 0;
    quint16 m_modifiers = 0;
};
