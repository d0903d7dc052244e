#include "history/undo_history_list.h"

#include <algorithm>
#include <cstring>

#include "doc/canvas.h"
#include "history/history_store.h"

namespace pixora {

namespace {

constexpr int32_t kWhite = 0xFFFFFF;

// Copies a thumbnail's pixels (opaque) to (left, top) of the list, clipped.
void DrawThumb(const Bitmap& thumb, Bitmap& list, int left, int top) {
    if (thumb.BitsPerPixel() != 32) return;
    const int x0 = std::max(left, 0), x1 = std::min(left + thumb.Width(), list.Width());
    const int y0 = std::max(top, 0), y1 = std::min(top + thumb.Height(), list.Height());
    for (int y = y0; y < y1; ++y) {
        const uint8_t* src = thumb.Row(y - top) + static_cast<std::size_t>(x0 - left) * 4;
        uint8_t* dst = list.Row(y) + static_cast<std::size_t>(x0) * 4;
        for (int x = x0; x < x1; ++x, src += 4, dst += 4) {
            std::memcpy(dst, src, 3);
            dst[3] = 0;
        }
    }
}

} // namespace

int HistoryListHeight(int count) {
    return kHistoryRowHeight * std::max(count, 0) + 55;
}

int HistoryScrollMax(int count) {
    return std::max(HistoryListHeight(count) - kHistoryPanelHeight, 0);
}

int HistoryRowAt(int y, int count) {
    if (y < 0) return 0;
    const int row = y / kHistoryRowHeight, at = y % kHistoryRowHeight;
    if (row >= count || at < 5 || at > 55) return 0;
    return row + 1;
}

void DrawHistoryList(const TImages& s, int selectedStep, int width, Bitmap& list,
                     const THistoryRowColours& colours) {
    const int c = s.HistoryCount;
    list = Bitmap(std::max(width, 0), HistoryListHeight(c), 32);
    Canvas canvas(list);
    canvas.PenColour = 0;
    canvas.BrushColour = kWhite;
    canvas.FillRect({0, 0, list.Width(), list.Height()});
    for (int i = 1; i <= c; ++i) {
        const int y = kHistoryRowHeight * (i - 1);
        canvas.BrushColour = i == selectedStep ? colours.Highlight : kWhite;
        canvas.FillRect({1, y + 4, list.Width(), y + 56});
        canvas.Font.Colour = i == selectedStep ? colours.HighlightText : 0;
        canvas.TextOut(60, y + 20, HistoryName(s, i));
        canvas.BrushColour = kWhite;
        canvas.Rectangle(1, y + 4, 53, y + 56);
        if (i < static_cast<int>(s.History.size())) {
            const Bitmap& thumb = s.History[static_cast<std::size_t>(i)].Thumb;
            DrawThumb(thumb, list, 27 - thumb.Width() / 2, y + 30 - thumb.Height() / 2);
        }
    }
}

bool ReadHistoryState(Workspace& ws, int slot, int target, Bitmap& into) {
    if (slot < 0 || slot >= kSlotCount || target < 0) return false;
    const TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    if (!s.InUse) return false;
    if (target == s.HistoryPos) {
        // The state on screen (the newest one is not stored yet).
        into = s.Bitmap;
        return true;
    }
    const int stored = s.HistoryPos == s.HistoryCount ? s.HistoryCount + 1 : s.HistoryCount;
    if (target >= stored) return false;
    ReadStoredStep(ws, slot, target + 1, into);
    return true;
}

bool LoadHistoryBrushSource(Workspace& ws, int target) {
    const TActiveImage active = ws.ActiveImage();
    if (!active) return false;
    if (active->HistoryPos == 0) return false;
    Bitmap source;
    try {
        if (!ReadHistoryState(ws, active.Slot, target, source)) return false;
    } catch (const std::exception& e) {
        ws.Port->ReportProblem("Could not read the undo step.", e.what());
        return false;
    }
    ws.StrokeBase.Bitmap = std::move(source);
    ws.StrokeBase.Bitmap.SetBitsPerPixel(32);
    ws.StrokeBase.Refill();
    ws.Port->UpdateCommandStates();
    ws.Port->RefreshHistoryMenus();
    return true;
}

} // namespace pixora
