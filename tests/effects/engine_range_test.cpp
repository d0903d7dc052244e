// Pixelization and rough blur against references that number the cells
// themselves.
#include <algorithm>
#include <limits>
#include <vector>

#include "doc/row_ranges.h"
#include "engine_support.h"

using namespace pixora;
using namespace enginetest;

namespace {

// Per cell (rectangle cells, numbered across then down) the truncated
// average of channel k; count 0 for no pixels.
struct Cells {
    int across = 0, down = 0;
    std::vector<long long> sum[4];
    std::vector<int> count;
};

Cells Measure(const Bitmap& b, int w, int h) {
    Cells c;
    c.across = (b.Width() + w - 1) / w;
    c.down = (b.Height() + h - 1) / h;
    const std::size_t n = static_cast<std::size_t>(c.across * c.down);
    for (auto& s : c.sum)
        s.assign(n, 0);
    c.count.assign(n, 0);
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            const std::size_t i = static_cast<std::size_t>((y / h) * c.across + x / w);
            for (int k = 0; k < 4; ++k)
                c.sum[k][i] += Px(b, x, y)[k];
            ++c.count[i];
        }
    return c;
}

Bitmap PixelizeReference(const Bitmap& b, int w, int h, const TChannelSet& on) {
    const Cells c = Measure(b, w, h);
    Bitmap t = b;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            const std::size_t i = static_cast<std::size_t>((y / h) * c.across + x / w);
            for (int k = 0; k < 4; ++k)
                if (on[k]) Px(t, x, y)[k] = static_cast<uint8_t>(c.sum[k][i] / c.count[i]);
        }
    return t;
}

Bitmap RoughReference(const Bitmap& b, int w, int h, const TChannelSet& on, bool fast, int e) {
    const Cells c = Measure(b, w, h);
    const int n = c.across, total = c.across * c.down;
    Bitmap t = b;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            const int i = (y / h) * n + x / w;
            for (int k = 0; k < 4; ++k) {
                if (!on[k]) continue;
                long long acc = 0, used = 0;
                const int step = fast ? e * n : n;
                for (int d = i - e * n; d <= i + e * n; d += (step ? step : 1)) {
                    if (step == 0 && d != i) continue;
                    for (int j = d - e; j <= d + e; ++j) {
                        if (j < 0 || j >= total) continue;
                        acc += c.sum[k][static_cast<std::size_t>(j)] / c.count[static_cast<std::size_t>(j)];
                        ++used;
                    }
                }
                Px(t, x, y)[k] = static_cast<uint8_t>(acc / used);
            }
        }
    return t;
}

// The range bitmap of an image of width x height as drawing every cell's
// shape in turn gives it, later cells over earlier ones.
Bitmap DrawEveryCell(int width, int height, TRangeType type, TShapePoints& shapes, int w, int h,
                     bool transparent) {
    Bitmap drawn(width, height, 24);
    const uint8_t background = transparent ? 255 : 0;
    drawn.Fill(background, background, background);
    int counter = transparent ? 0 : 1;
    for (int y = 0; y < height; y += h)
        for (int x = 0; x < width; x += w, ++counter)
            DrawRangeShape(drawn, type, shapes, x, y, w, h,
                           {static_cast<uint8_t>(counter >> 16), static_cast<uint8_t>(counter >> 8),
                            static_cast<uint8_t>(counter), 0});
    return drawn;
}

} // namespace

TEST(EngineRangeEffects, PixelizationAveragesEachCell) {
    const Bitmap original = RandomImage(301, 257, 41);
    for (auto [w, h] :
         {std::pair{8, 8}, std::pair{2, 50}, std::pair{13, 5}, std::pair{3, 3}, std::pair{400, 400}})
        for (const TChannelSet& on : {kAllChannels, TChannelSet{true, false, false, true}})
            for (bool fastLoops : {true, false}) {
                TEffects fx;
                fx.UseFastLoops = fastLoops;
                Bitmap b = original;
                ASSERT_TRUE(fx.Pixelization(b, on, w, h));
                EXPECT_TRUE(SameImage(b, PixelizeReference(original, w, h, on))) << w << "x" << h;
            }
    TEffects fx;
    Bitmap b = original;
    EXPECT_FALSE(fx.Pixelization(b, kAllChannels, 0, 8));
    EXPECT_FALSE(fx.Pixelization(b, kAllChannels, 8, std::numeric_limits<int>::max()));
    EXPECT_FALSE(fx.ScanRange(b, nullptr, std::numeric_limits<int>::max(), 8));
    EXPECT_FALSE(fx.Pixelization(b, TChannelSet{}, 8, 8));
    EXPECT_TRUE(SameImage(b, original));
    // The largest cells still work: one cell over the whole image.
    ASSERT_TRUE(fx.Pixelization(b, kAllChannels, 1 << 24, 1 << 24));
    EXPECT_TRUE(SameImage(b, PixelizeReference(original, 400, 400, kAllChannels)));
}

TEST(EngineRangeEffects, TransparentRangeDecidesAboutPixelsOutsideTheShapes) {
    const Bitmap original = RandomImage(64, 48, 42);
    TEffects fx;
    fx.RangeType = rtEllipse;
    Bitmap b = original;
    ASSERT_TRUE(fx.Pixelization(b, kAllChannels, 16, 16));
    // The corners of each cell lie outside its ellipse and keep their pixels.
    EXPECT_EQ(BytesAt(b, 0, 0), BytesAt(original, 0, 0));
    EXPECT_EQ(BytesAt(b, 16, 47), BytesAt(original, 16, 47));
    // Cell centres take their ellipse's average.
    EXPECT_EQ(BytesAt(b, 8, 8), BytesAt(b, 7, 9));

    fx.TransparentRange = false;
    b = original;
    ASSERT_TRUE(fx.Pixelization(b, kAllChannels, 16, 16));
    // Now all the outside pixels form range 0 and share one average.
    EXPECT_NE(BytesAt(b, 0, 0), BytesAt(original, 0, 0));
    EXPECT_EQ(BytesAt(b, 0, 0), BytesAt(b, 63, 47));
    EXPECT_EQ(BytesAt(b, 0, 0), BytesAt(b, 16, 31));
}

TEST(EngineRangeEffects, EveryShapeAveragesByTheRangeBitmap) {
    // The second walk must give each pixel its own range's average, for
    // whatever shape numbered the pixels.
    const Bitmap original = RandomImage(90, 70, 43);
    for (int t = 0; t < kRangeTypeCount; ++t)
        for (bool transparent : {true, false}) {
            TEffects fx;
            fx.RangeType = static_cast<TRangeType>(t);
            fx.TransparentRange = transparent;
            Bitmap b = original;
            ASSERT_TRUE(fx.Pixelization(b, kAllChannels, 9, 7));
            const Bitmap& ranges = fx.RangeBitmap();
            std::vector<long long> sum(2000 * 4, 0);
            std::vector<int> count(2000, 0);
            for (int y = 0; y < 70; ++y)
                for (int x = 0; x < 90; ++x) {
                    const int r = TCustomEffects::RangeIndexAt(ranges, x, y);
                    if (r == TCustomEffects::kNoRange) continue;
                    ASSERT_LT(r, 2000);
                    for (int k = 0; k < 4; ++k)
                        sum[static_cast<std::size_t>(4 * r + k)] += Px(original, x, y)[k];
                    ++count[static_cast<std::size_t>(r)];
                }
            for (int y = 0; y < 70; ++y)
                for (int x = 0; x < 90; ++x) {
                    const int r = TCustomEffects::RangeIndexAt(ranges, x, y);
                    for (int k = 0; k < 4; ++k) {
                        const int expected = r == TCustomEffects::kNoRange
                                                 ? Px(original, x, y)[k]
                                                 : static_cast<int>(sum[static_cast<std::size_t>(4 * r + k)] /
                                                                    count[static_cast<std::size_t>(r)]);
                        ASSERT_EQ(Px(b, x, y)[k], expected) << "shape " << t << " at " << x << "," << y;
                    }
                }
        }
}

TEST(EngineRangeEffects, RoughBlurAveragesNeighbouringRanges) {
    const Bitmap original = RandomImage(203, 151, 44);
    for (bool fast : {true, false})
        for (int e : {0, 1, 2, 5})
            for (bool fastLoops : {true, false}) {
                TEffects fx;
                fx.UseFastLoops = fastLoops;
                Bitmap b = original;
                ASSERT_TRUE(fx.RoughBlur(b, kAllChannels, fast, e, 8, 8));
                EXPECT_TRUE(SameImage(b, RoughReference(original, 8, 8, kAllChannels, fast, e)))
                    << (fast ? "fast" : "qualitative") << " radius " << e;
            }
    TEffects fx;
    Bitmap b = original;
    EXPECT_TRUE(fx.RoughBlur(b, 2, true, 1, 5, 9));
    EXPECT_TRUE(SameImage(b, RoughReference(original, 5, 9, SingleChannel(2), true, 1)));
    EXPECT_FALSE(fx.RoughBlur(b, kAllChannels, true, -1, 8, 8));
}

TEST(EngineRangeEffects, RangeBitmapIsEveryCellDrawnInTurn) {
    // Whatever short cut builds the range bitmap, it holds what drawing
    // every cell's shape in turn gives, later cells over earlier ones,
    // clipped at the border; and the shapes keep the last cell's rectangle.
    const Bitmap original = RandomImage(41, 29, 45);
    for (int t = 0; t < kRangeTypeCount; ++t)
        for (auto [w, h] : {std::pair{2, 2}, {3, 5}, {9, 7}, {16, 16}, {50, 3}})
            for (int margin : {2, 0, 4, -3})
                for (bool transparent : {true, false}) {
                    TEffects fx;
                    fx.RangeType = static_cast<TRangeType>(t);
                    fx.TransparentRange = transparent;
                    fx.ShapePoints.SetMargin(margin);
                    Bitmap b = original;
                    ASSERT_TRUE(fx.Pixelization(b, kAllChannels, w, h));

                    TShapePoints shapes;
                    shapes.SetMargin(margin);
                    const Bitmap drawn = DrawEveryCell(41, 29, fx.RangeType, shapes, w, h, transparent);
                    ASSERT_TRUE(SameImage(fx.RangeBitmap(), drawn))
                        << "shape " << t << " cell " << w << "x" << h << " margin " << margin;
                    EXPECT_EQ(fx.ShapePoints.Left(), shapes.Left());
                    EXPECT_EQ(fx.ShapePoints.Top(), shapes.Top());
                    EXPECT_EQ(fx.ShapePoints.Width(), shapes.Width());
                    EXPECT_EQ(fx.ShapePoints.Height(), shapes.Height());
                }
}

namespace {

// The effects component with the range bitmap's row reach in view.
struct TReachingEffects : TEffects {
    using TCustomEffects::RangeRowReach;
};

// The most rows apart two pixels of one range other than range 0 lie.
int WidestRange(const Bitmap& ranges) {
    std::vector<int> top, bottom;
    int widest = 0;
    for (int y = 0; y < ranges.Height(); ++y)
        for (int x = 0; x < ranges.Width(); ++x) {
            const int r = TCustomEffects::RangeIndexAt(ranges, x, y);
            if (r == 0 || r == TCustomEffects::kNoRange) continue;
            if (static_cast<std::size_t>(r) >= top.size()) {
                top.resize(static_cast<std::size_t>(r) + 1, -1);
                bottom.resize(top.size(), -1);
            }
            if (top[static_cast<std::size_t>(r)] < 0) top[static_cast<std::size_t>(r)] = y;
            bottom[static_cast<std::size_t>(r)] = y;
            widest = std::max(widest, y - top[static_cast<std::size_t>(r)]);
        }
    return widest;
}

} // namespace

TEST(EngineRangeEffects, BandsOfRowsGiveTheBytesOfOneWalk) {
    // The range bitmap drawn a band at a time and the sums gathered a band
    // at a time (the rows near a band's end and range 0 left for afterwards)
    // must give what one walk over every pixel gives, for shapes that reach
    // past their cell and cells of a pixel or two.
    const Bitmap original = RandomImage(37, 61, 46);
    for (int t = 0; t < kRangeTypeCount; ++t)
        for (auto [w, h] : {std::pair{1, 1}, {2, 2}, {3, 2}, {2, 5}, {8, 8}})
            for (int margin : {2, -3})
                for (bool transparent : {true, false}) {
                    TShapePoints shapes;
                    shapes.SetMargin(margin);
                    const Bitmap drawn =
                        DrawEveryCell(37, 61, static_cast<TRangeType>(t), shapes, w, h, transparent);
                    Bitmap pixelized, rough;
                    for (int bands : {1, 2, 5}) {
                        const TRowBandsOverride held(bands);
                        for (bool fastLoops : {false, true}) {
                            TReachingEffects fx;
                            fx.UseFastLoops = fastLoops;
                            fx.RangeType = static_cast<TRangeType>(t);
                            fx.TransparentRange = transparent;
                            fx.ShapePoints.SetMargin(margin);
                            Bitmap b = original;
                            ASSERT_TRUE(fx.Pixelization(b, kAllChannels, w, h));
                            ASSERT_TRUE(SameImage(fx.RangeBitmap(), drawn))
                                << "shape " << t << " cell " << w << "x" << h << " bands " << bands;
                            // The bands' seams rely on it.
                            if (fx.RangeRowReach() >= 0) {
                                ASSERT_LE(WidestRange(drawn), fx.RangeRowReach());
                            }
                            if (pixelized.Empty()) pixelized = b;
                            ASSERT_TRUE(SameImage(b, pixelized))
                                << "shape " << t << " cell " << w << "x" << h << " bands " << bands;
                            b = original;
                            ASSERT_TRUE(fx.RoughBlur(b, kAllChannels, false, 2, w, h));
                            if (rough.Empty()) rough = b;
                            ASSERT_TRUE(SameImage(b, rough))
                                << "shape " << t << " cell " << w << "x" << h << " bands " << bands;
                            EXPECT_EQ(fx.ShapePoints.Left(), shapes.Left());
                            EXPECT_EQ(fx.ShapePoints.Top(), shapes.Top());
                        }
                    }
                }
}
