// What the view shows beside the picture: the outline of the stamp a press
// would paint, and the span of a shape, selection or crop drag.
#include <gtest/gtest.h>

#include "tools/tool_set.h"
#include "tools/tools_fixture.h"

using namespace pixora;
using namespace pixora::testing;

namespace {

struct OutlineTest : PaintTest {
    std::optional<TStampOutline> Outline(int x, int y) { return ToolsOf(ws).StampOutline(x, y); }
    std::optional<TRect> Span() { return ToolsOf(ws).DragSpan(); }
    // The outline at (x, y), then the bounds of what a click there paints.
    void ExpectOutlineCoversTheClick(int x, int y, bool round) {
        const auto outline = Outline(x, y);
        ASSERT_TRUE(outline);
        EXPECT_EQ(outline->Round, round);
        const Bitmap before = S().Bitmap;
        Click(x, y);
        EXPECT_EQ(ChangedBounds(before, S().Bitmap), outline->Box);
    }
};

} // namespace

TEST_F(OutlineTest, TheOutlineIsTheBoxOfWhatAPressPaints) {
    Fill(100, 255);
    Use(ToolLighten);
    for (int size : {3, 7, 12}) {
        Opt("TForm24", "size", size);
        ExpectOutlineCoversTheClick(20, 14, true);
    }
    Use(ToolEraser);
    Opt("TForm43", "Size", 9);
    Opt("TForm43", "ET", 0);
    ExpectOutlineCoversTheClick(5, 6, false);
    Opt("TForm43", "ET", 1);
    Fill(100, 255);
    ExpectOutlineCoversTheClick(20, 12, true);
    // The eraser's flood fill, the pen and no tool paint no stamp.
    Opt("TForm43", "ET", 2);
    EXPECT_FALSE(Outline(5, 5));
    Use(ToolPen);
    EXPECT_FALSE(Outline(5, 5));
}

TEST_F(OutlineTest, DragsReportTheirSpanWhileTheButtonIsHeld) {
    Use(ToolRectangle);
    EXPECT_FALSE(Span());
    PointerDown(ws, 30, 20, 0);
    PointerMove(ws, 10, 5);
    const auto shape = Span();
    ASSERT_TRUE(shape);
    EXPECT_EQ(*shape, (TRect{30, 20, 10, 5}));
    PointerUp(ws, 10, 5);
    EXPECT_FALSE(Span()) << "the release ends it";

    // A selection being made, then the made rectangle resized by its corner.
    Use(ToolSelection);
    PointerDown(ws, 4, 4, 0);
    PointerMove(ws, 14, 10);
    EXPECT_EQ(Span(), (TRect{4, 4, 14, 10}));
    PointerUp(ws, 14, 10);
    PointerDown(ws, 14, 10, 0);
    PointerMove(ws, 20, 12);
    EXPECT_EQ(Span(), (TRect{4, 4, 20, 12}));
    PointerUp(ws, 20, 12);

    // The magic wand spans nothing.
    SelectNone(ws);
    SetSelectOption("RadioGroup1", SelMagicWand);
    PointerDown(ws, 4, 4, 0);
    PointerMove(ws, 14, 10);
    EXPECT_FALSE(Span());
    PointerUp(ws, 14, 10);
}
