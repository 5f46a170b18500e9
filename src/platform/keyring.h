#pragma once

#include "core/secretkeeper.h"

#include <QMap>
#include <QObject>
#include <QString>

#include <memory>

class QThread;

// Secret entries in the desktop's Secret Service (org.freedesktop.secrets: GNOME Keyring,
// KeePassXC, KWallet's service) through libsecret, one item per entry, labelled "Snapvale
// entry N" and found by the store it belongs to and the entry's number. The calls run one after
// another on a thread of their own: a locked keyring may ask the user to unlock it, and the
// window goes on meanwhile.
class Keyring : public QObject, public SecretKeeper {
    Q_OBJECT
public:
    // `storePath`: the settings store whose entries these are; a second store (a test's, a
    // copy's) has items of its own.
    explicit Keyring(const QString &storePath, QObject *parent = nullptr);
    ~Keyring() override;

    // Whether this build can reach a Secret Service at all.
    static bool supported();

    void store(int n, const QByteArray &utf8, Done done) override;
    void lookup(int n, Done done) override;
    void remove(int n, Done done) override;
    bool waitForAnswers(int ms) override;
    void giveUp() override;

private:
    // Unavailable: the library could not be loaded, and no call is made.
    enum class Call { Store, Lookup, Remove, Unavailable };
    void run(Call call, int n, const QByteArray &utf8, Done done);

    // Runs the answers that have come back, on this thread.
    static void runAnswers();
    void answer(quint64 id, const Answer &answer);

    QString m_storePath;
    QThread *m_thread = nullptr;
    QObject *m_worker = nullptr;
    // Shared with the thread: the calls not yet answered, and whether they are given up.
    struct Pending;
    std::shared_ptr<Pending> m_pending;
    // The calls not yet answered, by number, on this object's thread.
    QMap<quint64, Done> m_waiting;
    quint64 m_lastCall = 0;
};
