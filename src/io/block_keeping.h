#pragma once
// How the allocator treats the blocks a run of conversions frees.
//
// A conversion frees its image, the codec's buffers and the effects' work
// areas, then asks for the same sizes again for the next file. Left to
// itself the allocator hands each such block back to the system and takes
// it again as fresh pages, so that every file pays for faulting and
// clearing them in the kernel again: up to half of a batch's time. While a
// TKeepBlocksBetweenFiles lives, blocks up to 32 MiB come from the heap and
// up to 128 MiB of freed heap is kept for the next file. When it ends, the
// freed heap goes back to the system at once, and later frees keep at most
// 64 MiB, twice the largest heap block: the ceiling of the allocator's own
// sliding rule.

namespace pixora {

class TKeepBlocksBetweenFiles {
public:
    TKeepBlocksBetweenFiles();
    ~TKeepBlocksBetweenFiles();
    TKeepBlocksBetweenFiles(const TKeepBlocksBetweenFiles&) = delete;
    TKeepBlocksBetweenFiles& operator=(const TKeepBlocksBetweenFiles&) = delete;
};

} // namespace pixora
