#pragma once
// Pointer dispatch: what every tool shares at press, move and release, and
// the handle hit test of the crop and selection rectangles.

#include "doc/workspace.h"

namespace pixora {

// Image coordinates; button 0 left, 1 right, 2 middle.
void PointerDown(Workspace& ws, int x, int y, int button);
void PointerMove(Workspace& ws, int x, int y);
void PointerUp(Workspace& ws, int x, int y);

// Which handle of the rectangle (DownX, DownY)-(SelRight, SelBottom) of
// the active slot lies under (x, y): 1..4 corners, 5..8 edges, 9 inside,
// 0 none. For 9 the grab offsets are recorded in the tool record.
int HitTestHandles(Workspace& ws, int x, int y);
// The cursor shown while hovering over a handle code.
int HandleCursor(int code);
// Moves the rectangle's corners as a drag with handle `code` to (x, y) does.
void ApplyHandleDrag(Workspace& ws, int code, int x, int y);

// The window-free part of choosing a tool: refused (false) without an
// image, or for the History Brush while the image has no history step.
// Drops the selection unless "Apply Edit to Selection Only" or "Exclude
// Selection from Edit" keeps it, and sets the slot's tool.
bool SelectToolCore(Workspace& ws, int tool);

// The box and its controls that the selection options live in.
inline constexpr const char* kSelectBox = "TForm4";

} // namespace pixora
