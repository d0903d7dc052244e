#include "doc/slots.h"

#include <utility>

#include "doc/tab_change.h"

namespace pixora {

int FindFreeSlot(const Workspace& ws) {
    for (int i = 0; i < kSlotCount; ++i)
        if (!ws.Images[static_cast<std::size_t>(i)].InUse) return i;
    return kSlotCount - 1;
}

bool RoomForAnotherImage(Workspace& ws) {
    if (ws.SysData.OpenCount < kMaxOpenImages - 1) return true;
    ws.Port->ReportProblem("No more than " + std::to_string(kMaxOpenImages) +
                               " images can be open at once. Close one to open another.",
                           "");
    return false;
}

int ClaimSlot(Workspace& ws) {
    if (!RoomForAnotherImage(ws)) return -1;
    ws.SysData.OpenCount += 1;
    const int slot = FindFreeSlot(ws);
    ws.Images[static_cast<std::size_t>(slot)].InUse = 1;
    return slot;
}

void AbandonClaim(Workspace& ws, int slot) {
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    ws.SysData.OpenCount -= 1;
    s.InUse = 0;
    s.Bitmap.Clear();
    s.BackBitmap.Clear();
    s.Rows.Entries.clear();
    s.BackRows.Entries.clear();
}

std::string FileNamePart(const std::string& path) {
    const auto pos = path.find_last_of("/\\");
    return pos == std::string::npos ? path : path.substr(pos + 1);
}

void SetFGColour(TImages& slot, int32_t colour) {
    slot.FGColour = colour;
    slot.FGRed = RedOf(colour);
    slot.FGGreen = GreenOf(colour);
    slot.FGBlue = BlueOf(colour);
}

void SetBGColour(TImages& slot, int32_t colour) {
    slot.BGColour = colour;
    slot.BGRed = RedOf(colour);
    slot.BGGreen = GreenOf(colour);
    slot.BGBlue = BlueOf(colour);
}

void ExchangeColours(TImages& slot) {
    std::swap(slot.FGColour, slot.BGColour);
    std::swap(slot.FGRed, slot.BGRed);
    std::swap(slot.FGGreen, slot.BGGreen);
    std::swap(slot.FGBlue, slot.BGBlue);
}

void SetDefaultColours(TImages& slot) {
    SetFGColour(slot, 0);
    SetBGColour(slot, 0xFFFFFF);
}

void FillSlot(Workspace& ws, int slot, Bitmap&& pixels, const SlotSource& source) {
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    s.ZoomNum = 1;
    s.ZoomDen = 1;
    pixels.SetBitsPerPixel(32);
    s.Bitmap = std::move(pixels);
    if (source.CopyToBackground) {
        s.BackBitmap = s.Bitmap;
    } else {
        s.BackBitmap = Bitmap(s.Bitmap.Width(), s.Bitmap.Height(), 32);
    }
    FillRowTable(s.BackBitmap, s.BackRows);

    s.FileName = source.FileName;
    s.FileFormat = source.FileFormat;
    s.HasFile = source.FromFile ? 1 : 0;
    s.ColourProfile = source.ColourProfile;
    s.CanvasColour = source.CanvasColour;
    s.HistoryCount = 0;
    s.HistoryPos = 0;
    s.Tool = 0;
    s.LayerCount = 1;
    s.CurrentLayer = 1;
    s.AlphaViewMode = 2;
    // Upper layers of an earlier image in this slot are gone.
    s.Layers.assign(2, TLayer{});
    // A file's metadata is the opening command's to add; nothing else has any.
    s.Metadata = TPhotoMetadata{};
    s.RemoveLocation = 0;

    FillRowTable(s.Bitmap, s.Rows);

    ws.Port->ShowTabPage(slot, FileNamePart(s.FileName));

    s.LayerStrip = Bitmap(0, 0, 32);
    s.OrigWidth = s.Bitmap.Width();
    s.OrigHeight = s.Bitmap.Height();
    s.History.assign(2, THistory{});
    s.History[1].Name = "Original Image";

    SetDefaultColours(s);

    s.Saved = source.FromFile ? 1 : 0;
    ws.Port->RedrawLayerStrip(slot);
    TabChange(ws);
}

void ReleaseSlot(Workspace& ws, int slot) {
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    s.InUse = 0;
    ws.SysData.OpenCount -= 1;
    ws.Port->HideTabPage(slot);
}

} // namespace pixora
