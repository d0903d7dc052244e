// The main menu, the image pop-up menu and the top tool bar.

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <map>

#include "app/main_window.h"
#include "app/view_widget.h"
#include "doc/slots.h"
#include "doc/view_geometry.h"

namespace pixora {

namespace {

// Object names as the window designer makes them: the caption's letters and
// digits followed by a number that keeps them unique.
QString DesignerName(const QString& caption, std::map<QString, int>& used) {
    QString base;
    for (QChar c : caption)
        if (c.isLetterOrNumber() && c.unicode() < 128) base += c;
    if (base.isEmpty() || base[0].isDigit()) base = "N" + base;
    const int n = ++used[base];
    return base + QString::number(n);
}

std::map<QString, int> gUsedNames;

constexpr CommandRule A = CommandRule::Always;
constexpr CommandRule I = CommandRule::NeedsImage;
constexpr CommandRule S = CommandRule::Selection;

} // namespace

QAction* MainWindow::MakeCommand(const QString& caption, const QString& name, CommandRule rule, int box) {
    auto* a = new QAction(caption, this);
    a->setObjectName(name.isEmpty() ? DesignerName(caption, gUsedNames) : name);
    a->setProperty("rule", static_cast<int>(rule));
    a->setProperty("box", box);
    commands_.push_back(a);
    return a;
}

QAction* MainWindow::Command(const QString& name) const {
    for (QAction* a : commands_)
        if (a->objectName() == name) return a;
    return nullptr;
}

void MainWindow::BuildMenus() {
    gUsedNames.clear();
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");
    auto item = [this](QMenu* m, const QString& caption, CommandRule rule, const QKeySequence& key = {},
                       int box = BoxNone) {
        QAction* a = MakeCommand(caption, QString(), rule, box);
        if (!key.isEmpty()) a->setShortcut(key);
        m->addAction(a);
        return a;
    };
    auto check = [&](QMenu* m, const QString& caption, CommandRule rule, bool checked = false) {
        QAction* a = item(m, caption, rule);
        a->setCheckable(true);
        a->setChecked(checked);
        return a;
    };

    // File
    QMenu* file = bar->addMenu("File");
    file->setObjectName("File1");
    item(file, "New Image", A, QKeySequence("Ctrl+N"));
    item(file, "Open File", A, QKeySequence("Ctrl+O"));
    item(file, "ReOpen File", CommandRule::ReOpen, QKeySequence("Ctrl+Alt+O"));
    reOpenMenu_ = file->addMenu("Re-Open");
    reOpenMenu_->setObjectName("ReOpen1");
    for (int i = 1; i <= kRecentFileCount; ++i) {
        QAction* a = MakeCommand("Files Here", QString("FilesHere%1").arg(i), A);
        reOpenMenu_->addAction(a);
        recentItems_.push_back(a);
    }
    item(file, "Convert File(s)", A);
    file->addSeparator();
    item(file, "Save", I, QKeySequence("Ctrl+S"));
    item(file, "Save As", I, QKeySequence("Ctrl+Shift+S"));
    item(file, "Save a Copy", I);
    file->addSeparator();
    item(file, "Duplicate", I, QKeySequence("Ctrl+D"));
    item(file, "Print Image", I, QKeySequence("Ctrl+P"));
    file->addSeparator();
    item(file, "Close", I, QKeySequence("Ctrl+W"));
    item(file, "Close All", I, QKeySequence("Ctrl+Alt+W"));
    file->addSeparator();
    connect(item(file, "Exit", A, QKeySequence("Ctrl+Q")), &QAction::triggered, this, &QWidget::close);

    // Edit
    QMenu* edit = bar->addMenu("Edit");
    edit->setObjectName("Edit1");
    item(edit, "Undo", CommandRule::Undo, QKeySequence("Ctrl+Z"));
    item(edit, "Redo", CommandRule::Redo, QKeySequence("Ctrl+Y"));
    item(edit, "Undo History", CommandRule::UndoHistory);
    edit->addSeparator();
    item(edit, "Cut", S, QKeySequence("Ctrl+X"));
    item(edit, "Copy", S, QKeySequence("Ctrl+C"));
    item(edit, "Paste", I, QKeySequence("Ctrl+V"));
    item(edit, "Delete", S, QKeySequence(Qt::Key_Delete));
    item(edit, "Paste to Fit Canvas", I);
    item(edit, "Paste to Fit Selection", S);
    edit->addSeparator();
    item(edit, "Select All", I, QKeySequence("Ctrl+A"));
    item(edit, "Select None", I);
    QAction* editOnly1 = check(edit, "Edit Only Selection", A);
    edit->addSeparator();
    item(edit, "Fill with FG Colour", I);
    item(edit, "Fill with BG Colour", I);
    item(edit, "Fill with Pattern", I);

    // View
    QMenu* view = bar->addMenu("View");
    view->setObjectName("View1");
    check(view, "Selection Toolbar", CommandRule::OptionBox)->setProperty("box", BoxTForm4);
    item(view, "History Dialog", CommandRule::UndoHistory);
    layerSheetItem_ = check(view, "Layer Sheet", I, true);
    connect(layerSheetItem_, &QAction::toggled, this, [this] { UpdateCommandStates(); });
    scaleBars_ = check(view, "Scale Bars", A, true);
    connect(scaleBars_, &QAction::toggled, this, [this] { RunLayout(); });
    view->addSeparator();
    const std::pair<const char*, int> boxes[] = {
        {"Pen Toolbar", BoxTForm3},       {"Line Toolbar", BoxTForm3},         {"Bezier Toolbar", BoxTForm3},
        {"Polygon Toolbar", BoxTForm3},   {"Rectangle Toolbar", BoxTForm21},   {"Round Rect Toolbar", BoxTForm22},
        {"Flood Fill Toolbar", BoxTForm25}, {"Ellipse Toolbar", BoxTForm21},   {"Spray Toolbar", BoxTForm23},
        {"Soften Toolbar", BoxTForm24},   {"Sharpen Toolbar", BoxTForm24},     {"Lighten Toolbar", BoxTForm24},
        {"Darken Toolbar", BoxTForm24}};
    for (const auto& [caption, box] : boxes) {
        QAction* a = item(view, caption, CommandRule::OptionBox, {}, box);
        a->setCheckable(true);
    }

    // Selection
    QMenu* sel = bar->addMenu("Selection");
    sel->setObjectName("Selection1");
    item(sel, "Select All", I);
    item(sel, "Select None", I);
    sel->addSeparator();
    auto* shapes = new QActionGroup(this);
    for (const char* caption : {"Rectangular Selection", "Ellipse Selection", "Free Hand Selection",
                                "Magic Wand Selection"}) {
        QAction* a = check(sel, caption, I, QString(caption) == "Rectangular Selection");
        shapes->addAction(a);
    }
    sel->addSeparator();
    item(sel, "Paste to Fit", S);
    item(sel, "Import from File to Fit", S);
    item(sel, "Crop to Selection", S);
    item(sel, "Archive as Pattern", S);
    item(sel, "Archive as Brush", S);
    item(sel, "Fill Canvas", S);
    sel->addSeparator();
    check(sel, "Duplicate on MouseUp", A);
    check(sel, "Delete Underlying", I);
    check(sel, "Exclude Selection", A);
    QAction* editOnly2 = check(sel, "Edit Only Selection", A);

    // Zoom
    QMenu* zoom = bar->addMenu("Zoom");
    zoom->setObjectName("Zoom1");
    auto addZoomItems = [this, item](QMenu* m) {
        zoomActions_["Zoom In"] = item(m, "Zoom In", I);
        zoomActions_["Zoom Out"] = item(m, "Zoom Out", I);
        zoomActions_["Custom Zoom"] = item(m, "Custom Zoom", I);
        connect(zoomActions_["Zoom In"], &QAction::triggered, this, [this] { ApplyZoom(ZoomIn); });
        connect(zoomActions_["Zoom Out"], &QAction::triggered, this, [this] { ApplyZoom(ZoomOut); });
        m->addSeparator();
        for (const TZoomStep& step : kZoomSteps) {
            const QString caption = QString::fromUtf8(step.Caption.data(), static_cast<qsizetype>(step.Caption.size()));
            if (caption == "Reset") m->addSeparator();
            const TZoom z = step.Zoom;
            QAction* a = item(m, caption, I);
            zoomActions_[caption] = a;
            connect(a, &QAction::triggered, this, [this, z] { ApplyZoom([z](TZoom) { return z; }); });
        }
    };
    addZoomItems(zoom);

    // Image
    QMenu* image = bar->addMenu("Image");
    image->setObjectName("Image1");
    item(image, "New Layer", I);
    item(image, "View Final Image", I);
    item(image, "Edit Current Layer", CommandRule::EditLayer);
    item(image, "Delete Current Layer", CommandRule::EditLayer);
    item(image, "Duplicate Current Layer", CommandRule::DuplicateLayer);
    image->addSeparator();
    item(image, "Duplicate", I, QKeySequence("Ctrl+D"))->setShortcutContext(Qt::WidgetShortcut);
    static const char* const kFilterDialogs[] = {"Colour Adjustment", "Channel Filter", "Colour Transfer", "Blur",
                                                 "Brightness",        "Contrast",       "Colour Filter",   "Noise",
                                                 "Pixelization",      "Posterize",      "Rough Blur",      "Saturation",
                                                 "Sharpen",           "Solarize"};
    static const char* const kApplyTools[] = {"Grayscale", "Lighten",    "Darken",   "Soften",
                                              "Sharpen",   "Noise",      "Tint",     "Gamma",
                                              "Contrast",  "Saturation", "Gaussian Blur", "Antialiasing"};
    QMenu* effects = image->addMenu("Effects");
    effects->setObjectName("Effects1");
    for (const char* c : kFilterDialogs) item(effects, c, I);
    QMenu* apply = image->addMenu("Apply Tools");
    apply->setObjectName("ApplyTools1");
    for (const char* c : kApplyTools) item(apply, c, I);
    item(image, "Rotate and Flip", I);
    item(image, "Reset Image", I);
    item(image, "Histogram", I);
    item(image, "Easy Scroll", I);
    QAction* crop = MakeCommand("Crop", "Crop1", I);
    image->addAction(crop);
    item(image, "Resize", I);
    item(image, "Paste As New Image", A);
    item(image, "Properties", I);

    // Colours
    QMenu* colours = bar->addMenu("Colours");
    colours->setObjectName("Colours1");
    for (const char* c : {"Select FG Colour", "Select BG Colour", "Colour Adjustment", "Colour Transfer",
                          "Channel Filter", "Brightness", "Grayscale", "Lighten", "Darken", "Soften", "Sharpen",
                          "Noise", "Contrast", "Saturation", "Histogram", "Gamma", "Tint"})
        item(colours, c, I);

    // Tools
    QMenu* tools = bar->addMenu("Tools");
    tools->setObjectName("Tools1");
    for (const char* c : {"Pen", "Line", "Bezier Curve", "Polygon", "Rectangle", "Round Rectangle", "Ellipse",
                          "Flood Fill", "Spray", "Soften", "Sharpen", "Noise", "Clone", "Lighten", "Darken"})
        item(tools, c, I);

    // Help
    QMenu* help = bar->addMenu("Help");
    help->setObjectName("Help1");
    connect(item(help, "Help Contents", A, QKeySequence(Qt::Key_F1)), &QAction::triggered, this,
            [this] { OpenHelp(); });
    item(help, "Tip of the Day", A);
    item(help, "About ...", A);

    // The "Edit Only Selection" items show one state.
    for (QAction* a : {editOnly1, editOnly2})
        connect(a, &QAction::toggled, this, [editOnly1, editOnly2](bool on) {
            editOnly1->setChecked(on);
            editOnly2->setChecked(on);
        });
}

void MainWindow::ApplyZoom(const std::function<TZoom(TZoom)>& change) {
    const int slot = ActivePage();
    if (slot < 0) return;
    TImages& s = Ws().Images[static_cast<std::size_t>(slot)];
    const TZoom z = change({s.ZoomNum, s.ZoomDen});
    if (!ZoomFits(z, s.Bitmap.Width(), s.Bitmap.Height())) return;
    s.ZoomNum = z.Num;
    s.ZoomDen = z.Den;
    view_->Layout(scaleBars_->isChecked());
    view_->DrawRulerPictures();
}

void MainWindow::BuildPopupMenu() {
    popup_ = new QMenu(this);
    popup_->setObjectName("PopupMenu1");
    auto item = [this](QMenu* m, const QString& caption, CommandRule rule) {
        QAction* a = MakeCommand(caption, QString(), rule);
        m->addAction(a);
        return a;
    };
    item(popup_, "Undo", CommandRule::Undo);
    item(popup_, "Redo", CommandRule::Redo);
    item(popup_, "Undo History", CommandRule::UndoHistory);
    popup_->addSeparator();
    item(popup_, "Cut", S);
    item(popup_, "Copy", S);
    item(popup_, "Paste", S);
    item(popup_, "Delete", S);
    popup_->addSeparator();
    QMenu* effects = popup_->addMenu("Effects");
    for (const char* c : {"Colour Adjustment", "Channel Filter", "Colour Transfer", "Blur", "Brightness", "Contrast",
                          "Colour Filter", "Noise", "Pixelization", "Posterize", "Rough Blur", "Saturation",
                          "Sharpen", "Solarize"})
        item(effects, c, I);
    QMenu* paint = popup_->addMenu("Paint Tools");
    for (const char* c : {"Pen", "Line", "Bezier Curve", "Polygon", "Rectangle", "Round Rectangle", "Ellipse",
                          "Flood Fill", "Spray", "Soften", "Shapen", "Noise", "Clone", "Lighten", "Darken"})
        item(paint, c, I);
    QMenu* imageTools = popup_->addMenu("Image Tools");
    for (const char* c : {"Grayscale", "Lighten", "Darken", "Soften", "Sharpen", "Noise", "Tint", "Gamma",
                          "Contrast", "Saturation", "Gaussian Blur", "Antialiasing"})
        item(imageTools, c, I);
    QMenu* colourTools = popup_->addMenu("Colour Tools");
    for (const char* c : {"Select FG Colour", "Select BG Colour", "Colour Adjustment", "Colour Transfer",
                          "Channel Filter", "Brightness"})
        item(colourTools, c, I);
    popup_->addSeparator();
    item(popup_, "Histogram", I);
    item(popup_, "Rotate and Flip", I);
    item(popup_, "Duplicate", I);
    item(popup_, "Reset Image", I);
    QMenu* zoom = popup_->addMenu("Zoom");
    for (const char* c : {"Zoom In", "Zoom Out", "Custom Zoom", "16:1 (1600%)", "8:1 (800%)", "4:1 (400%)",
                          "2:1 (200%)", "1:1 (100%)", "1:2 (50%)", "1:4 (25%)", "1:8 (12.5%)", "1:16 (6.25%)",
                          "Reset"}) {
        QAction* a = item(zoom, c, I);
        // Same operation as the Zoom menu's item of that caption.
        QAction* target = zoomActions_[c];
        connect(a, &QAction::triggered, target, &QAction::trigger);
    }
    QMenu* select = popup_->addMenu("Select");
    item(select, "Select All", I);
    item(select, "Select None", I);
    QAction* editOnly = item(select, "Edit Only Selection", A);
    editOnly->setCheckable(true);
    QMenu* fill = popup_->addMenu("Fill Canvas");
    item(fill, "Fill with FG Colour", I);
    item(fill, "Fill with BG Colour", I);
    item(fill, "Fill with Pattern", I);
    popup_->addSeparator();
    item(popup_, "Properties", I);
    item(popup_, "Close", I);
}

void MainWindow::BuildToolBar1() {
    toolBar1_ = addToolBar("ToolBar1");
    toolBar1_->setObjectName("ToolBar1");
    toolBar1_->setMovable(false);
    toolBar1_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolBar1_->setIconSize(QSize(22, 22));
    struct Button {
        const char* Name;
        const char* Caption;
        const char* Hint;
        const char* Icon;
        CommandRule Rule;
    };
    const Button buttons[] = {
        {"ToolButton1", "New", "New Image", "new", A},
        {"ToolButton2", "Open", "Open File", "open", A},
        {"ToolButton3", "Save", "Save", "save", I},
        {nullptr, nullptr, nullptr, nullptr, A},
        {"ToolButton4", "Cut", "Cut Selection", "cut", S},
        {"ToolButton5", "Copy", "Copy Selection", "copy", S},
        {"ToolButton6", "Paste", "Paste from Clipboard", "paste", I},
        {"ToolButton7", "Delete", "Delete Selection", "delete", S},
        {nullptr, nullptr, nullptr, nullptr, A},
        {"ToolButton10", "Undo", "Undo", "undo", CommandRule::Undo},
        {"ToolButton11", "Redo", "Redo", "redo", CommandRule::Redo},
        {nullptr, nullptr, nullptr, nullptr, A},
        {"ToolButton13", "Zoom +", "Zoom In", "zoom-in", I},
        {"ToolButton14", "Zoom -", "Zoom Out", "zoom-out", I},
        {"ToolButton19", "Scroll", "Image Navigator", "scroll", I},
        {nullptr, nullptr, nullptr, nullptr, A},
        {"ToolButton16", "Crop", "Crop Image", "crop", I},
        {"ToolButton17", "Resize", "Resize Image", "resize", I},
        {"ToolButton18", "Rotate", "Rotate and Flip Image", "rotate", I},
    };
    for (const Button& b : buttons) {
        if (!b.Name) {
            toolBar1_->addSeparator();
            continue;
        }
        QAction* a = MakeCommand(b.Caption, QString(b.Name), b.Rule);
        a->setToolTip(b.Hint);
        a->setIcon(QIcon(QString(":/icons/%1.svg").arg(b.Icon)));
        toolBar1_->addAction(a);
        QWidget* w = toolBar1_->widgetForAction(a);
        w->setObjectName(QString(b.Name) + "Widget");
        Hint(w, b.Name);
    }
    // Drop-down lists of the open, undo and redo buttons.
    openDown_ = new QMenu(this);
    openDown_->setObjectName("OpenDown");
    for (int i = 0; i < kRecentFileCount; ++i) {
        QAction* a = MakeCommand("Files Here", i == 0 ? QString("FileHere1") : QString("FilesHere%1").arg(10 + i), A);
        openDown_->addAction(a);
        openDownItems_.push_back(a);
    }
    if (auto* open = qobject_cast<QToolButton*>(toolBar1_->widgetForAction(Command("ToolButton2")))) {
        open->setMenu(openDown_);
        open->setPopupMode(QToolButton::MenuButtonPopup);
    }
    for (const char* name : {"UndoDown", "RedoDown"}) {
        auto* m = new QMenu(this);
        m->setObjectName(name);
        auto* button = qobject_cast<QToolButton*>(
            toolBar1_->widgetForAction(Command(QString(name) == "UndoDown" ? "ToolButton10" : "ToolButton11")));
        if (button) {
            button->setMenu(m);
            button->setPopupMode(QToolButton::MenuButtonPopup);
        }
    }
    connect(Command("ToolButton13"), &QAction::triggered, zoomActions_["Zoom In"], &QAction::trigger);
    connect(Command("ToolButton14"), &QAction::triggered, zoomActions_["Zoom Out"], &QAction::trigger);
}

} // namespace pixora
