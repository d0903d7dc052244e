#pragma once
// What the Image Histogram, GrayScale and Colour Channel Transfer windows do
// to the active image and the view between opening and "OK" or "Cancel".
// Their "OK" is the filter framework's commit (filter_framework.h) with the
// bitmap these leave to commit.

#include <optional>

#include "doc/workspace.h"
#include "effects/colour/histogram.h"
#include "effects/quick/channel_mix.h"

class QImage;

namespace pixora {

// ---- Image Histogram ------------------------------------------------------------

// The window's working copy: the document at 24 bits; empty without an image.
Bitmap HistogramWorkCopy(Workspace& ws);

// Shows a plane: the histogram image filled with silver and the plane's
// histogram of the working copy drawn on it, and the plane's picture (in
// colour or grey, inverted or not) made the view's picture.
void ShowHistogramPlane(Workspace& ws, const Bitmap& work, int plane, bool colour, bool invert,
                        QImage& histogramImage);

// ---- GrayScale -------------------------------------------------------------------

// The document copied into the scratch bitmap, and its grey with the
// dominant channel and brightness made the view's picture, which is
// repainted. False without an image.
bool PreviewGrayScale(Workspace& ws, const quick::TGrayScaleParams& params);

// ---- Colour Channel Transfer -----------------------------------------------------

// The document copied into the scratch bitmap; false without an image.
bool StartChannelTransfer(Workspace& ws);
// The transfer from the scratch copy into the document wherever the
// selection edit test passes (no transfer chosen yet: the scratch copy back
// unchanged), then the view refreshed. The document changes while the
// window is open.
void RunChannelTransfer(Workspace& ws, const std::optional<quick::TChannelTransferParams>& params);
// The scratch copy back onto the document (and the view refreshed): the
// image as it was when the window opened.
void RestoreFromScratch(Workspace& ws);

} // namespace pixora
