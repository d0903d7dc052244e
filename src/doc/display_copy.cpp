#include "doc/display_copy.h"

#include <algorithm>
#include <atomic>

#include "doc/checkerboard.h"
#include "doc/row_ranges.h"
#include "doc/workspace.h"

namespace pixora {

namespace {

// Whether a pixel of `area` of a 32-bit picture has any transparency, which
// the view blends with the checkerboard.
bool ShowsTransparency(const Bitmap& image, const TRect& area) {
    if (image.BitsPerPixel() != 32) return true;
    const int x0 = std::max(area.Left, 0), x1 = std::min(area.Right, image.Width());
    const int y0 = std::max(area.Top, 0), y1 = std::min(area.Bottom, image.Height());
    if (x0 >= x1 || y0 >= y1) return false;
    std::atomic<bool> found{false};
    ForRowRanges(y1 - y0, static_cast<std::size_t>(x1 - x0) * 4 * static_cast<std::size_t>(y1 - y0),
                 [&](int r0, int r1) {
                     for (int y = y0 + r0; y < y0 + r1 && !found.load(std::memory_order_relaxed); ++y) {
                         const uint8_t* p = image.Row(y) + 4 * static_cast<std::size_t>(x0) + 3;
                         uint8_t any = 0;
                         for (int x = x0; x < x1; ++x, p += 4)
                             any |= *p;
                         if (any) found = true;
                     }
                 });
    return found;
}

// Whether the resting copy can stay given back over `area` of the active image.
bool StaysAtRest(Workspace& ws, const Bitmap& image, const TRect& area) {
    return ws.DisplayCopy.Empty() && !ShowsTransparency(image, area);
}

} // namespace

const Bitmap& ShownPicture(const Workspace& ws) {
    if (ws.DisplayCopy.Empty())
        if (const auto s = ws.ActiveImage()) return s->Bitmap;
    return ws.DisplayCopy;
}

Bitmap& DisplayCopyToDrawOn(Workspace& ws) {
    if (ws.DisplayCopy.Empty())
        if (const TActiveImage s = ws.ActiveImage(); s && !s->Bitmap.Empty()) {
            MakeDisplayCopy(s->Bitmap, ws.Checkerboard.Bitmap, ws.DisplayCopy, true);
            FillRowTable(ws.DisplayCopy, ws.SysData.ScratchRows);
        }
    return ws.DisplayCopy;
}

bool RefreshDisplayCopy(Workspace& ws) {
    const TActiveImage s = ws.ActiveImage();
    if (!s) return false;
    if (StaysAtRest(ws, s->Bitmap, {0, 0, s->Bitmap.Width(), s->Bitmap.Height()})) return false;
    MakeDisplayCopy(s->Bitmap, ws.Checkerboard.Bitmap, ws.DisplayCopy, true);
    FillRowTable(ws.DisplayCopy, ws.SysData.ScratchRows);
    return true;
}

bool RefreshDisplayCopyArea(Workspace& ws, const TRect& area) {
    const TActiveImage s = ws.ActiveImage();
    if (!s || StaysAtRest(ws, s->Bitmap, area)) return false;
    if (!RefreshDisplayArea(s->Bitmap, ws.Checkerboard.Bitmap, ws.DisplayCopy, area)) return false;
    FillRowTable(ws.DisplayCopy, ws.SysData.ScratchRows);
    return true;
}

bool RestDisplayCopy(Workspace& ws) {
    const TActiveImage s = ws.ActiveImage();
    if (!s || ws.DisplayCopy.Empty() || !SameBitmap(s->Bitmap, ws.DisplayCopy)) return false;
    ws.DisplayCopy = Bitmap();
    FillRowTable(ws.DisplayCopy, ws.SysData.ScratchRows);
    return true;
}

} // namespace pixora
