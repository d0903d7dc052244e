#pragma once
// The editor's records: one TImages per document slot, the application
// record TSysData, the tool record TToolVars and the history entry THistory.
// They are plain data; the operations that act on them live beside them.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "doc/bitmap.h"
#include "doc/photo_metadata.h"

namespace pixora {

struct TPoint {
    int32_t X = 0;
    int32_t Y = 0;
    bool operator==(const TPoint&) const = default;
};

struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    bool operator==(const TRect&) const = default;
};

// One history entry: the name of the step that produced the snapshot, a
// thumbnail of it (at most 50 x 50) and the step as a recipe line.
struct THistory {
    std::string Name;
    pixora::Bitmap Thumb;
    // The step as pixora-convert --apply writes it, "" when the step
    // cannot be repeated on another image (a stroke, a paste, text).
    std::string Recipe;
};

// One upper layer (layers 2 and up); layer 1 is the slot's BackBitmap.
struct TLayer {
    pixora::Bitmap Bitmap;
    TRowTable Rows;
    int32_t Left = 0;
    int32_t Top = 0;
};

inline constexpr int kSlotCount = 16;     // slot table size; slot 15 is never claimed
inline constexpr int kMaxOpenImages = 15; // tab pages
inline constexpr int kMaxLayers = 100;

// One document slot.
struct TImages {
    int32_t FGColour = 0;
    uint8_t FGRed = 0, FGGreen = 0, FGBlue = 0;
    int32_t BGColour = 0;
    uint8_t BGRed = 0, BGGreen = 0, BGBlue = 0;
    // Entry 0 is never used; entry k describes snapshot k. The table grows
    // as the history does.
    std::vector<THistory> History = std::vector<THistory>(2);
    // Entries 2..LayerCount are used.
    std::vector<TLayer> Layers = std::vector<TLayer>(2);
    int32_t AlphaViewMode = 0;
    int32_t HistoryCount = 0;
    int32_t SavePixelFormat = 0;
    TRowTable BackRows;
    pixora::Bitmap BackBitmap;
    pixora::Bitmap LayerStrip;
    int32_t HistoryPos = 0;
    int32_t CanvasColour = 0;
    uint8_t HasFile = 0;
    std::string FileName;
    int32_t JpegQuality = 0;
    // "WebP Options": lossy quality 0..100, or lossless.
    int32_t WebpQuality = 0;
    uint8_t WebpLossless = 0;
    int32_t OrigHeight = 0;
    int32_t OrigWidth = 0;
    int32_t LayerCount = 0;
    uint8_t InUse = 0;
    int32_t FileFormat = 0;
    int32_t Tool = 0;
    TRowTable Rows;
    int32_t DownX = 0, DownY = 0;
    pixora::Bitmap Bitmap;
    uint8_t Saved = 0;
    int32_t CurrentLayer = 0;
    int32_t ZoomNum = 1, ZoomDen = 1;
    // The description of the colour profile the opened file embedded (its
    // colours were converted from it to sRGB); empty for images made here.
    std::string ColourProfile;
    // The photo's EXIF and XMP, and whether its saves leave out where it was
    // taken and the camera's serial numbers ("Remove location ..." box).
    TPhotoMetadata Metadata;
    uint8_t RemoveLocation = 0;

    // Makes sure History has an entry at index k.
    THistory& HistoryEntry(int k) {
        if (k >= static_cast<int>(History.size())) History.resize(static_cast<std::size_t>(k) + 1);
        return History[static_cast<std::size_t>(k)];
    }
    // Makes sure Layers has an entry at index n.
    TLayer& Layer(int n) {
        if (n >= static_cast<int>(Layers.size())) Layers.resize(static_cast<std::size_t>(n) + 1);
        return Layers[static_cast<std::size_t>(n)];
    }
};

// The application record.
struct TSysData {
    std::string ExeDir; // program folder with a trailing '/'
    int32_t OpenCount = -1;
    TRowTable ScratchRows;
    uint8_t MouseDown = 0;
};

// Three strings kept with the tool record for the save dialogs.
struct TSE {
    std::string S1, S2, S3;
};

inline constexpr int kFreePointCount = 4097;
inline constexpr int kRecentFileCount = 10;

// Tool and selection state shared by all slots.
struct TToolVars {
    std::array<TPoint, kFreePointCount> FreePoints{};
    std::array<TPoint, 4> BezierPoints{};
    uint8_t PressButton = 0;
    int32_t BezierStage = 0;
    int32_t GrabLeft = 0, GrabTop = 0, GrabRight = 0, GrabBottom = 0;
    TRect DragRect{};
    TPoint LastPoint{};
    TRowTable FloatRows;
    pixora::Bitmap FloatBitmap;
    // How far inside the selection rectangle a rectangle selection's
    // floating pixels lie: 1 for pixels lifted from the image (the frame
    // under the outline stays the image's), 0 for a pasted picture, which
    // covers the whole rectangle.
    int32_t FloatInset = 1;
    uint8_t PolygonOpen = 0;
    uint8_t HasSelection = 0;
    int32_t FreeCount = 0;
    int32_t SelRight = 0, SelBottom = 0;
    int32_t HandleHit = 0;
    uint8_t RefreshAfter = 0;
    int32_t MaskLeft = 0, MaskTop = 0;
    int32_t OptionBoxId = 0;
    uint8_t CropShown = 0;
    // The slot the selection was made on (-1: none yet). A selection is
    // committed into that image, and never confines edits of another one.
    int32_t SelectionSlot = -1;
    // The recent-file names, newest first.
    std::array<std::string, kRecentFileCount> RecentFiles{};
    TSE SE;
};

// A work bitmap with its row table.
struct TWorkBitmap {
    pixora::Bitmap Bitmap;
    TRowTable Rows;
    // Set while the bitmap holds only what a tab change left in it when it
    // gave it the image's size afresh (every byte 0); whoever puts pixels
    // there refills its rows, which clears it.
    bool SizedAfresh = false;
    void Refill() {
        FillRowTable(Bitmap, Rows);
        SizedAfresh = false;
    }
};

} // namespace pixora
