// The tool option boxes: their controls, the shared show/close/pointer
// behaviour, the View menu's toolbar items and the few events of their own.

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDialog>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>

#include "app/app_fixture.h"
#include "app/status_bar.h"
#include "history/history_store.h"
#include "tools/tool_options.h"
#include "tools/tool_table.h"
#include "tools/ui/option_boxes.h"
#include "window_kit/window_support.h"

namespace pixora::testing {
namespace {

int Alpha255(const QWidget* w) { return qRound(w->windowOpacity() * 255); }

struct OptionBoxTest : AppTest {
    void SetUp() override {
        AppTest::SetUp();
        Start();
    }
    QWidget* Box(const char* name) {
        QWidget* w = window->Window(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    template <class T>
    T* Control(const char* box, const char* name) {
        T* c = Box(box)->findChild<T*>(name);
        EXPECT_NE(c, nullptr) << box << "." << name;
        return c;
    }
    // An image whose tool is `tool`, on the active page.
    void ImageWithTool(int tool) {
        const int slot = NewImage();
        ASSERT_GE(slot, 0);
        Ws().Images[static_cast<std::size_t>(slot)].Tool = tool;
        window->UpdateCommandStates();
    }
    QList<QRadioButton*> Radios(const char* box, const char* group) {
        return Control<QGroupBox>(box, group)->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
    }
    static void Type(QSpinBox* spin, const QString& text) {
        auto* edit = spin->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        edit->selectAll();
        for (QChar ch : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
            QCoreApplication::sendEvent(spin, &press);
        }
    }
    static void PressReturn(QSpinBox* spin) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(spin, &press);
    }
    static void LeaveField(QSpinBox* spin) {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(spin, &out);
    }
};

// What each control must be when the program starts.
struct Expected {
    const char* Box;
    const char* Name;
    char Kind;  // 's' spin, 't' track bar, 'c' check box, 'r' radio group, 'o' combo box
    int Min, Max, Step, Default;
};

constexpr Expected kControls[] = {
    {"TForm3", "Occ", 's', 1, 100, 1, 100},      {"TForm3", "Size", 's', 1, 20, 1, 1},
    {"TForm3", "Anti", 'c', 0, 0, 0, 0},         {"TForm3", "AP", 's', 1, 100, 1, 10},
    {"TForm3", "UG", 'c', 0, 0, 0, 0},           {"TForm3", "CT", 'c', 0, 0, 0, 1},
    {"TForm21", "Occ", 's', 1, 100, 1, 100},     {"TForm21", "Size", 's', 1, 20, 1, 1},
    {"TForm21", "Anti", 'c', 0, 0, 0, 0},        {"TForm21", "AP", 's', 1, 100, 1, 10},
    {"TForm21", "UG", 'c', 0, 0, 0, 0},          {"TForm21", "CT", 'c', 0, 0, 0, 1},
    {"TForm21", "Clear", 'c', 0, 0, 0, 1},       {"TForm22", "Occ", 's', 1, 100, 1, 100},
    {"TForm22", "Size", 's', 1, 20, 1, 1},       {"TForm22", "Anti", 'c', 0, 0, 0, 0},
    {"TForm22", "AP", 's', 1, 100, 1, 10},       {"TForm22", "UG", 'c', 0, 0, 0, 0},
    {"TForm22", "CT", 'c', 0, 0, 0, 1},          {"TForm22", "Clear", 'c', 0, 0, 0, 1},
    {"TForm22", "Edge", 's', 0, 30, 1, 10},      {"TForm23", "Size", 's', 1, 64, 2, 64},
    {"TForm23", "thick", 's', 1, 328, 2, 128},   {"TForm23", "CT", 'c', 0, 0, 0, 1},
    {"TForm24", "size", 's', 2, 64, 1, 64},      {"TForm24", "CT", 'c', 0, 0, 0, 1},
    {"TForm25", "ComboBox", 'o', 0, 5, 0, 0},    {"TForm25", "TrackBar", 't', 0, 100, 0, 30},
    {"TForm25", "CT", 'c', 0, 0, 0, 1},          {"TForm38", "size", 's', 2, 64, 1, 64},
    {"TForm38", "Occ", 't', 1, 100, 0, 100},     {"TForm38", "CT", 'c', 0, 0, 0, 1},
    {"TForm43", "ET", 'r', 0, 2, 0, 0},          {"TForm43", "Size", 's', 2, 50, 1, 10},
    {"TForm44", "T", 'r', 0, 4, 0, 4},           {"TForm44", "Size", 's', 1, 20, 1, 1},
    {"TForm44", "SR", 's', 2, 64, 2, 64},        {"TForm44", "TD", 't', -255, 255, 0, 0},
    {"TForm44", "FV", 'c', 0, 0, 0, 0},          {"TForm40", "Occ", 't', 1, 100, 0, 100},
    {"TForm4", "RadioGroup1", 'r', 0, 3, 0, 0},  {"TForm4", "RadioGroup2", 'r', 0, 1, 0, 1},
    {"TForm4", "A", 'c', 0, 0, 0, 0},            {"TForm4", "E", 'c', 0, 0, 0, 0},
    {"TForm4", "D", 'c', 0, 0, 0, 0},            {"TForm4", "DU", 'c', 0, 0, 0, 0},
    {"TForm4", "T", 't', 0, 100, 0, 0},          {"TForm26", "R", 's', 0, 255, 1, 8},
    {"TForm26", "G", 's', 0, 255, 1, 8},         {"TForm26", "B", 's', 0, 255, 1, 8},
    {"TForm26", "CT", 'c', 0, 0, 0, 1},          {"TForm27", "R", 's', 1, 24, 1, 8},
    {"TForm27", "CT", 'c', 0, 0, 0, 1},          {"TForm37", "C", 'c', 0, 0, 0, 1},
    {"TForm37", "A", 's', 0, 360, 1, 0},         {"TForm37", "Occ", 't', 1, 100, 0, 100},
};

// The option row of a box's control by its names.
const TOptionRow* RowNamed(std::string_view box, std::string_view control) {
    for (const TOptionRow& row : OptionTable())
        if (WindowName(row.Box) == box && row.Control == control) return &row;
    return nullptr;
}

TEST_F(OptionBoxTest, EveryControlHasItsRangeStepAndStartValue) {
    for (const Expected& e : kControls) {
        SCOPED_TRACE(std::string(e.Box) + "." + e.Name);
        QWidget* c = Box(e.Box)->findChild<QWidget*>(e.Name);
        ASSERT_NE(c, nullptr);
        switch (e.Kind) {
        case 's': {
            auto* s = qobject_cast<QSpinBox*>(c);
            ASSERT_NE(s, nullptr);
            EXPECT_EQ(s->minimum(), e.Min);
            EXPECT_EQ(s->maximum(), e.Max);
            EXPECT_EQ(s->singleStep(), e.Step);
            EXPECT_EQ(s->value(), e.Default);
            break;
        }
        case 't': {
            auto* t = qobject_cast<QSlider*>(c);
            ASSERT_NE(t, nullptr);
            EXPECT_EQ(t->minimum(), e.Min);
            EXPECT_EQ(t->maximum(), e.Max);
            EXPECT_EQ(t->value(), e.Default);
            break;
        }
        case 'c': {
            auto* b = qobject_cast<QCheckBox*>(c);
            ASSERT_NE(b, nullptr);
            EXPECT_EQ(b->isChecked(), e.Default == 1);
            break;
        }
        case 'o': {
            auto* b = qobject_cast<QComboBox*>(c);
            ASSERT_NE(b, nullptr);
            EXPECT_EQ(b->count(), e.Max + 1);
            EXPECT_EQ(b->currentIndex(), e.Default);
            break;
        }
        case 'r': {
            ASSERT_NE(qobject_cast<QGroupBox*>(c), nullptr);
            const auto radios = c->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
            ASSERT_EQ(radios.size(), e.Max + 1);
            for (int i = 0; i < radios.size(); ++i) EXPECT_EQ(radios[i]->isChecked(), i == e.Default) << i;
            break;
        }
        }
        // The tools read every one of them through the main window.
        const TOptionRow* row = RowNamed(e.Box, e.Name);
        ASSERT_NE(row, nullptr) << "no option row";
        EXPECT_EQ(window->ToolOption(row->Id), e.Default);
    }
}

TEST_F(OptionBoxTest, EveryOptionIdReadsAndWritesTheControlOfItsOwnBox) {
    // A value other than the start value: a read through another control
    // (the pen's size for the shapes' size) or through none gives it away.
    auto other = [](const TOptionRow& r) {
        if (r.Kind == TOptKind::Check) return 1 - r.Default;
        return r.Default != r.Max ? r.Max : r.Min;
    };
    for (const TOptionRow& row : OptionTable()) {
        const std::string control(row.Control);
        SCOPED_TRACE(std::string(WindowName(row.Box)) + "." + control);
        QWidget* box = window->Window(row.Box);
        ASSERT_NE(box, nullptr);
        const int value = other(row);
        if (row.Kind == TOptKind::Kept) {
            box->setProperty(control.c_str(), value);
            EXPECT_EQ(window->ToolOption(row.Id), value);
            box->setProperty(control.c_str(), row.Default);
            continue;
        }
        QWidget* c = box->findChild<QWidget*>(QString::fromStdString(control));
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(window->ToolOption(row.Id), row.Default);
        window->SetToolOption(row.Id, value);
        EXPECT_EQ(window->ToolOption(row.Id), value);
        int shown = -1;
        if (auto* spin = qobject_cast<QSpinBox*>(c)) shown = spin->value();
        if (auto* track = qobject_cast<QSlider*>(c)) shown = track->value();
        if (auto* check = qobject_cast<QCheckBox*>(c)) shown = check->isChecked() ? 1 : 0;
        if (auto* combo = qobject_cast<QComboBox*>(c)) shown = combo->currentIndex();
        if (qobject_cast<QGroupBox*>(c)) {
            const auto radios = c->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
            for (int i = 0; i < radios.size(); ++i)
                if (radios[i]->isChecked()) shown = i;
        }
        EXPECT_EQ(shown, value) << "the control shows what was written";
        window->SetToolOption(row.Id, row.Default);
    }
}

TEST_F(OptionBoxTest, CaptionsAndItemTexts) {
    const std::pair<const char*, const char*> titles[] = {
        {"TForm3", "Options"},         {"TForm4", "Select Options"}, {"TForm21", "Options"},
        {"TForm25", "Options"},        {"TForm38", "Options"},       {"TForm43", "Eraser"},
        {"TForm44", "Transparency Options"}, {"TForm37", "Text Editor"}, {"TForm40", "Custom Brush"}};
    for (const auto& [box, title] : titles) EXPECT_EQ(Box(box)->windowTitle(), title) << box;

    // The round rectangle's box has no colon after "Antialiasing".
    EXPECT_EQ(Control<QCheckBox>("TForm3", "Anti")->text(), "Antialiasing:");
    EXPECT_EQ(Control<QCheckBox>("TForm22", "Anti")->text(), "Antialiasing");
    EXPECT_EQ(Control<QCheckBox>("TForm21", "Clear")->text(), "Clear Interior");
    EXPECT_EQ(Control<QCheckBox>("TForm44", "FV")->text(), "Force Value");
    EXPECT_EQ(Control<QGroupBox>("TForm43", "ET")->title(), "Eraser Type");

    auto* combo = Control<QComboBox>("TForm25", "ComboBox");
    const QStringList items = {"Color (rgb)", "Color (hue)", "+Light", "+Saturation", "", ""};
    for (int i = 0; i < items.size(); ++i) EXPECT_EQ(combo->itemText(i), items[i]);

    QStringList tools;
    for (QRadioButton* r : Radios("TForm44", "T")) tools << r->text();
    EXPECT_EQ(tools, QStringList({"Pen", "Line", "Rectangle", "Ellipse", "Spray"}));
    QStringList edit;
    for (QRadioButton* r : Radios("TForm4", "RadioGroup2")) edit << r->text();
    EXPECT_EQ(edit, QStringList({"Edit Selection Area", "Edit Selected Canvas"}));

    // Buttons of the custom brush library, in order.
    QStringList buttons;
    for (QPushButton* b : Box("TForm40")->findChildren<QPushButton*>()) buttons << b->text();
    EXPECT_EQ(buttons, QStringList({"OK", "Cancel", "Import", "Delete"}));
}

TEST_F(OptionBoxTest, ShownBoxIsDimRecordedAndSitsAboveTheStatusBar) {
    window->move(120, 80);
    window->show();
    const std::pair<const char*, int> numbered[] = {{"TForm3", 1},  {"TForm21", 2}, {"TForm22", 3},
                                                    {"TForm23", 4}, {"TForm24", 5}, {"TForm43", 6},
                                                    {"TForm4", 7},  {"TForm25", 8}, {"TForm44", 9}};
    for (const auto& [name, number] : numbered) {
        SCOPED_TRACE(name);
        QWidget* box = Box(name);
        box->setWindowOpacity(1.0);
        box->show();
        EXPECT_TRUE(box->windowFlags().testFlag(Qt::Tool));
        EXPECT_EQ(Ws().ToolVars.OptionBoxId, number);
        // Wayland places the box itself and shows no see-through window.
        if (OnWayland()) {
            EXPECT_TRUE(box->isVisible());
            EXPECT_EQ(Alpha255(box), 255);
            box->close();
            continue;
        }
        EXPECT_EQ(Alpha255(box), 100);
        // Its bottom edge on the status bar's top line, centred on the screen.
        const int statusTop = window->Status()->mapToGlobal(QPoint(0, 0)).y();
        EXPECT_EQ(box->frameGeometry().bottom() + 1, statusTop);
        const QRect screen = window->screen()->geometry();
        EXPECT_LE(std::abs(box->frameGeometry().center().x() - screen.center().x()), 1);

        // Pointer over the box: opaque; back over the main window: dim.
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QCoreApplication::sendEvent(box, &enter);
        EXPECT_EQ(Alpha255(box), 255);
        window->DimOptionBox();
        EXPECT_EQ(Alpha255(box), 100);
        box->close();
    }
}

TEST_F(OptionBoxTest, PlainOptionWindowsRecordNothing) {
    Ws().ToolVars.OptionBoxId = 3;
    for (const char* name : {"TForm26", "TForm27", "TForm38", "TForm37"}) {
        QWidget* box = Box(name);
        box->show();
        EXPECT_EQ(Ws().ToolVars.OptionBoxId, 3) << name;
        EXPECT_EQ(Alpha255(box), 255) << name;
        box->close();
    }
}

TEST_F(OptionBoxTest, ViewItemFollowsTheBoxOfTheCurrentTool) {
    ImageWithTool(2);  // the line
    QAction* line = Cmd("LineToolbar1");
    QAction* pen = Cmd("PenToolbar1");
    ASSERT_TRUE(line->isEnabled());
    ShowOptionBoxForTool(*window, 2);
    EXPECT_TRUE(Box("TForm3")->isVisible());
    EXPECT_TRUE(line->isChecked());
    EXPECT_FALSE(pen->isChecked());
    Box("TForm3")->close();
    EXPECT_FALSE(line->isChecked());

    // The items toggle the box; another item of the same box shows it too
    // but only the current tool's item gets the mark.
    line->trigger();
    EXPECT_TRUE(Box("TForm3")->isVisible());
    EXPECT_TRUE(line->isChecked());
    line->trigger();
    EXPECT_FALSE(Box("TForm3")->isVisible());
    EXPECT_FALSE(line->isChecked());
    pen->trigger();
    EXPECT_TRUE(Box("TForm3")->isVisible());
    EXPECT_TRUE(line->isChecked());
    EXPECT_FALSE(pen->isChecked());

    // Selection tool and flood fill have items of their own.
    Ws().Images[0].Tool = 15;
    window->UpdateCommandStates();
    CloseToolBoxes(*window);
    Cmd("SelectionToolbar1")->trigger();
    EXPECT_TRUE(Box("TForm4")->isVisible());
    EXPECT_TRUE(Cmd("SelectionToolbar1")->isChecked());
    EXPECT_FALSE(line->isChecked());
    Ws().Images[0].Tool = 16;
    window->UpdateCommandStates();
    CloseToolBoxes(*window);
    EXPECT_FALSE(Cmd("SelectionToolbar1")->isChecked());
    ToggleToolBox(*window);
    EXPECT_TRUE(Box("TForm25")->isVisible());
    EXPECT_TRUE(Cmd("FloodFillToolbar1")->isChecked());
}

TEST_F(OptionBoxTest, EachToolShowsItsBoxAndCloseToolBoxesClosesThemAll) {
    ImageWithTool(1);
    const std::pair<int, const char*> boxes[] = {
        {1, "TForm3"},   {4, "TForm3"},   {5, "TForm21"},  {6, "TForm21"},  {7, "TForm22"}, {8, "TForm23"},
        {9, "TForm24"},  {14, "TForm24"}, {15, "TForm4"},  {16, "TForm25"}, {21, "TForm43"}, {22, "TForm44"}};
    for (const auto& [tool, name] : boxes) {
        EXPECT_EQ(WindowName(OptionBoxForTool(tool)), name) << tool;
        ShowOptionBoxForTool(*window, tool);
        EXPECT_TRUE(Box(name)->isVisible()) << tool;
    }
    for (int tool : {0, 17, 20, 23, 24, 25, 26}) EXPECT_EQ(OptionBoxForTool(tool), TWindow::None) << tool;
    Box("TForm26")->show();
    Box("TForm37")->show();
    Box("TForm38")->show();
    CloseToolBoxes(*window);
    // The history brush's options close with the rest: another tool or
    // another image does not keep them.
    for (const char* name : {"TForm3", "TForm4", "TForm21", "TForm22", "TForm23", "TForm24", "TForm25", "TForm26",
                             "TForm37", "TForm38", "TForm43", "TForm44"})
        EXPECT_FALSE(Box(name)->isVisible()) << name;
}

TEST_F(OptionBoxTest, CustomBrushLibraryIsShownModally) {
    ImageWithTool(19);
    bool modal = false;
    WhenModal([&](QWidget* w) {
        modal = w == Box("TForm40");
        w->findChild<QPushButton*>("Button1")->click();
    });
    ShowOptionBoxForTool(*window, 19);
    EXPECT_TRUE(modal);
    EXPECT_FALSE(Box("TForm40")->isVisible());
}

TEST_F(OptionBoxTest, UseGradientOpensTheGradientBoxAndGreysOutOccupancy) {
    for (const char* name : {"TForm3", "TForm21", "TForm22"}) {
        SCOPED_TRACE(name);
        auto* ug = Control<QCheckBox>(name, "UG");
        auto* occ = Control<QSpinBox>(name, "Occ");
        bool gradientShown = false;
        WhenModal([&](QWidget* w) {
            gradientShown = w->objectName() == "TForm41";
            // Still enabled while the gradient box is up.
            EXPECT_TRUE(occ->isEnabled());
            qobject_cast<QDialog*>(w)->reject();
        });
        ug->click();
        EXPECT_TRUE(gradientShown);
        EXPECT_TRUE(ug->isChecked());
        EXPECT_FALSE(occ->isEnabled());
        ug->click();
        EXPECT_FALSE(ug->isChecked());
        EXPECT_TRUE(occ->isEnabled());
    }
}

TEST_F(OptionBoxTest, HistoryBrushSizeOfZeroOrLessBecomes64WhenLeft) {
    auto* size = Control<QSpinBox>("TForm38", "size");
    Type(size, "30");
    PressReturn(size);
    EXPECT_EQ(size->value(), 30);
    Type(size, "0");
    LeaveField(size);
    EXPECT_EQ(size->value(), 64);
    size->setValue(12);
    Type(size, "-7");
    PressReturn(size);
    EXPECT_EQ(size->value(), 64);
    // Below the range but positive: the nearest allowed size.
    Type(size, "1");
    LeaveField(size);
    EXPECT_EQ(size->value(), 2);
    // The arrows stay inside the range.
    size->stepBy(-5);
    EXPECT_EQ(size->value(), 2);
    EXPECT_EQ(window->ToolOption(TOpt::HistoryBrushSize), 2);
}

TEST_F(OptionBoxTest, SelectOptionsExcludeEachOtherAndFollowTheMenus) {
    auto* a = Control<QCheckBox>("TForm4", "A");
    auto* e = Control<QCheckBox>("TForm4", "E");
    a->click();
    EXPECT_TRUE(Cmd("EditOnlySelection1")->isChecked());
    EXPECT_TRUE(Cmd("EditOnlySelection2")->isChecked());
    e->click();
    EXPECT_FALSE(a->isChecked());
    EXPECT_TRUE(Cmd("ExcludeSelection1")->isChecked());
    EXPECT_FALSE(Cmd("EditOnlySelection1")->isChecked());
    EXPECT_FALSE(Cmd("EditOnlySelection2")->isChecked());

    // The menu items set the boxes, with the same exclusion.
    Cmd("EditOnlySelection2")->trigger();
    EXPECT_TRUE(a->isChecked());
    EXPECT_FALSE(e->isChecked());
    EXPECT_FALSE(Cmd("ExcludeSelection1")->isChecked());
    Cmd("DuplicateonMouseUp1")->trigger();
    EXPECT_EQ(window->ToolOption(TOpt::SelectionDuplicate), 1);
    Control<QCheckBox>("TForm4", "DU")->click();
    EXPECT_TRUE(Cmd("DeleteUnderlying1")->isChecked());

    // Selection type and the Selection menu's type items (these need an image).
    ASSERT_GE(NewImage(), 0);
    const auto types = Radios("TForm4", "RadioGroup1");
    types[2]->click();
    EXPECT_TRUE(Cmd("FreeHandSelection1")->isChecked());
    EXPECT_FALSE(Cmd("RectangularSelection1")->isChecked());
    Cmd("MagicWandSelection1")->trigger();
    EXPECT_EQ(window->ToolOption(TOpt::SelectionType), 3);
}

TEST_F(OptionBoxTest, TextEditorStartsEmptyEachTime) {
    auto* text = Control<QLineEdit>("TForm37", "T");
    text->setText("left over");
    Box("TForm37")->show();
    EXPECT_TRUE(text->text().isEmpty());
    text->setText("abc");
    Control<QPushButton>("TForm37", "Button1")->click();
    EXPECT_TRUE(text->text().isEmpty());
}

TEST_F(OptionBoxTest, EveryControlLiesWithinItsBox) {
    window->show();
    const QByteArray shots = qgetenv("PIXORA_SHOT_DIR");
    for (const char* name : {"TForm3", "TForm4", "TForm21", "TForm22", "TForm23", "TForm24", "TForm25", "TForm38",
                             "TForm43", "TForm44", "TForm26", "TForm27", "TForm37", "TForm40"}) {
        SCOPED_TRACE(name);
        QWidget* box = Box(name);
        box->show();
        QCoreApplication::processEvents();
        int named = 0;
        for (QWidget* c : box->findChildren<QWidget*>()) {
            if (c->objectName().isEmpty() || c->objectName().startsWith("qt_") || !c->isVisibleTo(box)) continue;
            ++named;
            const QRect inBox(c->mapTo(box, QPoint(0, 0)), c->size());
            EXPECT_TRUE(box->rect().contains(inBox)) << c->objectName().toStdString();
            EXPECT_GT(c->width(), 8) << c->objectName().toStdString();
        }
        EXPECT_GT(named, 0);
        if (!shots.isEmpty()) {
            QDir().mkpath(QString::fromLocal8Bit(shots));
            box->grab().save(QString::fromLocal8Bit(shots) + "/option_box_" + name + ".png");
        }
        box->hide();
    }
}

} // namespace
} // namespace pixora::testing

namespace pixora::testing {
namespace {

TEST_F(OptionBoxTest, BoxesAndDialogsReopenWhereTheyWereLeft) {
    window->move(120, 80);
    window->show();
    ImageWithTool(1);  // the pen
    ShowOptionBoxForTool(*window, 1);
    QWidget* box = Box("TForm3");
    box->move(37, 41);
    box->close();
    box->show();
    EXPECT_EQ(box->pos(), QPoint(37, 41));

    // A new step and its undo and redo each run the tab change, which
    // closes and reshows the tool's box: it stays put.
    ASSERT_TRUE(PushHistory(Ws()));
    NameHistoryStep(Ws(), "Invert");
    Ws().Images[0].Bitmap.Row(0)[0] = 1;
    window->RefreshHistoryMenus();
    ASSERT_TRUE(Cmd("Undo1")->isEnabled());
    box->move(52, 63);
    Cmd("Undo1")->trigger();
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->pos(), QPoint(52, 63));
    Cmd("Redo1")->trigger();
    EXPECT_EQ(box->pos(), QPoint(52, 63));

    // A reused dialog neither returns to its first place nor creeps.
    for (TWindow id : {TWindow::Reset, TWindow::Batch, TWindow::Patterns, TWindow::CustomBrush,
                       TWindow::Gradient}) {
        QWidget* dialog = window->Window(id);
        ASSERT_NE(dialog, nullptr) << WindowName(id);
        dialog->show();
        dialog->move(70, 90);
        for (int i = 0; i < 3; ++i) {
            dialog->close();
            dialog->show();
        }
        EXPECT_EQ(dialog->pos(), QPoint(70, 90)) << WindowName(id);
        dialog->close();
    }
}

TEST_F(OptionBoxTest, TheEffectBrushOptionsCloseWithTheLastImage) {
    ImageWithTool(ToolEffectBrush);
    Ws().Images[0].Saved = 1;
    QWidget* box = Box("TForm24");
    box->show();
    Cmd("Close1")->trigger();
    EXPECT_FALSE(Ws().ActiveImage());
    EXPECT_FALSE(box->isVisible());
}

} // namespace
} // namespace pixora::testing
