// Press to pixel on a real X display: what a user waits for between
// pressing the button over the canvas and seeing the first dot.
//
//   bench_press_to_pixel X Y [TIMEOUT_MS]
//
// Reads the screen pixel at (X, Y) of the root window, presses the left
// button there with xdotool (the X test extension, as a real press comes),
// then reads the pixel every millisecond until it changes; prints
// "press_to_pixel MS" (or "press_to_pixel timeout"), releases the button.
// Run it on the display the editor shows on, the pointer's tool ready.
//
//   bench_press_to_pixel --open X Y RRGGBB TIMEOUT_MS PROGRAM [ARGS...]
//
// Open to first pixels: starts PROGRAM (the editor with a picture of one
// colour) and reads the pixel at (X, Y) every millisecond until it comes
// within 8 of RRGGBB in each channel; prints "open_to_pixel MS" (or
// "open_to_pixel timeout"), the time from the start of the program.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <unistd.h>
#include <signal.h>
#include <sys/wait.h>

namespace {

unsigned long PixelAt(Display* d, int x, int y) {
    XImage* image = XGetImage(d, DefaultRootWindow(d), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return ~0ul;
    const unsigned long p = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return p;
}

int Run(const char* command) {
    return std::system(command);
}

bool Near(unsigned long pixel, unsigned long rgb) {
    for (int shift : {0, 8, 16}) {
        const int a = static_cast<int>((pixel >> shift) & 0xFF), b = static_cast<int>((rgb >> shift) & 0xFF);
        if (std::abs(a - b) > 8) return false;
    }
    return true;
}

int OpenToPixel(int argc, char** argv) {
    if (argc < 7) {
        std::fprintf(stderr, "usage: bench_press_to_pixel --open X Y RRGGBB TIMEOUT_MS PROGRAM [ARGS...]\n");
        return 2;
    }
    const int x = std::atoi(argv[2]), y = std::atoi(argv[3]);
    const unsigned long colour = std::strtoul(argv[4], nullptr, 16);
    const int timeoutMs = std::atoi(argv[5]);
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "no X display\n");
        return 77;
    }
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[6], argv + 6);
        _exit(127);
    }
    double ms = -1;
    for (;;) {
        const double elapsed =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        if (Near(PixelAt(d, x, y), colour)) {
            ms = elapsed;
            break;
        }
        if (elapsed > timeoutMs) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (ms < 0)
        std::printf("open_to_pixel timeout\n");
    else
        std::printf("open_to_pixel %.1f\n", ms);
    std::fflush(stdout);
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    XCloseDisplay(d);
    return ms < 0 ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--open") return OpenToPixel(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_press_to_pixel X Y [TIMEOUT_MS]\n");
        return 2;
    }
    const int x = std::atoi(argv[1]), y = std::atoi(argv[2]);
    const int timeoutMs = argc > 3 ? std::atoi(argv[3]) : 10000;
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "no X display\n");
        return 77;
    }
    const std::string move = "xdotool mousemove " + std::to_string(x) + " " + std::to_string(y);
    if (Run(move.c_str()) != 0) return 3;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const unsigned long before = PixelAt(d, x, y);
    const auto start = std::chrono::steady_clock::now();
    if (Run("xdotool mousedown 1") != 0) return 3;
    double ms = -1;
    for (;;) {
        const double elapsed =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        if (PixelAt(d, x, y) != before) {
            ms = elapsed;
            break;
        }
        if (elapsed > timeoutMs) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    Run("xdotool mouseup 1");
    if (ms < 0)
        std::printf("press_to_pixel timeout\n");
    else
        std::printf("press_to_pixel %.1f\n", ms);
    XCloseDisplay(d);
    return ms < 0 ? 1 : 0;
}
