// Recipes made from an image's steps in the editor: applied to the original
// picture they give the edited pixels; steps of this image alone become
// comments, named in a message.
#include <QApplication>
#include <QAbstractSlider>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QClipboard>
#include <QFileDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <cstring>
#include <fstream>
#include <sstream>

#include "app/app_fixture.h"
#include "app/pointer_events.h"
#include "app/view_controls.h"
#include "doc/window_ids.h"
#include "effects/apply_effect.h"
#include "effects/effects_table.h"
#include "effects/engine/effects.h"
#include "effects/recipes.h"
#include "effects/ui/effect_commands.h"
#include "history/history_store.h"
#include "support/pixels.h"
#include "tools/crop_tool.h"

using namespace pixora;
using pixora::testing::AppTest;
using pixora::testing::Child;

namespace {

bool SameBytes(const Bitmap& a, const Bitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
        if (std::memcmp(a.Row(y), b.Row(y), static_cast<std::size_t>(a.Width()) * 4) != 0) return false;
    return true;
}

struct RecipeWindowTest : AppTest {
    int slot = -1;
    Bitmap original;
    TImages& S() { return Ws().Images[static_cast<std::size_t>(slot)]; }
    void Open(int w, int h) {
        Start();
        slot = NewImage(w, h);
        original = pixora::testing::Pattern(w, h, 7);
        S().Bitmap = original;
        FillRowTable(S().Bitmap, S().Rows);
        window->RefreshView();
    }
    // Runs an effect as its menu item does; a filter window gets `set`, then OK.
    void Effect(std::string_view command, std::function<void(QWidget*)> set = {}) {
        const TEffectRow* row = EffectForCommand(command);
        ASSERT_NE(row, nullptr) << command;
        QWidget* options = window->Window(row->OptionsWindow);
        const bool modal = options && options->isModal() && row->Filter;
        if (modal)
            WhenModal([set](QWidget* d) {
                if (set) set(d);
                Child<QPushButton>(d, "Button1")->click();
            });
        RunEffect(*window, *row);
        // The GrayScale window stays up beside the image until OK.
        if (!modal && row->Filter) Child<QPushButton>(options, "Button1")->click();
    }
    // The recipe applied to the original picture, as pixora-convert applies it.
    Bitmap Replayed(const std::string& recipe) {
        std::vector<TEffectCall> calls;
        std::string error;
        EXPECT_TRUE(ParseRecipe(recipe, CommandLineEffects(), calls, error)) << error;
        Bitmap image = original;
        TEffects engine;
        for (const TEffectCall& call : calls)
            EXPECT_TRUE(ApplyEffect(call, engine, image, 1, error)) << error;
        return image;
    }
};

} // namespace

TEST_F(RecipeWindowTest, EveryRepeatableStepReplaysToTheSameBytes) {
    Open(40, 30);
    Effect("blur", [](QWidget* d) { Child<QSpinBox>(d, "Int")->setValue(3); });
    Effect("channel-transfer", [](QWidget* d) {
        Child<QAbstractSlider>(d, "P")->setValue(60);
        Child<QPushButton>(d, "B_R")->click();
    });
    Effect("grayscale");
    Ws().Port->SetToolOption(TOpt::ChannelRed, 40);
    Effect("tint");
    Ws().Port->SetToolOption(TOpt::BlurRadius, 3);
    Effect("gaussian-blur");
    Effect("invert");
    WhenModal([](QWidget* d) {
        Child<QCheckBox>(d, "Link")->setChecked(false);
        Child<QSpinBox>(d, "W")->setValue(53);
        Child<QSpinBox>(d, "H")->setValue(37);
        Child<QPushButton>(d, "Button1")->click();
    });
    Cmd("Resize1")->trigger();
    WhenModal([](QWidget* d) {
        Child<QSpinBox>(d, "RA")->setValue(30);
        Child<QPushButton>(d, "Button1")->click();
    });
    Cmd("RotateandFlip1")->trigger();
    WhenModal([](QWidget* d) {
        Child<QRadioButton>(d, "CItem1")->click(); // "Mirror"
        Child<QPushButton>(d, "Button1")->click();
    });
    Cmd("RotateandFlip1")->trigger();
    S().DownX = 30, S().DownY = 4;
    Ws().ToolVars.SelRight = 5, Ws().ToolVars.SelBottom = 25;
    Ws().ToolVars.CropShown = 1;
    ASSERT_TRUE(ApplyCrop(Ws()));
    WhenModal([](QWidget* d) {
        Child<QCheckBox>(d, "S")->setChecked(false);
        Child<QCheckBox>(d, "Link")->setChecked(false);
        Child<QSpinBox>(d, "W")->setValue(30);
        Child<QSpinBox>(d, "H")->setValue(24);
        Child<QPushButton>(d, "Button1")->click();
    });
    Cmd("Resize1")->trigger();

    const TRecipe recipe = RecipeFromHistory(S());
    EXPECT_TRUE(recipe.Skipped.empty()) << recipe.Text;
    const std::string turn = S().History[9].Recipe;
    EXPECT_EQ(turn.substr(0, 10), "rotate:30,");
    EXPECT_EQ(recipe.Text, "blur:3\nchannel-transfer:B-R,60\ngrayscale:rgb\ntint:40\ngaussian-blur:3\ninvert\n"
                           "resize:53,37\n" + turn + "\nmirror\ncrop:5,4,25,21\nresize:30,24,nostretch\n");
    EXPECT_TRUE(SameBytes(Replayed(recipe.Text), S().Bitmap));

    // Undone steps are not in it.
    UndoStep(Ws());
    UndoStep(Ws());
    UndoStep(Ws());
    EXPECT_EQ(RecipeFromHistory(S()).Text.find("mirror"), std::string::npos);
}

TEST_F(RecipeWindowTest, StepsOfThisImageAloneBecomeNamedComments) {
    Open(40, 30);
    window->show();
    Effect("invert");
    ASSERT_TRUE(UndoStep(Ws()));
    ASSERT_EQ(S().HistoryPos, 0);
    // A pen stroke in the place of the undone step: not repeatable.
    Cmd("Pen1")->trigger();
    pixora::testing::DragOn(window->View()->Image(), {5, 5}, {20, 12});
    ASSERT_EQ(S().HistoryPos, 1);
    Effect("noise"); // draws random numbers
    Effect("invert");
    ASSERT_EQ(S().HistoryPos, 3);

    bool told = false;
    WhenModal([&](QWidget* d) {
        told = true;
        const std::string text = d->findChild<QPlainTextEdit*>()->toPlainText().toStdString();
        EXPECT_NE(text.find("Pen\nNoise"), std::string::npos) << text;
        Child<QPushButton>(d, "Button1")->click();
    });
    Cmd("CopyStepsasRecipe1")->trigger();
    EXPECT_TRUE(told);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "# Pen\n# Noise\ninvert\n");

    // Saved to a file, the recipe reads back to its one step.
    const QString path = QDir(ExeDir()).filePath("steps.recipe");
    WhenModal([&](QWidget* d) {
        auto* fd = qobject_cast<QFileDialog*>(d);
        ASSERT_NE(fd, nullptr);
        // The message comes after the file dialog has closed: wait for it by
        // name, or the poll may find the file dialog still up.
        pixora::testing::WhenModalDialog(QString::fromUtf8(WindowName(TWindow::Message)),
                        [](QWidget* m) { Child<QPushButton>(m, "Button1")->click(); });
        pixora::testing::AcceptFileDialog(fd, path);
    });
    Cmd("SaveStepsasRecipe1")->trigger();
    std::vector<TEffectCall> calls;
    std::string error;
    ASSERT_TRUE(ReadRecipeFile(path.toStdString(), CommandLineEffects(), calls, error)) << error;
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].Row, EffectForCommand("invert"));
}
