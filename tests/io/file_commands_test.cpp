#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>

#include "doc/checkerboard.h"
#include "doc/layer_operations.h"
#include "file_commands_fixture.h"
#include "history/history_store.h"
#include "io/open_commands.h"
#include "io/recent_files.h"
#include "io/save_commands.h"

using namespace pixora;
using pixora::testing::FileCommandsTest;
using pixora::testing::ReadBytes;
using pixora::testing::SetPixel;
using pixora::testing::WriteBytes;

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

TEST_F(FileCommandsTest, SixteenthOpenOpensNothingAndSaysWhy) {
    const std::string path = MakeFile("a.bmp");
    for (int i = 0; i < 15; ++i)
        ASSERT_EQ(LoadIntoNewSlot(ws, path), i);
    const std::string other = MakeFile("b.bmp");
    EXPECT_EQ(LoadIntoNewSlot(ws, other), -1);
    EXPECT_EQ(ws.SysData.OpenCount, 14);
    EXPECT_EQ(ws.Images[15].InUse, 0);
    // Not even remembered.
    EXPECT_EQ(ws.ToolVars.RecentFiles[0], path);
    EXPECT_TRUE(ws.ToolVars.RecentFiles[1].empty());
    EXPECT_TRUE(port.Errors.empty());
    ASSERT_EQ(port.Problems.size(), 1u);
    EXPECT_EQ(port.Problems[0].first, kTooManyImagesHeadline);
    EXPECT_EQ(port.Problems[0].second, kTooManyImagesDetail);
}

TEST_F(FileCommandsTest, RecentListKeepsItsOrderForKnownFilesAndDropsTheOldestAtTheEleventh) {
    std::vector<std::string> paths;
    for (char c = 'a'; c <= 'k'; ++c)
        paths.push_back(MakeFile(std::string(1, c) + ".bmp", 2, 2));
    for (int i = 0; i < 10; ++i) {
        ASSERT_GE(LoadIntoNewSlot(ws, paths[static_cast<std::size_t>(i)]), 0);
        CloseImage(ws, ws.ActiveSlot(), q);
    }
    // Opening a known one changes nothing.
    ASSERT_GE(OpenRecentFile(ws, 4), 0);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(ws.ToolVars.RecentFiles[static_cast<std::size_t>(i)],
                  paths[9 - static_cast<std::size_t>(i)]);
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
    EXPECT_EQ(HistoryName(s, 5), "ReOpened Image"); // names run one entry ahead of the snapshots
    EXPECT_EQ(HistoryMenuTexts(s).UndoCaption, "Undo ReOpened Image");
    EXPECT_EQ(std::memcmp(s.Bitmap.Data(), original.Data(), original.ByteSize()), 0);
    EXPECT_EQ(s.Bitmap.Row(0)[3], 0);
    EXPECT_EQ(s.BackBitmap.Row(0)[0], original.Row(0)[0]); // the background layer holds it too
    EXPECT_EQ(s.Saved, 1);
    ASSERT_TRUE(UndoStep(ws));
    EXPECT_EQ(s.Bitmap.Row(0)[2], 9); // the third edit is back
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
    ASSERT_EQ(OpenFilters().size(), 24u);
    ASSERT_EQ(SaveFilters().size(), 19u);
    EXPECT_STREQ(OpenFilters()[6].Caption, "Windows Icons (*.ico)");
    EXPECT_STREQ(SaveFilters()[6].Caption, "SGI images (*.bw, *.rgb, *.rgba, *.sgi)");
    EXPECT_STREQ(SaveFilters()[16].Caption, "Paintshop Pro images (*.psp)");
    EXPECT_STREQ(SaveFilters()[17].Caption, "Windows Icon");
    EXPECT_EQ(SaveFilterExtension(9), ".tga");
    EXPECT_EQ(SaveFilterExtension(17), ".psp");
    EXPECT_EQ(SaveFilterExtension(18), ".ico"); // icons are written now: typed names get their extension
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

TEST_F(FileCommandsTest, TheTypedExtensionDecidesFormatAndOptionsTheFilterOnlyWithoutOne) {
    ASSERT_EQ(NewImage(), 0);
    // A written format's extension: its own options (PNG has none), its own data.
    q.TypedName = File("picture.png");
    q.Filter = 2;
    ASSERT_TRUE(SaveImageCopy(ws, q));
    EXPECT_EQ(q.Asked, (std::vector<std::string>{"SaveFile"}));
    EXPECT_TRUE(IsPng(File("picture.png")));
    EXPECT_EQ(ws.Images[0].FileFormat, fcPng);
    // "photo.jpg" under the bitmap filter asks the JPEG options and uses them.
    q.Asked.clear();
    q.TypedName = File("photo.jpg");
    q.Filter = 1;
    q.JpegQuality = 5;
    ASSERT_TRUE(SaveImageCopy(ws, q));
    EXPECT_EQ(q.Asked, (std::vector<std::string>{"SaveFile", "Jpeg"}));
    EXPECT_TRUE(IsJpeg(File("photo.jpg")));
    EXPECT_EQ(ws.Images[0].JpegQuality, 5);
    q.Asked.clear();
    q.TypedName = File("photo.webp");
    q.WebpQuality = 40;
    ASSERT_TRUE(SaveImageCopy(ws, q));
    EXPECT_EQ(q.Asked, (std::vector<std::string>{"SaveFile", "Webp"}));
    EXPECT_EQ(Head(File("photo.webp"), 4), "RIFF");
    EXPECT_EQ(ws.Images[0].WebpQuality, 40);
    // Without an extension the filter decides: the icon entry now appends ".ico".
    q.Asked.clear();
    q.TypedName = File("icon");
    q.Filter = 18;
    ASSERT_TRUE(SaveImageCopy(ws, q));
    EXPECT_EQ(q.Asked, (std::vector<std::string>{"SaveFile"}));
    EXPECT_EQ(ReadBytes(File("icon.ico"))[2], 1); // an icon's directory
    EXPECT_EQ(ws.Images[0].FileFormat, fcIco);
    // An extension of a format only read: the filter's options, then nothing
    // is written and the image keeps its name and unsaved mark.
    ws.Images[0].Saved = 0;
    q.Asked.clear();
    q.TypedName = File("photo.pcd");
    q.Filter = 2;
    EXPECT_FALSE(SaveImageCopy(ws, q));
    EXPECT_EQ(q.Asked, (std::vector<std::string>{"SaveFile", "Jpeg"}));
    EXPECT_FALSE(std::filesystem::exists(File("photo.pcd")));
    ASSERT_EQ(port.Errors.size(), 1u);
    EXPECT_NE(port.Errors[0].second.find("Kodak Photo-CD"), std::string::npos) << port.Errors[0].second;
    EXPECT_EQ(ws.Images[0].FileName, File("icon.ico"));
    EXPECT_EQ(ws.Images[0].Saved, 0);
}

TEST_F(FileCommandsTest, SaveOfAFileInAFormatOnlyReadAsksForANewNameAndKeepsTheOriginal) {
    // A picture that opens by its content under a name no writer takes.
    const std::string original = MakeFile("scan.png");
    std::filesystem::rename(original, File("scan.pcd"));
    const auto before = ReadBytes(File("scan.pcd"));
    const int slot = LoadIntoNewSlot(ws, File("scan.pcd"));
    ASSERT_GE(slot, 0);
    EXPECT_EQ(ws.Images[static_cast<std::size_t>(slot)].FileFormat, fcOther);
    ws.Images[static_cast<std::size_t>(slot)].Saved = 0;
    q.TypedName.reset(); // the dialog cancelled
    EXPECT_FALSE(SaveSlot(ws, slot, q));
    EXPECT_EQ(q.Asked, (std::vector<std::string>{"SaveFile"}));
    EXPECT_EQ(q.NameOnEntry, File("scan")); // offered without the extension
    q.TypedName = File("scan"); // the filter's extension is appended
    q.Filter = 4;
    ASSERT_TRUE(SaveSlot(ws, slot, q));
    EXPECT_EQ(ReadBytes(File("scan.pcd")), before);
    EXPECT_TRUE(IsPng(File("scan.png")));
    EXPECT_EQ(ws.Images[static_cast<std::size_t>(slot)].FileName, File("scan.png"));
    EXPECT_EQ(ws.Images[static_cast<std::size_t>(slot)].Saved, 1);
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

TEST_F(FileCommandsTest, AReadOnlyFolderTakesTheSaveOfItsWritableFileInPlaceButNoNewFile) {
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
            if (immutable) [[maybe_unused]]
                int r = std::system(("chattr -i '" + p.string() + "'").c_str());
            chmod(p.c_str(), 0755);
        }
    } unlock{ro, immutable};
    const std::string probe = (ro / "probe").string();
    if (FILE* f = std::fopen(probe.c_str(), "w")) {
        std::fclose(f);
        std::remove(probe.c_str());
        GTEST_SKIP() << "this user can write into a read-only folder";
    }

    // A new file cannot be made there: nothing is, the image stays unsaved.
    ASSERT_EQ(NewImage(4, 4), 0);
    q.TypedName = (ro / "new.bmp").string();
    q.Filter = 1;
    EXPECT_FALSE(SaveSlot(ws, 0, q));
    EXPECT_EQ(ws.Images[0].Saved, 0);
    EXPECT_EQ(ws.Images[0].HasFile, 0);
    ASSERT_EQ(port.Errors.size(), 1u);
    EXPECT_EQ(port.Errors[0].first, 1);
    EXPECT_EQ(port.Errors[0].second.rfind("Cannot write new.bmp: ", 0), 0u) << port.Errors[0].second;
    // The file that is there, writable, is rewritten in place.
    struct stat st {};
    ASSERT_EQ(stat(old.c_str(), &st), 0);
    const ino_t inode = st.st_ino;
    q.TypedName = old;
    EXPECT_TRUE(SaveSlot(ws, 0, q));
    EXPECT_EQ(ws.Images[0].Saved, 1);
    EXPECT_NE(ReadBytes(old), before);
    EXPECT_EQ(LoadImageFile(old, fcBmp).Width(), 4);
    ASSERT_EQ(stat(old.c_str(), &st), 0);
    EXPECT_EQ(st.st_ino, inode);
    EXPECT_EQ(pixora::testing::FolderNames(ro), (std::vector<std::string>{"old.bmp"}));
}

TEST_F(FileCommandsTest, WritingMergesTheLayersAndLeavesLayerOneCurrent) {
    ASSERT_EQ(NewImage(4, 4, RGBColour(255, 255, 255)), 0);
    TImages& s = ws.Images[0];
    ASSERT_TRUE(NewLayer(ws, TNewLayer{2, 2, 1, 1, 0}));
    ASSERT_EQ(s.CurrentLayer, 2);
    s.Bitmap.Fill(0, 0, 255, 0); // the upper layer turns opaque red
    s.ZoomNum = 2;
    const std::string path = File("merged.bmp");
    ASSERT_TRUE(WriteSlotFile(ws, 0, path, 1, 0));
    EXPECT_EQ(s.CurrentLayer, 1);
    EXPECT_EQ(s.ZoomNum, 1) << "layer 1 is chosen again, which resets the zoom";
    EXPECT_EQ(s.Bitmap.Row(1)[4 + 2], 255); // layer 1 is white again in Bitmap
    EXPECT_EQ(s.Bitmap.Row(1)[4 + 1], 255);
    const Bitmap written = LoadImageFile(path, 1);
    EXPECT_EQ(written.Row(1)[4 + 1], 0); // red from the upper layer
    EXPECT_EQ(written.Row(1)[4 + 2], 255);
    EXPECT_EQ(written.Row(0)[1], 255); // white outside it

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
