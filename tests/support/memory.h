#pragma once
// How much memory this process holds resident, from /proc/self/statm: the
// soak and allocator tests watch it grow and shrink. -1 when unreadable.

#include <unistd.h>

#include <cstdio>

namespace pixora::testing {

inline long ResidentBytes() {
    long pages = 0, resident = 0;
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f) return -1;
    const int got = std::fscanf(f, "%ld %ld", &pages, &resident);
    std::fclose(f);
    return got == 2 ? resident * sysconf(_SC_PAGESIZE) : -1;
}

inline long ResidentMiB() {
    const long bytes = ResidentBytes();
    return bytes < 0 ? -1 : bytes >> 20;
}

} // namespace pixora::testing
