#include "app/instanceclient.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace InstanceClient {

namespace {

// How long a launch waits for the running program's answer.
constexpr int answerTimeoutMs = 10000;

// `timeoutMs` -1 waits as long as the other end keeps the connection.
bool readAll(int fd, char *data, std::size_t size, int timeoutMs = answerTimeoutMs) {
    while (size > 0) {
        pollfd p = {fd, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0)
            return false;
        const ssize_t got = ::read(fd, data, size);
        if (got <= 0)
            return false;
        data += got;
        size -= std::size_t(got);
    }
    return true;
}

// A whole decimal number, and nothing else, up to `most`.
bool number(std::string_view text, long long most, long long *value) {
    if (text.empty() || text.size() > 18)
        return false;
    long long n = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        n = n * 10 + (c - '0');
    }
    *value = n;
    return n <= most;
}

} // namespace

namespace {

// Whether `path` is a folder of this user's alone: owned by the user, no access for anyone else.
bool privateFolder(const std::string &path) {
    struct stat st = {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
           (st.st_mode & 077) == 0;
}

// Makes `path` and the folders above it that are missing, each readable by the user alone.
void makeFolders(const std::string &path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1))
        ::mkdir(path.substr(0, slash).c_str(), 0700);
    ::mkdir(path.c_str(), 0700);
}

} // namespace

std::string runtimeFolder(std::string *error, std::string *warning) {
    // The session's runtime folder, if it is what the XDG rules promise: the user's, 0700.
    const char *xdg = std::getenv("XDG_RUNTIME_DIR");
    if (xdg && xdg[0] == '/' && privateFolder(xdg))
        return xdg;
    // Otherwise one in the user's cache folder, which no other user can make or take (a name
    // under /tmp could be made first by anyone).
    const char *cache = std::getenv("XDG_CACHE_HOME");
    const char *home = std::getenv("HOME");
    std::string own;
    if (cache && cache[0] == '/')
        own = cache;
    else if (home && home[0] == '/')
        own = std::string(home) + "/.cache";
    if (own.empty()) {
        *error = "neither XDG_RUNTIME_DIR nor HOME names a folder of this user's";
        return {};
    }
    own += "/Snapvale/run";
    makeFolders(own);
    if (!privateFolder(own))
        *error = own + " is not a folder of this user's alone";
    else if (warning && xdg && *xdg)
        *warning = std::string(xdg) +
                   " (XDG_RUNTIME_DIR) is not a folder of this user's alone: " + own +
                   " is used instead";
    return own;
}

Sent send(const std::string &socketPath, std::string_view line, bool mayWaitForUser,
          Answer *answer) {
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof(address.sun_path)) {
        answer->error = "the socket path is too long: " + socketPath;
        return Sent::Failed;
    }
    std::memcpy(address.sun_path, socketPath.data(), socketPath.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        answer->error = std::strerror(errno);
        return Sent::Failed;
    }
    const auto done = [fd](Sent result) {
        ::close(fd);
        return result;
    };
    const auto failed = [&](const char *why) {
        answer->error = why;
        return done(Sent::Failed);
    };
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) != 0)
        return done(Sent::NoServer);
    if (::send(fd, line.data(), line.size(), MSG_NOSIGNAL) != ssize_t(line.size()))
        return failed("the running Snapvale does not answer");
    // "ok\n", "ok <bytes>\n" and the bytes, "status <n> <why>\n", or "error <why>\n".
    answer->status = 0;
    std::string head;
    char c = 0;
    const int firstByteMs = mayWaitForUser ? -1 : answerTimeoutMs;
    // A reason may be of any length; the line ends with the first line break.
    while (readAll(fd, &c, 1, head.empty() ? firstByteMs : answerTimeoutMs) && c != '\n')
        head += c;
    if (c != '\n')
        return failed("the running Snapvale does not answer");
    const std::string_view h = head;
    if (h.starts_with("error ")) {
        answer->error = head.substr(6);
        return done(Sent::Failed);
    }
    if (h.starts_with("status ")) {
        const std::size_t space = h.find(' ', 7);
        long long status = 0;
        if (!number(h.substr(7, space == h.npos ? h.npos : space - 7), 125, &status) || status == 0)
            return failed("the running Snapvale answered badly");
        answer->status = int(status);
        answer->error = space == h.npos ? std::string() : head.substr(space + 1);
        return done(Sent::Answered);
    }
    if (h.starts_with("ok ")) {
        long long size = 0;
        if (!number(h.substr(3), 1LL << 31, &size))
            return failed("the running Snapvale answered badly");
        answer->text.resize(std::size_t(size));
        if (!readAll(fd, answer->text.data(), std::size_t(size)))
            return failed("the running Snapvale stopped answering");
    } else if (h != "ok") {
        return failed("the running Snapvale answered badly");
    }
    return done(Sent::Answered);
}

int finish(Sent sent, const Answer &answer) {
    switch (sent) {
    case Sent::Answered:
        // Output that was lost (a full disk, a closed pipe) is a failure, not a success.
        if (std::fwrite(answer.text.data(), 1, answer.text.size(), stdout) != answer.text.size() ||
            std::fflush(stdout) != 0) {
            std::fprintf(stderr, "snapvale: cannot write the answer: %s\n", std::strerror(errno));
            return 1;
        }
        if (answer.status != 0)
            std::fprintf(stderr, "snapvale: %s\n", answer.error.c_str());
        return answer.status;
    case Sent::Failed:
        std::fprintf(stderr, "snapvale: %s\n", answer.error.c_str());
        return 1;
    case Sent::NoServer:
        break;
    }
    return -1;
}

} // namespace InstanceClient
