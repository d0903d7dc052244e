#pragma once
// Finishing a picture's rows (TColourConversion::Finish) while its decoder
// is still making the later ones: a helper thread takes the rows the
// decoder reports done, and once the decoder is through, the caller and
// the helper share what is left. Pictures too small to gain from it are
// finished on the caller's thread at the end.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>

#include "io/codecs/colour_profile.h"

namespace pixora {

class TRowPipeline {
public:
    // Rows of `to` come from decoded rows `stride` bytes apart at `from`
    // (they may be `to`'s own), in the byte order `order`.
    TRowPipeline(const TColourConversion& colours, const uint8_t* from, std::size_t stride, TDecodedOrder order,
                 Bitmap& to);
    // Stops the helper; rows not finished by then stay as decoded.
    ~TRowPipeline();
    TRowPipeline(const TRowPipeline&) = delete;
    TRowPipeline& operator=(const TRowPipeline&) = delete;

    // The decoder has made rows [0, rows).
    void Decoded(int rows);
    // Every row is decoded: returns once all are finished.
    void Finish();

private:
    void Work();
    void Stop();
    // Takes the next rows the decoder has made and finishes them with the
    // calling thread's memo; false when there are none (after waiting for
    // some or for the end if `wait`).
    bool FinishSome(bool wait, TColourMemo& memo);

    const TColourConversion& colours_;
    const uint8_t* from_;
    std::size_t stride_;
    TDecodedOrder order_;
    Bitmap& to_;
    std::mutex mutex_;
    std::condition_variable more_;
    int decoded_ = 0; // rows the decoder has made
    int next_ = 0;    // the first row no thread has taken
    bool ended_ = false;
    std::thread helper_;
};

} // namespace pixora
