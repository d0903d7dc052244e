#include "app/app_commands.h"

#include "app/about_dialog.h"
#include "app/main_window.h"
#include "app/tips_dialog.h"
#include "io/ui/image_information_dialog.h"
#include "io/ui/preferences_dialog.h"

namespace pixora {

TCommandList AppCommands() {
    constexpr CommandRule A = CommandRule::Always;
    return {
        Cmd("Exit1", "Exit", A).Keys("Ctrl+Q").Does([](WindowHost& w) { w.Owner()->close(); }),
        Cmd("HelpContents1", "Help Contents", A).Keys("F1").Does([](WindowHost& w) {
            qobject_cast<MainWindow*>(w.Owner())->OpenHelp();
        }),
        Cmd("TipoftheDay1", "Tip of the Day", A).Dialog().Does([](WindowHost& w) {
            if (auto* tips = w.Get<TWindow::Tips>()) tips->exec();
        }),
        Cmd("About1", "About ...", A).Does([](WindowHost& w) {
            if (auto* about = w.Get<TWindow::About>()) about->exec();
        }),
        // One-letter keys: a text field with the focus takes the letter first.
        Cmd("SwapColours1", "Swap Colours").Keys("X").Does([](WindowHost& w) {
            qobject_cast<MainWindow*>(w.Owner())->ExchangeSwatches();
        }),
        Cmd("DefaultColours1", "Default Colours").Keys("D").Does([](WindowHost& w) {
            qobject_cast<MainWindow*>(w.Owner())->DefaultSwatches();
        }),
        Cmd("Properties1", "Properties").Dialog().Does(ShowImageInformation),
        Cmd("Properties2", "Properties").Dialog().Does(ShowImageInformation),
        Cmd("Preferences1", "Preferences...", A).Dialog().Does(ShowPreferences),
    };
}

void InstallAppWindows(WindowHost& w) {
    w.Install<TWindow::Tips>(new TipsDialog(w.Ws(), w.Owner()));
    w.Install<TWindow::About>(new AboutDialog(w.Owner()));
    w.Install<TWindow::Preferences>(new PreferencesDialog(w));
}

} // namespace pixora
