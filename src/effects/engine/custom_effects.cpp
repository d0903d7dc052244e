#include "effects/engine/custom_effects.h"

#include "doc/row_ranges.h"

#include <algorithm>
#include <cstring>
#include <thread>
#include <vector>

namespace pixora {

TCustomEffects::TCustomEffects() = default;
TCustomEffects::~TCustomEffects() = default;

bool TCustomEffects::MaskHit(const uint8_t* maskRow, int x) const {
    return std::memcmp(maskRow + 4 * static_cast<std::size_t>(x), &maskColour_, 4) == 0;
}

int TCustomEffects::RangeIndexAt(const Bitmap& ranges, int x, int y) {
    return RangeIndexOf(ranges.Row(y) + static_cast<std::size_t>(x) * ranges.BytesPerPixel());
}

Bitmap TCustomEffects::FitMask(const Bitmap& mask, int width, int height) const {
    Bitmap fitted(std::max(width, 0), std::max(height, 0), 32);
    const TPixelBytes& f = maskFillColour_;
    fitted.Fill(f.B, f.G, f.R, f.T);
    Bitmap source(mask);
    source.SetBitsPerPixel(32);
    // Centre the mask: positive offsets pad, negative ones crop.
    const int dx = (width - source.Width()) / 2, dy = (height - source.Height()) / 2;
    const int x0 = std::max(dx, 0), x1 = std::min(width, dx + source.Width());
    for (int y = std::max(dy, 0); y < std::min(height, dy + source.Height()); ++y) {
        if (x1 > x0)
            std::memcpy(fitted.Row(y) + 4 * static_cast<std::size_t>(x0),
                        source.Row(y - dy) + 4 * static_cast<std::size_t>(x0 - dx),
                        4 * static_cast<std::size_t>(x1 - x0));
    }
    return fitted;
}

const Bitmap* TCustomEffects::ResolveMask(int width, int height, Bitmap* given, Bitmap& scratch) {
    if (!Masked) return nullptr;
    if (given && !given->Empty()) {
        given->SetBitsPerPixel(32);
        if (given->Width() == width && given->Height() == height) return given;
        scratch = FitMask(*given, width, height);
        return &scratch;
    }
    if (MaskBitmap.Empty()) return nullptr;
    // The component's own mask only serves bitmaps it covers.
    if (MaskBitmap.Width() < width || MaskBitmap.Height() < height) return nullptr;
    MaskBitmap.SetBitsPerPixel(32);
    return &MaskBitmap;
}

template <class Call>
void TCustomEffects::WalkPixels(Bitmap& bitmap, const Bitmap* mask, const Bitmap* ranges, Call&& call) {
    const int w = bitmap.Width(), h = bitmap.Height();
    int x = 0, y = 0;
    bool cont = true;
    while (y < h) {
        uint8_t* row = bitmap.Row(y);
        const uint8_t* maskRow = mask ? mask->Row(y) : nullptr;
        int next = x + 1, nextRow = y;
        const int range = ranges ? RangeIndexAt(*ranges, x, y) : 0;
        if ((!maskRow || MaskHit(maskRow, x)) && range != kNoRange) {
            uint8_t* p = row + 4 * static_cast<std::size_t>(x);
            TPixelRef ref{p, p + 1, p + 2, p + 3};
            int hx = x, vy = y;
            call(ref, hx, vy, range, cont);
            if (!cont) return;
            if (hx != x || vy != y) {
                // Jump to the position the callback asked for; negative
                // indices are taken as 0.
                next = std::max(hx, 0);
                nextRow = std::max(vy, 0);
            }
        }
        x = next;
        y = nextRow;
        if (x >= w) {
            x = 0;
            ++y;
        }
    }
}

void TCustomEffects::RunBands(const TFastWalk& fast, int width, int height, const Bitmap* mask) {
    const unsigned cores = std::max(1u, std::min(std::thread::hardware_concurrency(), 8u));
    const long long pixels = static_cast<long long>(width) * height;
    int parts = fast.Parallel && pixels >= (1 << 16) ? static_cast<int>(cores) : 1;
    // Tests hold the walk to one band or two (TRowBandsOverride) so that
    // both run on any machine.
    if (const int forced = RowBandsOverride().load(std::memory_order_relaxed); forced > 0 && fast.Parallel)
        parts = forced;
    ForRowBands(height, parts, [&](int y0, int y1) { fast.Bands(y0, y1, mask); });
}

template <class Event, class Call>
bool TCustomEffects::RunWalk(Bitmap& bitmap, Bitmap* mask, const Event& event, Call&& call) {
    if (bitmap.Empty()) return false;
    bitmap.SetBitsPerPixel(32);
    Bitmap scratch;
    const Bitmap* m = ResolveMask(bitmap.Width(), bitmap.Height(), mask, scratch);
    if (fast_)
        RunBands(*fast_, bitmap.Width(), bitmap.Height(), m);
    else if (event)
        WalkPixels(bitmap, m, nullptr, call);
    return true;
}

// The walks call a copy of the callback, so a callback may replace the
// slot (for instance by running an effect of this component) without
// pulling the running routine from under the walk.
bool TCustomEffects::Scan(Bitmap& bitmap, void* data, Bitmap* mask) {
    const TScanEvent handler = OnScan;
    return RunWalk(bitmap, mask, handler,
                   [&](TPixelRef& ref, int& x, int& y, int, bool& cont) { handler(ref, x, y, data, cont); });
}

bool TCustomEffects::ScanPair(Bitmap& bitmap, const TLines& lines, void* data, Bitmap* mask) {
    const TScanPairEvent handler = OnScanPair;
    return RunWalk(bitmap, mask, handler, [&](TPixelRef& ref, int& x, int& y, int, bool& cont) {
        handler(ref, x, y, lines, data, cont);
    });
}

Bitmap* TCustomEffects::ReadableSource(Bitmap& source, const Bitmap& target, Bitmap& copy) {
    source.SetBitsPerPixel(32);
    if (&source != &target) return &source;
    copy = source;
    return &copy;
}

void TCustomEffects::ShapeTarget(Bitmap& bitmap, int width, int height, int bpp) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (bitmap.Width() == width && bitmap.Height() == height && bitmap.BitsPerPixel() == bpp) return;
    if (bitmap.BitsPerPixel() != bpp) {
        bitmap.Clear(); // nothing to convert
        bitmap.SetBitsPerPixel(bpp);
    }
    bitmap.SetSizeUncleared(width, height);
}

void TCustomEffects::CopyInto(Bitmap& target, const Bitmap& source) {
    ShapeTarget(target, source.Width(), source.Height(), source.BitsPerPixel());
    if (!source.Empty()) std::memcpy(target.Data(), source.Data(), source.ByteSize());
}

TLines TCustomEffects::LinesOf(Bitmap& bitmap) {
    TLines lines(static_cast<std::size_t>(bitmap.Height()));
    for (int y = 0; y < bitmap.Height(); ++y)
        lines[static_cast<std::size_t>(y)] = bitmap.Row(y);
    return lines;
}

bool TCustomEffects::BuildRangeBitmap(int width, int height, int cellWidth, int cellHeight) {
    const long long across = (width + static_cast<long long>(cellWidth) - 1) / cellWidth;
    const long long down = (height + static_cast<long long>(cellHeight) - 1) / cellHeight;
    const int first = TransparentRange ? 0 : 1;
    // Every cell needs a colour of its own that is not white.
    if (!RangeCountFits(across * down + first)) return false;
    ShapeTarget(rangeBitmap_, width, height, 24);
    if (RangeType == rtRect) {
        // Each cell is its own stamp; the walks read the rows from the
        // layout.
        rangeReach_ = cellHeight - 1;
        if (TRangeStamp cell; cell.Make(rtRect, ShapePoints, cellWidth, cellHeight))
            rangeLayout_.Make(cell, width, height, cellWidth, cellHeight, first);
        else
            rangeLayout_.Clear();
        // Rectangles tile the image: each band of cells is one row of
        // colours, copied down the band.
        int counter = first;
        std::vector<uint8_t> row(3 * static_cast<std::size_t>(width));
        for (int y = 0; y < height; y += cellHeight) {
            for (int x = 0; x < width; x += cellWidth, ++counter) {
                const uint8_t b = static_cast<uint8_t>((counter >> 16) & 0xFF),
                              g = static_cast<uint8_t>((counter >> 8) & 0xFF),
                              r = static_cast<uint8_t>(counter & 0xFF);
                for (int i = x; i < std::min(x + cellWidth, width); ++i) {
                    row[3 * static_cast<std::size_t>(i)] = b;
                    row[3 * static_cast<std::size_t>(i) + 1] = g;
                    row[3 * static_cast<std::size_t>(i) + 2] = r;
                }
            }
            for (int i = y; i < std::min(y + cellHeight, height); ++i)
                std::memcpy(rangeBitmap_.Row(i), row.data(), row.size());
        }
        return true;
    }
    // White: no range; black: range 0.
    const uint8_t background = TransparentRange ? 255 : 0;
    auto colourOf = [](long long counter) {
        return TPixelBytes{static_cast<uint8_t>((counter >> 16) & 0xFF),
                           static_cast<uint8_t>((counter >> 8) & 0xFF), static_cast<uint8_t>(counter & 0xFF),
                           0};
    };
    TRangeStamp stamp;
    if (!stamp.Make(RangeType, ShapePoints, cellWidth, cellHeight)) {
        rangeReach_ = -1;
        rangeLayout_.Clear();
        rangeBitmap_.Fill(background, background, background);
        long long counter = first;
        for (int y = 0; y < height; y += cellHeight)
            for (int x = 0; x < width; x += cellWidth, ++counter)
                DrawRangeShape(rangeBitmap_, RangeType, ShapePoints, x, y, cellWidth, cellHeight,
                               colourOf(counter));
        return true;
    }
    // Every cell takes the stamp of one cell's shape, clipped where it
    // leaves the image. A band of rows draws, in the drawing order (later
    // cells over earlier ones), the cells whose shape reaches into it.
    rangeReach_ = stamp.Bottom() - stamp.Top();
    rangeLayout_.Make(stamp, width, height, cellWidth, cellHeight, first);
    // Rows a..b-1 the long way: background, then every cell reaching them.
    auto stampRows = [&](int a, int b) {
        for (int y = a; y < b; ++y)
            std::memset(rangeBitmap_.Row(y), background, 3 * static_cast<std::size_t>(width));
        // Cell rows cy with cy * h + top < b and cy * h + bottom >= a.
        const long long h = cellHeight;
        const long long from = std::max(0LL, (a - stamp.Bottom() + h - 1) / h - 1);
        const long long to = std::min(down - 1, (b - 1 - stamp.Top()) / h + 1);
        for (long long cy = from; a < b && cy <= to; ++cy) {
            const int y = static_cast<int>(cy * h);
            long long counter = first + cy * across;
            for (int x = 0; x < width; x += cellWidth, ++counter)
                stamp.DrawClipped(rangeBitmap_, x, y, colourOf(counter), a, b);
        }
    };
    const TRangeLayout& layout = rangeLayout_;
    ForRowRanges(height, rangeBitmap_.ByteSize(), [&](int y0, int y1) {
        const int a = std::clamp(layout.Top(), y0, y1), b = std::clamp(layout.Bottom(), a, y1);
        stampRows(y0, a);
        for (int y = a; y < b; ++y) {
            uint8_t* row = rangeBitmap_.Row(y);
            const long long base = layout.Base(y);
            for (const TRangeLayout::TRun* r = layout.Begin(y); r != layout.End(y); ++r) {
                const TPixelBytes c = r->Offset == TRangeLayout::kBackground
                                          ? TPixelBytes{background, background, background, 0}
                                          : colourOf(base + r->Offset);
                for (uint8_t* p = row + 3 * static_cast<std::ptrdiff_t>(r->X0);
                     p < row + 3 * static_cast<std::ptrdiff_t>(r->X1); p += 3) {
                    p[0] = c.B;
                    p[1] = c.G;
                    p[2] = c.R;
                }
            }
        }
        stampRows(b, y1);
    });
    // As drawing them would: the shapes hold the last cell's rectangle.
    if (RangeType > rtStar6)
        ShapePoints.SetRect(static_cast<int>((across - 1) * cellWidth),
                            static_cast<int>((down - 1) * cellHeight), cellWidth, cellHeight);
    return true;
}

bool TCustomEffects::ScanRange(Bitmap& bitmap, void* data, int cellWidth, int cellHeight,
                               const Bitmap* rangeBitmap) {
    if (bitmap.Empty() || !CellSizeFits(cellWidth, cellHeight)) return false;
    bitmap.SetBitsPerPixel(32);
    const Bitmap* ranges = rangeBitmap;
    if (!ranges || ranges->Width() != bitmap.Width() || ranges->Height() != bitmap.Height()) {
        if (!BuildRangeBitmap(bitmap.Width(), bitmap.Height(), cellWidth, cellHeight)) return false;
        ranges = &rangeBitmap_;
    }
    struct TActive {
        const Bitmap*& slot;
        const Bitmap* saved;
        ~TActive() { slot = saved; }
    } active{activeRanges_, activeRanges_};
    activeRanges_ = ranges;
    if (fast_) {
        RunBands(*fast_, bitmap.Width(), bitmap.Height(), nullptr);
        return true;
    }
    const TScanRangeEvent handler = OnScanRange;
    if (!handler) return true;
    WalkPixels(bitmap, nullptr, ranges, [&](TPixelRef& ref, int& x, int& y, int range, bool& cont) {
        TRect cell{x - x % cellWidth, y - y % cellHeight, 0, 0};
        cell.Right = cell.Left + cellWidth;
        cell.Bottom = cell.Top + cellHeight;
        handler(ref, x, y, range, cell, data, cont);
    });
    return true;
}

} // namespace pixora
