#pragma once
// Printing the active image: one image pixel per printer pixel.

#include <QString>

#include "doc/bitmap.h"

class QPaintDevice;

namespace pixora {

class WindowHost;

// Draws the colour bytes of `image` at the device's top-left corner, one
// image pixel per device pixel (on a printer: one page). The painting is
// ended also when drawing fails.
bool PrintBitmap(QPaintDevice& device, const Bitmap& image);

// "Print Image": the print dialog, then the active image with its layers
// composed.
void PrintImage(WindowHost& w);

} // namespace pixora
