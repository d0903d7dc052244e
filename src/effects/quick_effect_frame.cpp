#include "effects/quick_effect_frame.h"

#include "doc/checkerboard.h"
#include "doc/workspace.h"
#include "effects/recipes.h"
#include "history/history_store.h"

namespace pixora {

bool ApplyQuickEffect(Workspace& ws, const TEffectRow& row, const TEffectSettings& settings) {
    const TActiveImage active = ws.ActiveImage();
    if (!row.Operation || !active) return false;
    TImages& s = *active;
    if (!PushHistory(ws, active.Slot)) return false;
    NameHistoryStep(ws, std::string(row.StepName));
    const SelectionEditTest test =
        row.HonoursSelection ? SelectionEditTest(ws) : SelectionEditTest::PassAll();
    // Within a selection the step is this image's alone.
    if (!test.Active()) NoteRecipeStep(ws, QuickEffectRecipeStep(row, settings));
    s.Bitmap.SetBitsPerPixel(32);
    FillRowTable(s.Bitmap, s.Rows);
    TWorkBitmap& scratch = ws.FilterWork;
    CopyBitmapInto(s.Bitmap, scratch.Bitmap);
    scratch.Refill();
    row.Operation({s.Bitmap, scratch.Bitmap, test, settings});
    ws.Port->RefreshView();
    return true;
}

} // namespace pixora
