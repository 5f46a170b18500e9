#pragma once

#include <string>
#include <string_view>

// The launch's end of the instance channel, in plain C++ and POSIX: the light `snapvale`
// command links it without Qt, and the program itself uses it to hand a request over.
namespace InstanceClient {

// The user's runtime folder, where the channel's socket and lock are: $XDG_RUNTIME_DIR where it
// is the user's own with mode 0700, as the XDG rules say, and otherwise a 0700 folder in the
// user's cache folder ($XDG_CACHE_HOME/Snapvale/run). `error` says why none can be used, or
// stays empty; `warning`, when given, says that XDG_RUNTIME_DIR was set but not used.
std::string runtimeFolder(std::string *error, std::string *warning = nullptr);
// The channel's socket in that folder, the same for the command and the program.
inline constexpr char socketName[] = "/snapvale.socket";

struct Answer {
    int status = 0;    // the launch's exit status
    std::string text;  // for standard output (status 0)
    std::string error; // why, for standard error (another status, or Failed)
};

// Sends one request line ("copy 3\n") to the running program and reads its answer, without an
// event loop. NoServer when nothing listens (none runs, or it is still starting). A request that
// may wait for the user (a replace question) waits as long as the user does.
enum class Sent { Answered, NoServer, Failed };
Sent send(const std::string &socketPath, std::string_view line, bool mayWaitForUser,
          Answer *answer);

// Writes what the launch prints for the answer (its text on standard output, a reason on
// standard error) and returns the launch's exit status; -1 for NoServer, which prints nothing.
int finish(Sent sent, const Answer &answer);

} // namespace InstanceClient
