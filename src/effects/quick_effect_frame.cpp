#include "effects/quick_effect_frame.h"

#include "doc/checkerboard.h"
#include "doc/workspace.h"
#include "effects/recipes.h"
#include "history/changed_step.h"

namespace pixora {

bool ApplyQuickEffect(Workspace& ws, const TEffectRow& row, const TEffectSettings& settings) {
    const TActiveImage active = ws.ActiveImage();
    if (!row.Operation || !active) return false;
    TImages& s = *active;
    const SelectionEditTest test =
        row.HonoursSelection ? SelectionEditTest(ws) : SelectionEditTest::PassAll();
    // The effect works on 32 bits; the image as it was is kept at that depth
    // too, so that an effect that changes nothing compares equal to it.
    s.Bitmap.SetBitsPerPixel(32);
    FillRowTable(s.Bitmap, s.Rows);
    Bitmap before = s.Bitmap;
    TWorkBitmap& scratch = ws.FilterWork;
    CopyBitmapInto(s.Bitmap, scratch.Bitmap);
    scratch.Refill();
    row.Operation({s.Bitmap, scratch.Bitmap, test, settings});
    // The step holds the image as it was, and only when the effect changed it.
    const TStepStore stored = StoreStepIfChanged(ws, active.Slot, before, std::string(row.StepName));
    if (stored == TStepStore::Failed) return false;
    ws.Port->RefreshView();
    // Within a selection the step is this image's alone.
    if (stored == TStepStore::Stored && !test.Active()) NoteRecipeStep(ws, QuickEffectRecipeStep(row, settings));
    return true;
}

} // namespace pixora
