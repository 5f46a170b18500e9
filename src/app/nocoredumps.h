#pragma once

// A crash must not write the process to a file: its memory holds entries and secrets. Release
// builds only; a debug build's developer and the sanitizers want the dump.
#if defined(SNAPVALE_NO_CORE_DUMPS)
#include <sys/prctl.h>
#include <sys/resource.h>

inline void forbidCoreDumps() {
    const rlimit none = {0, 0};
    ::setrlimit(RLIMIT_CORE, &none);
    // Also keeps other processes of the user from reading this one's memory through /proc.
    ::prctl(PR_SET_DUMPABLE, 0);
}
#else
inline void forbidCoreDumps() {}
#endif
