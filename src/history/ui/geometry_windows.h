#pragma once
// The Resize Image and Rotate Image windows in their places, and the
// commands that open them.

namespace pixora {

class WindowHost;

void InstallGeometryWindows(WindowHost& w);
// "Resize" and "Rotate and Flip": the window over the active image.
void RunResizeImage(WindowHost& w);
void RunRotateImage(WindowHost& w);

} // namespace pixora
