// Connects the tool buttons, the pointer events of the image, the Tools
// menu and the selection and crop commands to the main window.
#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QMouseEvent>
#include <QToolButton>

#include "app/installers.h"
#include "app/main_window.h"
#include "app/view_widget.h"
#include "tools/selection.h"
#include "tools/tool_dispatch.h"
#include "tools/tool_table.h"
#include "tools/ui/option_boxes.h"

namespace pixora {

namespace {

// Hands pointer moves over the scroll panel to the view in the image's own
// pixels.
class PanelMoveForwarder : public QObject {
public:
    PanelMoveForwarder(ViewWidget& view, QObject* parent) : QObject(parent), view_(view) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseMove) {
            const QPoint p = static_cast<QMouseEvent*>(event)->position().toPoint() - view_.Image()->pos();
            view_.PointerMove(p.x(), p.y());
        }
        return QObject::eventFilter(watched, event);
    }

private:
    ViewWidget& view_;
};

// Cursor and option box of a tool as the tab change shows them: the
// history and custom brush boxes are modal and open only on choosing.
void ShowTool(MainWindow& w, int tool, bool chosen) {
    CloseToolBoxes(w);
    const TToolDescription& row = ToolDescription(tool);
    w.SetCanvasCursor(row.Cursor);
    if (tool <= 0) return;
    if (!chosen && row.ModalBox) return;
    ShowOptionBoxForTool(w, tool);
}

// The window's part of a tool just chosen: buttons, command states,
// cursor and option box.
void ShowChosenTool(MainWindow& w, int tool) {
    w.ShowToolButtonState();
    w.UpdateCommandStates();
    ShowTool(w, tool, true);
}

// Choosing a tool from a tool button, the Tools menu or a crop command;
// false when the choice was refused.
bool SelectTool(MainWindow& w, int tool) {
    if (!SelectToolCore(w.Ws(), tool)) {
        w.ShowToolButtonState();
        return false;
    }
    ShowChosenTool(w, tool);
    return true;
}

} // namespace

void InstallToolCommands(MainWindow& w) {
    Workspace& ws = w.Ws();
    TPointerHooks& hooks = w.View()->Hooks;
    hooks.Down = [&ws](int x, int y, int button) { PointerDown(ws, x, y, button); };
    hooks.Move = [&ws](int x, int y) { PointerMove(ws, x, y); };
    hooks.Up = [&ws](int x, int y) { PointerUp(ws, x, y); };
    hooks.CropToSelection = [&ws] { CropToSelection(ws); };

    w.OnToolButton = [&w](int tool) { SelectTool(w, tool); };
    w.OnShowTool = [&w](int tool) { ShowTool(w, tool, false); };
    // Moves over the panel around the image reach the tools too (the crop
    // handles reach two pixels beyond the image's edge).
    auto* forward = new PanelMoveForwarder(*w.View(), w.View()->ScrollPanel());
    w.View()->ScrollPanel()->installEventFilter(forward);
    w.View()->ScrollPanel()->setMouseTracking(true);

    auto on = [&w](const char* name, std::function<void()> f) {
        if (QAction* a = w.Command(name)) QObject::connect(a, &QAction::triggered, &w, f);
    };
    auto image = [&ws] { return ws.HasOpenImage() && ws.ActiveSlot() >= 0; };

    // The Tools menu and the pop-up menu's "Paint Tools".
    const std::pair<const char*, int> tools[] = {
        {"Pen", ToolPen},         {"Line", ToolLine},           {"BezierCurve", ToolBezier},
        {"Polygon", ToolPolygon}, {"Rectangle", ToolRectangle}, {"RoundRectangle", ToolRoundRect},
        {"Ellipse", ToolEllipse}, {"FloodFill", ToolFloodFill}, {"Spray", ToolSpray},
        {"Soften", ToolSoften},   {"Sharpen", ToolSharpen},     {"Shapen", ToolSharpen},
        {"Noise", ToolNoise},     {"Clone", ToolClone},         {"Lighten", ToolLighten},
        {"Darken", ToolDarken}};
    QMenu* toolsMenu = nullptr;
    for (QMenu* m : w.findChildren<QMenu*>())
        if (m->objectName() == "Tools1") toolsMenu = m;
    QList<QAction*> items;
    if (toolsMenu) items += toolsMenu->actions();
    for (QMenu* m : w.ImagePopup()->findChildren<QMenu*>())
        if (m->title() == "Paint Tools") items += m->actions();
    for (QAction* a : items) {
        QString key = a->text();
        key.remove(' ');
        for (const auto& [name, tool] : tools)
            if (key == name) {
                const int n = tool;
                QObject::connect(a, &QAction::triggered, &w, [&w, n] { SelectTool(w, n); });
            }
    }

    // Selection commands, in the Edit and Selection menus and the pop-up.
    for (const char* name : {"SelectAll1", "SelectAll2", "SelectAll3"})
        on(name, [&w, image] {
            if (!image()) return;
            SelectAll(w.Ws());
            ShowChosenTool(w, ToolSelection);
        });
    for (const char* name : {"SelectNone1", "SelectNone2", "SelectNone3"})
        on(name, [&ws, image] {
            if (image()) SelectNone(ws);
        });
    for (const char* name : {"FillwithFGColour1", "FillwithFGColour2"})
        on(name, [&ws, image] {
            if (image()) FillWithColour(ws, true);
        });
    for (const char* name : {"FillwithBGColour1", "FillwithBGColour2"})
        on(name, [&ws, image] {
            if (image()) FillWithColour(ws, false);
        });

    // Crop: the menu item chooses the crop rectangle tool; the tool button
    // chooses it and crops at once; "Crop to Selection" and a double click
    // crop to the rectangle shown.
    auto chooseCrop = [&w, image] { return image() && SelectTool(w, ToolCrop); };
    on("Crop1", [&w, chooseCrop] {
        if (!chooseCrop()) return;
        w.Ws().ToolVars.CropShown = 0;
        w.RefreshView();
    });
    on("ToolButton16", [&ws, chooseCrop] {
        if (chooseCrop()) ApplyCrop(ws);
    });
    on("CroptoSelection1", [&ws] { CropToSelection(ws); });
}

} // namespace pixora
