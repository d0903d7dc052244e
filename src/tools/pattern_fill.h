#pragma once
// What the library boxes do with an entry, and storing the selection into a
// library: "Pattern Fill", the custom brush's image, "Archive as Pattern"
// and "Archive as Brush".

#include "tools/library.h"
#include "tools/selection.h"

namespace pixora {

// Lays the pattern edge to edge from the top-left corner over the whole
// image (the last column and row of tiles clipped); each covered pixel that
// the test passes becomes, per colour byte,
//     pattern x occupancy div 100 + old x (100 - occupancy) div 100.
// The fourth byte is kept.
void TilePattern(Bitmap& image, const Bitmap& pattern, int occupancy, const SelectionEditTest& test);

// The step "Pattern Fill" with entry k of the library on the active image.
// An entry that cannot be read is reported and nothing changes.
bool FillWithPattern(Workspace& ws, const TLibrary& patterns, int k, int occupancy);

// Entry k becomes the custom brush's image (CustomBrushBitmap), while the
// active image uses the custom brush. An entry that cannot be read is
// reported and the brush stays.
bool UseLibraryBrush(Workspace& ws, const TLibrary& brushes, int k);

// "Import": the picture file at `path` stored as the library's next entry.
// Returns its number; 0 when the file cannot be read or the entry not
// written (both reported).
int ImportIntoLibrary(Workspace& ws, const TLibrary& library, const std::string& path);

// Stores the floating pixels of a rectangle selection as the next pattern.
// Returns its number, 0 when there is no such selection or it could not be
// stored (reported).
int ArchiveAsPattern(Workspace& ws, const TLibrary& patterns);
// Stores the selected floating pixels as the next brush; the pixels around
// a shape that is not a rectangle are white, which the brush leaves out.
int ArchiveAsBrush(Workspace& ws, const TLibrary& brushes);

} // namespace pixora
