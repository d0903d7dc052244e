#include "tools/tool_dispatch.h"

#include <algorithm>

#include "history/history_store.h"
#include "tools/multi_click_tools.h"
#include "tools/selection.h"
#include "tools/tool.h"
#include "tools/tool_table.h"

namespace pixora {

namespace {

Tool* gTools[27] = {};

bool InRange(int v, int a, int b) {
    return v >= a && v <= b;
}

// Makes a work bitmap the size of the image.
void SizeLike(TWorkBitmap& w, const Bitmap& image) {
    if (w.Bitmap.Width() != image.Width() || w.Bitmap.Height() != image.Height() ||
        w.Bitmap.BitsPerPixel() != 32) {
        w.Bitmap = Bitmap(image.Width(), image.Height(), 32);
    }
}

} // namespace

int ToolContext::Option(const char* box, const char* control) const {
    return Ws.Port ? Ws.Port->ToolOption(box, control) : 0;
}

void ToolContext::RepaintView() const {
    if (Ws.Port) Ws.Port->RepaintView();
}

// The tools that come with the program register themselves on first use.
void RegisterBuiltinTools() {
    RegisterSelectionTool();
    RegisterCropTool();
    RegisterPickAndFillTools();
    RegisterMultiClickTools();
}

Tool* ToolFor(int number) {
    static const bool registered = (RegisterBuiltinTools(), true);
    (void)registered;
    return number >= 0 && number <= 26 ? gTools[number] : nullptr;
}

void RegisterTool(int number, Tool* tool) {
    if (number >= 0 && number <= 26) gTools[number] = tool;
}

int HitTestHandles(Workspace& ws, int x, int y) {
    TImages& s = ws.Active();
    TToolVars& v = ws.ToolVars;
    const int L = s.DownX, T = s.DownY, R = v.SelRight, B = v.SelBottom;
    const bool nearL = InRange(x, L - 2, L + 2), nearR = InRange(x, R - 2, R + 2);
    const bool nearT = InRange(y, T - 2, T + 2), nearB = InRange(y, B - 2, B + 2);
    const bool midX = InRange(x, L + 3, R - 3), midY = InRange(y, T + 3, B - 3);
    if (nearL && nearT) return 1;
    if (nearR && nearB) return 2;
    if (nearL && nearB) return 3;
    if (nearR && nearT) return 4;
    if (midX && nearT) return 5;
    if (midX && nearB) return 6;
    if (nearL && midY) return 7;
    if (nearR && midY) return 8;
    if (midX && midY) {
        v.GrabLeft = x - L + 3;
        v.GrabTop = y - T + 3;
        v.GrabRight = R - x;
        v.GrabBottom = B - y;
        return 9;
    }
    return 0;
}

int HandleCursor(int code) {
    switch (code) {
    case 1:
    case 2:
        return kCursorSizeNWSE;
    case 3:
    case 4:
        return kCursorSizeNESW;
    case 5:
    case 6:
        return kCursorSizeNS;
    case 7:
    case 8:
        return kCursorSizeWE;
    default:
        return 0;
    }
}

void ApplyHandleDrag(Workspace& ws, int code, int x, int y) {
    TImages& s = ws.Active();
    TToolVars& v = ws.ToolVars;
    switch (code) {
    case 1:
        s.DownX = x, s.DownY = y;
        break;
    case 2:
        v.SelRight = x, v.SelBottom = y;
        break;
    case 3:
        s.DownX = x, v.SelBottom = y;
        break;
    case 4:
        s.DownY = y, v.SelRight = x;
        break;
    case 5:
        s.DownY = y;
        break;
    case 6:
        v.SelBottom = y;
        break;
    case 7:
        s.DownX = x;
        break;
    case 8:
        v.SelRight = x;
        break;
    case 9:
        s.DownX = x - v.GrabLeft + 3;
        s.DownY = y - v.GrabTop + 3;
        v.SelRight = x + v.GrabRight;
        v.SelBottom = y + v.GrabBottom;
        break;
    default:
        break;
    }
}

void PointerDown(Workspace& ws, int x, int y, int button) {
    const int slot = ws.ActiveSlot();
    if (slot < 0) return;
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    TToolVars& v = ws.ToolVars;
    ws.SysData.MouseDown = 1;
    v.RefreshAfter = 1;
    v.PressButton = static_cast<uint8_t>(button);
    const int tool = s.Tool;
    const bool bezierGoesOn = tool == ToolBezier && (v.BezierStage == 1 || v.BezierStage == 2);
    if (tool > 0 && tool != ToolText) {
        // A bezier curve is one history step over its three clicks.
        if (!bezierGoesOn && !PushHistory(ws, slot)) {
            // The snapshot could not be stored: the edit does not start.
            ws.SysData.MouseDown = 0;
            return;
        }
        s.Bitmap.SetBitsPerPixel(32);
        const bool keepBase = bezierGoesOn || (tool == ToolSelection && v.HasSelection) || v.CropShown ||
                              tool == ToolHistoryBrush;
        if (!keepBase) {
            ws.StrokeBase.Bitmap = s.Bitmap;
            ws.StrokeBase.Refill();
        }
        FillRowTable(s.Bitmap, s.Rows);
        if (tool != ToolSelection) {
            SizeLike(ws.StrokeOverlay, s.Bitmap);
            ws.StrokeOverlay.Bitmap.Fill(255, 255, 255, 0);
            ws.StrokeOverlay.Refill();
        }
    }
    const std::string_view step = ToolInfo(tool).StepName;
    if (!step.empty() && !bezierGoesOn) NameHistoryStep(ws, std::string(step));
    ToolContext ctx{ws, slot, s, v};
    if (Tool* t = ToolFor(tool)) t->Press(ctx, x, y);
    if (v.RefreshAfter == 1 && s.Tool > 0 && ws.Port) ws.Port->RefreshView();
}

void PointerMove(Workspace& ws, int x, int y) {
    const int slot = ws.ActiveSlot();
    if (slot < 0) return;
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    TToolVars& v = ws.ToolVars;
    const bool held = ws.SysData.MouseDown == 1;
    if (!held && ws.Port) {
        // Handle cursors: the selection rectangle's wins over the crop's.
        if (v.CropShown) ws.Port->SetCanvasCursor(HandleCursor(HitTestHandles(ws, x, y)));
        if (v.HasSelection && s.Tool == ToolSelection && SelectionType(ws) == SelRectangle)
            ws.Port->SetCanvasCursor(HandleCursor(HitTestHandles(ws, x, y)));
    }
    v.RefreshAfter = 1;
    if (!held) return;
    ToolContext ctx{ws, slot, s, v};
    if (Tool* t = ToolFor(s.Tool)) t->Move(ctx, x, y);
    if (v.RefreshAfter == 1 && ws.Port) ws.Port->RefreshView();
}

void PointerUp(Workspace& ws, int x, int y) {
    const int slot = ws.ActiveSlot();
    if (slot < 0) return;
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    TToolVars& v = ws.ToolVars;
    const bool wasDown = ws.SysData.MouseDown == 1;
    ws.SysData.MouseDown = 0;
    v.RefreshAfter = 1;
    if (!wasDown) return; // the press never started an edit
    ToolContext ctx{ws, slot, s, v};
    if (Tool* t = ToolFor(s.Tool)) t->Release(ctx, x, y);
    if (s.Tool != ToolText && v.RefreshAfter == 1 && ws.Port) ws.Port->RefreshView();
    if (ws.Port) ws.Port->RedrawLayerStrip(slot);
    FillRowTable(s.Bitmap, s.Rows);
}

bool SelectToolCore(Workspace& ws, int tool) {
    if (!ws.HasOpenImage()) return false;
    const int slot = ws.ActiveSlot();
    if (slot < 0) return false;
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    if (tool == ToolHistoryBrush && s.HistoryCount == 0) return false;
    TToolVars& v = ws.ToolVars;
    if (tool == ToolSelection) ForgetSelection(v);
    const TSelectOptions o = ReadSelectOptions(ws);
    if (!((o.ApplyToSelection || o.ExcludeSelection) && v.HasSelection)) {
        if (DropSelection(ws) && ws.Port) ws.Port->RefreshView();
        ForgetSelection(v);
    }
    // The crop rectangle belongs to the crop tool: with another tool it is
    // gone (the next refresh takes it off the view), so later presses take
    // their clean copy of the image again and show no crop handles.
    if (tool != ToolCrop) v.CropShown = 0;
    s.Tool = tool;
    if (tool == ToolText) ForgetSelection(v);
    return true;
}

} // namespace pixora
