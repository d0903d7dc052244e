#pragma once
// Cut, copy and delete of the current selection, and the paste commands:
// as a new floating selection, stretched into the selection, stretched over
// the whole canvas, or as a new image. The clipboard itself belongs to the
// window (tools/clipboard_image.h reads and writes it); these rules take the
// picture read from it and give the picture to put on it, so they run
// without a window.
//
// Every command does nothing (and returns false) when its needs are not
// met: an open image, and for cut, copy, delete, paste to fit and fill
// canvas a selection of the selection tool on the active image.

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

// The selection's picture, for the clipboard.
bool CopySelection(Workspace& ws, Bitmap& picture);
// An undoable step "Cut": the picture is given for the clipboard, its
// pixels become the canvas colour and the selection ends.
bool CutSelection(Workspace& ws, Bitmap& picture);
// An undoable step "Delete": the selected pixels become the canvas colour
// (in the image, its clean copy and the floating pixels, so that dropping
// the selection later does not bring them back); the selection stays.
bool DeleteSelection(Workspace& ws);

// `pixels` as a floating rectangle selection at the top-left corner, with
// the selection tool (a selection floating before is committed first).
bool PasteAsSelection(Workspace& ws, Bitmap pixels);
// `pixels` stretched into the current selection rectangle, floating there.
bool PasteIntoSelection(Workspace& ws, Bitmap pixels);
// An undoable step "Paste": the picture's colours stretched over the
// whole image (the image's pixels become opaque).
bool PasteToFitCanvas(Workspace& ws, const Bitmap& pixels);
// The picture as a new image; returns its slot, or -1 (no picture, fifteen
// images open, or no memory for it: reported).
int PasteAsNewImage(Workspace& ws, Bitmap pixels);
// A rectangle selection's floating pixels stretched over the whole canvas
// and committed as an undoable step "Paste"; the selection ends.
bool FillCanvas(Workspace& ws);

} // namespace pixora
