#include "io/block_keeping.h"

#include <malloc.h>

namespace pixora {

namespace {

constexpr int kHeapBlockLimit = 32 << 20;
constexpr int kKeptDuringRun = 128 << 20;
constexpr int kKeptAfterRun = 2 * kHeapBlockLimit;

} // namespace

TKeepBlocksBetweenFiles::TKeepBlocksBetweenFiles() {
    mallopt(M_MMAP_THRESHOLD, kHeapBlockLimit);
    mallopt(M_TRIM_THRESHOLD, kKeptDuringRun);
}

TKeepBlocksBetweenFiles::~TKeepBlocksBetweenFiles() {
    mallopt(M_TRIM_THRESHOLD, kKeptAfterRun);
    malloc_trim(0);
}

} // namespace pixora
