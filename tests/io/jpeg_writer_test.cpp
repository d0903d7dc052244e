// The JPEG writer: chroma kept at full resolution for high qualities, so a
// noisy photograph survives quality 100; tables and components as written.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "io/codecs/image_codecs.h"
#include "io_test_support.h"

using namespace pixora;
using namespace pixora::testing;

namespace {

// A photograph's worth of trouble: smooth light, hard edges and strong
// noise in every channel on its own (chroma noise is what halved chroma loses).
Bitmap NoisyPhoto(int w, int h) {
    Bitmap b(w, h, 32);
    uint32_t seed = 99;
    for (int y = 0; y < h; ++y) {
        uint8_t* p = b.Row(y);
        for (int x = 0; x < w; ++x, p += 4) {
            const int base[3] = {60 + 120 * x / w, 40 + 150 * y / h, (x / 37 + y / 23) % 2 ? 200 : 70};
            for (int c = 0; c < 3; ++c) {
                seed = seed * 1664525u + 1013904223u;
                const int v = base[c] + static_cast<int>(seed >> 26) - 32;
                p[c] = static_cast<uint8_t>(std::clamp(v, 0, 255));
            }
            p[3] = 0;
        }
    }
    return b;
}

double Psnr(const Bitmap& a, const Bitmap& b) {
    double sum = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            for (int c = 0; c < 3; ++c) {
                const double d = a.Row(y)[4 * x + c] - b.Row(y)[4 * x + c];
                sum += d * d;
            }
    const double mse = sum / (3.0 * a.Width() * a.Height());
    return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

struct TFrame {
    int Precision = 0;
    std::vector<int> Sampling; // h * 16 + v of each component
    std::vector<std::vector<int>> HuffmanCounts;
};

// The frame header and the Huffman tables of a JPEG file.
TFrame ParseJpeg(const std::vector<uint8_t>& f) {
    TFrame fr;
    for (std::size_t i = 2; i + 4 <= f.size();) {
        if (f[i] != 0xFF) break;
        const int marker = f[i + 1];
        const std::size_t len = static_cast<std::size_t>(f[i + 2] << 8 | f[i + 3]);
        const uint8_t* s = f.data() + i + 4;
        if (marker == 0xC0 || marker == 0xC1 || marker == 0xC2) {
            fr.Precision = s[0];
            for (int c = 0; c < s[5]; ++c)
                fr.Sampling.push_back(s[6 + 3 * c + 1]);
        }
        if (marker == 0xC4)
            for (const uint8_t* t = s; t < s + len - 2;) {
                std::vector<int> counts(t + 1, t + 17);
                int n = 0;
                for (int k : counts)
                    n += k;
                fr.HuffmanCounts.push_back(counts);
                t += 17 + n;
            }
        if (marker == 0xDA) break;
        i += 2 + len;
    }
    return fr;
}

} // namespace

TEST(JpegWriter, NoisyPhotoAtQuality100KeepsItsDetail) {
    ScratchDir dir;
    const Bitmap photo = NoisyPhoto(1024, 768);
    const std::string path = dir.File("photo.jpg");
    SaveOptions opts;
    opts.JpegQuality = 100;
    WriteImageFile(path, photo, fcJpeg, opts);
    const Bitmap back = LoadImageFile(path, fcJpeg);
    const double psnr = Psnr(photo, back);
    std::printf("  PSNR of a noisy photo at quality 100: %.2f dB\n", psnr);
    // Halved chroma leaves about 25 dB of this picture.
    EXPECT_GE(psnr, 45.0);
}

TEST(JpegWriter, ChromaResolutionFollowsQualityAndGreyStaysOneComponent) {
    ScratchDir dir;
    const Bitmap photo = NoisyPhoto(64, 48);
    const std::string path = dir.File("p.jpg");
    const std::vector<int> full = {0x11, 0x11, 0x11}, halved = {0x22, 0x11, 0x11};
    for (const auto& [quality, sampling] : {std::pair{100, full}, {90, full}, {89, halved}, {0, halved}}) {
        SaveOptions opts;
        opts.JpegQuality = quality;
        WriteImageFile(path, photo, fcJpeg, opts);
        const TFrame fr = ParseJpeg(ReadBytes(path));
        EXPECT_EQ(fr.Sampling, sampling) << "quality " << quality;
        EXPECT_EQ(fr.Precision, 8);
    }
    SaveOptions grey;
    grey.JpegGray = true;
    WriteImageFile(path, photo, fcJpeg, grey);
    const TFrame fr = ParseJpeg(ReadBytes(path));
    EXPECT_EQ(fr.Sampling, std::vector<int>{0x11});
    EXPECT_EQ(fr.Precision, 8);
    const Bitmap back = LoadImageFile(path, fcJpeg);
    for (int y = 0; y < back.Height(); ++y)
        for (int x = 0; x < back.Width(); ++x) {
            const uint8_t* p = back.Row(y) + 4 * x;
            ASSERT_TRUE(p[0] == p[1] && p[1] == p[2]) << x << "," << y;
        }
}

TEST(JpegWriter, HuffmanTablesAreMadeForTheImage) {
    ScratchDir dir;
    const std::string path = dir.File("t.jpg");
    WriteImageFile(path, NoisyPhoto(96, 64), fcJpeg, SaveOptions{});
    const TFrame fr = ParseJpeg(ReadBytes(path));
    ASSERT_FALSE(fr.HuffmanCounts.empty());
    // The stock luminance DC table every unoptimised file carries.
    const std::vector<int> stock = {0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0};
    for (const auto& counts : fr.HuffmanCounts)
        EXPECT_NE(counts, stock);
}
