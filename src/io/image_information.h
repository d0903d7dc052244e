#pragma once
// The texts of the "Image Information" window for one slot, and those of
// the about box.

#include <cstdint>
#include <optional>
#include <string>

#include "doc/records.h"
#include "io/outside_files.h"

namespace pixora {

inline constexpr const char* kNoneText = "[None]";

struct TImageInformation {
    std::string Name;               // lblName
    std::string Location;           // lblLocation
    std::string FullPath;           // lblFullPath
    std::string OriginalDimensions; // lblODimensions
    std::string CurrentDimensions;  // lblCDimensions
    // lblFileType; empty for a format code without a name, which leaves the
    // field as it was.
    std::optional<std::string> FileType;
    std::string SizeOnDisk;     // lblSizeDisk
    std::string NumberOfPixels; // lblNPixels
    std::string NumberOfLayers; // lblNLayers
    // lblColourProfile: the opened file's colour profile, "[None]" without one.
    std::string ColourProfile;
};

// Fills the fields from a slot; the file's size is read from the disk
// (a file that cannot be found counts as 0 bytes).
TImageInformation ImageInformation(const TImages& slot);

// w + " x " + h + " Pixels".
std::string DimensionsText(int64_t width, int64_t height);

// The type shown for a format code: its format's, "Other Format" for 0;
// nothing for a code without one.
std::optional<std::string> FileTypeText(int formatCode);

// The folder part of a path without its trailing '/' (the root stays "/").
std::string FolderPart(const std::string& path);

// The first six characters of the size in megabytes (bytes / 1048576 in
// plain decimal notation with up to 15 significant digits), then " MB (",
// the bytes, " bytes)". 1500000 -> "1.4305 MB (1500000 bytes)".
std::string SizeOnDiskText(uint64_t bytes);

// The about box.
inline constexpr const char* kAboutCaption = "About";
inline constexpr const char* kAboutTitleLine = kVersionText; // "Pixora 1.0.0.1"
inline constexpr const char* kAboutSecondLine = "A raster image editor with layers and unlimited undo.";

} // namespace pixora
