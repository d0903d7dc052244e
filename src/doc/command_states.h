#pragma once
// Which commands are available. Every menu item and button carries one of
// these rules; after each change that can affect them the window asks
// CommandEnabled for each and enables or disables it.

#include "doc/workspace.h"

namespace pixora {

enum class CommandRule {
    Always,          // available with or without an image
    NeedsImage,      // available while an image is open
    ReOpen,          // the image came from a file
    Undo,            // a step can be undone
    Redo,            // a step can be redone
    UndoHistory,     // the image has history snapshots
    Selection,       // the selection tool holds a selection
    DuplicateLayer,  // a layer is being edited
    EditLayer,       // an upper layer is being edited (edit, delete)
    OptionBox,       // the current tool is served by a given option box
};

// Option boxes by the number they record when shown.
enum OptionBox : int {
    BoxNone = 0,
    BoxTForm3 = 1,
    BoxTForm21 = 2,
    BoxTForm22 = 3,
    BoxTForm23 = 4,
    BoxTForm24 = 5,
    BoxTForm43 = 6,
    BoxTForm4 = 7,
    BoxTForm25 = 8,
    BoxTForm44 = 9,
};

// Window name of the option box with a recorded number ("" for none).
const char* OptionBoxWindowName(int box);

// The option box that the View menu's toolbar items toggle for a tool
// (tools without one give BoxNone).
int ToggledBoxForTool(int tool);

// `box` is used by CommandRule::OptionBox only.
bool CommandEnabled(const Workspace& ws, CommandRule rule, int box = BoxNone);

// The layer sheet is shown only while an image is open.
bool LayerSheetAllowed(const Workspace& ws);

} // namespace pixora
