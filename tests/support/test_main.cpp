// Shared entry point of the test programs. A QGuiApplication exists for the
// whole run so that font and painting code (and, for the window tests, the
// widgets) work offscreen.
#include <gtest/gtest.h>

#ifdef PIXORA_TESTS_NEED_WIDGETS
#include <QApplication>
#else
#include <QGuiApplication>
#endif
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "support/test_scope.h"

namespace {

// Ends each test's scope, and with it the timers the test left pending.
class EndScopes : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override { pixora::testing::EndTestScope(); }
};

} // namespace

int main(int argc, char** argv) {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (!platform) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Asked for the X platform without a display: nothing can run, so the
    // whole program counts as skipped (ctest's SKIP_RETURN_CODE).
    if (platform && std::strcmp(platform, "xcb") == 0 && !std::getenv("DISPLAY")) {
        std::puts("no X display: skipped");
        return 77;
    }
    // The same for Wayland without a compositor to talk to.
    if (platform && std::strncmp(platform, "wayland", 7) == 0 && !std::getenv("WAYLAND_DISPLAY")) {
        std::puts("no Wayland display: skipped");
        return 77;
    }
    ::testing::InitGoogleTest(&argc, argv);
#ifdef PIXORA_TESTS_NEED_WIDGETS
    QApplication app(argc, argv);
#else
    QGuiApplication app(argc, argv);
#endif
    ::testing::UnitTest::GetInstance()->listeners().Append(new EndScopes);
    return RUN_ALL_TESTS();
}
