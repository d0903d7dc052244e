#include "tools/selection.h"

#include <algorithm>
#include <cstring>

#include "doc/canvas.h"
#include "doc/checkerboard.h"
#include "doc/slots.h"
#include "history/history_store.h"
#include "tools/magic_wand.h"
#include "tools/tool.h"
#include "tools/tool_dispatch.h"
#include "tools/tool_table.h"

namespace pixora {

// ---- options and the edit test -----------------------------------------

TSelectOptions ReadSelectOptions(const Workspace& ws) {
    TSelectOptions o;
    if (!ws.Port) return o;
    const WindowPort& p = *ws.Port;
    o.Shape = std::clamp(p.ToolOption(kSelectBox, "RadioGroup1"), 0, 3);
    o.EditArea = p.ToolOption(kSelectBox, "RadioGroup2") == 0;
    o.ApplyToSelection = p.ToolOption(kSelectBox, "A") != 0;
    o.ExcludeSelection = p.ToolOption(kSelectBox, "E") != 0;
    o.DuplicateOnMouseUp = p.ToolOption(kSelectBox, "D") != 0;
    o.DeleteUnderlying = p.ToolOption(kSelectBox, "DU") != 0;
    o.Tolerance = p.ToolOption(kSelectBox, "T");
    return o;
}

int SelectionType(const Workspace& ws) { return ReadSelectOptions(ws).Shape; }

SelectionEditTest::SelectionEditTest(const Workspace& ws) {
    const TSelectOptions o = ReadSelectOptions(ws);
    if (!(o.ApplyToSelection || o.ExcludeSelection) || !ws.ToolVars.HasSelection) return;
    active_ = true;
    apply_ = o.ApplyToSelection;
    left_ = ws.ToolVars.MaskLeft;
    top_ = ws.ToolVars.MaskTop;
    const Bitmap& mask = ws.SelectionMask.Bitmap;
    width_ = mask.Width();
    height_ = mask.Height();
    rows_.resize(static_cast<std::size_t>(height_));
    for (int y = 0; y < height_; ++y) rows_[static_cast<std::size_t>(y)] = const_cast<uint8_t*>(mask.Row(y));
}

// ---- pixel helpers --------------------------------------------------------

void StretchRect(const Bitmap& src, const TRect& from, Bitmap& dst, const TRect& to) {
    const int sw = from.Right - from.Left, sh = from.Bottom - from.Top;
    const int dw = to.Right - to.Left, dh = to.Bottom - to.Top;
    if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
    const int sb = src.BytesPerPixel(), db = dst.BytesPerPixel();
    for (int j = 0; j < dh; ++j) {
        const int ty = to.Top + j;
        if (ty < 0 || ty >= dst.Height()) continue;
        const int sy = from.Top + static_cast<int>((2LL * j + 1) * sh / (2LL * dh));
        if (sy < 0 || sy >= src.Height()) continue;
        const uint8_t* srow = src.Row(sy);
        uint8_t* drow = dst.Row(ty);
        for (int i = 0; i < dw; ++i) {
            const int tx = to.Left + i;
            if (tx < 0 || tx >= dst.Width()) continue;
            const int sx = from.Left + static_cast<int>((2LL * i + 1) * sw / (2LL * dw));
            if (sx < 0 || sx >= src.Width()) continue;
            std::memcpy(drow + tx * db, srow + sx * sb, static_cast<std::size_t>(std::min(sb, db)));
            if (db == 4 && sb == 3) drow[tx * 4 + 3] = 0;
        }
    }
}

namespace {

TImages& Slot(Workspace& ws) { return ws.Active(); }

void Normalise(Workspace& ws) {
    TImages& s = Slot(ws);
    TToolVars& v = ws.ToolVars;
    if (s.DownX > v.SelRight) std::swap(s.DownX, v.SelRight);
    if (s.DownY > v.SelBottom) std::swap(s.DownY, v.SelBottom);
    v.LastPoint = {s.DownX, s.DownY};
}

TRect SelRect(Workspace& ws) {
    return {Slot(ws).DownX, Slot(ws).DownY, ws.ToolVars.SelRight, ws.ToolVars.SelBottom};
}
TRect Inner(const TRect& r) { return {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1}; }

void RestoreView(Workspace& ws) { CopyBitmapInto(ws.StrokeBase.Bitmap, ws.DisplayCopy); }

Canvas DottedNotXor(Bitmap& target) {
    Canvas c(target);
    c.Mode = PenMode::NotXor;
    c.Style = PenStyle::Dot;
    c.BrushClear = true;
    c.PenColour = 0;
    return c;
}

std::vector<TPoint> FreePolygon(const TToolVars& v) { return {v.FreePoints.begin(), v.FreePoints.end()}; }

// An image-size white work bitmap.
void WhiteImageSize(TWorkBitmap& w, const Bitmap& image) {
    w.Bitmap = Bitmap(image.Width(), image.Height(), 32);
    w.Bitmap.Fill(255, 255, 255, 0);
    w.Refill();
}

// Writes every selected floating pixel at (left + mx, top + my).
void WriteFloating(const Workspace& ws, Bitmap& target, int left, int top) {
    const Bitmap& fl = ws.ToolVars.FloatBitmap;
    const Bitmap& mask = ws.SelectionMask.Bitmap;
    const int w = std::min(fl.Width(), mask.Width()), h = std::min(fl.Height(), mask.Height());
    for (int my = 0; my < h; ++my) {
        const int ty = top + my;
        if (ty < 0 || ty >= target.Height()) continue;
        const uint8_t* m = mask.Row(my);
        const uint8_t* f = fl.Row(my);
        uint8_t* d = target.Row(ty);
        for (int mx = 0; mx < w; ++mx) {
            const int tx = left + mx;
            if (m[mx * 4] != 0 || tx < 0 || tx >= target.Width()) continue;
            std::memcpy(d + tx * 4, f + mx * 4, 4);
        }
    }
}

// Inverts the colour bytes of the mask's edge pixels on the view: the
// outline of a wand selection wherever it lies.
void OutlineMaskOnView(Workspace& ws) {
    const Bitmap& mask = ws.SelectionMask.Bitmap;
    Bitmap& view = ws.DisplayCopy;
    const int left = Slot(ws).DownX, top = Slot(ws).DownY;
    auto selected = [&](int mx, int my) {
        return mx >= 0 && my >= 0 && mx < mask.Width() && my < mask.Height() && mask.Row(my)[mx * 4] == 0;
    };
    for (int my = 0; my < mask.Height(); ++my)
        for (int mx = 0; mx < mask.Width(); ++mx) {
            if (!selected(mx, my)) continue;
            if (selected(mx - 1, my) && selected(mx + 1, my) && selected(mx, my - 1) && selected(mx, my + 1)) continue;
            const int x = left + mx, y = top + my;
            if (x < 0 || y < 0 || x >= view.Width() || y >= view.Height()) continue;
            uint8_t* p = view.Row(y) + x * 4;
            p[0] = static_cast<uint8_t>(255 - p[0]);
            p[1] = static_cast<uint8_t>(255 - p[1]);
            p[2] = static_cast<uint8_t>(255 - p[2]);
        }
}

void DrawOutline(Workspace& ws, int shape) {
    if (shape == SelMagicWand) {
        OutlineMaskOnView(ws);
        return;
    }
    Canvas c = DottedNotXor(ws.DisplayCopy);
    const TRect r = SelRect(ws);
    if (shape == SelRectangle)
        c.Rectangle(r.Left, r.Top, r.Right, r.Bottom);
    else if (shape == SelEllipse)
        c.Ellipse(r.Left, r.Top, r.Right, r.Bottom);
    else
        c.Polygon(FreePolygon(ws.ToolVars));
}

// The overlay as the selection's shape at its place: white, selected
// pixels black.
void RebuildOverlayFromMask(Workspace& ws) {
    const Bitmap& image = Slot(ws).Bitmap;
    WhiteImageSize(ws.StrokeOverlay, image);
    const Bitmap& mask = ws.SelectionMask.Bitmap;
    const int left = ws.ToolVars.MaskLeft, top = ws.ToolVars.MaskTop;
    for (int my = 0; my < mask.Height(); ++my) {
        const int y = top + my;
        if (y < 0 || y >= image.Height()) continue;
        for (int mx = 0; mx < mask.Width(); ++mx) {
            const int x = left + mx;
            if (x < 0 || x >= image.Width() || mask.Row(my)[mx * 4] != 0) continue;
            std::memset(ws.StrokeOverlay.Bitmap.Row(y) + x * 4, 0, 3);
        }
    }
}

// Cuts the selection down to the bounding box of the black mask pixels.
// Returns false when the mask selects nothing.
bool Tighten(Workspace& ws) {
    TImages& s = Slot(ws);
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
    // The box includes its last column and row, so no selected pixel is
    // left behind when the selection moves.
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

// ---- the selection tool -------------------------------------------------

class SelectionTool : public Tool {
public:
    void Press(ToolContext& c, int x, int y) override {
        TToolVars& v = c.Vars;
        making_ = !v.HasSelection;
        if (making_) {
            v.FreeCount = 0;
            c.Slot.DownX = x;
            c.Slot.DownY = y;
            v.FreePoints[0] = {x, y};
            v.LastPoint = {x, y};
            return;
        }
        const TSelectOptions o = ReadSelectOptions(c.Ws);
        if (o.Shape == SelRectangle) {
            v.HandleHit = HitTestHandles(c.Ws, x, y);
        } else {
            const Bitmap& overlay = c.Ws.StrokeOverlay.Bitmap;
            const bool on = x >= 0 && y >= 0 && x < overlay.Width() && y < overlay.Height() &&
                            overlay.Row(y)[x * 4] == 0;
            v.HandleHit = on ? 1 : 0;
            if (on) v.GrabLeft = x, v.GrabTop = y;
        }
    }

    void Move(ToolContext& c, int x, int y) override {
        if (making_)
            DragNew(c, x, y);
        else
            DragExisting(c, x, y);
    }

    void Release(ToolContext& c, int x, int y) override {
        if (making_)
            Finish(c, x, y);
        else
            ReleaseExisting(c, x, y);
    }

private:
    void DragNew(ToolContext& c, int x, int y) {
        Workspace& ws = c.Ws;
        TToolVars& v = c.Vars;
        const int shape = SelectionType(ws);
        v.RefreshAfter = 0;
        if (shape == SelMagicWand) return;
        Canvas canvas = DottedNotXor(ws.DisplayCopy);
        if (shape == SelFreeHand) {
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
                canvas.Rectangle(c.Slot.DownX, c.Slot.DownY, x, y);
            else
                canvas.Ellipse(c.Slot.DownX, c.Slot.DownY, x, y);
        }
        c.RepaintView();
    }

    void Finish(ToolContext& c, int x, int y) {
        Workspace& ws = c.Ws;
        TImages& s = c.Slot;
        TToolVars& v = c.Vars;
        const TSelectOptions o = ReadSelectOptions(ws);
        v.SelRight = x;
        v.SelBottom = y;
        v.HasSelection = 1;
        Normalise(ws);
        if (ws.Port) ws.Port->UpdateCommandStates();
        const Bitmap& image = s.Bitmap;
        bool any = true;
        if (o.Shape == SelRectangle) {
            const TRect r = SelRect(ws);
            v.DragRect = r;
            const int w = r.Right - r.Left, h = r.Bottom - r.Top;
            v.FloatBitmap = Bitmap(std::max(w, 0), std::max(h, 0), 32);
            StretchRect(image, Inner(r), v.FloatBitmap, {0, 0, w, h});
            FillRowTable(v.FloatBitmap, v.FloatRows);
            ws.SelectionMask.Bitmap = Bitmap(std::max(w, 0), std::max(h, 0), 32);
            ws.SelectionMask.Refill();
            WhiteImageSize(ws.StrokeOverlay, image);
            Canvas oc(ws.StrokeOverlay.Bitmap);
            oc.BrushColour = 0;
            oc.FillRect(r);
            any = w > 0 && h > 0;
        } else if (o.Shape == SelMagicWand) {
            s.DownX = 0;
            s.DownY = 0;
            TRegionGrid grid;
            any = WandSelectionMask(ws.DisplayCopy, x, y, o.Tolerance, ws.SelectionMask, v, grid);
            ws.StrokeOverlay.Bitmap = ws.SelectionMask.Bitmap;
            ws.StrokeOverlay.Refill();
            any = any && Tighten(ws);
        } else {
            WhiteImageSize(ws.SelectionMask, image);
            Canvas mc(ws.SelectionMask.Bitmap);
            mc.BrushColour = 0;
            mc.PenColour = 0;
            if (o.Shape == SelEllipse) {
                mc.Ellipse(s.DownX, s.DownY, v.SelRight, v.SelBottom);
            } else {
                for (int i = v.FreeCount; i < kFreePointCount; ++i) v.FreePoints[static_cast<std::size_t>(i)] = {x, y};
                mc.Polygon(FreePolygon(v));
            }
            ws.StrokeOverlay.Bitmap = ws.SelectionMask.Bitmap;
            ws.StrokeOverlay.Refill();
            any = Tighten(ws);
        }
        if (!any) {
            // Nothing was selected: there is no selection to keep.
            v.HasSelection = 0;
            v.RefreshAfter = 1;
            if (ws.Port) ws.Port->UpdateCommandStates();
            return;
        }
        FillRowTable(s.Bitmap, s.Rows);
        if (o.DeleteUnderlying) DeleteUnderlying(ws);
        // The view: the clean image (the drag's trail gone), the floating
        // pixels in place and the outline over them.
        RestoreView(ws);
        if (o.Shape != SelMagicWand) WriteFloatOnView(ws, o.Shape);
        DrawOutline(ws, o.Shape);
        v.RefreshAfter = 0;
        v.MaskLeft = s.DownX;
        v.MaskTop = s.DownY;
        c.RepaintView();
    }

    static void DeleteUnderlying(Workspace& ws) {
        TImages& s = Slot(ws);
        const Bitmap& overlay = ws.StrokeOverlay.Bitmap;
        const uint8_t r = RedOf(s.CanvasColour), g = GreenOf(s.CanvasColour), b = BlueOf(s.CanvasColour);
        for (Bitmap* target : {&s.Bitmap, &ws.StrokeBase.Bitmap}) {
            for (int y = 0; y < std::min(overlay.Height(), target->Height()); ++y)
                for (int x = 0; x < std::min(overlay.Width(), target->Width()); ++x) {
                    if (overlay.Row(y)[x * 4] != 0) continue;
                    uint8_t* p = target->Row(y) + x * 4;
                    p[0] = b, p[1] = g, p[2] = r;
                }
        }
    }

    static void WriteFloatOnView(Workspace& ws, int shape) {
        const TImages& s = Slot(ws);
        if (shape == SelRectangle) {
            const TRect r = SelRect(ws);
            const Bitmap& fl = ws.ToolVars.FloatBitmap;
            StretchRect(fl, {0, 0, fl.Width(), fl.Height()}, ws.DisplayCopy, Inner(r));
        } else {
            WriteFloating(ws, ws.DisplayCopy, s.DownX, s.DownY);
        }
    }

    void DragExisting(ToolContext& c, int x, int y) {
        Workspace& ws = c.Ws;
        TToolVars& v = c.Vars;
        const TSelectOptions o = ReadSelectOptions(ws);
        if (o.Shape == SelRectangle) {
            ApplyHandleDrag(ws, v.HandleHit, x, y);
            Normalise(ws);
            if (v.HandleHit > 0) {
                RestoreView(ws);
                if (o.EditArea) {
                    v.DragRect = SelRect(ws);
                    DrawOutline(ws, SelRectangle);
                } else {
                    WriteFloatOnView(ws, SelRectangle);
                }
            }
        } else if (v.HandleHit == 1) {
            RestoreView(ws);
            WriteFloating(ws, ws.DisplayCopy, x + c.Slot.DownX - v.GrabLeft, y + c.Slot.DownY - v.GrabTop);
        }
        v.RefreshAfter = 0;
        c.RepaintView();
    }

    void ReleaseExisting(ToolContext& c, int x, int y) {
        Workspace& ws = c.Ws;
        TImages& s = c.Slot;
        TToolVars& v = c.Vars;
        if (v.HandleHit == 0) {
            DropSelection(ws);
            return;
        }
        const TSelectOptions o = ReadSelectOptions(ws);
        if (o.Shape == SelRectangle && o.EditArea) {
            // The floating pixels become what now lies under the edited area.
            const TRect r = SelRect(ws);
            const int w = std::max(r.Right - r.Left - 2, 0), h = std::max(r.Bottom - r.Top - 2, 0);
            v.FloatBitmap = Bitmap(w, h, 32);
            StretchRect(s.Bitmap, Inner(r), v.FloatBitmap, {0, 0, w, h});
            FillRowTable(v.FloatBitmap, v.FloatRows);
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
                    for (TPoint& p : v.FreePoints) p.X += dx, p.Y += dy;
            }
            if (o.DuplicateOnMouseUp) Stamp(ws, o.Shape);
            RestoreView(ws);
            WriteFloatOnView(ws, o.Shape);
            DrawOutline(ws, o.Shape);
        }
        v.MaskLeft = s.DownX;
        v.MaskTop = s.DownY;
        // The overlay follows the selection so the next press hits it.
        if (o.Shape != SelRectangle) RebuildOverlayFromMask(ws);
        v.RefreshAfter = 0;
        c.RepaintView();
    }

    static void Stamp(Workspace& ws, int shape) {
        TImages& s = Slot(ws);
        if (shape == SelRectangle) {
            const Bitmap& fl = ws.ToolVars.FloatBitmap;
            const TRect inner = Inner(SelRect(ws));
            for (Bitmap* target : {&s.Bitmap, &ws.StrokeBase.Bitmap})
                StretchRect(fl, {0, 0, fl.Width(), fl.Height()}, *target, inner);
        } else {
            WriteFloating(ws, s.Bitmap, s.DownX, s.DownY);
            WriteFloating(ws, ws.StrokeBase.Bitmap, s.DownX, s.DownY);
        }
    }

    bool making_ = false;
};

// ---- crop rectangle (tool 25) -------------------------------------------

class CropTool : public Tool {
public:
    void Press(ToolContext& c, int x, int y) override {
        TToolVars& v = c.Vars;
        drawn_ = false;
        if (!v.CropShown) {
            c.Slot.DownX = x;
            c.Slot.DownY = y;
            v.LastPoint = {x, y};
            return;
        }
        v.HandleHit = HitTestHandles(c.Ws, x, y);
        // Keep the rectangle on the view while it is edited.
        v.RefreshAfter = 0;
        Band(c, BandRect(c));
    }

    void Move(ToolContext& c, int x, int y) override {
        TToolVars& v = c.Vars;
        v.RefreshAfter = 0;
        if (!v.CropShown) {
            Band(c, {v.LastPoint.X, v.LastPoint.Y, x, y});
            return;
        }
        if (v.HandleHit == 0) return;
        ApplyHandleDrag(c.Ws, v.HandleHit, x, y);
        v.DragRect = Normalised(BandRect(c));
        Band(c, BandRect(c));
    }

    void Release(ToolContext& c, int x, int y) override {
        TToolVars& v = c.Vars;
        v.RefreshAfter = 0;
        if (v.CropShown) return;
        v.CropShown = 1;
        v.SelRight = x;
        v.SelBottom = y;
        v.DragRect = Normalised(BandRect(c));
    }

private:
    static TRect BandRect(ToolContext& c) { return {c.Slot.DownX, c.Slot.DownY, c.Vars.SelRight, c.Vars.SelBottom}; }
    static TRect Normalised(TRect r) {
        if (r.Left > r.Right) std::swap(r.Left, r.Right);
        if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
        return r;
    }
    // Erases the band drawn last (not-xor twice restores) and draws the new one.
    void Band(ToolContext& c, const TRect& r) {
        Canvas canvas = DottedNotXor(c.View());
        if (drawn_) canvas.Rectangle(last_.Left, last_.Top, last_.Right, last_.Bottom);
        canvas.Rectangle(r.Left, r.Top, r.Right, r.Bottom);
        last_ = r;
        drawn_ = true;
        c.RepaintView();
    }

    bool drawn_ = false;
    TRect last_{};
};

// ---- colour picker (tool 20) ---------------------------------------------

class ColourPicker : public Tool {
public:
    void Press(ToolContext& c, int x, int y) override { Pick(c, x, y, false); }
    void Move(ToolContext& c, int x, int y) override { Pick(c, x, y, false); }
    void Release(ToolContext& c, int x, int y) override { Pick(c, x, y, true); }

private:
    static void Pick(ToolContext& c, int x, int y, bool commit) {
        const Bitmap& view = c.View();
        if (x < 0 || y < 0 || x >= view.Width() || y >= view.Height()) return;
        const uint8_t* p = view.Row(y) + x * 4;
        const int32_t colour = RGBColour(p[2], p[1], p[0]);
        const int which = c.Vars.PressButton == 0 ? 0 : 1;
        if (c.Ws.Port) c.Ws.Port->ShowSwatchColour(which, colour);
        if (!commit) return;
        if (which == 0)
            SetFGColour(c.Slot, colour);
        else
            SetBGColour(c.Slot, colour);
    }
};

} // namespace

// ---- commands -------------------------------------------------------------

bool DropSelection(Workspace& ws) {
    const int slot = ws.ActiveSlot();
    if (slot < 0 || !ws.ToolVars.HasSelection) return false;
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    if (s.Tool != ToolSelection) return false;
    TToolVars& v = ws.ToolVars;
    const TSelectOptions o = ReadSelectOptions(ws);
    v.HasSelection = 0;
    if (o.Shape == SelRectangle) {
        Normalise(ws);
        if (o.EditArea) v.DragRect = SelRect(ws);
        s.Bitmap = ws.StrokeBase.Bitmap;
        if (!o.EditArea) {
            const Bitmap& fl = v.FloatBitmap;
            StretchRect(fl, {0, 0, fl.Width(), fl.Height()}, s.Bitmap, Inner(SelRect(ws)));
        }
    } else {
        v.RefreshAfter = 0;
        s.Bitmap = ws.StrokeBase.Bitmap;
        WriteFloating(ws, s.Bitmap, s.DownX, s.DownY);
        WriteFloating(ws, ws.StrokeBase.Bitmap, s.DownX, s.DownY);
    }
    FillRowTable(s.Bitmap, s.Rows);
    if (ws.Port) ws.Port->UpdateCommandStates();
    return true;
}

void SelectAll(Workspace& ws) {
    const int slot = ws.ActiveSlot();
    if (slot < 0) return;
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    TToolVars& v = ws.ToolVars;
    const int w = s.Bitmap.Width(), h = s.Bitmap.Height();
    v.HasSelection = 1;
    if (ws.Port) ws.Port->UpdateCommandStates();
    s.DownX = s.DownY = 0;
    v.LastPoint = {0, 0};
    v.SelRight = w;
    v.SelBottom = h;
    v.DragRect = {0, 0, w, h};
    v.FloatBitmap = Bitmap(w, h, 32);
    StretchRect(s.Bitmap, {1, 1, w - 1, h - 1}, v.FloatBitmap, {0, 0, w, h});
    FillRowTable(v.FloatBitmap, v.FloatRows);
    ws.StrokeBase.Bitmap = s.Bitmap;
    ws.StrokeBase.Refill();
    s.Tool = ToolSelection;
    v.HandleHit = 0;
    v.MaskLeft = v.MaskTop = 0;
    ws.SelectionMask.Bitmap = Bitmap(w, h, 32);
    ws.SelectionMask.Refill();
    WhiteImageSize(ws.StrokeOverlay, s.Bitmap);
    Canvas oc(ws.StrokeOverlay.Bitmap);
    oc.BrushColour = 0;
    oc.FillRect({0, 0, w, h});
    DottedNotXor(s.Bitmap).Rectangle(0, 0, w, h);
    if (ws.Port) ws.Port->RefreshView();
}

void SelectNone(Workspace& ws) {
    const int slot = ws.ActiveSlot();
    if (slot < 0) return;
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    const bool had = ws.ToolVars.HasSelection;
    ws.ToolVars.HasSelection = 0;
    // Without a selection there is no clean copy to go back to.
    if (had && ws.StrokeBase.Bitmap.Width() == s.Bitmap.Width() && ws.StrokeBase.Bitmap.Height() == s.Bitmap.Height()) {
        s.Bitmap = ws.StrokeBase.Bitmap;
        FillRowTable(s.Bitmap, s.Rows);
    }
    if (ws.Port) {
        ws.Port->UpdateCommandStates();
        ws.Port->RefreshView();
    }
}

bool ApplyCrop(Workspace& ws) {
    const int slot = ws.ActiveSlot();
    if (slot < 0 || !ws.ToolVars.CropShown) return false;
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    TToolVars& v = ws.ToolVars;
    const int W = s.Bitmap.Width(), H = s.Bitmap.Height();
    const int x0 = std::clamp(s.DownX, 0, W), y0 = std::clamp(s.DownY, 0, H);
    const int x1 = std::clamp(v.SelRight, 0, W), y1 = std::clamp(v.SelBottom, 0, H);
    const int w = std::abs(x1 - x0), h = std::abs(y1 - y0);
    // A rectangle without area would leave no image at all.
    if (w == 0 || h == 0) return false;
    if (!PushHistory(ws, slot)) return false;
    NameHistoryStep(ws, "Crop");
    const int l = std::min(x0, x1), t = std::min(y0, y1);
    Bitmap cut(w, h, 32);
    for (int y = 0; y < h; ++y) std::memcpy(cut.Row(y), s.Bitmap.Row(t + y) + l * 4, static_cast<std::size_t>(w) * 4);
    s.Bitmap = std::move(cut);
    FillRowTable(s.Bitmap, s.Rows);
    v.CropShown = 0;
    s.Tool = ToolNone;
    if (ws.Port) ws.Port->TabChange();
    return true;
}

void FillWithColour(Workspace& ws, bool fg) {
    const int slot = ws.ActiveSlot();
    if (slot < 0) return;
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    if (!PushHistory(ws, slot)) return;
    NameHistoryStep(ws, fg ? "FG Colour Fill" : "BG Colour Fill");
    Canvas c(s.Bitmap);
    c.BrushColour = fg ? s.FGColour : s.BGColour;
    c.FillRect({0, 0, s.Bitmap.Width(), s.Bitmap.Height()});
    s.Saved = 0;
    if (ws.Port) ws.Port->RefreshView();
}

void RegisterSelectionTools() {
    static SelectionTool selection;
    static CropTool crop;
    static ColourPicker picker;
    RegisterTool(ToolSelection, &selection);
    RegisterTool(ToolCrop, &crop);
    RegisterTool(ToolColourPicker, &picker);
}

} // namespace pixora
