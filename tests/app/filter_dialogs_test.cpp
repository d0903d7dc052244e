// The filter windows driven offscreen: their controls, previews on the
// view, resets, OK, Cancel and "Use as Brush", and nothing over no image.
#include <QAbstractSlider>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>

#include "app/app_fixture.h"
#include "doc/display_copy.h"
#include "doc/tab_change.h"
#include "effects/effects_table.h"
#include "effects/ui/effect_commands.h"
#include "effects/ui/filter_dialog.h"
#include "effects/ui/row_dialog.h"
#include "history/history_fixture.h"
#include "history/history_store.h"
#include "support/input_events.h"
#include "tools/tool_table.h"
#include "window_kit/window_support.h"

using namespace pixora;
using pixora::testing::AppTest;
using pixora::testing::Pattern;
using pixora::testing::SamePixels;
using pixora::testing::SendMouse;

namespace {

constexpr const char* kFilterForms[] = {"TForm8",  "TForm9",  "TForm10", "TForm11", "TForm12",
                                        "TForm13", "TForm14", "TForm15", "TForm16", "TForm17",
                                        "TForm18", "TForm19", "TForm20"};

// Range and start of a track bar or spin edit.
struct TControl {
    const char* Form;
    const char* Name;
    int Min, Max, Start;
};
constexpr TControl kControls[] = {
    {"TForm8", "R", -255, 255, 0},    {"TForm8", "G", -255, 255, 0},     {"TForm8", "B", -255, 255, 0},
    {"TForm10", "Int", 0, 20, 0},     {"TForm11", "B", -255, 255, 0},    {"TForm12", "C", -255, 255, 0},
    {"TForm13", "RMin", 0, 255, 0},   {"TForm13", "BMax", 0, 255, 0},    {"TForm14", "N", 0, 255, 0},
    {"TForm15", "tbWidth", 2, 50, 8}, {"TForm15", "tbHeight", 2, 50, 8}, {"TForm16", "P", 0, 255, 0},
    {"TForm17", "tbRadius", 1, 5, 1}, {"TForm17", "tbWidth", 2, 50, 8},  {"TForm18", "S", 0, 255, 0},
    {"TForm19", "D", 0, 50, 0},       {"TForm19", "P", 0, 100, 0},       {"TForm20", "S", 0, 255, 0},
};

struct FilterWindowTest : AppTest {
    int slot = -1;
    Bitmap doc;
    void Open() {
        Start();
        slot = ClaimSlot(Ws());
        // Opaque, so the view shows the document's own colours.
        doc = Pattern(30, 20, 4);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 30; ++x)
                doc.Row(y)[x * 4 + 3] = 0;
        FillSlot(Ws(), slot, Bitmap(doc), SlotSource{});
    }
    TImages& S() { return Ws().Images[static_cast<std::size_t>(slot)]; }
    FilterDialog* Dialog(const char* form) { return qobject_cast<FilterDialog*>(window->Window(form)); }
    template <class T> T* Control(const char* form, const char* name) {
        return window->Window(form)->findChild<T*>(name);
    }
    int Value(const char* form, const char* name) {
        if (auto* t = Control<QAbstractSlider>(form, name)) return t->value();
        if (auto* s = Control<QSpinBox>(form, name)) return s->value();
        ADD_FAILURE() << form << " " << name;
        return -1000;
    }
    // Opens the window of `form` as its command does; `act` runs while it is up.
    void Run(const char* form, std::function<void(FilterDialog*)> act) {
        const TEffectRow* row = EffectForWindow(WindowNamed(form));
        ASSERT_NE(row, nullptr);
        bool shown = false;
        WhenModal([&](QWidget* w) {
            shown = true;
            act(qobject_cast<FilterDialog*>(w));
        });
        RunEffect(*window, *row);
        EXPECT_TRUE(shown) << form;
    }
    static void Ok(FilterDialog* d) { d->OkButton()->click(); }
    static void Cancel(FilterDialog* d) { d->CancelButton()->click(); }
};

} // namespace

TEST_F(FilterWindowTest, EveryWindowHasItsButtonsAndControls) {
    Start();
    for (const char* form : kFilterForms) {
        FilterDialog* d = Dialog(form);
        ASSERT_NE(d, nullptr) << form;
        EXPECT_EQ(d->objectName(), form);
        EXPECT_EQ(d->OkButton()->objectName(), "Button1");
        EXPECT_EQ(d->OkButton()->text(), "OK");
        EXPECT_EQ(d->CancelButton()->objectName(), "Button2");
        EXPECT_EQ(d->CancelButton()->text(), "Cancel");
        EXPECT_EQ(d->UseAsBrush()->objectName(), "UB");
        EXPECT_EQ(d->UseAsBrush()->text(), "Use as Brush");
        EXPECT_FALSE(d->UseAsBrush()->isChecked());
    }
    for (const TControl& c : kControls) {
        int min = 0, max = 0;
        if (auto* t = Control<QAbstractSlider>(c.Form, c.Name)) {
            min = t->minimum(), max = t->maximum();
        } else if (auto* s = Control<QSpinBox>(c.Form, c.Name)) {
            min = s->minimum(), max = s->maximum();
        } else {
            ADD_FAILURE() << c.Form << " " << c.Name;
            continue;
        }
        EXPECT_EQ(min, c.Min) << c.Form << " " << c.Name;
        EXPECT_EQ(max, c.Max) << c.Form << " " << c.Name;
        EXPECT_EQ(Value(c.Form, c.Name), c.Start) << c.Form << " " << c.Name;
    }
    EXPECT_EQ(window->Window("TForm13")->findChildren<QGroupBox*>().size(), 3);
    for (const char* name : {"R", "G", "B"})
        EXPECT_NE(Control<QRadioButton>("TForm9", name), nullptr) << name;
    EXPECT_EQ(Control<QGroupBox>("TForm15", "rgType")->findChildren<QRadioButton*>().size(), 11);
    EXPECT_EQ(Control<QGroupBox>("TForm17", "rgQuality")->findChildren<QRadioButton*>().size(), 2);
    EXPECT_EQ(Control<QCheckBox>("TForm15", "Trans")->text(), "Tranparent");
    EXPECT_EQ(Control<QAbstractSlider>("TForm15", "tbWidth")->pageStep(), 1);
}

TEST_F(FilterWindowTest, CancelLeavesTheDocumentTheHistoryAndTheView) {
    Open();
    const int steps = S().HistoryCount;
    Run("TForm10", [&](FilterDialog* d) {
        // The Blur window opens with radius 1 already previewed.
        EXPECT_EQ(Value("TForm10", "Int"), 1);
        EXPECT_FALSE(SamePixels(ShownPicture(Ws()), doc));
        Control<QSpinBox>("TForm10", "Int")->setValue(0);
        EXPECT_TRUE(SamePixels(ShownPicture(Ws()), doc)) << "radius 0 shows the document";
        Control<QSpinBox>("TForm10", "Int")->setValue(5);
        EXPECT_TRUE(SamePixels(S().Bitmap, doc)) << "previews never touch the document";
        Cancel(d);
    });
    EXPECT_TRUE(SamePixels(S().Bitmap, doc));
    EXPECT_EQ(S().HistoryCount, steps);
    EXPECT_TRUE(SamePixels(ShownPicture(Ws()), doc));
    EXPECT_EQ(Value("TForm10", "Int"), 0) << "reset after closing";
}

TEST_F(FilterWindowTest, OkCommitsTheColourBytesOnlyAsOneStep) {
    Open();
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            S().Bitmap.Row(y)[x * 4 + 3] = static_cast<uint8_t>(x * 8);
    TabChange(Ws());
    const Bitmap before = S().Bitmap;
    Run("TForm11", [&](FilterDialog* d) {
        Control<QAbstractSlider>("TForm11", "B")->setValue(40);
        Ok(d);
    });
    EXPECT_EQ(HistoryMenuTexts(S()).UndoCaption, "Undo Brightness");
    EXPECT_EQ(S().Tool, ToolNone);
    for (int x = 0; x < 30; ++x) {
        const uint8_t* p = S().Bitmap.Row(7) + x * 4;
        const uint8_t* b = before.Row(7) + x * 4;
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(p[c], std::min(255, b[c] + 40)) << x;
        EXPECT_EQ(p[3], b[3]) << "fourth byte of " << x;
    }
    EXPECT_EQ(Value("TForm11", "B"), 0) << "reset after closing";
}

TEST_F(FilterWindowTest, UseAsBrushInEveryWindowLeavesNoStepAndChoosesTheEffectBrush) {
    Open();
    for (const char* form : kFilterForms) {
        const int pos = S().HistoryPos;
        S().Tool = ToolPen;
        S().Saved = 1;
        window->Window("TForm24")->hide();
        Run(form, [&](FilterDialog* d) {
            d->UseAsBrush()->setChecked(true);
            Ok(d);
        });
        EXPECT_EQ(S().HistoryPos, pos) << form;
        EXPECT_EQ(S().Saved, 1) << form;
        EXPECT_EQ(S().Tool, ToolEffectBrush) << form;
        EXPECT_TRUE(SamePixels(S().Bitmap, doc)) << form;
        EXPECT_TRUE(window->Window("TForm24")->isVisible()) << form;
        EXPECT_TRUE(Dialog(form)->UseAsBrush()->isChecked()) << "kept for the next time";
    }
    // The brush source holds the last window's preview: Solarize at 0 is
    // the document itself.
    const Bitmap& brush = Ws().EffectBrushSource.Bitmap;
    EXPECT_EQ(std::memcmp(brush.Row(5), doc.Row(5), 30 * 4), 0);
}

TEST_F(FilterWindowTest, ResetsBeforeShowingGiveTheFirstPreview) {
    Open();
    Run("TForm13", [&](FilterDialog* d) {
        EXPECT_EQ(Value("TForm13", "RMax"), 255);
        EXPECT_EQ(Value("TForm13", "GMin"), 0);
        EXPECT_TRUE(SamePixels(ShownPicture(Ws()), doc)) << "the reset changes nothing";
        Control<QAbstractSlider>("TForm13", "RMax")->setValue(100);
        EXPECT_FALSE(SamePixels(ShownPicture(Ws()), doc));
        Cancel(d);
    });
    EXPECT_EQ(Value("TForm13", "RMax"), 100) << "kept until the next opening";
    Control<QAbstractSlider>("TForm17", "tbWidth")->setValue(20);
    Run("TForm17", [&](FilterDialog* d) {
        EXPECT_EQ(Value("TForm17", "tbWidth"), 8);
        EXPECT_EQ(Value("TForm17", "tbRadius"), 1);
        Control<QAbstractSlider>("TForm17", "tbRadius")->setValue(0);
        EXPECT_EQ(Value("TForm17", "tbRadius"), 1) << "the radius cannot go below 1";
        EXPECT_TRUE(Control<QCheckBox>("TForm17", "Trans")->isChecked());
        EXPECT_FALSE(SamePixels(ShownPicture(Ws()), doc)) << "8 x 8 rough blur previewed";
        Ok(d);
    });
    EXPECT_EQ(HistoryMenuTexts(S()).UndoCaption, "Undo Rough Blur");
    EXPECT_FALSE(SamePixels(S().Bitmap, doc));
}

TEST_F(FilterWindowTest, OkOnAnUnchangedWindowMakesNoStep) {
    Open();
    S().Saved = 1;
    const int pos = S().HistoryPos;
    const std::string undo = HistoryMenuTexts(S()).UndoCaption;
    Run("TForm16", [&](FilterDialog* d) { Ok(d); });
    EXPECT_EQ(S().HistoryPos, pos);
    EXPECT_EQ(HistoryMenuTexts(S()).UndoCaption, undo);
    EXPECT_EQ(S().Saved, 1);
    EXPECT_TRUE(SamePixels(S().Bitmap, doc));
}

TEST_F(FilterWindowTest, NoWindowOpensAndNoEffectRunsWithoutAnImage) {
    Start();
    bool shown = false;
    for (const TEffectRow& row : EffectTable()) {
        WhenModal([&](QWidget* w) {
            shown = true;
            w->close();
        });
        RunEffect(*window, row);
        QApplication::processEvents();
        EXPECT_FALSE(shown) << row.Caption;
        if (row.OptionsWindow != TWindow::None) {
            EXPECT_FALSE(window->Window(row.OptionsWindow)->isVisible()) << row.Caption;
        }
    }
}

TEST_F(FilterWindowTest, QuickEffectsRunWithTheirOptionsWindows) {
    Open();
    window->Window("TForm27")->findChild<QSpinBox*>("R")->setValue(2);
    Cmd("GaussianBlur1")->trigger();
    EXPECT_TRUE(window->Window("TForm27")->isVisible());
    EXPECT_EQ(HistoryMenuTexts(S()).UndoCaption, "Undo Gaussian Blur");
    EXPECT_FALSE(SamePixels(S().Bitmap, doc));
    Cmd("Tint1")->trigger();
    EXPECT_TRUE(window->Window("TForm26")->isVisible());
    EXPECT_EQ(HistoryMenuTexts(S()).UndoCaption, "Undo Tint");
    Cmd("Lighten1")->trigger();
    EXPECT_EQ(HistoryMenuTexts(S()).UndoCaption, "Undo Lighten");
}

namespace {

// Finds the control of `arg` in `d`, checks it shows the argument as the
// row says (kind, caption, range, start), then sets it to another value and
// checks the window hands that value to the effect in the argument's place.
void ExpectControlOf(FilterDialog* d, const TEffectArg& arg, std::size_t index, const QString& where) {
    const TArgControl& c = arg.Control;
    const QString name = Text(c.Name);
    int other = 0; // a value the control does not start at
    switch (c.Kind) {
    case TControlKind::None:
        ADD_FAILURE() << where.toStdString() << ": no control";
        return;
    case TControlKind::Own:
        return;
    case TControlKind::Track:
    case TControlKind::Spin: {
        QAbstractSlider* track = d->findChild<QAbstractSlider*>(name);
        QSpinBox* spin = d->findChild<QSpinBox*>(name);
        QWidget* control = c.Kind == TControlKind::Track ? static_cast<QWidget*>(track) : spin;
        ASSERT_NE(control, nullptr) << where.toStdString();
        const int min = track && control == track ? track->minimum() : spin->minimum();
        const int max = track && control == track ? track->maximum() : spin->maximum();
        EXPECT_EQ(min, arg.Min) << where.toStdString();
        EXPECT_EQ(max, arg.Max) << where.toStdString();
        auto* label = d->findChild<QLabel*>(name + "Label");
        ASSERT_NE(label, nullptr) << where.toStdString();
        EXPECT_EQ(label->text(), Text(c.Caption)) << where.toStdString();
        if (!c.Group.empty()) {
            // The track shares a row with its number inside the group.
            QWidget* parent = control->parentWidget();
            auto* box = qobject_cast<QGroupBox*>(control == track ? parent->parentWidget() : parent);
            ASSERT_NE(box, nullptr) << where.toStdString();
            EXPECT_EQ(box->title(), Text(c.Group)) << where.toStdString();
        }
        other = c.Start == arg.Max ? arg.Min : arg.Max;
        if (track && control == track) {
            EXPECT_EQ(track->value(), c.Start) << where.toStdString();
            track->setValue(other);
        } else {
            EXPECT_EQ(spin->value(), c.Start) << where.toStdString();
            spin->setValue(other);
        }
        break;
    }
    case TControlKind::RadioGroup:
    case TControlKind::RadioButtons: {
        QList<QRadioButton*> buttons;
        if (c.Kind == TControlKind::RadioGroup) {
            auto* box = d->findChild<QGroupBox*>(name);
            ASSERT_NE(box, nullptr) << where.toStdString();
            EXPECT_EQ(box->title(), Text(c.Caption)) << where.toStdString();
            buttons = box->findChildren<QRadioButton*>();
        } else {
            for (std::string_view n : c.ItemNames)
                buttons << d->findChild<QRadioButton*>(Text(n));
        }
        // One button per word the command line takes, in the words' order.
        ASSERT_EQ(static_cast<std::size_t>(buttons.size()), arg.Words.size()) << where.toStdString();
        ASSERT_EQ(c.Items.size(), arg.Words.size()) << where.toStdString();
        for (qsizetype k = 0; k < buttons.size(); ++k) {
            ASSERT_NE(buttons[k], nullptr) << where.toStdString() << " item " << k;
            EXPECT_EQ(buttons[k]->text(), Text(c.Items[static_cast<std::size_t>(k)])) << where.toStdString();
            EXPECT_EQ(buttons[k]->isChecked(), k == c.Start) << where.toStdString() << " item " << k;
        }
        other = c.Start == static_cast<int>(buttons.size()) - 1 ? 0 : static_cast<int>(buttons.size()) - 1;
        buttons[other]->setChecked(true);
        break;
    }
    case TControlKind::Check: {
        auto* box = d->findChild<QCheckBox*>(name);
        ASSERT_NE(box, nullptr) << where.toStdString();
        EXPECT_EQ(box->text(), Text(c.Caption)) << where.toStdString();
        EXPECT_EQ(box->isChecked(), (c.Start != 0) != c.Inverted) << where.toStdString();
        other = c.Start ? 0 : 1;
        box->setChecked(!box->isChecked());
        break;
    }
    }
    EXPECT_EQ(d->Values()[index], other) << where.toStdString() << ": the value in the argument's place";
}

} // namespace

TEST_F(FilterWindowTest, EveryFilterWindowShowsItsRowsArgumentsWithTheirRangesAndStarts) {
    Start();
    int windows = 0;
    for (const TEffectRow& row : EffectTable()) {
        auto* d = qobject_cast<FilterDialog*>(window->Window(row.OptionsWindow));
        if (!d) continue; // the quick effects' options windows are no filter windows
        ++windows;
        for (std::size_t i = 0; i < row.Args.size(); ++i)
            ExpectControlOf(d, row.Args[i], i, QString("%1 argument %2").arg(Text(row.Caption)).arg(i));
    }
    EXPECT_EQ(windows, 15) << "the thirteen filter windows, GrayScale and Colour Channel Transfer";
}

namespace {

// A filter added in a test: blacks out the colour bytes of the pixels whose
// blue byte is below T, or (INV) at or above it.
bool ThresholdRule(const TFilterRun& run) {
    for (int y = 0; y < run.View.Height(); ++y) {
        uint8_t* p = run.View.Row(y);
        for (int x = 0; x < run.View.Width(); ++x, p += 4)
            if ((p[0] < run.Values[0]) != (run.Values[1] != 0)) p[0] = p[1] = p[2] = 0;
    }
    return true;
}
constexpr std::string_view kInvert[] = {"inv"};
constexpr TEffectArg kThresholdArgs[] = {
    Shown(NumberArg("T", 1, 200),
          {.Kind = TControlKind::Track, .Name = "T", .Caption = "Threshold:", .Start = 1, .Reset = 1}),
    Shown(FlagArg(kInvert), {.Kind = TControlKind::Check, .Name = "Inv", .Caption = "Invert", .Reset = 0})};
TEffectRow ThresholdRow() {
    TEffectRow row;
    row.Kind = TEffectKind::Filter;
    row.Caption = "Threshold";
    row.StepName = "Threshold";
    row.Filter = &ThresholdRule;
    row.CommandName = "threshold";
    row.Args = kThresholdArgs;
    return row;
}

} // namespace

TEST_F(FilterWindowTest, ANewFilterRowGetsItsWindowFromItsArguments) {
    Open();
    const TEffectRow row = ThresholdRow();
    RowDialog dialog(*window, row, TResetTime::AfterClose, window.get());
    auto* track = dialog.findChild<QSlider*>("T");
    ASSERT_NE(track, nullptr);
    EXPECT_EQ(track->maximum(), 200) << "the range the command line takes";
    std::string error;
    TEffectCall call;
    EXPECT_FALSE(ParseEffectCall("threshold:201", std::span(&row, 1), call, error));
    WhenModal([&](QWidget*) {
        track->setValue(120);
        dialog.findChild<QCheckBox*>("Inv")->setChecked(true);
        dialog.OkButton()->click();
    });
    dialog.Open();
    EXPECT_EQ(HistoryMenuTexts(S()).UndoCaption, "Undo Threshold");
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) {
            const uint8_t* p = S().Bitmap.Row(y) + x * 4;
            const uint8_t* b = doc.Row(y) + x * 4;
            const bool black = b[0] >= 120;
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(p[c], black ? 0 : b[c]) << x << "," << y;
        }
    EXPECT_EQ(track->value(), 1) << "reset after closing";
    EXPECT_FALSE(dialog.findChild<QCheckBox*>("Inv")->isChecked());
}

TEST_F(FilterWindowTest, NumbersBesideTracksShowOriginalAndRepeatLastFilter) {
    Open();
    Cmd("RepeatLastFilter1")->trigger();
    EXPECT_EQ(S().HistoryCount, 0) << "no filter applied yet, nothing to repeat";
    Run("TForm11", [&](FilterDialog* d) {
        auto* track = Control<QSlider>("TForm11", "B");
        auto* number = Control<QSpinBox>("TForm11", "BValue");
        ASSERT_TRUE(track && number);
        EXPECT_EQ(number->minimum(), -255);
        EXPECT_EQ(number->maximum(), 255);
        track->setValue(40);
        EXPECT_EQ(number->value(), 40);
        number->setValue(60);
        EXPECT_EQ(track->value(), 60);
        const Bitmap preview = ShownPicture(Ws());
        pixora::testing::SaveScreenshot(d, "brightness-with-numbers");
        EXPECT_EQ(preview.Row(3)[5 * 4 + 1], std::min(255, doc.Row(3)[5 * 4 + 1] + 60));

        // Held down, the view shows the image; let go, the preview again.
        auto* original = d->findChild<QPushButton*>("ShowOriginal");
        ASSERT_NE(original, nullptr);
        EXPECT_EQ(original->text(), "Show Original");
        const QPoint mid = original->rect().center();
        SendMouse(original, QEvent::MouseButtonPress, mid);
        EXPECT_TRUE(SamePixels(ShownPicture(Ws()), doc));
        SendMouse(original, QEvent::MouseButtonRelease, mid);
        EXPECT_TRUE(SamePixels(ShownPicture(Ws()), preview));
        // "OK" while it is held commits the effect, not the unchanged image.
        SendMouse(original, QEvent::MouseButtonPress, mid);
        Ok(d);
    });
    ASSERT_EQ(S().HistoryCount, 1);
    const Bitmap once = S().Bitmap;
    EXPECT_EQ(once.Row(3)[5 * 4 + 1], std::min(255, doc.Row(3)[5 * 4 + 1] + 60));

    // Ctrl+F: the same filter with the same values, a step of its own.
    EXPECT_EQ(Cmd("RepeatLastFilter1")->shortcut(), QKeySequence("Ctrl+F"));
    S().Tool = ToolPen;
    Cmd("RepeatLastFilter1")->trigger();
    EXPECT_EQ(S().HistoryCount, 2);
    EXPECT_EQ(HistoryMenuTexts(S()).UndoCaption, "Undo Brightness");
    EXPECT_EQ(S().Bitmap.Row(3)[5 * 4 + 1], std::min(255, once.Row(3)[5 * 4 + 1] + 60));
    EXPECT_EQ(S().Tool, ToolNone) << "as after the window's OK";
    EXPECT_TRUE(SamePixels(ShownPicture(Ws()), S().Bitmap));
}
