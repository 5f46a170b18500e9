#pragma once

#include <cstddef>

// The requests' words, shared by the program and the light `snapvale` command, which has no Qt:
// "copy" on the instance channel is "--copy" on the command line. In the order of Request::Kind.
namespace RequestWords {

// What follows a request's word: nothing, an entry number ("copy 3") or the number of a
// history item, the newest 1 ("history-get 12").
enum class Takes { Nothing, Entry, Item };

struct Word {
    const char *word;
    Takes takes;
    bool mayWaitForUser; // its answer may wait for a question or an unlock prompt
    bool printsText;     // its answer carries text for standard output
};

// A secret entry's copy and get wait for the Secret Service, which may ask to be unlocked.
inline constexpr Word words[] = {
    {"activate", Takes::Nothing, false, false},
    {"show", Takes::Nothing, false, false},
    {"hide", Takes::Nothing, false, false},
    {"toggle", Takes::Nothing, false, false},
    {"menu", Takes::Nothing, false, false},
    {"copy", Takes::Entry, true, false},
    {"paste", Takes::Entry, true, false},
    {"get", Takes::Entry, true, true},
    {"list", Takes::Nothing, false, true},
    {"secret-on", Takes::Entry, true, false},
    {"secret-off", Takes::Entry, true, false},
    {"history", Takes::Nothing, false, true},
    {"history-get", Takes::Item, false, true},
    {"history-copy", Takes::Item, false, false},
    {"history-clear", Takes::Nothing, false, false},
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

// "1" to "10000" (the most a history holds) in the same way; 0 for anything else.
constexpr int itemNumber(const char *text, std::size_t size) {
    if (size == 0 || size > 5 || text[0] == '0')
        return 0;
    int n = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return 0;
        n = n * 10 + (text[i] - '0');
    }
    return n <= 10000 ? n : 0;
}

// The number a request of this word takes, parsed; 0 when it is not one.
constexpr int numberFor(Takes takes, const char *text, std::size_t size) {
    return takes == Takes::Entry  ? entryNumber(text, size)
           : takes == Takes::Item ? itemNumber(text, size)
                                  : 0;
}

} // namespace RequestWords
