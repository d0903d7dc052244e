#pragma once
// The save family: the name and option questions, writing a slot, "Save", "Save As", "Save a Copy", and
// asking about unsaved images before closing.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "doc/workspace.h"
#include "io/file_questions.h"

namespace pixora {

// Runs the save dialog, then "Replace File?" when the name as typed, or that
// name with the filter's extension appended, names an existing file, then
// the option dialog of the typed extension's format (of the filter's when
// the name has no extension the program writes), and appends the filter's
// extension to a name without one. Returns the final name, or nothing when stopped. The
// option dialogs store their choices in the slot.
std::optional<std::string> ChooseSaveFile(Workspace& ws, int slot, FileQuestions& q);

// Writes a slot's composed layers to `path` as format `formatCode` with the
// slot's pixel format and JPEG quality and the GIF sensitivity given. Layer
// 1 is the current layer afterwards. On failure reports "An Error Occured
// while trying to Save." with the error's message and returns false; the
// file that was there is left untouched.
bool WriteSlotFile(Workspace& ws, int slot, const std::string& path, int formatCode, int gifSensitivity);

// "Save": writes to the slot's own file, or asks for one when it has none
// or its format is one the program only reads (the original is then never
// overwritten).
// True when the image was written (Saved is then 1). A failed write or a
// stopped dialog keep Saved, FileName, FileFormat and HasFile.
bool SaveSlot(Workspace& ws, int slot, FileQuestions& q);
// "Save As": asks, writes, closes the slot and opens the written file as a
// fresh document. A failed write leaves the slot open and unchanged.
bool SaveImageAs(Workspace& ws, FileQuestions& q);
// "Save a Copy": asks and writes; the slot then refers to the new file
// (its tab caption and the recent list stay as they are).
bool SaveImageCopy(Workspace& ws, FileQuestions& q);

// ---- asking before closing --------------------------------------------------

// The slots "Save Changes?" lists: `slot` alone when it is unsaved; with
// slot -1, every open slot when any of them is unsaved. Empty = no need to
// ask.
std::vector<int> SlotsToList(const Workspace& ws, int slot);
// The listed slots that start selected: those with unsaved changes.
std::vector<int> UnsavedAmong(const Workspace& ws, const std::vector<int>& listed);

// Asks about unsaved images (one slot, or all with slot -1) and saves the
// chosen ones. False when the closing must not go on: "Cancel", or a chosen
// image that did not get saved.
bool AskSaveChanges(Workspace& ws, int slot, FileQuestions& q);

// Merges the layers of a slot, hands the result to `use`, then chooses
// layer 1 again (also when `use` throws); see ComposeLayers.
void WithComposedImage(Workspace& ws, int slot, const std::function<void(const Bitmap&)>& use);

} // namespace pixora
