#pragma once
// The size of a picture turned by an angle: the bounding box of the turned
// rectangle, each side rounded to the nearest even number of half sides.

#include <cstdint>

namespace pixora {

struct TRotatedSize {
    int64_t Width, Height;
};

// A W x H picture turned by `angle` radians (0 to 2 pi).
TRotatedSize RotatedSize(int64_t W, int64_t H, double angle);

} // namespace pixora
