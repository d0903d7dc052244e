#include <gtest/gtest.h>

#include <cstring>

#include "doc/canvas.h"
#include "support/pixels.h"

using namespace pixora;
using pixora::testing::Px;

namespace {
int CountColour(const Bitmap& b, uint8_t v) {
    int n = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (Px(b, x, y)[0] == v && Px(b, x, y)[1] == v && Px(b, x, y)[2] == v) ++n;
    return n;
}
} // namespace

TEST(Canvas, CopyModeMakesTouchedPixelsOpaqueAndLeavesOthers) {
    Bitmap b(10, 10);
    b.Fill(255, 255, 255, 255);  // white, fully transparent
    Canvas c(b);
    c.PenColour = 0;
    c.PenWidth = 3;
    c.MoveTo(1, 5);
    c.LineTo(8, 5);
    EXPECT_EQ(Px(b, 4, 5)[0], 0);
    EXPECT_EQ(Px(b, 4, 5)[3], 0);
    EXPECT_EQ(Px(b, 4, 0)[0], 255);
    EXPECT_EQ(Px(b, 4, 0)[3], 255);
    // Untouched transparent-black pixels are not mistaken for drawn ones.
    Bitmap k(6, 6);
    k.Fill(0, 0, 0, 255);
    Canvas ck(k);
    ck.BrushColour = RGBColour(255, 255, 255);
    ck.Rectangle(1, 1, 3, 3);
    EXPECT_EQ(Px(k, 5, 5)[3], 255);
    EXPECT_EQ(Px(k, 1, 1)[3], 0);
}

TEST(Canvas, ThinLineLeavesOutItsEndPointAndRectanglesAreHalfOpen) {
    Bitmap b(10, 10);
    b.Fill(255, 255, 255);
    Canvas c(b);
    c.MoveTo(0, 0);
    c.LineTo(4, 0);
    EXPECT_EQ(CountColour(b, 0), 4);
    EXPECT_EQ(Px(b, 4, 0)[0], 255);
    EXPECT_EQ(c.PenPos(), (TPoint{4, 0}));

    Bitmap r(10, 10);
    r.Fill(255, 255, 255);
    Canvas cr(r);
    cr.BrushColour = 0;
    cr.Rectangle(2, 2, 6, 5);  // columns 2..5, rows 2..4
    EXPECT_EQ(CountColour(r, 0), 4 * 3);
    EXPECT_EQ(Px(r, 6, 2)[0], 255);
    EXPECT_EQ(Px(r, 2, 5)[0], 255);

    Bitmap f(8, 8);
    f.Fill(255, 255, 255);
    Canvas cf(f);
    cf.BrushColour = 0;
    cf.FrameRect({1, 1, 5, 5});
    EXPECT_EQ(CountColour(f, 0), 12);
    EXPECT_EQ(Px(f, 2, 2)[0], 255);
}

TEST(Canvas, NotXorInvertsColourOnlyAndTwiceRestores) {
    Bitmap b(12, 12);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            uint8_t* p = b.Row(y) + x * 4;
            p[0] = static_cast<uint8_t>(x * 20);
            p[1] = static_cast<uint8_t>(y * 20);
            p[2] = 77;
            p[3] = static_cast<uint8_t>(x + y);
        }
    const Bitmap before = b;
    Canvas c(b);
    c.Mode = PenMode::NotXor;
    c.PenColour = 0;
    c.BrushClear = true;
    c.PenWidth = 3;
    c.Rectangle(2, 2, 10, 10);
    // A pixel on the frame is inverted; its fourth byte is untouched.
    EXPECT_EQ(Px(b, 2, 6)[2], 255 - 77);
    EXPECT_EQ(Px(b, 2, 6)[3], Px(before, 2, 6)[3]);
    EXPECT_EQ(Px(b, 6, 6)[2], 77);  // interior untouched
    c.Rectangle(2, 2, 10, 10);
    EXPECT_EQ(0, std::memcmp(b.Data(), before.Data(), b.ByteSize()));

    // Dotted one-pixel lines too.
    c.PenWidth = 1;
    c.Style = PenStyle::Dot;
    c.MoveTo(0, 11);
    c.LineTo(12, 11);
    EXPECT_EQ(Px(b, 0, 11)[2], 255 - 77);
    EXPECT_EQ(Px(b, 1, 11)[2], 77);
}

TEST(Canvas, ClippingAndShapesStayInside) {
    Bitmap b(20, 20);
    b.Fill(255, 255, 255);
    Canvas c(b);
    c.BrushColour = 0;
    c.SetClipRect({5, 5, 10, 10});
    c.Ellipse(0, 0, 20, 20);
    c.Polygon({{0, 0}, {19, 0}, {19, 19}});
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            if (x < 5 || y < 5 || x >= 10 || y >= 10) {
                EXPECT_EQ(Px(b, x, y)[0], 255) << x << "," << y;
            }
    EXPECT_EQ(Px(b, 7, 7)[0], 0);
    c.ClearClip();
    c.RoundRect(0, 12, 20, 20, 6, 6);
    EXPECT_EQ(Px(b, 10, 15)[0], 0);
    EXPECT_EQ(Px(b, 0, 12)[0], 255);  // the rounded corner is left out
}

TEST(Canvas, TextIsDrawnRotatedAndOnTwentyFourBitBitmaps) {
    Bitmap b(80, 80, 24);
    b.Fill(255, 255, 255);
    Canvas c(b);
    c.Font.Height = 20;
    c.BrushClear = true;
    c.TextOut(5, 5, "Hi");
    const int upright = CountColour(b, 0);
    EXPECT_GT(upright, 10);
    const TSize ext = c.TextExtent("Hi");
    EXPECT_GT(ext.Width, 5);
    // A quarter turn puts the text above and right of its anchor, upright
    // text below it.
    Bitmap r(80, 80);
    r.Fill(255, 255, 255, 200);
    Canvas cr(r);
    cr.Font.Height = 20;
    cr.Font.Escapement = 900;
    cr.BrushClear = true;
    cr.TextOut(40, 60, "Hi");
    int above = 0, below = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 80; ++x)
            if (Px(r, x, y)[0] == 0) (y < 60 ? above : below)++;
    EXPECT_GT(above, 10);
    EXPECT_EQ(below, 0);
    EXPECT_EQ(Px(r, 0, 0)[3], 200);
}
