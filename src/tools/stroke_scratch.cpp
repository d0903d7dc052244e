// The tools' image-sized scratch between presses: given back once an edit is
// done, made again by the press that needs it.
#include <cstring>
#include <exception>

#include "history/undo_history_list.h"
#include "tools/selection_pixels.h"
#include "tools/tool_set.h"

namespace pixora {

namespace {

// Whether every pixel of the overlay is the white a press clears it to.
bool AllWhite(const Bitmap& overlay) {
    if (overlay.Empty() || overlay.BitsPerPixel() != 32) return false;
    Bitmap white(overlay.Width(), 1, 32);
    white.Fill(255, 255, 255, 0);
    const std::size_t bytes = static_cast<std::size_t>(overlay.Width()) * 4;
    for (int y = 0; y < overlay.Height(); ++y)
        if (std::memcmp(overlay.Row(y), white.Row(0), bytes) != 0) return false;
    return true;
}

// Whether every byte is 0: the fresh bitmap a tab change gives a base that
// was given back.
bool AllZero(const Bitmap& b) {
    const std::size_t bytes = static_cast<std::size_t>(b.Width()) * b.BytesPerPixel();
    for (int y = 0; y < b.Height(); ++y) {
        const uint8_t* row = b.Row(y);
        if (row[0] != 0 || std::memcmp(row, row + 1, bytes - 1) != 0) return false;
    }
    return true;
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
        if (base.Empty() || AllZero(base)) {
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
