#include "app/app_commands.h"

#include "app/main_window.h"

namespace pixora {

TCommandList AppCommands() {
    constexpr CommandRule A = CommandRule::Always;
    return {
        Cmd("Exit1", "Exit", A).Keys("Ctrl+Q").Does([](WindowHost& w) { w.Owner()->close(); }),
        Cmd("HelpContents1", "Help Contents", A).Keys("F1").Does([](WindowHost& w) {
            qobject_cast<MainWindow*>(w.Owner())->OpenHelp();
        }),
        // The tips, about and image information windows come with their own part.
        Cmd("TipoftheDay1", "Tip of the Day", A),
        Cmd("About1", "About ...", A),
        Cmd("Properties1", "Properties"),
        Cmd("Properties2", "Properties"),
    };
}

} // namespace pixora
