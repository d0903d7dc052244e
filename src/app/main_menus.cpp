// The main window's part of the commands: one action per command of the
// subsystems' lists, placed in the main menu, the image pop-up menu and the
// top tool bar as the menu layout says.

#include <QAction>
#include <QActionGroup>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <functional>
#include <map>

#include "app/main_window.h"
#include "app/menu_layout.h"
#include "app/view_controls.h"
#include "doc/slots.h"
#include "doc/view_geometry.h"
#include "window_kit/window_support.h"

namespace pixora {

namespace {

// Fills a menu bar or menu from a layout; sub-menus nest until their End.
void Place(const std::vector<TMenuEntry>& layout, std::size_t& i, QWidget* into,
           const std::function<QMenu*(const QString&)>& addMenu, const MainWindow& w) {
    auto* menu = qobject_cast<QMenu*>(into);
    while (i < layout.size()) {
        const TMenuEntry& e = layout[i++];
        switch (e.Kind) {
        case TEntryKind::End:
            return;
        case TEntryKind::Separator:
            if (menu) menu->addSeparator();
            break;
        case TEntryKind::Item:
            if (QAction* a = w.Command(Text(e.Name)); a && menu) menu->addAction(a);
            break;
        case TEntryKind::Menu: {
            QMenu* sub = addMenu(Text(e.Text));
            if (!e.Name.empty()) sub->setObjectName(Text(e.Name));
            Place(
                layout, i, sub, [sub](const QString& t) { return sub->addMenu(t); }, w);
            break;
        }
        }
    }
}

} // namespace

QAction* MainWindow::MakeAction(const TCommand& c) {
    QString caption = Text(c.Caption);
    if (c.OpensDialog && !caption.endsWith(QLatin1String("..."))) caption += QLatin1String("...");
    auto* a = new QAction(caption, this);
    a->setObjectName(Text(c.Name));
    a->setProperty("rule", static_cast<int>(c.Rule));
    a->setProperty("box", c.Box);
    if (!c.Shortcut.empty()) {
        a->setShortcut(QKeySequence(Text(c.Shortcut)));
        if (c.WidgetShortcut) a->setShortcutContext(Qt::WidgetShortcut);
    }
    if (c.Checkable) {
        a->setCheckable(true);
        a->setChecked(c.Checked);
    }
    if (!c.Group.empty()) {
        QActionGroup*& group = groups_[c.Group];
        if (!group) group = new QActionGroup(this);
        group->addAction(a);
    }
    if (!c.Icon.empty()) a->setIcon(QIcon(Text(c.Icon)));
    if (!c.Tip.empty()) a->setToolTip(Text(c.Tip));
    if (!c.StatusHint.empty()) a->setProperty("statusText", Text(c.StatusHint));
    if (c.Run) {
        auto run = c.Run;
        if (c.RunOnToggle)
            connect(a, &QAction::toggled, this, [this, run] { run(*this); });
        else
            connect(a, &QAction::triggered, this, [this, run] { run(*this); });
    }
    commands_.push_back(a);
    return a;
}

QAction* MainWindow::Command(const QString& name) const {
    for (QAction* a : commands_)
        if (a->objectName() == name) return a;
    return nullptr;
}

void MainWindow::PlaceCommands() {
    for (const TCommand& c : AllCommands())
        MakeAction(c);
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");
    const std::vector<TMenuEntry> main = MainMenuLayout();
    std::size_t i = 0;
    Place(
        main, i, bar, [bar](const QString& t) { return bar->addMenu(t); }, *this);
    popup_ = new QMenu(this);
    popup_->setObjectName("PopupMenu1");
    const std::vector<TMenuEntry> popup = PopupMenuLayout();
    i = 0;
    Place(
        popup, i, popup_, [this](const QString& t) { return popup_->addMenu(t); }, *this);
    BuildToolBar1();
}

bool MainWindow::RulersShown() const {
    const QAction* scaleBars = Command("ScaleBars1");
    return scaleBars && scaleBars->isChecked();
}

void MainWindow::ApplyZoom(const std::function<TZoom(TZoom)>& change) {
    const TActiveImage active = ws_->ActiveImage();
    if (!active) return;
    view_->ZoomTo(change(SlotZoom(*active)), RulersShown());
}

void MainWindow::BuildToolBar1() {
    toolBar1_ = addToolBar("ToolBar1");
    toolBar1_->setObjectName("ToolBar1");
    toolBar1_->setMovable(false);
    toolBar1_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolBar1_->setIconSize(QSize(22, 22));
    for (const TToolBarEntry& e : TopToolBarLayout()) {
        QAction* a = e.Command.empty() ? nullptr : Command(Text(e.Command));
        if (!a) {
            toolBar1_->addSeparator();
            continue;
        }
        toolBar1_->addAction(a);
        QWidget* w = toolBar1_->widgetForAction(a);
        w->setObjectName(a->objectName() + "Widget");
        w->setProperty("statusText", a->property("statusText"));
        if (e.DropDown.empty()) continue;
        // A button with a drop-down list of its own.
        auto* list = new QMenu(this);
        list->setObjectName(Text(e.DropDown));
        for (std::string_view item : e.Items)
            if (QAction* entry = Command(Text(item))) list->addAction(entry);
        if (auto* button = qobject_cast<QToolButton*>(w)) {
            button->setMenu(list);
            button->setPopupMode(QToolButton::MenuButtonPopup);
        }
    }
}

} // namespace pixora
