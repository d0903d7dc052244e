#pragma once
// The Undo History dialog's list of snapshots, and the history brush's
// source: what the dialog shows and does, without the dialog.
//
// The list has one row of 58 pixels per stored snapshot, with its thumbnail
// in a frame on the left and its step name beside it; the chosen row is
// highlighted. It scrolls inside a panel 201 pixels high.

#include "doc/workspace.h"

namespace pixora {

inline constexpr int kHistoryRowHeight = 58;
inline constexpr int kHistoryPanelHeight = 201;

// Height of the list of `count` snapshots: 58 x count + 55.
int HistoryListHeight(int count);
// The scroll bar's maximum for that list; 0 when the list fits the panel
// (then the scroll bar is hidden).
int HistoryScrollMax(int count);

// The snapshot (1-based) whose row a press at list height y falls on, or 0
// between rows and below the last one.
int HistoryRowAt(int y, int count);

// The chosen row's colours: the window gives its palette's highlight; on
// its own the row is blue with black text.
struct THistoryRowColours {
    int32_t Highlight = RGBColour(0, 0, 255);
    int32_t HighlightText = 0;
};

// Draws the list of a slot's snapshots into `list` (32 bits, `width` wide),
// row `selectedStep` highlighted.
void DrawHistoryList(const TImages& s, int selectedStep, int width, Bitmap& list,
                     const THistoryRowColours& colours = {});

// The state `target` of a slot (0 the original image, the slot's HistoryPos
// the image on screen) into `into`: false for a state outside the history.
// Throws ECodecError when its snapshot cannot be read.
bool ReadHistoryState(Workspace& ws, int slot, int target, Bitmap& into);

// Makes snapshot target + 1 the history brush's source (StrokeBase),
// leaving the image and the history as they are: a stroke from it is a new
// step on top, and every stored state stays. When target + 1 is the state
// on screen the source is the image itself. Nothing happens while
// HistoryPos is 0, for a target outside the history, or when the snapshot
// cannot be read (that is reported). Returns whether it loaded.
bool LoadHistoryBrushSource(Workspace& ws, int target);

} // namespace pixora
