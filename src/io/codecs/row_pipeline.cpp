#include "io/codecs/row_pipeline.h"

#include <algorithm>
#include <system_error>

namespace pixora {

namespace {

// Below this many pixels a picture is finished after decoding, as a
// second thread would cost more than it saves.
constexpr std::size_t kPipelinedPixels = std::size_t(1) << 20;
// Rows taken at a time: a few tens of thousands of pixels.
constexpr int kRowsPerTake = 16;

} // namespace

TRowPipeline::TRowPipeline(const TColourConversion& colours, const uint8_t* from, std::size_t stride,
                           TDecodedOrder order, Bitmap& to)
    : colours_(colours), from_(from), stride_(stride), order_(order), to_(to) {
    if (to.BitsPerPixel() != 32 || static_cast<std::size_t>(to.Width()) * to.Height() < kPipelinedPixels ||
        std::thread::hardware_concurrency() < 2)
        return;
    try {
        helper_ = std::thread([this] { Work(); });
    } catch (const std::system_error&) {
        // No helper: everything is finished at the end.
    }
}

TRowPipeline::~TRowPipeline() {
    Stop();
}

void TRowPipeline::Stop() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        ended_ = true;
    }
    more_.notify_all();
    if (helper_.joinable()) helper_.join();
}

void TRowPipeline::Decoded(int rows) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (rows <= decoded_) return;
        decoded_ = std::min(rows, to_.Height());
    }
    more_.notify_one();
}

void TRowPipeline::Finish() {
    if (to_.BitsPerPixel() != 32) return;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        decoded_ = to_.Height();
    }
    more_.notify_all();
    // Rows are finished here until none is left to take, while the helper
    // finishes those it holds.
    TColourMemo memo;
    while (FinishSome(false, memo)) {
    }
    Stop();
}

void TRowPipeline::Work() {
    TColourMemo memo;
    while (FinishSome(true, memo)) {
    }
}

bool TRowPipeline::FinishSome(bool wait, TColourMemo& memo) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (wait) more_.wait(lock, [this] { return next_ < decoded_ || ended_; });
    if (next_ >= decoded_) return false;
    const int y0 = next_, y1 = std::min(decoded_, y0 + kRowsPerTake);
    next_ = y1;
    lock.unlock();
    for (int y = y0; y < y1; ++y)
        colours_.Finish(from_ + stride_ * static_cast<std::size_t>(y), order_, to_.Row(y), to_.Width(), &memo);
    return true;
}

} // namespace pixora
