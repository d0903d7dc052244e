#include "tools/ui/clipboard_commands.h"

namespace pixora {

TCommandList ClipboardCommands() {
    constexpr CommandRule A = CommandRule::Always;
    constexpr CommandRule I = CommandRule::NeedsImage;
    constexpr CommandRule S = CommandRule::Selection;
    return {
        Cmd("Cut1", "Cut", S).Keys("Ctrl+X"),
        Cmd("Copy1", "Copy", S).Keys("Ctrl+C"),
        Cmd("Paste1", "Paste", I).Keys("Ctrl+V"),
        Cmd("Delete1", "Delete", S).Keys("Del"),
        Cmd("Cut2", "Cut", S),
        Cmd("Copy2", "Copy", S),
        Cmd("Paste2", "Paste", S),
        Cmd("Delete2", "Delete", S),
        Cmd("ToolButton4", "Cut", S).Button(":/icons/cut.svg", "Cut Selection", "Cut the current selection"),
        Cmd("ToolButton5", "Copy", S)
            .Button(":/icons/copy.svg", "Copy Selection", "Copy the current selection to the clipboard"),
        Cmd("ToolButton6", "Paste", I)
            .Button(":/icons/paste.svg", "Paste from Clipboard", "Paste from the clipboard to the canvas"),
        Cmd("ToolButton7", "Delete", S)
            .Button(":/icons/delete.svg", "Delete Selection", "Delete the current selection"),
        Cmd("PastetoFitCanvas1", "Paste to Fit Canvas", I),
        Cmd("PastetoFitSelection1", "Paste to Fit Selection", S),
        Cmd("PastetoFit1", "Paste to Fit", S),
        Cmd("ImportfromFiletoFit1", "Import from File to Fit", S),
        Cmd("PasteAsNewImage1", "Paste As New Image", A),
        Cmd("ArchiveasPattern1", "Archive as Pattern", S),
        Cmd("ArchiveasBrush1", "Archive as Brush", S),
        Cmd("FillwithPattern1", "Fill with Pattern", I),
        Cmd("FillwithPattern2", "Fill with Pattern", I),
    };
}

} // namespace pixora
