#pragma once
// How much memory this process holds resident, from /proc/self/statm: the
// soak and allocator tests watch it grow and shrink. -1 when unreadable.

#include <unistd.h>

#include <cstdio>

namespace pixora::testing {

// Under the address checker freed blocks wait in its quarantine (256 MB by
// default) before they go back, so resident memory does not fall when a
// buffer is freed.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kSanitizerAllocator = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kSanitizerAllocator = true;
#else
inline constexpr bool kSanitizerAllocator = false;
#endif
#else
inline constexpr bool kSanitizerAllocator = false;
#endif

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

// The peak of the resident size (VmHWM), -1 when unreadable; and the peak
// started again from the resident size now.
inline long PeakResidentBytes() {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return -1;
    char line[256];
    long kib = -1;
    while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "VmHWM: %ld kB", &kib) == 1) break;
    std::fclose(f);
    return kib < 0 ? -1 : kib * 1024;
}

inline bool ForgetPeakResident() {
    std::FILE* f = std::fopen("/proc/self/clear_refs", "w");
    if (!f) return false;
    const bool written = std::fputs("5", f) >= 0;
    return std::fclose(f) == 0 && written;
}

} // namespace pixora::testing
