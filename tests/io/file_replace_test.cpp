// Replacing a user's file: a save that is killed leaves the old or the new
// file whole and its temporary file goes at the next save; a folder the user
// cannot write still takes a save of a file the user can; what fails names
// the user's file.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "io/codecs/image_codecs.h"
#include "io/recovery_keeper.h"
#include "io_test_support.h"
#include "support/file_faults.h"
#include "support/folders.h"
#include "support/pixels.h"

extern char** environ;

using namespace pixora;
using namespace pixora::testing;
namespace fs = std::filesystem;

namespace {

void SetAge(const std::string& path, long long seconds) {
    const time_t when = time(nullptr) - static_cast<time_t>(seconds);
    const timespec times[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

ino_t InodeOf(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

// A folder that takes no new file of the program's temporary ones, and
// possibly a fault besides.
struct TNoTemporaries : TFaultyFiles {
    using TFaultyFiles::TFaultyFiles;
    int Open(const std::string& path, int flags, mode_t mode) override {
        if ((flags & O_CREAT) && path.find("/.pixora-") != std::string::npos) {
            errno = EACCES;
            return -1;
        }
        return TFaultyFiles::Open(path, flags, mode);
    }
};

std::string WhyWriteFails(const std::string& path, const Bitmap& image, int code) {
    try {
        WriteImageFile(path, image, code, SaveOptions{});
    } catch (const ECodecError& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(FileReplace, LeftoversOfEndedSavesGoAtTheNextSaveToTheFolderOrAtStartForRecovery) {
    ScratchDir dir;
    const std::string ended = std::to_string(EndedProcess()), self = std::to_string(getpid());
    const std::vector<std::string> leftovers = {".pixora-" + ended + "-photo.png.Ab12Cd",
                                                ".pixora-1-old.png.Zz09yX"}; // made two days ago
    const std::vector<std::string> kept = {".pixora-" + self + "-mine.png.Ab12Ce", // a save of this run
                                           ".pixora-1-live.png.Ab12Cf",           // a save of a running process
                                           ".pixora-notes.txt", "photo.png"};
    for (const auto& name : leftovers) WriteBytes(dir.File(name), {1, 2, 3});
    for (const auto& name : kept) WriteBytes(dir.File(name), {1, 2, 3});
    SetAge(dir.File(leftovers[1]), 2 * 24 * 3600);

    WriteImageFile(dir.File("new.png"), GradientImage(4, 4), fcPng, SaveOptions{});
    std::vector<std::string> expected = kept;
    expected.push_back("new.png");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FolderNames(dir.Path()), expected);

    // The recovery folder is cleared of them when the program starts.
    ScratchDir recovery;
    WriteBytes(recovery.File(leftovers[0]), {1});
    WriteBytes(recovery.File(kept[0]), {1});
    {
        TRecoveryKeeper keeper(recovery.Path().string());
        keeper.Finish();
    }
    EXPECT_EQ(FolderNames(recovery.Path()), std::vector<std::string>{kept[0]});
}

#ifdef PIXORA_CONVERT
TEST(FileReplace, KilledSavesLeaveTheOldOrTheNewFileWholeAndNoTemporaryForGood) {
    ScratchDir dir;
    const Bitmap before = Uniform(1600, 1200, 30), after = GradientImage(1600, 1200);
    const std::string target = dir.File("picture.tif"), source = dir.File("source.png");
    WriteImageFile(target, before, fcTiff, SaveOptions{});
    WriteImageFile(source, after, fcPng, SaveOptions{});
    int olds = 0, news = 0;
    for (int delay = 0; delay <= 400; delay += 25) {
        SCOPED_TRACE(delay);
        pid_t pid = 0;
        const char* argv[] = {PIXORA_CONVERT, source.c_str(), "-o", target.c_str(), nullptr};
        ASSERT_EQ(posix_spawn(&pid, PIXORA_CONVERT, nullptr, nullptr, const_cast<char**>(argv), environ), 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        // Whole, and either of the two pictures.
        const Bitmap now = LoadImageFile(target, fcTiff);
        if (SameImage(now, before))
            ++olds;
        else if (SameImage(now, after))
            ++news;
        else
            ADD_FAILURE() << "a picture that is neither the old nor the new one";
        if (SameImage(now, after)) WriteImageFile(target, before, fcTiff, SaveOptions{});
    }
    EXPECT_EQ(olds + news, 17);
    // The next save into the folder takes away what the killed ones left.
    WriteImageFile(dir.File("other.png"), before, fcPng, SaveOptions{});
    EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{"other.png", "picture.tif", "source.png"}));
}
#endif

TEST(FileReplace, AFolderThatTakesNoNewFileStillTakesTheSaveOfAWritableFileInPlace) {
    ScratchDir dir;
    const std::string path = dir.File("photo.png");
    WriteImageFile(path, Uniform(40, 30, 10), fcPng, SaveOptions{});
    chmod(path.c_str(), 0640);
    const ino_t inode = InodeOf(path);
    const Bitmap larger = GradientImage(120, 90);
    {
        // The folder refuses the temporary file.
        TNoTemporaries readOnlyFolder;
        WriteImageFile(path, larger, fcPng, SaveOptions{});
    }
    EXPECT_TRUE(SameImage(LoadImageFile(path, fcPng), larger));
    EXPECT_EQ(InodeOf(path), inode) << "rewritten in place";
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{"photo.png"});

    // A write that fails part-way puts the old bytes back, and says why.
    const auto old = ReadBytes(path);
    for (const TFault& fault : {TFault{TFaultAt::Write, ENOSPC, "photo.png", 100}, TFault{TFaultAt::Close, EIO, "photo.png"}}) {
        TNoTemporaries failing(fault);
        EXPECT_EQ(WhyWriteFails(path, Uniform(200, 200, 99), fcPng), "Cannot write photo.png: " + failing.Reason());
        EXPECT_EQ(ReadBytes(path), old);
    }
    // A new file in such a folder cannot be made: nothing is, and the message says so.
    TFaultyFiles readOnlyFolder({TFaultAt::Create, EACCES, ""});
    EXPECT_EQ(WhyWriteFails(dir.File("new.png"), larger, fcPng), "Cannot write new.png: Permission denied");
    EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{"photo.png"});
}

TEST(FileReplace, AFileAnotherProgramHoldsOpenIsReplacedAndTheHolderKeepsTheOldContent) {
    ScratchDir dir;
    const std::string path = dir.File("shared.png");
    const Bitmap first = Uniform(30, 20, 50), second = GradientImage(30, 20);
    WriteImageFile(path, first, fcPng, SaveOptions{});
    const auto old = ReadBytes(path);
    const int held = open(path.c_str(), O_RDONLY);
    ASSERT_GE(held, 0);
    WriteImageFile(path, second, fcPng, SaveOptions{});
    EXPECT_TRUE(SameImage(LoadImageFile(path, fcPng), second));
    std::vector<uint8_t> seen(old.size() + 16);
    const ssize_t n = pread(held, seen.data(), seen.size(), 0);
    close(held);
    seen.resize(static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
    EXPECT_EQ(seen, old) << "the holder reads the old file whole";
}
