#include "doc/layers.h"

#include <algorithm>
#include <cstring>

#include "doc/resample.h"

namespace pixora {

TThumbSize FitThumbnail(int w, int h, int limit) {
    if (w <= 0 || h <= 0) return {0, 0};
    if (w <= limit && h <= limit) return {w, h};
    const long long W = w, H = h, L = limit;
    long long tw = W * L / H, th = L;
    if (tw > L) {
        tw = L;
        th = H * L / W;
    }
    return {static_cast<int>(tw), static_cast<int>(th)};
}

TThumbPlace PlaceLayerThumbnail(int w, int h) {
    TThumbPlace p;
    p.Size = FitThumbnail(w, h, kLayerThumbLimit);
    if (w > kLayerThumbLimit || h > kLayerThumbLimit) {
        p.X = (kLayerThumbLimit - p.Size.Width) / 2;
        p.Y = (kLayerThumbLimit - p.Size.Height) / 2;
    } else {
        p.X = 27 - w / 2;
        p.Y = 27 - h / 2;
    }
    return p;
}

Bitmap& LayerBitmap(TImages& s, int n) { return n <= 1 ? s.BackBitmap : s.Layer(n).Bitmap; }
TRowTable& LayerRows(TImages& s, int n) { return n <= 1 ? s.BackRows : s.Layer(n).Rows; }

void StoreCurrentLayer(TImages& s) {
    if (s.CurrentLayer <= 0) return;
    Bitmap& layer = LayerBitmap(s, s.CurrentLayer);
    layer.Assign(s.Bitmap);
    FillRowTable(layer, LayerRows(s, s.CurrentLayer));
}

void LoadCurrentLayer(TImages& s) {
    if (s.CurrentLayer <= 0) return;
    s.Bitmap.Assign(LayerBitmap(s, s.CurrentLayer));
    FillRowTable(s.Bitmap, s.Rows);
}

// ---- strip -----------------------------------------------------------------

namespace {

// Colour bytes of an opaque pixel; the strip is a picture, not a document.
void FillArea(Bitmap& b, int l, int t, int r, int bottom, uint8_t v) {
    l = std::max(l, 0);
    t = std::max(t, 0);
    r = std::min(r, b.Width());
    bottom = std::min(bottom, b.Height());
    for (int y = t; y < bottom; ++y) {
        uint8_t* p = b.Row(y) + 4 * l;
        for (int x = l; x < r; ++x, p += 4) p[0] = p[1] = p[2] = v, p[3] = 0;
    }
}

// One-pixel black outline of the rectangle (l, t)..(r, b), right column and
// bottom row excluded.
void Outline(Bitmap& b, int l, int t, int r, int bottom) {
    FillArea(b, l, t, r, t + 1, 0);
    FillArea(b, l, bottom - 1, r, bottom, 0);
    FillArea(b, l, t, l + 1, bottom, 0);
    FillArea(b, r - 1, t, r, bottom, 0);
}

bool StripFits(const TImages& s) {
    return s.LayerStrip.Width() == s.LayerCount * kLayerCellPitch && s.LayerStrip.Height() == kLayerCellSize &&
           s.LayerStrip.BitsPerPixel() == 32;
}

void DrawCell(TImages& s, int n, const Bitmap& source) {
    Bitmap& strip = s.LayerStrip;
    const int c = (n - 1) * kLayerCellPitch;
    FillArea(strip, c, 0, c + kLayerCellSize, kLayerCellSize, 255);
    Outline(strip, c, 0, c + kLayerCellSize, kLayerCellSize);
    const TThumbPlace place = PlaceLayerThumbnail(source.Width(), source.Height());
    if (place.Size.Width > 0 && place.Size.Height > 0) {
        Bitmap thumb(place.Size.Width, place.Size.Height, 32);
        BilinearResample(source, thumb);
        const int x0 = c + place.X + 1, y0 = place.Y + 1;
        for (int y = 0; y < thumb.Height(); ++y) {
            const int sy = y0 + y;
            if (sy < 0 || sy >= strip.Height()) continue;
            const int from = std::max(0, -x0), to = std::min(thumb.Width(), strip.Width() - x0);
            if (to <= from) continue;
            uint8_t* d = strip.Row(sy) + 4 * (x0 + from);
            const uint8_t* p = thumb.Row(y) + 4 * from;
            for (int x = from; x < to; ++x, d += 4, p += 4) d[0] = p[0], d[1] = p[1], d[2] = p[2];
        }
    }
    if (n == s.CurrentLayer) Outline(strip, c + 1, 1, c + kLayerCellSize - 1, kLayerCellSize - 1);
}

} // namespace

void RedrawLayerStripBitmap(TImages& s) {
    const int count = std::max(s.LayerCount, 0);
    s.LayerStrip = Bitmap(count * kLayerCellPitch, kLayerCellSize, 32);
    FillArea(s.LayerStrip, 0, 0, s.LayerStrip.Width(), kLayerCellSize, 255);
    for (int n = 1; n <= count; ++n) DrawCell(s, n, n == s.CurrentLayer ? s.Bitmap : LayerBitmap(s, n));
}

void DrawLayerCell(TImages& s, int n, const Bitmap& source) {
    if (n < 1 || n > s.LayerCount) return;
    if (!StripFits(s)) {
        RedrawLayerStripBitmap(s);
        if (&source == &s.Bitmap && n == s.CurrentLayer) return;  // already drawn from it
    }
    DrawCell(s, n, source);
}

void RedrawCurrentLayerCell(TImages& s) {
    if (s.CurrentLayer > 0) DrawLayerCell(s, s.CurrentLayer, s.Bitmap);
    else if (!StripFits(s)) RedrawLayerStripBitmap(s);
}

int LayerAtStripX(const TImages& s, int x) {
    if (s.LayerCount <= 1) return 0;
    for (int i = 0; i < s.LayerCount; ++i)
        if (i * kLayerCellPitch < x && x < i * kLayerCellPitch + kLayerCellSize) return i + 1;
    return 0;
}

// ---- merging ---------------------------------------------------------------

void BlendLayer(Bitmap& dst, const Bitmap& layer, int left, int top) {
    if (dst.Empty() || layer.Empty()) return;
    const long long x0 = std::max<long long>(left, 0);
    const long long x1 = std::min<long long>(static_cast<long long>(left) + layer.Width() - 1, dst.Width() - 1);
    const long long y0 = std::max<long long>(top, 0);
    const long long y1 = std::min<long long>(static_cast<long long>(top) + layer.Height() - 1, dst.Height() - 1);
    if (x0 > x1 || y0 > y1) return;
    const int n = static_cast<int>(x1 - x0 + 1);
    for (long long y = y0; y <= y1; ++y) {
        uint8_t* d = dst.Row(static_cast<int>(y)) + 4 * x0;
        const uint8_t* l = layer.Row(static_cast<int>(y - top)) + 4 * (x0 - left);
        for (int i = 0; i < n; ++i, d += 4, l += 4) {
            // a / 255 * 100 never lies halfway between two integers (255 is
            // odd), so adding 127 before the division rounds it to nearest.
            const uint32_t dp = (static_cast<uint32_t>(l[3]) * 100u + 127u) / 255u;
            const uint32_t lp = 100u - dp;
            d[0] = static_cast<uint8_t>(lp * l[0] / 100u + dp * d[0] / 100u);
            d[1] = static_cast<uint8_t>(lp * l[1] / 100u + dp * d[1] / 100u);
            d[2] = static_cast<uint8_t>(lp * l[2] / 100u + dp * d[2] / 100u);
        }
    }
}

void MergeLayers(TImages& s) {
    s.Bitmap.Assign(s.BackBitmap);
    FillRowTable(s.Bitmap, s.Rows);
    for (int n = 2; n <= s.LayerCount; ++n) {
        const TLayer& layer = s.Layer(n);
        BlendLayer(s.Bitmap, layer.Bitmap, layer.Left, layer.Top);
    }
}

// ---- commands ----------------------------------------------------------------

namespace {

TImages* ActiveImage(Workspace& ws) {
    if (!ws.HasOpenImage()) return nullptr;
    const int slot = ws.ActiveSlot();
    if (slot < 0 || slot >= kSlotCount) return nullptr;
    return &ws.Images[static_cast<std::size_t>(slot)];
}

void ShowStrip(Workspace& ws) {
    if (ws.Port) ws.Port->RedrawLayerStrip(ws.ActiveSlot());
}

// A copy of `src` at a new size: the common part keeps its place from the
// top-left corner, the rest is transparent white.
Bitmap Resized(const Bitmap& src, int width, int height) {
    Bitmap out(width, height, 32);
    out.Fill(255, 255, 255, 255);
    const int w = std::min(width, src.Width()), h = std::min(height, src.Height());
    if (w > 0)
        for (int y = 0; y < h; ++y) std::memcpy(out.Row(y), src.Row(y), static_cast<std::size_t>(w) * 4);
    return out;
}

// Puts a layer that is already stored on top of the others and chooses it.
void ShowAddedLayer(Workspace& ws, TImages& s, const std::function<void()>& showSheet) {
    if (showSheet) showSheet();
    RedrawLayerStripBitmap(s);
    ChooseLayer(ws, s.LayerCount);
}

} // namespace

void ChooseLayer(Workspace& ws, int n) {
    TImages* sp = ActiveImage(ws);
    if (!sp || n < 1 || n > sp->LayerCount) return;
    TImages& s = *sp;
    if (ws.Port) ws.Port->EndSelection();
    s.ZoomNum = 1;
    s.ZoomDen = 1;
    RedrawCurrentLayerCell(s);
    StoreCurrentLayer(s);
    const int old = s.CurrentLayer;
    s.CurrentLayer = n;
    if (ws.Port) ws.Port->UpdateCommandStates();
    if (old > 0) DrawLayerCell(s, old, LayerBitmap(s, old));
    DrawLayerCell(s, n, LayerBitmap(s, n));
    LoadCurrentLayer(s);
    // The tab change lays out the view and rulers for the layer's size,
    // refreshes the view and shows the strip.
    if (ws.Port) ws.Port->TabChange();
}

bool ClickLayerStrip(Workspace& ws, int x) {
    TImages* s = ActiveImage(ws);
    if (!s) return false;
    const int n = LayerAtStripX(*s, x);
    if (n == 0) return false;
    ChooseLayer(ws, n);
    return true;
}

bool NewLayer(Workspace& ws, const TNewLayer& p, const std::function<void()>& showSheet) {
    TImages* sp = ActiveImage(ws);
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
    TImages* sp = ActiveImage(ws);
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
    TImages* sp = ActiveImage(ws);
    if (!sp || sp->CurrentLayer <= 1) return;
    TImages& s = *sp;
    ChooseLayer(ws, 1);
    s.Layer(s.LayerCount) = TLayer{};
    s.LayerCount -= 1;
    s.Layers.resize(static_cast<std::size_t>(std::max(s.LayerCount, 1)) + 1);
    if (ws.Port) ws.Port->UpdateCommandStates();
    RedrawLayerStripBitmap(s);
    ShowStrip(ws);
}

void EditCurrentLayer(Workspace& ws, int width, int height, int left, int top) {
    TImages* sp = ActiveImage(ws);
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
    TImages* sp = ActiveImage(ws);
    if (!sp) return;
    TImages& s = *sp;
    StoreCurrentLayer(s);
    MergeLayers(s);
    // No layer is current from here on; clearing it before the view is
    // refreshed keeps the merged picture out of that layer's thumbnail.
    const int old = s.CurrentLayer;
    s.CurrentLayer = 0;
    if (old > 0) DrawLayerCell(s, old, LayerBitmap(s, old));
    if (ws.Port) {
        ws.Port->TabChange();
        ws.Port->UpdateCommandStates();
    }
}

void ComposeLayers(Workspace& ws, const std::function<void(const Bitmap& merged)>& use) {
    TImages* sp = ActiveImage(ws);
    if (!sp) return;
    ViewFinalImage(ws);
    try {
        if (use) use(sp->Bitmap);
    } catch (...) {
        ChooseLayer(ws, 1);
        throw;
    }
    ChooseLayer(ws, 1);
}

} // namespace pixora
