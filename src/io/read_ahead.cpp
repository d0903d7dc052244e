#include "io/read_ahead.h"

#include "io/codecs/format_codecs.h"
#include "io/codecs/image_codecs.h"

namespace pixora {

ReadAhead::~ReadAhead() {
    if (result_.valid()) result_.wait();
    if (firstLook_.valid()) firstLook_.wait();
}

void ReadAhead::StartFirstLook(int reduce) {
    if (firstLook_.valid()) firstLook_.wait();
    firstLook_ = {};
    if (reduce <= 1 || path_.empty() || FormatFromExtension(path_) != fcJpeg) return;
    firstLook_ = std::async(std::launch::async, [path = path_, reduce] {
        TFirstLook look;
        try {
            look.Pixels = jpeg::ReadReduced(path, reduce);
            look.Reduce = reduce;
        } catch (const std::exception&) {
            look.Pixels = Bitmap();  // the whole read reports what is wrong
        }
        return look;
    });
}

std::optional<ReadAhead::TFirstLook> ReadAhead::TakeFirstLook() {
    if (!firstLook_.valid() || firstLook_.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        return std::nullopt;
    TFirstLook look = firstLook_.get();
    if (look.Pixels.Empty()) return std::nullopt;
    return look;
}

void ReadAhead::Start(const std::string& path, Reader read) {
    if (result_.valid()) result_.wait();
    notes_ = {};
    if (!read) read = [this](const std::string& p, int format) { return LoadImageFile(p, format, &notes_); };
    path_ = path;
    const int format = FormatFromExtension(path);
    result_ = std::async(std::launch::async, [read = std::move(read), path, format] { return read(path, format); });
}

bool ReadAhead::Holds(const std::string& path) const {
    return result_.valid() && path == path_;
}

void ReadAhead::Wait(const std::function<void(std::chrono::milliseconds)>& waiting, std::chrono::milliseconds tick) {
    if (!result_.valid()) return;
    const auto start = std::chrono::steady_clock::now();
    while (result_.wait_for(tick) != std::future_status::ready)
        if (waiting)
            waiting(std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start));
}

Bitmap ReadAhead::Take(TReadNotes* notes) {
    path_.clear();
    Bitmap pixels = result_.get();
    if (notes) *notes = std::move(notes_);
    return pixels;
}

} // namespace pixora
