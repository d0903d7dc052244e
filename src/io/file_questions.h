#pragma once
// What the file commands ask of the user. The window layer answers with
// its dialogs; tests answer with scripted replies.

#include <string>
#include <vector>

#include "doc/bitmap.h"

namespace pixora {

enum class TSaveChangesAnswer { SaveSelected, Discard, Cancel };

// What the file commands ask of the user.
class FileQuestions {
public:
    virtual ~FileQuestions() = default;

    // The save dialog. `name` holds the slot's file name on entry and the
    // name as typed on return; `filterIndex` the 1-based filter chosen.
    // False when the dialog was cancelled.
    virtual bool AskSaveFileName(std::string& name, int& filterIndex) = 0;
    // The save dialog's "Remove location (GPS) and camera serial" box as it
    // was left by the last AskSaveFileName (off unless the user ticked it).
    virtual bool RemoveLocation() const { return false; }
    // "Replace File?" for an existing file: true for "Yes".
    virtual bool AskReplaceFile(const std::string& name) = 0;
    // "Pixel Format": item index 0..3 into `pixelFormat` on OK.
    virtual void AskPixelFormat(int& pixelFormat) = 0;
    // "JPEG Options": item index 0..1 and the quality 0..100 on OK.
    virtual void AskJpegOptions(int& pixelFormat, int& quality) = 0;
    // "WebP Options": the lossy quality 0..100 and whether to write
    // lossless instead, on OK; they hold the slot's values on entry.
    virtual void AskWebpOptions(int& quality, bool& lossless) = 0;
    // "GIF Image Transparency", prepared with the image about to be saved.
    virtual void AskGifTransparency(const Bitmap& image) = 0;
    // The sensitivity the GIF dialog holds now (its track bar).
    virtual int GifSensitivity() const = 0;
    // "Save Changes?" listing `listed` (slot indexes in slot order).
    // `selected` holds on entry the slots that start selected (those with
    // unsaved changes), and on SaveSelected the chosen ones, in slot order.
    virtual TSaveChangesAnswer AskSaveChanges(const std::vector<int>& listed, std::vector<int>& selected) = 0;
};

} // namespace pixora
