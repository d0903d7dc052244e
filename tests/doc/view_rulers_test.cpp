#include <gtest/gtest.h>

#include <cstring>

#include "doc/view_rulers.h"

using namespace pixora;

namespace {

bool IsBlack(const Bitmap& bm, int x, int y) {
    const uint8_t* p = bm.Row(y) + 4 * x;
    return p[0] == 0 && p[1] == 0 && p[2] == 0;
}

bool IsWhite(const Bitmap& bm, int x, int y) {
    const uint8_t* p = bm.Row(y) + 4 * x;
    return p[0] == 255 && p[1] == 255 && p[2] == 255;
}

int DarkPixels(const Bitmap& bm, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (!IsWhite(bm, x, y)) ++n;
    return n;
}

std::vector<TRulerTick> Majors(const std::vector<TRulerTick>& ticks) {
    std::vector<TRulerTick> out;
    for (const TRulerTick& t : ticks)
        if (t.Major) out.push_back(t);
    return out;
}

} // namespace

TEST(ViewRulers, TicksFallEveryStepWithLabelsEveryTenth) {
    const auto ticks = RulerTicks(RulerSide::Top, 250, {1, 1});
    ASSERT_EQ(ticks.size(), 25u);  // 0, 10, ... 240
    for (std::size_t i = 0; i < ticks.size(); ++i) EXPECT_EQ(ticks[i].Pos, static_cast<int>(10 * i));
    auto majors = Majors(ticks);
    ASSERT_EQ(majors.size(), 2u);
    EXPECT_EQ(majors[0].Pos, 100);
    EXPECT_EQ(majors[0].Label, 100);
    EXPECT_EQ(majors[0].LabelX, 103);
    EXPECT_EQ(majors[0].LabelY, 1);
    EXPECT_EQ(majors[1].LabelX, 203);

    majors = Majors(RulerTicks(RulerSide::Top, 450, {2, 1}));
    ASSERT_EQ(majors.size(), 2u);
    EXPECT_EQ(majors[0].Pos, 200);
    EXPECT_EQ(majors[0].LabelX, 203);
    EXPECT_EQ(majors[1].Pos, 400);
    EXPECT_EQ(majors[1].Label, 200);
    EXPECT_EQ(majors[1].LabelX, 403);

    // The left ruler writes its label above the tick.
    majors = Majors(RulerTicks(RulerSide::Left, 250, {1, 1}));
    ASSERT_EQ(majors.size(), 2u);
    EXPECT_EQ(majors[0].LabelX, 1);
    EXPECT_EQ(majors[0].LabelY, 97);

    // At 1/3 and 1/6 the step is no whole number of view pixels: every tick
    // sits where its image column is shown, its label beside it, and the
    // labels run to the image's end (a 6000 pixel image at 1/6 ends at 5900).
    majors = Majors(RulerTicks(RulerSide::Top, 40, {1, 3}));
    ASSERT_EQ(majors.size(), 1u);
    EXPECT_EQ(majors[0].Pos, 33);
    EXPECT_EQ(majors[0].LabelX, 36);
    const auto sixth = RulerTicks(RulerSide::Top, 1000, {1, 6});
    EXPECT_EQ(sixth[1].Pos, 2);    // 1.67
    EXPECT_EQ(sixth[3].Pos, 5);    // exactly 5
    EXPECT_EQ(sixth.back().Pos, 998);
    majors = Majors(sixth);
    ASSERT_EQ(majors.size(), 59u);
    EXPECT_EQ(majors.back().Label, 5900);
    EXPECT_EQ(majors.back().Pos, 983);  // 983.3
}

TEST(ViewRulers, StepRoundsHalfToEven) {
    EXPECT_EQ(RulerTickStep({1, 20}), 0);  // 0.5
    EXPECT_EQ(RulerTickStep({1, 19}), 1);
    EXPECT_EQ(RulerTickStep({1, 4}), 2);   // 2.5
    EXPECT_EQ(RulerTickStep({3, 4}), 8);   // 7.5
    const auto only = RulerTicks(RulerSide::Top, 500, {1, 20});
    ASSERT_EQ(only.size(), 1u);
    EXPECT_EQ(only[0].Pos, 0);
    EXPECT_FALSE(only[0].Major);
    EXPECT_EQ(RulerTicks(RulerSide::Left, 20, {1, 19}).size(), 38u);  // 0.53 apart
    EXPECT_TRUE(RulerTicks(RulerSide::Top, 0, {1, 1}).empty());
}

TEST(ViewRulers, DrawnTicksAndLabels) {
    Bitmap top, left;
    DrawRulers(top, left, 250, 120, {1, 1});
    ASSERT_EQ(top.Width(), 250);
    ASSERT_EQ(top.Height(), 17);
    ASSERT_EQ(left.Width(), 17);
    ASSERT_EQ(left.Height(), 120);

    // Minor ticks: rows 12..16 of the column.
    for (int x : {0, 10, 90}) {
        EXPECT_TRUE(IsWhite(top, x, 11)) << x;
        for (int y = 12; y < 17; ++y) EXPECT_TRUE(IsBlack(top, x, y)) << x << "," << y;
    }
    EXPECT_TRUE(IsWhite(top, 5, 16));
    // Major tick: rows 6..16 of two columns.
    for (int x : {100, 101, 200, 201}) {
        EXPECT_TRUE(IsWhite(top, x, 5)) << x;
        for (int y = 6; y < 17; ++y) EXPECT_TRUE(IsBlack(top, x, y)) << x << "," << y;
    }
    EXPECT_TRUE(IsWhite(top, 102, 16));
    // Labels: glyphs right of 103 in the upper rows, nothing before the first.
    EXPECT_GT(DarkPixels(top, 103, 0, 135, 6), 0);
    EXPECT_GT(DarkPixels(top, 203, 0, 235, 6), 0);
    EXPECT_EQ(DarkPixels(top, 0, 0, 103, 6), 0);
    EXPECT_EQ(DarkPixels(top, 135, 0, 203, 6), 0);

    // Left ruler: same ticks across, the label running up from row 97.
    for (int x = 12; x < 17; ++x) EXPECT_TRUE(IsBlack(left, x, 10));
    EXPECT_TRUE(IsWhite(left, 11, 10));
    for (int x = 6; x < 17; ++x) {
        EXPECT_TRUE(IsBlack(left, x, 100));
        EXPECT_TRUE(IsBlack(left, x, 101));
    }
    EXPECT_GT(DarkPixels(left, 0, 60, 6, 98), 0);
    EXPECT_EQ(DarkPixels(left, 0, 98, 6, 120), 0);
    EXPECT_EQ(DarkPixels(left, 0, 0, 6, 60), 0);

    // Every pixel is written with T = 0, glyphs included.
    for (int y = 0; y < top.Height(); ++y)
        for (int x = 0; x < top.Width(); ++x) ASSERT_EQ(top.Row(y)[4 * x + 3], 0);
}

TEST(ViewRulers, PointerMarksAreRedrawnFromTheCleanRulers) {
    Bitmap top, left, topShown, leftShown;
    DrawRulers(top, left, 120, 80, {1, 1});
    const Bitmap cleanTop = top;

    MarkRulers(top, left, 55, 20, topShown, leftShown);
    // A rectangle two pixels high or wide is all frame.
    for (int y = 13; y < 17; ++y) {
        EXPECT_TRUE(IsBlack(topShown, 55, y));
        EXPECT_TRUE(IsBlack(topShown, 56, y));
    }
    EXPECT_TRUE(IsWhite(topShown, 57, 14));
    EXPECT_TRUE(IsWhite(topShown, 55, 12));
    for (int x = 13; x < 17; ++x) {
        EXPECT_TRUE(IsBlack(leftShown, x, 20));
        EXPECT_TRUE(IsBlack(leftShown, x, 21));
    }
    EXPECT_TRUE(IsWhite(leftShown, 14, 22));

    // The next move leaves no trace of the previous mark, and the ruler
    // bitmaps themselves are never marked.
    MarkRulers(top, left, 75, 40, topShown, leftShown);
    EXPECT_TRUE(IsWhite(topShown, 56, 14));
    EXPECT_TRUE(IsWhite(leftShown, 14, 21));
    EXPECT_TRUE(IsBlack(topShown, 76, 15));
    EXPECT_EQ(std::memcmp(top.Data(), cleanTop.Data(), top.ByteSize()), 0);

    // Marks at the far edge are clipped, not written past the bitmap.
    MarkRulers(top, left, 119, 79, topShown, leftShown);
    EXPECT_TRUE(IsBlack(topShown, 119, 16));
    EXPECT_TRUE(IsBlack(leftShown, 16, 79));
}

TEST(ViewRulers, FrameRectangleHasAWhiteInside) {
    Bitmap bm(8, 8);
    bm.Fill(10, 20, 30, 99);
    FrameRectangle(bm, 1, 2, 6, 7);
    EXPECT_TRUE(IsBlack(bm, 1, 2));
    EXPECT_TRUE(IsBlack(bm, 5, 6));
    EXPECT_TRUE(IsWhite(bm, 2, 3));
    EXPECT_TRUE(IsWhite(bm, 4, 5));
    EXPECT_EQ(bm.Row(6)[4 * 6], 10);  // right and bottom edges excluded
    EXPECT_EQ(bm.Row(7)[4 * 5], 10);
    EXPECT_EQ(bm.Row(2)[4 * 1 + 3], 0);
    EXPECT_EQ(bm.Row(0)[3], 99);
}

TEST(ViewDraw, InvertedFrameCoversThePenOnceAndUndoesItself) {
    Bitmap bm(20, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            uint8_t* p = bm.Row(y) + 4 * x;
            p[0] = static_cast<uint8_t>(x * 10);
            p[1] = static_cast<uint8_t>(y * 10);
            p[2] = 40;
            p[3] = 5;
        }
    const Bitmap before = bm;
    auto inverted = [&](int x, int y) { return bm.Row(y)[4 * x + 2] == 255 - 40; };
    InvertFrame(bm, 5, 5, 15, 12, 3);
    // A three-pixel pen centred on columns 5 and 14, rows 5 and 11.
    for (int x : {4, 5, 6, 13, 14, 15}) EXPECT_TRUE(inverted(x, 8)) << x;
    for (int x : {3, 7, 12, 16}) EXPECT_FALSE(inverted(x, 8)) << x;
    for (int y : {4, 6, 10, 12}) EXPECT_TRUE(inverted(9, y)) << y;
    for (int y : {3, 7, 9, 13}) EXPECT_FALSE(inverted(9, y)) << y;
    EXPECT_TRUE(inverted(4, 4));  // corners once, not twice
    EXPECT_TRUE(inverted(15, 12));
    EXPECT_EQ(bm.Row(8)[4 * 5 + 3], 5);  // transparency untouched
    InvertFrame(bm, 5, 5, 15, 12, 3);
    EXPECT_EQ(std::memcmp(bm.Data(), before.Data(), bm.ByteSize()), 0);

    // A frame larger than the picture is clipped.
    InvertFrame(bm, -3, -3, 25, 25, 3);
    InvertFrame(bm, -3, -3, 25, 25, 3);
    EXPECT_EQ(std::memcmp(bm.Data(), before.Data(), bm.ByteSize()), 0);
}

TEST(RulerLabels, NeverOverlapAtAnyZoom) {
    // Labels 24 pixels long: at 1:1 every one fits, at 1:6 (17 pixels apart)
    // every other one, at 1:16 (6 apart) every fifth.
    const auto length = [](int) { return 24; };
    for (const RulerSide side : {RulerSide::Top, RulerSide::Left}) {
        for (const auto& [zoom, every] : {std::pair{TZoom{1, 1}, 1}, {TZoom{1, 6}, 2}, {TZoom{1, 16}, 5}}) {
            const std::vector<TRulerTick> ticks = RulerTicks(side, 6000 * zoom.Num / zoom.Den, zoom);
            std::vector<int> labels;
            for (std::size_t i : LabelsShown(side, ticks, length))
                labels.push_back(ticks[i].Label);
            ASSERT_GE(labels.size(), 2u);
            EXPECT_EQ(labels[0], 100);
            EXPECT_EQ(labels[1], 100 + 100 * every) << zoom.Den;
            for (std::size_t k = 1; k < labels.size(); ++k)
                EXPECT_EQ(labels[k] - labels[k - 1], 100 * every) << zoom.Den;
        }
    }
}
