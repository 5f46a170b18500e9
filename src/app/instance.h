#pragma once

#include "app/instanceclient.h"
#include "core/request.h"

#include <QLockFile>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

// One Snapvale per user. The running program listens on a local socket in the user's runtime
// folder ($XDG_RUNTIME_DIR, or a 0700 folder of our own under /tmp); a lock beside it says that
// a Snapvale runs or is starting, so that two starts at once cannot both become the server.
class InstanceChannel {
public:
    InstanceChannel();

    // Why the runtime folder cannot be used; empty when it can.
    QString error() const { return m_error; }
    QString socketPath() const { return m_socketPath; }

    // Sends one request to the running program and reads its answer (InstanceClient::send).
    using Sent = InstanceClient::Sent;
    Sent send(const Request &request, InstanceClient::Answer *answer) const;

    // Takes the lock for this process's life. False when another process holds it; a lock left
    // by a killed program is taken over.
    bool lock();

private:
    QString m_error;
    QString m_socketPath;
    std::unique_ptr<QLockFile> m_lock;
};

// The running program's end of the channel, on the plain socket calls (no network library to
// load at start). Requests arrive one a connection; a bad or unknown one is answered with an
// error and a line on stderr, a silent client is dropped.
class InstanceServer : public QObject {
    Q_OBJECT
public:
    // Answers a request: exit status 0 with what the launch prints (for the requests that
    // print), or another status with the reason. Called once, now or later (a question).
    using Answer = std::function<void(int status, const QByteArray &text)>;
    using Handler = std::function<void(const Request &, const Answer &answer)>;

    InstanceServer(const QString &socketPath, Handler handler, QObject *parent = nullptr);
    ~InstanceServer() override;

private:
    void serve(int fd);

    int m_fd = -1;
    Handler m_handler;
};
