#pragma once
// Pointer dispatch and the choice of a tool, on the active slot of a
// workspace (through its tool set), and the handle hit test of the crop
// and selection rectangles.

#include "doc/workspace.h"

namespace pixora {

// Image coordinates; button 0 left, 1 right, 2 middle.
void PointerDown(Workspace& ws, int x, int y, int button);
void PointerMove(Workspace& ws, int x, int y);
void PointerUp(Workspace& ws, int x, int y);
// A double click on the image applies the crop rectangle, when one is shown.
void PointerDoubleClick(Workspace& ws);

// Which handle of the rectangle (DownX, DownY)-(SelRight, SelBottom) of
// the active slot lies under (x, y): 1..4 corners, 5..8 edges, 9 inside,
// 0 none. For 9 the grab offsets are recorded in the tool record.
int HitTestHandles(Workspace& ws, int x, int y);
// The cursor shown while hovering over a handle code.
int HandleCursor(int code);
// Moves the rectangle's corners as a drag with handle `code` to (x, y) does.
void ApplyHandleDrag(Workspace& ws, int code, int x, int y);

// Escape on the active image: see ToolSet::Cancel. False without an image or
// when nothing was under way.
bool CancelToolWork(Workspace& ws);

// The window-free part of choosing a tool: refused (false) without an
// image, or when the tool's row needs a history step the image has not got.
// The slot's tool is told it is left, the selection is dropped unless
// "Apply Edit to Selection Only" or "Exclude Selection from Edit" keeps
// it, the crop rectangle is hidden unless the tool keeps it, and the new
// tool becomes the slot's tool and is told it was chosen.
bool SelectToolCore(Workspace& ws, int tool);

} // namespace pixora
