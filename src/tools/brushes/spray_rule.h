#pragma once
// Spray Brush: a smooth radial blend toward the stroke colour, strongest at
// the centre (w = r - d), divided by the thickness.

#include "tools/brushes/disc_stamp_rule.h"

namespace pixora {

struct TSprayOptions {
    int Thickness = 128;            // thick, 1..328
    bool ChangeTransparency = true; // CT
};

// Each colour byte := (old x (thick - w) + colour x w) div thick; with CT the
// fourth byte := T x (thick - w) div thick. A thickness below the radius
// overshoots near the centre and is clamped. colour: the stroke colour.
void SprayStamp(Bitmap& image, const TDisc& disc, const TSprayOptions& o, int32_t colour,
                const SelectionEditTest& test);

} // namespace pixora
