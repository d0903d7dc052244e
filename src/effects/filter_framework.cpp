#include "effects/filter_framework.h"

#include <algorithm>
#include <exception>
#include <optional>

#include "doc/checkerboard.h"
#include "doc/display_copy.h"
#include "doc/row_ranges.h"
#include "effects/engine/effects.h"
#include "effects/recipes.h"
#include "history/changed_step.h"
#include "history/history_store.h"
#include "tools/tool_dispatch.h"
#include "tools/tool_table.h"

namespace pixora {

namespace {

struct TEffectsStorage final : WorkspaceExtension {
    TEffects Effects;
    std::optional<TLastFilter> Last;
};

TEffectsStorage& StorageOf(Workspace& ws) {
    if (!ws.EffectsStorage) ws.EffectsStorage = std::make_unique<TEffectsStorage>();
    return static_cast<TEffectsStorage&>(*ws.EffectsStorage);
}

// Colour bytes of x0..x1-1 of one row; the fourth bytes stay.
void CopyColourRun(const uint8_t* s, uint8_t* d, int x0, int x1) {
    s += 4 * static_cast<std::ptrdiff_t>(x0);
    d += 4 * static_cast<std::ptrdiff_t>(x0);
    for (int x = x0; x < x1; ++x, s += 4, d += 4) {
        d[0] = s[0];
        d[1] = s[1];
        d[2] = s[2];
    }
}

} // namespace

TEffects& EffectsOf(Workspace& ws) {
    return StorageOf(ws).Effects;
}

void CopyColourBytes(const Bitmap& source, Bitmap& target, const SelectionEditTest& test) {
    if (source.BitsPerPixel() != 32 || target.BitsPerPixel() != 32) return;
    const int w = std::min(source.Width(), target.Width());
    const int h = std::min(source.Height(), target.Height());
    if (w <= 0 || h <= 0) return;
    ForRowRanges(h, static_cast<std::size_t>(w) * 4 * static_cast<std::size_t>(h), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const uint8_t* s = source.Row(y);
            uint8_t* d = target.Row(y);
            if (!test.Active()) {
                CopyColourRun(s, d, 0, w);
                continue;
            }
            int x = 0;
            while (x < w) {
                while (x < w && !test.Test(x, y))
                    ++x;
                const int start = x;
                while (x < w && test.Test(x, y))
                    ++x;
                CopyColourRun(s, d, start, x);
            }
        }
    });
}

void FilterApply(Workspace& ws, Bitmap& source, Bitmap& target) {
    source.SetBitsPerPixel(32);
    target.SetBitsPerPixel(32);
    CopyColourBytes(source, target, SelectionEditTest(ws));
    if (const TActiveImage s = ws.ActiveImage()) s->Saved = 0;
}

bool PreviewFilter(Workspace& ws, TFilterOperation filter, bool readsDocument, const TEffectValues& values) {
    const TActiveImage s = ws.ActiveImage();
    if (!s || !filter) return false;
    // A filter that reads the document writes into the view's copy as it
    // is; the others start from a copy of the document made here.
    Bitmap& view = readsDocument ? DisplayCopyToDrawOn(ws) : ws.DisplayCopy;
    s->Bitmap.SetBitsPerPixel(32);
    bool done = false;
    try {
        if (!readsDocument) CopyBitmapInto(s->Bitmap, view);
        done = filter({EffectsOf(ws), s->Bitmap, view, values});
    } catch (const std::exception&) {
        done = false;
    }
    // A refused or failed filter shows the document as it is.
    if (!done) CopyBitmapInto(s->Bitmap, view);
    view.SetBitsPerPixel(32);
    FillRowTable(view, ws.SysData.ScratchRows);
    if (readsDocument) FillRowTable(s->Bitmap, s->Rows);
    ws.Port->RepaintView();
    return done;
}

bool CommitFilter(Workspace& ws, const std::string& stepName, Bitmap& source, bool useAsBrush,
                  const std::string& recipeStep) {
    const TActiveImage s = ws.ActiveImage();
    if (!s) return false;
    if (useAsBrush) {
        // The image stays as it is: no step and still saved. Each stroke of
        // the brush is a step of its own.
        TWorkBitmap& brush = ws.EffectBrushSource;
        if (brush.Bitmap.Width() != source.Width() || brush.Bitmap.Height() != source.Height() ||
            brush.Bitmap.BitsPerPixel() != 32)
            brush.Bitmap = Bitmap(source.Width(), source.Height(), 32);
        const uint8_t saved = s->Saved;
        FilterApply(ws, source, brush.Bitmap);
        s->Saved = saved;
        brush.Refill();
    } else {
        s->Bitmap.SetBitsPerPixel(32);
        Bitmap before = s->Bitmap;
        const uint8_t saved = s->Saved;
        FilterApply(ws, source, s->Bitmap);
        FillRowTable(s->Bitmap, s->Rows);
        // Filtered pixels the same as the image's make no step.
        const TStepStore stored = StoreStepIfChanged(ws, s.Slot, before, stepName);
        if (stored == TStepStore::Failed) return false;
        if (stored == TStepStore::Unchanged) s->Saved = saved;
        // Kept within a selection, the step is this image's alone.
        if (stored == TStepStore::Stored && !SelectionEditTest(ws).Active()) NoteRecipeStep(ws, recipeStep);
    }
    // The tool changes once the filtered pixels are in place, so letting go
    // of a selection cannot change what the selection edit test passed.
    SelectToolCore(ws, useAsBrush ? ToolEffectBrush : ToolNone);
    return true;
}

void RememberFilter(Workspace& ws, const TLastFilter& last) {
    if (last.Filter) StorageOf(ws).Last = last;
}

bool HasLastFilter(Workspace& ws) {
    return StorageOf(ws).Last.has_value();
}

bool RepeatLastFilter(Workspace& ws) {
    const std::optional<TLastFilter> last = StorageOf(ws).Last;
    if (!last || !ws.ActiveImage()) return false;
    const bool done = PreviewFilter(ws, last->Filter, last->ReadsDocument, last->Values) &&
                      CommitFilter(ws, last->StepName, DisplayCopyToDrawOn(ws), false, last->RecipeStep);
    if (const TActiveImage s = ws.ActiveImage()) FillRowTable(s->Bitmap, s->Rows);
    ws.Port->RefreshView();
    return done;
}

} // namespace pixora
