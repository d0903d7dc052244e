#include "tools/tool_dispatch.h"

#include <cstring>
#include <utility>

#include "doc/checkerboard.h"
#include "history/changed_step.h"
#include "history/history_store.h"
#include "tools/crop_tool.h"
#include "tools/selection.h"
#include "tools/tool_set.h"

namespace pixora {

namespace {

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

// ---- the context ------------------------------------------------------------

int ToolContext::Option(TOpt id) const {
    return Ws.Port->ToolOption(id);
}

const TStrokeOptionIds& ToolContext::StrokeOptions() const {
    return StrokeOptionIds(Row.OptionBox);
}

void ToolContext::RepaintView() const {
    Ws.Port->RepaintView();
}

void ToolContext::RefreshView() const {
    Ws.Port->RefreshView();
}

int32_t ToolContext::StrokeColour() const {
    return Vars.PressButton == 0 ? Slot.FGColour : Slot.BGColour;
}

int32_t ToolContext::FillColour() const {
    return Vars.PressButton == 0 ? Slot.BGColour : Slot.FGColour;
}

bool Tool::TakesStrokeBase(const ToolContext& c) const {
    return c.Row.TakesStrokeBase;
}

// ---- handles ----------------------------------------------------------------

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
    // Corners 1, 2 on the main diagonal and 3, 4 on the other; edges 5, 6
    // top and bottom, 7, 8 left and right.
    static constexpr int kCursors[] = {0,
                                       kCursorSizeNWSE,
                                       kCursorSizeNWSE,
                                       kCursorSizeNESW,
                                       kCursorSizeNESW,
                                       kCursorSizeNS,
                                       kCursorSizeNS,
                                       kCursorSizeWE,
                                       kCursorSizeWE};
    return code >= 1 && code <= 8 ? kCursors[code] : 0;
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

// ---- dispatch -----------------------------------------------------------------

void ToolSet::Down(int x, int y, int button) {
    const TActiveImage active = ws_.ActiveImage();
    if (!active) return;
    const int slot = active.Slot;
    TImages& s = *active;
    TToolVars& v = ws_.ToolVars;
    ws_.SysData.MouseDown = 1;
    v.RefreshAfter = 1;
    v.PressButton = static_cast<uint8_t>(button);
    const TToolDescription& row = Row(s.Tool);
    Tool* tool = For(s.Tool);
    ToolContext c{ws_, slot, s, v, row};
    // A press that goes on with an earlier step (a bezier curve is one step
    // over its three clicks) stores, copies and names nothing.
    const bool goesOn = tool && tool->ContinuesStep(c);
    // A step left open by a press whose release never came ends here.
    if (!goesOn) FinishStep();
    // While a crop rectangle is shown, StrokeBase keeps the image it was
    // drawn over, whatever the tool.
    const bool takeBase = row.PushesHistory && !goesOn && !v.CropShown &&
                          (tool ? tool->TakesStrokeBase(c) : row.TakesStrokeBase);
    if (row.PushesHistory) {
        s.Bitmap.SetBitsPerPixel(32);
        // The image as it is before the press; it becomes the step's
        // snapshot once the press has changed something (FinishStep).
        if (!goesOn) {
            pending_.Slot = slot;
            pending_.Pos = s.HistoryPos;
            pending_.Count = s.HistoryCount;
            pending_.Name = row.StepName;
            // The undo store's kept state serves when it holds the image as
            // it is; otherwise a copy of the press's own.
            pending_.Kept = CurrentKeptState(ws_, slot);
            if (!pending_.Kept) CopyBitmapInto(s.Bitmap, pending_.Before);
        }
        if (takeBase) {
            CopyBitmapInto(s.Bitmap, ws_.StrokeBase.Bitmap);
            ws_.StrokeBase.Refill();
        }
        FillRowTable(s.Bitmap, s.Rows);
        if (row.ClearsOverlay) {
            SizeLike(ws_.StrokeOverlay, s.Bitmap);
            ws_.StrokeOverlay.Bitmap.Fill(255, 255, 255, 0);
            ws_.StrokeOverlay.Refill();
        }
        Unpark(row, takeBase, s.Bitmap);
    }
    // What this press made, for Rest to give back once the edit is done.
    if (!goesOn) {
        made_ = {};
        if (takeBase) made_ = {slot, s.HistoryPos, ws_.StrokeBase.Bitmap.Data(), nullptr};
        if (row.PushesHistory && row.ClearsOverlay) made_.Overlay = ws_.StrokeOverlay.Bitmap.Data();
    }
    ws_.ViewChanged.Reset();
    if (tool) tool->Press(c, x, y);
    if (v.RefreshAfter == 1 && Row(s.Tool).RefreshAfterPress) ShowChanges();
}

void ToolSet::Move(int x, int y) {
    const TActiveImage active = ws_.ActiveImage();
    if (!active) return;
    const int slot = active.Slot;
    TImages& s = *active;
    TToolVars& v = ws_.ToolVars;
    const bool held = ws_.SysData.MouseDown == 1;
    ToolContext c{ws_, slot, s, v, Row(s.Tool)};
    Tool* tool = For(s.Tool);
    if (!held) {
        // The crop rectangle's handles show their cursors whatever the tool;
        // the tool's own hover comes after and wins.
        if (v.CropShown) ws_.Port->SetCanvasCursor(HandleCursor(HitTestHandles(ws_, x, y)));
        if (tool) tool->Hover(c, x, y);
    }
    v.RefreshAfter = 1;
    if (!held) return;
    ws_.ViewChanged.Reset();
    if (tool) tool->Move(c, x, y);
    if (v.RefreshAfter == 1) ShowChanges();
}

void ToolSet::Up(int x, int y) {
    const TActiveImage active = ws_.ActiveImage();
    if (!active) return;
    const int slot = active.Slot;
    TImages& s = *active;
    TToolVars& v = ws_.ToolVars;
    const bool wasDown = ws_.SysData.MouseDown == 1;
    ws_.SysData.MouseDown = 0;
    v.RefreshAfter = 1;
    if (!wasDown) return; // the press never started an edit
    ToolContext c{ws_, slot, s, v, Row(s.Tool)};
    Tool* tool = For(s.Tool);
    ws_.ViewChanged.Reset();
    if (tool) tool->Release(c, x, y);
    // A curve's step goes on over its clicks; any other ends with the release.
    if (!(tool && tool->ContinuesStep(c))) FinishStep();
    if (v.RefreshAfter == 1 && Row(s.Tool).RefreshAfterRelease) ShowChanges();
    ws_.Port->RedrawLayerStrip(slot);
    FillRowTable(s.Bitmap, s.Rows);
}

void ToolSet::ShowChanges() {
    const TChangedArea& changed = ws_.ViewChanged;
    if (!changed.Known())
        ws_.Port->RefreshView();
    else if (!changed.Empty())
        ws_.Port->RefreshViewArea(changed.Box());
}

void ToolSet::FinishStep() {
    if (pending_.Slot < 0) return;
    TImages& s = ws_.Images[static_cast<std::size_t>(pending_.Slot)];
    const int slot = pending_.Slot;
    pending_.Slot = -1;
    const Bitmap* kept = pending_.Kept;
    pending_.Kept = nullptr;
    // No image-sized copy is held at rest.
    Bitmap before = std::move(pending_.Before);
    pending_.Before = Bitmap();
    if (s.HistoryPos != pending_.Pos || s.HistoryCount != pending_.Count) return; // stored by the step between
    if (kept)
        StoreKeptStepIfChanged(ws_, slot, *kept, std::string(pending_.Name));
    else
        StoreStepIfChanged(ws_, slot, before, std::string(pending_.Name));
}

namespace {

// What the active slot's tool answers; nothing without an image or a tool.
template <class Ask>
auto AskActiveTool(const ToolSet& set, Workspace& ws, Ask ask)
    -> decltype(ask(std::declval<const Tool&>(), std::declval<const ToolContext&>())) {
    const TActiveImage active = ws.ActiveImage();
    if (!active) return std::nullopt;
    TImages& s = *active;
    const Tool* tool = set.For(s.Tool);
    if (!tool) return std::nullopt;
    const ToolContext c{ws, active.Slot, s, ws.ToolVars, set.Row(s.Tool)};
    return ask(*tool, c);
}

} // namespace

std::optional<TStampOutline> ToolSet::StampOutline(int x, int y) {
    return AskActiveTool(*this, ws_, [x, y](const Tool& t, const ToolContext& c) { return t.StampOutline(c, x, y); });
}

std::optional<TRect> ToolSet::DragSpan() {
    if (ws_.SysData.MouseDown != 1) return std::nullopt;
    return AskActiveTool(*this, ws_, [](const Tool& t, const ToolContext& c) { return t.DragSpan(c); });
}

void ToolSet::DoubleClick() {
    if (ws_.ActiveImage()) ApplyCrop(ws_);
}

bool ToolSet::Cancel() {
    const TActiveImage active = ws_.ActiveImage();
    if (!active) return false;
    TImages& s = *active;
    TToolVars& v = ws_.ToolVars;
    const bool held = ws_.SysData.MouseDown == 1;
    ToolContext c{ws_, active.Slot, s, v, Row(s.Tool)};
    Tool* tool = For(s.Tool);
    bool dropped = tool && tool->Cancel(c, held);
    // The drag is over: its release must not finish what was dropped.
    if (dropped && held) ws_.SysData.MouseDown = 0;
    if (v.CropShown) {
        v.CropShown = 0;
        ws_.Port->RefreshView();
        dropped = true;
    }
    return dropped;
}

bool ToolSet::Choose(int tool) {
    const TActiveImage active = ws_.ActiveImage();
    if (!active) return false;
    const int slot = active.Slot;
    TImages& s = *active;
    const TToolDescription& row = Row(tool);
    if (row.NeedsHistoryStep && s.HistoryCount == 0) return false;
    TToolVars& v = ws_.ToolVars;
    if (s.Tool != tool)
        if (Tool* old = For(s.Tool)) {
            ToolContext c{ws_, slot, s, v, Row(s.Tool)};
            old->Left(c);
        }
    const TSelectOptions o = ReadSelectOptions(ws_);
    if (!((o.ApplyToSelection || o.ExcludeSelection) && v.HasSelection)) ForgetSelection(v);
    // The crop rectangle belongs to the crop tool: with another tool it is
    // gone (the next refresh takes it off the view), so later presses take
    // their clean copy of the image again and show no crop handles.
    if (!row.KeepsCropRectangle) v.CropShown = 0;
    s.Tool = tool;
    if (Tool* chosen = For(tool)) {
        ToolContext c{ws_, slot, s, v, row};
        chosen->Chosen(c);
    }
    return true;
}

// ---- the workspace's entry points ------------------------------------------------

void PointerDown(Workspace& ws, int x, int y, int button) {
    ToolsOf(ws).Down(x, y, button);
}
void PointerMove(Workspace& ws, int x, int y) {
    ToolsOf(ws).Move(x, y);
}
void PointerUp(Workspace& ws, int x, int y) {
    ToolsOf(ws).Up(x, y);
}
void PointerDoubleClick(Workspace& ws) {
    ToolsOf(ws).DoubleClick();
}
bool CancelToolWork(Workspace& ws) {
    return ToolsOf(ws).Cancel();
}
bool SelectToolCore(Workspace& ws, int tool) {
    return ToolsOf(ws).Choose(tool);
}

} // namespace pixora
