#pragma once
// New, duplicate, close and close all.

#include <string>

#include "doc/slots.h"
#include "doc/workspace.h"
#include "io/file_questions.h"

namespace pixora {

struct TNewImage {
    int Width = 400;
    int Height = 400;
    int32_t Colour = 0xFFFFFF; // background, red in the low byte
    int Transparency = 0;      // written into every pixel's fourth byte
};

// Room for an image of w x h with everything that follows it around (the
// layer copy, the view's copies and the image-sized work bitmaps).
bool ImageSizeFits(long long width, long long height);

// Claims the lowest free slot and fills it with `pixels` (doc/slots.h), with
// the default save options. Returns -1 with fifteen images open; a failure
// to allocate what the slot needs besides gives the claim back (message set).
int ClaimAndFill(Workspace& ws, Bitmap&& pixels, const SlotSource& source, std::string& message);

// Makes a new image in the lowest free slot. Returns the slot; -1 with
// fifteen images open (message empty) or when the size cannot be had
// (message set, nothing claimed).
int CreateBlankImage(Workspace& ws, const TNewImage& request, std::string& message);

// A copy of the active image's working bitmap in a new slot, with the
// source's zoom, drawing colours and canvas colour. Returns the slot or -1.
int DuplicateImage(Workspace& ws, std::string& message);

// Closes one slot after asking about its changes. False when nothing was
// closed ("Cancel", a failed save, or no image open).
bool CloseImage(Workspace& ws, int slot, FileQuestions& q);
// Closes every open slot after asking once. False when "Cancel" (or a failed
// save) stopped it; then nothing was closed.
bool CloseAllImages(Workspace& ws, FileQuestions& q);

} // namespace pixora
