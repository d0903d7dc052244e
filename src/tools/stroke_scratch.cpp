// The tools' image-sized scratch between presses: given back once an edit is
// done, made again by the press that needs it.
#include <algorithm>
#include <cstring>
#include <exception>
#include <vector>

#include "history/undo_history_list.h"
#include "tools/selection_pixels.h"
#include "tools/tool_set.h"

namespace pixora {

namespace {

// Whether every row of `b` holds the bytes of `pixel` over and over.
bool EveryPixelIs(const Bitmap& b, const std::vector<uint8_t>& pixel) {
    if (b.Empty() || static_cast<std::size_t>(b.BytesPerPixel()) != pixel.size()) return false;
    std::vector<uint8_t> row;
    for (int x = 0; x < b.Width(); ++x) row.insert(row.end(), pixel.begin(), pixel.end());
    for (int y = 0; y < b.Height(); ++y)
        if (std::memcmp(b.Row(y), row.data(), row.size()) != 0) return false;
    return true;
}

// The white a press clears the overlay to.
bool AllWhite(const Bitmap& overlay) {
    return EveryPixelIs(overlay, {255, 255, 255, 0});
}

// Every byte 0: the fresh bitmap a tab change gives a base that was given
// back.
bool AllZero(const Bitmap& b) {
    return EveryPixelIs(b, std::vector<uint8_t>(static_cast<std::size_t>(std::max(b.BytesPerPixel(), 1)), 0));
}

void GiveBack(TWorkBitmap& w) {
    w.Bitmap = Bitmap();
    w.Refill();
}

} // namespace

void ToolSet::Rest() {
    const TToolVars& v = ws_.ToolVars;
    if (ws_.SysData.MouseDown == 1 || pending_.Slot >= 0 || v.HasSelection || v.CropShown) return;
    Bitmap& base = ws_.StrokeBase.Bitmap;
    if (made_.Base && base.Data() == made_.Base && !base.Empty()) {
        GiveBack(ws_.StrokeBase);
        baseParked_ = true;
        parked_.Slot = made_.Slot;
        parked_.State = made_.State;
    }
    const Bitmap& overlay = ws_.StrokeOverlay.Bitmap;
    if (made_.Overlay && overlay.Data() == made_.Overlay && AllWhite(overlay)) {
        GiveBack(ws_.StrokeOverlay);
        overlayParked_ = true;
    }
    made_ = {};
}

void ToolSet::Unpark(const TToolDescription& row, bool takeBase, const Bitmap& image) {
    if (takeBase) baseParked_ = false;
    if (row.ClearsOverlay) overlayParked_ = false;
    if (!row.PushesHistory) return;
    if (baseParked_) {
        baseParked_ = false;
        // Whatever was put there since is the base now; a tab change only
        // sizes it afresh.
        const Bitmap& base = ws_.StrokeBase.Bitmap;
        if (base.Empty() || (ws_.StrokeBase.SizedAfresh && AllZero(base))) {
            Bitmap state;
            bool read = false;
            try {
                read = ReadHistoryState(ws_, parked_.Slot, parked_.State, state);
            } catch (const std::exception&) {
                read = false;
            }
            // Without that state (dropped from the history) the image as
            // it is serves.
            if (!read) state = image;
            // Another image's base of another size is cleared to this one's,
            // as a tab change leaves it.
            if (state.Width() != image.Width() || state.Height() != image.Height())
                state.SetSize(image.Width(), image.Height());
            state.SetBitsPerPixel(32);
            ws_.StrokeBase.Bitmap = std::move(state);
            ws_.StrokeBase.Refill();
        }
    }
    if (overlayParked_ && !row.ClearsOverlay) {
        overlayParked_ = false;
        if (ws_.StrokeOverlay.Bitmap.Empty()) WhiteImageSize(ws_.StrokeOverlay, image);
    }
}

void RestTools(Workspace& ws) {
    if (ws.ToolSetStorage) static_cast<ToolSet&>(*ws.ToolSetStorage).Rest();
}

} // namespace pixora
