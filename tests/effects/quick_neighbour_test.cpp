// Soften, Sharpen, Antialiasing and Gaussian Blur against their rules.
#include <algorithm>
#include <random>

#include "doc/row_ranges.h"
#include "effects/quick/antialias.h"
#include "effects/quick/antialias_pull.h"
#include "effects/quick/convolve.h"
#include "effects/quick/gaussian_blur.h"
#include "quick_support.h"

namespace {

using namespace quicktest;
using namespace pixora::quick;

// The 3 x 3 rule, pixel by pixel.
template <class Test>
Bitmap ConvolvedByRule(const Bitmap& src, const int (&k)[3][3], int divisor, const Test& test) {
    Bitmap out = src;
    for (int y = 0; y < src.Height(); ++y)
        for (int x = 0; x < src.Width(); ++x) {
            int sum[3] = {};
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    const bool use =
                        nx >= 0 && ny >= 0 && nx < src.Width() && ny < src.Height() && test(x, y);
                    const uint8_t* s = use ? Px(src, nx, ny) : Px(src, x, y);
                    for (int c = 0; c < 3; ++c)
                        sum[c] += k[dy + 1][dx + 1] * s[c];
                }
            for (int c = 0; c < 3; ++c)
                Px(out, x, y)[c] = static_cast<uint8_t>(std::clamp(sum[c] / divisor, 0, 255));
        }
    return out;
}

constexpr int kSoftenK[3][3] = {{1, 2, 1}, {2, 20, 2}, {1, 2, 1}};
constexpr int kSharpenK[3][3] = {{0, -1, 0}, {-1, 6, -1}, {0, -1, 0}};

TEST(QuickConvolution, SoftenAndSharpenFollowTheRule) {
    for (auto [w, h] : {std::pair{1, 1}, {2, 3}, {9, 4}, {31, 7}}) {
        const Bitmap src = RandomImage(w, h, static_cast<uint32_t>(w * 100 + h));
        Bitmap soft = src, sharp = src, softSel = src;
        Soften(src, soft);
        Sharpen(src, sharp);
        Soften(src, softSel, TBlocks{});
        EXPECT_TRUE(SameImage(soft, ConvolvedByRule(src, kSoftenK, 32, TAllPixels{}))) << w << "x" << h;
        EXPECT_TRUE(SameImage(sharp, ConvolvedByRule(src, kSharpenK, 2, TAllPixels{}))) << w << "x" << h;
        EXPECT_TRUE(SameImage(softSel, ConvolvedByRule(src, kSoftenK, 32, TBlocks{}))) << w << "x" << h;
    }
}

TEST(QuickConvolution, UniformImageStaysTheSame) {
    Bitmap src(13, 5);
    src.Fill(200, 17, 255, 3);
    Bitmap soft = src, sharp = src;
    Soften(src, soft);
    Sharpen(src, sharp);
    EXPECT_TRUE(SameImage(soft, src));
    EXPECT_TRUE(SameImage(sharp, src));
}

TEST(QuickConvolution, WritesOnlyColourBytesAndNeedsACopy) {
    const Bitmap src = RandomImage(12, 4, 5);
    Bitmap doc = src;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 12; ++x)
            Px(doc, x, y)[3] = 99;
    Sharpen(src, doc);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 12; ++x)
            EXPECT_EQ(Px(doc, x, y)[3], 99);
    EXPECT_THROW(Soften(doc, doc), std::invalid_argument);
}

TEST(QuickAntialiasing, RoundsTowardsTheCentreHalvesToEven) {
    EXPECT_EQ(TowardsCentre(0, 255), 212); // 1275 / 6 = 212.5, to the even 212
    EXPECT_EQ(TowardsCentre(255, 0), 42);  // 255 / 6 = 42.5, to the even 42
    EXPECT_EQ(TowardsCentre(3, 0), 0);     // 0.5 -> 0
    EXPECT_EQ(TowardsCentre(9, 0), 2);     // 1.5 -> 2
    EXPECT_EQ(TowardsCentre(10, 10), 10);
    EXPECT_EQ(TowardsCentre(6, 0), 1);
}

TEST(QuickAntialiasing, OneColumnImageIsLeftAlone) {
    Bitmap b = RandomImage(1, 6, 6);
    const Bitmap before = b;
    Antialiasing(b);
    EXPECT_TRUE(SameImage(b, before));
}

TEST(QuickAntialiasing, SoftensAnEdgeAndWrapsAround) {
    // Row 0 white, row 1 black, 3 wide: the top and bottom rows meet.
    Bitmap b(3, 2);
    b.Fill(0, 0, 0, 0);
    for (int x = 0; x < 3; ++x)
        std::fill(Px(b, x, 0), Px(b, x, 0) + 3, uint8_t{255});
    Antialiasing(b);
    // Worked through by hand: the centres change their neighbours in place
    // (78 is 42 pulled again by the same centre from below, the wrap), and
    // column 0 is only ever a neighbour.
    const int expected[2][3] = {{255, 201, 201}, {24, 78, 78}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(Px(b, x, y)[0], expected[y][x]) << x << "," << y;
            EXPECT_EQ(Px(b, x, y)[2], expected[y][x]) << x << "," << y;
        }
}

TEST(QuickAntialiasing, RefusedCentresChangeNothing) {
    Bitmap b = RandomImage(8, 5, 9);
    const Bitmap before = b;
    Antialiasing(b, [](int, int) { return false; });
    EXPECT_TRUE(SameImage(b, before));
}

// Antialiasing as the rule reads: centre by centre, each neighbour that
// differs pulled towards the centre's colour at that moment.
template <class Test> void AntialiasByRule(Bitmap& b, const Test& test) {
    const int w = b.Width(), h = b.Height();
    for (int y = 0; y < h; ++y)
        for (int x = 1; x < w; ++x) {
            if (!test(x, y)) continue;
            const uint8_t* p = Px(b, x, y);
            const uint8_t c[3] = {p[0], p[1], p[2]};
            const int around[4][2] = {{x - 1, y},
                                      {x == w - 1 ? 0 : x + 1, y},
                                      {x, y == 0 ? h - 1 : y - 1},
                                      {x, y == h - 1 ? 0 : y + 1}};
            for (const auto& at : around) {
                uint8_t* n = Px(b, at[0], at[1]);
                if (n[0] == c[0] && n[1] == c[1] && n[2] == c[2]) continue;
                for (int k = 0; k < 3; ++k)
                    n[k] = TowardsCentre(c[k], n[k]);
            }
        }
}

TEST(QuickAntialiasing, EveryShapeOfImageAsTheRuleReads) {
    // Narrow and low images, where the neighbours around the edges are the
    // same pixels or the centre itself, and wider ones; with every pixel,
    // and with a pixel test that refuses some centres.
    const auto every = [](int, int) { return true; };
    const auto some = [](int x, int y) { return (x * 7 + y * 3) % 5 != 0; };
    for (auto [w, h] : {std::pair{1, 1}, {2, 1}, {2, 2}, {3, 1}, {1, 4}, {3, 2}, {5, 3}, {17, 9}, {64, 3}}) {
        const Bitmap original = RandomImage(w, h, static_cast<uint32_t>(w * 100 + h));
        // Flat patches too, so that some neighbours match their centre.
        Bitmap patchyImage = original;
        const Bitmap& patchy = patchyImage;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if ((x / 2 + y) % 3 == 0)
                    std::fill(Px(patchyImage, x, y), Px(patchyImage, x, y) + 3, uint8_t{90});
        for (const Bitmap* image : {&original, &patchy}) {
            Bitmap expected = *image, whole = *image, tested = *image;
            AntialiasByRule(expected, every);
            Antialiasing(whole);
            Antialiasing(tested, every);
            EXPECT_TRUE(SameImage(whole, expected)) << w << "x" << h;
            EXPECT_TRUE(SameImage(tested, expected)) << w << "x" << h;
            Bitmap partly = *image, partlyExpected = *image;
            AntialiasByRule(partlyExpected, some);
            Antialiasing(partly, some);
            EXPECT_TRUE(SameImage(partly, partlyExpected)) << w << "x" << h << " with a pixel test";
        }
    }
}

TEST(QuickAntialiasing, TwoThreadsWalkAsOneThreadDoes) {
    // Rows two to five high (the wrap-around rows are then the rows next to
    // each other) and taller, up to more rows than the threads keep centres
    // for at a time; widths of one column block, a block and one column, and
    // several blocks with a short last one; random and patchy pixels, so
    // that some neighbours match their centre.
    for (auto [w, h] :
         {std::pair{2, 2}, {3, 2}, {2, 3}, {257, 3}, {258, 4}, {300, 5}, {771, 7}, {4001, 9}, {4001, 300}}) {
        Bitmap image = RandomImage(w, h, static_cast<uint32_t>(w * 31 + h));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if ((x / 5 + y) % 4 == 0) std::fill(Px(image, x, y), Px(image, x, y) + 3, uint8_t{17});
        Bitmap one = image, two = image, expected = image;
        {
            TRowBandsOverride bands(1);
            Antialiasing(one);
        }
        {
            TRowBandsOverride bands(2);
            Antialiasing(two);
        }
        AntialiasByRule(expected, [](int, int) { return true; });
        EXPECT_TRUE(SameImage(one, expected)) << w << "x" << h;
        EXPECT_TRUE(SameImage(two, expected)) << w << "x" << h << " on two threads";
    }
}

TEST(QuickAntialiasing, RowsAlongWhichTwoWalksNeverMeet) {
    // The first row is made so that a walk of centres that starts one above
    // or below the true one stays one apart to the end of the row: a walk
    // begun anywhere else comes to one of the two, so only a walk that
    // follows the row's own centres from its start gets the rule's bytes.
    for (uint32_t seed = 0; seed < 12; ++seed) {
        const int w = 1500 + 37 * static_cast<int>(seed);
        Bitmap b = RandomImage(w, 2, seed);
        std::mt19937 rng(seed);
        for (int k = 0; k < 3; ++k) {
            int low = static_cast<int>(rng() % 200); // the lower of the two walks
            const bool trueIsUpper = (seed + static_cast<uint32_t>(k)) % 2 == 1;
            Px(b, 1, 0)[k] = static_cast<uint8_t>(low + (trueIsUpper ? 1 : 0));
            for (int x = 2; x < w; ++x) {
                std::vector<int> apart;
                for (int n = 0; n < 256; ++n)
                    if (TowardsCentre(low, n) + 1 == TowardsCentre(low + 1, n) && TowardsCentre(low, n) < 250)
                        apart.push_back(n);
                const int n = apart[rng() % apart.size()];
                Px(b, x, 0)[k] = static_cast<uint8_t>(n);
                low = TowardsCentre(low, n);
            }
        }
        Bitmap expected = b;
        AntialiasByRule(expected, [](int, int) { return true; });
        for (int bands : {1, 2}) {
            Bitmap walked = b;
            TRowBandsOverride override(bands);
            Antialiasing(walked);
            EXPECT_TRUE(SameImage(walked, expected)) << "seed " << seed << ", " << bands << " thread(s)";
        }
    }
}

TEST(QuickAntialiasing, EveryPullKernelGivesTheRulesBytes) {
    // Every pair of centre and neighbour byte, three a pixel, with fourth
    // bytes that must stay; runs of every length up to a few vectors and at
    // odd offsets, so that each kernel's remainder goes to the narrower ones.
    constexpr int kPixels = 65536 / 3 + 1;
    std::vector<uint8_t> n(4 * kPixels + 64), c(4 * kPixels + 64);
    for (int i = 0, pair = 0; i < kPixels; ++i) {
        for (int k = 0; k < 3; ++k, ++pair) {
            n[4 * i + k] = static_cast<uint8_t>(pair & 0xFF);
            c[4 * i + k] = static_cast<uint8_t>((pair >> 8) & 0xFF);
        }
        n[4 * i + 3] = static_cast<uint8_t>(i * 7);
        c[4 * i + 3] = static_cast<uint8_t>(i * 13);
    }
    std::vector<uint8_t> expected(n.size());
    for (int i = 0; i < kPixels; ++i) {
        for (int k = 0; k < 3; ++k)
            expected[4 * i + k] = TowardsCentre(c[4 * i + k], n[4 * i + k]);
        expected[4 * i + 3] = n[4 * i + 3];
    }
    for (int kernel = 0; kernel <= 3; ++kernel) {
        std::vector<uint8_t> out(n.size(), 0);
        PullRunWith(kernel, out.data(), n.data(), c.data(), kPixels);
        EXPECT_TRUE(std::equal(out.begin(), out.begin() + 4 * kPixels, expected.begin()))
            << "kernel " << kernel;
        for (int count = 0; count <= 40; ++count)
            for (int at : {0, 1, 5}) {
                std::vector<uint8_t> inPlace(n);
                PullRunWith(kernel, inPlace.data() + 4 * at, inPlace.data() + 4 * at, c.data() + 4 * at,
                            static_cast<std::size_t>(count));
                const auto first = expected.begin() + 4 * at, last = first + 4 * count;
                ASSERT_TRUE(std::equal(first, last, inPlace.begin() + 4 * at)) << kernel << " " << count;
                const std::size_t end = 4 * static_cast<std::size_t>(at + count);
                ASSERT_TRUE(std::equal(inPlace.begin() + static_cast<std::ptrdiff_t>(end), inPlace.end(),
                                       n.begin() + static_cast<std::ptrdiff_t>(end)))
                    << "past the run " << kernel << " " << count;
            }
    }
}

// The blur as the rule states it: doubles summed in the order written.
void GBlurByRule(Bitmap& b, double radius) {
    const TGaussKernel k = MakeGaussKernel(radius);
    auto pass = [&](int count, int lines, auto at) {
        std::vector<uint8_t> buf(static_cast<std::size_t>(count));
        for (int l = 0; l < lines; ++l) {
            for (int c = 0; c < 3; ++c) {
                for (int i = 0; i < count; ++i) {
                    double s = 0;
                    for (int j = -k.Size; j <= k.Size; ++j)
                        s += static_cast<double>(k.At(j)) * at(l, std::clamp(i - j, 0, count - 1))[c];
                    buf[static_cast<std::size_t>(i)] = static_cast<uint8_t>(std::clamp(s, 0.0, 255.0));
                }
                for (int i = 0; i < count; ++i)
                    at(l, i)[c] = buf[static_cast<std::size_t>(i)];
            }
        }
    };
    pass(b.Width(), b.Height(), [&](int y, int x) { return b.Row(y) + 3 * x; });
    pass(b.Height(), b.Width(), [&](int x, int y) { return b.Row(y) + 3 * x; });
}

TEST(QuickGaussianBlur, KernelIsTrimmedAndNormalised) {
    const TGaussKernel k = MakeGaussKernel(8);
    EXPECT_GT(k.Size, 20);
    EXPECT_LT(k.Size, 30);
    double sum = 0;
    for (int j = -k.Size; j <= k.Size; ++j)
        sum += k.At(j);
    EXPECT_NEAR(sum, 1.0, 1e-6);
    EXPECT_EQ(k.At(3), k.At(-3));
    EXPECT_EQ(MakeGaussKernel(0.01).Size, 1); // the size never goes below 1
}

TEST(QuickGaussianBlur, MatchesTheRuleToTheByte) {
    for (double r : {1.0, 3.0, 8.0, 24.0}) {
        Bitmap b = RandomImage(70, 41, static_cast<uint32_t>(r));
        b.SetBitsPerPixel(24);
        Bitmap ref = b;
        GBlur(b, r);
        GBlurByRule(ref, r);
        EXPECT_TRUE(SameImage(b, ref)) << "radius " << r;
    }
}

TEST(QuickGaussianBlur, UniformAndStripedImagesMatchTheRule) {
    // Flat areas put the sums right at whole numbers, where the fast sums
    // cannot tell and the exact sums decide.
    for (int v : {0, 1, 77, 200, 255}) {
        Bitmap b(40, 9, 24);
        b.Fill(static_cast<uint8_t>(v), static_cast<uint8_t>(255 - v), static_cast<uint8_t>(v / 2));
        for (int x = 0; x < 40; x += 7)
            b.Row(4)[3 * x] = 255;
        Bitmap ref = b;
        GBlur(b, 5);
        GBlurByRule(ref, 5);
        EXPECT_TRUE(SameImage(b, ref)) << "value " << v;
    }
}

TEST(QuickGaussianBlur, FlatImagesOfEveryByteAndRadiusMatchTheRule) {
    // Every sum of a flat image is its byte times the weights' sum, which
    // lies a hair's breadth to either side of the byte: the fast sums must
    // leave every such value to the exact ones, whatever the radius.
    for (double r : {1.0, 2.0, 3.0, 4.5, 8.0, 13.0, 24.0})
        for (int v = 0; v < 256; ++v) {
            Bitmap b(9, 3, 24);
            b.Fill(static_cast<uint8_t>(v), static_cast<uint8_t>(255 - v), static_cast<uint8_t>(v ^ 0x55));
            Bitmap ref = b;
            GBlur(b, r);
            GBlurByRule(ref, r);
            ASSERT_TRUE(SameImage(b, ref)) << "radius " << r << ", byte " << v;
        }
}

TEST(QuickGaussianBlur, QuickEffectBlursColourBytesOnly) {
    const Bitmap src = RandomImage(150, 23, 8);
    Bitmap doc = src;
    GaussianBlur(doc, TBlurRadius{8});
    Bitmap ref = src;
    ref.SetBitsPerPixel(24);
    GBlurByRule(ref, 8);
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 150; ++x) {
            ASSERT_EQ(std::memcmp(Px(doc, x, y), ref.Row(y) + 3 * x, 3), 0) << x << "," << y;
            ASSERT_EQ(Px(doc, x, y)[3], Px(src, x, y)[3]);
        }
}

// The quick effect on a random image of w x h on `bands` bands of rows,
// against the rule on a 24-bit copy; the fourth bytes must stay.
::testing::AssertionResult QuickBlurMatchesTheRule(int w, int h, int radius, int bands) {
    const Bitmap src = RandomImage(w, h, static_cast<uint32_t>(w * h + radius));
    Bitmap doc = src;
    {
        TRowBandsOverride override(bands);
        GaussianBlur(doc, TBlurRadius{radius});
    }
    Bitmap ref = src;
    ref.SetBitsPerPixel(24);
    GBlurByRule(ref, radius);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (std::memcmp(Px(doc, x, y), ref.Row(y) + 3 * x, 3) != 0 ||
                Px(doc, x, y)[3] != Px(src, x, y)[3])
                return ::testing::AssertionFailure() << w << "x" << h << " radius " << radius << " bands "
                                                     << bands << " at " << x << "," << y;
    return ::testing::AssertionSuccess();
}

TEST(QuickGaussianBlur, EveryPathMatchesTheRuleOnAwkwardSizes) {
    // Images narrower and lower than a strip and than the rows done at once,
    // with the kernels of one row at a time and of several, on one band of
    // rows and on two.
    for (auto [w, h] : {std::pair{1, 1}, {2, 3}, {3, 2}, {1, 9}, {37, 5}, {67, 13}})
        for (int radius : {1, 8, 24})
            for (int bands : {1, 2})
                ASSERT_TRUE(QuickBlurMatchesTheRule(w, h, radius, bands));
}

TEST(QuickGaussianBlur, RowGroupsPixelGroupsAndColumnChunksMatchTheRule) {
    // The row pass turns sixteen rows around at a time, sixteen pixels a
    // vector; the column pass works 256 rows of a strip at a time and
    // carries the rows it reads again: sizes on and either side of those
    // steps, with bands of rows that split a group of sixteen.
    for (auto [w, h] : {std::pair{16, 16}, {17, 33}, {33, 17}, {50, 300}, {15, 520}, {32, 257}})
        for (int radius : {1, 8, 24})
            for (int bands : {1, 2})
                ASSERT_TRUE(QuickBlurMatchesTheRule(w, h, radius, bands));
}

TEST(QuickGaussianBlur, RefusesOtherThanTwentyFourBits) {
    Bitmap b(4, 4, 32);
    try {
        GBlur(b, 3);
        FAIL() << "no error";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "GBlur only works for 24-bit bitmaps");
    }
    EXPECT_THROW(GaussianBlur(b, TBlurRadius{0}), std::invalid_argument);
}

} // namespace
