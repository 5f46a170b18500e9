#include "app/instance.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <utility>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace {

Q_LOGGING_CATEGORY(lcInstance, "snapvale.instance")

// A client that has not sent its line by then is dropped.
constexpr int silentClientMs = 2000;
// A client that has read none of its answer for so long is dropped; a launch waits as long.
constexpr int stalledReaderMs = 10000;
// How long the channel waits for descriptors to come free before it takes a connection again.
constexpr int retryAcceptMs = 250;

#ifdef Q_OS_UNIX
QString runtimeFolder(QString *error) {
    std::string why;
    std::string warning;
    const QString folder = QFile::decodeName(InstanceClient::runtimeFolder(&why, &warning).c_str());
    *error = QString::fromStdString(why);
    if (!warning.empty())
        qCWarning(lcInstance, "%s", warning.c_str());
    return folder;
}

#else
QString runtimeFolder(QString *) {
    return QDir::tempPath();
}
#endif

} // namespace

InstanceChannel::InstanceChannel() {
    const QString folder = runtimeFolder(&m_error);
    m_socketPath = folder + QLatin1String(InstanceClient::socketName);
    m_lock = std::make_unique<QLockFile>(folder + QStringLiteral("/snapvale.lock"));
    m_lock->setStaleLockTime(0);
}

InstanceChannel::Sent InstanceChannel::send(const Request &request,
                                            InstanceClient::Answer *answer) const {
#ifndef Q_OS_UNIX
    // Elsewhere each launch is a program of its own, as before.
    Q_UNUSED(request);
    Q_UNUSED(answer);
    return Sent::NoServer;
#else
    const QByteArray line = request.encode();
    return InstanceClient::send(QFile::encodeName(m_socketPath).toStdString(),
                                std::string_view(line.constData(), size_t(line.size())),
                                request.mayWaitForUser(), answer);
#endif
}

bool InstanceChannel::lock() {
    // A lock whose process no longer runs is taken over by tryLock() itself.
    if (m_lock->tryLock(0))
        return true;
    if (m_lock->error() == QLockFile::LockFailedError)
        return false;
    // A runtime folder that cannot hold the lock cannot keep launches apart; this one runs
    // all the same rather than not at all.
    qCWarning(lcInstance, "cannot lock %s; another Snapvale may run beside this one",
              qUtf8Printable(m_lock->fileName()));
    return true;
}

#ifdef Q_OS_UNIX
namespace {

// One connection: it gets one line, or is dropped; then its answer goes out from the event loop
// as fast as the client reads it, and a client that stops reading is dropped. The window never
// waits for a client.
class Client : public QObject {
public:
    Client(int fd, QObject *parent)
        : QObject(parent)
        , m_fd(fd)
        , m_notifier(fd, QSocketNotifier::Read)
        , m_writable(fd, QSocketNotifier::Write) {
        m_writable.setEnabled(false);
        connect(&m_writable, &QSocketNotifier::activated, this, &Client::writeMore);
        m_silence.setSingleShot(true);
        connect(&m_silence, &QTimer::timeout, this, &QObject::deleteLater);
        m_silence.start(silentClientMs);
    }
    ~Client() override { ::close(m_fd); }

    int fd() const { return m_fd; }
    QSocketNotifier &notifier() { return m_notifier; }
    // Its line has arrived: it waits for the answer, however long that takes.
    void heard() { m_silence.stop(); }
    // Sends the answer and ends the connection once it is out.
    void answer(const QByteArray &bytes) {
        m_out = bytes;
        m_sent = 0;
        writeMore();
    }
    QByteArray buffer;

private:
    void writeMore() {
        while (m_sent < m_out.size()) {
            const ssize_t sent = ::send(m_fd, m_out.constData() + m_sent,
                                        size_t(m_out.size() - m_sent), MSG_NOSIGNAL);
            if (sent > 0) {
                m_sent += sent;
                continue;
            }
            if (sent < 0 && errno == EINTR)
                continue;
            if (sent < 0 && errno == EAGAIN) {
                // The rest when the client has read some: each stall may last so long.
                m_writable.setEnabled(true);
                m_silence.start(stalledReaderMs);
                return;
            }
            break;
        }
        m_writable.setEnabled(false);
        m_silence.stop();
        deleteLater();
    }

    int m_fd;
    QSocketNotifier m_notifier;
    QSocketNotifier m_writable;
    QTimer m_silence;
    QByteArray m_out;
    qsizetype m_sent = 0;
};

} // namespace
#endif

InstanceServer::InstanceServer(const QString &socketPath, Handler handler, QObject *parent)
    : QObject(parent)
    , m_handler(std::move(handler)) {
#ifdef Q_OS_UNIX
    const QByteArray path = QFile::encodeName(socketPath);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (size_t(path.size()) >= sizeof(address.sun_path))
        return;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    // The lock is ours, so a socket left here is a dead one.
    ::unlink(path.constData());
    m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    // Only this user may connect: the folder is the user's alone, and so is the socket.
    const mode_t before = ::umask(077);
    const bool bound =
        m_fd >= 0 &&
        ::bind(m_fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) == 0 &&
        ::listen(m_fd, 16) == 0;
    ::umask(before);
    if (!bound) {
        qCWarning(lcInstance, "cannot listen on %s: %s", path.constData(), std::strerror(errno));
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
        return;
    }
    auto *accepting = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(accepting, &QSocketNotifier::activated, this, [this, accepting] {
        static bool told = false;
        int fd;
        while ((fd = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK)) >= 0) {
            told = false;
            serve(fd);
        }
        // Out of descriptors: the waiting connection keeps the socket readable, and asking again
        // at once would spin. Clients are dropped within seconds; try again a moment later.
        if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
            if (!std::exchange(told, true))
                qCWarning(lcInstance, "cannot take a connection: %s", std::strerror(errno));
            accepting->setEnabled(false);
            QTimer::singleShot(retryAcceptMs, accepting,
                               [accepting] { accepting->setEnabled(true); });
        }
    });
#else
    Q_UNUSED(socketPath);
#endif
}

InstanceServer::~InstanceServer() {
#ifdef Q_OS_UNIX
    if (m_fd >= 0)
        ::close(m_fd);
#endif
}

void InstanceServer::serve(int fd) {
#ifdef Q_OS_UNIX
    auto *client = new Client(fd, this);
    connect(&client->notifier(), &QSocketNotifier::activated, client, [this, client] {
        char chunk[RequestParser::maxLineBytes];
        const ssize_t got = ::read(client->fd(), chunk,
                                   size_t(RequestParser::maxLineBytes - client->buffer.size()));
        if (got <= 0) {
            if (got == 0 || (errno != EAGAIN && errno != EINTR))
                client->deleteLater();
            return;
        }
        client->buffer.append(chunk, got);
        const qsizetype end = client->buffer.indexOf('\n');
        if (end < 0 && client->buffer.size() < RequestParser::maxLineBytes)
            return;
        client->notifier().setEnabled(false);
        client->heard();
        QString error;
        const std::optional<Request> request =
            end < 0 ? std::nullopt : RequestParser::parseLine(client->buffer.left(end), &error);
        if (!request) {
            if (error.isEmpty())
                error = QStringLiteral("the request is too long");
            qCWarning(lcInstance, "a request on the instance channel was refused: %s",
                      qUtf8Printable(error));
            client->answer("error " + error.toUtf8() + '\n');
            return;
        }
        // The answer may come later (a question): the client waits for it, and a client gone
        // meanwhile is not written to.
        QPointer<Client> waiting = client;
        const bool prints = request->printsText();
        m_handler(*request, [waiting, prints](int status, const QByteArray &text) {
            if (!waiting)
                return;
            if (status != 0)
                waiting->answer("status " + QByteArray::number(status) + ' ' + text + '\n');
            else
                waiting->answer(prints ? "ok " + QByteArray::number(text.size()) + '\n' + text
                                       : QByteArray("ok\n"));
        });
    });
#else
    Q_UNUSED(fd);
#endif
}
