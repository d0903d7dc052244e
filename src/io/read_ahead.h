#pragma once
// A file read on a thread of its own while the program starts, so that the
// window and the decoder use two cores instead of one after the other. The
// read is the Open command's own (LoadImageFile), so the pixels are those an
// ordinary open gives.

#include <chrono>
#include <cstdint>
#include <functional>
#include <future>
#include <optional>
#include <string>

#include "doc/bitmap.h"
#include "io/codecs/image_codecs.h"

namespace pixora {

// Files above this size are most likely pictures of many megapixels, whose
// whole read takes long enough for a first look to be worth its decode.
inline constexpr std::uintmax_t kFirstLookFileBytes = 2u << 20;

class ReadAhead {
public:
    using Reader = std::function<Bitmap(const std::string& path, int formatCode)>;

    ReadAhead() = default;
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;
    // Waits for a read nobody took.
    ~ReadAhead();

    // Starts reading `path` (its format from its extension); `read` stands
    // in for the Open command's reader in tests. A read already running is
    // waited for and dropped first.
    void Start(const std::string& path, Reader read = {});
    // Whether `path` is the file being read and not taken yet.
    bool Holds(const std::string& path) const;
    // Waits until the read has ended, calling `waiting(elapsed)` every
    // `tick` meanwhile (to keep the window alive and show progress).
    void Wait(const std::function<void(std::chrono::milliseconds)>& waiting,
              std::chrono::milliseconds tick = std::chrono::milliseconds(50));
    // The pixels read (waiting for them if need be), or the read's failure
    // raised as it would be by the reader itself; `notes` receives what the
    // Open command's reader learnt of the file. After this nothing is held.
    Bitmap Take(TReadNotes* notes = nullptr);

    // A first look at a JPEG while it is read: the picture at 1 / Reduce of
    // its size, decoded on another core beside the whole read. Started with
    // Start when `reduce` is above 1; shown only, never edited.
    struct TFirstLook {
        Bitmap Pixels;
        int Reduce = 1;
    };
    void StartFirstLook(int reduce);
    // The first look once it is decoded (once; empty when there is none, it
    // failed, or it is not ready yet).
    std::optional<TFirstLook> TakeFirstLook();

private:
    std::string path_;
    std::future<Bitmap> result_;
    TReadNotes notes_; // written by the reading thread, read once it has ended
    std::future<TFirstLook> firstLook_;
};

} // namespace pixora
