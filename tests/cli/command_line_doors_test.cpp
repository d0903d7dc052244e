// Bad input on pixora-convert's command line: every option with a value it
// cannot take, options it does not know, inputs that are not images and
// outputs that cannot be written. Each ends with a non-zero status and a
// message naming the problem, writes nothing and does not crash. (Bad
// effect calls of --apply have their own test beside the effects.)

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "io/codecs/image_codecs.h"
#include "io/io_test_support.h"
#include "support/command_line.h"

using namespace pixora;
using namespace pixora::testing;
namespace fs = std::filesystem;

#ifdef PIXORA_CONVERT
namespace {

struct CommandLineDoors : ::testing::Test {
    ScratchDir dir;
    std::string in, out;
    void SetUp() override {
        in = dir.File("in.png");
        out = dir.File("out.png");
        WriteImageFile(in, GradientImage(6, 4), fcPng, SaveOptions{});
    }
    std::string Q(const std::string& path) const { return "'" + path + "'"; }
    // The folder holds only what the test put there and the run's streams.
    void ExpectNothingWritten(const std::string& what) {
        for (const std::string& name : FolderNames(dir.Path()))
            EXPECT_TRUE(name == "in.png" || name == "stdout.txt" || name == "stderr.txt" ||
                        name == "plain.txt" || name == "empty.png" || name == "text.png" ||
                        name == "folder.png")
                << what << " wrote " << name;
    }
};

} // namespace

TEST_F(CommandLineDoors, EveryOptionRefusesValuesItCannotTake) {
    struct TBad {
        const char* Option;
        std::vector<std::string> Values; // "<none>": the option ends the line
    };
    const std::string none = "<none>";
    const TBad bad[] = {
        {"--bmp-bits", {none, "", "abc", "12", "0", "-8", "40", "24x", "99999999999999999999"}},
        {"--jpeg-quality", {none, "", "q", "-1", "101", "50.5", "2147483648"}},
        {"--gif-sensitivity", {none, "", "x", "-1", "256", "1e3"}},
        {"--jobs", {none, "", "0", "-2", "1025", "many"}},
        {"-j", {none, "0"}},
        {"--seed", {none, "", "-1", "2147483648", "0x10", "seed"}},
        {"--to", {none, "", "a/b", "/png"}},
        {"--apply", {none}},
        {"-o", {none}},
    };
    for (const TBad& b : bad)
        for (const std::string& v : b.Values) {
            const std::string value = v == none ? "" : " '" + v + "'";
            // A missing value: the option is the last word, after the operands.
            const std::string line = v == none
                                         ? Q(in) + " -o " + Q(out) + " " + b.Option
                                         : std::string(b.Option) + value + " " + Q(in) + " -o " + Q(out);
            const TRun r = RunConvert(dir, line);
            const std::string what = std::string(b.Option) + " " + (v == none ? "(nothing)" : v);
            EXPECT_EQ(r.Status, 2) << what << ": " << r.Err;
            EXPECT_NE(r.Err.find(b.Option), std::string::npos) << what << ": " << r.Err;
            EXPECT_FALSE(fs::exists(out)) << what;
        }
    ExpectNothingWritten("a bad value");
}

TEST_F(CommandLineDoors, UnknownOptionsAndMissingOperandsAreUsageErrors) {
    const std::pair<std::string, std::string> lines[] = {
        {"--frobnicate " + Q(in) + " -o " + Q(out), "unknown option --frobnicate"},
        {"-x " + Q(in) + " -o " + Q(out), "unknown option -x"},
        {"--bmp_bits 24 " + Q(in) + " -o " + Q(out), "unknown option --bmp_bits"},
        {Q(in) + " -o " + Q(out) + " --jpeg-gray=yes", "unknown option --jpeg-gray=yes"},
        {"-o " + Q(out), "no input files"},
        {Q(in), "no output given"},
        {Q(in) + " -o ''", "no output given"},
        {"", "no input files"},
    };
    for (const auto& [line, says] : lines) {
        const TRun r = RunConvert(dir, line);
        EXPECT_EQ(r.Status, 2) << line;
        EXPECT_NE(r.Err.find(says), std::string::npos) << line << ": " << r.Err;
        EXPECT_NE(r.Err.find("Usage: pixora-convert"), std::string::npos) << line;
        EXPECT_FALSE(fs::exists(out)) << line;
    }
    ExpectNothingWritten("a usage error");
}

TEST_F(CommandLineDoors, InputsThatAreNotImagesFailWithTheOpenMessage) {
    WriteBytes(dir.File("empty.png"), {});
    WriteBytes(dir.File("text.png"), {'h', 'e', 'l', 'l', 'o', '\n'});
    fs::create_directory(dir.File("folder.png"));
    const std::string inputs[] = {dir.File("missing.png"), dir.File("empty.png"), dir.File("text.png"),
                                  dir.File("folder.png")};
    for (const std::string& input : inputs) {
        const TRun r = RunConvert(dir, Q(input) + " -o " + Q(out));
        EXPECT_EQ(r.Status, 1) << input << ": " << r.Err;
        EXPECT_NE(r.Err.find("Could Not Open File due to an Error while Opening."), std::string::npos)
            << input << ": " << r.Err;
        EXPECT_NE(r.Err.find(input), std::string::npos) << r.Err;
        EXPECT_FALSE(fs::exists(out)) << input;
    }
    ExpectNothingWritten("a bad input");
}

TEST_F(CommandLineDoors, OutputsThatCannotBeWrittenFailAndLeaveNoFile) {
    // A plain file stands where a folder should be (root may write anywhere
    // else, so this is the refusal every user meets).
    std::ofstream(dir.File("plain.txt")) << "not a folder\n";
    TRun r = RunConvert(dir, Q(in) + " -o " + Q(dir.File("plain.txt/out.png")));
    EXPECT_EQ(r.Status, 1) << r.Err;
    EXPECT_NE(r.Err.find("An Error Occured while trying to Save."), std::string::npos) << r.Err;
    // Several inputs into a "folder" that is a plain file.
    r = RunConvert(dir, Q(in) + " " + Q(in) + " -o " + Q(dir.File("plain.txt")));
    EXPECT_EQ(r.Status, 1) << r.Err;
    EXPECT_NE(r.Err.find("cannot create folder"), std::string::npos) << r.Err;
    r = RunConvert(dir, "--to png " + Q(in) + " -o " + Q(dir.File("plain.txt/sub/")));
    EXPECT_EQ(r.Status, 1) << r.Err;
    EXPECT_NE(r.Err.find("cannot create folder"), std::string::npos) << r.Err;
    std::ifstream kept(dir.File("plain.txt"));
    std::string line;
    std::getline(kept, line);
    EXPECT_EQ(line, "not a folder");
    ExpectNothingWritten("an unwritable output");
}
#endif
