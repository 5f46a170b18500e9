#pragma once

#include <cstddef>

// The requests' words, shared by the program and the light `snapvale` command, which has no Qt:
// "copy" on the instance channel is "--copy" on the command line. In the order of Request::Kind.
namespace RequestWords {

struct Word {
    const char *word;
    bool takesEntry;     // an entry number follows: "copy 3"
    bool mayWaitForUser; // its answer may wait for a question or an unlock prompt
    bool printsText;     // its answer carries text for standard output
};

// A secret entry's copy and get wait for the Secret Service, which may ask to be unlocked.
inline constexpr Word words[] = {
    {"activate", false, false, false}, {"show", false, false, false},
    {"hide", false, false, false},     {"toggle", false, false, false},
    {"menu", false, false, false},     {"copy", true, true, false},
    {"paste", true, true, false},      {"get", true, true, true},
    {"list", false, false, true},      {"secret-on", true, true, false},
    {"secret-off", true, true, false},
};

inline constexpr std::size_t count = sizeof words / sizeof words[0];

// "1" to "30" exactly: no sign, no leading zero, no space, nothing after. 0 for anything else.
constexpr int entryNumber(const char *text, std::size_t size) {
    if (size == 0 || size > 2 || text[0] == '0')
        return 0;
    int n = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return 0;
        n = n * 10 + (text[i] - '0');
    }
    return n <= 30 ? n : 0;
}

} // namespace RequestWords
