#pragma once
// Printing the active image: one image pixel per printer pixel.

#include <QString>

#include "doc/bitmap.h"

class QPrinter;

namespace pixora {

class MainWindow;

// Draws the colour bytes of `image` at the page's top-left corner, one
// image pixel per printer pixel, as one document titled `title`. The
// document is ended also when drawing fails.
bool PrintBitmap(QPrinter& printer, const Bitmap& image, const QString& title);

// "Print Image": the print dialog, then the active image with its layers
// composed.
void PrintImage(MainWindow& w);

} // namespace pixora
