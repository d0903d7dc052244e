// The main window's start-up and memory, one figure per process run:
//
//   bench_window startup        starts as the program does (the application,
//                               its style, the main window maximised) and
//                               quits once the window's first paint is done;
//                               prints "startup MAIN_MS LAUNCH_MS": the time
//                               from main() and, when PIXORA_BENCH_T0 holds
//                               the launcher's wall clock in ns just before it
//                               started this process, from the launch.
//   bench_window memory FILE    opens FILE as the Open command does, then
//                               makes 20 edits (mirrors and flips, each an
//                               undoable step; again once the copy for crash
//                               recovery they made is written), 3 pen strokes
//                               as the window
//                               makes them (each state stored after its
//                               release) and a rotation by 30 degrees; prints
//                               the resident size and its peak beyond the bare
//                               window, in image-sized buffers (width x height
//                               x 4 bytes), after each, the peak of the
//                               strokes and of the rotation counted from their
//                               own start; and the milliseconds of a memcpy of
//                               the image and of the rotation, in the same run.
//
// Run offscreen (QT_QPA_PLATFORM=offscreen, set when unset) or under xvfb-run.

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/palette_style.h"
#include "app/recovery_window.h"
#include "io/recovery_keeper.h"
#include "history/geometry_commands.h"
#include "history/history_store.h"
#include "tools/tool_dispatch.h"
#include "tools/tool_table.h"
#include "io/open_commands.h"

using namespace pixora;

namespace {

int64_t WallNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// Quits the application once the watched widget's first paint is over.
class FirstPaint : public QObject {
public:
    int64_t At = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint && At == 0) {
            QTimer::singleShot(0, [this] {
                At = WallNanoseconds();
                QApplication::quit();
            });
        }
        return false;
    }
};

int Startup(int argc, char** argv) {
    const int64_t mainStart = WallNanoseconds();
    QApplication app(argc, argv);
    QApplication::setStyle(new PaletteStyle);
    MainWindow window;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window.setGeometry(screen->availableGeometry());
    FirstPaint probe;
    window.installEventFilter(&probe);
    window.showMaximized();
    app.exec();
    const char* t0 = std::getenv("PIXORA_BENCH_T0");
    const double fromMain = static_cast<double>(probe.At - mainStart) / 1e6;
    const double fromLaunch = t0 ? static_cast<double>(probe.At - std::strtoll(t0, nullptr, 10)) / 1e6 : -1;
    std::printf("startup %.1f %.1f\n", fromMain, fromLaunch);
    return probe.At ? 0 : 1;
}

// VmRSS and VmHWM of this process, in bytes.
void ResidentSizes(double& now, double& peak) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) now = std::atof(line.c_str() + 6) * 1024;
        if (line.rfind("VmHWM:", 0) == 0) peak = std::atof(line.c_str() + 6) * 1024;
    }
}

// Starts the peak (VmHWM) again from the resident size now.
void ForgetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

double MillisecondsSince(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

// A memcpy of the picture into a buffer already touched: the yardstick.
double MemcpyMilliseconds(const Bitmap& picture) {
    std::vector<uint8_t> to(picture.ByteSize(), 1);
    const auto t0 = std::chrono::steady_clock::now();
    std::memcpy(to.data(), picture.Data(), picture.ByteSize());
    const double ms = MillisecondsSince(t0);
    const volatile uint8_t kept = to[to.size() / 2];
    (void)kept;
    return ms;
}

int Memory(int argc, char** argv, const std::string& file) {
    QApplication app(argc, argv);
    // A folder of its own for the history and preferences.
    QTemporaryDir dir;
    const QString exe = dir.path() + "/";
    for (const char* sub : {"bin/hstry", "bin/save", "bin/res"})
        QDir().mkpath(exe + sub);
    MainWindow window(exe);
    window.resize(1000, 700);
    window.show();
    QApplication::processEvents();
    double bare = 0, barePeak = 0;
    ResidentSizes(bare, barePeak);
    Workspace& ws = window.Ws();
    if (LoadIntoNewSlot(ws, file) < 0) {
        std::fprintf(stderr, "bench_window: cannot open %s\n", file.c_str());
        return 1;
    }
    QApplication::processEvents();
    const Bitmap& image = ws.Active().Bitmap;
    const double buffer = static_cast<double>(image.Width()) * image.Height() * 4;
    double now = 0, peak = 0;
    ResidentSizes(now, peak);
    std::printf("open %dx%d resident %.2f peak %.2f\n", image.Width(), image.Height(), (now - bare) / buffer,
                (peak - bare) / buffer);
    for (int i = 0; i < 20; ++i) {
        TRotateParams p;
        p.Action = i % 2 ? TRotateAction::FlipVertical : TRotateAction::MirrorHorizontal;
        if (!RotateActiveImage(ws, p)) {
            std::fprintf(stderr, "bench_window: edit %d failed\n", i + 1);
            return 1;
        }
        QApplication::processEvents();
    }
    ResidentSizes(now, peak);
    std::printf("edits 20 resident %.2f peak %.2f\n", (now - bare) / buffer, (peak - bare) / buffer);
    // The copy for crash recovery taken at the twentieth step is written
    // behind; at rest it is gone.
    if (TRecoveryKeeper* keeper = RecoveryKeeperOf(window)) keeper->Finish();
    WaitForStoredSteps(ws);
    ResidentSizes(now, peak);
    std::printf("rest 20 resident %.2f peak %.2f\n", (now - bare) / buffer, (peak - bare) / buffer);

    // Pen strokes, each with its own peak.
    ForgetPeak();
    ws.Images[static_cast<std::size_t>(ws.ActiveSlot())].Tool = ToolPen;
    for (int i = 0; i < 3; ++i) {
        const int y = 100 + 200 * i;
        PointerDown(ws, 100, y, 0);
        PointerMove(ws, image.Width() / 2, y + 50);
        PointerMove(ws, image.Width() - 100, y);
        PointerUp(ws, image.Width() - 100, y);
        QApplication::processEvents();
        StoreNewestState(ws, ws.ActiveSlot());
        WaitForStoredSteps(ws);
    }
    ResidentSizes(now, peak);
    std::printf("strokes 3 resident %.2f peak %.2f\n", (now - bare) / buffer, (peak - bare) / buffer);

    // A rotation by an angle: the turned picture, larger than the image.
    ForgetPeak();
    TRotateParams turn;
    turn.Action = TRotateAction::Angle;
    turn.Degrees = 30;
    const auto t0 = std::chrono::steady_clock::now();
    if (!RotateActiveImage(ws, turn)) {
        std::fprintf(stderr, "bench_window: the rotation failed\n");
        return 1;
    }
    const double rotateMs = MillisecondsSince(t0);
    QApplication::processEvents();
    ResidentSizes(now, peak);
    std::printf("rotate30 resident %.2f peak %.2f\n", (now - bare) / buffer, (peak - bare) / buffer);
    std::printf("times rotate30 %.1f memcpy %.1f\n", rotateMs, MemcpyMilliseconds(ws.Active().Bitmap));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc >= 2 && std::strcmp(argv[1], "startup") == 0) return Startup(argc, argv);
    if (argc >= 3 && std::strcmp(argv[1], "memory") == 0) return Memory(argc, argv, argv[2]);
    std::fprintf(stderr, "usage: bench_window startup | bench_window memory FILE\n");
    return 2;
}
