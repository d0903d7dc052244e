#include "app/view_commands.h"

#include <QAction>
#include <QShortcut>
#include <QSignalBlocker>
#include <array>

#include "app/custom_zoom_dialog.h"
#include "app/main_window.h"
#include "app/navigator_window.h"
#include "app/status_bar.h"
#include "app/view_controls.h"
#include "io/preferences.h"

namespace pixora {

namespace {

MainWindow& Main(WindowHost& w) {
    return *qobject_cast<MainWindow*>(w.Owner());
}

// The fixed steps' item names in the Zoom menu and the pop-up's "Zoom", in
// the order of kZoomSteps.
constexpr std::array<std::pair<std::string_view, std::string_view>, std::size(kZoomSteps)> kStepItems = {{
    {"N16116001", "N16116002"},
    {"N818001", "N818002"},
    {"N414001", "N414002"},
    {"N212001", "N212002"},
    {"N111001", "N111002"},
    {"N12501", "N12502"},
    {"N14251", "N14252"},
    {"N181251", "N181252"},
    {"N1166251", "N1166252"},
    {"Reset1", "Reset2"},
}};

void RunZoomIn(WindowHost& w) {
    Main(w).ApplyZoom(ZoomIn);
}
void RunZoomOut(WindowHost& w) {
    Main(w).ApplyZoom(ZoomOut);
}

// "Custom Zoom": OK stores the pair and lays the view out again.
void RunCustomZoom(WindowHost& w) {
    auto* dialog = w.Get<TWindow::CustomZoom>();
    const TActiveImage active = w.Ws().ActiveImage();
    if (!dialog || !active) return;
    dialog->SetZoom(SlotZoom(*active));
    if (dialog->exec() != QDialog::Accepted) return;
    // The active page cannot change while the dialog is modal; a pair too
    // large for the view is refused there.
    const TZoom z = dialog->Zoom();
    Main(w).ApplyZoom([z](TZoom) { return z; });
}

void RunFitToWindow(WindowHost& w) {
    MainWindow& main = Main(w);
    main.View()->Fit(main.RulersShown());
}

// "Easy Scroll" and the "Scroll" button show the navigator.
void RunNavigator(WindowHost& w) {
    QWidget* navigator = w.Window(TWindow::Navigator);
    if (!navigator || !w.Ws().ActiveImage()) return;
    // Showing again rebuilds the thumbnail for the image now active.
    navigator->hide();
    navigator->show();
}

} // namespace

TCommandList ViewCommands() {
    constexpr CommandRule I = CommandRule::NeedsImage;
    TCommandList list = {
        Cmd("ZoomIn1", "Zoom In", I).Does(RunZoomIn),
        Cmd("ZoomIn2", "Zoom In", I).Does(RunZoomIn),
        Cmd("ToolButton13", "Zoom +", I)
            .Button(":/icons/zoom-in.svg", "Zoom In", "Enlarge the canvas")
            .Does(RunZoomIn),
        Cmd("ZoomOut1", "Zoom Out", I).Does(RunZoomOut),
        Cmd("ZoomOut2", "Zoom Out", I).Does(RunZoomOut),
        Cmd("ToolButton14", "Zoom -", I)
            .Button(":/icons/zoom-out.svg", "Zoom Out", "Decrease the size of the canvas")
            .Does(RunZoomOut),
        Cmd("CustomZoom1", "Custom Zoom", I).Dialog().Does(RunCustomZoom),
        Cmd("CustomZoom2", "Custom Zoom", I).Dialog().Does(RunCustomZoom),
        Cmd("EasyScroll1", "Easy Scroll", I).Does(RunNavigator),
        Cmd("ToolButton19", "Scroll", I)
            .Button(":/icons/scroll.svg", "Image Navigator",
                    "Use the image navigator to scroll through the current image")
            .Does(RunNavigator),
        // Ctrl+0 is 100 %; Ctrl+9 beside it fits (Shift with a digit types
        // a sign on many keyboards, so Ctrl+Shift+0 would not always come).
        Cmd("FittoWindow1", "Fit to Window", I).Keys("Ctrl+9").Does(RunFitToWindow),
        Cmd("OpenAt100Percent1", "Open Pictures at 100 %", CommandRule::Always).Check(),
        Cmd("ScaleBars1", "Scale Bars", CommandRule::Always).Check(true),
    };
    list.back().RunOnToggle = true;
    list.back().Run = [](WindowHost& w) { Main(w).RunLayout(); };
    TCommand& fullSize = list[list.size() - 2];
    fullSize.RunOnToggle = true;
    fullSize.Run = [](WindowHost& w) {
        SetOpenAtFullSize(w.Ws(), w.Command("OpenAt100Percent1")->isChecked());
    };
    for (std::size_t i = 0; i < kStepItems.size(); ++i) {
        const TZoomStep& step = kZoomSteps[i];
        const TZoom z = step.Zoom;
        auto run = [z](WindowHost& w) { Main(w).ApplyZoom([z](TZoom) { return z; }); };
        list.push_back(Cmd(kStepItems[i].first, step.Caption, I).Does(run));
        list.push_back(Cmd(kStepItems[i].second, step.Caption, I).Does(run));
    }
    return list;
}

void InstallViewWindows(MainWindow& w) {
    // The keys every desktop program zooms with, besides the menus' items:
    // each runs the item it names (and does nothing while that is disabled).
    static constexpr std::pair<const char*, const char*> kZoomKeys[] = {
        {"Ctrl+=", "ZoomIn1"}, {"Ctrl++", "ZoomIn1"}, {"Ctrl+-", "ZoomOut1"}, {"Ctrl+0", "Reset1"}};
    for (const auto& [keys, item] : kZoomKeys) {
        auto* shortcut = new QShortcut(QKeySequence(QString::fromLatin1(keys)), &w);
        QAction* action = w.Command(item);
        QObject::connect(shortcut, &QShortcut::activated, action, &QAction::trigger);
    }
    if (QAction* fullSize = w.Command("OpenAt100Percent1")) {
        const QSignalBlocker quiet(fullSize);
        fullSize->setChecked(OpenAtFullSize(w.Ws()));
    }
    w.Install<TWindow::CustomZoom>(new CustomZoomDialog(&w));
    auto* navigator = new NavigatorWindow(w.Ws(), *w.View(), &w);
    navigator->SetAnchor(w.Status());
    w.Install<TWindow::Navigator>(navigator);
}

} // namespace pixora
