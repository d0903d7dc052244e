#include "io/open_commands.h"

#include <new>
#include <utility>

#include "doc/layers.h"
#include "doc/slots.h"
#include "doc/tab_change.h"
#include "history/history_store.h"
#include "io/codecs/image_codecs.h"
#include "io/codecs/photo_metadata.h"
#include "io/file_slots.h"
#include "io/recent_files.h"

namespace pixora {

bool RoomToOpen(Workspace& ws) {
    if (ws.SysData.OpenCount < kMaxOpenImages - 1) return true;
    ws.Port->ReportProblem(kTooManyImagesHeadline, kTooManyImagesDetail);
    return false;
}

int LoadIntoNewSlot(Workspace& ws, const std::string& path, ReadAhead* ahead) {
    if (!RoomToOpen(ws)) return -1;
    const int slot = ClaimSlot(ws);
    if (slot < 0) return -1;
    const int format = FormatFromExtension(path);
    // Remembered before reading, so that a file that fails is still listed.
    AddRecentFile(ws, path);
    Bitmap pixels;
    TReadNotes notes;
    try {
        pixels = ahead && ahead->Holds(path) ? ahead->Take(&notes) : LoadImageFile(path, format, &notes);
    } catch (const std::exception& e) {
        AbandonClaim(ws, slot);
        ws.Port->ReportError(2, e.what());
        return -1;
    }
    SlotSource source;
    source.FileName = path;
    source.FileFormat = format;
    source.FromFile = true;
    source.CanvasColour = 0xFFFFFF;
    // The background layer's own copy waits until a layer is first stored:
    // until then the image itself holds layer 1's pixels.
    source.CopyToBackground = false;
    source.ColourProfile = notes.ColourProfile;
    try {
        FillSlot(ws, slot, std::move(pixels), source);
    } catch (const std::bad_alloc&) {
        ws.Port->HideTabPage(slot);
        AbandonClaim(ws, slot);
        ws.Port->ReportError(2, "Not enough memory to hold the image.");
        return -1;
    }
    TImages& s = SlotAt(ws, slot);
    s.Metadata = ReadPhotoMetadata(path);
    SetDefaultSaveOptions(s);
    return slot;
}

int OpenRecentFile(Workspace& ws, int index) {
    if (index < 0 || index >= kRecentFileCount) return -1;
    const std::string path = ws.ToolVars.RecentFiles[static_cast<std::size_t>(index)];
    if (path.empty()) return -1;
    return LoadIntoNewSlot(ws, path);
}

bool ReopenFile(Workspace& ws) {
    if (!ws.HasOpenImage()) return false;
    const int slot = ws.ActiveSlot();
    if (!ValidSlot(ws, slot)) return false;
    TImages& s = SlotAt(ws, slot);
    if (!s.HasFile) return false;
    Bitmap fresh;
    TReadNotes notes;
    try {
        fresh = LoadImageFile(s.FileName, s.FileFormat, &notes);
    } catch (const std::exception& e) {
        ws.Port->ReportError(2, e.what());
        return false;
    }
    if (!PushHistory(ws, slot)) return false;
    NameHistoryStep(ws, "ReOpened Image");
    fresh.SetBitsPerPixel(32);
    s.Bitmap = std::move(fresh);
    s.Metadata = ReadPhotoMetadata(s.FileName);
    FillRowTable(s.Bitmap, s.Rows);
    StoreCurrentLayer(s);
    s.Saved = 1;
    s.ColourProfile = notes.ColourProfile;
    TabChange(ws);
    return true;
}

} // namespace pixora
