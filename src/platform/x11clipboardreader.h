#pragma once

#include <QByteArray>
#include <QObject>

#include <memory>

// Reads the X11 clipboard's text on a thread and a connection of its own, so that a large copy
// (a 16 MiB text comes in thousands of parts) never holds up the window: Qt reads the clipboard
// on the window's thread and waits there until the last part has arrived.
class X11ClipboardReader : public QObject {
    Q_OBJECT
public:
    // Null without an X11 display of its own to open. A clipboard whose owner's window id lies
    // in `ownBase` under `ownMask` (this program's own connection) is never read.
    static std::unique_ptr<X11ClipboardReader> open(qint64 maxBytes, quint32 ownBase,
                                                    quint32 ownMask, QObject *parent = nullptr);
    ~X11ClipboardReader() override;

    // Reads the clipboard now; read() follows, on this object's thread. A request made while a
    // read runs is answered by one more read after it.
    void request();

signals:
    // `secret`: the owner marks it as a password manager does, and `utf8` is then empty.
    // `ok` false: the owner gave no text (none, or it did not answer in time). `digest` is
    // ClipboardHistory::digestOf(utf8).
    void read(const QByteArray &utf8, const QString &digest, bool secret, bool ok);

private:
    struct Worker;
    explicit X11ClipboardReader(std::unique_ptr<Worker> worker, QObject *parent);
    std::unique_ptr<Worker> m_worker;
};
