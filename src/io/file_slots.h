#pragma once
// Helpers the file commands share: a slot by index, whether it holds an
// open image, the save options a fresh image starts with, the message for
// a size that cannot be had.

#include <string>

#include "doc/workspace.h"

namespace pixora {

TImages& SlotAt(Workspace& ws, int slot);
bool ValidSlot(const Workspace& ws, int slot);
// The option dialogs' defaults: what a slot is written with until the user
// confirms "Pixel Format" or "JPEG Options" for it (24-bit, quality 100).
void SetDefaultSaveOptions(TImages& s);
std::string NotEnoughMemory(long long w, long long h);
// The main window's caption: "Pixora" with no image open, otherwise the
// active image's file name, " *" while it has unsaved changes, and
// " - Pixora" ("photo.jpg * - Pixora"), as desktops show it in the task bar.
std::string MainWindowCaption(const Workspace& ws);

} // namespace pixora
