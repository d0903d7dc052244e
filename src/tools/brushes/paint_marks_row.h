#pragma once
// One row of the flat blend of stroke marks (tools/brushes/pen_commit_rule.h
// PaintMarks): each marked pixel's colour bytes become
// colour x Occ div 100 + old x (100 - Occ) div 100, at most 255, and with CT
// its fourth byte 0.

#include <array>
#include <cstdint>

#include "tools/selection.h"

namespace pixora {

struct TMarkBlend {
    std::array<int, 3> Stroke{}, Fill{}; // colour x Occ div 100, bytes B, G, R
    int Kept = 0;                        // 100 - Occ
    bool ChangeTransparency = true;
    bool WithInterior = false;         // interior marks (red byte 1) take the fill colour
    std::array<uint8_t, 256> KeptOf{}; // b x Kept div 100
    // b x Kept div 100 as (b x Kept x KeptM) >> 16 >> KeptShift, exact for
    // every byte; Vectors where that and AVX2 are there.
    int KeptM = 0, KeptShift = 0;
    bool Vectors = false;

    TMarkBlend(int occupancy, int32_t stroke, int32_t fill, bool changeTransparency, bool withInterior);
};

// Paints the marks of overlay row m into image row p, both `width` pixels
// of row y; only pixels the test passes change. Where no selection confines
// the edit, eight pixels at a time where the machine has AVX2; the bytes
// are those of the pixel-by-pixel rule.
void PaintMarkRow(uint8_t* p, const uint8_t* m, int width, int y, const TMarkBlend& k,
                  const SelectionEditTest& test);

} // namespace pixora
