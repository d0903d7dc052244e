#pragma once
// A workspace with one open image, a recording port that keeps the display
// copy, and the selection options set through the port.

#include "history/history_fixture.h"
#include "history/history_store.h"
#include "tools/selection.h"
#include "tools/tool.h"
#include "tools/tool_dispatch.h"
#include "tools/tool_table.h"

namespace pixora::testing {

struct ToolsTest : WorkspaceTest {
    int slot = -1;
    int width = 40, height = 30; // of the image opened; a fixture may change them

    void SetUp() override {
        WorkspaceTest::SetUp();
        port.Ws = &ws;
        SetSelectOption("RadioGroup2", 1); // "Edit Selected Canvas"
        slot = Open(Pattern(width, height, 1));
        Activate(slot);
        port.RefreshView();
        for (TWorkBitmap* w : ws.ImageSizedWorkBitmaps()) {
            w->Bitmap = Bitmap(width, height, 32);
            w->Refill();
        }
    }
    void SetSelectOption(const char* control, int value) { port.Options[{kSelectBox, control}] = value; }
    TImages& S() { return Slot(slot); }
    void Drag(int x0, int y0, int x1, int y1, int button = 0) {
        PointerDown(ws, x0, y0, button);
        PointerMove(ws, (x0 + x1) / 2, (y0 + y1) / 2);
        PointerMove(ws, x1, y1);
        PointerUp(ws, x1, y1);
    }
};

} // namespace pixora::testing
