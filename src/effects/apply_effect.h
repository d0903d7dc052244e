#pragma once
// An effect of the effects table run on a whole image outside the editor
// (pixora-convert --apply), with exactly the editor's result: the same
// operation and the same values, no selection.
//
// A quick effect runs as its frame runs it, reading its neighbours from an
// unchanged copy; a filter that reads the document writes a view of its
// own whose colour bytes then go into the image, as the filter apply
// operation copies them (a filter that changes its view in place runs on
// the image itself, its fourth bytes put back afterwards, which comes to
// the same); a geometry command
// replaces the image with its turned or resized picture. Colour effects
// never write the fourth bytes.

#include <cstdint>
#include <string>
#include <vector>

#include "effects/effect_arguments.h"
#include "io/convert_file.h"

namespace pixora {

class Bitmap;
class TEffects;

// Runs `call` on `image` (set to 32 bits first). `seed` starts the draws of
// the noise effects. False, with `error` saying why, when the effect was
// refused; the image may then be partly changed.
bool ApplyEffect(const TEffectCall& call, TEffects& effects, Bitmap& image, uint32_t seed,
                 std::string& error);

// The calls one after the other, as a conversion's transform: call i starts
// its draws from seed + i. Each image gets an engine of its own, so files
// may be worked on several threads at once.
TImageTransform EffectChain(std::vector<TEffectCall> calls, uint32_t seed);

} // namespace pixora
