// Crash recovery end to end: a child editor process edits an image, is
// killed with SIGKILL, and the next start offers the image and opens it.

#include <QPushButton>
#include <QTabWidget>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/app_fixture.h"
#include "app/recovery_window.h"
#include "history/history_store.h"
#include "io/codecs/image_codecs.h"
#include "io/open_commands.h"
#include "io/recovery_keeper.h"
#include "support/folders.h"
#include "support/pixels.h"
#include "support/screenshots.h"

extern char** environ;

using namespace pixora;
using pixora::testing::AppTest;
using pixora::testing::FolderNames;
namespace fs = std::filesystem;

namespace {

constexpr const char* kChildVariable = "PIXORA_RECOVERY_CHILD";

Bitmap Photo() {
    Bitmap b(31, 17);
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            pixora::testing::Put(b, x, y, static_cast<uint8_t>(x * 8), static_cast<uint8_t>(y * 15), 90, 0);
    return b;
}

// Edit i of the child: one row of the image changed in every byte.
void ApplyStep(Bitmap& b, int i) {
    uint8_t* row = b.Row(i % b.Height());
    for (int x = 0; x < b.Width() * 4; ++x)
        row[x] = static_cast<uint8_t>(row[x] ^ (i * 17 + 1));
}

} // namespace

// The child's part. It runs only when the test below starts it (gtest
// leaves DISABLED_ tests alone otherwise) and fails when run by hand.
TEST(RecoveryChild, DISABLED_EditsAnImageAndWaitsToBeKilled) {
    const char* exeDir = std::getenv(kChildVariable);
    ASSERT_NE(exeDir, nullptr) << "started only by AKilledEditorsUnsavedImageIsOfferedAndRecovered";
    MainWindow window(QString::fromUtf8(exeDir));
    window.show();
    Workspace& ws = window.Ws();
    const int slot = LoadIntoNewSlot(ws, std::string(exeDir) + "photo.png");
    ASSERT_EQ(slot, 0);
    // The twentieth history step writes the copy; no timer is waited for.
    for (int i = 1; i <= kRecoveryStepInterval; ++i) {
        ASSERT_TRUE(PushHistory(ws));
        NameHistoryStep(ws, "Step");
        ApplyStep(ws.Images[0].Bitmap, i);
    }
    TRecoveryKeeper* keeper = RecoveryKeeperOf(window);
    ASSERT_NE(keeper, nullptr);
    keeper->Finish();
    ASSERT_EQ(keeper->LastError(), "");
    std::ofstream(std::string(exeDir) + "ready") << "ready\n";
    for (;;)
        pause(); // until killed
}

TEST_F(AppTest, AKilledEditorsUnsavedImageIsOfferedAndRecovered) {
    const std::string exeDir = ExeDir().toStdString();
    WriteImageFile(exeDir + "photo.png", Photo(), fcPng, SaveOptions{});
    Bitmap expected = LoadImageFile(exeDir + "photo.png", fcPng);
    for (int i = 1; i < kRecoveryStepInterval; ++i)
        ApplyStep(expected, i);
    // The copy is taken at the twentieth step, before its own edit.

    const std::string variable = std::string(kChildVariable) + "=" + exeDir;
    std::vector<char*> env;
    for (char** e = environ; *e; ++e)
        env.push_back(*e);
    env.push_back(const_cast<char*>(variable.c_str()));
    env.push_back(nullptr);
    char arg1[] = "--gtest_also_run_disabled_tests";
    char arg2[] = "--gtest_filter=RecoveryChild.DISABLED_EditsAnImageAndWaitsToBeKilled";
    char exe[] = "/proc/self/exe";
    char* argv[] = {exe, arg1, arg2, nullptr};
    pid_t child = 0;
    ASSERT_EQ(posix_spawn(&child, "/proc/self/exe", nullptr, nullptr, argv, env.data()), 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    bool ready = false;
    while (!ready && std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) FAIL() << "the child editor ended by itself";
        ready = fs::exists(exeDir + "ready");
        if (!ready) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_EQ(kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(ready) << "the child editor never wrote its copy";
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    const std::string folder = exeDir + "bin/save/recovery/";
    ASSERT_EQ(FolderNames(folder).size(), 2u) << "the killed run left its image and manifest";
    ASSERT_EQ(FindRecoverableImages(folder, TRecoveryRun::Current()).size(), 1u);

    // The next start offers it; "Recover" opens it.
    Start();
    window->show();
    bool offered = false; // the dialog itself is gone once it is closed
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<RecoveryDialog*>(QApplication::activeModalWidget());
        if (!dialog || offered) return;
        offered = true;
        pixora::testing::SaveScreenshot(dialog, "recovery-offer");
        auto* recover = dialog->findChild<QPushButton*>("Recover0");
        ASSERT_NE(recover, nullptr);
        recover->click();
    });
    poll.start();
    for (int i = 0; i < 500 && Ws().SysData.OpenCount < 0; ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    poll.stop();
    ASSERT_TRUE(offered) << "no offer was shown";
    ASSERT_EQ(Ws().SysData.OpenCount, 0);
    const TImages& s = Ws().Images[0];
    EXPECT_TRUE(pixora::testing::SameImage(s.Bitmap, expected));
    EXPECT_EQ(s.FileName, exeDir + "photo.png");
    EXPECT_EQ(window->PageCaption(0), "photo.png");
    EXPECT_EQ(s.Saved, 0);
    EXPECT_TRUE(FolderNames(folder).empty()) << "the recovered copy is removed";
    pixora::testing::SaveScreenshot(window.get(), "recovery-recovered");
    // A clean exit leaves no copy either, though the image is unsaved.
    TRecoveryKeeper* keeper = RecoveryKeeperOf(*window);
    ASSERT_NE(keeper, nullptr);
    keeper->Refresh(Ws());
    keeper->Finish();
    EXPECT_EQ(FolderNames(folder).size(), 2u);
    window.reset();
    EXPECT_TRUE(FolderNames(folder).empty());
}
