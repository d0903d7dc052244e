// The option table as the stroke tools read it: the pen, the shapes and the
// round rectangle each read the controls of their own box.
#include <gtest/gtest.h>

#include "tools/tool_options.h"
#include "tools/tool_table.h"

using namespace pixora;

TEST(ToolOptions, EachStrokeToolReadsTheSameControlsOfItsOwnBox) {
    const TStrokeOptionIds& pen = StrokeOptionIds(TWindow::PenOptions);
    auto ids = [](const TStrokeOptionIds& s) {
        return std::array{s.Occupancy, s.Size, s.Antialiasing, s.SoftenStrength, s.UseGradient,
                          s.ChangeTransparency};
    };
    int tools = 0;
    for (const TToolDescription& tool : ToolTable()) {
        const TWindow box = tool.OptionBox;
        if (box != TWindow::PenOptions && box != TWindow::ShapeOptions && box != TWindow::RoundRectOptions)
            continue;
        ++tools;
        SCOPED_TRACE(tool.Number);
        const TStrokeOptionIds& own = StrokeOptionIds(box);
        EXPECT_EQ(own.Box, box);
        for (std::size_t k = 0; k < ids(own).size(); ++k) {
            const TOptionRow& row = OptionRow(ids(own)[k]);
            EXPECT_EQ(row.Box, box) << row.Control;
            EXPECT_EQ(row.Control, OptionRow(ids(pen)[k]).Control) << "the same control as the pen's";
        }
        // Closed shapes empty their interior by their own box's "Clear".
        if (box != TWindow::PenOptions) {
            EXPECT_EQ(OptionRow(own.ClearInterior).Box, box);
            EXPECT_EQ(OptionRow(own.ClearInterior).Control, "Clear");
        }
    }
    EXPECT_EQ(tools, 7);
}
