#pragma once

#include "core/requestwords.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// What one launch of snapvale asks of the running program, on its command line and on the
// instance channel between the two. On the channel a request is one line of ASCII ("copy 3\n");
// whatever arrives there is untrusted, so parsing never trusts a length or a number it reads.
struct Request {
    enum Kind {
        Activate,
        Show,
        Hide,
        Toggle,
        Menu,
        Copy,
        Paste,
        Get,
        List,
        SecretOn,
        SecretOff,
        History,
        HistoryGet,
        HistoryCopy,
        HistoryClear
    };
    Kind kind = Activate;
    // 1 to 30 for Copy, Paste, Get and the secret marks; a history item's number, the newest 1,
    // for HistoryGet and HistoryCopy.
    int entry = 0;

    bool operator==(const Request &other) const {
        return kind == other.kind && entry == other.entry;
    }
    // The line sent on the channel, "\n" included.
    QByteArray encode() const;
    // Whether the answer carries text for standard output (Get, List).
    bool printsText() const { return RequestWords::words[kind].printsText; }
    // Whether carrying it out may wait for the user (a replace question): its launch waits as
    // long. Every launch ends when its request is done, so that `snapvale --copy 3 && wl-paste`
    // finds the text and `snapvale --paste 3 || ...` knows whether it was pasted.
    // The Secret Service may ask the user to unlock it first.
    bool mayWaitForUser() const { return RequestWords::words[kind].mayWaitForUser; }
};

namespace RequestParser {

// The longest request line the channel accepts, terminator included.
constexpr int maxLineBytes = 64;

// One line as it arrives on the channel, without its "\n". Nothing for a line that is not a
// request; `error` then says why, for the answer.
std::optional<Request> parseLine(const QByteArray &line, QString *error);

// The command line, without the program name. `error` is set for bad use (exit status 2);
// `exitAfterPaint` for the benchmark's option. --help and --version are handled before.
std::optional<Request> parseArguments(const QStringList &arguments, bool *exitAfterPaint,
                                      QString *error);

} // namespace RequestParser
