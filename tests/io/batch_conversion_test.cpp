// Batch conversion: output names, the run with its failures, threads,
// progress and cancelling, and the texts shown afterwards.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <filesystem>
#include <map>

#include "io/batch_conversion.h"
#include "io/codecs/format_rows.h"
#include "io_test_support.h"

using namespace pixora;
using namespace pixora::testing;
namespace fs = std::filesystem;

namespace {

Bitmap Solid(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
    Bitmap img(w, h, 32);
    img.Fill(b, g, r, 0);
    return img;
}

// prefix + i + suffix. (Built by appending: GCC 12 warns wrongly about
// chains of string + at -O3.)
std::string Numbered(const char* prefix, int i, const std::string& suffix) {
    std::string s = prefix;
    s.append(std::to_string(i)).append(suffix);
    return s;
}

// Every file of a folder with its bytes.
std::map<std::string, std::vector<uint8_t>> FolderContents(const fs::path& dir) {
    std::map<std::string, std::vector<uint8_t>> files;
    for (const auto& e : fs::directory_iterator(dir))
        files[e.path().filename().string()] = ReadBytes(e.path().string());
    return files;
}

struct BatchTest : ::testing::Test {
    ScratchDir dir;
    std::string out;
    void SetUp() override {
        out = dir.File("out") + "/";
        fs::create_directories(out);
    }
    std::string Source(const std::string& name, const Bitmap& img, int format) {
        const std::string path = dir.File(name);
        WriteImageFile(path, img, format, SaveOptions{});
        return path;
    }
    TBatchRequest Request(const std::vector<std::string>& paths, const std::string& ext) {
        TBatchRequest r;
        r.Sources = BatchSourcesFromPaths(paths);
        r.Folder = out;
        r.Extension = ext;
        return r;
    }
};

} // namespace

TEST(BatchNames, BaseNameEndsAtTheFirstDotAndTheFolderGetsItsSlash) {
    EXPECT_EQ(BatchOutputName("/o/", "holiday.photo.png", ".jpg"), "/o/holiday.jpg");
    EXPECT_EQ(BatchOutputName("/o", "a.bmp", ".gif"), "/o/a.gif");
    EXPECT_EQ(BatchOutputName("/o/", "README", ".png"), "/o/README.png"); // no dot: the whole name
    EXPECT_EQ(BatchBaseName(".notes.png"), ".notes");                     // never an empty name
    EXPECT_EQ(BatchBaseName("."), ".");
    EXPECT_EQ(BatchFolderText("/pics"), "/pics/");
    EXPECT_EQ(BatchFolderText("/pics/"), "/pics/");
    EXPECT_EQ(BatchFolderText(""), "");
    ASSERT_EQ(BatchDestinationFormats().size(), 19u);
    EXPECT_EQ(BatchDestinationFormats().front(), ".bmp");
    EXPECT_EQ(BatchOptionDialogFor(".bmp"), TBatchOptionDialog::PixelFormat);
    EXPECT_EQ(BatchOptionDialogFor(".jpg"), TBatchOptionDialog::JpegOptions);
    EXPECT_EQ(BatchOptionDialogFor(".png"), TBatchOptionDialog::None);
}

TEST(BatchList, DeletingEntriesKeepsNamesAndPathsPaired) {
    auto list = BatchSourcesFromPaths({"/a/one.png", "/b/two.bmp", "/c/three.gif"});
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[1].Name, "two.bmp");
    DeleteBatchSources(list, {1, 7, -1, 1});
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].Name, "one.png");
    EXPECT_EQ(list[0].Path, "/a/one.png");
    EXPECT_EQ(list[1].Name, "three.gif");
    EXPECT_EQ(list[1].Path, "/c/three.gif");
    DeleteBatchSources(list, {1, 0});
    EXPECT_TRUE(list.empty());
}

TEST(BatchTexts, FailureAndCancelTexts) {
    EXPECT_EQ(BatchFailureText(1), "An Error Occured while trying to save 1 file(s).");
    EXPECT_EQ(BatchFailureDetail(1), "1 file(s) failed to be converted.");
    EXPECT_EQ(BatchCancelledText(3, 40), "Conversion cancelled: 3 of 40 file(s) were written.");
}

TEST_F(BatchTest, ConvertsUnderTheBaseNameWithTheOptionsOfTheRun) {
    const Bitmap img = GradientImage(24, 16);
    TBatchRequest r = Request({Source("holiday.photo.png", img, fcPng)}, ".jpg");
    r.Options.JpegGray = true;
    r.Options.JpegQuality = 90;
    const TBatchResult res = ConvertBatch(r);
    ASSERT_TRUE(res.Ran);
    EXPECT_EQ(res.Run.Written, 1);
    EXPECT_EQ(res.Run.Failed, 0);
    ASSERT_TRUE(fs::exists(out + "holiday.jpg"));
    const Bitmap back = LoadImageFile(out + "holiday.jpg", fcJpeg);
    EXPECT_EQ(back.Row(8)[4 * 20], back.Row(8)[4 * 20 + 2]); // gray as asked

    r = Request({dir.File("holiday.photo.png")}, ".bmp");
    r.Options.BmpBits = 16;
    ASSERT_EQ(ConvertBatch(r).Run.Written, 1);
    EXPECT_EQ(ReadBytes(out + "holiday.bmp")[28], 16);

    // Nothing to do without a folder or without files; nothing is written.
    r.Folder.clear();
    EXPECT_FALSE(ConvertBatch(r).Ran);
    r = Request({}, ".bmp");
    EXPECT_FALSE(ConvertBatch(r).Ran);
}

TEST_F(BatchTest, ANonGifSourceBecomesARealGif) {
    Bitmap img = Solid(8, 8, 200, 10, 10);
    img.Row(0)[3] = 255; // fully transparent: the key colour
    TBatchRequest r = Request({Source("pic.bmp", img, fcBmp), Source("pic2.png", img, fcPng)}, ".gif");
    const TBatchResult res = ConvertBatch(r);
    EXPECT_EQ(res.Run.Written, 2);
    const std::vector<uint8_t> head = ReadBytes(out + "pic.gif");
    ASSERT_GE(head.size(), 6u);
    EXPECT_EQ(std::string(head.begin(), head.begin() + 3), "GIF");
    // New files get the permissions of a new file whichever codec made them.
    const mode_t mask = umask(0);
    umask(mask);
    for (const char* name : {"pic.gif", "pic2.gif"}) {
        struct stat st {};
        ASSERT_EQ(stat((out + name).c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask) << name;
    }
    const Bitmap back = LoadImageFile(out + "pic2.gif", fcGif);
    EXPECT_EQ(back.Row(0)[3], 255); // the transparent pixel came through
    EXPECT_EQ(back.Row(4)[4 * 4 + 2], 200);
}

TEST_F(BatchTest, EveryDestinationWritesItsOwnFormatOrFailsNamingItAndWritesNothing) {
    const std::vector<std::string> sources = {Source("a.png", GradientImage(20, 10), fcPng),
                                              Source("b.bmp", Solid(8, 8, 1, 2, 3), fcBmp)};
    int writes = 0, refuses = 0;
    for (const std::string& ext : BatchDestinationFormats()) {
        SCOPED_TRACE(ext);
        const TFormatRow* row = Formats().Named(ext);
        ASSERT_NE(row, nullptr);
        const TBatchResult result = ConvertBatch(Request(sources, ext));
        ASSERT_EQ(result.Run.Outcomes.size(), 2u);
        if (Formats().WriterOf(row->Code) == row) {
            ++writes;
            EXPECT_EQ(result.Run.Written, 2);
            const auto bytes = ReadBytes(out + "a" + ext);
            const TFileHead head{bytes.data(), std::min(bytes.size(), kHeadBytes), bytes.size()};
            EXPECT_NE(row->Codec->Sniff(head), TSniff::No);
            EXPECT_EQ(LoadImageFile(out + "b" + ext, fcOther).Width(), 8);
        } else {
            ++refuses;
            EXPECT_EQ(result.Run.Failed, 2);
            for (const TConversionOutcome& o : result.Run.Outcomes)
                EXPECT_NE(o.Error.find("Pixora cannot write " + std::string(row->Name)), std::string::npos) << o.Error;
            EXPECT_FALSE(fs::exists(out + "a" + ext));
            const std::string details = BatchFailureDetails(result.Run);
            EXPECT_EQ(details.substr(0, details.find('\n')), "2 file(s) failed to be converted.");
            EXPECT_NE(details.find("\n" + out + "b" + ext + ": Pixora cannot write " + row->Name + " files (" + ext + ")"),
                      std::string::npos)
                << details;
        }
    }
    EXPECT_EQ(writes, 13);
    EXPECT_EQ(refuses, 6);
}

TEST_F(BatchTest, SameBaseNamesOverwriteInListOrderOnEveryThreadCount) {
    for (int threads : {1, 2}) {
        // Pairs of sources sharing a base name; the later one must win.
        std::vector<std::string> paths;
        for (int i = 0; i < 6; ++i) {
            paths.push_back(Source(Numbered("s", i, ".bmp"), Solid(16, 16, 250, 0, 0), fcBmp));
            paths.push_back(Source(Numbered("s", i, ".png"), Solid(16, 16, 0, 0, 250), fcPng));
        }
        TBatchRequest r = Request(paths, ".jpg");
        TConversionControl control;
        control.Threads = threads;
        const TBatchResult res = ConvertBatch(r, control);
        EXPECT_EQ(res.Run.Written, 12);
        for (int i = 0; i < 6; ++i) {
            const Bitmap back = LoadImageFile(out + Numbered("s", i, ".jpg"), fcJpeg);
            EXPECT_GT(back.Row(8)[4 * 8], 200) << "threads " << threads << " file " << i; // blue: the .png
            EXPECT_LT(back.Row(8)[4 * 8 + 2], 50);
        }
    }
}

TEST_F(BatchTest, UnreadableSourcesAreCountedAndTheRunGoesOn) {
    const Bitmap img = GradientImage(10, 10);
    WriteBytes(dir.File("notes.txt"), {'h', 'e', 'l', 'l', 'o'});
    TBatchRequest r = Request(
        {Source("one.png", img, fcPng), dir.File("notes.txt"), Source("two.bmp", img, fcBmp)}, ".png");
    std::vector<int> progress;
    TConversionControl control;
    control.Threads = 1;
    control.Progress = [&](int done, int total) {
        EXPECT_EQ(total, 3);
        progress.push_back(done);
    };
    const TBatchResult res = ConvertBatch(r, control);
    EXPECT_EQ(res.Run.Written, 2);
    EXPECT_EQ(res.Run.Failed, 1);
    EXPECT_FALSE(res.Run.Cancelled);
    EXPECT_EQ(progress, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(BatchFailureDetail(res.Run.Failed), "1 file(s) failed to be converted.");
    EXPECT_TRUE(fs::exists(out + "one.png"));
    EXPECT_TRUE(fs::exists(out + "two.png"));
    EXPECT_FALSE(fs::exists(out + "notes.png"));
    EXPECT_FALSE(res.Run.Outcomes[1].Written);
    EXPECT_NE(res.Run.Outcomes[1].Error.find("notes.txt"), std::string::npos);

    // A write that cannot be made is a failure too.
    fs::remove_all(out);
    r.Folder = dir.File("missing/");
    const TBatchResult none = ConvertBatch(r);
    EXPECT_EQ(none.Run.Failed, 3);
    EXPECT_EQ(none.Run.Written, 0);
}

TEST_F(BatchTest, CancelStopsAfterTheCurrentFileAndCountsWhatWasWritten) {
    std::vector<std::string> paths;
    for (int i = 0; i < 5; ++i)
        paths.push_back(Source(Numbered("c", i, ".png"), GradientImage(12, 12), fcPng));
    TBatchRequest r = Request(paths, ".bmp");
    std::atomic<bool> cancel{false};
    TConversionControl control;
    control.Threads = 1;
    control.Cancel = &cancel;
    control.Progress = [&](int done, int) {
        if (done == 2) cancel = true;
    };
    const TBatchResult res = ConvertBatch(r, control);
    EXPECT_TRUE(res.Run.Cancelled);
    EXPECT_EQ(res.Run.Written, 2);
    EXPECT_EQ(res.Run.Failed, 0);
    EXPECT_TRUE(fs::exists(out + "c1.bmp"));
    EXPECT_FALSE(fs::exists(out + "c2.bmp"));
    EXPECT_FALSE(res.Run.Outcomes[2].Attempted);

    // On several threads a flag already set begins nothing.
    control.Threads = 2;
    control.Progress = nullptr;
    fs::remove_all(out);
    fs::create_directories(out);
    const TBatchResult none = ConvertBatch(r, control);
    EXPECT_TRUE(none.Run.Cancelled);
    EXPECT_EQ(none.Run.Written, 0);
    EXPECT_TRUE(fs::is_empty(out));
}

TEST_F(BatchTest, ThreadsGiveTheFilesAndCountsOfAOneByOneRun) {
    std::vector<std::string> paths;
    for (int i = 0; i < 14; ++i) {
        const Bitmap img = GradientImage(30 + i, 20 + 2 * i);
        const int format = i % 3 == 0 ? fcPng : i % 3 == 1 ? fcBmp : fcGif;
        const char* ext = format == fcPng ? ".png" : format == fcBmp ? ".bmp" : ".gif";
        // Every fourth name repeats an earlier base name.
        const std::string base = Numbered("p", i % 4 == 3 ? i - 2 : i, ".");
        paths.push_back(Source(base + std::to_string(i) + ext, img, format));
    }
    WriteBytes(dir.File("broken.png"), {0x89, 'P', 'N', 'G', 1, 2});
    paths.insert(paths.begin() + 5, dir.File("broken.png"));

    std::map<std::string, std::vector<uint8_t>> single;
    int singleFailed = -1;
    for (int threads : {1, 2}) {
        fs::remove_all(out);
        fs::create_directories(out);
        TConversionControl control;
        control.Threads = threads;
        int last = 0;
        control.Progress = [&](int done, int) {
            EXPECT_GT(done, last);
            last = done;
        };
        const TBatchResult res = ConvertBatch(Request(paths, ".jpg"), control);
        EXPECT_EQ(last, static_cast<int>(paths.size()));
        if (threads == 1) {
            single = FolderContents(out);
            singleFailed = res.Run.Failed;
            EXPECT_EQ(singleFailed, 1);
        } else {
            EXPECT_EQ(res.Run.Failed, singleFailed);
            EXPECT_TRUE(FolderContents(out) == single);
        }
    }
}

TEST(ConversionGroups, JobsTouchingTheSameFileShareAGroupInListOrder) {
    const std::vector<TConversionJob> jobs = {
        {"/in/a.bmp", "/out/a.jpg"},   {"/in/b.png", "/out/b.jpg"},
        {"/in/a.png", "/out/./a.jpg"}, {"/out/b.jpg", "/out/c.jpg"}, // reads what job 1 writes
        {"/in/d.png", "/out/d.jpg"},
    };
    const auto groups = ConversionGroups(jobs);
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups[0], (std::vector<int>{0, 2}));
    EXPECT_EQ(groups[1], (std::vector<int>{1, 3}));
    EXPECT_EQ(groups[2], (std::vector<int>{4}));
}
