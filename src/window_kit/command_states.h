#pragma once
// Which commands are available. Every menu item and button carries one of
// these rules; after each change that can affect them the window asks
// CommandEnabled for each and enables or disables it.

#include "doc/workspace.h"
#include "tools/tool_table.h"

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

// The option box that the View menu's toolbar items toggle for a tool
// (tools without one give BoxNone): the tool's row says.
int ToggledBoxForTool(int tool);

// `box` is used by CommandRule::OptionBox only.
bool CommandEnabled(const Workspace& ws, CommandRule rule, int box = BoxNone);

// The layer sheet is shown only while an image is open.
bool LayerSheetAllowed(const Workspace& ws);

} // namespace pixora
