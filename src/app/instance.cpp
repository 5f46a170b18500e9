#include "app/instance.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace {

Q_LOGGING_CATEGORY(lcInstance, "snapvale.instance")

// A client that has not sent its line by then is dropped.
constexpr int silentClientMs = 2000;
// How long a launch waits for the running program's answer.
constexpr int answerTimeoutMs = 10000;

#ifdef Q_OS_UNIX
QString runtimeFolder(QString *error) {
    const QString xdg = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return xdg;
    // No runtime folder from the session: one of our own, the user's alone.
    const QString own = QStringLiteral("/tmp/snapvale-%1").arg(::getuid());
    const QByteArray native = QFile::encodeName(own);
    ::mkdir(native.constData(), 0700);
    struct stat st = {};
    if (::lstat(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() ||
        (st.st_mode & 077))
        *error = QStringLiteral("%1 is not a folder of this user's alone").arg(own);
    return own;
}

// `timeoutMs` -1 waits as long as the other end keeps the connection.
bool readAll(int fd, char *data, size_t size, int timeoutMs = answerTimeoutMs) {
    while (size > 0) {
        pollfd p = {fd, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0)
            return false;
        const ssize_t got = ::read(fd, data, size);
        if (got <= 0)
            return false;
        data += got;
        size -= size_t(got);
    }
    return true;
}

#else
QString runtimeFolder(QString *) {
    return QDir::tempPath();
}
#endif

} // namespace

InstanceChannel::InstanceChannel() {
    const QString folder = runtimeFolder(&m_error);
    m_socketPath = folder + QStringLiteral("/snapvale.socket");
    m_lock = std::make_unique<QLockFile>(folder + QStringLiteral("/snapvale.lock"));
    m_lock->setStaleLockTime(0);
}

InstanceChannel::Sent InstanceChannel::send(const Request &request, QByteArray *text, int *status,
                                            QString *error) const {
#ifndef Q_OS_UNIX
    // Elsewhere each launch is a program of its own, as before.
    Q_UNUSED(request);
    Q_UNUSED(text);
    Q_UNUSED(status);
    Q_UNUSED(error);
    return Sent::NoServer;
#else
    const QByteArray path = QFile::encodeName(m_socketPath);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (size_t(path.size()) >= sizeof(address.sun_path)) {
        *error = QStringLiteral("the socket path is too long: %1").arg(m_socketPath);
        return Sent::Failed;
    }
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return Sent::Failed;
    }
    const auto done = [fd](Sent result) {
        ::close(fd);
        return result;
    };
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) != 0)
        return done(Sent::NoServer);
    const QByteArray line = request.encode();
    if (::send(fd, line.constData(), size_t(line.size()), MSG_NOSIGNAL) != line.size()) {
        *error = QStringLiteral("the running Snapvale does not answer");
        return done(Sent::Failed);
    }
    // "ok\n", "ok <bytes>\n" and the bytes, "status <n> <why>\n", or "error <why>\n".
    *status = 0;
    QByteArray head;
    char c = 0;
    const int firstByteMs = request.mayWaitForUser() ? -1 : answerTimeoutMs;
    while (head.size() < 512 &&
           readAll(fd, &c, 1, head.isEmpty() ? firstByteMs : answerTimeoutMs) && c != '\n')
        head += c;
    if (c != '\n') {
        *error = QStringLiteral("the running Snapvale does not answer");
        return done(Sent::Failed);
    }
    if (head.startsWith("error ")) {
        *error = QString::fromUtf8(head.mid(6));
        return done(Sent::Failed);
    }
    if (head.startsWith("status ")) {
        const qsizetype space = head.indexOf(' ', 7);
        bool ok = false;
        *status = head.mid(7, space < 0 ? -1 : space - 7).toInt(&ok);
        if (!ok || *status <= 0 || *status > 125) {
            *error = QStringLiteral("the running Snapvale answered badly");
            return done(Sent::Failed);
        }
        *error = space < 0 ? QString() : QString::fromUtf8(head.mid(space + 1));
        return done(Sent::Answered);
    }
    if (head.startsWith("ok ")) {
        bool ok = false;
        const qint64 size = head.mid(3).toLongLong(&ok);
        if (!ok || size < 0 || size > (qint64(1) << 31)) {
            *error = QStringLiteral("the running Snapvale answered badly");
            return done(Sent::Failed);
        }
        text->resize(qsizetype(size));
        if (!readAll(fd, text->data(), size_t(size))) {
            *error = QStringLiteral("the running Snapvale stopped answering");
            return done(Sent::Failed);
        }
    } else if (head != "ok") {
        *error = QStringLiteral("the running Snapvale answered badly");
        return done(Sent::Failed);
    }
    return done(Sent::Answered);
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

// Writes the whole answer, waiting for a slow reader a little, never for ever.
void writeAnswer(int fd, const QByteArray &answer) {
    const char *data = answer.constData();
    size_t left = size_t(answer.size());
    while (left > 0) {
        pollfd p = {fd, POLLOUT, 0};
        if (::poll(&p, 1, silentClientMs) <= 0)
            return;
        const ssize_t sent = ::send(fd, data, left, MSG_NOSIGNAL);
        if (sent < 0 && errno != EAGAIN && errno != EINTR)
            return;
        if (sent > 0) {
            data += sent;
            left -= size_t(sent);
        }
    }
}

// One connection: it gets one line, or is dropped.
class Client : public QObject {
public:
    Client(int fd, QObject *parent)
        : QObject(parent)
        , m_fd(fd)
        , m_notifier(fd, QSocketNotifier::Read) {
        m_silence.setSingleShot(true);
        connect(&m_silence, &QTimer::timeout, this, &QObject::deleteLater);
        m_silence.start(silentClientMs);
    }
    ~Client() override { ::close(m_fd); }

    int fd() const { return m_fd; }
    QSocketNotifier &notifier() { return m_notifier; }
    // Its line has arrived: it waits for the answer, however long that takes.
    void heard() { m_silence.stop(); }
    QByteArray buffer;

private:
    int m_fd;
    QSocketNotifier m_notifier;
    QTimer m_silence;
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
    connect(accepting, &QSocketNotifier::activated, this, [this] {
        int fd;
        while ((fd = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK)) >= 0)
            serve(fd);
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
            writeAnswer(client->fd(), "error " + error.toUtf8() + '\n');
            client->deleteLater();
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
                writeAnswer(waiting->fd(),
                            "status " + QByteArray::number(status) + ' ' + text + '\n');
            else
                writeAnswer(waiting->fd(),
                            prints ? "ok " + QByteArray::number(text.size()) + '\n' + text
                                   : QByteArray("ok\n"));
            waiting->deleteLater();
        });
    });
#else
    Q_UNUSED(fd);
#endif
}
