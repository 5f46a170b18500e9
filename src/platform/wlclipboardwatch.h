#pragma once

#include <QByteArray>
#include <QObject>

class QProcess;

// Hears of every copy on a Wayland compositor with the data-control protocol (sway and the other
// wlroots ones, KDE Plasma), focused or not, through wl-clipboard's `wl-paste --watch`: Debian
// ships no description of that protocol to build against, and wl-clipboard is already what
// Snapvale copies with there. A copy marked sensitive (a password manager's) never leaves
// wl-paste's shell; a text over the history's limit is cut one byte over it, so it is not kept.
// A compositor without data-control (GNOME's Mutter) is never asked: wl-paste would open a
// window of its own there for every copy.
class WlClipboardWatch : public QObject {
    Q_OBJECT
public:
    // What wl-paste runs for each change, with the largest text to pass as $1: one line a
    // change, "data <base64 of the text>" or the state alone ("sensitive", "nil", "clear").
    static const char *const script;
    // The text of one such line (without its line break); null for anything but "data".
    static QByteArray textOfRecord(const QByteArray &line);
    // Whether this session can be watched so: a compositor that offers data-control, and
    // wl-paste.
    static bool available();

    explicit WlClipboardWatch(QObject *parent = nullptr);
    ~WlClipboardWatch() override;
    void start();
    void stop();
    bool isRunning() const;

signals:
    void copied(const QByteArray &utf8);

private:
    void readRecords();
    QProcess *m_process = nullptr;
};
