#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>

#include "doc/checkerboard.h"
#include "doc/layer_operations.h"
#include "doc/slots.h"
#include "history/history_store.h"
#include "io/codecs/image_codecs.h"
#include "io/file_filters.h"
#include "io/file_questions.h"
#include "io/gif_preview.h"
#include "io/new_close_commands.h"
#include "io/open_commands.h"
#include "io/recent_files.h"
#include "io/save_changes_list.h"
#include "io/save_commands.h"
#include "io_test_support.h"
#include "support/fake_port.h"

using namespace pixora;
using pixora::testing::FakePort;
using pixora::testing::ReadBytes;
using pixora::testing::ScratchDir;
using pixora::testing::SetPixel;
using pixora::testing::WriteBytes;

namespace {

// Answers the file commands' questions from a script and records them.
struct ScriptedQuestions : FileQuestions {
    std::optional<std::string> TypedName;  // nothing = the save dialog is cancelled
    int Filter = 1;
    bool Replace = true;
    int PixelFormat = 2;
    int JpegFormat = 1;
    int JpegQuality = 100;
    int Sensitivity = 0;
    TSaveChangesAnswer Answer = TSaveChangesAnswer::Discard;
    std::optional<std::vector<int>> Select;  // nothing = every listed slot
    std::vector<std::string> Asked;
    std::vector<std::vector<int>> Listed;
    std::string NameOnEntry;

    bool AskSaveFileName(std::string& name, int& filterIndex) override {
        Asked.push_back("SaveFile");
        NameOnEntry = name;
        if (!TypedName) return false;
        name = *TypedName;
        filterIndex = Filter;
        return true;
    }
    bool AskReplaceFile(const std::string&) override {
        Asked.push_back("Replace");
        return Replace;
    }
    void AskPixelFormat(int& pf) override {
        Asked.push_back("PixelFormat");
        pf = PixelFormat;
    }
    void AskJpegOptions(int& pf, int& quality) override {
        Asked.push_back("Jpeg");
        pf = JpegFormat;
        quality = JpegQuality;
    }
    Bitmap GifImage;  // what the GIF dialog was prepared with
    void AskGifTransparency(const Bitmap& image) override {
        Asked.push_back("Gif");
        GifImage = image;
    }
    int GifSensitivity() const override { return Sensitivity; }
    TSaveChangesAnswer AskSaveChanges(const std::vector<int>& listed, std::vector<int>& selected) override {
        Asked.push_back("SaveChanges");
        Listed.push_back(listed);
        selected = Select ? *Select : listed;
        return Answer;
    }
};

struct FileCommandsTest : ::testing::Test {
    ScratchDir dir;
    Workspace ws;
    FakePort port;
    ScriptedQuestions q;

    FileCommandsTest() {
        ws.Port = &port;
        ws.SysData.ExeDir = dir.Path().string() + "/";
        std::filesystem::create_directories(dir.Path() / "bin/save");
        std::filesystem::create_directories(dir.Path() / "bin/hstry");
    }

    std::string File(const std::string& name) const { return dir.File(name); }

    // A small picture file in a format chosen by its extension.
    std::string MakeFile(const std::string& name, int w = 6, int h = 4) {
        const std::string path = File(name);
        WriteImageFile(path, pixora::testing::GradientImage(w, h), FormatFromExtension(path), SaveOptions{});
        return path;
    }

    int NewImage(int w = 8, int h = 6, int32_t colour = 0xFFFFFF, int t = 0) {
        std::string message;
        return CreateBlankImage(ws, TNewImage{w, h, colour, t}, message);
    }

    static std::string Head(const std::string& path, std::size_t n) {
        const auto bytes = ReadBytes(path);
        return std::string(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min(n, bytes.size())));
    }
    static bool IsJpeg(const std::string& path) { return Head(path, 3) == "\xFF\xD8\xFF"; }
    static bool IsPng(const std::string& path) { return Head(path, 4) == "\x89PNG"; }
    static bool IsBmp(const std::string& path) { return Head(path, 2) == "BM"; }
};

} // namespace

// ---- opening ------------------------------------------------------------------------

TEST_F(FileCommandsTest, OpenFillsASlotFromTheFileAndRemembersIt) {
    const std::string path = MakeFile("cat.png");
    const int slot = LoadIntoNewSlot(ws, path);
    ASSERT_EQ(slot, 0);
    const TImages& s = ws.Images[0];
    EXPECT_EQ(s.FileName, path);
    EXPECT_EQ(s.FileFormat, 3);
    EXPECT_EQ(s.HasFile, 1);
    EXPECT_EQ(s.Saved, 1);
    EXPECT_EQ(s.CanvasColour, 0xFFFFFF);
    EXPECT_EQ(s.Bitmap.Width(), 6);
    EXPECT_EQ(s.BackBitmap.Height(), 4);
    EXPECT_EQ(port.Captions[0], "cat.png");
    EXPECT_EQ(ws.ToolVars.RecentFiles[0], path);
    EXPECT_TRUE(port.Errors.empty());
}

TEST_F(FileCommandsTest, FailedOpenGivesTheClaimBackButKeepsTheNameInTheRecentList) {
    NewImage();
    const std::string bad = File("broken.png");
    WriteBytes(bad, {0x89, 'P', 'N', 'G', 1, 2, 3});
    port.Calls.clear();
    EXPECT_EQ(LoadIntoNewSlot(ws, bad), -1);
    EXPECT_EQ(ws.SysData.OpenCount, 0);
    EXPECT_EQ(ws.Images[1].InUse, 0);
    EXPECT_TRUE(ws.Images[1].Bitmap.Empty());
    EXPECT_FALSE(port.Visible[1]);
    ASSERT_EQ(port.Errors.size(), 1u);
    EXPECT_EQ(port.Errors[0].first, 2);
    EXPECT_FALSE(port.Errors[0].second.empty());
    EXPECT_EQ(ws.ToolVars.RecentFiles[0], bad);
    // The next open takes the same slot.
    EXPECT_EQ(LoadIntoNewSlot(ws, MakeFile("ok.bmp")), 1);
}

TEST_F(FileCommandsTest, SixteenthOpenDoesNothing) {
    const std::string path = MakeFile("a.bmp");
    for (int i = 0; i < 15; ++i) ASSERT_EQ(LoadIntoNewSlot(ws, path), i);
    const std::string other = MakeFile("b.bmp");
    EXPECT_EQ(LoadIntoNewSlot(ws, other), -1);
    EXPECT_EQ(ws.SysData.OpenCount, 14);
    EXPECT_EQ(ws.Images[15].InUse, 0);
    // Not even remembered.
    EXPECT_EQ(ws.ToolVars.RecentFiles[0], path);
    EXPECT_TRUE(ws.ToolVars.RecentFiles[1].empty());
    EXPECT_TRUE(port.Errors.empty());
}

TEST_F(FileCommandsTest, RecentListKeepsItsOrderForKnownFilesAndDropsTheOldestAtTheEleventh) {
    std::vector<std::string> paths;
    for (char c = 'a'; c <= 'k'; ++c) paths.push_back(MakeFile(std::string(1, c) + ".bmp", 2, 2));
    for (int i = 0; i < 10; ++i) {
        ASSERT_GE(LoadIntoNewSlot(ws, paths[static_cast<std::size_t>(i)]), 0);
        CloseImage(ws, ws.ActiveSlot(), q);
    }
    // Opening a known one changes nothing.
    ASSERT_GE(OpenRecentFile(ws, 4), 0);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(ws.ToolVars.RecentFiles[static_cast<std::size_t>(i)], paths[9 - static_cast<std::size_t>(i)]);
    EXPECT_EQ(ws.Images[0].FileName, paths[5]);
    // The eleventh distinct file pushes out the first one.
    ASSERT_GE(LoadIntoNewSlot(ws, paths[10]), 0);
    EXPECT_EQ(ws.ToolVars.RecentFiles[0], paths[10]);
    EXPECT_EQ(ws.ToolVars.RecentFiles[9], paths[1]);
    EXPECT_EQ(LoadRecentFiles(ws), 10);
    // An empty entry opens nothing.
    ws.ToolVars.RecentFiles[9].clear();
    EXPECT_EQ(OpenRecentFile(ws, 9), -1);
}

TEST_F(FileCommandsTest, ReopenIsAnUndoableStepAndAFailedOneChangesNothing) {
    const std::string path = MakeFile("pic.bmp");
    ASSERT_EQ(LoadIntoNewSlot(ws, path), 0);
    TImages& s = ws.Images[0];
    const Bitmap original = s.Bitmap;
    // Three edits.
    for (uint8_t v = 1; v <= 3; ++v) {
        ASSERT_TRUE(PushHistory(ws));
        NameHistoryStep(ws, "Pen");
        s.Bitmap.Fill(v, 2, 3 * v);
    }
    ASSERT_EQ(s.Saved, 0);

    ASSERT_TRUE(ReopenFile(ws));
    EXPECT_EQ(s.HistoryCount, 4);
    EXPECT_EQ(HistoryName(s, 5), "ReOpened Image");  // names run one entry ahead of the snapshots
    EXPECT_EQ(HistoryMenuTexts(s).UndoCaption, "Undo ReOpened Image");
    EXPECT_EQ(std::memcmp(s.Bitmap.Data(), original.Data(), original.ByteSize()), 0);
    EXPECT_EQ(s.Bitmap.Row(0)[3], 0);
    EXPECT_EQ(s.BackBitmap.Row(0)[0], original.Row(0)[0]);  // the background layer holds it too
    EXPECT_EQ(s.Saved, 1);
    ASSERT_TRUE(UndoStep(ws));
    EXPECT_EQ(s.Bitmap.Row(0)[2], 9);  // the third edit is back
    EXPECT_EQ(s.Bitmap.Row(0)[0], 3);

    // The file turns unreadable: the image, history and flag stay as they are.
    WriteBytes(path, {'B', 'M', 0, 0});
    s.Saved = 0;
    const Bitmap before = s.Bitmap;
    const int count = s.HistoryCount, pos = s.HistoryPos;
    EXPECT_FALSE(ReopenFile(ws));
    ASSERT_EQ(port.Errors.size(), 1u);
    EXPECT_EQ(port.Errors[0].first, 2);
    EXPECT_EQ(std::memcmp(s.Bitmap.Data(), before.Data(), before.ByteSize()), 0);
    EXPECT_EQ(s.HistoryCount, count);
    EXPECT_EQ(s.HistoryPos, pos);
    EXPECT_EQ(s.Saved, 0);

    // A new image has no file to read again.
    NewImage();
    EXPECT_FALSE(ReopenFile(ws));
    EXPECT_EQ(ws.Images[1].HistoryCount, 0);
}

// ---- choosing a name and writing --------------------------------------------------------

TEST_F(FileCommandsTest, FilterListsAndExtensionTable) {
    ASSERT_EQ(OpenFilters().size(), 20u);
    ASSERT_EQ(SaveFilters().size(), 18u);
    EXPECT_STREQ(OpenFilters()[6].Caption, "Windows Icons (*.ico)");
    EXPECT_STREQ(SaveFilters()[6].Caption, "SGI images (*.bw, *.rgb, *.rgba, *.sgi)");
    EXPECT_STREQ(SaveFilters()[16].Caption, "Paintshop Pro images (*.psp)");
    EXPECT_STREQ(SaveFilters()[17].Caption, "Windows Icon");
    EXPECT_EQ(SaveFilterExtension(9), ".tga");
    EXPECT_EQ(SaveFilterExtension(17), ".psp");
    EXPECT_EQ(SaveFilterExtension(18), "");
    EXPECT_TRUE(HasExtension("/a/b/picture.png"));
    EXPECT_FALSE(HasExtension("/a/b.d/picture"));
}

TEST_F(FileCommandsTest, TypedNameWithoutExtensionGetsTheFiltersOneAndTheChosenOptions) {
    ASSERT_EQ(NewImage(), 0);
    q.TypedName = File("picture");
    q.Filter = 2;
    q.JpegFormat = 0;
    q.JpegQuality = 37;
    ASSERT_TRUE(SaveSlot(ws, 0, q));
    const TImages& s = ws.Images[0];
    EXPECT_EQ(q.Asked, (std::vector<std::string>{"SaveFile", "Jpeg"}));
    EXPECT_EQ(q.NameOnEntry, "Untitled.bmp");
    EXPECT_EQ(s.FileName, File("picture.jpg"));
    EXPECT_EQ(s.FileFormat, 2);
    EXPECT_EQ(s.HasFile, 1);
    EXPECT_EQ(s.Saved, 1);
    EXPECT_EQ(s.SavePixelFormat, 0);
    EXPECT_EQ(s.JpegQuality, 37);
    EXPECT_TRUE(IsJpeg(File("picture.jpg")));
    EXPECT_EQ(ws.ToolVars.RecentFiles[0], File("picture.jpg"));
    EXPECT_EQ(port.Captions[0], "Untitled.bmp");

    // From now on "Save" writes silently to the same file.
    q.Asked.clear();
    ws.Images[0].Saved = 0;
    ASSERT_TRUE(SaveSlot(ws, 0, q));
    EXPECT_TRUE(q.Asked.empty());
    EXPECT_EQ(ws.Images[0].Saved, 1);
}

TEST_F(FileCommandsTest, TheExtensionDecidesTheFormatNotTheFilter) {
    ASSERT_EQ(NewImage(), 0);
    q.TypedName = File("picture.png");
    q.Filter = 2;
    ASSERT_TRUE(SaveImageCopy(ws, q));
    EXPECT_EQ(q.Asked, (std::vector<std::string>{"SaveFile", "Jpeg"}));
    EXPECT_TRUE(IsPng(File("picture.png")));
    EXPECT_EQ(ws.Images[0].FileFormat, 3);

    for (int filter : {1, 4, 9}) {
        q.Asked.clear();
        q.TypedName = File(std::string(1, static_cast<char>('a' + filter)) + ".tga");
        q.Filter = filter;
        ASSERT_TRUE(SaveImageCopy(ws, q));
        EXPECT_TRUE(IsBmp(*q.TypedName)) << filter;
        EXPECT_EQ(ws.Images[0].FileFormat, 0);
    }
    // Only the first three filters have option dialogs; index 18 appends nothing.
    q.Asked.clear();
    q.TypedName = File("icon");
    q.Filter = 18;
    ASSERT_TRUE(SaveImageCopy(ws, q));
    EXPECT_EQ(q.Asked, (std::vector<std::string>{"SaveFile"}));
    EXPECT_TRUE(IsBmp(File("icon")));
}

TEST_F(FileCommandsTest, SaveACopyTiesTheSlotToTheCopyButLeavesCaptionAndRecentList) {
    ASSERT_GE(LoadIntoNewSlot(ws, MakeFile("orig.bmp")), 0);
    q.TypedName = File("copy.gif");
    q.Filter = 3;
    ASSERT_TRUE(SaveImageCopy(ws, q));
    EXPECT_EQ(q.Asked, (std::vector<std::string>{"SaveFile", "Gif"}));
    EXPECT_EQ(ws.Images[0].FileName, File("copy.gif"));
    EXPECT_EQ(ws.Images[0].FileFormat, 4);
    EXPECT_EQ(port.Captions[0], "orig.bmp");
    EXPECT_EQ(ws.ToolVars.RecentFiles[0], File("orig.bmp"));
    EXPECT_EQ(Head(File("copy.gif"), 3), "GIF");
}

TEST_F(FileCommandsTest, CancelledDialogOrNoToReplaceWritesNothing) {
    ASSERT_EQ(NewImage(), 0);
    q.TypedName.reset();
    EXPECT_FALSE(SaveSlot(ws, 0, q));
    EXPECT_EQ(ws.Images[0].FileName, "Untitled.bmp");
    EXPECT_EQ(ws.Images[0].HasFile, 0);

    const std::string existing = MakeFile("old.png");
    const auto before = ReadBytes(existing);
    q.TypedName = existing;
    q.Filter = 4;
    q.Replace = false;
    q.Asked.clear();
    EXPECT_FALSE(SaveImageAs(ws, q));
    EXPECT_EQ(q.Asked, (std::vector<std::string>{"SaveFile", "Replace"}));
    EXPECT_EQ(ReadBytes(existing), before);
    EXPECT_EQ(ws.Images[0].Saved, 0);
    EXPECT_EQ(ws.Images[0].InUse, 1);
    // "Yes" goes on; a name that is new is not asked about.
    q.Replace = true;
    ASSERT_TRUE(SaveImageCopy(ws, q));
    EXPECT_NE(ReadBytes(existing), before);
    q.Asked.clear();
    q.TypedName = File("fresh.png");
    ASSERT_TRUE(SaveImageCopy(ws, q));
    EXPECT_EQ(q.Asked, (std::vector<std::string>{"SaveFile"}));

    // "old" typed with the PNG filter would become old.png, which exists: asked too.
    const auto now = ReadBytes(existing);
    q.Asked.clear();
    q.TypedName = File("old");
    q.Replace = false;
    EXPECT_FALSE(SaveImageCopy(ws, q));
    EXPECT_EQ(q.Asked, (std::vector<std::string>{"SaveFile", "Replace"}));
    EXPECT_EQ(ReadBytes(existing), now);
    EXPECT_FALSE(std::filesystem::exists(File("old")));
}

TEST_F(FileCommandsTest, SaveAsReopensTheWrittenFileWithAnEmptyHistory) {
    ASSERT_EQ(NewImage(12, 10, RGBColour(200, 100, 50)), 0);
    ASSERT_EQ(NewImage(), 1);
    port.Active = 0;
    TImages& s = ws.Images[0];
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(PushHistory(ws));
        NameHistoryStep(ws, "Pen");
    }
    s.ZoomNum = 3;
    q.TypedName = File("saved");
    q.Filter = 2;
    q.JpegQuality = 90;
    ASSERT_TRUE(SaveImageAs(ws, q));
    ASSERT_EQ(ws.ActiveSlot(), 0);
    EXPECT_EQ(ws.SysData.OpenCount, 1);
    EXPECT_EQ(s.FileName, File("saved.jpg"));
    EXPECT_EQ(s.HasFile, 1);
    EXPECT_EQ(s.Saved, 1);
    EXPECT_EQ(s.HistoryCount, 0);
    EXPECT_EQ(s.HistoryPos, 0);
    EXPECT_EQ(s.History[1].Name, "Original Image");
    EXPECT_EQ(s.ZoomNum, 1);
    EXPECT_EQ(port.Captions[0], "saved.jpg");
    EXPECT_EQ(ws.ToolVars.RecentFiles[0], File("saved.jpg"));
    // Read back from the file: JPEG colours are near, not exact.
    EXPECT_NEAR(s.Bitmap.Row(5)[2], 200, 6);
    EXPECT_NEAR(s.Bitmap.Row(5)[0], 50, 6);
    // No question was asked on closing: the image counted as saved.
    EXPECT_EQ(std::count(q.Asked.begin(), q.Asked.end(), "SaveChanges"), 0);
}

TEST_F(FileCommandsTest, TransparencySurvivesAPngRoundTrip) {
    ASSERT_EQ(NewImage(5, 5, 0x00FF00, 255), 0);
    SetPixel(ws.Images[0].Bitmap, 1, 1, 9, 8, 7, 0);
    q.TypedName = File("clear.png");
    q.Filter = 4;
    ASSERT_TRUE(SaveImageAs(ws, q));
    const Bitmap& b = ws.Images[0].Bitmap;
    EXPECT_EQ(b.Row(0)[3], 255);
    EXPECT_EQ(b.Row(4)[4 * 4 + 3], 255);
    EXPECT_EQ(b.Row(1)[4 + 3], 0);
    EXPECT_EQ(b.Row(1)[4 + 2], 9);
}

TEST_F(FileCommandsTest, FailedWriteKeepsSavedAndTheOldNameAndTheOldFile) {
    // A GIF wider than the format allows makes the encoder fail part way.
    const std::string old = MakeFile("keep.gif");
    const auto before = ReadBytes(old);
    std::string message;
    const int slot = CreateBlankImage(ws, TNewImage{70000, 2, 0xFFFFFF, 0}, message);
    ASSERT_EQ(slot, 0) << message;
    q.TypedName = old;
    q.Filter = 3;
    EXPECT_FALSE(SaveSlot(ws, 0, q));
    ASSERT_EQ(port.Errors.size(), 1u);
    EXPECT_EQ(port.Errors[0].first, 1);
    EXPECT_FALSE(port.Errors[0].second.empty());
    const TImages& s = ws.Images[0];
    EXPECT_EQ(s.Saved, 0);
    EXPECT_EQ(s.FileName, "Untitled.bmp");
    EXPECT_EQ(s.FileFormat, 1);
    EXPECT_EQ(s.HasFile, 0);
    EXPECT_EQ(ReadBytes(old), before);
    EXPECT_TRUE(ws.ToolVars.RecentFiles[0] != old);
    // "Save As" that fails does not close the slot.
    EXPECT_FALSE(SaveImageAs(ws, q));
    EXPECT_EQ(s.InUse, 1);
    EXPECT_EQ(ws.SysData.OpenCount, 0);
    EXPECT_EQ(s.FileName, "Untitled.bmp");
}

TEST_F(FileCommandsTest, FailedSaveIntoAReadOnlyFolderKeepsSavedAndTheOldFile) {
    const std::filesystem::path ro = dir.Path() / "locked";
    std::filesystem::create_directories(ro);
    const std::string old = (ro / "old.bmp").string();
    WriteImageFile(old, pixora::testing::GradientImage(3, 3), 1, SaveOptions{});
    const auto before = ReadBytes(old);
    ASSERT_EQ(chmod(ro.c_str(), 0555), 0);
    // The superuser writes through permissions; an immutable folder stops it.
    bool immutable = false;
    if (access(ro.c_str(), W_OK) == 0)
        immutable = std::system(("chattr +i '" + ro.string() + "' 2>/dev/null").c_str()) == 0;
    struct Unlock {
        std::filesystem::path p;
        bool immutable;
        ~Unlock() {
            if (immutable) [[maybe_unused]] int r = std::system(("chattr -i '" + p.string() + "'").c_str());
            chmod(p.c_str(), 0755);
        }
    } unlock{ro, immutable};
    const std::string probe = (ro / "probe").string();
    if (FILE* f = std::fopen(probe.c_str(), "w")) {
        std::fclose(f);
        std::remove(probe.c_str());
        GTEST_SKIP() << "this user can write into a read-only folder";
    }

    ASSERT_EQ(NewImage(), 0);
    q.TypedName = old;
    q.Filter = 1;
    EXPECT_FALSE(SaveSlot(ws, 0, q));
    EXPECT_EQ(ws.Images[0].Saved, 0);
    EXPECT_EQ(ws.Images[0].HasFile, 0);
    ASSERT_EQ(port.Errors.size(), 1u);
    EXPECT_EQ(port.Errors[0].first, 1);
    EXPECT_EQ(ReadBytes(old), before);
}

TEST_F(FileCommandsTest, WritingMergesTheLayersAndLeavesLayerOneCurrent) {
    ASSERT_EQ(NewImage(4, 4, RGBColour(255, 255, 255)), 0);
    TImages& s = ws.Images[0];
    ASSERT_TRUE(NewLayer(ws, TNewLayer{2, 2, 1, 1, 0}));
    ASSERT_EQ(s.CurrentLayer, 2);
    s.Bitmap.Fill(0, 0, 255, 0);  // the upper layer turns opaque red
    s.ZoomNum = 2;
    const std::string path = File("merged.bmp");
    ASSERT_TRUE(WriteSlotFile(ws, 0, path, 1, 0));
    EXPECT_EQ(s.CurrentLayer, 1);
    EXPECT_EQ(s.ZoomNum, 1) << "layer 1 is chosen again, which resets the zoom";
    EXPECT_EQ(s.Bitmap.Row(1)[4 + 2], 255);  // layer 1 is white again in Bitmap
    EXPECT_EQ(s.Bitmap.Row(1)[4 + 1], 255);
    const Bitmap written = LoadImageFile(path, 1);
    EXPECT_EQ(written.Row(1)[4 + 1], 0);  // red from the upper layer
    EXPECT_EQ(written.Row(1)[4 + 2], 255);
    EXPECT_EQ(written.Row(0)[1], 255);  // white outside it

    // The GIF dialog previews the composed image too, and layer 2 stays editable.
    ChooseLayer(ws, 2);
    q.TypedName = File("merged.gif");
    q.Filter = 3;
    ASSERT_TRUE(SaveImageCopy(ws, q));
    ASSERT_EQ(q.GifImage.Width(), 4);
    EXPECT_EQ(q.GifImage.Row(1)[4 + 1], 0);
    EXPECT_EQ(q.GifImage.Row(1)[4 + 2], 255);
    EXPECT_EQ(q.GifImage.Row(0)[1], 255);
    EXPECT_EQ(s.LayerCount, 2);
    EXPECT_EQ(LoadImageFile(File("merged.gif"), 4).Row(1)[4 + 1], 0);
}

// ---- "Save Changes?" --------------------------------------------------------------------

TEST_F(FileCommandsTest, SaveChangesListsTheUnsavedImageOrEveryImage) {
    const std::string path = MakeFile("a.bmp");
    ASSERT_EQ(LoadIntoNewSlot(ws, path), 0);
    ASSERT_EQ(NewImage(), 1);
    ASSERT_EQ(LoadIntoNewSlot(ws, path), 2);
    EXPECT_TRUE(SlotsToList(ws, 0).empty());
    EXPECT_EQ(SlotsToList(ws, 1), (std::vector<int>{1}));
    EXPECT_EQ(SlotsToList(ws, -1), (std::vector<int>{0, 1, 2}));
    ws.Images[1].Saved = 1;
    EXPECT_TRUE(SlotsToList(ws, -1).empty());

    // Closing a saved image asks nothing.
    ASSERT_TRUE(CloseImage(ws, 0, q));
    EXPECT_TRUE(q.Asked.empty());
    ws.Images[2].Saved = 0;
    ASSERT_TRUE(CloseAllImages(ws, q));
    ASSERT_EQ(q.Listed.size(), 1u);
    EXPECT_EQ(q.Listed[0], (std::vector<int>{1, 2}));
}

TEST_F(FileCommandsTest, CancelStopsCloseAndCloseAllDiscardGoesOnUnsaved) {
    ASSERT_EQ(NewImage(), 0);
    ASSERT_EQ(NewImage(), 1);
    q.Answer = TSaveChangesAnswer::Cancel;
    EXPECT_FALSE(CloseImage(ws, 1, q));
    EXPECT_FALSE(CloseAllImages(ws, q));
    EXPECT_EQ(ws.SysData.OpenCount, 1);
    EXPECT_EQ(ws.Images[0].InUse, 1);
    EXPECT_EQ(ws.Images[1].InUse, 1);
    EXPECT_TRUE(port.Visible[0] && port.Visible[1]);

    q.Answer = TSaveChangesAnswer::Discard;
    ASSERT_TRUE(CloseImage(ws, 1, q));
    EXPECT_EQ(ws.Images[1].InUse, 0);
    EXPECT_FALSE(port.Visible[1]);
    EXPECT_EQ(port.Calls.back(), "TabChange");
    ASSERT_TRUE(CloseAllImages(ws, q));
    EXPECT_EQ(ws.SysData.OpenCount, -1);
    EXPECT_EQ(ws.Images[0].InUse, 0);
    EXPECT_EQ(port.Calls.back(), "UpdateCommandStates");
    EXPECT_EQ(q.Asked, (std::vector<std::string>(4, "SaveChanges")));
}

TEST_F(FileCommandsTest, SaveSelectedSavesTheChosenImagesInSlotOrderBeforeClosing) {
    const std::string a = MakeFile("a.png");
    ASSERT_EQ(LoadIntoNewSlot(ws, a), 0);
    ASSERT_EQ(NewImage(), 1);
    ASSERT_EQ(NewImage(), 2);
    ws.Images[0].Saved = 0;
    ws.Images[0].Bitmap.Fill(1, 2, 3);
    q.Answer = TSaveChangesAnswer::SaveSelected;
    q.Select = std::vector<int>{2, 0};
    q.TypedName = File("third");
    q.Filter = 4;
    ASSERT_TRUE(CloseAllImages(ws, q));
    EXPECT_EQ(ws.SysData.OpenCount, -1);
    EXPECT_EQ(LoadImageFile(a, 3).Row(0)[2], 3);  // slot 0 written to its own file
    EXPECT_TRUE(IsPng(File("third.png")));        // slot 2 asked for a name
    // Slot 1 was not chosen: nothing was asked or written for it.
    EXPECT_EQ(std::count(q.Asked.begin(), q.Asked.end(), "SaveFile"), 1);

    // A chosen image whose save is cancelled is not thrown away.
    ASSERT_EQ(NewImage(), 0);
    q.Select.reset();
    q.TypedName.reset();
    EXPECT_FALSE(CloseImage(ws, 0, q));
    EXPECT_EQ(ws.Images[0].InUse, 1);
}

// ---- new, duplicate, close ----------------------------------------------------------------

TEST_F(FileCommandsTest, NewImageIsFilledWithColourAndTransparency) {
    const int slot = NewImage(400, 400, RGBColour(10, 20, 30), 128);
    ASSERT_EQ(slot, 0);
    const TImages& s = ws.Images[0];
    EXPECT_EQ(s.Saved, 0);
    EXPECT_EQ(s.HasFile, 0);
    EXPECT_EQ(s.FileName, "Untitled.bmp");
    EXPECT_EQ(s.FileFormat, 1);
    EXPECT_EQ(s.CanvasColour, RGBColour(10, 20, 30));
    EXPECT_EQ(s.BackBitmap.Width(), 400);
    bool all = true;
    for (int y = 0; y < 400 && all; ++y)
        for (int x = 0; x < 400; ++x) {
            const uint8_t* p = s.Bitmap.Row(y) + 4 * x;
            if (p[0] != 30 || p[1] != 20 || p[2] != 10 || p[3] != 128) all = false;
        }
    EXPECT_TRUE(all);
    EXPECT_EQ(port.Captions[0], "Untitled.bmp");
}

TEST_F(FileCommandsTest, NewImageTooLargeEndsInAMessageAndClaimsNothing) {
    ASSERT_EQ(NewImage(), 0);
    for (auto [w, h] : {std::pair{2000000000LL, 2000000000LL}, std::pair{300000LL, 300000LL}}) {
        std::string message;
        EXPECT_EQ(CreateBlankImage(ws, TNewImage{static_cast<int>(w), static_cast<int>(h), 0, 0}, message), -1);
        EXPECT_NE(message.find("not enough memory"), std::string::npos) << message;
        EXPECT_EQ(ws.SysData.OpenCount, 0);
        EXPECT_EQ(ws.Images[1].InUse, 0);
        EXPECT_FALSE(port.Visible[1]);
    }
    EXPECT_FALSE(ImageSizeFits(0, 5));
    EXPECT_TRUE(ImageSizeFits(1000, 1000));
}

TEST_F(FileCommandsTest, DuplicateCopiesTheWorkingImageWithAFreshHistory) {
    ASSERT_GE(LoadIntoNewSlot(ws, MakeFile("src.png", 7, 5)), 0);
    TImages& S = ws.Images[0];
    ASSERT_TRUE(PushHistory(ws));
    NameHistoryStep(ws, "Pen");
    SetFGColour(S, RGBColour(1, 2, 3));
    SetBGColour(S, RGBColour(4, 5, 6));
    S.CanvasColour = 0x123456;
    S.ZoomNum = 4;
    S.ZoomDen = 3;
    std::string message;
    ASSERT_EQ(DuplicateImage(ws, message), 1);
    const TImages& D = ws.Images[1];
    EXPECT_EQ(D.FileName, "Untitled.bmp");
    EXPECT_EQ(D.HasFile, 0);
    EXPECT_EQ(D.Saved, 0);
    EXPECT_EQ(D.HistoryCount, 0);
    EXPECT_EQ(D.History[1].Name, "Original Image");
    EXPECT_EQ(D.FGBlue, 3);
    EXPECT_EQ(D.BGColour, RGBColour(4, 5, 6));
    EXPECT_EQ(D.CanvasColour, 0x123456);
    EXPECT_EQ(D.ZoomNum, 4);
    EXPECT_EQ(D.ZoomDen, 3);
    EXPECT_EQ(std::memcmp(D.Bitmap.Data(), S.Bitmap.Data(), S.Bitmap.ByteSize()), 0);
    EXPECT_EQ(port.Calls.back(), "TabChange");
}

TEST_F(FileCommandsTest, ClosingDeletesTheHistoryAndAReusedSlotStartsClean) {
    ASSERT_EQ(NewImage(), 0);
    ASSERT_TRUE(PushHistory(ws));
    NameHistoryStep(ws, "Pen");
    ASSERT_TRUE(PushHistory(ws));
    const std::string snap = SnapshotPath(ws, 0, 1);
    ASSERT_TRUE(std::filesystem::exists(snap));
    ASSERT_TRUE(CloseImage(ws, 0, q));
    EXPECT_FALSE(std::filesystem::exists(snap));
    EXPECT_TRUE(ws.Images[0].Bitmap.Empty());
    std::string message;
    ASSERT_EQ(NewImage(), 0);
    EXPECT_EQ(ws.Images[0].HistoryCount, 0);
    EXPECT_EQ(HistoryName(ws.Images[0], 2), "");
}

// ---- pictures of the dialogs ----------------------------------------------------------

TEST(SaveChangesList, RowBandsAndCaption) {
    EXPECT_EQ(SaveListRowAt(4, 3), -1);
    EXPECT_EQ(SaveListRowAt(5, 3), 0);
    EXPECT_EQ(SaveListRowAt(62, 3), 0);
    EXPECT_EQ(SaveListRowAt(63, 3), -1);
    EXPECT_EQ(SaveListRowAt(67 + 5, 3), 1);
    EXPECT_EQ(SaveListRowAt(2 * 67 + 30, 3), 2);
    EXPECT_EQ(SaveListRowAt(3 * 67 + 30, 3), -1);
    EXPECT_EQ(SaveListCaption("/x/y/" + std::string(40, 'n') + ".png"), std::string(36, 'n'));
    EXPECT_EQ(SaveListCaption("C:\\pics\\cat.bmp"), "cat.bmp");
}

TEST(SaveChangesList, RowsHoldFrameThumbnailAndSelectionShade) {
    TImages small, large;
    small.FileName = "/a/small.bmp";
    small.Bitmap = Bitmap(10, 4);
    small.Bitmap.Fill(0, 0, 255);  // red
    large.FileName = "big.png";
    large.Bitmap = Bitmap(110, 55);
    large.Bitmap.Fill(255, 0, 0);  // blue; scaled to 55 x 27
    Bitmap list;
    DrawSaveList(list, 303, {&small, &large}, {true, false});
    ASSERT_EQ(list.Width(), 303);
    ASSERT_EQ(list.Height(), 134);
    auto px = [&](int x, int y) { return list.Row(y) + 4 * x; };
    // Frame corners and inside.
    EXPECT_EQ(px(5, 5)[0], 0);
    EXPECT_EQ(px(61, 61)[1], 0);
    EXPECT_EQ(px(62, 62)[1], 255);
    EXPECT_EQ(px(4, 5)[1], 255);
    // The small image is drawn unscaled at 6 + 27 - w/2, 6 + 27 - h/2.
    EXPECT_EQ(px(28, 31)[2], 255);
    EXPECT_EQ(px(28, 31)[0], 0);
    EXPECT_EQ(px(37, 34)[0], 0);
    EXPECT_EQ(px(27, 31)[0], 255);  // left of it: white
    EXPECT_EQ(px(38, 31)[0], 255);  // right of it
    // The large one is scaled into 55 x 27 at 6 + 0, 67 + 6 + 14.
    EXPECT_EQ(px(6, 67 + 20)[0], 255);
    EXPECT_EQ(px(6, 67 + 20)[2], 0);
    EXPECT_EQ(px(60, 67 + 20 + 13)[2], 0);
    EXPECT_EQ(px(30, 67 + 19)[2], 255);  // above the thumbnail: white
    // Selected text area grey, unselected white; the shade stops at x = 300.
    EXPECT_EQ(px(71, 6)[1], 204);
    EXPECT_EQ(px(299, 60)[1], 204);
    EXPECT_EQ(px(300, 60)[1], 255);
    EXPECT_EQ(px(71, 67 + 6)[1], 255);
    // Some text was written into the first row's area.
    int dark = 0;
    for (int y = 25; y < 45; ++y)
        for (int x = 80; x < 200; ++x) dark += px(x, y)[1] < 100;
    EXPECT_GT(dark, 10);
    // Toggling repaints only the text area.
    DrawSaveListText(list, 0, small, false);
    EXPECT_EQ(px(71, 6)[1], 255);
    EXPECT_EQ(px(28, 31)[2], 255);
}

TEST(GifPreview, SensitivityDecidesWhatShowsTheCheckerboard) {
    Bitmap image(3, 1);
    SetPixel(image, 0, 0, 1, 2, 3, 255);
    SetPixel(image, 1, 0, 4, 5, 6, 128);
    SetPixel(image, 2, 0, 7, 8, 9, 0);
    Bitmap checker;
    BuildCheckerboard(checker, 3, 1);
    Bitmap preview;
    DrawGifPreview(image, checker, 0, preview);
    EXPECT_EQ(preview.Row(0)[2], kCheckerGrey);  // t = 255 is keyed even at 0
    EXPECT_EQ(preview.Row(0)[4 + 2], 4);
    DrawGifPreview(image, checker, 127, preview);
    EXPECT_EQ(preview.Row(0)[4 + 2], kCheckerGrey);  // 127 >= 255 - 128
    EXPECT_EQ(preview.Row(0)[8 + 2], 7);
    EXPECT_EQ(preview.Row(0)[8 + 3], 0);
    DrawGifPreview(image, checker, 126, preview);
    EXPECT_EQ(preview.Row(0)[4 + 2], 4);
    DrawGifPreview(image, checker, 255, preview);
    EXPECT_EQ(preview.Row(0)[8 + 2], kCheckerGrey);
}
