// The crop rectangle tool and the commands that apply it.
#include "tools/crop_tool.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "doc/tab_change.h"
#include "effects/recipes.h"
#include "history/history_store.h"
#include "tools/selection.h"
#include "tools/tool_dispatch.h"
#include "tools/tool_table.h"

namespace pixora {

void CropTool::Press(ToolContext& c, int x, int y) {
    TToolVars& v = c.Vars;
    // Start from a clean view: not-xor bands only erase themselves when
    // nothing has redrawn the view in between.
    c.RefreshView();
    drawn_ = false;
    v.RefreshAfter = 0;
    if (!v.CropShown) {
        c.Slot.DownX = x;
        c.Slot.DownY = y;
        v.LastPoint = {x, y};
        return;
    }
    v.HandleHit = HitTestHandles(c.Ws, x, y);
    Band(c, SelectionRect(c.Slot, v));
}

void CropTool::Move(ToolContext& c, int x, int y) {
    TToolVars& v = c.Vars;
    v.RefreshAfter = 0;
    if (!v.CropShown) {
        Band(c, {v.LastPoint.X, v.LastPoint.Y, x, y});
        return;
    }
    if (v.HandleHit == 0) return;
    ApplyHandleDrag(c.Ws, v.HandleHit, x, y);
    v.DragRect = NormalisedRect(SelectionRect(c.Slot, v));
    Band(c, v.DragRect);
}

bool CropTool::Cancel(ToolContext& c, bool held) {
    if (!held) return false;
    drawn_ = false;
    c.RefreshView();
    return true;
}

std::optional<TRect> CropTool::DragSpan(const ToolContext&) const {
    if (!drawn_) return std::nullopt;
    return last_;
}

void CropTool::Release(ToolContext& c, int x, int y) {
    TToolVars& v = c.Vars;
    v.RefreshAfter = 0;
    if (!v.CropShown) {
        v.CropShown = 1;
        v.SelRight = x;
        v.SelBottom = y;
        Band(c, SelectionRect(c.Slot, v));
    }
    // Kept with its corners in order, so that its inside and edges can
    // be grabbed whichever way it was drawn.
    NormaliseCorners(c.Slot, v);
    v.DragRect = SelectionRect(c.Slot, v);
}

void CropTool::Band(ToolContext& c, const TRect& rect) {
    const TRect r = NormalisedRect(rect);
    if (drawn_ && r == last_) return;
    if (drawn_) DottedRectangle(c.View(), last_);
    DottedRectangle(c.View(), r);
    last_ = r;
    drawn_ = true;
    c.RepaintView();
}

bool ApplyCrop(Workspace& ws) {
    const TActiveImage active = ws.ActiveImage();
    if (!active || !ws.ToolVars.CropShown) return false;
    TImages& s = *active;
    TToolVars& v = ws.ToolVars;
    const int W = s.Bitmap.Width(), H = s.Bitmap.Height();
    const int x0 = std::clamp(s.DownX, 0, W), y0 = std::clamp(s.DownY, 0, H);
    const int x1 = std::clamp(v.SelRight, 0, W), y1 = std::clamp(v.SelBottom, 0, H);
    const int w = std::abs(x1 - x0), h = std::abs(y1 - y0);
    // A rectangle without area (or wholly outside the image) would leave no
    // image at all.
    if (w == 0 || h == 0) return false;
    // The whole image is no crop: the rectangle goes, no step is made.
    const bool whole = w == W && h == H;
    if (!whole) {
        if (!PushHistory(ws, active.Slot)) return false;
        NameHistoryStep(ws, "Crop");
        const int l = std::min(x0, x1), t = std::min(y0, y1);
        NoteRecipeStep(ws, CropRecipeStep(l, t, w, h));
        Bitmap cut(w, h, 32);
        for (int y = 0; y < h; ++y)
            std::memcpy(cut.Row(y), s.Bitmap.Row(t + y) + static_cast<std::size_t>(l) * 4,
                        static_cast<std::size_t>(w) * 4);
        s.Bitmap = std::move(cut);
        FillRowTable(s.Bitmap, s.Rows);
    }
    v.CropShown = 0;
    s.Tool = ToolNone;
    TabChange(ws);
    return true;
}

bool CropToSelection(Workspace& ws) {
    if (ws.ToolVars.CropShown) return ApplyCrop(ws);
    const TActiveImage active = ws.ActiveImage();
    TToolVars& v = ws.ToolVars;
    if (!active || !v.HasSelection || SelectionOwner(ws) != active.Slot) return false;
    TImages& s = *active;
    if (s.Tool != ToolSelection) return false;
    // The mask covers the selection's bounding rectangle at its place.
    const int left = v.MaskLeft, top = v.MaskTop;
    const int right = left + ws.SelectionMask.Bitmap.Width(), bottom = top + ws.SelectionMask.Bitmap.Height();
    if (!DropSelection(ws)) return false;
    s.DownX = left;
    s.DownY = top;
    v.SelRight = right;
    v.SelBottom = bottom;
    v.CropShown = 1;
    if (ApplyCrop(ws)) return true;
    v.CropShown = 0;
    ws.Port->RefreshView();
    return false;
}

} // namespace pixora
