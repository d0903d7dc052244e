#include "tools/selection.h"

#include <algorithm>

#include "doc/canvas.h"
#include "doc/display_copy.h"
#include "history/changed_step.h"
#include "history/history_store.h"
#include "tools/tool_dispatch.h"
#include "tools/tool_set.h"
#include "tools/tool_options.h"
#include "tools/tool_table.h"

namespace pixora {

// ---- options and the edit test -----------------------------------------

TSelectOptions ReadSelectOptions(const Workspace& ws) {
    TSelectOptions o;
    // Without a window there is no box to read: the options stay as they start.
    if (!ws.HasWindow()) return o;
    const WindowPort& p = *ws.Port;
    o.Shape = std::clamp(p.ToolOption(TOpt::SelectionType), 0, 3);
    o.EditArea = p.ToolOption(TOpt::SelectionEdit) == 0;
    o.ApplyToSelection = p.ToolOption(TOpt::SelectionApplyInside) != 0;
    o.ExcludeSelection = p.ToolOption(TOpt::SelectionExclude) != 0;
    o.DuplicateOnMouseUp = p.ToolOption(TOpt::SelectionDuplicate) != 0;
    o.DeleteUnderlying = p.ToolOption(TOpt::SelectionDeleteUnderlying) != 0;
    o.Tolerance = p.ToolOption(TOpt::SelectionTolerance);
    return o;
}

int SelectionType(const Workspace& ws) {
    return ReadSelectOptions(ws).Shape;
}

int SelectionOwner(const Workspace& ws) {
    const int owner = ws.ToolVars.SelectionSlot;
    return owner >= 0 && owner < kSlotCount ? owner : ws.ActiveSlot();
}

void ForgetSelection(TToolVars& v) {
    v.HasSelection = 0;
    v.SelectionSlot = -1;
}

SelectionEditTest::SelectionEditTest(const Workspace& ws) {
    const TSelectOptions o = ReadSelectOptions(ws);
    if (!(o.ApplyToSelection || o.ExcludeSelection) || !ws.ToolVars.HasSelection) return;
    if (SelectionOwner(ws) != ws.ActiveSlot()) return;
    *this = SelectionEditTest(ws.SelectionMask.Bitmap, ws.ToolVars.MaskLeft, ws.ToolVars.MaskTop,
                              o.ApplyToSelection);
}

SelectionEditTest::SelectionEditTest(const Bitmap& mask, int left, int top, bool apply)
    : active_(true), apply_(apply), left_(left), top_(top) {
    width_ = mask.BitsPerPixel() == 32 ? mask.Width() : 0;
    height_ = width_ > 0 ? mask.Height() : 0;
    rows_.resize(static_cast<std::size_t>(height_));
    for (int y = 0; y < height_; ++y)
        rows_[static_cast<std::size_t>(y)] = mask.Row(y);
}

// ---- outlines -------------------------------------------------------------

void DrawSelectionOutline(Workspace& ws, int shape) {
    const int slot = SelectionOwner(ws);
    if (slot < 0) return;
    const TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    if (shape == SelMagicWand) {
        OutlineMask(ws.SelectionMask.Bitmap, DisplayCopyToDrawOn(ws), s.DownX, s.DownY);
        return;
    }
    const TRect r = SelectionRect(s, ws.ToolVars);
    if (shape == SelRectangle) {
        DottedRectangle(DisplayCopyToDrawOn(ws), r);
        return;
    }
    Canvas c = DottedNotXor(DisplayCopyToDrawOn(ws));
    if (shape == SelEllipse)
        c.Ellipse(r.Left, r.Top, r.Right, r.Bottom);
    else
        c.Polygon({ws.ToolVars.FreePoints.begin(), ws.ToolVars.FreePoints.end()});
}

bool DrawKeptSelection(Workspace& ws) {
    const TActiveImage active = ws.ActiveImage();
    if (!active || !ws.ToolVars.HasSelection || active->Tool == ToolSelection) return false;
    if (SelectionOwner(ws) != active.Slot) return false;
    const TSelectOptions o = ReadSelectOptions(ws);
    if (!o.ApplyToSelection && !o.ExcludeSelection) return false;
    DrawSelectionOutline(ws, o.Shape);
    return true;
}

// ---- commands -------------------------------------------------------------

bool TightenSelection(Workspace& ws, TImages& s) {
    TToolVars& v = ws.ToolVars;
    const Bitmap& mask = ws.SelectionMask.Bitmap;
    int minX = mask.Width(), minY = mask.Height(), maxX = -1, maxY = -1;
    for (int y = 0; y < mask.Height(); ++y) {
        const uint8_t* row = mask.Row(y);
        for (int x = 0; x < mask.Width(); ++x)
            if (row[x * 4] == 0) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
    }
    if (maxX < 0) return false;
    s.DownX = minX;
    s.DownY = minY;
    v.LastPoint = {minX, minY};
    // The box includes its last selected column and row, so no selected
    // pixel is left behind when the selection moves.
    const int w = maxX - minX + 1, h = maxY - minY + 1;
    v.SelRight = minX + w;
    v.SelBottom = minY + h;
    const TRect box{minX, minY, minX + w, minY + h};
    v.FloatBitmap = Bitmap(w, h, 32);
    StretchRect(ws.StrokeBase.Bitmap, box, v.FloatBitmap, {0, 0, w, h});
    FillRowTable(v.FloatBitmap, v.FloatRows);
    Bitmap cut(w, h, 32);
    StretchRect(ws.StrokeOverlay.Bitmap, box, cut, {0, 0, w, h});
    ws.SelectionMask.Bitmap = std::move(cut);
    ws.SelectionMask.Refill();
    return true;
}


bool DropSelection(Workspace& ws) {
    TToolVars& v = ws.ToolVars;
    if (!v.HasSelection) return false;
    const int slot = SelectionOwner(ws);
    if (slot < 0) return false;
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    if (!s.InUse) {
        // The image it was made on is gone.
        ForgetSelection(v);
        return false;
    }
    if (s.Tool != ToolSelection) return false;
    const TSelectOptions o = ReadSelectOptions(ws);
    ForgetSelection(v);
    // Bitmap is the clean image (outlines live on the view), so committing
    // writes the floating pixels and keeps whatever else changed the image
    // while the selection floated.
    if (o.Shape == SelRectangle) {
        NormaliseCorners(s, v);
        if (o.EditArea)
            v.DragRect = SelectionRect(s, v);
        else
            StretchFloating(v, s.Bitmap, FloatingRect(s, v));
    } else {
        v.RefreshAfter = 0;
        WriteFloating(v.FloatBitmap, ws.SelectionMask.Bitmap, s.Bitmap, s.DownX, s.DownY);
        // The clean copy is this image's only while it is the one shown.
        if (slot == ws.ActiveSlot())
            WriteFloating(v.FloatBitmap, ws.SelectionMask.Bitmap, ws.StrokeBase.Bitmap, s.DownX, s.DownY);
    }
    FillRowTable(s.Bitmap, s.Rows);
    ws.Port->UpdateCommandStates();
    return true;
}

bool EndSelection(Workspace& ws) {
    const bool dropped = DropSelection(ws);
    TToolVars& v = ws.ToolVars;
    if (v.HasSelection && v.SelectionSlot >= 0 && v.SelectionSlot != ws.ActiveSlot()) {
        ForgetSelection(v);
        ws.Port->UpdateCommandStates();
    }
    return dropped;
}

void SelectAll(Workspace& ws) {
    const TActiveImage active = ws.ActiveImage();
    if (!active) return;
    const int slot = active.Slot;
    // The selection tool will own this selection: its set must exist, so
    // that the selection is committed before the image is replaced.
    ToolsOf(ws);
    TImages& s = *active;
    TToolVars& v = ws.ToolVars;
    const int w = s.Bitmap.Width(), h = s.Bitmap.Height();
    v.HasSelection = 1;
    v.SelectionSlot = slot;
    // The whole image is a rectangle selection, whatever shape the box has
    // chosen: the floating pixels are kept as a rectangle keeps them, and
    // read as another shape's they would land shifted when dropped.
    ws.Port->SetToolOption(TOpt::SelectionType, SelRectangle);
    ws.Port->UpdateCommandStates();
    s.DownX = s.DownY = 0;
    v.LastPoint = {0, 0};
    v.SelRight = w;
    v.SelBottom = h;
    v.DragRect = {0, 0, w, h};
    v.FloatBitmap = Bitmap(w, h, 32);
    StretchRect(s.Bitmap, {1, 1, w - 1, h - 1}, v.FloatBitmap, {0, 0, w, h});
    v.FloatInset = 1;
    FillRowTable(v.FloatBitmap, v.FloatRows);
    ws.StrokeBase.Bitmap = s.Bitmap;
    ws.StrokeBase.Refill();
    s.Tool = ToolSelection;
    v.HandleHit = 0;
    v.MaskLeft = v.MaskTop = 0;
    ws.SelectionMask.Bitmap = Bitmap(w, h, 32); // all black: everything selected
    ws.SelectionMask.Refill();
    WhiteImageSize(ws.StrokeOverlay, s.Bitmap);
    Canvas oc(ws.StrokeOverlay.Bitmap);
    oc.BrushColour = 0;
    oc.FillRect({0, 0, w, h});
    ws.Port->RefreshView();
    // The dotted frame around the whole image, on the view only.
    DottedRectangle(DisplayCopyToDrawOn(ws), {0, 0, w, h});
    ws.Port->RepaintView();
}

void SelectNone(Workspace& ws) {
    if (!ws.ActiveImage()) return;
    // Dropping the floating pixels is all there is to it: the image under
    // them was never changed by the selection, and the refresh takes the
    // outline off the view.
    ForgetSelection(ws.ToolVars);
    ws.Port->UpdateCommandStates();
    ws.Port->RefreshView();
}

void FillWithColour(Workspace& ws, bool fg) {
    const TActiveImage active = ws.ActiveImage();
    if (!active) return;
    TImages& s = *active;
    Bitmap before = s.Bitmap;
    {
        // The canvas has written every pixel once it is gone.
        Canvas c(s.Bitmap);
        c.BrushColour = fg ? s.FGColour : s.BGColour;
        c.FillRect({0, 0, s.Bitmap.Width(), s.Bitmap.Height()});
    }
    // An image all of that colour already makes no step.
    StoreStepIfChanged(ws, active.Slot, before, fg ? "FG Colour Fill" : "BG Colour Fill");
    ws.Port->RefreshView();
}

} // namespace pixora
