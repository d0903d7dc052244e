#include "tools/ui/option_box_forms.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <span>

#include "tools/ui/gradient_box.h"
#include "tools/ui/library_box.h"
#include "tools/ui/option_box_window.h"
#include "tools/ui/selection_commands.h"
#include "tools/ui/text_editor.h"
#include "window_kit/command_states.h"
#include "window_kit/window_host.h"

namespace pixora {

namespace {

OptionControl Make(OptionControl::Kind kind, const char* name, const QString& caption) {
    OptionControl c;
    c.Type = kind;
    c.Name = name;
    c.Caption = caption;
    return c;
}

OptionControl Spin(const char* name, const QString& caption, int min, int max, int value, int step = 1,
                   const QString& suffix = {}) {
    OptionControl c = Make(OptionControl::Spin, name, caption);
    c.Min = min;
    c.Max = max;
    c.Step = step;
    c.Value = value;
    c.Suffix = suffix;
    return c;
}

OptionControl Check(const char* name, const QString& caption, bool checked) {
    OptionControl c = Make(OptionControl::Check, name, caption);
    c.Value = checked ? 1 : 0;
    return c;
}

OptionControl Track(const char* name, const QString& caption, int min, int max, int value,
                    const QStringList& ends = {}) {
    OptionControl c = Make(OptionControl::Track, name, caption);
    c.Min = min;
    c.Max = max;
    c.Value = value;
    c.Items = ends;
    return c;
}

OptionControl Radio(const char* name, const QString& title, const QStringList& items, int index) {
    OptionControl c = Make(OptionControl::Radio, name, title);
    c.Value = index;
    c.Items = items;
    return c;
}

OptionControl Combo(const char* name, const QStringList& items, int index) {
    OptionControl c = Make(OptionControl::Combo, name, {});
    c.Value = index;
    c.Items = items;
    return c;
}

OptionControl Beside(OptionControl c) {
    c.Beside = true;
    return c;
}

OptionControl ChangeTransparency() {
    return Check("CT", "Change Transparency", true);
}

// The pen and shape boxes share these; the round rectangle's box spells the
// antialiasing caption without the colon.
std::vector<OptionControl> PenControls(const QString& antiCaption) {
    return {Spin("Occ", "Occupancy:", 1, 100, 100, 1, "%"),
            Spin("Size", "Size:", 1, 20, 1),
            Check("Anti", antiCaption, false),
            Beside(Spin("AP", {}, 1, 100, 10)),
            Check("UG", "Use Gradient", false),
            ChangeTransparency()};
}

// "Use Gradient": checking it shows the Gradient box modally and greys out
// the occupancy, which the gradient replaces; unchecking brings it back.
void WireUseGradient(WindowHost& w, OptionBoxWindow* box) {
    auto* ug = box->findChild<QCheckBox*>("UG");
    auto* occ = box->findChild<QWidget*>("Occ");
    QObject::connect(ug, &QCheckBox::clicked, box, [&w, occ](bool checked) {
        if (checked) {
            QWidget* gradient = w.Window(TWindow::Gradient);
            if (auto* dialog = qobject_cast<QDialog*>(gradient))
                dialog->exec();
            else if (gradient)
                gradient->show();
        }
        occ->setEnabled(!checked);
    });
}

OptionBoxWindow* ToolBox(WindowHost& w, int number, const std::vector<OptionControl>& controls) {
    auto* box = new OptionBoxWindow(w, number, w.Owner());
    box->AddControls(controls);
    if (box->findChild<QCheckBox*>("UG")) WireUseGradient(w, box);
    return box;
}

// The menu items of the given names.
QList<QAction*> MenuItems(WindowHost& w, std::span<const std::string_view> names) {
    QList<QAction*> items;
    for (std::string_view name : names)
        if (QAction* a = w.Command(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()))))
            items << a;
    return items;
}

// A check box and the menu items that show the same choice follow each other.
void Mirror(QCheckBox* box, const QList<QAction*>& items) {
    QObject::connect(box, &QCheckBox::toggled, box, [items](bool on) {
        for (QAction* a : items)
            a->setChecked(on);
    });
    for (QAction* a : items)
        QObject::connect(a, &QAction::triggered, box, [box](bool on) { box->setChecked(on); });
}

OptionBoxWindow* SelectOptions(WindowHost& w) {
    static const QStringList kTypes = {"Rectangle Selection", "Ellipse Selection", "Free Hand Selection",
                                       "Magic Wand Selection"};
    OptionBoxWindow* box =
        ToolBox(w, BoxTForm4,
                {Radio("RadioGroup1", "Selection Type", kTypes, 0),
                 Radio("RadioGroup2", "Edit", {"Edit Selection Area", "Edit Selected Canvas"}, 1),
                 Check("A", "Apply Edit to Selection Only", false),
                 Check("E", "Exclude Selection from Edit", false), Check("D", "Duplicate on MouseUp", false),
                 Check("DU", "Delete Underlying", false), Track("T", "Tolerence:", 0, 100, 0)});
    auto* a = box->findChild<QCheckBox*>("A");
    auto* e = box->findChild<QCheckBox*>("E");
    // Confining edits to the selection and excluding it exclude each other.
    QObject::connect(a, &QCheckBox::toggled, e, [e](bool on) {
        if (on) e->setChecked(false);
    });
    QObject::connect(e, &QCheckBox::toggled, a, [a](bool on) {
        if (on) a->setChecked(false);
    });
    Mirror(a, MenuItems(w, kEditOnlySelectionItems));
    Mirror(e, MenuItems(w, kExcludeSelectionItems));
    Mirror(box->findChild<QCheckBox*>("D"), MenuItems(w, kDuplicateOnMouseUpItems));
    Mirror(box->findChild<QCheckBox*>("DU"), MenuItems(w, kDeleteUnderlyingItems));

    // The selection type and the Selection menu's type items.
    const QList<QRadioButton*> types =
        box->findChild<QGroupBox*>("RadioGroup1")->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
    for (int i = 0; i < types.size(); ++i) {
        QRadioButton* r = types[i];
        const QList<QAction*> items =
            MenuItems(w, std::span(kSelectionTypeItems).subspan(static_cast<std::size_t>(i), 1));
        QObject::connect(r, &QRadioButton::toggled, r, [items](bool on) {
            if (on)
                for (QAction* item : items)
                    item->setChecked(true);
        });
        for (QAction* item : items)
            QObject::connect(item, &QAction::triggered, r, [r](bool on) {
                if (on) r->setChecked(true);
            });
    }
    return box;
}

OptionBoxWindow* HistoryBrushOptions(WindowHost& w) {
    auto* box = new OptionBoxWindow(w, 0, w.Owner());
    auto* label = new QLabel("Size:", box);
    label->setObjectName("sizeLabel");
    auto* size = new HistorySizeSpin(box);
    size->setObjectName("size");
    box->Grid()->addWidget(label, 0, 0);
    box->Grid()->addWidget(size, 0, 1);
    box->AddControls({Track("Occ", "Occupation:", 1, 100, 100), ChangeTransparency()});
    return box;
}

OptionBoxWindow* TextEditor(WindowHost& w) {
    auto* box = new OptionBoxWindow(w, 0, w.Owner());
    box->SetPlacedAboveStatusBar(true);
    QGridLayout* g = box->Grid();
    auto* text = new QLineEdit(box);
    text->setObjectName("T");
    text->setAccessibleName("Text");
    text->setMinimumWidth(240);
    g->addWidget(text, 0, 0, 1, 3);
    auto* buttons = new QWidget(box);
    auto* h = new QHBoxLayout(buttons);
    h->setContentsMargins(0, 0, 0, 0);
    auto* clear = new QPushButton("Clear Text", buttons);
    clear->setObjectName("Button1");
    auto* font = new QPushButton("Change Font", buttons);
    font->setObjectName("Button2");
    h->addWidget(clear);
    h->addWidget(font);
    g->addWidget(buttons, 1, 0, 1, 3);
    box->AddControls({Check("C", "Clear Background", true), Spin("A", "Angle:", 0, 360, 0),
                      Track("Occ", "Occupation:", 1, 100, 100)});
    QObject::connect(clear, &QPushButton::clicked, text, &QLineEdit::clear);
    // Each showing starts with an empty text that has the focus.
    QObject::connect(box, &OptionBoxWindow::Shown, text, [text] {
        text->clear();
        text->setFocus();
    });
    WireTextEditor(w, box);
    return box;
}

} // namespace

void MakeOptionBoxes(WindowHost& w) {
    w.Install<TWindow::PenOptions>(ToolBox(w, BoxTForm3, PenControls("Antialiasing:")));
    w.Install<TWindow::SelectOptions>(SelectOptions(w));

    std::vector<OptionControl> shapes = PenControls("Antialiasing:");
    shapes.push_back(Check("Clear", "Clear Interior", true));
    w.Install<TWindow::ShapeOptions>(ToolBox(w, BoxTForm21, shapes));

    std::vector<OptionControl> roundRect = PenControls("Antialiasing");
    roundRect.push_back(Check("Clear", "Clear Interior", true));
    roundRect.push_back(Spin("Edge", "Edges:", 0, 30, 10));
    w.Install<TWindow::RoundRectOptions>(ToolBox(w, BoxTForm22, roundRect));

    w.Install<TWindow::SprayOptions>(
        ToolBox(w, BoxTForm23,
                {Spin("Size", "Size:", 1, 64, 64, 2), Spin("thick", "Thickness:", 1, 328, 128, 2),
                 ChangeTransparency()}));
    w.Install<TWindow::BrushOptions>(
        ToolBox(w, BoxTForm24, {Spin("size", "Size:", 2, 64, 64), ChangeTransparency()}));
    OptionBoxWindow* fill =
        ToolBox(w, BoxTForm25,
                {Combo("ComboBox", {"Color (rgb)", "Color (hue)", "+Light", "+Saturation", "", ""}, 0),
                 Track("TrackBar", {}, 0, 100, 30), ChangeTransparency()});
    // The bar has no caption: its tip says what it sets.
    fill->findChild<QSlider*>("TrackBar")->setToolTip("Fill tolerance");
    w.Install<TWindow::FillOptions>(fill);
    w.Install<TWindow::EraserOptions>(
        ToolBox(w, BoxTForm43,
                {Radio("ET", "Eraser Type", {"Square", "Ellipse", "Floodfill"}, 0),
                 Spin("Size", "Size:", 2, 50, 10)}));
    w.Install<TWindow::TransparencyOptions>(
        ToolBox(w, BoxTForm44,
                {Radio("T", "Tool", {"Pen", "Line", "Rectangle", "Ellipse", "Spray"}, 4),
                 Spin("Size", "Size:", 1, 20, 1), Spin("SR", "Spray Radius:", 2, 64, 64, 2),
                 Track("TD", "Transparency Difference:", -255, 255, 0, {"-", "+"}),
                 Check("FV", "Force Value", false)}));
    w.Install<TWindow::HistoryBrushOptions>(HistoryBrushOptions(w));

    // Option windows of the quick effects: per-channel percentages and a
    // radius, always on top.
    auto onTop = [](OptionBoxWindow* box) {
        box->setWindowFlag(Qt::WindowStaysOnTopHint);
        return box;
    };
    w.Install<TWindow::ChannelOptions>(
        onTop(ToolBox(w, 0,
                      {Spin("R", "Red:", 0, 255, 8), Spin("G", "Green:", 0, 255, 8),
                       Spin("B", "Blue:", 0, 255, 8), ChangeTransparency()})));
    w.Install<TWindow::RadiusOptions>(
        onTop(ToolBox(w, 0, {Spin("R", "Radius:", 1, 24, 8), ChangeTransparency()})));
    w.Install<TWindow::TextEditor>(TextEditor(w));
    w.Install<TWindow::CustomBrush>(new LibraryBox(w, LibraryBox::Kind::Brushes));
    w.Install<TWindow::Patterns>(new LibraryBox(w, LibraryBox::Kind::Patterns));
    w.Install<TWindow::Gradient>(new GradientBox(w, w.Owner()));
}

} // namespace pixora
