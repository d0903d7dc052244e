#include "history/image_reset.h"

#include <algorithm>

#include "doc/tab_change.h"
#include "history/history_store.h"

namespace pixora {

void BlendTowardsOriginal(const Bitmap& original, Bitmap& current, int percent) {
    if (original.BitsPerPixel() != 32 || current.BitsPerPixel() != 32) return;
    const int p = std::clamp(percent, 0, 100), q = 100 - p;
    const int w = std::min(original.Width(), current.Width());
    const int h = std::min(original.Height(), current.Height());
    for (int y = 0; y < h; ++y) {
        const uint8_t* o = original.Row(y);
        uint8_t* c = current.Row(y);
        for (int x = 0; x < w * 4; x += 4)
            for (int i = 0; i < 3; ++i)
                c[x + i] = static_cast<uint8_t>(o[x + i] * p / 100 + c[x + i] * q / 100);
    }
}

bool ResetImage(Workspace& ws, int percent) {
    const TActiveImage active = ws.ActiveImage();
    if (!active) return false;
    const int slot = active.Slot;
    TImages& s = *active;
    if (!PushHistory(ws, slot)) return false;
    NameHistoryStep(ws, "Image Reset");
    Bitmap original;
    try {
        ReadStoredStep(ws, slot, 1, original);
    } catch (const std::exception& e) {
        ws.Port->ReportProblem("Could not read the undo step.", e.what());
        return false;
    }
    s.Bitmap.SetBitsPerPixel(32);
    BlendTowardsOriginal(original, s.Bitmap, percent);
    FillRowTable(s.Bitmap, s.Rows);
    TabChange(ws);
    return true;
}

} // namespace pixora
