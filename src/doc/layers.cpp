#include "doc/layers.h"

#include <algorithm>
#include <cstring>
#include <system_error>
#include <thread>
#include <vector>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

#include "doc/checkerboard.h"
#include "doc/resample.h"
#include "doc/tab_change.h"

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

Bitmap& LayerBitmap(TImages& s, int n) {
    return n <= 1 ? s.BackBitmap : s.Layer(n).Bitmap;
}
TRowTable& LayerRows(TImages& s, int n) {
    return n <= 1 ? s.BackRows : s.Layer(n).Rows;
}

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
        for (int x = l; x < r; ++x, p += 4)
            p[0] = p[1] = p[2] = v, p[3] = 0;
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
    return s.LayerStrip.Width() == s.LayerCount * kLayerCellPitch &&
           s.LayerStrip.Height() == kLayerCellSize && s.LayerStrip.BitsPerPixel() == 32;
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
            for (int x = from; x < to; ++x, d += 4, p += 4)
                d[0] = p[0], d[1] = p[1], d[2] = p[2];
        }
    }
    if (n == s.CurrentLayer) Outline(strip, c + 1, 1, c + kLayerCellSize - 1, kLayerCellSize - 1);
}

} // namespace

void RedrawLayerStripBitmap(TImages& s) {
    const int count = std::max(s.LayerCount, 0);
    s.LayerStrip = Bitmap(count * kLayerCellPitch, kLayerCellSize, 32);
    FillArea(s.LayerStrip, 0, 0, s.LayerStrip.Width(), kLayerCellSize, 255);
    for (int n = 1; n <= count; ++n)
        DrawCell(s, n, n == s.CurrentLayer ? s.Bitmap : LayerBitmap(s, n));
}

void DrawLayerCell(TImages& s, int n, const Bitmap& source) {
    if (n < 1 || n > s.LayerCount) return;
    if (!StripFits(s)) {
        RedrawLayerStripBitmap(s);
        if (&source == &s.Bitmap && n == s.CurrentLayer) return; // already drawn from it
    }
    DrawCell(s, n, source);
}

void RedrawCurrentLayerCell(TImages& s) {
    if (s.CurrentLayer > 0)
        DrawLayerCell(s, s.CurrentLayer, s.Bitmap);
    else if (!StripFits(s))
        RedrawLayerStripBitmap(s);
}

int LayerAtStripX(const TImages& s, int x) {
    if (s.LayerCount <= 1) return 0;
    for (int i = 0; i < s.LayerCount; ++i)
        if (i * kLayerCellPitch < x && x < i * kLayerCellPitch + kLayerCellSize) return i + 1;
    return 0;
}

// ---- merging ---------------------------------------------------------------

namespace {

// a / 255 x 100 never lies halfway between two integers (255 is odd), so
// adding 127 before the division rounds it to nearest.
inline uint32_t LayerShare(uint32_t a) {
    return (a * 100u + 127u) / 255u;
}

void BlendRowPlain(uint8_t* d, const uint8_t* l, int n) {
    for (int i = 0; i < n; ++i, d += 4, l += 4) {
        const uint32_t dp = LayerShare(l[3]);
        const uint32_t lp = 100u - dp;
        d[0] = static_cast<uint8_t>(lp * l[0] / 100u + dp * d[0] / 100u);
        d[1] = static_cast<uint8_t>(lp * l[1] / 100u + dp * d[1] / 100u);
        d[2] = static_cast<uint8_t>(lp * l[2] / 100u + dp * d[2] / 100u);
    }
}

#if defined(__x86_64__) && defined(__GNUC__)
#define PIXORA_BLEND_X86 1

// The vector kernels work on 16-bit lanes, two pixels per 128 bits:
//   t  = the pixel's transparency in all four of its lanes,
//   dp = (t x 100 + 128) x 257 >> 16      = (t x 100 + 127) div 255,
//   v div 100 = v x 5243 >> 19              for every v up to 25,500,
// both exact over the whole range (the tests go through every case). The
// fourth byte of dst is put back afterwards.
//
// Each kernel walks groups of four vectors. A group whose pixels are all
// clear (255) leaves dst alone, one whose pixels are all opaque (0) takes
// the layer's colour; only mixed groups are computed. Layers drawn on a
// clear ground are mostly such groups. Deciding per group rather than per
// vector keeps the branch off the loads' critical path.
constexpr int kGroup = 4;

// One vector width: its type and the handful of operations the row walk
// needs. Blend() is the rule on one vector; KeepT() puts dst's fourth bytes
// back; AllClear() / AllOpaque() look at the fourth bytes of a group
// gathered by And() / Or().
struct TSse2 {
    using V = __m128i;
    static constexpr int kPixels = 4;
    static V Load(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
    static void Store(uint8_t* p, V v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
    static V TMask() { return _mm_set1_epi32(static_cast<int>(0xFF000000u)); }
    static V Zero() { return _mm_setzero_si128(); }
    static V And(V a, V b) { return _mm_and_si128(a, b); }
    static V Or(V a, V b) { return _mm_or_si128(a, b); }
    static bool AllClear(V all) { return _mm_movemask_epi8(_mm_cmpeq_epi8(all, TMask())) == 0xFFFF; }
    static bool AllOpaque(V any) {
        return (_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(any, TMask()), Zero())) & 0x8888) == 0x8888;
    }
    static V KeepT(V r, V b) { return _mm_or_si128(_mm_andnot_si128(TMask(), r), _mm_and_si128(TMask(), b)); }
    static V Lanes(V lw, V bw) {
        const V t = _mm_shufflehi_epi16(_mm_shufflelo_epi16(lw, 0xFF), 0xFF);
        const V dp = _mm_mulhi_epu16(
            _mm_add_epi16(_mm_mullo_epi16(t, _mm_set1_epi16(100)), _mm_set1_epi16(128)), _mm_set1_epi16(257));
        const V lp = _mm_sub_epi16(_mm_set1_epi16(100), dp);
        const V top = _mm_srli_epi16(_mm_mulhi_epu16(_mm_mullo_epi16(lp, lw), _mm_set1_epi16(5243)), 3);
        const V below = _mm_srli_epi16(_mm_mulhi_epu16(_mm_mullo_epi16(dp, bw), _mm_set1_epi16(5243)), 3);
        return _mm_add_epi16(top, below);
    }
    static V Blend(V L, V B) {
        return _mm_packus_epi16(Lanes(_mm_unpacklo_epi8(L, Zero()), _mm_unpacklo_epi8(B, Zero())),
                                Lanes(_mm_unpackhi_epi8(L, Zero()), _mm_unpackhi_epi8(B, Zero())));
    }
};

#define PIXORA_AVX2 __attribute__((target("avx2")))
struct TAvx2 {
    using V = __m256i;
    static constexpr int kPixels = 8;
    PIXORA_AVX2 static V Load(const uint8_t* p) {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    }
    PIXORA_AVX2 static void Store(uint8_t* p, V v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
    PIXORA_AVX2 static V TMask() { return _mm256_set1_epi32(static_cast<int>(0xFF000000u)); }
    PIXORA_AVX2 static V Zero() { return _mm256_setzero_si256(); }
    PIXORA_AVX2 static V And(V a, V b) { return _mm256_and_si256(a, b); }
    PIXORA_AVX2 static V Or(V a, V b) { return _mm256_or_si256(a, b); }
    PIXORA_AVX2 static bool AllClear(V all) { return _mm256_testc_si256(all, TMask()); }
    PIXORA_AVX2 static bool AllOpaque(V any) { return _mm256_testz_si256(any, TMask()); }
    PIXORA_AVX2 static V KeepT(V r, V b) { return _mm256_blendv_epi8(r, b, TMask()); }
    PIXORA_AVX2 static V Lanes(V lw, V bw) {
        const V t = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(lw, 0xFF), 0xFF);
        const V dp = _mm256_mulhi_epu16(
            _mm256_add_epi16(_mm256_mullo_epi16(t, _mm256_set1_epi16(100)), _mm256_set1_epi16(128)),
            _mm256_set1_epi16(257));
        const V lp = _mm256_sub_epi16(_mm256_set1_epi16(100), dp);
        const V top =
            _mm256_srli_epi16(_mm256_mulhi_epu16(_mm256_mullo_epi16(lp, lw), _mm256_set1_epi16(5243)), 3);
        const V below =
            _mm256_srli_epi16(_mm256_mulhi_epu16(_mm256_mullo_epi16(dp, bw), _mm256_set1_epi16(5243)), 3);
        return _mm256_add_epi16(top, below);
    }
    PIXORA_AVX2 static V Blend(V L, V B) {
        return _mm256_packus_epi16(Lanes(_mm256_unpacklo_epi8(L, Zero()), _mm256_unpacklo_epi8(B, Zero())),
                                   Lanes(_mm256_unpackhi_epi8(L, Zero()), _mm256_unpackhi_epi8(B, Zero())));
    }
};

#define PIXORA_AVX512 __attribute__((target("avx512bw")))
struct TAvx512 {
    using V = __m512i;
    static constexpr int kPixels = 16;
    static constexpr __mmask64 kTBytes = 0x8888888888888888ull;
    PIXORA_AVX512 static V Load(const uint8_t* p) { return _mm512_loadu_si512(p); }
    PIXORA_AVX512 static void Store(uint8_t* p, V v) { _mm512_storeu_si512(p, v); }
    PIXORA_AVX512 static V TMask() { return _mm512_set1_epi32(static_cast<int>(0xFF000000u)); }
    PIXORA_AVX512 static V Zero() { return _mm512_setzero_si512(); }
    PIXORA_AVX512 static V And(V a, V b) { return _mm512_and_si512(a, b); }
    PIXORA_AVX512 static V Or(V a, V b) { return _mm512_or_si512(a, b); }
    PIXORA_AVX512 static bool AllClear(V all) {
        return _mm512_cmpneq_epi32_mask(_mm512_and_si512(all, TMask()), TMask()) == 0;
    }
    PIXORA_AVX512 static bool AllOpaque(V any) { return _mm512_test_epi32_mask(any, TMask()) == 0; }
    PIXORA_AVX512 static V KeepT(V r, V b) { return _mm512_mask_blend_epi8(kTBytes, r, b); }
    PIXORA_AVX512 static V Lanes(V lw, V bw) {
        const V t = _mm512_shufflehi_epi16(_mm512_shufflelo_epi16(lw, 0xFF), 0xFF);
        const V dp = _mm512_mulhi_epu16(
            _mm512_add_epi16(_mm512_mullo_epi16(t, _mm512_set1_epi16(100)), _mm512_set1_epi16(128)),
            _mm512_set1_epi16(257));
        const V lp = _mm512_sub_epi16(_mm512_set1_epi16(100), dp);
        const V top =
            _mm512_srli_epi16(_mm512_mulhi_epu16(_mm512_mullo_epi16(lp, lw), _mm512_set1_epi16(5243)), 3);
        const V below =
            _mm512_srli_epi16(_mm512_mulhi_epu16(_mm512_mullo_epi16(dp, bw), _mm512_set1_epi16(5243)), 3);
        return _mm512_add_epi16(top, below);
    }
    PIXORA_AVX512 static V Blend(V L, V B) {
        return _mm512_packus_epi16(Lanes(_mm512_unpacklo_epi8(L, Zero()), _mm512_unpacklo_epi8(B, Zero())),
                                   Lanes(_mm512_unpackhi_epi8(L, Zero()), _mm512_unpackhi_epi8(B, Zero())));
    }
};

// The row walk shared by every width, written once and expanded inside each
// kernel so that all of it is compiled for that kernel's instruction set (a
// template without the target would pass wide vectors to the operations
// under a different calling convention).
#define PIXORA_BLEND_ROW_WALK(W)                                                                             \
    constexpr int kBytes = 4 * W::kPixels;                                                                   \
    int i = 0;                                                                                               \
    for (; i + kGroup * W::kPixels <= n; i += kGroup * W::kPixels) {                                         \
        const uint8_t* lp = l + 4 * i;                                                                       \
        uint8_t* dp = d + 4 * i;                                                                             \
        W::V all = W::TMask(), any = W::Zero();                                                              \
        for (int k = 0; k < kGroup; ++k) {                                                                   \
            const W::V v = W::Load(lp + kBytes * k);                                                         \
            all = W::And(all, v);                                                                            \
            any = W::Or(any, v);                                                                             \
        }                                                                                                    \
        if (W::AllClear(all)) continue; /* dst stays as it is */                                             \
        const bool opaque = W::AllOpaque(any);                                                               \
        for (int k = 0; k < kGroup; ++k) {                                                                   \
            const W::V L = W::Load(lp + kBytes * k), B = W::Load(dp + kBytes * k);                           \
            W::Store(dp + kBytes * k, W::KeepT(opaque ? L : W::Blend(L, B), B));                             \
        }                                                                                                    \
    }                                                                                                        \
    for (; i + W::kPixels <= n; i += W::kPixels) {                                                           \
        const W::V L = W::Load(l + 4 * i), B = W::Load(d + 4 * i);                                           \
        W::Store(d + 4 * i, W::KeepT(W::Blend(L, B), B));                                                    \
    }                                                                                                        \
    BlendRowPlain(d + 4 * i, l + 4 * i, n - i)

void BlendRowSse2(uint8_t* d, const uint8_t* l, int n) {
    PIXORA_BLEND_ROW_WALK(TSse2);
}
PIXORA_AVX2 void BlendRowAvx2(uint8_t* d, const uint8_t* l, int n) {
    PIXORA_BLEND_ROW_WALK(TAvx2);
}
__attribute__((target("avx2,avx512bw"))) void BlendRowAvx512(uint8_t* d, const uint8_t* l, int n) {
    PIXORA_BLEND_ROW_WALK(TAvx512);
}
#undef PIXORA_BLEND_ROW_WALK

#endif

// Below this many pixels a second thread costs more than it saves.
constexpr long long kParallelPixels = 1 << 18;
// Rows of dst blended by all layers in turn while they stay in the cache.
constexpr int kMergeBand = 16;

// Runs body(y0, y1) over [0, rows), split between two threads when the
// work is large. Rows are independent, so the split changes nothing.
template <class Body> void SplitRows(int rows, long long pixels, Body body) {
    if (pixels < kParallelPixels || rows < 2 || std::thread::hardware_concurrency() < 2) {
        body(0, rows);
        return;
    }
    const int half = rows / 2;
    std::thread helper;
    try {
        helper = std::thread([&] { body(half, rows); });
    } catch (const std::system_error&) {
        body(0, rows); // no thread to be had: do it all here
        return;
    }
    body(0, half);
    helper.join();
}

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
void BlendOverlapRows(Bitmap& dst, const Bitmap& layer, int left, int top, const TOverlap& o, int y0,
                      int y1) {
    y0 = std::max(y0, o.Y0);
    y1 = std::min(y1, o.Y1);
    const int n = o.X1 - o.X0;
    for (int y = y0; y < y1; ++y)
        BlendLayerRow(dst.Row(y) + 4 * static_cast<std::size_t>(o.X0),
                      layer.Row(y - top) + 4 * static_cast<std::size_t>(o.X0 - left), n);
}

} // namespace

std::vector<TBlendKernel> AvailableBlendKernels() {
    std::vector<TBlendKernel> k{TBlendKernel::Plain};
#ifdef PIXORA_BLEND_X86
    k.push_back(TBlendKernel::Sse2);
    if (__builtin_cpu_supports("avx2")) k.push_back(TBlendKernel::Avx2);
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("avx512bw"))
        k.push_back(TBlendKernel::Avx512);
#endif
    return k;
}

void BlendLayerRowWith(TBlendKernel kernel, uint8_t* dst, const uint8_t* layer, int pixels) {
    switch (kernel) {
#ifdef PIXORA_BLEND_X86
    case TBlendKernel::Avx512:
        BlendRowAvx512(dst, layer, pixels);
        return;
    case TBlendKernel::Avx2:
        BlendRowAvx2(dst, layer, pixels);
        return;
    case TBlendKernel::Sse2:
        BlendRowSse2(dst, layer, pixels);
        return;
#endif
    default:
        BlendRowPlain(dst, layer, pixels);
        return;
    }
}

void BlendLayerRow(uint8_t* dst, const uint8_t* layer, int pixels) {
    // The widest kernel this machine runs, chosen once.
    static const TBlendKernel best = AvailableBlendKernels().back();
    BlendLayerRowWith(best, dst, layer, pixels);
}

void BlendLayer(Bitmap& dst, const Bitmap& layer, int left, int top) {
    const TOverlap o = Overlap(dst, layer, left, top);
    if (o.Empty()) return;
    SplitRows(o.Y1 - o.Y0, static_cast<long long>(o.X1 - o.X0) * (o.Y1 - o.Y0),
              [&](int r0, int r1) { BlendOverlapRows(dst, layer, left, top, o, o.Y0 + r0, o.Y0 + r1); });
}

void MergeLayers(TImages& s) {
    const Bitmap& back = s.BackBitmap;
    Bitmap& out = s.Bitmap;
    if (out.Width() != back.Width() || out.Height() != back.Height() ||
        out.BitsPerPixel() != back.BitsPerPixel()) {
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
    SplitRows(back.Height(), static_cast<long long>(back.Width()) * back.Height() * s.LayerCount,
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
    const bool shown = ws.Port && slot == ws.ActiveSlot();
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
    if (ActiveImage(ws)) ChooseLayerOf(ws, ws.ActiveSlot(), n);
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
    // No layer is current from here on; clearing it before the view is
    // refreshed keeps the merged picture out of that layer's thumbnail.
    MergeIntoBitmap(*sp);
    TabChange(ws);
    if (ws.Port) ws.Port->UpdateCommandStates();
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
