#pragma once
// The brushes that paint another bitmap back into the image, pixel for
// pixel at the same place: the History Brush (the chosen history snapshot)
// and the Effect Brush (the filtered copy made by "Use as Brush"). Neither
// changes the fourth byte. Pixels the source does not cover are left alone.

#include "tools/brushes/disc_stamp_rule.h"

namespace pixora {

// History Brush. source: StrokeBase, which holds the snapshot chosen in the
// Undo History dialog; occupancy: the options' Occ track bar (1..100).
// new := source x Occ div 100 + old x (100 - Occ) div 100 per colour byte.
void HistoryBrushStamp(Bitmap& image, const Bitmap& source, const TDisc& disc, int occupancy,
                       const SelectionEditTest& test);

// Effect Brush. source: the effect brush source bitmap; its colour bytes are
// copied.
void EffectBrushStamp(Bitmap& image, const Bitmap& source, const TDisc& disc, const SelectionEditTest& test);

} // namespace pixora
