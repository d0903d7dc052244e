#include "app/status_hints.h"

#include <iterator>

#include "effects/effects_table.h"
#include "tools/tool_table.h"
#include "window_kit/command_table.h"

namespace pixora {

namespace {

// The main window's own pictures beside the swatches.
const TControlHint kSwatchHints[] = {
    {"Image2", "Exchange FG and BG Colours"},
    {"Image3", "Set Default Colours"},
};

} // namespace

std::vector<TControlHint> ControlHints() {
    std::vector<TControlHint> hints;
    for (const TToolDescription& row : ToolTable())
        if (!row.Button.empty() && !row.StatusHint.empty()) hints.push_back({row.Button, row.StatusHint});
    hints.insert(hints.end(), std::begin(kSwatchHints), std::end(kSwatchHints));
    for (const TCommand& c : AllCommands())
        if (!c.StatusHint.empty()) hints.push_back({c.Name, c.StatusHint});
    for (const TEffectRow& row : EffectTable())
        if (!row.StatusHint.empty()) hints.push_back({row.Button, row.StatusHint});
    return hints;
}

std::string_view ControlHint(std::string_view control) {
    for (const TControlHint& h : ControlHints())
        if (h.Control == control) return h.Text;
    return {};
}

} // namespace pixora
