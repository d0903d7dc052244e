// Per-pixel effects against references written straight from their rules,
// on random images, through both the band loops and the per-pixel callbacks.
#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "doc/noise_stream.h"
#include "engine_support.h"

using namespace pixora;
using namespace enginetest;

namespace {

using Reference = std::function<void(Bitmap&)>;
using Effect = std::function<bool(TEffects&, Bitmap&)>;

// Runs the effect with fast loops on and off on the same random images and
// compares both with the reference.
void CheckAgainstReference(const Effect& effect, const Reference& reference, uint32_t seed = 1) {
    for (const auto& size : {std::pair{37, 23}, std::pair{300, 260}}) {
        const Bitmap original = RandomImage(size.first, size.second, seed++);
        Bitmap expected = original;
        reference(expected);
        for (bool fastLoops : {true, false}) {
            TEffects fx;
            fx.UseFastLoops = fastLoops;
            Bitmap actual = original;
            ASSERT_TRUE(effect(fx, actual));
            EXPECT_TRUE(SameImage(actual, expected)) << (fastLoops ? "band loops" : "per-pixel callbacks");
        }
    }
}

void ForEachPixel(Bitmap& b, const std::function<void(uint8_t*, int, int)>& f) {
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            f(Px(b, x, y), x, y);
}

int Mean(const uint8_t* p, const TChannelSet& on) {
    int sum = 0, n = 0;
    for (int k = 0; k < 4; ++k)
        if (on[k]) {
            sum += p[k];
            ++n;
        }
    return sum / n;
}

} // namespace

TEST(EnginePointEffects, MatchTheirRulesOnRandomImages) {
    for (const TChannelSet& on : kSets) {
        SCOPED_TRACE(::testing::Message() << on[0] << on[1] << on[2] << on[3]);
        CheckAgainstReference([&](TEffects& fx, Bitmap& b) { return fx.Invert(b, on); },
                              [&](Bitmap& b) {
                                  ForEachPixel(b, [&](uint8_t* p, int, int) {
                                      for (int k = 0; k < 4; ++k)
                                          if (on[k]) p[k] = static_cast<uint8_t>(255 - p[k]);
                                  });
                              });
        for (const auto& change :
             {std::pair{TChannelValues{-300, 77, 255, -12}, TChannelSet{true, false, true, false}},
              std::pair{TChannelValues{32767, -32768, 256, -257}, TChannelSet{false, true, false, true}},
              std::pair{TChannelValues{-32768, 32767, -1, 1}, TChannelSet{false, true, true, false}}}) {
            const TChannelValues& deltas = change.first;
            const TChannelSet& wrap = change.second;
            CheckAgainstReference(
                [&](TEffects& fx, Bitmap& b) { return fx.ColourAdjust(b, on, deltas, wrap); },
                [&](Bitmap& b) {
                    ForEachPixel(b, [&](uint8_t* p, int, int) {
                        for (int k = 0; k < 4; ++k) {
                            if (!on[k]) continue;
                            const int v = p[k] + deltas[k];
                            p[k] = static_cast<uint8_t>(wrap[k] ? ((v % 256) + 256) % 256 : Clamp(v));
                        }
                    });
                });
        }
        for (const TChannelValues& amounts :
             {TChannelValues{-255, 120, 255, 31}, TChannelValues{32767, -32768, -1, 1}})
            CheckAgainstReference([&](TEffects& fx, Bitmap& b) { return fx.Contrast(b, on, amounts); },
                                  [&](Bitmap& b) {
                                      ForEachPixel(b, [&](uint8_t* p, int, int) {
                                          for (int k = 0; k < 4; ++k)
                                              if (on[k])
                                                  p[k] = static_cast<uint8_t>(
                                                      Clamp(p[k] - amounts[k] * (127 - p[k]) / 255));
                                      });
                                  });
        for (int s : {0, 100, 255}) {
            CheckAgainstReference(
                [&](TEffects& fx, Bitmap& b) { return fx.Saturation(b, on, static_cast<uint8_t>(s)); },
                [&](Bitmap& b) {
                    ForEachPixel(b, [&](uint8_t* p, int, int) {
                        const int m = Mean(p, on);
                        for (int k = 0; k < 4; ++k)
                            if (on[k]) p[k] = static_cast<uint8_t>((p[k] - m) * s / 255 + m);
                    });
                });
        }
        for (int t : {0, 90, 254, 255}) {
            CheckAgainstReference(
                [&](TEffects& fx, Bitmap& b) { return fx.Solarize(b, on, static_cast<uint8_t>(t)); },
                [&](Bitmap& b) {
                    ForEachPixel(b, [&](uint8_t* p, int, int) {
                        if (t < Mean(p, on))
                            for (int k = 0; k < 4; ++k)
                                p[k] = static_cast<uint8_t>(255 - p[k]);
                    });
                });
        }
    }
}

TEST(EnginePointEffects, PosterizeRoundsHalvesToEvenOnAllFourBytes) {
    for (int step : {0, 1, 2, 3, 10, 100, 255}) {
        const int l = step == 0 ? 1 : step;
        CheckAgainstReference(
            [&](TEffects& fx, Bitmap& b) { return fx.Posterize(b, 2, static_cast<uint8_t>(step)); },
            [&](Bitmap& b) {
                ForEachPixel(b, [&](uint8_t* p, int, int) {
                    for (int k = 0; k < 4; ++k)
                        p[k] = static_cast<uint8_t>(
                            Clamp(static_cast<int>(std::nearbyint(p[k] / double(l))) * l));
                });
            });
    }
    TEffects fx;
    Bitmap b(4, 1);
    const uint8_t values[4] = {1, 3, 5, 7}; // halves with step 2: 0.5 1.5 2.5 3.5
    for (int x = 0; x < 4; ++x)
        SetPx(b, x, 0, {values[x], 0, 0, 0});
    fx.Posterize(b, kAllChannels, 2);
    EXPECT_EQ(Px(b, 0, 0)[0], 0);
    EXPECT_EQ(Px(b, 1, 0)[0], 4);
    EXPECT_EQ(Px(b, 2, 0)[0], 4);
    EXPECT_EQ(Px(b, 3, 0)[0], 8);
}

TEST(EnginePointEffects, NoiseFollowsItsDrawsAndStaysInRange) {
    for (int n : {1, 7, 255}) {
        for (const TChannelSet& on : kSets) {
            const uint32_t seed =
                static_cast<uint32_t>(std::mt19937(42)()); // first draw after SetRandomSeed(42)
            CheckAgainstReference(
                [&](TEffects& fx, Bitmap& b) {
                    fx.SetRandomSeed(42);
                    return fx.Noise(b, on, static_cast<uint8_t>(n));
                },
                [&](Bitmap& b) {
                    for (int y = 0; y < b.Height(); ++y) {
                        TNoiseStream stream(seed, y);
                        for (int x = 0; x < b.Width(); ++x) {
                            uint16_t words[8];
                            stream.Next(words);
                            uint8_t* p = Px(b, x, y);
                            for (int k = 0; k < 4; ++k)
                                if (on[k])
                                    p[k] = static_cast<uint8_t>(Clamp(p[k] + TNoiseStream::Draw(words[k], n) -
                                                                      TNoiseStream::Draw(words[4 + k], n)));
                        }
                    }
                });
        }
    }
    // Every word of the streams gives uniform draws over 0..n-1, and the
    // rows' streams differ.
    std::vector<int> hits(8 * 5, 0);
    for (int y = 0; y < 50; ++y) {
        TNoiseStream stream(9, y);
        for (int x = 0; x < 1000; ++x) {
            uint16_t words[8];
            stream.Next(words);
            for (int i = 0; i < 8; ++i) {
                const int d = TNoiseStream::Draw(words[i], 5);
                ASSERT_GE(d, 0);
                ASSERT_LT(d, 5);
                ++hits[static_cast<std::size_t>(5 * i + d)];
            }
        }
    }
    for (int h : hits)
        EXPECT_NEAR(h, 10000, 400);
    uint16_t first[8], second[8];
    TNoiseStream(9, 0).Next(first);
    TNoiseStream(9, 1).Next(second);
    EXPECT_FALSE(std::equal(first, first + 8, second));
    EXPECT_EQ(TNoiseStream::Draw(65535, 255), 254);
    EXPECT_EQ(TNoiseStream::Draw(65535, 0), 0);

    // Two runs differ (fresh draws per run), amplitude 0 changes nothing.
    TEffects fx;
    const Bitmap original = RandomImage(64, 64, 5);
    Bitmap a = original, b = original;
    fx.Noise(a, kAllChannels, 50);
    fx.Noise(b, kAllChannels, 50);
    EXPECT_FALSE(SameImage(a, b));
    Bitmap quiet = original;
    EXPECT_TRUE(fx.Noise(quiet, kAllChannels, 0));
    EXPECT_TRUE(SameImage(quiet, original));
}

TEST(EnginePointEffects, MaskedNoiseGivesMarkedPixelsTheirUnmaskedValues) {
    // A pixel's draws depend on its position alone, so skipping pixels of a
    // mask must not shift the draws of the pixels after them.
    const Bitmap original = RandomImage(300, 240, 13);
    TEffects plain;
    plain.SetRandomSeed(5);
    Bitmap full = original;
    plain.Noise(full, kAllChannels, 200);
    for (bool fastLoops : {true, false}) {
        TEffects fx;
        fx.UseFastLoops = fastLoops;
        fx.Masked = true;
        fx.MaskBitmap = Bitmap(300, 240);
        std::mt19937 rng(3);
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 300; ++x)
                if (rng() % 3 == 0) SetPx(fx.MaskBitmap, x, y, {255, 255, 255, 255});
        fx.SetRandomSeed(5);
        Bitmap b = original;
        ASSERT_TRUE(fx.Noise(b, kAllChannels, 200));
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 300; ++x) {
                const bool marked = BytesAt(fx.MaskBitmap, x, y) == TPixelBytes{255, 255, 255, 255};
                ASSERT_EQ(BytesAt(b, x, y), marked ? BytesAt(full, x, y) : BytesAt(original, x, y))
                    << x << "," << y << (fastLoops ? " bands" : " callbacks");
            }
    }
}

TEST(EnginePointEffects, ColourFilterReplacesByWindowAndModes) {
    const TPixelBytes lower{40, 0, 100, 0}, upper{200, 90, 255, 0}, repl{1, 2, 3, 4};
    for (bool outside : {false, true})
        for (bool invert : {false, true})
            for (const TChannelSet& flags :
                 {TChannelSet{true, true, true, false}, TChannelSet{false, true, false, true}}) {
                CheckAgainstReference(
                    [&](TEffects& fx, Bitmap& b) {
                        return fx.ColourFilter(b, lower, upper, flags, repl, outside, invert);
                    },
                    [&](Bitmap& b) {
                        const uint8_t lo[3] = {lower.B, lower.G, lower.R},
                                      hi[3] = {upper.B, upper.G, upper.R};
                        ForEachPixel(b, [&](uint8_t* p, int, int) {
                            bool any = false;
                            for (int k = 0; k < 3; ++k)
                                if (flags[k]) any = any || ((lo[k] <= p[k] && p[k] <= hi[k]) != outside);
                            if (any != invert) {
                                p[0] = repl.B;
                                p[1] = repl.G;
                                p[2] = repl.R;
                                p[3] = repl.T;
                            }
                        });
                    });
            }
    // As the Colour Filter dialog uses it: outside the window is replaced.
    TEffects fx;
    const Bitmap original = RandomImage(50, 50, 8);
    Bitmap b = original;
    fx.ColourFilter(b, {0, 0, 0, 0}, {255, 255, 255, 0}, kColourChannels, {}, true, false);
    EXPECT_TRUE(SameImage(b, original));
    fx.ColourFilter(b, {0, 0, 0, 0}, {255, 255, 100, 0}, kColourChannels, {}, true, false);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x) {
            const bool replaced = Px(original, x, y)[2] > 100;
            EXPECT_EQ(BytesAt(b, x, y), replaced ? TPixelBytes{} : BytesAt(original, x, y));
        }
    // Only the fourth byte flagged: nothing to filter on.
    EXPECT_FALSE(fx.ColourFilter(b, {}, {}, {false, false, false, true}, {}, true, false));
    EXPECT_FALSE(fx.ColourFilter(b, 3, 0, 10, {}, true, false));
}

TEST(EnginePointEffects, WorkedValuesFromTheRules) {
    TEffects fx;
    Bitmap b(1, 1);
    SetPx(b, 0, 0, {200, 200, 200, 0});
    fx.ColourAdjust(b, 0, 255, false);
    fx.ColourAdjust(b, 1, 255, true);
    EXPECT_EQ(BytesAt(b, 0, 0), (TPixelBytes{255, 199, 200, 0}));

    // Saturation 255 keeps the pixel; 0 gives the average, fourth byte counted.
    SetPx(b, 0, 0, {10, 20, 60, 10});
    fx.Saturation(b, kAllChannels, 255);
    EXPECT_EQ(BytesAt(b, 0, 0), (TPixelBytes{10, 20, 60, 10}));
    fx.Saturation(b, kAllChannels, 0);
    EXPECT_EQ(BytesAt(b, 0, 0), (TPixelBytes{25, 25, 25, 25}));

    // Solarize 0 inverts any pixel with a non-zero average, not a black one.
    Bitmap two(2, 1);
    SetPx(two, 0, 0, {0, 0, 0, 0});
    SetPx(two, 1, 0, {0, 0, 0, 4});
    fx.Solarize(two, kAllChannels, 0);
    EXPECT_EQ(BytesAt(two, 0, 0), (TPixelBytes{0, 0, 0, 0}));
    EXPECT_EQ(BytesAt(two, 1, 0), (TPixelBytes{255, 255, 255, 251}));
    const Bitmap before = two;
    fx.Solarize(two, kAllChannels, 255);
    EXPECT_TRUE(SameImage(two, before));

    // Contrast, c - a x (127 - c) / 255 truncated, then clamped: blue
    // 200 - 120 x (-73) / 255 = 200 + 34 = 234; green 50 - 9240 / 255 =
    // 50 - 36 = 14; red 10 + 29835 / 255 = 127; the fourth byte at 127
    // stays. Second pixel: 0 - 59 -> 0, 255 + 60 -> 255, 100 + 27 = 127,
    // 30 - 96903 / 255 = 30 - 380 -> 0.
    Bitmap c(2, 1);
    SetPx(c, 0, 0, {200, 50, 10, 127});
    SetPx(c, 1, 0, {0, 255, 100, 30});
    fx.Contrast(c, kAllChannels, TChannelValues{120, 120, -255, 999});
    EXPECT_EQ(BytesAt(c, 0, 0), (TPixelBytes{234, 14, 127, 127}));
    EXPECT_EQ(BytesAt(c, 1, 0), (TPixelBytes{0, 255, 127, 0}));

    // Posterize step 0 is step 1: unchanged.
    const Bitmap original = RandomImage(30, 30, 3);
    for (uint8_t step : {0, 1}) {
        Bitmap p = original;
        EXPECT_TRUE(fx.Posterize(p, kAllChannels, step));
        EXPECT_TRUE(SameImage(p, original)) << "step " << int(step);
    }
}

TEST(EnginePointEffects, SingleChannelFormsEqualTheirOneChannelSets) {
    // Each single-channel form must put its values on the given channel and
    // nowhere else: the same result as the set form with that channel alone.
    const Bitmap original = RandomImage(70, 40, 6);
    using Both = std::function<bool(TEffects&, Bitmap&, int k, bool single)>;
    const std::vector<std::pair<const char*, Both>> effects = {
        {"invert", [](TEffects& fx, Bitmap& b, int k,
                      bool one) { return one ? fx.Invert(b, k) : fx.Invert(b, SingleChannel(k)); }},
        {"colour adjust",
         [](TEffects& fx, Bitmap& b, int k, bool one) {
             TChannelValues d{};
             d[k] = static_cast<int16_t>(90 + k);
             TChannelSet w{};
             w[k] = k % 2 == 0;
             return one ? fx.ColourAdjust(b, k, d[k], w[k]) : fx.ColourAdjust(b, SingleChannel(k), d, w);
         }},
        {"contrast",
         [](TEffects& fx, Bitmap& b, int k, bool one) {
             TChannelValues a{};
             a[k] = static_cast<int16_t>(-200 + 60 * k);
             return one ? fx.Contrast(b, k, a[k]) : fx.Contrast(b, SingleChannel(k), a);
         }},
        {"saturation",
         [](TEffects& fx, Bitmap& b, int k, bool one) {
             return one ? fx.Saturation(b, k, 40) : fx.Saturation(b, SingleChannel(k), 40);
         }},
        {"solarize",
         [](TEffects& fx, Bitmap& b, int k, bool one) {
             return one ? fx.Solarize(b, k, 100) : fx.Solarize(b, SingleChannel(k), 100);
         }},
        {"posterize",
         [](TEffects& fx, Bitmap& b, int k, bool one) {
             return one ? fx.Posterize(b, k, 30) : fx.Posterize(b, SingleChannel(k), 30);
         }},
        {"noise",
         [](TEffects& fx, Bitmap& b, int k, bool one) {
             fx.SetRandomSeed(3);
             return one ? fx.Noise(b, k, 60) : fx.Noise(b, SingleChannel(k), 60);
         }},
        {"fill", [](TEffects& fx, Bitmap& b, int k,
                    bool one) { return one ? fx.Fill(b, k, 77) : fx.Fill(b, SingleChannel(k), 77); }},
        {"colour filter",
         [](TEffects& fx, Bitmap& b, int k, bool one) {
             const TPixelBytes lo{50, 50, 50, 50}, hi{180, 180, 180, 180}, repl{9, 8, 7, 6};
             return one ? fx.ColourFilter(b, k, 50, 180, repl, true, k == 1)
                        : fx.ColourFilter(b, lo, hi, SingleChannel(k), repl, true, k == 1);
         }},
        {"blur",
         [](TEffects& fx, Bitmap& b, int k, bool one) {
             Bitmap s = b;
             return one ? fx.Blur(s, b, 2, k) : fx.Blur(s, b, 2, SingleChannel(k));
         }},
        {"sharpen",
         [](TEffects& fx, Bitmap& b, int k, bool one) {
             Bitmap s = b;
             return one ? fx.Sharpen(s, b, k, 1, 10, 60, static_cast<uint8_t>(k % 2))
                        : fx.Sharpen(s, b, SingleChannel(k), 1, 10, 60, static_cast<uint8_t>(k % 2));
         }},
        {"pixelization",
         [](TEffects& fx, Bitmap& b, int k, bool one) {
             return one ? fx.Pixelization(b, k, 6, 5) : fx.Pixelization(b, SingleChannel(k), 6, 5);
         }},
        {"rough blur",
         [](TEffects& fx, Bitmap& b, int k, bool one) {
             return one ? fx.RoughBlur(b, k, k % 2 == 0, 1, 6, 5)
                        : fx.RoughBlur(b, SingleChannel(k), k % 2 == 0, 1, 6, 5);
         }},
    };
    for (const auto& [name, run] : effects)
        for (int k = 0; k < 4; ++k) {
            TEffects fx;
            Bitmap a = original, b = original;
            const bool ranA = run(fx, a, k, true), ranB = run(fx, b, k, false);
            EXPECT_EQ(ranA, ranB) << name << " channel " << k;
            EXPECT_TRUE(SameImage(a, b)) << name << " channel " << k;
            // Only the colour filter (fourth byte excluded) refuses a channel.
            EXPECT_EQ(ranA, std::string(name) != "colour filter" || k < 3) << name << " channel " << k;
            if (std::string(name) == "colour filter" || std::string(name) == "solarize" ||
                std::string(name) == "posterize")
                continue; // these write all four bytes by their rules
            for (int y = 0; y < original.Height(); ++y)
                for (int x = 0; x < original.Width(); ++x)
                    for (int j = 0; j < 4; ++j)
                        if (j != k) {
                            ASSERT_EQ(Px(a, x, y)[j], Px(original, x, y)[j]) << name << " channel " << k;
                        }
        }
    // Channel numbers outside 0..3 give an empty set: refused.
    TEffects fx;
    Bitmap b = original, t;
    EXPECT_FALSE(fx.Contrast(b, -1, 10));
    EXPECT_FALSE(fx.Blur(b, t, 1, 4));
    EXPECT_FALSE(fx.Pixelization(b, 7, 4, 4));
    EXPECT_TRUE(SameImage(b, original));
}

TEST(EnginePointEffects, RefusalsLeaveTheImageAlone) {
    TEffects fx;
    Bitmap empty;
    const Bitmap original = RandomImage(8, 8, 4);
    Bitmap b = original;
    const TChannelSet none{};
    EXPECT_FALSE(fx.Invert(empty, kAllChannels));
    EXPECT_FALSE(fx.Invert(b, none));
    EXPECT_FALSE(fx.Invert(b, 4)); // no such channel
    EXPECT_FALSE(fx.ColourAdjust(b, none, {1, 1, 1, 1}));
    EXPECT_FALSE(fx.Contrast(b, none, {1, 1, 1, 1}));
    EXPECT_FALSE(fx.Saturation(b, none, 0));
    EXPECT_FALSE(fx.Solarize(b, none, 0));
    EXPECT_FALSE(fx.Posterize(b, none, 9));
    EXPECT_FALSE(fx.Noise(b, none, 9));
    EXPECT_FALSE(fx.Fill(empty, 0, 9));
    EXPECT_TRUE(SameImage(b, original));
    // The single-channel form touches only its channel.
    EXPECT_TRUE(fx.Fill(b, 1, 9));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            EXPECT_EQ(Px(b, x, y)[1], 9);
            EXPECT_EQ(Px(b, x, y)[0], Px(original, x, y)[0]);
        }
}

TEST(EnginePointEffects, TwentyFourBitImagesBecomeThirtyTwoBit) {
    TEffects fx;
    Bitmap b(3, 2, 24);
    b.Fill(10, 20, 30);
    ASSERT_TRUE(fx.Invert(b, kColourChannels));
    EXPECT_EQ(b.BitsPerPixel(), 32);
    EXPECT_EQ(BytesAt(b, 2, 1), (TPixelBytes{245, 235, 225, 0}));
}

// Every byte value at every amount the dialog gives, and at the ends of
// the wider range, in every channel and on runs of both parities.
TEST(EnginePointEffects, ContrastOfEveryByteAtEveryAmount) {
    Bitmap all(67, 4, 32);
    for (int y = 0; y < all.Height(); ++y)
        for (int x = 0; x < all.Width(); ++x)
            for (int k = 0; k < 4; ++k)
                Px(all, x, y)[k] = static_cast<uint8_t>((y * all.Width() + x + 64 * k) & 0xFF);
    std::vector<int> amounts;
    for (int a = -255; a <= 255; ++a)
        amounts.push_back(a);
    for (int a : {-32768, -256, 256, 32767})
        amounts.push_back(a);
    TEffects fx;
    for (int a : amounts) {
        const int16_t v = static_cast<int16_t>(a);
        const TChannelValues values{v, static_cast<int16_t>(-a / 2), static_cast<int16_t>(a / 3), v};
        Bitmap b = all;
        ASSERT_TRUE(fx.Contrast(b, kAllChannels, values));
        for (int y = 0; y < b.Height(); ++y)
            for (int x = 0; x < b.Width(); ++x)
                for (int k = 0; k < 4; ++k) {
                    const int c = Px(all, x, y)[k];
                    ASSERT_EQ(Px(b, x, y)[k], Clamp(c - values[k] * (127 - c) / 255))
                        << "amount " << values[k] << ", byte " << c;
                }
    }
}
