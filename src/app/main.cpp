#include <QApplication>
#include <QDir>
#include <QScreen>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/file_drop.h"
#include "app/main_window.h"
#include "app/palette_style.h"
#include "io/outside_files.h"
#include "io/read_ahead.h"

namespace {

std::vector<std::string> Arguments(int argc, char** argv) {
    std::vector<std::string> out;
    for (int i = 1; i < argc; ++i)
        out.emplace_back(argv[i]);
    return out;
}

} // namespace

int main(int argc, char** argv) {
    using namespace pixora;
    // --help and --version answer before any window system is needed.
    const TCommandLine early = ParseCommandLine(Arguments(argc, argv), QDir::currentPath().toStdString());
    if (early.Action == TCommandLineAction::Help || early.Action == TCommandLineAction::Version) {
        std::fputs(early.Action == TCommandLineAction::Help ? HelpText().c_str() : kVersionText, stdout);
        if (early.Action == TCommandLineAction::Version) std::fputs("\n", stdout);
        return 0;
    }

    // The first file is read while the window system and the window start,
    // on the second core.
    // A big JPEG is also decoded at an eighth of its size beside it, for a
    // first look at once.
    ReadAhead ahead;
    if (!early.Files.empty()) {
        ahead.Start(early.Files.front());
        std::error_code unknown;
        const std::uintmax_t bytes = std::filesystem::file_size(early.Files.front(), unknown);
        if (!unknown && bytes > kFirstLookFileBytes) ahead.StartFirstLook(8);
    }

    QApplication app(argc, argv);
    // The desktop's style (or the one named by -style), icons kept visible
    // on dark palettes.
    QApplication::setStyle(new PaletteStyle);
    // The window system has taken its own options out of argv; what remains
    // is ours.
    const TCommandLine args = ParseCommandLine(Arguments(argc, argv), QDir::currentPath().toStdString());
    if (args.Action == TCommandLineAction::UsageError) {
        std::fprintf(stderr, "pixora: %s\n%s", args.Problem.c_str(), UsageLine().c_str());
        return 2;
    }
    QApplication::setApplicationName(kVersionText);
    QGuiApplication::setDesktopFileName(PIXORA_APP_ID);
    MainWindow window;
    QApplication::setApplicationName("Pixora");
    // Without a window manager "maximised" means nothing: size it to the
    // screen first.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window.setGeometry(screen->availableGeometry());
    window.showMaximized();
    // The files open once the window is up, so that an error report has a
    // window to sit on.
    if (!args.Files.empty())
        QMetaObject::invokeMethod(
            &window, [&window, &args, &ahead] { OpenFilesFromOutside(window, args.Files, &ahead); },
            Qt::QueuedConnection);
    return app.exec();
}
