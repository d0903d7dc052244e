// The pen's segments and commit, the eraser and the transparency tool.
#include <gtest/gtest.h>

#include <random>

#include "doc/row_ranges.h"
#include "support/pixels.h"
#include "tools/brushes/eraser_rule.h"
#include "tools/brushes/pen_commit_rule.h"
#include "tools/brushes/transparency_rule.h"
#include "tools/shapes/soften_edges.h"

using namespace pixora;
using namespace pixora::testing;

namespace {

const SelectionEditTest kAll;

TStrokeColours Black() {
    TStrokeColours c;
    c.Stroke = RGBColour(0, 0, 0);
    c.Fill = RGBColour(255, 255, 255);
    c.Foreground = c.Stroke;
    c.Background = c.Fill;
    return c;
}

TOverlayComposite Occupancy(int occ, bool ct = true) {
    TOverlayComposite o;
    o.Occupancy = occ;
    o.ChangeTransparency = ct;
    return o;
}

} // namespace

TEST(PenCommit, AClickLeavesADotAndClearsTheOverlay) {
    const Bitmap base = Uniform(30, 20, 255, 255);
    Bitmap image = Uniform(30, 20, 9); // whatever the view showed is dropped
    Bitmap overlay = Uniform(30, 20, 255);
    DrawPenSegment(overlay, {10, 10}, {9, 10}, 1, 0);
    CommitPenStroke(image, base, overlay, Occupancy(50), Black(), kAll);
    EXPECT_EQ(ChangedPixels(base, image), 1); // the blend's bytes: PenToolTest
    EXPECT_FALSE(SamePixel(base, image, 10, 10));
    EXPECT_EQ(ChangedPixels(overlay, Uniform(30, 20, 255)), 0);

    Bitmap wide = Uniform(30, 20, 255);
    DrawPenSegment(wide, {10, 10}, {9, 10}, 5, 0);
    const int dot = ChangedPixels(wide, Uniform(30, 20, 255));
    EXPECT_GE(dot, 9);
    EXPECT_LE(dot, 30);
    EXPECT_EQ(Px(wide, 10, 10)[0], 0);
}

TEST(PenCommit, TransparencySelectionAndGradient) {
    const Bitmap base = Uniform(40, 40, 255, 255);
    Bitmap overlay = Uniform(40, 40, 255);
    Put(overlay, 10, 10, 0, 0, 0, 0);
    Put(overlay, 12, 10, 0, 0, 0, 0);
    Bitmap image;
    CompositeOverlay(image, base, overlay, Occupancy(100, false), Black(), false,
                     SelectionEditTest(RectMask(40, 40, 0, 0, 11, 40), 0, 0, true));
    EXPECT_EQ(Px(image, 10, 10)[0], 0);
    EXPECT_EQ(Px(image, 10, 10)[3], 255); // CT clear
    EXPECT_EQ(Px(image, 12, 10)[0], 255); // refused by the selection

    // (The softening that follows the blend is compared with
    // SoftenStrokeEdges itself in the last-pass test below.)

    // The gradient replaces the flat blend and keeps the fourth byte.
    Bitmap box = Uniform(40, 40, 255);
    for (int y = 10; y < 30; ++y)
        for (int x = 10; x < 30; ++x)
            Put(box, x, y, 0, 0, 0, 0);
    TOverlayComposite grad = Occupancy(100);
    grad.UseGradient = true;
    CompositeOverlay(image, base, box, grad, Black(), false, kAll);
    EXPECT_EQ(Px(image, 19, 19)[0], 195); // R = 30: (98 x 255 + 30 x 0) div 128
    EXPECT_EQ(Px(image, 19, 19)[3], 255);
}

TEST(PenCommit, EightPixelsAtOnceGiveTheBytesOfThePixelRule) {
    // A selection holding every pixel confines nothing but makes the blend
    // go pixel by pixel; without one it goes eight at a time where it can.
    std::mt19937 rng(11);
    const std::pair<int, int> sizes[] = {{1, 1}, {5, 1}, {7, 3}, {8, 2}, {9, 5}, {17, 4}, {4001, 3}};
    for (auto [w, h] : sizes) {
        Bitmap base(w, h, 32), overlay(w, h, 32), everything(w, h, 32);
        everything.Fill(0, 0, 0, 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                for (int c = 0; c < 4; ++c)
                    base.Row(y)[x * 4 + c] = static_cast<uint8_t>(rng());
                // Outline, interior, other and untouched marks, in runs.
                const uint8_t marks[] = {0, 1, 2, 255, 255, 255};
                overlay.Row(y)[x * 4 + 2] = marks[(x / 3 + rng() % 2) % 6];
            }
        const SelectionEditTest all(everything, 0, 0, true);
        TStrokeColours c;
        c.Stroke = RGBColour(250, 7, 128);
        c.Fill = RGBColour(3, 255, 90);
        for (int occ : {1, 37, 60, 100})
            for (bool ct : {false, true})
                for (bool interior : {false, true})
                    for (int bands : {1, 2}) {
                        const TRowBandsOverride split(bands);
                        Bitmap pixels = base, vectors(w, h, 32);
                        PaintMarks(pixels, nullptr, overlay, Occupancy(occ, ct), c, interior, all);
                        PaintMarks(vectors, &base, overlay, Occupancy(occ, ct), c, interior, kAll);
                        ASSERT_TRUE(SameImage(vectors, pixels))
                            << w << "x" << h << " occ=" << occ << " ct=" << ct << " interior=" << interior;
                    }
    }
}

TEST(PenCommit, ClearingTheOverlayInItsLastPassGivesTheBytesOfTheStepsOneByOne) {
    // The release clears the overlay while the blend or the softening reads
    // it: the image must be that of the composite and then the softening in
    // the pixel order, the overlay white, with and without a selection, on
    // one thread and two, where the softening works in bands and where not.
    std::mt19937 rng(5);
    for (auto [w, h] : {std::pair{7, 5}, std::pair{40, 15}, std::pair{301, 77}})
        for (bool soften : {false, true})
            for (bool confined : {false, true})
                for (int bands : {1, 2}) {
                    const TRowBandsOverride split(bands);
                    Bitmap base(w, h, 32), overlay(w, h, 32), mask(w, h, 32);
                    overlay.Fill(255, 255, 255, 0);
                    mask.Fill(0, 0, 0, 0);
                    for (int y = 0; y < h; ++y)
                        for (int x = 0; x < w; ++x) {
                            for (int c = 0; c < 4; ++c)
                                base.Row(y)[x * 4 + c] = static_cast<uint8_t>(rng());
                            if ((x + 2 * y) % 9 < 3) overlay.Row(y)[x * 4] = overlay.Row(y)[x * 4 + 2] = 0;
                            if (x < w / 3) mask.Row(y)[x * 4] = 255;
                        }
                    const SelectionEditTest test = confined ? SelectionEditTest(mask, 0, 0, true) : kAll;
                    TOverlayComposite o = Occupancy(70);
                    o.Soften = soften;
                    o.SoftenStrength = 10;
                    Bitmap expected = base, plain = overlay;
                    TOverlayComposite flat = o;
                    flat.Soften = false;
                    CompositeOverlay(expected, base, plain, flat, Black(), false, test);
                    if (soften) SoftenStrokeEdgesInOrder(expected, plain, o.SoftenStrength);
                    plain.Fill(255, 255, 255, 0);
                    Bitmap image(w, h, 32);
                    CommitPenStroke(image, base, overlay, o, Black(), test);
                    ASSERT_TRUE(SameImage(image, expected)) << w << "x" << h << " soften=" << soften
                                                            << " confined=" << confined << " bands=" << bands;
                    ASSERT_TRUE(SameImage(overlay, plain)) << w << "x" << h << " soften=" << soften;
                }
}

TEST(Eraser, SquareClipsAtTheEdgeEllipseStaysInsideFloodfillOnPressOnly) {
    const int32_t canvas = RGBColour(10, 20, 30);
    Bitmap b = Uniform(20, 10, 100, 255);
    const Bitmap before = b;
    EraserStamp(b, 17, 2, {EraserSquare, 10}, canvas, false);
    EXPECT_EQ(ChangedPixels(before, b), 3 * 8);
    EXPECT_EQ(Px(b, 19, 9)[0], 30);
    EXPECT_EQ(Px(b, 19, 9)[2], 10);
    EXPECT_EQ(Px(b, 19, 9)[3], 0);
    EXPECT_TRUE(SamePixel(b, before, 16, 2));

    Bitmap e = Uniform(20, 20, 100);
    EraserStamp(e, 2, 2, {EraserEllipse, 10}, canvas, true);
    EXPECT_EQ(Px(e, 7, 7)[0], 30);
    EXPECT_EQ(Px(e, 2, 2)[0], 100);
    EXPECT_EQ(Px(e, 12, 7)[0], 100);

    Bitmap f = Uniform(20, 20, 100, 40);
    for (int y = 0; y < 20; ++y)
        Put(f, 15, y, 50, 50, 50, 40);
    const Bitmap fBefore = f;
    EraserStamp(f, 2, 2, {EraserFloodfill, 10}, RGBColour(200, 200, 200), false);
    EXPECT_EQ(ChangedPixels(fBefore, f), 0);
    EraserStamp(f, 2, 2, {EraserFloodfill, 10}, RGBColour(200, 200, 200), true);
    EXPECT_EQ(Px(f, 0, 0)[0], 150); // half-way toward the canvas colour
    EXPECT_EQ(Px(f, 0, 0)[3], 40);
    EXPECT_EQ(Px(f, 15, 0)[0], 50);
    EXPECT_EQ(Px(f, 19, 0)[0], 100); // beyond the other colour's column
}

namespace {

TTransparencyOptions Mode(int mode, int td, bool fv = false) {
    TTransparencyOptions o;
    o.Mode = mode;
    o.Difference = td;
    o.ForceValue = fv;
    return o;
}

} // namespace

TEST(Transparency, PenChangesTheFourthByteOncePerStroke) {
    for (auto [td, fv, want] : {std::tuple{100, false, 120}, {-100, true, 100}, {255, false, 255}}) {
        const Bitmap base = Uniform(20, 10, 100, 20);
        Bitmap image = base, overlay;
        const TTransparencyOptions o = Mode(TransparencyPen, td, fv);
        overlay = Uniform(20, 10, 0);
        BeginTransparencyStroke(image, overlay, o);
        TransparencyPenSegment(image, overlay, {5, 5}, {15, 5}, o);
        EXPECT_EQ(Px(image, 8, 5)[0], 155); // the not-xor preview
        TransparencyPenSegment(image, overlay, {15, 5}, {5, 5}, o);
        EndTransparencyStroke(image, base, overlay, {5, 5}, {5, 5}, o);
        EXPECT_EQ(Px(image, 8, 5)[3], want);
        EXPECT_EQ(Px(image, 15, 5)[3], want);
        EXPECT_EQ(Px(image, 8, 5)[0], 100);
        EXPECT_EQ(Px(image, 8, 6)[3], 20);
    }
}

TEST(Transparency, ShapePreviewsComeAndGoAndTheFinalShapeIsFilled) {
    const Bitmap base = Uniform(20, 20, 100, 20);
    Bitmap image = base, overlay = Uniform(20, 20, 0);
    const TTransparencyOptions o = Mode(TransparencyRectangle, 50);
    BeginTransparencyStroke(image, overlay, o);
    TRect shown{};
    TransparencyShapePreview(image, base, {2, 2}, {11, 11}, o, shown);
    EXPECT_EQ(Px(image, 10, 2)[0], 155);
    EXPECT_EQ(Px(image, 5, 5)[0], 100); // the interior is not inverted
    TransparencyShapePreview(image, base, {2, 2}, {7, 7}, o, shown);
    EXPECT_EQ(Px(image, 10, 2)[0], 100);
    EXPECT_EQ(Px(image, 6, 2)[0], 155);
    EndTransparencyStroke(image, base, overlay, {2, 2}, {7, 7}, o);
    EXPECT_EQ(ChangedPixels(base, image), 25);
    EXPECT_EQ(Px(image, 4, 4)[3], 70);
    EXPECT_EQ(Px(image, 4, 4)[0], 100);
}

TEST(Transparency, SprayKeepsItsFourthBytesInTheOverlay) {
    const Bitmap base = Uniform(65, 65, 100, 20);
    for (bool fv : {false, true}) {
        Bitmap image = base, overlay = Uniform(65, 65, 0);
        TTransparencyOptions o = Mode(TransparencySpray, -60, fv);
        BeginTransparencyStroke(image, overlay, o);
        const Bitmap mask = RectMask(65, 65, 0, 0, 40, 65);
        const SelectionEditTest left(mask, 0, 0, true);
        TransparencySprayStamp(image, overlay, {32, 32}, o, left);
        EXPECT_EQ(Px(image, 32, 32)[0], 75); // g = 96: 100 x 96 div 128
        EXPECT_EQ(Px(image, 45, 32)[0], 100);
        EndTransparencyStroke(image, base, overlay, {32, 32}, {32, 32}, o);
        EXPECT_EQ(Px(image, 32, 32)[0], 100);
        EXPECT_EQ(Px(image, 32, 32)[3], fv ? 60 : 30); // (20 x 96 + 60 x 32) div 128
        EXPECT_EQ(Px(image, 45, 32)[3], 20);
        EXPECT_EQ(Px(image, 0, 0)[3], 20);
    }
}
