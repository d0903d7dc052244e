#include "tools/ui/clipboard_commands.h"

#include <QClipboard>
#include <QGuiApplication>

#include "doc/slots.h"
#include "io/codecs/image_codecs.h"
#include "io/ui/file_commands.h"
#include "tools/clipboard.h"
#include "tools/clipboard_image.h"
#include "tools/tool_table.h"
#include "tools/ui/library_box.h"
#include "tools/ui/tool_commands.h"
#include "window_kit/window_host.h"

namespace pixora {

namespace {

void PutOnClipboard(const Bitmap& picture) {
    QGuiApplication::clipboard()->setMimeData(PictureMimeData(picture));
}

// The clipboard's picture: empty when there is none; one that cannot be
// read is reported.
Bitmap TakeFromClipboard(WindowHost& w) {
    TClipboardPicture p = ReadPicture(QGuiApplication::clipboard()->mimeData());
    if (!p.Problem.empty())
        w.Ws().Port->ReportProblem("The picture on the clipboard could not be read.", p.Problem);
    return std::move(p.Pixels);
}

void RunCut(WindowHost& w) {
    Bitmap picture;
    if (CutSelection(w.Ws(), picture)) PutOnClipboard(picture);
}

void RunCopy(WindowHost& w) {
    Bitmap picture;
    if (CopySelection(w.Ws(), picture)) PutOnClipboard(picture);
}

void RunDelete(WindowHost& w) {
    DeleteSelection(w.Ws());
}

void RunPaste(WindowHost& w) {
    if (w.Ws().ActiveImage() && PasteAsSelection(w.Ws(), TakeFromClipboard(w)))
        ShowChosenTool(w, ToolSelection);
}

void RunPasteToFit(WindowHost& w) {
    if (HasToolSelection(w.Ws())) PasteIntoSelection(w.Ws(), TakeFromClipboard(w));
}

void RunImportToFit(WindowHost& w) {
    if (!HasToolSelection(w.Ws())) return;
    const QString path = AskOpenFile(w);
    if (path.isEmpty()) return;
    Bitmap picture;
    try {
        picture = LoadImageFile(path.toStdString(), FormatFromExtension(path.toStdString()));
    } catch (const std::exception& e) {
        w.Ws().Port->ReportError(2, e.what());
        return;
    }
    PasteIntoSelection(w.Ws(), std::move(picture));
}

void RunPasteToFitCanvas(WindowHost& w) {
    if (w.Ws().ActiveImage()) PasteToFitCanvas(w.Ws(), TakeFromClipboard(w));
}

void RunPasteAsNewImage(WindowHost& w) {
    // Fifteen images open: the clipboard is not even read.
    if (!RoomForAnotherImage(w.Ws())) return;
    if (PasteAsNewImage(w.Ws(), TakeFromClipboard(w)) >= 0) w.UpdateCommandStates();
}

} // namespace

void RunFillCanvas(WindowHost& w) {
    FillCanvas(w.Ws());
}

TCommandList ClipboardCommands() {
    constexpr CommandRule A = CommandRule::Always;
    constexpr CommandRule I = CommandRule::NeedsImage;
    constexpr CommandRule S = CommandRule::Selection;
    return {
        Cmd("Cut1", "Cut", S).Keys("Ctrl+X").Does(RunCut),
        Cmd("Copy1", "Copy", S).Keys("Ctrl+C").Does(RunCopy),
        Cmd("Paste1", "Paste", I).Keys("Ctrl+V").Does(RunPaste),
        Cmd("Delete1", "Delete", S).Keys("Del").Does(RunDelete),
        Cmd("Cut2", "Cut", S).Does(RunCut),
        Cmd("Copy2", "Copy", S).Does(RunCopy),
        Cmd("Paste2", "Paste", S).Does(RunPaste),
        Cmd("Delete2", "Delete", S).Does(RunDelete),
        Cmd("ToolButton4", "Cut", S)
            .Button(":/icons/cut.svg", "Cut Selection", "Cut the current selection")
            .Does(RunCut),
        Cmd("ToolButton5", "Copy", S)
            .Button(":/icons/copy.svg", "Copy Selection", "Copy the current selection to the clipboard")
            .Does(RunCopy),
        Cmd("ToolButton6", "Paste", I)
            .Button(":/icons/paste.svg", "Paste from Clipboard", "Paste from the clipboard to the canvas")
            .Does(RunPaste),
        Cmd("ToolButton7", "Delete", S)
            .Button(":/icons/delete.svg", "Delete Selection", "Delete the current selection")
            .Does(RunDelete),
        Cmd("PastetoFitCanvas1", "Paste to Fit Canvas", I).Does(RunPasteToFitCanvas),
        Cmd("PastetoFitSelection1", "Paste to Fit Selection", S).Does(RunPasteToFit),
        Cmd("PastetoFit1", "Paste to Fit", S).Does(RunPasteToFit),
        Cmd("ImportfromFiletoFit1", "Import from File to Fit", S).Dialog().Does(RunImportToFit),
        Cmd("PasteAsNewImage1", "Paste As New Image", A).Does(RunPasteAsNewImage),
        Cmd("ArchiveasPattern1", "Archive as Pattern", S).Dialog().Does(ArchivePattern),
        Cmd("ArchiveasBrush1", "Archive as Brush", S).Dialog().Does(ArchiveBrush),
        Cmd("FillwithPattern1", "Fill with Pattern", I).Dialog().Does(ShowPatterns),
        Cmd("FillwithPattern2", "Fill with Pattern", I).Dialog().Does(ShowPatterns),
    };
}

} // namespace pixora
