#pragma once
// The quick effects' operations, as the effects table runs them: each hands
// its kernel (effects/quick/) the document, the unchanged copy, the pixel
// test of the selection and the options window's values.

#include "effects/effects_table.h"

namespace pixora::quick_rules {

void Lighten(const TEffectRun& run);
void Darken(const TEffectRun& run);
void Soften(const TEffectRun& run);
void Sharpen(const TEffectRun& run);
void Noise(const TEffectRun& run);
void Tint(const TEffectRun& run);
void Gamma(const TEffectRun& run);
void Contrast(const TEffectRun& run);
void Saturation(const TEffectRun& run);
void GaussianBlur(const TEffectRun& run);
void Antialiasing(const TEffectRun& run);
void Invert(const TEffectRun& run);

} // namespace pixora::quick_rules
