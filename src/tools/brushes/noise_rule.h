#pragma once
// Noise Brush: Random(3) - 1 added to red, green and blue (three draws in
// that order), and with CT a fourth draw added to the fourth byte.

#include "tools/brushes/disc_stamp_rule.h"
#include "tools/brushes/stamp_random.h"

namespace pixora {

// random: the tool's generator, drawn from pixel by pixel in stamp order.
void NoiseStamp(Bitmap& image, const TDisc& disc, bool changeAlpha, TStampRandom& random,
                const SelectionEditTest& test);

} // namespace pixora
