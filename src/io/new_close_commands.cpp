#include "io/new_close_commands.h"

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <new>
#include <utility>

#include "doc/slots.h"
#include "doc/tab_change.h"
#include "history/history_store.h"
#include "io/file_slots.h"
#include "io/recent_files.h"
#include "io/save_commands.h"

namespace pixora {

namespace {

// Frees everything a closed slot owned and hides its tab.
void EmptySlot(Workspace& ws, int slot) {
    TImages& s = SlotAt(ws, slot);
    DeleteSlotHistoryFiles(ws, slot);
    s.History.assign(2, THistory{});
    s.HistoryCount = 0;
    s.HistoryPos = 0;
    s.Bitmap.Clear();
    s.BackBitmap.Clear();
    s.Rows.Entries.clear();
    s.BackRows.Entries.clear();
    s.Layers.assign(2, TLayer{});
    s.LayerStrip.Clear();
    ReleaseSlot(ws, slot);
}

// After a slot was emptied: the recent list is read again and the window
// shows what is left.
void AfterClosing(Workspace& ws) {
    LoadRecentFiles(ws);
    // Without a window there is nothing to show it on.
    if (!ws.HasWindow()) return;
    if (ws.HasOpenImage())
        TabChange(ws);
    else
        ws.Port->UpdateCommandStates();
}

} // namespace

int ClaimAndFill(Workspace& ws, Bitmap&& pixels, const SlotSource& source, std::string& message) {
    const int w = pixels.Width(), h = pixels.Height();
    const int slot = ClaimSlot(ws);
    if (slot < 0) return -1;
    try {
        FillSlot(ws, slot, std::move(pixels), source);
    } catch (const std::bad_alloc&) {
        ws.Port->HideTabPage(slot);
        AbandonClaim(ws, slot);
        message = NotEnoughMemory(w, h);
        return -1;
    }
    SetDefaultSaveOptions(SlotAt(ws, slot));
    return slot;
}

bool ImageSizeFits(long long width, long long height) {
    if (width <= 0 || height <= 0) return false;
    // The largest side the bitmap and view code can address in int.
    constexpr long long kMaxSide = 1LL << 28;
    if (width > kMaxSide || height > kMaxSide) return false;
    // About ten image-sized 32-bit bitmaps follow an image around (working
    // copy, background, display copy, checkerboard, the work bitmaps).
    const double need = static_cast<double>(width) * static_cast<double>(height) * 4.0 * 10.0;
    const long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGE_SIZE);
    double have =
        pages > 0 && pageSize > 0 ? static_cast<double>(pages) * static_cast<double>(pageSize) : 0.0;
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    long long kb = 0;
    std::string unit;
    while (meminfo >> key >> kb >> unit)
        if (key == "MemAvailable:") {
            have = static_cast<double>(kb) * 1024.0;
            break;
        }
    return have <= 0.0 || need <= have;
}

int CreateBlankImage(Workspace& ws, const TNewImage& request, std::string& message) {
    message.clear();
    if (!RoomForAnotherImage(ws)) return -1;
    if (!ImageSizeFits(request.Width, request.Height)) {
        message = NotEnoughMemory(request.Width, request.Height);
        return -1;
    }
    Bitmap pixels;
    try {
        pixels = Bitmap(request.Width, request.Height, 32);
    } catch (const std::bad_alloc&) {
        message = NotEnoughMemory(request.Width, request.Height);
        return -1;
    }
    pixels.Fill(BlueOf(request.Colour), GreenOf(request.Colour), RedOf(request.Colour),
                static_cast<uint8_t>(std::clamp(request.Transparency, 0, 255)));
    SlotSource source;
    source.CanvasColour = request.Colour;
    source.CopyToBackground = false;
    return ClaimAndFill(ws, std::move(pixels), source, message);
}

int DuplicateImage(Workspace& ws, std::string& message) {
    message.clear();
    const int src = ws.ActiveSlot();
    if (!ValidSlot(ws, src) || ws.SysData.OpenCount >= kMaxOpenImages - 1) return -1;
    const TImages& S = SlotAt(ws, src);
    Bitmap pixels;
    try {
        if (!ImageSizeFits(S.Bitmap.Width(), S.Bitmap.Height())) throw std::bad_alloc();
        pixels = S.Bitmap;
    } catch (const std::bad_alloc&) {
        message = NotEnoughMemory(S.Bitmap.Width(), S.Bitmap.Height());
        return -1;
    }
    SlotSource source;
    source.CanvasColour = S.CanvasColour;
    source.CopyToBackground = false;
    const int slot = ClaimAndFill(ws, std::move(pixels), source, message);
    if (slot < 0) return -1;
    TImages& D = SlotAt(ws, slot);
    const TImages& from = SlotAt(ws, src);
    SetFGColour(D, from.FGColour);
    SetBGColour(D, from.BGColour);
    D.ZoomNum = from.ZoomNum;
    D.ZoomDen = from.ZoomDen;
    // Shown again with the zoom taken over.
    TabChange(ws);
    return slot;
}

bool CloseImage(Workspace& ws, int slot, FileQuestions& q) {
    if (!ValidSlot(ws, slot)) return false;
    if (!AskSaveChanges(ws, slot, q)) return false;
    EmptySlot(ws, slot);
    AfterClosing(ws);
    return true;
}

bool CloseAllImages(Workspace& ws, FileQuestions& q) {
    if (!AskSaveChanges(ws, -1, q)) return false;
    for (int i = 0; i < kMaxOpenImages; ++i)
        if (SlotAt(ws, i).InUse) EmptySlot(ws, i);
    AfterClosing(ws);
    return true;
}

} // namespace pixora
