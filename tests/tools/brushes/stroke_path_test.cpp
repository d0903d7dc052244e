// The stamp tools stamp along the pointer's path: a fast drag, whose moves
// the window system has merged, paints what the same drag given pixel by
// pixel paints.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "doc/line_walk.h"
#include "tools/brushes/stamp_brush_family.h"
#include "tools/brushes/transparency_tool.h"
#include "tools/tool_set.h"
#include "tools/tools_fixture.h"

using namespace pixora;
using namespace pixora::testing;

namespace {

struct StrokePathTest : PaintTest {
    void SetUp() override {
        width = 200;
        height = 150;
        PaintTest::SetUp();
        Opt("TForm23", "Size", 12);
        Opt("TForm23", "thick", 64);
        Opt("TForm23", "CT", 1);
        Opt("TForm24", "size", 9);
        Opt("TForm24", "CT", 1);
        Opt("TForm38", "size", 8);
        Opt("TForm38", "Occ", 50);
        Opt("TForm40", "Occ", 60);
        Opt("TForm43", "ET", 1);
        Opt("TForm43", "Size", 10);
        Opt("TForm44", "T", 4); // "Spray"
        Opt("TForm44", "SR", 12);
        Opt("TForm44", "TD", 60);
        Bitmap brush = Pattern(7, 5, 2);
        Put(brush, 3, 2, 255, 255, 255, 0); // a see-through pixel
        ws.CustomBrushBitmap.Bitmap = brush;
        ws.EffectBrushSource.Bitmap = Pattern(width, height, 5);
    }

    // The image after a drag through `points` with a freshly made tool of
    // the row (the noise brush's generator seeded alike every time).
    Bitmap Paint(const TToolDescription& row, const std::vector<TPoint>& points) {
        S().Bitmap = Pattern(width, height, 1);
        ws.StrokeBase.Bitmap = Pattern(width, height, 3); // the history brush's source
        std::srand(7);
        ToolsOf(ws).Install(row.Number, row.Make());
        PointerDown(ws, points.front().X, points.front().Y, 0);
        for (std::size_t i = 1; i < points.size(); ++i)
            PointerMove(ws, points[i].X, points[i].Y);
        PointerUp(ws, points.back().X, points.back().Y);
        return S().Bitmap;
    }
};

// Every pixel of the straight paths through `corners`, as a slow hand
// would give them.
std::vector<TPoint> PixelByPixel(const std::vector<TPoint>& corners) {
    std::vector<TPoint> all{corners.front()};
    for (std::size_t i = 1; i < corners.size(); ++i) {
        const TPoint a = corners[i - 1], b = corners[i];
        WalkLine(a.X, a.Y, b.X, b.Y, [&](int x, int y) {
            if (x != a.X || y != a.Y) all.push_back({x, y});
        });
        all.push_back(b);
    }
    return all;
}

} // namespace

TEST_F(StrokePathTest, AFastDragPaintsWhatThePixelByPixelDragPaintsForEveryStampTool) {
    const std::vector<TPoint> fast{{10, 10}, {180, 30}, {150, 140}, {20, 100}, {20, 100}};
    const std::vector<TPoint> slow = PixelByPixel(fast);
    ASSERT_GT(slow.size(), 400u);
    int tools = 0;
    for (const TToolDescription& row : ToolTable()) {
        if (!row.Make) continue;
        const std::unique_ptr<Tool> probe = row.Make();
        if (!dynamic_cast<StampBrushFamily*>(probe.get()) && !dynamic_cast<TransparencyTool*>(probe.get()))
            continue;
        ++tools;
        Use(row.Number);
        const Bitmap start = Pattern(width, height, 1);
        const Bitmap quick = Paint(row, fast);
        const Bitmap steady = Paint(row, slow);
        EXPECT_GT(ChangedPixels(start, steady), 100) << row.Number << ": the drag paints";
        EXPECT_TRUE(SameImage(quick, steady)) << row.Number;
    }
    EXPECT_EQ(tools, 12) << "ten stamp brushes, the eraser and the transparency tool";
}
