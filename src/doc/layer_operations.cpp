#include "doc/layer_operations.h"

#include <algorithm>
#include <cstring>

#include "doc/layer_strip.h"
#include "doc/layers.h"
#include "doc/tab_change.h"

namespace pixora {

namespace {

void ShowStrip(Workspace& ws) {
    ws.Port->RedrawLayerStrip(ws.ActiveSlot());
}

// A copy of `src` at a new size: the common part keeps its place from the
// top-left corner, the rest is transparent white.
Bitmap Resized(const Bitmap& src, int width, int height) {
    Bitmap out(width, height, 32);
    out.Fill(255, 255, 255, 255);
    const int w = std::min(width, src.Width()), h = std::min(height, src.Height());
    if (w > 0)
        for (int y = 0; y < h; ++y)
            std::memcpy(out.Row(y), src.Row(y), static_cast<std::size_t>(w) * 4);
    return out;
}

// Puts a layer that is already stored on top of the others and chooses it.
void ShowAddedLayer(Workspace& ws, TImages& s, const std::function<void()>& showSheet) {
    if (showSheet) showSheet();
    RedrawLayerStripBitmap(s);
    ChooseLayer(ws, s.LayerCount);
}

} // namespace

namespace {

// Choosing layer n of a slot. The window's part (ending the selection, the
// command states, laying out the view) belongs to the active slot only; a
// slot in the background is shown afresh by its next tab change anyway.
void ChooseLayerOf(Workspace& ws, int slot, int n) {
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    if (n < 1 || n > s.LayerCount) return;
    const bool shown = slot == ws.ActiveSlot();
    if (shown) ws.BeforeImageReplaced();
    s.ZoomNum = 1;
    s.ZoomDen = 1;
    RedrawCurrentLayerCell(s);
    StoreCurrentLayer(s);
    const int old = s.CurrentLayer;
    s.CurrentLayer = n;
    if (shown) ws.Port->UpdateCommandStates();
    if (old > 0) DrawLayerCell(s, old, LayerBitmap(s, old));
    DrawLayerCell(s, n, LayerBitmap(s, n));
    LoadCurrentLayer(s);
    // The tab change lays out the view and rulers for the layer's size,
    // refreshes the view and shows the strip.
    if (shown) TabChange(ws);
}

// Steps 1 to 3 of "View Final Image": the merged picture in Bitmap and no
// layer current (the old one's cell loses its highlight).
void MergeIntoBitmap(TImages& s) {
    // Storing the current layer by handing its storage over saves a copy of
    // the image: Bitmap is filled afresh by the merge anyway. Should the
    // merge fail, the live pixels go back into Bitmap.
    if (s.CurrentLayer > 0) {
        std::swap(s.Bitmap, LayerBitmap(s, s.CurrentLayer));
        FillRowTable(LayerBitmap(s, s.CurrentLayer), LayerRows(s, s.CurrentLayer));
    }
    try {
        MergeLayers(s);
    } catch (...) {
        if (s.CurrentLayer > 0) {
            std::swap(s.Bitmap, LayerBitmap(s, s.CurrentLayer));
            FillRowTable(s.Bitmap, s.Rows);
        }
        throw;
    }
    const int old = s.CurrentLayer;
    s.CurrentLayer = 0;
    if (old > 0) DrawLayerCell(s, old, LayerBitmap(s, old));
}

} // namespace

void ChooseLayer(Workspace& ws, int n) {
    if (const TActiveImage active = ws.ActiveImage()) ChooseLayerOf(ws, active.Slot, n);
}

bool ClickLayerStrip(Workspace& ws, int x) {
    const TActiveImage s = ws.ActiveImage();
    if (!s) return false;
    const int n = LayerAtStripX(*s, x);
    if (n == 0) return false;
    ChooseLayer(ws, n);
    return true;
}

bool NewLayer(Workspace& ws, const TNewLayer& p, const std::function<void()>& showSheet) {
    const TActiveImage sp = ws.ActiveImage();
    if (!sp || sp->LayerCount >= kMaxLayers) return false;
    TImages& s = *sp;
    Bitmap pixels(std::max(p.Width, 1), std::max(p.Height, 1), 32);
    pixels.Fill(255, 255, 255, static_cast<uint8_t>(std::clamp(p.Transparency, 0, 255)));
    const int n = s.LayerCount + 1;
    s.LayerCount = n;
    TLayer& layer = s.Layer(n);
    layer.Bitmap = std::move(pixels);
    layer.Left = p.Left;
    layer.Top = p.Top;
    FillRowTable(layer.Bitmap, layer.Rows);
    ShowAddedLayer(ws, s, showSheet);
    return true;
}

bool DuplicateCurrentLayer(Workspace& ws, const std::function<void()>& showSheet) {
    const TActiveImage sp = ws.ActiveImage();
    if (!sp || sp->CurrentLayer <= 0 || sp->LayerCount >= kMaxLayers) return false;
    TImages& s = *sp;
    StoreCurrentLayer(s);
    const int cur = s.CurrentLayer;
    Bitmap copy = LayerBitmap(s, cur);
    const int left = cur > 1 ? s.Layer(cur).Left : 0, top = cur > 1 ? s.Layer(cur).Top : 0;
    const int n = s.LayerCount + 1;
    TLayer& layer = s.Layer(n);
    layer.Bitmap = std::move(copy);
    layer.Left = left;
    layer.Top = top;
    FillRowTable(layer.Bitmap, layer.Rows);
    s.LayerCount = n;
    ShowAddedLayer(ws, s, showSheet);
    return true;
}

void DeleteCurrentLayer(Workspace& ws) {
    const TActiveImage sp = ws.ActiveImage();
    if (!sp || sp->CurrentLayer <= 1) return;
    TImages& s = *sp;
    ChooseLayer(ws, 1);
    s.Layer(s.LayerCount) = TLayer{};
    s.LayerCount -= 1;
    s.Layers.resize(static_cast<std::size_t>(std::max(s.LayerCount, 1)) + 1);
    ws.Port->UpdateCommandStates();
    RedrawLayerStripBitmap(s);
    ShowStrip(ws);
}

void EditCurrentLayer(Workspace& ws, int width, int height, int left, int top) {
    const TActiveImage sp = ws.ActiveImage();
    if (!sp || sp->CurrentLayer <= 1) return;
    TImages& s = *sp;
    const int n = s.CurrentLayer;
    width = std::max(width, 1);
    height = std::max(height, 1);
    TLayer& layer = s.Layer(n);
    Bitmap stored = Resized(layer.Bitmap, width, height);
    Bitmap live = Resized(s.Bitmap, width, height);
    layer.Top = top;
    layer.Left = left;
    layer.Bitmap = std::move(stored);
    s.Bitmap = std::move(live);
    FillRowTable(layer.Bitmap, layer.Rows);
    FillRowTable(s.Bitmap, s.Rows);
    ChooseLayer(ws, n);
    RedrawCurrentLayerCell(s);
    ShowStrip(ws);
}

void ViewFinalImage(Workspace& ws) {
    const TActiveImage sp = ws.ActiveImage();
    if (!sp) return;
    // No layer is current from here on; clearing it before the view is
    // refreshed keeps the merged picture out of that layer's thumbnail.
    MergeIntoBitmap(*sp);
    TabChange(ws);
    ws.Port->UpdateCommandStates();
}

void ComposeLayers(Workspace& ws, int slot, const std::function<void(const Bitmap& merged)>& use) {
    if (slot < 0 || slot >= kSlotCount) return;
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    if (s.LayerCount <= 1 && s.CurrentLayer == 1) {
        // A single layer being edited: Bitmap is the picture already.
        if (use) use(s.Bitmap);
        return;
    }
    MergeIntoBitmap(s);
    // Layer 1 is chosen again, its own pixels loaded into Bitmap, also when
    // `use` fails; the merged picture is never stored into a layer.
    try {
        if (use) use(s.Bitmap);
    } catch (...) {
        ChooseLayerOf(ws, slot, 1);
        throw;
    }
    ChooseLayerOf(ws, slot, 1);
}

} // namespace pixora
