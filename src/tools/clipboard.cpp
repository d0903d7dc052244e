#include "tools/clipboard.h"

#include <algorithm>

#include "doc/resample.h"
#include "doc/slots.h"
#include "history/history_store.h"
#include "io/codecs/format_codecs.h"
#include "io/file_slots.h"
#include "io/new_close_commands.h"
#include "tools/selection.h"
#include "tools/selection_pixels.h"
#include "tools/selection_tool.h"
#include "tools/tool_dispatch.h"
#include "tools/tool_set.h"
#include "tools/tool_options.h"
#include "tools/tool_table.h"

namespace pixora {

namespace {

// Calls f(mx, my) for every selected pixel of a mask, row by row.
template <class F> void ForEachSelected(const Bitmap& mask, F&& f) {
    if (mask.BitsPerPixel() != 32) return;
    for (int my = 0; my < mask.Height(); ++my) {
        const uint8_t* m = mask.Row(my);
        for (int mx = 0; mx < mask.Width(); ++mx)
            if (m[mx * 4] == 0) f(mx, my);
    }
}

// A 32-bit pixel, or null outside the bitmap.
template <class B> auto PixelAt(B& b, int x, int y) -> decltype(b.Row(0)) {
    if (b.BitsPerPixel() != 32 || x < 0 || y < 0 || x >= b.Width() || y >= b.Height()) return nullptr;
    return b.Row(y) + static_cast<std::size_t>(x) * 4;
}

void PaintColour(uint8_t* p, int32_t colour) {
    if (!p) return;
    p[0] = BlueOf(colour);
    p[1] = GreenOf(colour);
    p[2] = RedOf(colour);
}

// The selected pixels become the canvas colour in the image, in its clean
// copy and in the floating pixels.
void PaintSelected(Workspace& ws, TImages& s) {
    const int left = s.DownX, top = s.DownY;
    ForEachSelected(ws.SelectionMask.Bitmap, [&](int mx, int my) {
        PaintColour(PixelAt(s.Bitmap, left + mx, top + my), s.CanvasColour);
        PaintColour(PixelAt(ws.StrokeBase.Bitmap, left + mx, top + my), s.CanvasColour);
        PaintColour(PixelAt(ws.ToolVars.FloatBitmap, mx, my), s.CanvasColour);
    });
    FillRowTable(s.Bitmap, s.Rows);
}

// The selection's picture as the view shows it, that is as dropping the
// selection would leave it in the image: the image under the mask with the
// floating pixels over it (a moved or pasted selection's pixels are its
// floating ones, not the image's under them). An empty bitmap when nothing
// is selected.
Bitmap PictureOfSelection(const Workspace& ws) {
    const TImages& s = ws.Images[static_cast<std::size_t>(ws.ActiveSlot())];
    const TToolVars& v = ws.ToolVars;
    const Bitmap& mask = ws.SelectionMask.Bitmap;
    const int w = mask.Width(), h = mask.Height();
    if (mask.BitsPerPixel() != 32 || w <= 0 || h <= 0) return Bitmap();
    const int left = s.DownX, top = s.DownY;
    Bitmap seen(w, h, 32);
    StretchRect(s.Bitmap, {left, top, left + w, top + h}, seen, {0, 0, w, h});
    const TSelectOptions o = ReadSelectOptions(ws);
    if (o.Shape != SelRectangle) {
        WriteFloating(v.FloatBitmap, mask, seen, 0, 0);
    } else if (!o.EditArea) {
        // Outlines being edited leave the floating pixels out of the image.
        const TRect to = FloatingRect(s, v);
        StretchInto(v.FloatBitmap, seen, {to.Left - left, to.Top - top, to.Right - left, to.Bottom - top});
    }
    Bitmap picture = SelectionPicture(seen, mask, 0, 0);
    // Floating pixels off the image are dropped with nothing: they stay
    // transparent, as the image's own pixels outside it do.
    TRect box;
    SelectedBox(mask, box);
    const int iw = s.Bitmap.Width(), ih = s.Bitmap.Height();
    for (int y = 0; y < picture.Height(); ++y) {
        const int iy = top + box.Top + y;
        uint8_t* row = picture.Row(y);
        for (int x = 0; x < picture.Width(); ++x) {
            const int ix = left + box.Left + x;
            if (ix < 0 || iy < 0 || ix >= iw || iy >= ih) {
                uint8_t* p = row + static_cast<std::size_t>(x) * 4;
                p[0] = p[1] = p[2] = 0;
                p[3] = 255;
            }
        }
    }
    return picture;
}

// The paste commands float their pixels as a rectangle whose outline can
// be dragged: the box's selection type and edit mode say so.
void UseFloatingRectangle(Workspace& ws) {
    ws.Port->SetToolOption(TOpt::SelectionType, SelRectangle);
    ws.Port->SetToolOption(TOpt::SelectionEdit, 1); // "Edit Selected Canvas"
}

// The floating pixels are a rectangle as large as the selection rectangle:
// its mask selects all of it.
void RectangleMask(Workspace& ws, const TImages& s) {
    const TToolVars& v = ws.ToolVars;
    ws.SelectionMask.Bitmap =
        Bitmap(std::max(v.SelRight - s.DownX, 0), std::max(v.SelBottom - s.DownY, 0), 32);
    ws.SelectionMask.Refill();
}

// Runs the selection tool's drag of handle 1 to (x, y) and its release.
void FloatAt(Workspace& ws, int x, int y) {
    const int slot = ws.ActiveSlot();
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    ToolSet& tools = ToolsOf(ws);
    auto* tool = dynamic_cast<SelectionTool*>(tools.For(ToolSelection));
    if (!tool) return;
    ws.ToolVars.HandleHit = 1;
    ToolContext c{ws, slot, s, ws.ToolVars, tools.Row(ToolSelection)};
    tool->DragAndRelease(c, x, y);
    ws.Port->UpdateCommandStates();
}

} // namespace

bool SelectedBox(const Bitmap& mask, TRect& box) {
    box = {10000, 10000, 0, 0};
    bool any = false;
    ForEachSelected(mask, [&](int mx, int my) {
        any = true;
        box.Left = std::min(box.Left, mx);
        box.Top = std::min(box.Top, my);
        box.Right = std::max(box.Right, mx);
        box.Bottom = std::max(box.Bottom, my);
    });
    return any;
}

Bitmap SelectionPicture(const Bitmap& image, const Bitmap& mask, int left, int top) {
    TRect box;
    if (!SelectedBox(mask, box)) return Bitmap();
    Bitmap picture(box.Right - box.Left + 1, box.Bottom - box.Top + 1, 32);
    picture.Fill(0, 0, 0, 255);
    ForEachSelected(mask, [&](int mx, int my) {
        if (const uint8_t* p = PixelAt(image, left + mx, top + my))
            std::copy(p, p + 4, picture.Row(my - box.Top) + static_cast<std::size_t>(mx - box.Left) * 4);
    });
    return picture;
}

bool HasToolSelection(const Workspace& ws) {
    const auto active = ws.ActiveImage();
    return active && active->Tool == ToolSelection && ws.ToolVars.HasSelection == 1 &&
           SelectionOwner(ws) == active.Slot;
}

bool CopySelection(Workspace& ws, Bitmap& picture) {
    if (!HasToolSelection(ws)) return false;
    picture = PictureOfSelection(ws);
    return !picture.Empty();
}

bool CutSelection(Workspace& ws, Bitmap& picture) {
    if (!HasToolSelection(ws)) return false;
    picture = PictureOfSelection(ws);
    if (picture.Empty() || !PushHistory(ws)) return false;
    NameHistoryStep(ws, "Cut");
    ForgetSelection(ws.ToolVars);
    PaintSelected(ws, ws.Active());
    ws.Port->UpdateCommandStates();
    ws.Port->RefreshView();
    return true;
}

bool DeleteSelection(Workspace& ws) {
    if (!HasToolSelection(ws) || !PushHistory(ws)) return false;
    NameHistoryStep(ws, "Delete");
    PaintSelected(ws, ws.Active());
    ws.Port->RefreshView();
    // The selection stays, and so does its outline on the view.
    DrawSelectionOutline(ws, SelectionType(ws));
    ws.Port->RepaintView();
    return true;
}

bool PasteAsSelection(Workspace& ws, Bitmap pixels) {
    if (!ws.ActiveImage() || pixels.Empty()) return false;
    // It floats at its own size: no larger than the largest image.
    const int64_t w = pixels.Width(), h = pixels.Height();
    if (w > MaxImageSide || h > MaxImageSide || w * h > MaxImagePixels) {
        ws.Port->ReportProblem("The picture is too large to paste: " + std::to_string(w) + " x " +
                                   std::to_string(h) + " pixels.",
                               "");
        return false;
    }
    pixels.SetBitsPerPixel(32);
    // A selection floating now is committed first; then the paste is the
    // selection tool's new selection.
    DropSelection(ws);
    if (!SelectToolCore(ws, ToolSelection)) return false;
    const int slot = ws.ActiveSlot();
    TImages& s = ws.Active();
    TToolVars& v = ws.ToolVars;
    v.HasSelection = 1;
    v.SelectionSlot = slot;
    v.FloatBitmap = std::move(pixels);
    FillRowTable(v.FloatBitmap, v.FloatRows);
    v.FloatInset = 0; // the whole picture lands
    ws.StrokeBase.Bitmap = s.Bitmap;
    ws.StrokeBase.Refill();
    UseFloatingRectangle(ws);
    s.DownX = s.DownY = 0;
    v.LastPoint = {0, 0};
    v.SelRight = v.FloatBitmap.Width();
    v.SelBottom = v.FloatBitmap.Height();
    v.DragRect = {0, 0, v.SelRight, v.SelBottom};
    RectangleMask(ws, s);
    FloatAt(ws, 0, 0);
    return true;
}

bool PasteIntoSelection(Workspace& ws, Bitmap pixels) {
    if (!HasToolSelection(ws) || pixels.Empty()) return false;
    pixels.SetBitsPerPixel(32);
    TImages& s = ws.Active();
    TToolVars& v = ws.ToolVars;
    v.FloatBitmap = std::move(pixels);
    FillRowTable(v.FloatBitmap, v.FloatRows);
    v.FloatInset = 0; // stretched over the whole selection rectangle
    UseFloatingRectangle(ws);
    NormaliseCorners(s, v);
    v.DragRect = SelectionRect(s, v);
    RectangleMask(ws, s);
    FloatAt(ws, s.DownX, s.DownY);
    return true;
}

bool PasteToFitCanvas(Workspace& ws, const Bitmap& pixels) {
    if (!ws.ActiveImage() || pixels.Empty()) return false;
    TImages& s = ws.Active();
    if (s.Bitmap.Empty() || !PushHistory(ws)) return false;
    NameHistoryStep(ws, "Paste");
    Bitmap source = pixels;
    source.SetBitsPerPixel(32);
    Bitmap stretched(s.Bitmap.Width(), s.Bitmap.Height(), 32);
    BilinearResample(source, stretched);
    // Drawn as a 24-bit picture: colours only, and every pixel opaque.
    s.Bitmap.SetBitsPerPixel(32);
    for (int y = 0; y < s.Bitmap.Height(); ++y) {
        const uint8_t* src = stretched.Row(y);
        uint8_t* dst = s.Bitmap.Row(y);
        for (int x = 0; x < s.Bitmap.Width() * 4; x += 4) {
            dst[x] = src[x];
            dst[x + 1] = src[x + 1];
            dst[x + 2] = src[x + 2];
            dst[x + 3] = 0;
        }
    }
    FillRowTable(s.Bitmap, s.Rows);
    ws.Port->RefreshView();
    return true;
}

int PasteAsNewImage(Workspace& ws, Bitmap pixels) {
    if (pixels.Empty() || !RoomForAnotherImage(ws)) return -1;
    const int w = pixels.Width(), h = pixels.Height();
    std::string message;
    int slot = -1;
    if (ImageSizeFits(w, h)) {
        pixels.SetBitsPerPixel(32);
        SlotSource source; // "Untitled.bmp", white canvas, its own background copy
        slot = ClaimAndFill(ws, std::move(pixels), source, message);
    } else {
        message = NotEnoughMemory(w, h);
    }
    if (slot < 0) {
        if (!message.empty()) ws.Port->ReportProblem(message, "");
        return -1;
    }
    // The GIF transparency box starts from full transparency for it.
    ws.Port->SetToolOption(TOpt::GifSensitivity, 255);
    return slot;
}

bool FillCanvas(Workspace& ws) {
    if (!HasToolSelection(ws) || SelectionType(ws) != SelRectangle) return false;
    TImages& s = ws.Active();
    TToolVars& v = ws.ToolVars;
    if (s.Bitmap.Empty() || v.FloatBitmap.Empty() || !PushHistory(ws)) return false;
    NameHistoryStep(ws, "Paste");
    ws.Port->SetToolOption(TOpt::SelectionEdit, 1); // "Edit Selected Canvas"
    // The floating pixels are stretched over the whole canvas, edge to
    // edge, and stay there: the selection ends.
    const int w = s.Bitmap.Width(), h = s.Bitmap.Height();
    s.Bitmap.SetBitsPerPixel(32);
    StretchFloating(v, s.Bitmap, {0, 0, w, h});
    v.HandleHit = 2;
    s.DownX = s.DownY = 0;
    v.LastPoint = {0, 0};
    v.SelRight = w;
    v.SelBottom = h;
    ForgetSelection(v);
    FillRowTable(s.Bitmap, s.Rows);
    ws.Port->UpdateCommandStates();
    ws.Port->RefreshView();
    return true;
}

} // namespace pixora
