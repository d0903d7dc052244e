// Every subsystem's command list, gathered for the main window to place.
#include "app/app_commands.h"
#include "app/view_commands.h"
#include "doc/ui/layer_commands.h"
#include "effects/ui/effect_commands.h"
#include "history/ui/history_commands.h"
#include "history/ui/recipe_commands.h"
#include "io/ui/file_commands.h"
#include "tools/ui/clipboard_commands.h"
#include "tools/ui/selection_commands.h"
#include "tools/ui/tool_commands.h"
#include "window_kit/command_table.h"

namespace pixora {

TCommandList AllCommands() {
    TCommandList all;
    for (TCommandList (*part)() : {&AppCommands, &ViewCommands, &FileCommands, &HistoryCommands, &RecipeCommands,
                                   &LayerCommands, &ToolCommands, &SelectionCommands, &ClipboardCommands}) {
        TCommandList list = part();
        all.insert(all.end(), std::make_move_iterator(list.begin()), std::make_move_iterator(list.end()));
    }
    TCommandList effects = EffectCommands();
    all.insert(all.end(), std::make_move_iterator(effects.begin()), std::make_move_iterator(effects.end()));
    return all;
}

} // namespace pixora
