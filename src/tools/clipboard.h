#pragma once
// Cut, copy and delete of the current selection, and the paste commands:
// as a new floating selection, stretched into the selection, stretched over
// the whole canvas, or as a new image. The clipboard itself is the window's
// (WindowPort's clipboard calls), so these rules run without a window.
//
// Every command does nothing (and returns false) when its needs are not
// met: an open image, and for cut, copy, delete and paste to fit a
// selection of the selection tool on the active image.

#include "doc/workspace.h"

namespace pixora {

// The bounding box (right and bottom included) of the selected pixels (blue
// byte 0) of a mask; false when nothing is selected.
bool SelectedBox(const Bitmap& mask, TRect& box);

// The picture of the selection for the clipboard: as large as the mask's
// selected box; each selected pixel is the image pixel under it (all four
// bytes, so transparency goes along), every other pixel is fully
// transparent. Mask pixel (mx, my) lies over image pixel (left + mx,
// top + my); image pixels outside the image are left transparent.
Bitmap SelectionPicture(const Bitmap& image, const Bitmap& mask, int left, int top);

// Whether the active image has a selection of the selection tool.
bool HasToolSelection(const Workspace& ws);

// Puts the selection's picture on the clipboard.
bool CopySelection(Workspace& ws);
// An undoable step "Cut": the picture goes to the clipboard, its pixels
// become the canvas colour and the selection ends.
bool CutSelection(Workspace& ws);
// An undoable step "Delete": the selected pixels become the canvas colour
// (in the image and in the floating pixels); the selection stays.
bool DeleteSelection(Workspace& ws);

// The clipboard's picture as a floating rectangle selection at the top-left
// corner, with the selection tool.
bool PasteFromClipboard(Workspace& ws);
// `pixels` stretched into the current selection rectangle, floating there.
bool PasteIntoSelection(Workspace& ws, Bitmap pixels);
// PasteIntoSelection with the clipboard's picture.
bool PasteClipboardToFit(Workspace& ws);
// An undoable step "Paste": the clipboard's colours stretched over the
// whole image (the image's pixels become opaque).
bool PasteToFitCanvas(Workspace& ws);
// The clipboard's picture as a new image; returns its slot, or -1 (no
// picture, fifteen images open, or no memory for it).
int PasteAsNewImage(Workspace& ws);
// A rectangle selection's floating pixels stretched over the whole canvas
// and committed as an undoable step "Paste"; the selection ends.
bool FillCanvas(Workspace& ws);

} // namespace pixora
