#include "doc/display_copy.h"

#include "doc/checkerboard.h"
#include "doc/workspace.h"

namespace pixora {

bool DisplayCopyRests(const Workspace& ws) {
    const auto s = ws.ActiveImage();
    return ws.DisplayCopy.Empty() && s && !s->Bitmap.Empty();
}

const Bitmap& ShownPicture(const Workspace& ws) {
    return DisplayCopyRests(ws) ? ws.ActiveImage()->Bitmap : ws.DisplayCopy;
}

std::array<uint8_t, 3> ShownColour(const Workspace& ws, int x, int y) {
    const bool rests = DisplayCopyRests(ws);
    const Bitmap& shown = rests ? ws.ActiveImage()->Bitmap : ws.DisplayCopy;
    const uint8_t* p = shown.Row(y) + static_cast<std::size_t>(x) * static_cast<std::size_t>(shown.BytesPerPixel());
    std::array<uint8_t, 3> colour = {p[0], p[1], p[2]};
    if (rests && shown.BitsPerPixel() == 32) BlendedPixel(p, x, y, colour.data());
    return colour;
}

Bitmap& DisplayCopyToDrawOn(Workspace& ws) {
    if (DisplayCopyRests(ws)) {
        MakeDisplayCopy(ws.ActiveImage()->Bitmap, ws.Checkerboard.Bitmap, ws.DisplayCopy, true);
        FillRowTable(ws.DisplayCopy, ws.SysData.ScratchRows);
    }
    return ws.DisplayCopy;
}

bool RefreshDisplayCopy(Workspace& ws) {
    const TActiveImage s = ws.ActiveImage();
    if (!s || DisplayCopyRests(ws)) return false;
    MakeDisplayCopy(s->Bitmap, ws.Checkerboard.Bitmap, ws.DisplayCopy, true);
    FillRowTable(ws.DisplayCopy, ws.SysData.ScratchRows);
    return true;
}

bool RefreshDisplayCopyArea(Workspace& ws, const TRect& area) {
    const TActiveImage s = ws.ActiveImage();
    if (!s || DisplayCopyRests(ws)) return false;
    if (!RefreshDisplayArea(s->Bitmap, ws.Checkerboard.Bitmap, ws.DisplayCopy, area)) return false;
    FillRowTable(ws.DisplayCopy, ws.SysData.ScratchRows);
    return true;
}

bool RestDisplayCopy(Workspace& ws) {
    const TActiveImage s = ws.ActiveImage();
    // Not in the middle of a drag, whose next move would only make it again.
    if (!s || ws.SysData.MouseDown == 1 || ws.DisplayCopy.Empty() ||
        !IsDisplayCopyOf(s->Bitmap, ws.Checkerboard.Bitmap, ws.DisplayCopy))
        return false;
    ws.DisplayCopy = Bitmap();
    FillRowTable(ws.DisplayCopy, ws.SysData.ScratchRows);
    return true;
}

} // namespace pixora
