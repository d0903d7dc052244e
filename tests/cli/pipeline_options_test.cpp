// pixora-convert in pipelines and restartable batches: standard input and
// output, lists of inputs, output names from a pattern, skipping outputs
// that exist and the per-file JSON report.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <vector>

#include "io/codecs/image_codecs.h"
#include "io/convert_pipeline.h"
#include "io/io_test_support.h"
#include "support/command_line.h"

using namespace pixora;
using namespace pixora::testing;
namespace fs = std::filesystem;

TEST(PipelineNames, PatternsListsAndReportLines) {
    EXPECT_EQ(PatternName("{n}-{stem}.{ext}", "/a/b/photo.v2.JPG", 7, ".webp"), "7-photo.v2.webp");
    EXPECT_EQ(PatternName("x/{stem}{stem}.png", "c.gif", 1, ".png"), "x/cc.png");
    for (const char* bad : {"{stem", "stem}", "{name}.png", "{}.png", "{ext", "", "out/"})
        EXPECT_FALSE(PatternProblem(bad).empty()) << bad;
    EXPECT_EQ(PatternProblem("{stem}-{n}.{ext}"), "");

    std::istringstream list("a b.png\r\n\n c.png\nlast.png");
    EXPECT_EQ(ReadInputList(list), (std::vector<std::string>{"a b.png", " c.png", "last.png"}));

    using S = TFileReport::TStatus;
    EXPECT_EQ(ReportLine({"a\"b\\.png", "o/x.png", S::Error, "bad\nfile\t1", 2.25}),
              R"({"input":"a\"b\\.png","output":"o/x.png","status":"error","error":"bad\nfile\u00091","ms":2.2})");
    EXPECT_EQ(ReportLine({"a.png", "b.png", S::Skipped, "ignored", 0}),
              R"({"input":"a.png","output":"b.png","status":"skipped","ms":0.0})");
}

#ifdef PIXORA_CONVERT
namespace {

struct Pipelines : ::testing::Test {
    ScratchDir dir;
    std::string tmp; // TMPDIR of the runs: what the converter keeps there must go
    void SetUp() override {
        for (int i = 0; i < 3; ++i)
            WriteImageFile(dir.File(std::string("p").append(std::to_string(i)).append(".png")),
                           RandomImage(5 + i, 4, 11u + static_cast<uint32_t>(i)), fcPng, SaveOptions{});
        tmp = dir.File("tmp");
        fs::create_directory(tmp);
        setenv("TMPDIR", tmp.c_str(), 1);
    }
    void TearDown() override {
        EXPECT_TRUE(FolderNames(tmp).empty()) << "left in TMPDIR: " << FolderNames(tmp).front();
        unsetenv("TMPDIR");
    }
    std::string Q(const std::string& name) const {
        std::string quoted = "'";
        quoted.append(dir.File(name)).append("'");
        return quoted;
    }
    std::vector<uint8_t> Bytes(const std::string& name) const { return ReadBytes(dir.File(name)); }
};

} // namespace

TEST_F(Pipelines, StandardInputAndOutputGiveTheBytesOfFileConversion) {
    // The same picture through files and through the pipes, in each direction.
    ASSERT_EQ(RunConvert(dir, Q("p0.png") + " -o " + Q("p0.bmp")).Status, 0);
    TRun r = RunConvert(dir, "- -o " + Q("piped.bmp") + " <" + Q("p0.png"));
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(Bytes("piped.bmp"), Bytes("p0.bmp"));
    r = RunConvert(dir, Q("p0.png") + " --to .bmp -o - ");
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(std::vector<uint8_t>(r.Out.begin(), r.Out.end()), Bytes("p0.bmp"));

    // Without --to the output keeps the format the content is in, whatever
    // the input's name: a PNG under a .bmp name comes out as PNG.
    fs::copy_file(dir.File("p1.png"), dir.File("misnamed.bmp"));
    ASSERT_EQ(RunConvert(dir, "- -o " + Q("via.png") + " <" + Q("misnamed.bmp")).Status, 0);
    r = RunConvert(dir, "- -o - <" + Q("misnamed.bmp"));
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(std::vector<uint8_t>(r.Out.begin(), r.Out.end()), Bytes("via.png"));
    // Into a folder, standard input is named after its format.
    ASSERT_EQ(RunConvert(dir, "- " + Q("p2.png") + " --out-dir " + Q("out") + " <" + Q("p0.png")).Status, 0);
    EXPECT_EQ(FolderNames(dir.File("out")), (std::vector<std::string>{"p2.png", "stdin.png"}));

    // A failed read names "-", never the file it was kept in.
    r = RunConvert(dir, "- -o - </dev/null");
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("\n-: "), std::string::npos) << r.Err;
    EXPECT_EQ(r.Err.find(tmp), std::string::npos) << r.Err;
    EXPECT_TRUE(r.Out.empty());
}

TEST_F(Pipelines, ListsPatternsAndTheirRefusals) {
    {
        std::ofstream list(dir.File("list.txt"));
        list << dir.File("p2.png") << "\r\n\n" << dir.File("p0.png") << "\n";
    }
    // Positional inputs, a list file and a list on standard input, in order.
    TRun r = RunConvert(dir, Q("p1.png") + " @" + Q("list.txt") + " --list - --out-dir " + Q("out") +
                                 " --name '{n}_{stem}.{ext}' --to bmp <" + Q("list.txt"));
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(FolderNames(dir.File("out")),
              (std::vector<std::string>{"1_p1.bmp", "2_p2.bmp", "3_p0.bmp", "4_p2.bmp", "5_p0.bmp"}));
    EXPECT_EQ(LoadImageFile(dir.File("out/3_p0.bmp"), fcBmp).Width(), 5);

    const std::pair<std::string, std::string> refused[] = {
        {"- --list - -o " + Q("out"), "can be read only once"},
        {Q("p0.png") + " " + Q("p1.png") + " -o -", "takes one input"},
        {Q("p0.png") + " -o - --json", "--json"},
        {"--list " + Q("missing.txt") + " -o " + Q("out"), "cannot read the list"},
        {Q("p0.png") + " --out-dir " + Q("out") + " --name '{name}.png'", "--name"},
        {Q("p0.png") + " -o " + Q("one.png") + " --name '{stem}.png'", "--name goes with an output folder"},
        {Q("p0.png") + " -o " + Q("out") + " --out-dir " + Q("out"), "given twice"},
    };
    for (const auto& [line, says] : refused) {
        r = RunConvert(dir, line + " <" + Q("list.txt"));
        EXPECT_EQ(r.Status, 2) << line;
        EXPECT_NE(r.Err.find(says), std::string::npos) << line << ": " << r.Err;
    }
    EXPECT_FALSE(fs::exists(dir.File("one.png")));
    EXPECT_EQ(FolderNames(dir.File("out")).size(), 5u);
}

TEST_F(Pipelines, SkipExistingRestartsABatchAndJsonReportsEachFile) {
    fs::create_directory(dir.File("out"));
    // A finished output from an earlier run, and the temporary file of a
    // writer killed while writing another.
    WriteBytes(dir.File("out/p0.bmp"), {'k', 'e', 'p', 't'});
    const std::string leftover = ".pixora-" + std::to_string(EndedProcess()) + "-p1.bmp.Ab12Cd";
    WriteBytes(dir.File("out/" + leftover), {'B', 'M', 1});
    WriteBytes(dir.File("bad \"one\".png"), {'n', 'o'});
    const std::string inputs = Q("p0.png") + " " + Q("p1.png") + " " + Q("bad \"one\".png") + " " + Q("p2.png");

    TRun r = RunConvert(dir, inputs + " --to bmp --out-dir " + Q("out") + " --skip-existing --json -j 2");
    EXPECT_EQ(r.Status, 1) << r.Err; // the bad input fails; the others are whole
    EXPECT_EQ(Bytes("out/p0.bmp"), (std::vector<uint8_t>{'k', 'e', 'p', 't'}));
    EXPECT_EQ(FolderNames(dir.File("out")), (std::vector<std::string>{"p0.bmp", "p1.bmp", "p2.bmp"}));
    EXPECT_EQ(LoadImageFile(dir.File("out/p2.bmp"), fcBmp).Width(), 7);

    // A line per file: the skipped one first, then each as it finishes.
    std::istringstream lines(r.Out);
    std::string line;
    std::map<std::string, std::string> status;
    const std::regex shape(R"re(\{"input":"(.*)","output":"(.*)","status":"(ok|error|skipped)"(,"error":".+")?,"ms":[0-9]+\.[0-9]\})re");
    int count = 0;
    while (std::getline(lines, line)) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(line, m, shape)) << line;
        status[fs::path(m[1].str()).filename().string()] = m[3].str() + (m[4].matched ? "+message" : "");
        ++count;
    }
    EXPECT_EQ(count, 4);
    EXPECT_EQ(status["p0.png"], "skipped");
    EXPECT_EQ(status["p1.png"], "ok");
    EXPECT_EQ(status["p2.png"], "ok");
    EXPECT_EQ(status["bad \\\"one\\\".png"], "error+message");
    EXPECT_LT(r.Out.find("\"skipped\""), r.Out.find("\"ok\""));

    // Without the flag the earlier output is written again.
    ASSERT_EQ(RunConvert(dir, Q("p0.png") + " --to bmp --out-dir " + Q("out")).Status, 0);
    EXPECT_EQ(LoadImageFile(dir.File("out/p0.bmp"), fcBmp).Width(), 5);
}
#endif
