// What each filter window's row asks of the effects engine with its control
// values, seen through the preview on the display copy.
#include <gtest/gtest.h>

#include "effects/effects_table.h"
#include "effects/engine/effects.h"
#include "effects/filter_fixture.h"
#include "effects/filter_framework.h"

using namespace pixora;
using namespace pixora::testing;

namespace {

struct FilterRuleTest : FilterTest {
    // The preview of window `form` with `values`; the view it leaves.
    const Bitmap& Preview(const char* form, TEffectValues values) {
        const TEffectRow* row = EffectForWindow(WindowNamed(form));
        EXPECT_NE(row, nullptr) << form;
        if (row) {
            EXPECT_TRUE(PreviewFilter(ws, row->Filter, row->ReadsDocument, values)) << form;
        }
        return ws.DisplayCopy;
    }
};

} // namespace

TEST_F(FilterRuleTest, NeutralPositionsShowTheDocument) {
    const Bitmap doc = S().Bitmap;
    const std::pair<const char*, TEffectValues> neutral[] = {
        {"TForm8", {0, 0, 0}},
        {"TForm10", {0}},
        {"TForm11", {0}},
        {"TForm12", {0}},
        {"TForm14", {0}},
        {"TForm16", {0}},
        {"TForm16", {1}},
        {"TForm18", {0}},
        {"TForm19", {0, 0}},
        {"TForm20", {0}},
        {"TForm13", {0, 255, 0, 255, 0, 255}},
    };
    for (const auto& [form, values] : neutral)
        EXPECT_TRUE(SamePixels(Preview(form, values), doc)) << form << " " << values[0];
}

TEST_F(FilterRuleTest, ColourFilterReplacesExactlyThePixelsOutsideItsWindows) {
    const Bitmap doc = S().Bitmap;
    const Bitmap& view = Preview("TForm13", {0, 100, 0, 255, 0, 255});
    int replaced = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) {
            const uint8_t* d = Px(doc, x, y);
            const uint8_t* v = Px(view, x, y);
            if (d[2] > 100) {
                ++replaced;
                EXPECT_TRUE(v[0] == 0 && v[1] == 0 && v[2] == 0) << x << "," << y;
            } else {
                EXPECT_EQ(std::memcmp(v, d, 4), 0) << x << "," << y;
            }
        }
    EXPECT_GT(replaced, 0);
    EXPECT_LT(replaced, 200);
}

TEST_F(FilterRuleTest, SaturationAndSolarizeRunTheOtherWayFromTheirEffects) {
    const Bitmap doc = S().Bitmap;
    // Saturation at 255: every byte becomes the pixel's four-byte average.
    const Bitmap& grey = Preview("TForm18", {255});
    for (int x = 0; x < 20; ++x) {
        const uint8_t* d = Px(doc, x, 4);
        const int m = (d[0] + d[1] + d[2] + d[3]) / 4;
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(Px(grey, x, 4)[c], m, 1) << x;
        EXPECT_EQ(Px(grey, x, 4)[0], Px(grey, x, 4)[2]);
    }
    // Solarize at 255: threshold 0 inverts every pixel whose average is above 0.
    const Bitmap& solar = Preview("TForm20", {255});
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(Px(solar, 7, 3)[c], 255 - Px(doc, 7, 3)[c]);
}

TEST_F(FilterRuleTest, ControlsReachTheirChannels) {
    const Bitmap doc = S().Bitmap;
    auto clamp = [](int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); };
    // Colour Adjustor: R, G, B are the red, green and blue deltas.
    const Bitmap& adjusted = Preview("TForm8", {30, -20, 5});
    EXPECT_EQ(Px(adjusted, 3, 2)[2], clamp(Px(doc, 3, 2)[2] + 30));
    EXPECT_EQ(Px(adjusted, 3, 2)[1], clamp(Px(doc, 3, 2)[1] - 20));
    EXPECT_EQ(Px(adjusted, 3, 2)[0], clamp(Px(doc, 3, 2)[0] + 5));
    EXPECT_EQ(Px(adjusted, 3, 2)[3], Px(doc, 3, 2)[3]);
    // Brightness moves the three together.
    const Bitmap& brighter = Preview("TForm11", {-40});
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(Px(brighter, 9, 6)[c], clamp(Px(doc, 9, 6)[c] - 40));
    // Channel Filter: every colour byte takes the chosen channel; none chosen
    // is refused and shows the document.
    const int byteOf[] = {2, 1, 0};
    for (int channel = 0; channel < 3; ++channel) {
        const Bitmap& one = Preview("TForm9", {channel});
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(Px(one, 5, 5)[c], Px(doc, 5, 5)[byteOf[channel]]);
        EXPECT_EQ(Px(one, 5, 5)[3], Px(doc, 5, 5)[3]);
    }
    EXPECT_FALSE(PreviewFilter(ws, EffectForWindow(TWindow::ChannelFilter)->Filter, false, {-1}));
    EXPECT_TRUE(SamePixels(ws.DisplayCopy, doc));
    // Blur and Sharpen read the document: whatever the view held goes.
    ws.DisplayCopy = Bitmap(20, 10, 32);
    EXPECT_TRUE(SamePixels(Preview("TForm10", {0}), doc));
    EXPECT_FALSE(SamePixels(Preview("TForm10", {2}), doc));
    EXPECT_FALSE(SamePixels(Preview("TForm19", {0, 100}), doc));
}

TEST_F(FilterRuleTest, RangeFiltersChooseTheShapeAndKeepIt) {
    // A picture whose 8 x 8 cells are not uniform, so averaging shows.
    const Bitmap doc = S().Bitmap;
    TEffects& engine = EffectsOf(ws);
    // Ellipses, transparent: the cell corners lie outside and stay.
    const Bitmap& kept = Preview("TForm15", {8, 8, rtEllipse, 0});
    EXPECT_EQ(std::memcmp(Px(kept, 0, 0), Px(doc, 0, 0), 4), 0);
    EXPECT_NE(std::memcmp(Px(kept, 4, 4), Px(doc, 4, 4), 4), 0);
    EXPECT_EQ(engine.RangeType, rtEllipse);
    EXPECT_TRUE(engine.TransparentRange);
    // "Tranparent" unchecked: the corners are averaged too, as range 0.
    const Bitmap& solid = Preview("TForm15", {8, 8, rtEllipse, 1});
    EXPECT_NE(std::memcmp(Px(solid, 0, 0), Px(doc, 0, 0), 4), 0);
    EXPECT_EQ(std::memcmp(Px(solid, 0, 0), Px(solid, 7, 0), 4), 0) << "one range, one average";
    EXPECT_FALSE(engine.TransparentRange) << "left as chosen";

    // Rough Blur: W, H, RADIUS, QUALITY, TYPE, SOLID.
    Preview("TForm17", {4, 4, 1, 1, rtCross, 0});
    EXPECT_EQ(engine.RangeType, rtCross);
    EXPECT_TRUE(engine.TransparentRange);
    const Bitmap& rough = Preview("TForm17", {4, 4, 2, 0, rtRect, 1});
    EXPECT_FALSE(SamePixels(rough, doc));
    EXPECT_EQ(engine.RangeType, rtRect);
}
