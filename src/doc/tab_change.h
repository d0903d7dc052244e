#pragma once
// The tab change: run when the user picks another tab and at the end of
// every command that fills a slot, closes an image, crops, undoes, redoes,
// resets, rotates, resizes, reopens or chooses a layer.
//
// The core's part, for the active slot: whatever floats over the image is
// committed first (the workspace's "before the image is replaced"); the
// image-sized work bitmaps take the size of Bitmap (keeping their pixels
// while the size stays: StrokeBase may hold the history brush's snapshot)
// and the checkerboard is rebuilt; Rows and the work bitmaps' row tables are
// refilled. Then the window's part lays out and shows the page (the port's
// TabChange: zoom, tool buttons, command states, option boxes, rulers, the
// view, swatches, the size in the status bar), and ScratchRows is refilled
// from the display copy it shows. With no active page only the window's
// part runs.

namespace pixora {

class Workspace;

void TabChange(Workspace& ws);

} // namespace pixora
