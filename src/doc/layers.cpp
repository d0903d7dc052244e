#include "doc/layers.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "doc/blend_row.h"
#include "doc/checkerboard.h"
#include "doc/row_ranges.h"

namespace pixora {

Bitmap& LayerBitmap(TImages& s, int n) { return n <= 1 ? s.BackBitmap : s.Layer(n).Bitmap; }
TRowTable& LayerRows(TImages& s, int n) { return n <= 1 ? s.BackRows : s.Layer(n).Rows; }

// Both keep the storage of the bitmap copied into when its size already
// fits, so switching between layers of one size allocates nothing.
void StoreCurrentLayer(TImages& s) {
    if (s.CurrentLayer <= 0) return;
    Bitmap& layer = LayerBitmap(s, s.CurrentLayer);
    CopyBitmapInto(s.Bitmap, layer);
    FillRowTable(layer, LayerRows(s, s.CurrentLayer));
}

void LoadCurrentLayer(TImages& s) {
    if (s.CurrentLayer <= 0) return;
    CopyBitmapInto(LayerBitmap(s, s.CurrentLayer), s.Bitmap);
    FillRowTable(s.Bitmap, s.Rows);
}

// ---- merging ---------------------------------------------------------------

namespace {

// Rows of dst blended by all layers in turn while they stay in the cache.
constexpr int kMergeBand = 16;

// The part of a layer that lies on dst, in dst coordinates (x1, y1
// exclusive); empty when the layer lies wholly outside.
struct TOverlap {
    int X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;
    bool Empty() const { return X0 >= X1 || Y0 >= Y1; }
};

TOverlap Overlap(const Bitmap& dst, const Bitmap& layer, int left, int top) {
    if (dst.Empty() || layer.Empty()) return {};
    const long long x0 = std::max<long long>(left, 0);
    const long long x1 = std::min<long long>(static_cast<long long>(left) + layer.Width(), dst.Width());
    const long long y0 = std::max<long long>(top, 0);
    const long long y1 = std::min<long long>(static_cast<long long>(top) + layer.Height(), dst.Height());
    if (x0 >= x1 || y0 >= y1) return {};
    return {static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1), static_cast<int>(y1)};
}

// Blends rows [y0, y1) of one layer's overlap onto dst.
void BlendOverlapRows(Bitmap& dst, const Bitmap& layer, int left, int top, const TOverlap& o, int y0, int y1) {
    y0 = std::max(y0, o.Y0);
    y1 = std::min(y1, o.Y1);
    const int n = o.X1 - o.X0;
    for (int y = y0; y < y1; ++y)
        BlendLayerRow(dst.Row(y) + 4 * static_cast<std::size_t>(o.X0),
                      layer.Row(y - top) + 4 * static_cast<std::size_t>(o.X0 - left), n);
}

} // namespace

void BlendLayer(Bitmap& dst, const Bitmap& layer, int left, int top) {
    const TOverlap o = Overlap(dst, layer, left, top);
    if (o.Empty()) return;
    ForRowRanges(o.Y1 - o.Y0,
                 static_cast<std::size_t>(o.X1 - o.X0) * static_cast<std::size_t>(o.Y1 - o.Y0) * 4,
                 [&](int r0, int r1) { BlendOverlapRows(dst, layer, left, top, o, o.Y0 + r0, o.Y0 + r1); });
}

void MergeLayers(TImages& s) {
    const Bitmap& back = s.BackBitmap;
    Bitmap& out = s.Bitmap;
    if (out.Width() != back.Width() || out.Height() != back.Height() || out.BitsPerPixel() != back.BitsPerPixel()) {
        // New storage first: should it not be had, Bitmap stays as it was.
        Bitmap sized(0, 0, back.BitsPerPixel());
        sized.SetSizeUncleared(back.Width(), back.Height());
        out = std::move(sized);
    }
    std::vector<TOverlap> overlaps;
    for (int n = 2; n <= s.LayerCount; ++n) {
        const TLayer& layer = s.Layer(n);
        overlaps.push_back(Overlap(out, layer.Bitmap, layer.Left, layer.Top));
    }
    // A band of rows gets the background and then every layer in order
    // before the next band is begun; each pixel sees the layers in the same
    // order as whole-image passes would give it.
    const std::size_t stride = back.Stride();
    ForRowRanges(back.Height(), back.ByteSize() * static_cast<std::size_t>(std::max(s.LayerCount, 0)),
                 [&](int y0, int y1) {
                     for (int b0 = y0; b0 < y1; b0 += kMergeBand) {
                         const int b1 = std::min(y1, b0 + kMergeBand);
                         std::memcpy(out.Row(b0), back.Row(b0), stride * static_cast<std::size_t>(b1 - b0));
                         for (int n = 2; n <= s.LayerCount; ++n) {
                             const TOverlap& o = overlaps[static_cast<std::size_t>(n - 2)];
                             if (o.Empty()) continue;
                             const TLayer& layer = s.Layers[static_cast<std::size_t>(n)];
                             BlendOverlapRows(out, layer.Bitmap, layer.Left, layer.Top, o, b0, b1);
                         }
                     }
                 });
    FillRowTable(out, s.Rows);
}

} // namespace pixora
