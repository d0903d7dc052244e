// An effect row becomes its menu items, and running one of them runs the
// row in the window: options window first, then the frame and the rule.
#include <QSpinBox>

#include "app/app_fixture.h"
#include "effects/ui/effect_commands.h"

using namespace pixora;
using pixora::testing::AppTest;

namespace {

// Adds the options window's red percentage to every red byte.
void AddRed(const TEffectRun& run) {
    for (int y = 0; y < run.Image.Height(); ++y)
        for (int x = 0; x < run.Image.Width(); ++x)
            run.Image.Row(y)[x * 4 + 2] += static_cast<uint8_t>(run.Settings.Red);
}

} // namespace

TEST_F(AppTest, AnEffectRowIsItsItemsAndItsRule) {
    TEffectRow row;
    row.Kind = TEffectKind::Quick;
    row.Caption = "Redden";
    row.StepName = "Redden";
    row.OptionsWindow = TWindow::ChannelOptions;
    row.Places = {"Redden1", "Redden2", "Redden3", ""};
    row.Operation = &AddRed;
    const TEffectRow rows[] = {row};
    const TCommandList commands = EffectCommands(rows);
    std::vector<std::string_view> names;
    for (const TCommand& c : commands)
        if (c.Caption == "Redden") names.push_back(c.Name);
    EXPECT_EQ(names, (std::vector<std::string_view>{"Redden1", "Redden2", "Redden3"}));

    Start();
    const int slot = NewImage(10, 8);
    window->Window("TForm26")->findChild<QSpinBox*>("R")->setValue(5);
    const uint8_t red = Ws().Images[static_cast<std::size_t>(slot)].Bitmap.Row(3)[3 * 4 + 2];
    commands.front().Run(*window);
    EXPECT_TRUE(window->Window("TForm26")->isVisible()) << "the options window shows first";
    EXPECT_EQ(Ws().Images[static_cast<std::size_t>(slot)].Bitmap.Row(3)[3 * 4 + 2],
              static_cast<uint8_t>(red + 5));
    EXPECT_EQ(Cmd("Undo1")->text(), "Undo Redden");

    // A row without a rule does nothing.
    const int steps = Ws().Images[static_cast<std::size_t>(slot)].HistoryCount;
    TEffectRow inert = row;
    inert.Operation = nullptr;
    RunEffect(*window, inert);
    EXPECT_EQ(Ws().Images[static_cast<std::size_t>(slot)].HistoryCount, steps);
}
