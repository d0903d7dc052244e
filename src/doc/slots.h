#pragma once
// Claiming, filling and releasing document slots.

#include <string>

#include "doc/workspace.h"

namespace pixora {

// Lowest index whose InUse is 0 (0..15).
int FindFreeSlot(const Workspace& ws);

// First step of every command that opens an image into a tab of its own:
// returns -1 (and changes nothing but the message of RoomForAnotherImage)
// when fifteen images are open; otherwise
// counts the image, marks the lowest free slot used and returns its index.
int ClaimSlot(Workspace& ws);

// Whether another image can be opened; when fifteen are, says so in a
// message and returns false. Every command that opens a tab asks first.
bool RoomForAnotherImage(Workspace& ws);

// Gives a claim back after a failed read: the slot is free again, the count
// restored, both bitmaps freed, and no tab was shown.
void AbandonClaim(Workspace& ws, int slot);

// What a filling command puts into a claimed slot.
struct SlotSource {
    std::string FileName = "Untitled.bmp";
    int32_t FileFormat = 1;
    bool FromFile = false;
    int32_t CanvasColour = 0xFFFFFF;
    // Whether the background layer copies the pixels at once; otherwise it
    // receives them when the layer is first stored, and until then the
    // image holds them alone (new and opened images: no second copy).
    bool CopyToBackground = true;
    // The opened file's colour profile, by its description.
    std::string ColourProfile;
};

// Fills a claimed slot with the given pixels (moved into Bitmap) and shows
// it: the frame shared by New, Open, Duplicate and Paste As New Image.
void FillSlot(Workspace& ws, int slot, Bitmap&& pixels, const SlotSource& source);

// Frees a slot on Close: InUse 0, one image fewer, tab hidden. Deleting the
// slot's history files is the caller's part.
void ReleaseSlot(Workspace& ws, int slot);

// The file-name part of a path (after the last '/' or '\').
std::string FileNamePart(const std::string& path);

// Drawing-colour helpers of a slot.
void SetFGColour(TImages& slot, int32_t colour);
void SetBGColour(TImages& slot, int32_t colour);
void ExchangeColours(TImages& slot);
void SetDefaultColours(TImages& slot);

} // namespace pixora
