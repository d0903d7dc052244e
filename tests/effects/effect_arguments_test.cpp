// The command line's effect calls: read against the rows' argument lists,
// with messages that name the effect and what it takes.
#include <gtest/gtest.h>

#include "effects/effect_arguments.h"
#include "effects/effects_table.h"
#include "effects/engine/effect_types.h"

using namespace pixora;

namespace {

TEffectCall Parse(std::string_view text) {
    TEffectCall call;
    std::string error;
    EXPECT_TRUE(ParseEffectCall(text, CommandLineEffects(), call, error)) << text << ": " << error;
    return call;
}
std::string Refusal(std::string_view text) {
    TEffectCall call;
    std::string error;
    EXPECT_FALSE(ParseEffectCall(text, CommandLineEffects(), call, error)) << text;
    return error;
}

} // namespace

TEST(EffectArguments, ValuesComeInTheRowsOrderWithDefaultsForWhatIsLeftOut) {
    TEffectCall c = Parse("gaussian-blur");
    EXPECT_EQ(c.Row->CommandName, "gaussian-blur");
    EXPECT_EQ(c.Values[0], 8);
    EXPECT_EQ(Parse("tint").Values, (TEffectValues{8, 8, 8}));
    EXPECT_EQ(Parse("tint:1,2").Values, (TEffectValues{1, 2, 8}));
    EXPECT_EQ(Parse("pixelization:8,9").Values, (TEffectValues{8, 9, rtRect, 0}));
    EXPECT_EQ(Parse("pixelization:8,9,STAR6,solid").Values, (TEffectValues{8, 9, rtStar6, 1}));
    EXPECT_EQ(Parse("rough-blur:4,5,2,qualitative,cross").Values, (TEffectValues{4, 5, 2, 1, rtCross, 0}));
    EXPECT_EQ(Parse("colour-adjust:-255,0,255").Values, (TEffectValues{-255, 0, 255}));
    EXPECT_EQ(Parse("channel-filter:blue").Values[0], 2);
    EXPECT_EQ(Parse("channel-transfer:B-G,1").Values, (TEffectValues{5, 1}));
    EXPECT_EQ(Parse("rotate:-90").Values, (TEffectValues{-90, 0}));
    // RRGGBB as a colour value, red in the low byte.
    EXPECT_EQ(Parse("rotate:45,FF8001").Values, (TEffectValues{45, 0x0180FF}));
    EXPECT_EQ(Parse("resize:30,20,nostretch").Values, (TEffectValues{30, 20, 1}));
}

TEST(EffectArguments, RefusalsNameTheEffectAndWhatItTakes) {
    EXPECT_NE(Refusal("blurry").find("unknown effect \"blurry\""), std::string::npos);
    std::string e = Refusal("posterize:256");
    EXPECT_NE(e.find("posterize"), std::string::npos) << e;
    EXPECT_NE(e.find("0..255"), std::string::npos) << e;
    e = Refusal("pixelization:1,8");
    EXPECT_NE(e.find("2..50"), std::string::npos) << e;
    e = Refusal("rough-blur:8,8,0");
    EXPECT_NE(e.find("1..5"), std::string::npos) << e;
    e = Refusal("gaussian-blur:25");
    EXPECT_NE(e.find("1..24"), std::string::npos) << e;
    e = Refusal("pixelization:8,8,square");
    EXPECT_NE(e.find("rect|ellipse|frame|star5|star6|triangle0"), std::string::npos) << e;
    EXPECT_NE(Refusal("invert:1").find("takes no arguments"), std::string::npos);
    EXPECT_NE(Refusal("sharpen-filter:3").find("needs 2"), std::string::npos);
    EXPECT_NE(Refusal("noise-filter:12x").find("not a whole number"), std::string::npos);
    EXPECT_NE(Refusal("noise-filter:").find("not a whole number"), std::string::npos);
    EXPECT_NE(Refusal("blur:99999999999999999999").find("not a whole number"), std::string::npos);
    EXPECT_NE(Refusal("rotate:10,12345").find("six hex digits"), std::string::npos);
    EXPECT_NE(Refusal("pixelization:8,8,rect,opaque").find("solid"), std::string::npos);
    // A size beyond the largest image the program takes.
    e = Refusal("resize:1048576,1048576");
    EXPECT_NE(e.find("resize"), std::string::npos) << e;
}

TEST(EffectArguments, TheHelpListsEveryRowAsItIsWritten) {
    const std::string help = EffectListHelp(CommandLineEffects());
    for (const TEffectRow& row : CommandLineEffects())
        EXPECT_NE(help.find("  " + EffectSynopsis(row)), std::string::npos) << row.CommandName;
    EXPECT_EQ(EffectSynopsis(*EffectForCommand("pixelization")), "pixelization:W,H[,TYPE[,solid]]");
    EXPECT_EQ(EffectSynopsis(*EffectForCommand("rough-blur")),
              "rough-blur:W,H,RADIUS[,fast|qualitative[,TYPE[,solid]]]");
    EXPECT_EQ(EffectSynopsis(*EffectForCommand("grayscale")), "grayscale:rgb|red|green|blue[,B]");
    EXPECT_EQ(EffectSynopsis(*EffectForCommand("rotate")), "rotate:DEG[,RRGGBB]");
    EXPECT_EQ(EffectSynopsis(*EffectForCommand("invert")), "invert");
}

TEST(EffectArguments, AWrittenCallReadsBackToItsValues) {
    // Every row, with its values at the far end of their ranges and at the
    // defaults: the text reads back to the same row and values.
    for (const TEffectRow& row : CommandLineEffects()) {
        for (bool top : {false, true}) {
            TEffectCall call{&row, DefaultValues(row)};
            for (std::size_t i = 0; i < row.Args.size(); ++i)
                if (top || !row.Args[i].Optional) call.Values[i] = row.Args[i].Max;
            if (row.CheckValues && !row.CheckValues(call.Values).empty()) call.Values[0] = 1;
            const std::string text = FormatEffectCall(call);
            const TEffectCall back = Parse(text);
            EXPECT_EQ(back.Row, &row) << text;
            EXPECT_EQ(back.Values, call.Values) << text;
        }
    }
    EXPECT_EQ(FormatEffectCall(Parse("tint:1,8,8")), "tint:1");
    EXPECT_EQ(FormatEffectCall(Parse("pixelization:8,9,STAR6")), "pixelization:8,9,star6");
    EXPECT_EQ(FormatEffectCall(Parse("rotate:45,FF8001")), "rotate:45,FF8001");
    // A window's "nothing chosen" is no call at all.
    TEffectCall none = Parse("channel-transfer:G-R,40");
    none.Values[0] = -1;
    EXPECT_EQ(FormatEffectCall(none), "");
}
