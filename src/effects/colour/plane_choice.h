#pragma once
// The choices of the Image Histogram window: a colour space and one of its
// planes, and the plane number they mean.

#include <string>
#include <vector>

namespace pixora {

// "RGB", "HSV", "HLS", "CMYK".
inline constexpr int kColourSpaceCount = 4;

// The items of the "Plane" list for a colour space (empty for others).
std::vector<std::string> PlaneItems(int space);

// RGB items 0..3 are planes 0..3, HSV 4..6, HLS 7..9, CMYK 10..13; -1 for
// a choice that is not in the lists.
int PlaneOfChoice(int space, int item);

// "Monochrome" is offered for the planes that have a colour picture: the
// composite, the three channels and the two hues.
bool MonochromeOffered(int plane);

} // namespace pixora
