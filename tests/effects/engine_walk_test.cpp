// The pixel walks: masks, Continue and index jumps, the range walk and its
// shapes, and the callback slots around effects.
#include <atomic>
#include <functional>
#include <stdexcept>
#include <vector>

#include "effects/engine/shape_points.h"
#include "engine_support.h"

using namespace pixora;
using namespace enginetest;

namespace {

std::vector<TPoint> Visits(TEffects& fx, Bitmap& b, Bitmap* mask = nullptr) {
    std::vector<TPoint> seen;
    fx.OnScan = [&](TPixelRef&, int& x, int& y, void*, bool&) { seen.push_back({x, y}); };
    fx.Scan(b, nullptr, mask);
    return seen;
}

} // namespace

TEST(EngineWalks, SingleWalkVisitsRowsInOrderAndHonoursMasks) {
    TEffects fx;
    Bitmap b(3, 2);
    auto all = Visits(fx, b);
    ASSERT_EQ(all.size(), 6u);
    EXPECT_EQ(all[1], (TPoint{1, 0}));
    EXPECT_EQ(all[3], (TPoint{0, 1}));

    // Masked with an empty MaskBitmap: every pixel.
    fx.Masked = true;
    EXPECT_EQ(Visits(fx, b).size(), 6u);

    // A mask pixel counts only with all four bytes equal to the mask colour.
    fx.MaskBitmap = Bitmap(3, 2);
    SetPx(fx.MaskBitmap, 2, 0, {255, 255, 255, 255});
    SetPx(fx.MaskBitmap, 0, 1, {255, 255, 255, 254});
    EXPECT_EQ(Visits(fx, b), (std::vector<TPoint>{{2, 0}}));

    // A MaskBitmap smaller than the image is dropped.
    fx.MaskBitmap = Bitmap(2, 2);
    EXPECT_EQ(Visits(fx, b).size(), 6u);

    // A given mask is centred on the image; the padding uses the fill colour.
    Bitmap given(1, 1);
    SetPx(given, 0, 0, {255, 255, 255, 255});
    EXPECT_EQ(Visits(fx, b, &given), (std::vector<TPoint>{{1, 0}})); // (3-1)/2, (2-1)/2
    fx.SetMaskFillColour({255, 255, 255, 255});
    EXPECT_EQ(Visits(fx, b, &given).size(), 6u);

    fx.Masked = false;
    EXPECT_EQ(Visits(fx, b, &given).size(), 6u);
    Bitmap empty;
    EXPECT_FALSE(fx.Scan(empty, nullptr));
}

TEST(EngineWalks, CallbacksCanStopOrMoveTheWalk) {
    TEffects fx;
    Bitmap b(4, 3);
    std::vector<TPoint> seen;
    fx.OnScan = [&](TPixelRef&, int& x, int& y, void*, bool& cont) {
        seen.push_back({x, y});
        if (x == 1 && y == 0) {
            x = 3; // jump ahead in the row
            y = 1;
        } else if (x == 3 && y == 1) {
            x = -5; // negative positions count as 0
            y = 2;
        } else if (y == 2 && x == 1) {
            cont = false;
        }
    };
    EXPECT_TRUE(fx.Scan(b, nullptr));
    EXPECT_EQ(seen, (std::vector<TPoint>{{0, 0}, {1, 0}, {3, 1}, {0, 2}, {1, 2}}));

    // The pair walk hands over the other bitmap's rows and the data pointer.
    Bitmap other(4, 3);
    const TLines lines{other.Row(0), other.Row(1), other.Row(2)};
    int calls = 0, tag = 7;
    fx.OnScanPair = [&](TPixelRef& p, int& x, int& y, const TLines& l, void* data, bool&) {
        EXPECT_EQ(l[static_cast<std::size_t>(y)], other.Row(y));
        EXPECT_EQ(data, &tag);
        EXPECT_EQ(p.B, b.Row(y) + 4 * x);
        EXPECT_EQ(p.T, b.Row(y) + 4 * x + 3);
        ++calls;
    };
    fx.ScanPair(b, lines, &tag);
    EXPECT_EQ(calls, 12);
}

TEST(EngineWalks, RangeWalkNumbersCellsAndSkipsWhite) {
    TEffects fx;
    Bitmap b(5, 3);
    struct Visit {
        int x, y, range;
        TRect cell;
    };
    std::vector<Visit> seen;
    fx.OnScanRange = [&](TPixelRef&, int& x, int& y, int range, TRect& cell, void*, bool&) {
        seen.push_back({x, y, range, cell});
    };
    fx.RangeType = rtFrame; // a 3x3 frame leaves the centre white
    ASSERT_TRUE(fx.ScanRange(b, nullptr, 3, 3));
    // Cells: (0..2) is range 0, (3..5) range 1 (clipped to columns 3..4,
    // so its frame misses (4, 1)).
    EXPECT_EQ(seen.size(), 8u + 5u);
    for (const Visit& v : seen) {
        EXPECT_FALSE(v.y == 1 && (v.x == 1 || v.x == 4)) << "outside every range";
        EXPECT_EQ(v.range, v.x / 3);
        EXPECT_EQ(v.cell, (TRect{v.x - v.x % 3, 0, v.x - v.x % 3 + 3, 3}));
    }
    // Not transparent: the background is range 0 and the cells count from 1.
    fx.TransparentRange = false;
    seen.clear();
    fx.ScanRange(b, nullptr, 3, 3);
    EXPECT_EQ(seen.size(), 15u);
    for (const Visit& v : seen) {
        if (v.y == 1 && (v.x == 1 || v.x == 4))
            EXPECT_EQ(v.range, 0);
        else
            EXPECT_EQ(v.range, v.x / 3 + 1);
    }
    EXPECT_EQ(fx.RangeBitmap().BitsPerPixel(), 24);
    EXPECT_FALSE(fx.ScanRange(b, nullptr, 0, 3));
}

TEST(EngineWalks, RangeShapesStayInsideTheirCellsAndFollowTheMargin) {
    TShapePoints sp;
    sp.SetRect(10, 20, 8, 4); // 4 < 8: width shrinks; 4 < 4 fails: height kept
    EXPECT_EQ(sp.Left(), 8);
    EXPECT_EQ(sp.Width(), 6);
    EXPECT_EQ(sp.Top(), 20);
    EXPECT_EQ(sp.Height(), 4);
    EXPECT_EQ(sp.Points(0), (std::vector<TPoint>{{11, 20}, {14, 24}, {8, 24}}));
    EXPECT_EQ(sp.Points(5).size(), 12u);
    EXPECT_TRUE(sp.Points(6).empty());

    // Every shape covers some pixels of its cell; a single cell's drawing
    // never reaches beyond one pixel past the cell.
    for (int t = 0; t < kRangeTypeCount; ++t) {
        Bitmap canvas(40, 40, 24);
        canvas.Fill(255, 255, 255);
        TShapePoints shapes;
        DrawRangeShape(canvas, static_cast<TRangeType>(t), shapes, 10, 10, 16, 12, {0, 0, 0, 0});
        int inside = 0, outside = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                if (TCustomEffects::RangeIndexAt(canvas, x, y) == TCustomEffects::kNoRange) continue;
                const bool in = x >= 10 && x < 26 && y >= 10 && y < 22;
                (in ? inside : outside)++;
                EXPECT_TRUE(x >= 8 && x <= 26 && y >= 8 && y <= 22)
                    << "shape " << t << " at " << x << "," << y;
            }
        EXPECT_GT(inside, 0) << "shape " << t;
        if (t == rtRect) {
            EXPECT_EQ(inside, 16 * 12);
        }
        if (t == rtRect || t == rtEllipse || t == rtFrame) {
            EXPECT_EQ(outside, 0) << "shape " << t;
        }
        if (t == rtFrame) {
            EXPECT_EQ(inside, 2 * 16 + 2 * 10);
        }
    }
}

namespace {

// An engine whose walks fail after a few pixels, as a failing callback or an
// allocation in the middle of a walk would: each walk wraps the callback in
// its slot with one that throws on the sixth pixel.
class FailingEffects : public TEffects {
public:
    FailingEffects() { UseFastLoops = false; }
    bool Scan(Bitmap& bitmap, void* data, Bitmap* mask) override {
        const TScanEvent inner = OnScan;
        OnScan = [&, left = 5](TPixelRef& p, int& x, int& y, void* d, bool& c) mutable {
            Fail(left);
            inner(p, x, y, d, c);
        };
        return TEffects::Scan(bitmap, data, mask);
    }
    bool ScanPair(Bitmap& bitmap, const TLines& lines, void* data, Bitmap* mask) override {
        const TScanPairEvent inner = OnScanPair;
        OnScanPair = [&, left = 5](TPixelRef& p, int& x, int& y, const TLines& l, void* d, bool& c) mutable {
            Fail(left);
            inner(p, x, y, l, d, c);
        };
        return TEffects::ScanPair(bitmap, lines, data, mask);
    }
    bool ScanRange(Bitmap& bitmap, void* data, int w, int h, const Bitmap* ranges) override {
        const TScanRangeEvent inner = OnScanRange;
        OnScanRange = [&, left = 5](TPixelRef& p, int& x, int& y, int r, TRect& rc, void* d,
                                    bool& c) mutable {
            Fail(left);
            inner(p, x, y, r, rc, d, c);
        };
        return TEffects::ScanRange(bitmap, data, w, h, ranges);
    }

private:
    static void Fail(int& left) {
        if (left-- == 0) throw std::runtime_error("callback failed");
    }
};

// Counts the calls of the user callbacks installed in all three slots.
struct UserCallbacks {
    int scan = 0, pair = 0, range = 0;
    void Install(TCustomEffects& fx) {
        fx.OnScan = [this](TPixelRef&, int&, int&, void*, bool&) { ++scan; };
        fx.OnScanPair = [this](TPixelRef&, int&, int&, const TLines&, void*, bool&) { ++pair; };
        fx.OnScanRange = [this](TPixelRef&, int&, int&, int, TRect&, void*, bool&) { ++range; };
    }
    // Runs the three slots on a plain engine and counts what they did.
    void Probe(const TCustomEffects& from, Bitmap& b) {
        scan = pair = range = 0;
        TEffects plain;
        plain.OnScan = from.OnScan;
        plain.OnScanPair = from.OnScanPair;
        plain.OnScanRange = from.OnScanRange;
        plain.Scan(b, nullptr);
        plain.ScanPair(b, {}, nullptr);
        plain.ScanRange(b, nullptr, 2, 2);
    }
};

} // namespace

TEST(EngineWalks, EffectsPutTheUserCallbacksBack) {
    // An effect of each walk kind fails inside its walk; the user's three
    // callbacks are in their slots afterwards.
    const std::vector<std::pair<const char*, std::function<bool(TEffects&, Bitmap&)>>> effects = {
        {"invert (single walk)", [](TEffects& fx, Bitmap& b) { return fx.Invert(b, kAllChannels); }},
        {"blur (pair walk)",
         [](TEffects& fx, Bitmap& b) {
             Bitmap t;
             return fx.Blur(b, t, 1, kAllChannels);
         }},
        {"rotate left (pair walk)",
         [](TEffects& fx, Bitmap& b) {
             Bitmap t;
             return fx.RotateLeft(b, t, {});
         }},
        {"pixelization (range walk)",
         [](TEffects& fx, Bitmap& b) { return fx.Pixelization(b, kAllChannels, 2, 2); }},
    };
    for (const auto& [name, effect] : effects) {
        FailingEffects fx;
        UserCallbacks user;
        user.Install(fx);
        Bitmap b(4, 4);
        EXPECT_THROW(effect(fx, b), std::runtime_error) << name;
        user.Probe(fx, b);
        EXPECT_EQ(user.scan, 16) << name;
        EXPECT_EQ(user.pair, 16) << name;
        EXPECT_EQ(user.range, 16) << name;
    }
    // Five pixels were inverted before the failure: the image is left
    // partly changed.
    FailingEffects fx;
    Bitmap b(4, 4);
    EXPECT_THROW(fx.Invert(b, kAllChannels), std::runtime_error);
    EXPECT_EQ(Px(b, 0, 1)[0], 255);
    EXPECT_EQ(Px(b, 1, 1)[0], 0);
}

TEST(EngineWalks, UserCallbacksMayRunEffectsAndThrow) {
    // A user callback that runs an effect of the same component: the effect
    // takes the slot for its own walk and gives it back, and the user's
    // walk carries on with the user's callback.
    TEffects fx;
    Bitmap b(3, 3), other(5, 5);
    int calls = 0;
    fx.OnScan = [&](TPixelRef&, int&, int&, void*, bool&) {
        if (++calls == 2) {
            EXPECT_TRUE(fx.Invert(other, kAllChannels));
        }
        if (calls == 4) throw std::logic_error("user");
    };
    EXPECT_THROW(fx.Scan(b, nullptr), std::logic_error);
    EXPECT_EQ(calls, 4);
    EXPECT_EQ(BytesAt(other, 4, 4), (TPixelBytes{255, 255, 255, 255}));
    // Still the user's callback: it counts on (and throws at 4 no more).
    calls = 10;
    EXPECT_TRUE(fx.Scan(b, nullptr));
    EXPECT_EQ(calls, 19);
    // Effects afterwards work and leave it in place.
    EXPECT_TRUE(fx.Invert(b, kAllChannels));
    calls = 10;
    fx.Scan(b, nullptr);
    EXPECT_EQ(calls, 19);
}

namespace {

// Exposes the band runner.
class BandEffects : public TEffects {
public:
    using TCustomEffects::RunBands;
    using TCustomEffects::TFastWalk;
};

} // namespace

TEST(EngineWalks, BandFailuresReachTheCaller) {
    // A band that fails on another thread must not end the program: its
    // exception comes back to the caller once every band has finished.
    std::atomic<int> rows{0};
    BandEffects::TFastWalk fast{[&](int y0, int y1, const Bitmap*) {
                                    for (int y = y0; y < y1; ++y) {
                                        if (y == 700) throw std::runtime_error("band failed");
                                        ++rows;
                                    }
                                },
                                true};
    EXPECT_THROW(BandEffects::RunBands(fast, 1000, 1000, nullptr), std::runtime_error);
    // The rows of the bands that did not fail were all done.
    EXPECT_GE(rows.load(), 500);
    fast.Bands = [&](int y0, int y1, const Bitmap*) { rows += y1 - y0; };
    rows = 0;
    BandEffects::RunBands(fast, 1000, 1000, nullptr);
    EXPECT_EQ(rows.load(), 1000);
}

TEST(EngineWalks, MaskedEffectsChangeOnlyMarkedPixels) {
    TEffects fx;
    fx.Masked = true;
    fx.MaskBitmap = RandomImage(120, 90, 11);
    // Mark about half the pixels.
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 120; ++x)
            if (Px(fx.MaskBitmap, x, y)[0] & 1) SetPx(fx.MaskBitmap, x, y, {255, 255, 255, 255});
    const Bitmap original = RandomImage(120, 90, 12);
    for (bool fastLoops : {true, false}) {
        fx.UseFastLoops = fastLoops;
        Bitmap b = original, blurred;
        fx.Invert(b, kAllChannels);
        Bitmap source = original;
        fx.Blur(source, blurred, 2, kAllChannels);
        fx.Masked = false;
        Bitmap full;
        fx.Blur(source, full, 2, kAllChannels);
        fx.Masked = true;
        for (int y = 0; y < 90; ++y)
            for (int x = 0; x < 120; ++x) {
                const bool marked = BytesAt(fx.MaskBitmap, x, y) == TPixelBytes{255, 255, 255, 255};
                EXPECT_EQ(Px(b, x, y)[2], marked ? 255 - Px(original, x, y)[2] : Px(original, x, y)[2]);
                EXPECT_EQ(BytesAt(blurred, x, y), marked ? BytesAt(full, x, y) : BytesAt(original, x, y));
            }
    }
}
