#pragma once
// The pixel read-out of the status bar's first panel.

#include <cstdint>
#include <optional>
#include <string>

#include "doc/bitmap.h"

namespace pixora {

// "x, y = [x,y]    r, g, b = [r,g,b]    alpha = [a]"
std::string FormatPixelReadout(int x, int y, int r, int g, int b, int a);

// The read-out for image position (x, y) of a 32-bit bitmap, or nothing when
// the position lies outside it (the panel is then left as it is).
std::optional<std::string> PixelReadout(const Bitmap& bitmap, int x, int y);

} // namespace pixora
