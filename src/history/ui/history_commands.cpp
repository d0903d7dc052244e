#include "history/ui/history_commands.h"

#include <QAction>
#include <QMenu>
#include <vector>

#include "history/history_store.h"
#include "history/ui/geometry_windows.h"
#include "history/ui/undo_history_dialog.h"
#include "window_kit/window_host.h"

namespace pixora {

namespace {

QMenu* List(WindowHost& w, const char* name) {
    return w.Owner()->findChild<QMenu*>(name);
}

// Item j of a list undoes or redoes j + 1 steps.
void ShowList(QMenu* menu, const std::vector<std::string>& names) {
    if (!menu) return;
    const QList<QAction*> items = menu->actions();
    for (qsizetype j = 0; j < items.size(); ++j) {
        const bool shown = j < static_cast<qsizetype>(names.size());
        if (shown) items[j]->setText(QString::fromStdString(names[static_cast<std::size_t>(j)]));
        items[j]->setVisible(shown);
    }
}

void RunUndo(WindowHost& w) {
    UndoStep(w.Ws());
}
void RunRedo(WindowHost& w) {
    RedoStep(w.Ws());
}

} // namespace

TCommandList HistoryCommands() {
    constexpr CommandRule I = CommandRule::NeedsImage;
    return {
        Cmd("Undo1", "Undo", CommandRule::Undo).Keys("Ctrl+Z").Does(RunUndo),
        Cmd("Undo2", "Undo", CommandRule::Undo).Does(RunUndo),
        Cmd("ToolButton10", "Undo", CommandRule::Undo)
            .Button(":/icons/undo.svg", "Undo", "Undo the previous step")
            .Does(RunUndo),
        Cmd("Redo1", "Redo", CommandRule::Redo).Keys("Ctrl+Y").Does(RunRedo),
        Cmd("Redo2", "Redo", CommandRule::Redo).Does(RunRedo),
        Cmd("ToolButton11", "Redo", CommandRule::Redo)
            .Button(":/icons/redo.svg", "Redo", "Redo the previous step")
            .Does(RunRedo),
        Cmd("UndoHistory1", "Undo History", CommandRule::UndoHistory).Dialog().Does(ShowUndoHistory),
        Cmd("UndoHistory2", "Undo History", CommandRule::UndoHistory).Dialog().Does(ShowUndoHistory),
        Cmd("HistoryDialog1", "History Dialog", CommandRule::UndoHistory).Does(ShowUndoHistory),
        Cmd("ResetImage1", "Reset Image", I).Dialog().Does(ShowResetImage),
        Cmd("ResetImage2", "Reset Image", I).Dialog().Does(ShowResetImage),
        Cmd("RotateandFlip1", "Rotate and Flip", I).Dialog().Does(RunRotateImage),
        Cmd("RotateandFlip2", "Rotate and Flip", I).Dialog().Does(RunRotateImage),
        Cmd("Resize1", "Resize", I).Dialog().Does(RunResizeImage),
        Cmd("ToolButton17", "Resize", I)
            .Button(":/icons/resize.svg", "Resize Image", "Resize the current canvas")
            .Does(RunResizeImage),
        Cmd("ToolButton18", "Rotate", I)
            .Button(":/icons/rotate.svg", "Rotate and Flip Image",
                    "Flip, Mirror and Rotate the current image")
            .Does(RunRotateImage),
    };
}

void InstallHistoryLists(WindowHost& w) {
    Workspace& ws = w.Ws();
    // Redo items are Item1..10, undo items Item11..20.
    for (auto [name, first, direction] : {std::tuple{"RedoDown", 1, 1}, std::tuple{"UndoDown", 11, -1}}) {
        QMenu* menu = List(w, name);
        if (!menu) continue;
        for (int j = 1; j <= kHistoryListLength; ++j) {
            auto* a = new QAction("Item", menu);
            a->setObjectName(QString("Item%1").arg(first + j - 1));
            a->setVisible(false);
            menu->addAction(a);
            const int steps = direction * j;
            QObject::connect(a, &QAction::triggered, w.Owner(), [&ws, steps] {
                if (const TActiveImage s = ws.ActiveImage()) JumpToHistoryStep(ws, s->HistoryPos + steps);
            });
        }
    }
}

void ShowHistoryMenus(WindowHost& w) {
    Workspace& ws = w.Ws();
    const TActiveImage s = ws.ActiveImage();
    const THistoryMenus m = s ? HistoryMenuTexts(*s) : THistoryMenus{};
    ShowList(List(w, "UndoDown"), m.UndoItems);
    ShowList(List(w, "RedoDown"), m.RedoItems);
    if (QAction* undo = w.Command("Undo1")) undo->setText(QString::fromStdString(m.UndoCaption));
    if (QAction* redo = w.Command("Redo1")) redo->setText(QString::fromStdString(m.RedoCaption));
}

} // namespace pixora
