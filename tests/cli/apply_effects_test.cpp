// pixora-convert --apply: every effect of the command line gives exactly the
// editor's result, byte for byte, and bad calls write nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "effects/effect_arguments.h"
#include "effects/effects_table.h"
#include "effects/engine/effects.h"
#include "effects/filter_fixture.h"
#include "effects/filter_framework.h"
#include "effects/quick_effect_frame.h"
#include "history/geometry_commands.h"
#include "io/codecs/image_codecs.h"
#include "io/io_test_support.h"
#include "support/command_line.h"
#include "tools/crop_tool.h"

using namespace pixora;
using namespace pixora::testing;

#ifdef PIXORA_CONVERT
namespace {

constexpr uint32_t kSeed = 4242;

// One call per command-line row, with arguments away from the neutral values.
const std::map<std::string, std::string> kSamples = {
    {"colour-adjust", "colour-adjust:30,-20,5"},
    {"channel-filter", "channel-filter:green"},
    {"channel-transfer", "channel-transfer:G-R,40"},
    {"blur", "blur:2"},
    {"brightness", "brightness:-40"},
    {"contrast-filter", "contrast-filter:60"},
    {"colour-filter", "colour-filter:0,100,20,255,0,200"},
    {"noise-filter", "noise-filter:40"},
    {"pixelization", "pixelization:4,3,ellipse,solid"},
    {"posterize", "posterize:32"},
    {"rough-blur", "rough-blur:4,4,2,qualitative,star5"},
    {"saturation-filter", "saturation-filter:100"},
    {"sharpen-filter", "sharpen-filter:3,50"},
    {"solarize", "solarize:100"},
    {"grayscale", "grayscale:red,20"},
    {"lighten", "lighten"},
    {"darken", "darken"},
    {"soften", "soften"},
    {"sharpen", "sharpen"},
    {"noise", "noise"},
    {"tint", "tint:10,20,30"},
    {"gamma", "gamma"},
    {"contrast", "contrast:50,0,9"},
    {"saturation", "saturation:40,40,40"},
    {"gaussian-blur", "gaussian-blur:3"},
    {"antialiasing", "antialiasing"},
    {"invert", "invert"},
    {"rotate", "rotate:30,FF8000"},
    {"flip", "flip"},
    {"mirror", "mirror"},
    {"rotate-left", "rotate-left"},
    {"rotate-right", "rotate-right"},
    {"rotate-half", "rotate-half"},
    {"resize", "resize:31,17,nostretch"},
    {"crop", "crop:2,3,15,11"},
};

// The editor's way to each effect, on an open image.
struct EditorTest : FilterTest {
    // The image after `calls`, each run as the editor runs it; call i starts
    // its draws from kSeed + i as the command line does.
    Bitmap Edited(const Bitmap& input, const std::vector<TEffectCall>& calls) {
        TImages& s = S();
        s.Bitmap = input;
        TabChange(ws);
        for (std::size_t i = 0; i < calls.size(); ++i) {
            const TEffectRow& row = *calls[i].Row;
            const TEffectValues& v = calls[i].Values;
            const uint32_t seed = kSeed + static_cast<uint32_t>(i);
            if (row.Filter) {
                EffectsOf(ws).SetRandomSeed(seed);
                EXPECT_TRUE(PreviewFilter(ws, row.Filter, row.ReadsDocument, v)) << row.CommandName;
                EXPECT_TRUE(CommitFilter(ws, std::string(row.StepName), ws.DisplayCopy, false));
            } else if (row.Operation) {
                TEffectSettings settings = SettingsFromValues(row, v);
                settings.Seed = seed;
                EXPECT_TRUE(ApplyQuickEffect(ws, row, settings)) << row.CommandName;
            } else if (row.CommandName == "resize") {
                EXPECT_TRUE(ResizeActiveImage(ws, {v[0], v[1], v[2] == 0}));
            } else if (row.CommandName == "crop") {
                // The crop tool's rectangle, dragged from its far corner.
                s.DownX = v[0] + v[2], s.DownY = v[1] + v[3];
                ws.ToolVars.SelRight = v[0], ws.ToolVars.SelBottom = v[1];
                ws.ToolVars.CropShown = 1;
                EXPECT_TRUE(ApplyCrop(ws));
            } else {
                // The rotate window's items in their order, then the angle.
                const std::map<std::string_view, TRotateAction> turns = {
                    {"flip", TRotateAction::FlipVertical},      {"mirror", TRotateAction::MirrorHorizontal},
                    {"rotate-left", TRotateAction::RotateLeft}, {"rotate-right", TRotateAction::RotateRight},
                    {"rotate-half", TRotateAction::RotateHalf}, {"rotate", TRotateAction::Angle}};
                TRotateParams p;
                p.Action = turns.at(row.CommandName);
                p.Degrees = v[0];
                p.Background = row.CommandName == "rotate" ? v[1] : 0;
                EXPECT_TRUE(RotateActiveImage(ws, p)) << row.CommandName;
            }
            TabChange(ws);
        }
        return s.Bitmap;
    }
};

TEffectCall Call(const std::string& text) {
    TEffectCall call;
    std::string error;
    EXPECT_TRUE(ParseEffectCall(text, CommandLineEffects(), call, error)) << error;
    return call;
}

SaveOptions Bmp32() {
    SaveOptions o;
    o.BmpBits = 32;
    return o;
}

} // namespace

TEST_F(EditorTest, EveryEffectOfTheCommandLineGivesTheEditorsResult) {
    ScratchDir dir;
    const Bitmap input = GradientImage(23, 19);
    WriteImageFile(dir.File("in.bmp"), input, fcBmp, Bmp32());
    const Bitmap read = LoadImageFile(dir.File("in.bmp"), fcBmp);
    for (const TEffectRow& row : CommandLineEffects()) {
        const std::string name(row.CommandName);
        ASSERT_TRUE(kSamples.count(name)) << "no sample call for " << name;
        const std::string& text = kSamples.at(name);
        const std::string out = dir.File(name + ".bmp");
        const TRun r = RunConvert(dir, "--bmp-bits 32 --seed " + std::to_string(kSeed) + " --apply " + text +
                                        " '" + dir.File("in.bmp") + "' -o '" + out + "'");
        ASSERT_EQ(r.Status, 0) << text << ": " << r.Err;
        const Bitmap theirs = LoadImageFile(out, fcBmp);
        const Bitmap ours = Edited(read, {Call(text)});
        EXPECT_FALSE(SamePixels(ours, read)) << text << " changes the picture";
        EXPECT_TRUE(SamePixels(theirs, ours)) << text;
    }
}

TEST_F(EditorTest, SeveralEffectsApplyInOrder) {
    ScratchDir dir;
    WriteImageFile(dir.File("in.bmp"), GradientImage(30, 20), fcBmp, Bmp32());
    const Bitmap read = LoadImageFile(dir.File("in.bmp"), fcBmp);
    const TRun r = RunConvert(dir, "--bmp-bits 32 --seed " + std::to_string(kSeed) +
                                    " --apply rotate-left --apply noise-filter:30 --apply posterize:40 '" +
                                    dir.File("in.bmp") + "' -o '" + dir.File("out.bmp") + "'");
    ASSERT_EQ(r.Status, 0) << r.Err;
    const Bitmap ours = Edited(read, {Call("rotate-left"), Call("noise-filter:30"), Call("posterize:40")});
    EXPECT_EQ(ours.Width(), 20);
    EXPECT_TRUE(SamePixels(LoadImageFile(dir.File("out.bmp"), fcBmp), ours));
}

TEST(ApplyCommand, BadCallsExitTwoAndWriteNothing) {
    ScratchDir dir;
    WriteImageFile(dir.File("in.png"), GradientImage(8, 8), fcPng, SaveOptions{});
    const std::pair<std::string, std::string> bad[] = {
        {"blurry", "unknown effect"},          {"posterize:300", "0..255"},
        {"pixelization:8,8,hexagon", "rect|"}, {"rough-blur:8,8,9", "1..5"},
        {"invert:2", "no arguments"},          {"resize:70000,70000", "largest image"},
        {"rotate:10,GG0000", "six hex"},
    };
    for (const auto& [call, says] : bad) {
        const TRun r = RunConvert(dir, "--apply " + call + " '" + dir.File("in.png") + "' -o '" +
                                        dir.File("out.png") + "'");
        EXPECT_EQ(r.Status, 2) << call;
        EXPECT_NE(r.Err.find(call.substr(0, call.find(':'))), std::string::npos) << r.Err;
        EXPECT_NE(r.Err.find(says), std::string::npos) << r.Err;
        EXPECT_FALSE(std::filesystem::exists(dir.File("out.png"))) << call;
    }
    // A bad call after a good one: still nothing written.
    EXPECT_EQ(RunConvert(dir, "--apply invert --apply blur:21 '" + dir.File("in.png") + "' -o '" +
                               dir.File("out.png") + "'")
                  .Status,
              2);
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.png")));
}

TEST_F(EditorTest, ARecipeFileAppliesItsStepsAroundItsComments) {
    ScratchDir dir;
    WriteImageFile(dir.File("in.bmp"), GradientImage(30, 20), fcBmp, Bmp32());
    const Bitmap read = LoadImageFile(dir.File("in.bmp"), fcBmp);
    {
        std::ofstream recipe(dir.File("steps.recipe"));
        recipe << "# Pen\n\nrotate-left\r\n  posterize:40\n# Text\ncrop:1,2,10,12\n";
    }
    TRun r = RunConvert(dir, "--bmp-bits 32 --apply invert --recipe '" + dir.File("steps.recipe") + "' '" +
                                 dir.File("in.bmp") + "' -o '" + dir.File("out.bmp") + "'");
    ASSERT_EQ(r.Status, 0) << r.Err;
    const Bitmap ours = Edited(read, {Call("invert"), Call("rotate-left"), Call("posterize:40"), Call("crop:1,2,10,12")});
    EXPECT_TRUE(SamePixels(LoadImageFile(dir.File("out.bmp"), fcBmp), ours));

    // A step that does not read names its line; a missing recipe is said too.
    {
        std::ofstream recipe(dir.File("bad.recipe"));
        recipe << "invert\n# fine so far\nposterize:300\n";
    }
    r = RunConvert(dir, "--recipe '" + dir.File("bad.recipe") + "' '" + dir.File("in.bmp") + "' -o '" +
                            dir.File("bad.bmp") + "'");
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Err.find("line 3: posterize"), std::string::npos) << r.Err;
    r = RunConvert(dir, "--recipe '" + dir.File("none.recipe") + "' '" + dir.File("in.bmp") + "' -o '" +
                            dir.File("bad.bmp") + "'");
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Err.find("none.recipe"), std::string::npos) << r.Err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("bad.bmp")));
    // Outside the image, a crop is refused.
    r = RunConvert(dir, "--apply crop:25,0,10,10 '" + dir.File("in.bmp") + "' -o '" + dir.File("bad.bmp") + "'");
    EXPECT_NE(r.Status, 0);
}

TEST(ApplyCommand, HelpListsEveryEffectOfTheTable) {
    ScratchDir dir;
    const TRun r = RunConvert(dir, "--help");
    ASSERT_EQ(r.Status, 0);
    for (const TEffectRow& row : CommandLineEffects()) {
        // Each synopsis on a line of its own, followed by what it is.
        const std::string line = "\n  " + EffectSynopsis(row);
        EXPECT_TRUE(r.Out.find(line + " ") != std::string::npos ||
                    r.Out.find(line + "\n") != std::string::npos)
            << row.CommandName;
    }
}
#endif
