#include "history/changed_step.h"

#include <cstring>
#include <utility>

#include "history/history_store.h"

namespace pixora {

bool SameBitmap(const Bitmap& a, const Bitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height() || a.BitsPerPixel() != b.BitsPerPixel()) return false;
    const std::size_t bytes = static_cast<std::size_t>(a.Width()) * a.BytesPerPixel();
    for (int y = 0; y < a.Height(); ++y)
        if (std::memcmp(a.Row(y), b.Row(y), bytes) != 0) return false;
    return true;
}

TStepStore StoreStepIfChanged(Workspace& ws, int slot, Bitmap& before, const std::string& name) {
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    if (!s.InUse || SameBitmap(before, s.Bitmap)) return TStepStore::Unchanged;
    // The snapshot is the image as it was: it is put in the image's place
    // while it is stored.
    std::swap(s.Bitmap, before);
    const bool stored = PushHistoryBehind(ws, slot);
    std::swap(s.Bitmap, before);
    if (!stored) {
        // The step cannot be stored (that is reported): the edit is taken back.
        s.Bitmap = std::move(before);
        FillRowTable(s.Bitmap, s.Rows);
        ws.Port->RefreshView();
        return TStepStore::Failed;
    }
    s.HistoryEntry(s.HistoryPos + 1).Name = name;
    RefreshHistoryMenus(ws);
    return TStepStore::Stored;
}

} // namespace pixora
