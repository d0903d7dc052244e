#pragma once
// A workspace with one open image, its work bitmaps at its size and the
// display copy showing it, for the tests of the filter framework and of the
// effect rows.

#include "doc/tab_change.h"
#include "history/history_fixture.h"
#include "tools/selection.h"
#include "tools/tool_dispatch.h"
#include "tools/tool_table.h"

namespace pixora::testing {

struct FilterTest : WorkspaceTest {
    int slot = -1;
    void SetUp() override {
        WorkspaceTest::SetUp();
        port.Ws = &ws;
        slot = Open(Pattern(20, 10, 3));
        Activate(slot);
        TabChange(ws);
    }
    TImages& S() { return Slot(slot); }
    // Selects (2, 2)-(8, 8) with the selection tool and keeps it for the
    // edit test with "Apply Edit to Selection Only"; the pen is chosen after.
    void SelectAndApplyInside() {
        port.Options[{kSelectBox, "RadioGroup2"}] = 1;
        port.Options[{kSelectBox, "A"}] = 1;
        S().Tool = ToolSelection;
        PointerDown(ws, 2, 2, 0);
        PointerUp(ws, 8, 8);
        ASSERT_EQ(ws.ToolVars.HasSelection, 1);
        ASSERT_TRUE(SelectToolCore(ws, ToolPen));
    }
};

// Every pixel's colour bytes and fourth byte compared apart.
inline bool SameColourBytes(const Bitmap& a, const Bitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            for (int c = 0; c < 3; ++c)
                if (a.Row(y)[x * 4 + c] != b.Row(y)[x * 4 + c]) return false;
    return true;
}
inline bool SameFourthBytes(const Bitmap& a, const Bitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.Row(y)[x * 4 + 3] != b.Row(y)[x * 4 + 3]) return false;
    return true;
}

} // namespace pixora::testing
