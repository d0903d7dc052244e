#include "io/file_slots.h"

#include "doc/slots.h"

namespace pixora {

TImages& SlotAt(Workspace& ws, int slot) {
    return ws.Images[static_cast<std::size_t>(slot)];
}

void SetDefaultSaveOptions(TImages& s) {
    s.SavePixelFormat = 2;
    s.JpegQuality = 100;
    s.WebpQuality = 90;
    s.WebpLossless = 0;
}

bool ValidSlot(const Workspace& ws, int slot) {
    return ws.HasOpenImage() && slot >= 0 && slot < kMaxOpenImages &&
           ws.Images[static_cast<std::size_t>(slot)].InUse;
}

std::string NotEnoughMemory(long long w, long long h) {
    return "There is not enough memory for an image of " + std::to_string(w) + " x " + std::to_string(h) +
           " pixels.";
}

std::string MainWindowCaption(const Workspace& ws) {
    const int slot = ws.ActiveSlot();
    if (!ValidSlot(ws, slot)) return "Pixora";
    const TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    return FileNamePart(s.FileName) + (s.Saved ? "" : " *") + " - Pixora";
}

} // namespace pixora
