// The `snapvale` command users run. A request to a running Snapvale (`snapvale --copy 3`, a
// second launch) is sent from here, without loading Qt: that costs more than the request itself.
// Everything else (no Snapvale runs yet, --help, bad use) is the program's, which this process
// becomes: the same process id, and the same arguments.

#include "app/instanceclient.h"
#include "app/nocoredumps.h"
#include "core/requestwords.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include <unistd.h>

namespace {

// The request line for a command line this launcher sends itself; false for any other.
bool requestLine(int argc, char **argv, std::string *line, bool *mayWaitForUser) {
    if (argc == 1) {
        *line = "activate\n";
        return true;
    }
    const std::string_view option = argv[1];
    if (!option.starts_with("--"))
        return false;
    // --secret N on|off is "secret-on N" or "secret-off N" on the channel.
    std::string word(option.substr(2));
    int last = 2;
    if (word == "secret") {
        if (argc != 4)
            return false;
        const std::string_view how = argv[3];
        if (how != "on" && how != "off")
            return false;
        word += '-';
        word += how;
        last = 3;
    }
    for (const RequestWords::Word &known : RequestWords::words) {
        if (word != known.word || word == "activate")
            continue;
        if (known.takes == RequestWords::Takes::Nothing) {
            if (argc != 2)
                return false;
            *line = word + '\n';
        } else {
            if (argc != last + 1 ||
                !RequestWords::numberFor(known.takes, argv[2], std::strlen(argv[2])))
                return false;
            *line = word + ' ' + argv[2] + '\n';
        }
        *mayWaitForUser = known.mayWaitForUser;
        return true;
    }
    return false;
}

// Becomes the program, which lies at SNAPVALE_PROGRAM_FROM_LAUNCHER from this file.
int runProgram(char **argv) {
    char self[4096];
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) {
        std::fprintf(stderr, "snapvale: cannot find this program's folder: %s\n",
                     std::strerror(errno));
        return 1;
    }
    self[length] = '\0';
    std::string program(self);
    program.erase(program.rfind('/') + 1);
    program += SNAPVALE_PROGRAM_FROM_LAUNCHER;
    ::execv(program.c_str(), argv);
    std::fprintf(stderr, "snapvale: cannot run %s: %s\n", program.c_str(), std::strerror(errno));
    return 1;
}

} // namespace

int main(int argc, char **argv) {
    // A --get answer passes through this process too.
    forbidCoreDumps();
    std::string line;
    bool mayWaitForUser = false;
    if (!requestLine(argc, argv, &line, &mayWaitForUser))
        return runProgram(argv);
    std::string error;
    const std::string folder = InstanceClient::runtimeFolder(&error);
    if (!error.empty())
        return runProgram(argv);
    InstanceClient::Answer answer;
    const int status = InstanceClient::finish(
        InstanceClient::send(folder + InstanceClient::socketName, line, mayWaitForUser, &answer),
        answer);
    // Nothing listens: no Snapvale runs yet, and the program starts one.
    return status >= 0 ? status : runProgram(argv);
}
