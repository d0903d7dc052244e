// The pixel helpers of selections: stretched copies against a plain
// per-pixel rule, the one-pass drag frames against copy-then-draw, the
// dotted outline and the handle codes of a normalised rectangle.
#include <gtest/gtest.h>

#include <cstring>

#include "history/history_fixture.h"
#include "tools/selection_pixels.h"

using namespace pixora;
using pixora::testing::Pattern;
using pixora::testing::SamePixels;

namespace {

// Nearest pixel sampled at pixel centres, one pixel at a time.
void PlainStretch(const Bitmap& src, const TRect& from, Bitmap& dst, const TRect& to) {
    const int sw = from.Right - from.Left, sh = from.Bottom - from.Top;
    const int dw = to.Right - to.Left, dh = to.Bottom - to.Top;
    for (int j = 0; j < dh; ++j)
        for (int i = 0; i < dw; ++i) {
            const int tx = to.Left + i, ty = to.Top + j;
            const int sx = from.Left + (2 * i + 1) * sw / (2 * dw),
                      sy = from.Top + (2 * j + 1) * sh / (2 * dh);
            if (tx < 0 || ty < 0 || tx >= dst.Width() || ty >= dst.Height()) continue;
            if (sx < 0 || sy < 0 || sx >= src.Width() || sy >= src.Height()) continue;
            std::memcpy(dst.Row(ty) + tx * 4, src.Row(sy) + sx * 4, 4);
        }
}

// A mask with a diagonal band and scattered holes selected.
Bitmap Mask(int w, int h) {
    Bitmap m(w, h, 32);
    m.Fill(255, 255, 255);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (std::abs(x - y) < 4 || (x * 7 + y * 3) % 5 == 0) std::memset(m.Row(y) + x * 4, 0, 4);
    return m;
}

} // namespace

TEST(SelectionPixels, StretchMatchesThePlainRuleAndClips) {
    const Bitmap src = Pattern(17, 11, 2);
    const TRect cases[][2] = {
        {{0, 0, 17, 11}, {1, 1, 16, 10}},  // into the inner area
        {{1, 1, 16, 10}, {0, 0, 17, 11}},  // back out
        {{0, 0, 17, 11}, {-5, -3, 40, 7}}, // widened and cut by the target
        {{3, 2, 20, 15}, {2, 2, 9, 30}},   // source partly outside
        {{0, 0, 17, 11}, {4, 4, 6, 5}},    // shrunk to a few pixels
    };
    for (const auto& c : cases) {
        Bitmap want = Pattern(23, 19, 5), got = want;
        PlainStretch(src, c[0], want, c[1]);
        StretchRect(src, c[0], got, c[1]);
        EXPECT_TRUE(SamePixels(want, got))
            << c[1].Left << "," << c[1].Top << "," << c[1].Right << "," << c[1].Bottom;
    }
    // From 24 bits the copied pixels become opaque.
    Bitmap rgb(4, 4, 24);
    rgb.Fill(10, 20, 30);
    Bitmap out = Pattern(4, 4, 1);
    StretchRect(rgb, {0, 0, 4, 4}, out, {0, 0, 4, 4});
    EXPECT_EQ(out.Row(3)[3 * 4 + 0], 10);
    EXPECT_EQ(out.Row(3)[3 * 4 + 3], 0);
}

TEST(SelectionPixels, DragFramesEqualCopyThenDraw) {
    const Bitmap base = Pattern(31, 23, 3);
    const Bitmap floating = Pattern(12, 9, 8);
    const Bitmap mask = Mask(12, 9);
    for (const TRect& to :
         {TRect{3, 4, 15, 13}, TRect{-4, -2, 9, 6}, TRect{25, 18, 40, 29}, TRect{5, 5, 20, 9}}) {
        Bitmap want = base, got(3, 3); // a view of the wrong size is reshaped
        StretchInto(floating, want, to);
        ComposeStretched(base, floating, to, got);
        EXPECT_TRUE(SamePixels(want, got)) << to.Left << "," << to.Top;
    }
    for (auto [left, top] : {std::pair{2, 3}, {-5, -4}, {25, 20}, {40, 2}}) {
        Bitmap want = base, got = Pattern(31, 23, 9);
        WriteFloating(floating, mask, want, left, top);
        ComposeMasked(base, floating, mask, left, top, got);
        EXPECT_TRUE(SamePixels(want, got)) << left << "," << top;
    }
    // Only selected pixels are written.
    Bitmap view = base;
    WriteFloating(floating, mask, view, 0, 0);
    EXPECT_EQ(std::memcmp(view.Row(0), floating.Row(0), 4), 0);             // (0, 0) selected
    EXPECT_EQ(std::memcmp(view.Row(0) + 6 * 4, base.Row(0) + 6 * 4, 4), 0); // (6, 0) not selected
}

TEST(SelectionPixels, DottedRectangleInvertsEveryOtherOutlinePixelAndErasesItself) {
    const Bitmap before = Pattern(20, 15, 4);
    Bitmap view = before;
    DottedRectangle(view, {14, 11, 3, 2}); // corners in any order
    int changed = 0, outline = 0;
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool onOutline =
                (x == 3 || x == 13) ? (y >= 2 && y <= 10) : (y == 2 || y == 10) && x >= 3 && x <= 13;
            const uint8_t* p = view.Row(y) + x * 4;
            const uint8_t* q = before.Row(y) + x * 4;
            const bool inverted = p[0] == uint8_t(~q[0]) && p[1] == uint8_t(~q[1]) && p[2] == uint8_t(~q[2]);
            ASSERT_EQ(p[3], q[3]);
            if (!onOutline) {
                ASSERT_EQ(std::memcmp(p, q, 4), 0) << x << "," << y;
                continue;
            }
            ++outline;
            changed += inverted;
        }
    EXPECT_EQ(outline, 2 * 11 + 2 * 7);
    EXPECT_EQ(changed, outline / 2);
    // Dotted: the corner where the trace starts is on, its neighbour off.
    EXPECT_NE(view.Row(2)[3 * 4], before.Row(2)[3 * 4]);
    EXPECT_EQ(view.Row(2)[4 * 4], before.Row(2)[4 * 4]);
    DottedRectangle(view, {3, 2, 14, 11});
    EXPECT_TRUE(SamePixels(view, before));
    // Thin rectangles and ones reaching past the view.
    for (const TRect& r : {TRect{5, 5, 6, 12}, TRect{2, 7, 18, 8}, TRect{-3, -3, 25, 9}}) {
        DottedRectangle(view, r);
        DottedRectangle(view, r);
        EXPECT_TRUE(SamePixels(view, before)) << r.Left << "," << r.Top;
    }
}

TEST(SelectionPixels, NormalisingKeepsTheDraggedSideOfTheRectangle) {
    TImages s;
    TToolVars v;
    // Bottom-right corner dragged up and left past the top-left one.
    s.DownX = 10, s.DownY = 10, v.SelRight = 4, v.SelBottom = 6;
    EXPECT_EQ(NormaliseCorners(s, v, 2), 1);
    EXPECT_EQ((TRect{s.DownX, s.DownY, v.SelRight, v.SelBottom}), (TRect{4, 6, 10, 10}));
    EXPECT_EQ(v.LastPoint, (TPoint{4, 6}));
    // Only across: the corners swap sides left-right.
    s.DownX = 10, s.DownY = 2, v.SelRight = 4, v.SelBottom = 8;
    EXPECT_EQ(NormaliseCorners(s, v, 2), 3);
    EXPECT_EQ(NormaliseCorners(s, v, 2), 2); // already in order: unchanged
    EXPECT_EQ(FlipHandle(7, true, false), 8);
    EXPECT_EQ(FlipHandle(5, true, false), 5);
    EXPECT_EQ(FlipHandle(5, false, true), 6);
    EXPECT_EQ(FlipHandle(4, false, true), 2);
    EXPECT_EQ(FlipHandle(9, true, true), 9);
    EXPECT_EQ(FlipHandle(0, true, true), 0);
}
