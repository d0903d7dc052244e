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
#include <span>

#include "tools/ui/gradient_box.h"
#include "tools/ui/library_box.h"
#include "tools/ui/option_box_window.h"
#include "tools/ui/selection_commands.h"
#include "tools/ui/text_editor.h"
#include "tools/tool_options.h"
#include "window_kit/command_states.h"
#include "window_kit/option_controls.h"
#include "window_kit/window_host.h"

namespace pixora {

namespace {

// "Use Gradient": checking it shows the Gradient box modally and greys out
// the occupancy, which the gradient replaces; unchecking brings it back.
void WireUseGradient(WindowHost& w, OptionBoxWindow* box, const TStrokeOptionIds& ids) {
    auto* ug = w.Options().Control<QCheckBox>(ids.UseGradient);
    auto* occ = w.Options().Control<QWidget>(ids.Occupancy);
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

// A box of the given number (0: a plain tool window) with the controls of
// the id's option rows.
OptionBoxWindow* ToolBox(WindowHost& w, int number, TWindow id) {
    auto* box = new OptionBoxWindow(w, number, w.Owner());
    box->AddControls(OptionRowsOf(id));
    return box;
}

// The box of the pen or of a shape, whose "Use Gradient" brings up the
// Gradient box.
OptionBoxWindow* StrokeBox(WindowHost& w, int number, TWindow id) {
    OptionBoxWindow* box = ToolBox(w, number, id);
    WireUseGradient(w, box, StrokeOptionIds(id));
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
    OptionBoxWindow* box = ToolBox(w, BoxTForm4, TWindow::SelectOptions);
    const OptionControls& o = w.Options();
    auto* a = o.Control<QCheckBox>(TOpt::SelectionApplyInside);
    auto* e = o.Control<QCheckBox>(TOpt::SelectionExclude);
    // Confining edits to the selection and excluding it exclude each other.
    QObject::connect(a, &QCheckBox::toggled, e, [e](bool on) {
        if (on) e->setChecked(false);
    });
    QObject::connect(e, &QCheckBox::toggled, a, [a](bool on) {
        if (on) a->setChecked(false);
    });
    Mirror(a, MenuItems(w, kEditOnlySelectionItems));
    Mirror(e, MenuItems(w, kExcludeSelectionItems));
    Mirror(o.Control<QCheckBox>(TOpt::SelectionDuplicate), MenuItems(w, kDuplicateOnMouseUpItems));
    Mirror(o.Control<QCheckBox>(TOpt::SelectionDeleteUnderlying), MenuItems(w, kDeleteUnderlyingItems));

    // The selection type and the Selection menu's type items.
    const QList<QRadioButton*> types =
        o.Control<QGroupBox>(TOpt::SelectionType)->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
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
    const std::span<const TOptionRow> rows = OptionRowsOf(TWindow::HistoryBrushOptions);
    // The size is a field of its own kind (a typed 0 becomes the largest).
    const TOptionRow& sizeRow = rows.front();
    auto* label = new QLabel(OptionText(sizeRow.Caption), box);
    label->setObjectName(OptionText(sizeRow.Control) + "Label");
    auto* size = new HistorySizeSpin(box);
    size->setObjectName(OptionText(sizeRow.Control));
    size->setRange(sizeRow.Min, sizeRow.Max);
    size->setValue(sizeRow.Default);
    box->Grid()->addWidget(label, 0, 0);
    box->Grid()->addWidget(size, 0, 1);
    w.Options().Bind(sizeRow.Id, size);
    box->AddControls(rows.subspan(1));
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
    box->AddControls(OptionRowsOf(TWindow::TextEditor));
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
    w.Install<TWindow::PenOptions>(StrokeBox(w, BoxTForm3, TWindow::PenOptions));
    w.Install<TWindow::SelectOptions>(SelectOptions(w));
    w.Install<TWindow::ShapeOptions>(StrokeBox(w, BoxTForm21, TWindow::ShapeOptions));
    w.Install<TWindow::RoundRectOptions>(StrokeBox(w, BoxTForm22, TWindow::RoundRectOptions));
    w.Install<TWindow::SprayOptions>(ToolBox(w, BoxTForm23, TWindow::SprayOptions));
    w.Install<TWindow::BrushOptions>(ToolBox(w, BoxTForm24, TWindow::BrushOptions));
    w.Install<TWindow::FillOptions>(ToolBox(w, BoxTForm25, TWindow::FillOptions));
    w.Install<TWindow::EraserOptions>(ToolBox(w, BoxTForm43, TWindow::EraserOptions));
    w.Install<TWindow::TransparencyOptions>(ToolBox(w, BoxTForm44, TWindow::TransparencyOptions));
    w.Install<TWindow::HistoryBrushOptions>(HistoryBrushOptions(w));

    // Option windows of the quick effects: per-channel percentages and a
    // radius, always on top.
    auto onTop = [](OptionBoxWindow* box) {
        box->setWindowFlag(Qt::WindowStaysOnTopHint);
        return box;
    };
    w.Install<TWindow::ChannelOptions>(onTop(ToolBox(w, 0, TWindow::ChannelOptions)));
    w.Install<TWindow::RadiusOptions>(onTop(ToolBox(w, 0, TWindow::RadiusOptions)));
    w.Install<TWindow::TextEditor>(TextEditor(w));
    w.Install<TWindow::CustomBrush>(new LibraryBox(w, LibraryBox::Kind::Brushes));
    w.Install<TWindow::Patterns>(new LibraryBox(w, LibraryBox::Kind::Patterns));
    w.Install<TWindow::Gradient>(new GradientBox(w, w.Owner()));
}

} // namespace pixora
