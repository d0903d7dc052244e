// The selection tool's pointer handlers and hooks.
#include "tools/selection_tool.h"

#include <algorithm>
#include <cstring>

#include "doc/canvas.h"
#include "doc/checkerboard.h"
#include "doc/display_copy.h"
#include "tools/magic_wand.h"
#include "tools/selection.h"
#include "tools/tool_dispatch.h"
#include "tools/tool_table.h"

namespace pixora {

namespace {

// The view shows the clean image, transparent parts over the checkerboard.
void RestoreView(Workspace& ws) {
    MakeDisplayCopy(ws.StrokeBase.Bitmap, ws.Checkerboard.Bitmap, ws.DisplayCopy, true);
}

// The view restored from the clean image with the floating pixels over it
// at (left, top): a rectangle's stretched into its inner area, the others
// under their mask.
void ViewWithFloating(Workspace& ws, const TImages& s, int shape, int left, int top) {
    const TToolVars& v = ws.ToolVars;
    Bitmap& view = DisplayCopyToDrawOn(ws);
    if (shape == SelRectangle)
        ComposeStretched(ws.StrokeBase.Bitmap, v.FloatBitmap, FloatingRect(s, v), view, FloatIsPasted(v));
    else
        ComposeMasked(ws.StrokeBase.Bitmap, v.FloatBitmap, ws.SelectionMask.Bitmap, left, top, view);
    // The composed pixels' own transparency shows the checkerboard.
    BlendTransparency(view, ws.Checkerboard.Bitmap, view);
}
void ViewWithFloating(Workspace& ws, const TImages& s, int shape) {
    ViewWithFloating(ws, s, shape, s.DownX, s.DownY);
}

// "Delete Underlying": the selected pixels become the canvas colour in the
// image and in its clean copy.
void DeleteUnderlying(Workspace& ws, TImages& s) {
    const Bitmap& overlay = ws.StrokeOverlay.Bitmap;
    const uint8_t r = RedOf(s.CanvasColour), g = GreenOf(s.CanvasColour), b = BlueOf(s.CanvasColour);
    for (Bitmap* target : {&s.Bitmap, &ws.StrokeBase.Bitmap}) {
        const int w = std::min(overlay.Width(), target->Width()),
                  h = std::min(overlay.Height(), target->Height());
        for (int y = 0; y < h; ++y) {
            const uint8_t* o = overlay.Row(y);
            uint8_t* p = target->Row(y);
            for (int x = 0; x < w; ++x)
                if (o[x * 4] == 0) p[x * 4] = b, p[x * 4 + 1] = g, p[x * 4 + 2] = r;
        }
    }
}

// "Duplicate on MouseUp": a copy of the floating pixels stays in the image
// at the selection's place.
void Stamp(Workspace& ws, TImages& s, int shape) {
    const TToolVars& v = ws.ToolVars;
    for (Bitmap* target : {&s.Bitmap, &ws.StrokeBase.Bitmap}) {
        if (shape == SelRectangle)
            StretchFloating(v, *target, FloatingRect(s, v));
        else
            WriteFloating(v.FloatBitmap, ws.SelectionMask.Bitmap, *target, s.DownX, s.DownY);
    }
}

} // namespace

void SelectionTool::Press(ToolContext& c, int x, int y) {
    TToolVars& v = c.Vars;
    making_ = !v.HasSelection;
    runs_.reset();
    if (making_) {
        v.FreeCount = 0;
        c.Slot.DownX = x;
        c.Slot.DownY = y;
        v.FreePoints[0] = {x, y};
        v.LastPoint = {x, y};
        pointer_ = {x, y};
        return;
    }
    pressed_ = {c.Slot.DownX, c.Slot.DownY, v.SelRight, v.SelBottom};
    // The view already shows the selection; a refresh now would take
    // its floating pixels and outline away until the first move.
    v.RefreshAfter = 0;
    if (SelectionType(c.Ws) == SelRectangle) {
        v.HandleHit = HitTestHandles(c.Ws, x, y);
        return;
    }
    // Other shapes are grabbed anywhere on their pixels.
    const Bitmap& overlay = c.Ws.StrokeOverlay.Bitmap;
    const bool on =
        x >= 0 && y >= 0 && x < overlay.Width() && y < overlay.Height() && overlay.Row(y)[x * 4] == 0;
    v.HandleHit = on ? 1 : 0;
    if (on) v.GrabLeft = x, v.GrabTop = y;
}

void SelectionTool::Move(ToolContext& c, int x, int y) {
    if (making_)
        DragNew(c, x, y);
    else
        DragExisting(c, x, y);
}

void SelectionTool::Release(ToolContext& c, int x, int y) {
    if (making_)
        Finish(c, x, y);
    else
        ReleaseExisting(c, x, y);
}

void SelectionTool::DragNew(ToolContext& c, int x, int y) {
    Workspace& ws = c.Ws;
    TToolVars& v = c.Vars;
    const int shape = SelectionType(ws);
    v.RefreshAfter = 0;
    pointer_ = {x, y};
    if (shape == SelMagicWand) return;
    Canvas canvas = DottedNotXor(DisplayCopyToDrawOn(ws));
    if (shape == SelFreeHand) {
        // The trail stays; points beyond the last entry are ignored.
        if (v.FreeCount < kFreePointCount - 1) {
            v.FreeCount += 1;
            v.FreePoints[static_cast<std::size_t>(v.FreeCount)] = {x, y};
        }
        canvas.MoveTo(v.LastPoint.X, v.LastPoint.Y);
        canvas.LineTo(x, y);
        v.LastPoint = {x, y};
    } else {
        RestoreView(ws);
        if (shape == SelRectangle)
            DottedRectangle(DisplayCopyToDrawOn(ws), {c.Slot.DownX, c.Slot.DownY, x, y});
        else
            canvas.Ellipse(c.Slot.DownX, c.Slot.DownY, x, y);
    }
    c.RepaintView();
}

void SelectionTool::Finish(ToolContext& c, int x, int y) {
    Workspace& ws = c.Ws;
    TImages& s = c.Slot;
    TToolVars& v = c.Vars;
    const TSelectOptions o = ReadSelectOptions(ws);
    v.SelRight = x;
    v.SelBottom = y;
    v.HasSelection = 1;
    v.SelectionSlot = c.SlotIndex;
    NormaliseCorners(s, v);
    v.FloatInset = 1; // lifted from the image
    ws.Port->UpdateCommandStates();
    const Bitmap& image = s.Bitmap;
    bool any = true;
    TRegionGrid wandGrid;
    if (o.Shape == SelRectangle) {
        const TRect r = SelectionRect(s, v);
        v.DragRect = r;
        const int w = std::max(r.Right - r.Left, 0), h = std::max(r.Bottom - r.Top, 0);
        v.FloatBitmap = Bitmap(w, h, 32);
        StretchRect(image, InnerRect(r), v.FloatBitmap, {0, 0, w, h});
        FillRowTable(v.FloatBitmap, v.FloatRows);
        ws.SelectionMask.Bitmap = Bitmap(w, h, 32); // all black
        ws.SelectionMask.Refill();
        WhiteImageSize(ws.StrokeOverlay, image);
        Canvas oc(ws.StrokeOverlay.Bitmap);
        oc.BrushColour = 0;
        oc.FillRect(r);
        any = w > 0 && h > 0;
    } else if (o.Shape == SelMagicWand) {
        s.DownX = 0;
        s.DownY = 0;
        // The region of the image's own colours, not of the view's blend.
        any = WandSelectionMask(image, x, y, o.Tolerance, ws.SelectionMask, v, wandGrid);
        ws.StrokeOverlay.Bitmap = ws.SelectionMask.Bitmap;
        ws.StrokeOverlay.Refill();
        any = any && TightenSelection(ws, s);
    } else {
        WhiteImageSize(ws.SelectionMask, image);
        Canvas mc(ws.SelectionMask.Bitmap);
        mc.BrushColour = 0;
        mc.PenColour = 0;
        if (o.Shape == SelEllipse) {
            mc.Ellipse(s.DownX, s.DownY, v.SelRight, v.SelBottom);
        } else {
            // The polygon through all entries closes at the release point.
            for (int i = v.FreeCount; i < kFreePointCount; ++i)
                v.FreePoints[static_cast<std::size_t>(i)] = {x, y};
            mc.Polygon({v.FreePoints.begin(), v.FreePoints.end()});
        }
        ws.StrokeOverlay.Bitmap = ws.SelectionMask.Bitmap;
        ws.StrokeOverlay.Refill();
        any = TightenSelection(ws, s);
    }
    if (!any) {
        // Nothing was selected: there is no selection to keep, and the
        // refresh takes the drag's trail off the view.
        ForgetSelection(v);
        v.RefreshAfter = 1;
        ws.Port->UpdateCommandStates();
        return;
    }
    FillRowTable(s.Bitmap, s.Rows);
    if (o.DeleteUnderlying) DeleteUnderlying(ws, s);
    if (o.Shape == SelMagicWand) {
        // The wand's outline is the region's edge, inverted on the view
        // copy the region was found on (shown afresh when the image
        // under it has just been deleted).
        if (o.DeleteUnderlying) ws.Port->RefreshView();
        PaintWandMask(DisplayCopyToDrawOn(ws), wandGrid, true);
    } else {
        // The clean image without the drag's trail, the floating pixels
        // in place and the outline over them.
        ViewWithFloating(ws, s, o.Shape);
        DrawSelectionOutline(ws, o.Shape);
    }
    v.RefreshAfter = 0;
    v.MaskLeft = s.DownX;
    v.MaskTop = s.DownY;
    c.RepaintView();
}

void SelectionTool::DragExisting(ToolContext& c, int x, int y) {
    Workspace& ws = c.Ws;
    TImages& s = c.Slot;
    TToolVars& v = c.Vars;
    const TSelectOptions o = ReadSelectOptions(ws);
    v.RefreshAfter = 0;
    if (o.Shape == SelRectangle) {
        ApplyHandleDrag(ws, v.HandleHit, x, y);
        v.HandleHit = NormaliseCorners(s, v, v.HandleHit);
        if (v.HandleHit == 0) return;
        if (o.EditArea) {
            v.DragRect = SelectionRect(s, v);
            RestoreView(ws);
            DrawSelectionOutline(ws, SelRectangle);
        } else {
            ViewWithFloating(ws, s, SelRectangle);
        }
    } else {
        if (v.HandleHit != 1) return;
        if (!runs_) runs_.emplace(ws.SelectionMask.Bitmap);
        ComposeRuns(ws.StrokeBase.Bitmap, v.FloatBitmap, *runs_, x + s.DownX - v.GrabLeft,
                    y + s.DownY - v.GrabTop, DisplayCopyToDrawOn(ws));
    }
    c.RepaintView();
}

void SelectionTool::ReleaseExisting(ToolContext& c, int x, int y) {
    Workspace& ws = c.Ws;
    TImages& s = c.Slot;
    TToolVars& v = c.Vars;
    if (v.HandleHit == 0) {
        // A press outside the selection: commit it and show the image
        // without the outline.
        DropSelection(ws);
        v.RefreshAfter = 1;
        return;
    }
    const TSelectOptions o = ReadSelectOptions(ws);
    if (o.Shape == SelRectangle && o.EditArea) {
        // The floating pixels become what now lies under the edited
        // area; the dotted outline stays on the view.
        const TRect r = SelectionRect(s, v);
        const int w = std::max(r.Right - r.Left, 0), h = std::max(r.Bottom - r.Top, 0);
        const int iw = std::max(w - 2, 0), ih = std::max(h - 2, 0);
        v.FloatBitmap = Bitmap(iw, ih, 32);
        StretchRect(s.Bitmap, InnerRect(r), v.FloatBitmap, {0, 0, iw, ih});
        FillRowTable(v.FloatBitmap, v.FloatRows);
        v.FloatInset = 1;
        // The mask covers the rectangle from its corner, as a new one does.
        ws.SelectionMask.Bitmap = Bitmap(w, h, 32);
        ws.SelectionMask.Refill();
    } else {
        if (o.Shape != SelRectangle) {
            const int dx = x - v.GrabLeft, dy = y - v.GrabTop;
            s.DownX += dx;
            s.DownY += dy;
            v.SelRight += dx;
            v.SelBottom += dy;
            if (o.Shape == SelFreeHand)
                for (TPoint& p : v.FreePoints)
                    p.X += dx, p.Y += dy;
        }
        if (o.DuplicateOnMouseUp) Stamp(ws, s, o.Shape);
        ViewWithFloating(ws, s, o.Shape);
        DrawSelectionOutline(ws, o.Shape);
    }
    v.MaskLeft = s.DownX;
    v.MaskTop = s.DownY;
    // The overlay follows the selection, so the next press finds it at
    // its new place.
    MaskIntoOverlay(ws.SelectionMask.Bitmap, v.MaskLeft, v.MaskTop, s.Bitmap, ws.StrokeOverlay);
    v.RefreshAfter = 0;
    c.RepaintView();
}

void SelectionTool::Hover(ToolContext& c, int x, int y) {
    if (c.Vars.HasSelection && SelectionType(c.Ws) == SelRectangle)
        c.Ws.Port->SetCanvasCursor(HandleCursor(HitTestHandles(c.Ws, x, y)));
}

void SelectionTool::Chosen(ToolContext& c) {
    ForgetSelection(c.Vars);
}

void SelectionTool::Left(ToolContext& c) {
    const TSelectOptions o = ReadSelectOptions(c.Ws);
    if ((o.ApplyToSelection || o.ExcludeSelection) && c.Vars.HasSelection) return;
    if (DropSelection(c.Ws)) c.RefreshView();
}

bool SelectionTool::TakesStrokeBase(const ToolContext& c) const {
    return !c.Vars.HasSelection;
}

void SelectionTool::DragAndRelease(ToolContext& c, int x, int y) {
    making_ = false;
    runs_.reset();
    DragExisting(c, x, y);
    ReleaseExisting(c, x, y);
}

bool SelectionTool::Cancel(ToolContext& c, bool held) {
    if (!held) return false;
    Workspace& ws = c.Ws;
    if (making_) {
        // The trail goes with a view drawn afresh from the image.
        making_ = false;
        c.RefreshView();
        return true;
    }
    TImages& s = c.Slot;
    TToolVars& v = c.Vars;
    s.DownX = pressed_.Left;
    s.DownY = pressed_.Top;
    v.SelRight = pressed_.Right;
    v.SelBottom = pressed_.Bottom;
    v.DragRect = SelectionRect(s, v);
    v.HandleHit = 0;
    runs_.reset();
    const int shape = SelectionType(ws);
    ViewWithFloating(ws, s, shape);
    DrawSelectionOutline(ws, shape);
    v.RefreshAfter = 0;
    c.RepaintView();
    return true;
}

std::optional<TRect> SelectionTool::DragSpan(const ToolContext& c) const {
    const TImages& s = c.Slot;
    const TToolVars& v = c.Vars;
    const int shape = SelectionType(c.Ws);
    if (!making_) {
        if (shape != SelRectangle || v.HandleHit == 0) return std::nullopt;
        return TRect{s.DownX, s.DownY, v.SelRight, v.SelBottom};
    }
    if (shape == SelMagicWand) return std::nullopt;
    if (shape != SelFreeHand) return TRect{s.DownX, s.DownY, pointer_.X, pointer_.Y};
    // The freehand trail's bounds.
    TRect r{pointer_.X, pointer_.Y, pointer_.X, pointer_.Y};
    for (int i = 0; i <= v.FreeCount && i < kFreePointCount; ++i) {
        const TPoint p = v.FreePoints[static_cast<std::size_t>(i)];
        r = {std::min(r.Left, p.X), std::min(r.Top, p.Y), std::max(r.Right, p.X), std::max(r.Bottom, p.Y)};
    }
    return r;
}

void SelectionTool::BeforeImageReplaced(Workspace& ws) {
    if (EndSelection(ws)) ws.Port->RefreshView();
}

} // namespace pixora
