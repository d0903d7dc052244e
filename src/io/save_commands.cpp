#include "io/save_commands.h"

#include <algorithm>
#include <filesystem>

#include "doc/layer_operations.h"
#include "io/codecs/image_codecs.h"
#include "io/file_filters.h"
#include "io/file_slots.h"
#include "io/new_close_commands.h"
#include "io/open_commands.h"
#include "io/recent_files.h"

namespace pixora {

namespace {

// Whether "Save" can write a slot back to its own file: it has one, in a
// format the program writes.
bool WritesOwnFile(const TImages& s) {
    return s.HasFile && Formats().WriterOf(s.FileFormat);
}

// The name the save dialog offers: the slot's file name, without its
// extension when the program cannot write that format (the filter's
// extension then takes its place).
std::string OfferedName(const TImages& s) {
    if (!s.HasFile || WritesOwnFile(s) || !HasExtension(s.FileName)) return s.FileName;
    return s.FileName.substr(0, s.FileName.size() - LowerExtension(s.FileName).size());
}

} // namespace

std::optional<std::string> ChooseSaveFile(Workspace& ws, int slot, FileQuestions& q) {
    TImages& s = SlotAt(ws, slot);
    std::string name = OfferedName(s);
    int filter = 1;
    if (!q.AskSaveFileName(name, filter) || name.empty()) return std::nullopt;
    s.RemoveLocation = q.RemoveLocation() ? 1 : 0;
    // A name typed without an extension gets the filter's one, so the file
    // that would be replaced may be that longer name.
    const std::string extended = HasExtension(name) ? name : name + SaveFilterExtension(filter);
    std::error_code ec;
    const bool typedExists = std::filesystem::exists(name, ec);
    if ((typedExists || std::filesystem::exists(extended, ec)) &&
        !q.AskReplaceFile(typedExists ? name : extended))
        return std::nullopt;
    // The typed extension's format decides which options are asked; the
    // filter's when the name has no extension the program writes.
    switch (SaveOptionsFor(name, filter)) {
    case TSaveOptionsKind::PixelFormat:
        q.AskPixelFormat(s.SavePixelFormat);
        break;
    case TSaveOptionsKind::JpegOptions:
        q.AskJpegOptions(s.SavePixelFormat, s.JpegQuality);
        break;
    case TSaveOptionsKind::WebpOptions: {
        bool lossless = s.WebpLossless != 0;
        q.AskWebpOptions(s.WebpQuality, lossless);
        s.WebpLossless = lossless ? 1 : 0;
        break;
    }
    case TSaveOptionsKind::GifTransparency:
        if (s.LayerCount > 1 || s.CurrentLayer != 1) {
            // The preview shows what will be written: the layers composed.
            Bitmap composed;
            WithComposedImage(ws, slot, [&](const Bitmap& merged) { composed = merged; });
            q.AskGifTransparency(composed);
        } else {
            q.AskGifTransparency(s.Bitmap);
        }
        break;
    case TSaveOptionsKind::None:
        break;
    }
    return extended;
}

void WithComposedImage(Workspace& ws, int slot, const std::function<void(const Bitmap&)>& use) {
    ComposeLayers(ws, slot, use);
}

bool WriteSlotFile(Workspace& ws, int slot, const std::string& path, int formatCode, int gifSensitivity) {
    const TImages& s = SlotAt(ws, slot);
    SaveOptions opts = SaveOptions::FromSlot(s.SavePixelFormat, s.JpegQuality, gifSensitivity);
    opts.WebpQuality = s.WebpQuality;
    opts.WebpLossless = s.WebpLossless != 0;
    opts.Metadata = &s.Metadata;
    opts.RemoveLocation = s.RemoveLocation != 0;
    try {
        WithComposedImage(ws, slot,
                          [&](const Bitmap& image) { WriteImageFile(path, image, formatCode, opts); });
    } catch (const std::exception& e) {
        ws.Port->ReportError(1, e.what());
        return false;
    }
    return true;
}

namespace {

// Writes a slot to a newly chosen file and ties the slot to it, only once
// the file is written.
bool WriteToNewFile(Workspace& ws, int slot, const std::string& name, FileQuestions& q) {
    const int format = FormatFromExtension(name);
    if (!WriteSlotFile(ws, slot, name, format, q.GifSensitivity())) return false;
    TImages& s = SlotAt(ws, slot);
    s.FileName = name;
    s.FileFormat = format;
    s.HasFile = 1;
    s.Saved = 1;
    return true;
}

} // namespace

bool SaveSlot(Workspace& ws, int slot, FileQuestions& q) {
    if (!ValidSlot(ws, slot)) return false;
    TImages& s = SlotAt(ws, slot);
    if (WritesOwnFile(s)) {
        if (!WriteSlotFile(ws, slot, s.FileName, s.FileFormat, q.GifSensitivity())) return false;
        s.Saved = 1;
        return true;
    }
    // No file yet, or one in a format the program only reads: a new name,
    // so that the original is never overwritten.
    const auto name = ChooseSaveFile(ws, slot, q);
    if (!name) return false;
    if (!WriteToNewFile(ws, slot, *name, q)) return false;
    AddRecentFile(ws, *name);
    return true;
}

namespace {

// "Save As" and "Save a Copy": the active image written to a file the user
// chooses. The name, or nothing when it was not written.
std::optional<std::string> SaveActiveToNewFile(Workspace& ws, FileQuestions& q) {
    const int slot = ws.ActiveSlot();
    if (!ValidSlot(ws, slot)) return std::nullopt;
    const auto name = ChooseSaveFile(ws, slot, q);
    if (!name || !WriteToNewFile(ws, slot, *name, q)) return std::nullopt;
    return name;
}

} // namespace

bool SaveImageAs(Workspace& ws, FileQuestions& q) {
    const int slot = ws.ActiveSlot();
    const auto name = SaveActiveToNewFile(ws, q);
    if (!name) return false;
    TImages& s = SlotAt(ws, slot);
    s.ZoomNum = 1;
    s.ZoomDen = 1;
    // Saved is 1, so closing asks nothing; the written file comes back as a
    // fresh document with a history of its own.
    CloseImage(ws, slot, q);
    LoadIntoNewSlot(ws, *name);
    return true;
}

bool SaveImageCopy(Workspace& ws, FileQuestions& q) {
    return SaveActiveToNewFile(ws, q).has_value();
}

std::vector<int> UnsavedAmong(const Workspace& ws, const std::vector<int>& listed) {
    std::vector<int> unsaved;
    for (int i : listed)
        if (!ws.Images[static_cast<std::size_t>(i)].Saved) unsaved.push_back(i);
    return unsaved;
}

std::vector<int> SlotsToList(const Workspace& ws, int slot) {
    std::vector<int> listed;
    if (slot >= 0) {
        if (ValidSlot(ws, slot) && !ws.Images[static_cast<std::size_t>(slot)].Saved) listed.push_back(slot);
        return listed;
    }
    bool anyUnsaved = false;
    for (int i = 0; i < kMaxOpenImages; ++i) {
        const TImages& s = ws.Images[static_cast<std::size_t>(i)];
        if (!s.InUse) continue;
        listed.push_back(i);
        anyUnsaved = anyUnsaved || !s.Saved;
    }
    if (!anyUnsaved) listed.clear();
    return listed;
}

bool AskSaveChanges(Workspace& ws, int slot, FileQuestions& q) {
    const std::vector<int> listed = SlotsToList(ws, slot);
    if (listed.empty()) return true;
    // Only the images with unsaved changes start selected: an unchanged
    // file is never rewritten unless the user asks for it.
    std::vector<int> selected = UnsavedAmong(ws, listed);
    switch (q.AskSaveChanges(listed, selected)) {
    case TSaveChangesAnswer::Cancel:
        return false;
    case TSaveChangesAnswer::Discard:
        return true;
    case TSaveChangesAnswer::SaveSelected:
        break;
    }
    std::sort(selected.begin(), selected.end());
    bool allSaved = true;
    for (int i : selected)
        if (!SaveSlot(ws, i, q)) allSaved = false;
    // An image the user wanted kept is not thrown away unsaved.
    return allSaved;
}

} // namespace pixora
