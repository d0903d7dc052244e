#pragma once
// The frame every quick effect shares: one history step named after the
// effect when it changed the image (none when it did not), the document copied into the scratch bitmap (so a rule reads
// the unchanged pixels from there), the rule run over the document with the
// selection edit test when the effect honours it, and the view refreshed.

#include "effects/effects_table.h"

namespace pixora {

class Workspace;

// Runs `row`'s operation on the active image with the settings its options
// window holds. False (and nothing changed) without an image, without an
// operation, or when the history step could not be stored (the image is
// then put back).
bool ApplyQuickEffect(Workspace& ws, const TEffectRow& row, const TEffectSettings& settings);

} // namespace pixora
