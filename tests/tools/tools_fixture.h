#pragma once
// A workspace with one open image, a recording port that keeps the display
// copy, and the selection options set through the port.

#include "doc/checkerboard.h"
#include "history/history_fixture.h"
#include "history/history_store.h"
#include "support/pixels.h"
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
        // The checkerboard too is one colour (black) here, so that a blend
        // is the same wherever a pixel goes.
        for (TWorkBitmap* w : ws.ImageSizedWorkBitmaps()) {
            w->Bitmap = Bitmap(width, height, 32);
            w->Refill();
        }
        ws.Checkerboard.Bitmap = Bitmap(width, height, 32);
        ws.Checkerboard.Refill();
    }
    void SetSelectOption(const char* control, int value) { port.Options[{kSelectBox, control}] = value; }
    TImages& S() { return Slot(slot); }
    uint8_t* At(int x, int y) { return Px(S().Bitmap, x, y); }
    // The image as the view shows it: blended with the checkerboard.
    Bitmap Shown(const Bitmap& image) {
        Bitmap out;
        MakeDisplayCopy(image, ws.Checkerboard.Bitmap, out, true);
        return out;
    }
    void Drag(int x0, int y0, int x1, int y1, int button = 0) {
        PointerDown(ws, x0, y0, button);
        PointerMove(ws, (x0 + x1) / 2, (y0 + y1) / 2);
        PointerMove(ws, x1, y1);
        PointerUp(ws, x1, y1);
    }
};

// The real tools on a uniform image, their options set through the port.
struct PaintTest : ToolsTest {
    void SetUp() override {
        ToolsTest::SetUp();
        Fill(255, 0);
    }
    // Fills the image with grey v and fourth byte t, and shows it.
    void Fill(uint8_t v, uint8_t t) {
        S().Bitmap.Fill(v, v, v, t);
        port.RefreshView();
    }
    void Opt(const char* box, const char* control, int value) { port.Options[{box, control}] = value; }
    // Chooses a tool as its button does.
    void Use(int tool) { ASSERT_TRUE(SelectToolCore(ws, tool)) << tool; }
    void Click(int x, int y, int button = 0) {
        PointerDown(ws, x, y, button);
        PointerUp(ws, x, y);
    }
    // A rectangle selection (l, t)-(r, b) with "Apply Edit to Selection
    // Only" (apply) or "Exclude Selection from Edit", then the tool.
    void SelectAndUse(int l, int t, int r, int b, bool apply, int tool) {
        SelectNone(ws);
        S().Tool = ToolSelection;
        Drag(l, t, r, b);
        SetSelectOption(apply ? "A" : "E", 1);
        Use(tool);
    }
    // The name of the step the last press made.
    std::string LastStep() { return HistoryName(S(), S().HistoryPos + 1); }
};

} // namespace pixora::testing
