#pragma once
// The file commands without their windows: open, reopen, save (with the
// name choice and the option questions), new, duplicate, close and close
// all. Every question that needs a window goes through FileQuestions, which
// the window layer implements with its dialogs and tests implement with
// scripted answers.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "doc/workspace.h"

namespace pixora {

// One entry of an open or save dialog's filter list.
struct TFileFilter {
    const char* Caption;
    const char* Patterns;  // separated by ';'
};

// The open dialog's twenty filters and the save dialog's eighteen, in order
// (filter index = position + 1).
const std::vector<TFileFilter>& OpenFilters();
const std::vector<TFileFilter>& SaveFilters();

// Extension appended to a name typed without one, by save filter index
// (1..17); empty for any other index.
std::string SaveFilterExtension(int filterIndex);

// True when the file-name part of a path (not its folder) has a dot.
bool HasExtension(const std::string& path);

enum class TSaveChangesAnswer { SaveSelected, Discard, Cancel };

// What the file commands ask of the user.
class FileQuestions {
public:
    virtual ~FileQuestions() = default;

    // The save dialog. `name` holds the slot's file name on entry and the
    // name as typed on return; `filterIndex` the 1-based filter chosen.
    // False when the dialog was cancelled.
    virtual bool AskSaveFileName(std::string& name, int& filterIndex) = 0;
    // "Replace File?" for an existing file: true for "Yes".
    virtual bool AskReplaceFile(const std::string& name) = 0;
    // "Pixel Format": item index 0..3 into `pixelFormat` on OK.
    virtual void AskPixelFormat(int& pixelFormat) = 0;
    // "JPEG Options": item index 0..1 and the quality 0..100 on OK.
    virtual void AskJpegOptions(int& pixelFormat, int& quality) = 0;
    // "GIF Image Transparency", prepared with the image about to be saved.
    virtual void AskGifTransparency(const Bitmap& image) = 0;
    // The sensitivity the GIF dialog holds now (its track bar).
    virtual int GifSensitivity() const = 0;
    // "Save Changes?" listing `listed` (slot indexes in slot order). On
    // SaveSelected, `selected` holds the chosen ones, in slot order.
    virtual TSaveChangesAnswer AskSaveChanges(const std::vector<int>& listed, std::vector<int>& selected) = 0;
};

// ---- opening ----------------------------------------------------------------

// Opens a file into the lowest free slot: the path enters the recent list
// first, then the file is read. A failed read gives the claim back
// completely and reports "Could Not Open File due to an Error while
// Opening." with the error's message. Returns the slot, or -1 (also when
// fifteen images are open, without a message).
int LoadIntoNewSlot(Workspace& ws, const std::string& path);

// LoadIntoNewSlot with recent entry i (0..9); nothing for an empty entry.
int OpenRecentFile(Workspace& ws, int index);

// Reads the active slot's file again as an undoable step "ReOpened Image".
// The file is read into a temporary bitmap first, so a failed read leaves
// the image, its history and its Saved flag exactly as they were.
bool ReopenFile(Workspace& ws);

// ---- saving -----------------------------------------------------------------

// Runs the save dialog, then "Replace File?" when the name as typed, or that
// name with the filter's extension appended, names an existing file, then
// the option dialog of the filter, and appends the filter's extension to a
// name without one. Returns the final name, or nothing when stopped. The
// option dialogs store their choices in the slot.
std::optional<std::string> ChooseSaveFile(Workspace& ws, int slot, FileQuestions& q);

// Writes a slot's composed layers to `path` as format `formatCode` with the
// slot's pixel format and JPEG quality and the GIF sensitivity given. Layer
// 1 is the current layer afterwards. On failure reports "An Error Occured
// while trying to Save." with the error's message and returns false; the
// file that was there is left untouched.
bool WriteSlotFile(Workspace& ws, int slot, const std::string& path, int formatCode, int gifSensitivity);

// "Save": writes to the slot's own file, or asks for one when it has none.
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

// Asks about unsaved images (one slot, or all with slot -1) and saves the
// chosen ones. False when the closing must not go on: "Cancel", or a chosen
// image that did not get saved.
bool AskSaveChanges(Workspace& ws, int slot, FileQuestions& q);

// ---- new, duplicate, close ----------------------------------------------------

struct TNewImage {
    int Width = 400;
    int Height = 400;
    int32_t Colour = 0xFFFFFF;  // background, red in the low byte
    int Transparency = 0;       // written into every pixel's fourth byte
};

// Room for an image of w x h with everything that follows it around (the
// layer copy, the view's copies and the image-sized work bitmaps).
bool ImageSizeFits(long long width, long long height);

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

// Merges the layers of a slot, hands the result to `use`, then chooses
// layer 1 again (also when `use` throws); see ComposeLayers.
void WithComposedImage(Workspace& ws, int slot, const std::function<void(const Bitmap&)>& use);

} // namespace pixora
