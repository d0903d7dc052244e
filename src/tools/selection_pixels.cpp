#include "tools/selection_pixels.h"

#include "doc/blend_row.h"

#include "doc/row_ranges.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace pixora {

namespace {

// Source index sampled for destination index i of a stretch from n to m.
int Sample(int first, int i, int n, int m) {
    return first + static_cast<int>((2LL * i + 1) * n / (2LL * m));
}

// How the columns of a stretch map: runs of destination columns whose
// source columns follow one another, each copied as one block. Columns
// outside either bitmap are left out.
class TStretchColumns {
public:
    TStretchColumns(const Bitmap& src, const TRect& from, const Bitmap& dst, const TRect& to)
        : sb_(src.BytesPerPixel()), db_(dst.BytesPerPixel()) {
        const int sw = from.Right - from.Left, dw = to.Right - to.Left;
        for (int i = 0; i < dw; ++i) {
            const int tx = to.Left + i, sx = Sample(from.Left, i, sw, dw);
            if (tx < 0 || tx >= dst.Width() || sx < 0 || sx >= src.Width()) continue;
            if (!runs_.empty()) {
                TRun& last = runs_.back();
                if (last.DstX + last.Count == tx && last.SrcX + last.Count == sx) {
                    ++last.Count;
                    continue;
                }
            }
            runs_.push_back({tx, sx, 1});
        }
    }
    bool Empty() const { return runs_.empty(); }
    // Lays the runs' pixels over the row (both 32 bits).
    void OverRow(const uint8_t* srow, uint8_t* drow) const {
        for (const TRun& r : runs_) {
            uint8_t* d = drow + static_cast<std::size_t>(r.DstX) * 4;
            const uint8_t* s = srow + static_cast<std::size_t>(r.SrcX) * 4;
            BlendLayerRow(d, s, r.Count);
            for (int k = 0; k < r.Count; ++k)
                d[k * 4 + 3] = static_cast<uint8_t>((s[k * 4 + 3] * d[k * 4 + 3] + 127) / 255);
        }
    }
    // The destination columns the runs cover: [Begin, End).
    int Begin() const { return runs_.empty() ? 0 : runs_.front().DstX; }
    int End() const { return runs_.empty() ? 0 : runs_.back().DstX + runs_.back().Count; }
    void CopyRow(const uint8_t* srow, uint8_t* drow) const {
        if (sb_ == db_) {
            const std::size_t bpp = static_cast<std::size_t>(sb_);
            for (const TRun& r : runs_)
                std::memcpy(drow + static_cast<std::size_t>(r.DstX) * bpp,
                            srow + static_cast<std::size_t>(r.SrcX) * bpp,
                            static_cast<std::size_t>(r.Count) * bpp);
            return;
        }
        const std::size_t copy = static_cast<std::size_t>(std::min(sb_, db_));
        for (const TRun& r : runs_)
            for (int k = 0; k < r.Count; ++k) {
                uint8_t* d = drow + static_cast<std::size_t>(r.DstX + k) * static_cast<std::size_t>(db_);
                std::memcpy(d, srow + static_cast<std::size_t>(r.SrcX + k) * static_cast<std::size_t>(sb_),
                            copy);
                if (db_ == 4) d[3] = 0; // from 24 bits: opaque
            }
    }

private:
    struct TRun {
        int DstX, SrcX, Count;
    };
    int sb_, db_;
    std::vector<TRun> runs_;
};

// Runs row(sourceRow, destinationRow) for every row of a stretch that lies
// inside both bitmaps.
template <class Row>
void ForStretchRows(const Bitmap& src, const TRect& from, const Bitmap& dst, const TRect& to, Row row) {
    const int sh = from.Bottom - from.Top, dh = to.Bottom - to.Top;
    for (int j = std::max(0, -to.Top); j < dh; ++j) {
        const int ty = to.Top + j;
        if (ty >= dst.Height()) break;
        const int sy = Sample(from.Top, j, sh, dh);
        if (sy >= 0 && sy < src.Height()) row(sy, ty);
    }
}

bool Stretchable(const Bitmap& src, const TRect& from, const Bitmap& dst, const TRect& to) {
    return from.Right > from.Left && from.Bottom > from.Top && to.Right > to.Left && to.Bottom > to.Top &&
           !src.Empty() && !dst.Empty();
}

// Gives view the size and format of base (keeping its storage when they match).
void ShapeLike(const Bitmap& base, Bitmap& view) {
    if (view.Width() != base.Width() || view.Height() != base.Height() ||
        view.BitsPerPixel() != base.BitsPerPixel()) {
        view.SetBitsPerPixel(base.BitsPerPixel());
        view.SetSizeUncleared(base.Width(), base.Height());
    }
}

// One row of floating pixels over a row: where the mask is selected (blue
// byte 0) the floating pixel, elsewhere the under pixel. Written as a select
// on whole pixels so that the compiler can run it in vector registers.
void FloatingRow(const uint8_t* __restrict f, const uint8_t* __restrict m, const uint8_t* under, uint8_t* out,
                 int count) {
    for (int i = 0; i < count; ++i) {
        uint32_t fp, mp, up;
        std::memcpy(&fp, f + i * 4, 4);
        std::memcpy(&mp, m + i * 4, 4);
        std::memcpy(&up, under + i * 4, 4);
        const uint32_t take = (mp & 0xFFu) == 0 ? 0xFFFFFFFFu : 0u;
        const uint32_t v = (fp & take) | (up & ~take);
        std::memcpy(out + i * 4, &v, 4);
    }
}

// Copies the pixels of row y of base outside the columns [x0, x1) into view.
void CopyBaseAround(const Bitmap& base, Bitmap& view, int y, int x0, int x1) {
    const std::size_t bpp = static_cast<std::size_t>(base.BytesPerPixel());
    x0 = std::clamp(x0, 0, base.Width());
    x1 = std::clamp(x1, x0, base.Width());
    std::memcpy(view.Row(y), base.Row(y), static_cast<std::size_t>(x0) * bpp);
    std::memcpy(view.Row(y) + static_cast<std::size_t>(x1) * bpp,
                base.Row(y) + static_cast<std::size_t>(x1) * bpp,
                static_cast<std::size_t>(base.Width() - x1) * bpp);
}

} // namespace

void StretchRect(const Bitmap& src, const TRect& from, Bitmap& dst, const TRect& to) {
    if (!Stretchable(src, from, dst, to)) return;
    const TStretchColumns columns(src, from, dst, to);
    if (columns.Empty()) return;
    ForStretchRows(src, from, dst, to, [&](int sy, int ty) { columns.CopyRow(src.Row(sy), dst.Row(ty)); });
}

void StretchInto(const Bitmap& src, Bitmap& dst, const TRect& to) {
    StretchRect(src, {0, 0, src.Width(), src.Height()}, dst, to);
}

void StretchOver(const Bitmap& src, Bitmap& dst, const TRect& to) {
    const TRect from{0, 0, src.Width(), src.Height()};
    if (src.BitsPerPixel() != 32 || dst.BitsPerPixel() != 32 || !Stretchable(src, from, dst, to)) return;
    const TStretchColumns columns(src, from, dst, to);
    if (columns.Empty()) return;
    ForStretchRows(src, from, dst, to, [&](int sy, int ty) { columns.OverRow(src.Row(sy), dst.Row(ty)); });
}

void StretchFloating(const TToolVars& v, Bitmap& dst, const TRect& to) {
    if (FloatIsPasted(v))
        StretchOver(v.FloatBitmap, dst, to);
    else
        StretchInto(v.FloatBitmap, dst, to);
}

void ComposeStretched(const Bitmap& base, const Bitmap& floating, const TRect& to, Bitmap& view, bool over) {
    ShapeLike(base, view);
    const std::size_t rowBytes =
        static_cast<std::size_t>(base.Width()) * static_cast<std::size_t>(base.BytesPerPixel());
    const TRect from{0, 0, floating.Width(), floating.Height()};
    const bool any = Stretchable(floating, from, view, to) &&
                     (!over || (floating.BitsPerPixel() == 32 && base.BitsPerPixel() == 32));
    const TStretchColumns columns(floating, from, view, any ? to : TRect{});
    const int fh = floating.Height(), dh = to.Bottom - to.Top;
    // Every pixel of the view is written once: from the floating pixels
    // where they lie, from the base elsewhere. Rows are independent, so two
    // threads share them.
    ForRowRanges(base.Height(), base.ByteSize(), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const int j = y - to.Top;
            const int sy = any && !columns.Empty() && j >= 0 && j < dh ? Sample(0, j, fh, dh) : -1;
            if (sy < 0 || sy >= fh) {
                std::memcpy(view.Row(y), base.Row(y), rowBytes);
                continue;
            }
            if (over) {
                std::memcpy(view.Row(y), base.Row(y), rowBytes);
                columns.OverRow(floating.Row(sy), view.Row(y));
                continue;
            }
            CopyBaseAround(base, view, y, columns.Begin(), columns.End());
            columns.CopyRow(floating.Row(sy), view.Row(y));
        }
    });
}

TMaskRuns::TMaskRuns(const Bitmap& mask) {
    const int h = mask.BitsPerPixel() == 32 ? mask.Height() : 0;
    rowStart_.reserve(static_cast<std::size_t>(h) + 1);
    for (int y = 0; y < h; ++y) {
        rowStart_.push_back(runs_.size());
        const uint8_t* m = mask.Row(y);
        int x = 0;
        while (x < mask.Width()) {
            while (x < mask.Width() && m[x * 4] != 0)
                ++x;
            const int begin = x;
            while (x < mask.Width() && m[x * 4] == 0)
                ++x;
            if (x > begin) runs_.push_back({begin, x});
        }
    }
    rowStart_.push_back(runs_.size());
}

void ComposeMasked(const Bitmap& base, const Bitmap& floating, const Bitmap& mask, int left, int top,
                   Bitmap& view) {
    ComposeRuns(base, floating, TMaskRuns(mask), left, top, view);
}

void ComposeRuns(const Bitmap& base, const Bitmap& floating, const TMaskRuns& runs, int left, int top,
                 Bitmap& view) {
    ShapeLike(base, view);
    const int width = base.Width();
    const std::size_t rowBytes =
        static_cast<std::size_t>(width) * static_cast<std::size_t>(base.BytesPerPixel());
    const int h = std::min(floating.Height(), runs.Height()), fw = floating.Width();
    const bool fits = floating.BitsPerPixel() == 32 && base.BitsPerPixel() == 32;
    // Every pixel of the view is written once: the floating pixels along the
    // mask's runs, the base between them. Rows are independent, so two
    // threads share them.
    ForRowRanges(base.Height(), base.ByteSize(), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const int my = y - top;
            uint8_t* out = view.Row(y);
            const uint8_t* under = base.Row(y);
            if (!fits || my < 0 || my >= h) {
                std::memcpy(out, under, rowBytes);
                continue;
            }
            const uint8_t* f = floating.Row(my);
            int done = 0; // view columns written so far
            for (const TMaskRuns::TRun* r = runs.RowBegin(my); r != runs.RowEnd(my); ++r) {
                const int a = std::max({r->Begin + left, 0, done}), b = std::min({r->End, fw}) + left;
                const int e = std::min(b, width);
                if (a >= e) continue;
                std::memcpy(out + done * 4, under + done * 4, static_cast<std::size_t>(a - done) * 4);
                std::memcpy(out + a * 4, f + (a - left) * 4, static_cast<std::size_t>(e - a) * 4);
                done = e;
            }
            std::memcpy(out + done * 4, under + done * 4, static_cast<std::size_t>(width - done) * 4);
        }
    });
}

TRect NormalisedRect(TRect r) {
    if (r.Left > r.Right) std::swap(r.Left, r.Right);
    if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
    return r;
}

int FlipHandle(int code, bool horizontal, bool vertical) {
    // Corners 1 top-left, 2 bottom-right, 3 bottom-left, 4 top-right; edges
    // 5 top, 6 bottom, 7 left, 8 right.
    static constexpr int kMirrorX[10] = {0, 4, 3, 2, 1, 5, 6, 8, 7, 9};
    static constexpr int kMirrorY[10] = {0, 3, 4, 1, 2, 6, 5, 7, 8, 9};
    if (code < 0 || code > 9) return code;
    if (horizontal) code = kMirrorX[code];
    if (vertical) code = kMirrorY[code];
    return code;
}

int NormaliseCorners(TImages& s, TToolVars& v, int handle) {
    const bool swapX = s.DownX > v.SelRight, swapY = s.DownY > v.SelBottom;
    if (swapX) std::swap(s.DownX, v.SelRight);
    if (swapY) std::swap(s.DownY, v.SelBottom);
    v.LastPoint = {s.DownX, s.DownY};
    return FlipHandle(handle, swapX, swapY);
}

void DottedRectangle(Bitmap& view, const TRect& rect) {
    const TRect r = NormalisedRect(rect);
    if (r.Right - r.Left < 1 || r.Bottom - r.Top < 1 || view.Empty()) return;
    const std::size_t bpp = static_cast<std::size_t>(view.BytesPerPixel());
    // Every outline pixel is visited once, going round from the top-left
    // corner; every other one is inverted.
    bool on = true;
    auto step = [&](int x, int y) {
        if (on && x >= 0 && y >= 0 && x < view.Width() && y < view.Height()) {
            uint8_t* p = view.Row(y) + static_cast<std::size_t>(x) * bpp;
            p[0] = static_cast<uint8_t>(~p[0]);
            p[1] = static_cast<uint8_t>(~p[1]);
            p[2] = static_cast<uint8_t>(~p[2]);
        }
        on = !on;
    };
    const int l = r.Left, t = r.Top, rr = r.Right - 1, b = r.Bottom - 1;
    for (int x = l; x <= rr; ++x)
        step(x, t);
    for (int y = t + 1; y <= b; ++y)
        step(rr, y);
    if (b > t)
        for (int x = rr - 1; x >= l; --x)
            step(x, b);
    if (rr > l)
        for (int y = b - 1; y > t; --y)
            step(l, y);
}

Canvas DottedNotXor(Bitmap& target) {
    Canvas c(target);
    c.Mode = PenMode::NotXor;
    c.Style = PenStyle::Dot;
    c.BrushClear = true;
    c.PenColour = 0;
    return c;
}

void WriteFloating(const Bitmap& floating, const Bitmap& mask, Bitmap& target, int left, int top) {
    const int w = std::min(floating.Width(), mask.Width()), h = std::min(floating.Height(), mask.Height());
    // Only the mask columns that land inside the target.
    const int mx0 = std::max(0, -left), mx1 = std::min(w, target.Width() - left);
    if (mx0 >= mx1 || floating.BitsPerPixel() != 32 || mask.BitsPerPixel() != 32 ||
        target.BitsPerPixel() != 32)
        return;
    for (int my = std::max(0, -top); my < h && top + my < target.Height(); ++my) {
        uint8_t* row = target.Row(top + my) + static_cast<std::size_t>(left + mx0) * 4;
        FloatingRow(floating.Row(my) + mx0 * 4, mask.Row(my) + mx0 * 4, row, row, mx1 - mx0);
    }
}

void OutlineMask(const Bitmap& mask, Bitmap& view, int left, int top) {
    const int w = mask.Width(), h = mask.Height();
    auto selected = [&](int mx, int my) {
        return mx >= 0 && my >= 0 && mx < w && my < h && mask.Row(my)[mx * 4] == 0;
    };
    for (int my = 0; my < h; ++my) {
        const int y = top + my;
        if (y < 0 || y >= view.Height()) continue;
        for (int mx = 0; mx < w; ++mx) {
            const int x = left + mx;
            if (x < 0 || x >= view.Width() || !selected(mx, my)) continue;
            if (selected(mx - 1, my) && selected(mx + 1, my) && selected(mx, my - 1) && selected(mx, my + 1))
                continue;
            uint8_t* p = view.Row(y) + static_cast<std::size_t>(x) * 4;
            p[0] = static_cast<uint8_t>(~p[0]);
            p[1] = static_cast<uint8_t>(~p[1]);
            p[2] = static_cast<uint8_t>(~p[2]);
        }
    }
}

void WhiteImageSize(TWorkBitmap& w, const Bitmap& image) {
    w.Bitmap.SetBitsPerPixel(32);
    // The storage is kept when the size is right: fresh pages cost more to
    // touch than the fill itself.
    if (w.Bitmap.Width() != image.Width() || w.Bitmap.Height() != image.Height())
        w.Bitmap.SetSizeUncleared(image.Width(), image.Height());
    w.Bitmap.Fill(255, 255, 255, 0);
    w.Refill();
}

void MaskIntoOverlay(const Bitmap& mask, int left, int top, const Bitmap& image, TWorkBitmap& overlay) {
    WhiteImageSize(overlay, image);
    for (int my = 0; my < mask.Height(); ++my) {
        const int y = top + my;
        if (y < 0 || y >= image.Height()) continue;
        const uint8_t* m = mask.Row(my);
        uint8_t* o = overlay.Bitmap.Row(y);
        for (int mx = 0; mx < mask.Width(); ++mx) {
            const int x = left + mx;
            if (x >= 0 && x < image.Width() && m[mx * 4] == 0)
                std::memset(o + static_cast<std::size_t>(x) * 4, 0, 3);
        }
    }
}

} // namespace pixora
