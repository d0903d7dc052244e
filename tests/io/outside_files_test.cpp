// Files named on the command line: the arguments, and opening them as the
// Open command does.

#include <gtest/gtest.h>

#include <filesystem>

#include "io/codecs/image_codecs.h"
#include "io/open_commands.h"
#include "io/outside_files.h"
#include "io_test_support.h"
#include "support/fake_port.h"
#include "support/slot_fixture.h"

using namespace pixora;
using pixora::testing::FakePort;
using pixora::testing::ScratchDir;

namespace {

TCommandLine Parse(std::vector<std::string> args) {
    return ParseCommandLine(args, "/home/me/pictures");
}

TEST(CommandLineTest, FilesAreMadeAbsoluteAndKeepTheirOrder) {
    const TCommandLine c = Parse({"b.png", "./sub/./a.jpg", "../up.gif", "/abs/c.bmp", ""});
    EXPECT_EQ(c.Action, TCommandLineAction::Run);
    EXPECT_EQ(c.Files, (std::vector<std::string>{"/home/me/pictures/b.png", "/home/me/pictures/sub/a.jpg",
                                                 "/home/me/pictures/../up.gif", "/abs/c.bmp"}));
    EXPECT_TRUE(Parse({}).Files.empty());
    EXPECT_EQ(Parse({}).Action, TCommandLineAction::Run);
}

TEST(CommandLineTest, HelpWinsOverVersionWhichWinsOverAnUnknownOption) {
    EXPECT_EQ(Parse({"--bogus", "--version", "a.png", "-h"}).Action, TCommandLineAction::Help);
    EXPECT_EQ(Parse({"--help"}).Action, TCommandLineAction::Help);
    EXPECT_EQ(Parse({"a.png", "--bogus", "-v"}).Action, TCommandLineAction::Version);
    const TCommandLine bad = Parse({"a.png", "-x", "--also-bad"});
    EXPECT_EQ(bad.Action, TCommandLineAction::UsageError);
    EXPECT_NE(bad.Problem.find("'-x'"), std::string::npos);
    EXPECT_EQ(Parse({"-"}).Action, TCommandLineAction::UsageError);
}

TEST(CommandLineTest, DoubleDashEndsTheOptions) {
    const TCommandLine c = Parse({"--", "--help", "-x.png"});
    EXPECT_EQ(c.Action, TCommandLineAction::Run);
    EXPECT_EQ(c.Files, (std::vector<std::string>{"/home/me/pictures/--help", "/home/me/pictures/-x.png"}));
}

TEST(CommandLineTest, TheTextsNameTheOptions) {
    EXPECT_EQ(UsageLine().rfind("Usage: pixora ", 0), 0u);
    for (const char* option : {"--help", "--version", "--"})
        EXPECT_NE(HelpText().find(option), std::string::npos);
    EXPECT_STREQ(kVersionText, "Pixora 1.0.0.1");
}

struct OutsideFilesTest : pixora::testing::ProgramFolderFixture {
    std::string MakeFile(const std::string& name) {
        const std::string path = dir.File(name);
        WriteImageFile(path, pixora::testing::GradientImage(5, 3), FormatFromExtension(path), SaveOptions{});
        return path;
    }
};

TEST_F(OutsideFilesTest, EachFileGetsItsOwnTabAndEachFailureItsOwnReport) {
    const std::string a = MakeFile("a.png"), b = MakeFile("b.jpg");
    const std::string missing = dir.File("gone.png");
    const std::string broken = dir.File("broken.gif");
    pixora::testing::WriteBytes(broken, {'G', 'I', 'F', '8', '9', 'a'});
    EXPECT_EQ(OpenOutsideFiles(ws, {a, missing, b, broken}), 2);
    EXPECT_EQ(ws.SysData.OpenCount, 1);
    EXPECT_EQ(port.Captions[0], "a.png");
    EXPECT_EQ(port.Captions[1], "b.jpg");
    EXPECT_EQ(port.Active, 1); // the last one opened is shown
    ASSERT_EQ(port.Errors.size(), 2u);
    for (const auto& [kind, detail] : port.Errors) {
        EXPECT_EQ(kind, 2);
        EXPECT_FALSE(detail.empty());
    }
    // Every file, failed or not, entered the recent list, newest first.
    EXPECT_EQ(ws.ToolVars.RecentFiles[0], broken);
    EXPECT_EQ(ws.ToolVars.RecentFiles[1], b);
    EXPECT_EQ(ws.ToolVars.RecentFiles[2], missing);
    EXPECT_EQ(ws.ToolVars.RecentFiles[3], a);
}

TEST_F(OutsideFilesTest, FilesBeyondTheFifteenthAreLeftAlone) {
    const std::string a = MakeFile("a.png");
    std::vector<std::string> files(kMaxOpenImages, a);
    const std::string last = MakeFile("sixteenth.png");
    files.push_back(last);
    files.push_back(last);
    EXPECT_EQ(OpenOutsideFiles(ws, files), kMaxOpenImages);
    EXPECT_EQ(ws.SysData.OpenCount, kMaxOpenImages - 1);
    EXPECT_TRUE(port.Errors.empty());
    EXPECT_EQ(port.Problems.size(), 1u) << "the files left over are said once";
    // The sixteenth was neither read nor remembered.
    EXPECT_EQ(ws.ToolVars.RecentFiles[0], a);
    EXPECT_TRUE(ws.ToolVars.RecentFiles[1].empty());
}

} // namespace
