#pragma once
// The colour windows in their places: the colour selection dialog (with its
// owners wired to it), Image Histogram, GrayScale and Colour Channel
// Transfer.

namespace pixora {

class WindowHost;

void InstallColourWindows(WindowHost& w);
// "Histogram": the Image Histogram window over the active image; nothing
// without one.
void RunHistogram(WindowHost& w);

} // namespace pixora
