#include "history/changed_step.h"

#include <cstring>
#include <utility>

#include "doc/checkerboard.h"
#include "history/history_store.h"
#include "history/tile_snapshot.h"

namespace pixora {

namespace {

// The end of both: a step stored is named; one that could not be (that is
// reported) has had the image put back as it was, which is shown.
TStepStore StepOutcome(Workspace& ws, TImages& s, bool stored, const std::string& name) {
    if (!stored) {
        FillRowTable(s.Bitmap, s.Rows);
        ws.Port->RefreshView();
        return TStepStore::Failed;
    }
    s.HistoryEntry(s.HistoryPos + 1).Name = name;
    RefreshHistoryMenus(ws);
    return TStepStore::Stored;
}

} // namespace

TStepStore StoreStepIfChanged(Workspace& ws, int slot, Bitmap& before, const std::string& name) {
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    if (!s.InUse || SameBitmap(before, s.Bitmap)) return TStepStore::Unchanged;
    // The snapshot is the image as it was: it is put in the image's place
    // while it is stored.
    std::swap(s.Bitmap, before);
    const bool stored = PushHistoryBehind(ws, slot);
    std::swap(s.Bitmap, before);
    if (!stored) s.Bitmap = std::move(before);
    return StepOutcome(ws, s, stored, name);
}

TStepStore StoreKeptStepIfChanged(Workspace& ws, int slot, const Bitmap& kept, const std::string& name) {
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    if (!s.InUse) return TStepStore::Unchanged;
    if (kept.Width() != s.Bitmap.Width() || kept.Height() != s.Bitmap.Height() ||
        kept.BitsPerPixel() != s.Bitmap.BitsPerPixel()) {
        Bitmap before = kept;
        return StoreStepIfChanged(ws, slot, before, name);
    }
    const std::vector<TTileIndex> changed = ChangedTiles(kept, s.Bitmap);
    if (changed.empty()) return TStepStore::Unchanged;
    const bool stored = PushKeptState(ws, slot, changed);
    if (!stored) CopyBitmapInto(kept, s.Bitmap);
    return StepOutcome(ws, s, stored, name);
}

} // namespace pixora
