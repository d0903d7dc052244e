#pragma once
// The shared shape of every painting tool: press, move and release over
// image coordinates. The dispatcher does what all tools share (history
// snapshot, the stroke base copy, the overlay, refreshing); a tool only adds
// its own pixel rule.

#include <string>

#include "doc/workspace.h"

namespace pixora {

// What a tool works on during one pointer event.
struct ToolContext {
    Workspace& Ws;
    int SlotIndex;
    TImages& Slot;
    TToolVars& Vars;

    // The view canvas: the display copy shown by the view. Drawing here
    // never touches the image.
    Bitmap& View() { return Ws.DisplayCopy; }
    // Reads an option box control live.
    int Option(const char* box, const char* control) const;
    void RepaintView() const;
};

class Tool {
public:
    virtual ~Tool() = default;
    virtual void Press(ToolContext&, int /*x*/, int /*y*/) {}
    virtual void Move(ToolContext&, int /*x*/, int /*y*/) {}
    virtual void Release(ToolContext&, int /*x*/, int /*y*/) {}
};

// The tool object for a tool number, or nullptr for numbers without
// pointer behaviour.
Tool* ToolFor(int number);
// Installs the tool for a number (the brushes and shapes register theirs).
void RegisterTool(int number, Tool* tool);

// The tools that come with the dispatch; registered on first use.
void RegisterSelectionTool();
void RegisterCropTool();
void RegisterPickAndFillTools();
void RegisterMultiClickTools();

} // namespace pixora
