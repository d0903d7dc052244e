#pragma once
// The layer commands on the active slot: choosing a layer, new, duplicate,
// delete and edit, "View Final Image", and composing the layers for saving
// and printing.

#include <functional>

#include "doc/workspace.h"

namespace pixora {

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
