#pragma once
// TCustomEffects: the pixel walks of the effects engine.
//
// Three walks visit the pixels of a bitmap and call a user callback for each:
// the single-bitmap walk (OnScan), the pair walk (OnScanPair, which also
// hands over the row table of a second bitmap) and the range walk
// (OnScanRange, which lays a grid of shaped cells over the image and tells
// the callback which cell a pixel belongs to). Walks can be limited to the
// pixels marked in a mask bitmap.
//
// Effects (TEffects) install their own per-pixel routine as the callback for
// the length of one walk. An effect may also hand the walk a band routine
// that does the same work row by row without a call per pixel; the walk then
// uses it (see TFastWalk), which is where the engine gets its speed.

#include <algorithm>
#include <functional>

#include "doc/bitmap.h"
#include "effects/engine/effect_types.h"
#include "effects/engine/range_layout.h"
#include "effects/engine/shape_points.h"

namespace pixora {

class TCustomEffects {
public:
    TCustomEffects();
    virtual ~TCustomEffects();
    TCustomEffects(const TCustomEffects&) = delete;
    TCustomEffects& operator=(const TCustomEffects&) = delete;

    // Published state.
    bool Masked = false;
    Bitmap MaskBitmap;
    TShapePoints ShapePoints;
    TRangeType RangeType = rtRect;
    bool TransparentRange = true;
    TImportEvent OnImport;
    TExportEvent OnExport;
    TScanEvent OnScan;
    TScanPairEvent OnScanPair;
    TScanRangeEvent OnScanRange;

    // A pixel is visited in a masked walk when its mask pixel has exactly
    // these four bytes. The fill colour pads masks that are fitted to a size.
    const TPixelBytes& MaskColour() const { return maskColour_; }
    void SetMaskColour(const TPixelBytes& c) { maskColour_ = c; }
    const TPixelBytes& MaskFillColour() const { return maskFillColour_; }
    void SetMaskFillColour(const TPixelBytes& c) { maskFillColour_ = c; }

    // The range bitmap of the last range walk (24 bits per pixel).
    const Bitmap& RangeBitmap() const { return rangeBitmap_; }

    // When false, effects run through their per-pixel callbacks only. The
    // results are the same either way; the band routines are just faster.
    bool UseFastLoops = true;

    // Single-bitmap walk. Returns false for an empty bitmap. The bitmap is
    // set to 32 bits per pixel.
    virtual bool Scan(Bitmap& bitmap, void* data, Bitmap* mask = nullptr);
    // Walks `bitmap` and passes `lines` (rows of another bitmap) along.
    virtual bool ScanPair(Bitmap& bitmap, const TLines& lines, void* data, Bitmap* mask = nullptr);
    // Range walk with cells of cellWidth x cellHeight. A ready range bitmap
    // of the image's size may be given; otherwise one is built from
    // RangeType and TransparentRange. Returns false for an empty bitmap or a
    // cell size below 1.
    virtual bool ScanRange(Bitmap& bitmap, void* data, int cellWidth, int cellHeight,
                           const Bitmap* rangeBitmap = nullptr);

    // Sets the enabled channels of every visited pixel to value.
    virtual bool Fill(Bitmap& bitmap, int channel, uint8_t value) = 0;
    virtual bool Fill(Bitmap& bitmap, const TChannelSet& channels, uint8_t value) = 0;

    // A width x height copy of mask at 32 bits per pixel: mask centred on it,
    // the rest filled with the mask fill colour.
    Bitmap FitMask(const Bitmap& mask, int width, int height) const;

    // Range index of a range bitmap pixel (white means no range).
    static constexpr int kNoRange = 0xFFFFFF;
    static int RangeIndexAt(const Bitmap& ranges, int x, int y);
    // The same for a pixel's bytes: the colour value, red in the low byte.
    static int RangeIndexOf(const uint8_t* p) { return p[2] | (p[1] << 8) | (p[0] << 16); }
    // Cells of 1 up to 2^24 pixels a side: larger ones would take the shape
    // arithmetic (x + w and the like) beyond the range of int.
    static constexpr bool CellSizeFits(int w, int h) {
        return w >= 1 && h >= 1 && w <= (1 << 24) && h <= (1 << 24);
    }
    // True when ranges 0..count-1 all have a colour other than white.
    static constexpr bool RangeCountFits(long long count) { return count <= kNoRange; }

protected:
    // Work done by an effect row band by row band in place of the per-pixel
    // callback. Bands(y0, y1, mask) must give the same result as calling the
    // installed callback for every visited pixel of rows y0..y1-1. Parallel
    // bands are allowed when the result does not depend on the visiting
    // order.
    struct TFastWalk {
        std::function<void(int y0, int y1, const Bitmap* mask)> Bands;
        bool Parallel = true;
    };

    // Installs an effect's callback (and band routine) and puts the previous
    // ones back when it goes out of scope, exceptions included.
    template <class Event> class TCallbackGuard {
    public:
        TCallbackGuard(TCustomEffects& owner, Event& slot, Event routine, const TFastWalk* fast)
            : owner_(owner), slot_(slot), saved_(std::move(slot)), savedFast_(owner.fast_) {
            slot_ = std::move(routine);
            owner_.fast_ = owner_.UseFastLoops ? fast : nullptr;
        }
        ~TCallbackGuard() {
            slot_ = std::move(saved_);
            owner_.fast_ = savedFast_;
        }
        TCallbackGuard(const TCallbackGuard&) = delete;
        TCallbackGuard& operator=(const TCallbackGuard&) = delete;

    private:
        TCustomEffects& owner_;
        Event& slot_;
        Event saved_;
        const TFastWalk* savedFast_;
    };

    // True when the mask pixel at x of a mask row matches the mask colour.
    bool MaskHit(const uint8_t* maskRow, int x) const;
    // Calls fn(a, b) for each run a..b-1 of visited pixels of row y within
    // columns x0..x1-1.
    template <class Fn> void ForEachSpanIn(const Bitmap* mask, int y, int x0, int x1, Fn&& fn) const {
        if (!mask) {
            if (x1 > x0) fn(x0, x1);
            return;
        }
        const uint8_t* m = mask->Row(y);
        int x = x0;
        while (x < x1) {
            while (x < x1 && !MaskHit(m, x))
                ++x;
            const int start = x;
            while (x < x1 && MaskHit(m, x))
                ++x;
            if (x > start) fn(start, x);
        }
    }
    template <class Fn> void ForEachSpan(const Bitmap* mask, int y, int width, Fn&& fn) const {
        ForEachSpanIn(mask, y, 0, width, fn);
    }
    // Calls fn(y, a, b) for the visited runs of rows y0..y1-1 in square
    // tiles of `tile` pixels, so that work reading another bitmap along a
    // slant or across its rows stays within a small part of it at a time.
    template <class Fn>
    void ForEachSpanInTiles(const Bitmap* mask, int y0, int y1, int width, int tile, Fn&& fn) const {
        for (int ty = y0; ty < y1; ty += tile)
            for (int tx = 0; tx < width; tx += tile)
                for (int y = ty; y < std::min(ty + tile, y1); ++y)
                    ForEachSpanIn(mask, y, tx, std::min(tx + tile, width),
                                  [&](int a, int b) { fn(y, a, b); });
    }

    // The mask a walk over a width x height bitmap uses (null for none).
    // `given` is fitted into `scratch` when its size differs.
    const Bitmap* ResolveMask(int width, int height, Bitmap* given, Bitmap& scratch);
    // Builds the range bitmap; false when the cells cannot be numbered.
    bool BuildRangeBitmap(int width, int height, int cellWidth, int cellHeight);
    // The range bitmap in use by the current range walk.
    const Bitmap* ActiveRanges() const { return activeRanges_; }
    // For the range bitmap last built: the most rows apart two pixels of
    // one range other than range 0 can lie; -1 when not known.
    int RangeRowReach() const { return rangeReach_; }
    // The rows of the range bitmap last built as runs of ranges (none laid
    // out when it was not stamped).
    const TRangeLayout& RangeLayout() const { return rangeLayout_; }

    // Runs a band routine over rows 0..height-1, split across the cores when
    // allowed and worth it.
    static void RunBands(const TFastWalk& fast, int width, int height, const Bitmap* mask);

    // The bitmap a two-bitmap operation reads (set to 32 bits per pixel):
    // the source itself, or a copy of it when source and target are one.
    static Bitmap* ReadableSource(Bitmap& source, const Bitmap& target, Bitmap& copy);
    static TLines LinesOf(Bitmap& bitmap);
    // Makes `bitmap` width x height at bpp bits per pixel, keeping its
    // storage when it has that shape already (a fresh image-sized block
    // costs more in page faults than the effect itself). The pixels are
    // left as they come: callers fill or copy every one.
    static void ShapeTarget(Bitmap& bitmap, int width, int height, int bpp = 32);
    // An exact copy of source in target, storage kept where it fits.
    static void CopyInto(Bitmap& target, const Bitmap& source);

    const TFastWalk* fast_ = nullptr;

private:
    template <class Event, class Call>
    bool RunWalk(Bitmap& bitmap, Bitmap* mask, const Event& event, Call&& call);
    template <class Call>
    void WalkPixels(Bitmap& bitmap, const Bitmap* mask, const Bitmap* ranges, Call&& call);

    TPixelBytes maskColour_{255, 255, 255, 255};
    TPixelBytes maskFillColour_{0, 0, 0, 0};
    Bitmap rangeBitmap_{0, 0, 24};
    const Bitmap* activeRanges_ = nullptr;
    int rangeReach_ = -1;
    TRangeLayout rangeLayout_;
};

} // namespace pixora
