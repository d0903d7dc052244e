// The wide loops of saturation and noise, each vector width the machine
// runs, against the per-pixel callbacks (one pixel at a time, the plain
// rule) on sizes around the vector widths, with and without a mask, on one
// band of rows and on two.
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "doc/row_ranges.h"
#include "doc/vector_kernels.h"
#include "engine_support.h"

using namespace pixora;
using namespace enginetest;

namespace {

using Effect = std::function<bool(TEffects&, Bitmap&)>;

std::vector<TVectorKernel> KernelsOfThisMachine() {
    std::vector<TVectorKernel> kernels;
    for (int k = 0; k <= static_cast<int>(WidestVectorKernel()); ++k)
        kernels.push_back(static_cast<TVectorKernel>(k));
    return kernels;
}

// A mask of runs one to forty pixels long, so that spans start and end at
// every offset within a vector.
Bitmap RunsMask(int w, int h, uint32_t seed) {
    Bitmap m(w, h, 32);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y) {
        bool on = (rng() & 1) != 0;
        for (int x = 0; x < w;) {
            const int length = 1 + static_cast<int>(rng() % 40);
            for (int i = 0; i < length && x < w; ++i, ++x)
                if (on) SetPx(m, x, y, {255, 255, 255, 255});
            on = !on;
        }
    }
    return m;
}

// The image after the effect through the per-pixel callbacks, and after it
// through the band loops with each kernel on one band and on two.
void CheckEveryKernel(const Effect& effect, const std::string& what) {
    for (const auto& size : {std::pair{1, 1}, std::pair{3, 2}, std::pair{7, 3}, std::pair{17, 5},
                             std::pair{33, 4}, std::pair{70, 9}, std::pair{301, 7}}) {
        const int w = size.first, h = size.second;
        const Bitmap original = RandomImage(w, h, static_cast<uint32_t>(w * 131 + h));
        for (bool masked : {false, true}) {
            const auto prepare = [&](TEffects& fx) {
                fx.Masked = masked;
                if (masked) fx.MaskBitmap = RunsMask(w, h, static_cast<uint32_t>(w + h));
            };
            TEffects plain;
            plain.UseFastLoops = false;
            prepare(plain);
            Bitmap expected = original;
            const bool done = effect(plain, expected);
            for (TVectorKernel kernel : KernelsOfThisMachine())
                for (int bands : {1, 2}) {
                    const TVectorKernelOverride heldKernel(kernel);
                    const TRowBandsOverride heldBands(bands);
                    TEffects fx;
                    prepare(fx);
                    Bitmap actual = original;
                    ASSERT_EQ(effect(fx, actual), done);
                    EXPECT_TRUE(SameImage(actual, expected))
                        << what << " " << w << "x" << h << (masked ? " masked" : "") << " kernel "
                        << static_cast<int>(kernel) << " bands " << bands;
                }
        }
    }
}

const TChannelSet kLaneSets[] = {{true, true, true, true},    {true, true, true, false},
                                 {false, true, false, false}, {false, false, true, true},
                                 {true, false, false, true},  {false, false, false, true}};

} // namespace

TEST(EnginePointLanes, SaturationOfEveryKernelIsThePlainRule) {
    for (const TChannelSet& on : kLaneSets)
        for (int s : {0, 1, 127, 128, 200, 255})
            CheckEveryKernel(
                [&](TEffects& fx, Bitmap& b) { return fx.Saturation(b, on, static_cast<uint8_t>(s)); },
                "saturation " + std::to_string(s));
}

TEST(EnginePointLanes, NoiseOfEveryKernelIsThePlainRule) {
    for (const TChannelSet& on : kLaneSets)
        for (int n : {1, 2, 40, 255})
            CheckEveryKernel(
                [&](TEffects& fx, Bitmap& b) {
                    fx.SetRandomSeed(static_cast<uint32_t>(n));
                    return fx.Noise(b, on, static_cast<uint8_t>(n));
                },
                "noise " + std::to_string(n));
}

// Every amount and every channel set over pixels that meet every kernel's
// full vectors: the widest kernel against the plain rule.
TEST(EnginePointLanes, SaturationAtEveryAmountAndChannelSet) {
    const Bitmap original = RandomImage(64, 3, 77);
    for (int bits = 1; bits < 16; ++bits) {
        const TChannelSet on{(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, (bits & 8) != 0};
        for (int s = 0; s < 256; ++s) {
            TEffects plain, fx;
            plain.UseFastLoops = false;
            Bitmap expected = original, actual = original;
            plain.Saturation(expected, on, static_cast<uint8_t>(s));
            fx.Saturation(actual, on, static_cast<uint8_t>(s));
            ASSERT_TRUE(SameImage(actual, expected)) << "channels " << bits << " amount " << s;
        }
    }
}
