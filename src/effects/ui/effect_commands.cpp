#include "effects/ui/effect_commands.h"

#include <cstdlib>

#include "doc/workspace.h"
#include "effects/filter_framework.h"
#include "effects/quick_effect_frame.h"
#include "effects/ui/colour_select_dialog.h"
#include "effects/ui/colour_windows.h"
#include "effects/ui/filter_dialog.h"
#include "tools/tool_options.h"
#include "tools/tool_table.h"
#include "tools/ui/option_boxes.h"
#include "tools/ui/tool_commands.h"
#include "window_kit/window_host.h"

namespace pixora {

namespace {

// The values the options window holds now.
TEffectSettings ReadSettings(WindowHost& w, const TEffectRow& row) {
    TEffectSettings s;
    const WindowPort& port = *w.Ws().Port;
    const TWindow box = row.OptionsWindow;
    if (box == TWindow::None) return s;
    if (box == TWindow::RadiusOptions) {
        s.Radius = port.ToolOption(TOpt::BlurRadius);
    } else {
        s.Red = port.ToolOption(TOpt::ChannelRed);
        s.Green = port.ToolOption(TOpt::ChannelGreen);
        s.Blue = port.ToolOption(TOpt::ChannelBlue);
    }
    return s;
}

} // namespace

void RunEffect(WindowHost& w, const TEffectRow& row) {
    // The effect bars stay enabled without an image; their commands then do
    // nothing, and no window opens over no image.
    if (!w.Ws().ActiveImage()) return;
    QWidget* window = w.Window(row.OptionsWindow);
    // A filter window previews, commits and cancels by itself.
    if (auto* dialog = qobject_cast<FilterDialog*>(window)) {
        dialog->Open();
        return;
    }
    if (row.Kind == TEffectKind::Filter || !row.Operation) return;
    if (window) {
        CloseToolBoxes(w);
        window->show();
    }
    TEffectSettings settings = ReadSettings(w, row);
    // Noise draws from the program's generator, seeded once at start-up.
    settings.Seed = static_cast<uint32_t>(std::rand());
    ApplyQuickEffect(w.Ws(), row, settings);
}

TCommandList EffectCommands(std::span<const TEffectRow> rows) {
    TCommandList list;
    for (const TEffectRow& row : rows) {
        const TEffectRow* effect = &row;
        auto run = [effect](WindowHost& w) { RunEffect(w, *effect); };
        const TEffectPlaces& at = row.Places;
        // A filter (and the grey window) asks for its values first.
        const bool asks = row.Kind == TEffectKind::Filter || row.OptionsWindow == TWindow::GrayScale;
        for (std::string_view name : {at.ImageMenu, at.ColoursMenu, at.Popup, at.PopupColours})
            if (!name.empty()) {
                list.push_back(Cmd(name, row.Caption).Does(run));
                list.back().OpensDialog = asks;
            }
    }
    // The colour selection dialog for the drawing colours.
    for (auto name : {"SelectFGColour1", "SelectFGColour2"})
        list.push_back(Cmd(name, "Select FG Colour").Dialog().Does([](WindowHost& w) {
            ChooseDrawingColour(w, TColourTarget::Foreground);
        }));
    for (auto name : {"SelectBGColour1", "SelectBGColour2"})
        list.push_back(Cmd(name, "Select BG Colour").Dialog().Does([](WindowHost& w) {
            ChooseDrawingColour(w, TColourTarget::Background);
        }));
    for (auto name : {"Histogram1", "Histogram2", "Histogram3"})
        list.push_back(Cmd(name, "Histogram").Dialog().Does(RunHistogram));
    // The filter last applied with "OK", with its values, without its window.
    list.push_back(Cmd("RepeatLastFilter1", "Repeat Last Filter").Keys("Ctrl+F").Does([](WindowHost& w) {
        if (RepeatLastFilter(w.Ws())) ShowChosenTool(w, ToolNone);
    }));
    return list;
}

} // namespace pixora
