#pragma once
// Lighten and Darken Brushes: one step up or down per stamp, with CT on the
// fourth byte too. The darken stamp does nothing when the pointer's
// cx + cy is odd, so a drag darkens at every other position.

#include "tools/brushes/disc_stamp_rule.h"

namespace pixora {

void LightenStamp(Bitmap& image, const TDisc& disc, bool changeAlpha, const SelectionEditTest& test);
void DarkenStamp(Bitmap& image, const TDisc& disc, bool changeAlpha, const SelectionEditTest& test);

} // namespace pixora
