#pragma once
// Layers of a slot: layer 1 is BackBitmap at (0, 0), layers 2..LayerCount
// are Layers[n] at their own Left/Top. The layer being edited lives in the
// slot's Bitmap; its storage is brought up to date by StoreCurrentLayer.
//
// The layer strip (LayerStrip) holds one 57 x 57 cell per layer, 67 pixels
// apart, each with a thumbnail of at most 55 x 55 and, for the current
// layer, a second outline one pixel inside the first.

#include <cstdint>
#include <functional>
#include <vector>

#include "doc/workspace.h"

namespace pixora {

inline constexpr int kLayerCellPitch = 67;  // distance from one cell to the next
inline constexpr int kLayerCellSize = 57;   // cell side, outline included
inline constexpr int kLayerThumbLimit = 55; // largest thumbnail side in a cell

struct TThumbSize {
    int Width = 0;
    int Height = 0;
    bool operator==(const TThumbSize&) const = default;
};

// The fit rule shared by the layer and history thumbnails: the longer side
// becomes `limit`, the other follows by integer division; images that fit
// within limit x limit keep their size.
TThumbSize FitThumbnail(int w, int h, int limit);

// Where a layer thumbnail sits inside the cell's inner 55 x 55 area.
struct TThumbPlace {
    TThumbSize Size;
    int X = 0;
    int Y = 0;
};
TThumbPlace PlaceLayerThumbnail(int w, int h);

// Storage of layer n (1 = background).
Bitmap& LayerBitmap(TImages& s, int n);
TRowTable& LayerRows(TImages& s, int n);

// Copies Bitmap into the current layer's storage (nothing when no layer is
// current).
void StoreCurrentLayer(TImages& s);
// Copies the current layer's storage into Bitmap and refills Rows.
void LoadCurrentLayer(TImages& s);

// Draws cell n of the strip with a thumbnail of `source`. The strip is
// rebuilt first when it does not have LayerCount cells.
void DrawLayerCell(TImages& s, int n, const Bitmap& source);
// The current layer's cell from its live pixels in Bitmap.
void RedrawCurrentLayerCell(TImages& s);
// The whole strip: LayerCount x 67 by 57, white, every cell drawn.
void RedrawLayerStripBitmap(TImages& s);

// Layer whose cell contains strip column x (gaps and edges excluded), or 0.
int LayerAtStripX(const TImages& s, int x);

// Blends a layer onto dst over the part that lies on dst. Each layer pixel
// with transparency a takes d = round(a / 255 * 100) percent of the pixel
// below; each colour byte becomes (100 - d) x layer div 100 + d x below
// div 100, and dst keeps its fourth bytes.
void BlendLayer(Bitmap& dst, const Bitmap& layer, int left, int top);
// The same rule over `pixels` pixels of one row, with the widest vector
// kernel the machine runs. Every kernel gives the same bytes; Plain is the
// rule written out per pixel.
void BlendLayerRow(uint8_t* dst, const uint8_t* layer, int pixels);
enum class TBlendKernel { Plain, Sse2, Avx2, Avx512 };
// The kernels this machine runs, narrowest first.
std::vector<TBlendKernel> AvailableBlendKernels();
void BlendLayerRowWith(TBlendKernel kernel, uint8_t* dst, const uint8_t* layer, int pixels);
// Background plus every upper layer, in order, into Bitmap (Rows refilled).
void MergeLayers(TImages& s);

// --- commands on the active slot -------------------------------------------

// Makes layer n current: ends the selection, zoom 1/1, stores the old
// layer, loads n, moves the highlight and shows the result.
void ChooseLayer(Workspace& ws, int n);
// A click on the strip at column x; true when it chose a layer.
bool ClickLayerStrip(Workspace& ws, int x);

struct TNewLayer {
    int Width = 1;
    int Height = 1;
    int Left = 0;
    int Top = 0;
    int Transparency = 255;
};
// Adds a white layer on top and chooses it. `showSheet` makes the layer
// sheet visible (the window checks its "Layer Sheet" item). Returns false,
// changing nothing, when the image already has the most layers it may hold.
bool NewLayer(Workspace& ws, const TNewLayer& layer, const std::function<void()>& showSheet = {});
// Adds a copy of the current layer on top and chooses it.
bool DuplicateCurrentLayer(Workspace& ws, const std::function<void()>& showSheet = {});
// Chooses layer 1 and removes the topmost layer (whichever was current).
void DeleteCurrentLayer(Workspace& ws);
// New position and size of the current upper layer; areas added by
// enlarging it are transparent white.
void EditCurrentLayer(Workspace& ws, int width, int height, int left, int top);
// Merges every layer into Bitmap and shows it; no layer is current after.
void ViewFinalImage(Workspace& ws);
// What saving and printing do with a slot: merge its layers into Bitmap,
// hand the merged image to `use`, then choose layer 1 so that its own
// pixels are back in Bitmap (also when `use` throws). An image of a single
// layer that is being edited is handed over as it is and nothing changes.
void ComposeLayers(Workspace& ws, int slot, const std::function<void(const Bitmap& merged)>& use);

} // namespace pixora
