#include "tools/selection_invert.h"

#include <string>

#include "doc/checkerboard.h"
#include "history/changed_step.h"
#include "tools/selection.h"
#include "tools/tool_set.h"
#include "tools/tool_table.h"

namespace pixora {

namespace {

// The image-size mask of the selection at its place, inverted: white where
// it selects, black (selected) everywhere else.
void InvertedMask(const Workspace& ws, const TImages& s, TWorkBitmap& into) {
    const TToolVars& v = ws.ToolVars;
    MaskIntoOverlay(ws.SelectionMask.Bitmap, v.MaskLeft, v.MaskTop, s.Bitmap, into);
    Bitmap& m = into.Bitmap;
    for (int y = 0; y < m.Height(); ++y) {
        uint8_t* row = m.Row(y);
        for (int x = 0; x < m.Width() * 4; ++x)
            row[x] = static_cast<uint8_t>(255 - row[x]);
    }
}

} // namespace

bool InvertSelection(Workspace& ws) {
    const TActiveImage active = ws.ActiveImage();
    if (!active) return false;
    TImages& s = *active;
    TToolVars& v = ws.ToolVars;
    const bool had = v.HasSelection && SelectionOwner(ws) == active.Slot;
    if (!had) {
        SelectAll(ws);
        return true;
    }
    // The selection tool's set must exist, so that the new selection is
    // committed before the image is replaced.
    ToolsOf(ws);
    // Without an option keeping the selection for another tool's edits, the
    // selection is the selection tool's, as after Select All.
    const TSelectOptions o = ReadSelectOptions(ws);
    if (!o.ApplyToSelection && !o.ExcludeSelection) s.Tool = ToolSelection;
    s.Bitmap.SetBitsPerPixel(32);
    InvertedMask(ws, s, ws.StrokeOverlay);
    // The floating pixels go into the image where they float now; a move
    // they made is a step of the selection tool's, as a press outside the
    // selection would have stored it.
    Bitmap before = s.Bitmap;
    if (!DropSelection(ws)) ForgetSelection(v);
    if (StoreStepIfChanged(ws, active.Slot, before, std::string(ToolDescription(ToolSelection).StepName)) ==
        TStepStore::Failed)
        return true;
    ws.StrokeBase.Bitmap = s.Bitmap;
    ws.StrokeBase.Refill();
    ws.SelectionMask.Bitmap = ws.StrokeOverlay.Bitmap;
    ws.SelectionMask.Refill();
    ws.Port->SetToolOption(TOpt::SelectionType, SelMagicWand);
    const bool any = TightenSelection(ws, s);
    if (any) {
        v.HasSelection = 1;
        v.SelectionSlot = active.Slot;
        v.FloatInset = 1;
        v.HandleHit = 0;
        v.MaskLeft = s.DownX;
        v.MaskTop = s.DownY;
        // The overlay keeps the image-size mask, as after a wand click.
        MaskIntoOverlay(ws.SelectionMask.Bitmap, v.MaskLeft, v.MaskTop, s.Bitmap, ws.StrokeOverlay);
    }
    FillRowTable(s.Bitmap, s.Rows);
    ws.Port->UpdateCommandStates();
    ws.Port->RefreshView();
    // A selection kept for another tool is outlined by the refresh itself.
    if (any && s.Tool == ToolSelection) {
        DrawSelectionOutline(ws, SelMagicWand);
        ws.Port->RepaintView();
    }
    return true;
}

} // namespace pixora
