// Shapes drawn as overlay marks and committed, and their view previews.
#include <gtest/gtest.h>

#include "support/pixels.h"
#include "tools/shapes/shape_draw_rule.h"

using namespace pixora;
using namespace pixora::testing;

namespace {

TShape Box(ShapeKind kind, TPoint a, TPoint b, int edge = 0) {
    TShape s;
    s.Kind = kind;
    s.From = a;
    s.To = b;
    s.Edge = edge;
    return s;
}

TShapeOptions Pen(int width, bool clear) {
    TShapeOptions o;
    o.PenWidth = width;
    o.ClearInterior = clear;
    return o;
}

uint8_t Mark(const Bitmap& overlay, int x, int y) {
    return Px(overlay, x, y)[2];
}

// Whether every mark lies in columns l..r-1 and rows t..b-1.
bool MarksInside(const Bitmap& overlay, int l, int t, int r, int b) {
    for (int y = 0; y < overlay.Height(); ++y)
        for (int x = 0; x < overlay.Width(); ++x)
            if (Mark(overlay, x, y) != 255 && (x < l || y < t || x >= r || y >= b)) return false;
    return true;
}

} // namespace

TEST(ShapeMask, ClosedShapesMarkOutlineAndInteriorInsideTheirCorners) {
    Bitmap overlay = Uniform(20, 20, 9);
    DrawShapeMask(overlay, Box(ShapeKind::Rectangle, {10, 8}, {2, 2}), Pen(1, false));
    EXPECT_EQ(Mark(overlay, 2, 2), 0);
    EXPECT_EQ(Mark(overlay, 9, 7), 0);
    EXPECT_EQ(Mark(overlay, 5, 5), 1);
    EXPECT_EQ(Mark(overlay, 0, 0), 255); // cleared to white first
    EXPECT_TRUE(MarksInside(overlay, 2, 2, 10, 8));
    DrawShapeMask(overlay, Box(ShapeKind::Rectangle, {2, 2}, {10, 8}), Pen(1, true));
    EXPECT_EQ(Mark(overlay, 5, 5), 255);

    DrawShapeMask(overlay, Box(ShapeKind::Ellipse, {2, 2}, {13, 13}), Pen(1, false));
    EXPECT_EQ(Mark(overlay, 2, 2), 255);
    EXPECT_EQ(Mark(overlay, 7, 2), 0);
    EXPECT_EQ(Mark(overlay, 7, 7), 1);
    EXPECT_TRUE(MarksInside(overlay, 2, 2, 13, 13));

    DrawShapeMask(overlay, Box(ShapeKind::RoundRect, {0, 0}, {20, 20}, 10), Pen(1, true));
    EXPECT_EQ(Mark(overlay, 0, 0), 255);
    EXPECT_EQ(Mark(overlay, 10, 0), 0);
    DrawShapeMask(overlay, Box(ShapeKind::RoundRect, {0, 0}, {20, 20}, 0), Pen(1, true));
    EXPECT_EQ(Mark(overlay, 0, 0), 0);
}

TEST(ShapeMask, LinesLeaveOutTheirEndAndWidenWithThePen) {
    Bitmap overlay(20, 20, 32);
    DrawShapeMask(overlay, Box(ShapeKind::Line, {2, 5}, {8, 5}), Pen(1, true));
    EXPECT_EQ(Mark(overlay, 2, 5), 0);
    EXPECT_EQ(Mark(overlay, 7, 5), 0);
    EXPECT_EQ(Mark(overlay, 8, 5), 255);
    DrawShapeMask(overlay, Box(ShapeKind::Line, {2, 10}, {16, 10}), Pen(5, true));
    for (int y = 8; y <= 12; ++y)
        EXPECT_EQ(Mark(overlay, 9, y), 0) << y;
    EXPECT_EQ(Mark(overlay, 9, 14), 255);

    TShape curve;
    curve.Kind = ShapeKind::Bezier;
    curve.Bezier = {TPoint{2, 12}, TPoint{2, 2}, TPoint{17, 2}, TPoint{17, 12}};
    DrawShapeMask(overlay, curve, Pen(1, true));
    EXPECT_EQ(Mark(overlay, 2, 12), 0);
    EXPECT_EQ(Mark(overlay, 9, 12), 255); // a curve, not the chord
    EXPECT_TRUE(MarksInside(overlay, 2, 2, 18, 13));
}

TEST(ShapeCommit, ClearInteriorDecidesWhetherTheFillColourIsBlendedIn) {
    const Bitmap base = Uniform(20, 20, 255, 255);
    TStrokeColours colours;
    colours.Stroke = RGBColour(0, 0, 0);
    colours.Fill = RGBColour(0, 0, 200);
    for (bool clear : {true, false}) {
        Bitmap image = base, overlay(20, 20, 32);
        TShapeOptions o = Pen(1, clear);
        o.Composite.Occupancy = 50;
        CommitShape(image, base, overlay, Box(ShapeKind::Rectangle, {2, 2}, {10, 10}), o, colours,
                    SelectionEditTest());
        EXPECT_EQ(Px(image, 2, 2)[0], 127);
        EXPECT_EQ(Px(image, 2, 2)[3], 0);
        EXPECT_EQ(Px(image, 5, 5)[0], clear ? 255 : 227); // 200 x 50 div 100 + 127
        EXPECT_EQ(Px(image, 5, 5)[2], clear ? 255 : 127);
        EXPECT_EQ(Px(image, 5, 5)[3], clear ? 255 : 0);
        EXPECT_EQ(ChangedPixels(base, image), clear ? 28 : 64);
    }
    // A line never paints an interior, even over interior-looking marks.
    Bitmap image = base, overlay(20, 20, 32);
    CommitShape(image, base, overlay, Box(ShapeKind::Line, {2, 2}, {10, 2}), Pen(1, false), colours,
                SelectionEditTest());
    EXPECT_EQ(ChangedPixels(base, image), 8);
}

TEST(ShapePreview, DrawsInTheStrokeAndFillColours) {
    Bitmap view = Uniform(20, 20, 255);
    TStrokeColours colours;
    colours.Stroke = RGBColour(200, 0, 0);
    colours.Fill = RGBColour(0, 200, 0);
    DrawShapePreview(view, Box(ShapeKind::Ellipse, {2, 2}, {14, 14}, 0), Pen(3, false), colours);
    EXPECT_EQ(Px(view, 8, 2)[2], 200);
    EXPECT_EQ(Px(view, 8, 8)[1], 200);
    EXPECT_EQ(Px(view, 8, 8)[2], 0);
    Bitmap clear = Uniform(20, 20, 255);
    DrawShapePreview(clear, Box(ShapeKind::Rectangle, {2, 2}, {14, 14}), Pen(1, true), colours);
    EXPECT_EQ(Px(clear, 8, 8)[1], 255);
    EXPECT_EQ(Px(clear, 8, 2)[2], 200);
    EXPECT_EQ(Px(clear, 8, 2)[1], 0);
}
