// Kodak Photo-CD image pacs: the base resolution (768 x 512), luma at full
// resolution and two chroma planes at half, turned from PhotoYCC into RGB
// and upright by the pac's rotation.

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "io/codecs/byte_reader.h"
#include "io/codecs/format_codecs.h"

namespace pixora::pcd {

namespace {

constexpr std::size_t kSignatureAt = 0x800, kRotationAt = 0xE02, kBaseAt = 0x30000;
constexpr int kWidth = 768, kHeight = 512;

// A half-resolution chroma row at full width: even pixels take their sample,
// odd ones the mean of their two neighbours.
PIXORA_UNTRACED_PIXEL_LOOP void Widen(const uint8_t* half, int* full) {
    for (int x = 0; x < kWidth; ++x) {
        const int i = x / 2;
        full[x] = (x & 1) && i + 1 < kWidth / 2 ? (half[i] + half[i + 1] + 1) / 2 : half[i];
    }
}

PIXORA_UNTRACED_PIXEL_LOOP uint8_t Clamp(double v) {
    return static_cast<uint8_t>(std::clamp(v * (255.0 / 346.0) + 0.5, 0.0, 255.0));
}

// The base picture's PhotoYCC rows into 8-bit RGB. Rows come in pairs: two
// luma rows, then one row of each chroma plane.
constexpr std::size_t kPairBytes = 2 * kWidth + kWidth;

PIXORA_UNTRACED_PIXEL_LOOP void ConvertBase(const uint8_t* base, Bitmap& out) {
    std::vector<int> c1[2], c2[2];
    for (int k = 0; k < 2; ++k)
        c1[k].resize(kWidth), c2[k].resize(kWidth);
    for (int pair = 0; pair < kHeight / 2; ++pair) {
        const uint8_t* p = base + static_cast<std::size_t>(pair) * kPairBytes;
        const uint8_t* next = pair + 1 < kHeight / 2 ? p + kPairBytes : p;
        // Chroma rows sit between luma rows 2n and 2n + 1: the odd row takes
        // the mean of this chroma row and the next.
        Widen(p + 2 * kWidth, c1[0].data());
        Widen(p + 2 * kWidth + kWidth / 2, c2[0].data());
        Widen(next + 2 * kWidth, c1[1].data());
        Widen(next + 2 * kWidth + kWidth / 2, c2[1].data());
        for (int k = 0; k < 2; ++k) {
            const uint8_t* luma = p + static_cast<std::size_t>(k) * kWidth;
            uint8_t* d = out.Row(2 * pair + k);
            for (int x = 0; x < kWidth; ++x, d += 4) {
                const double ch1 = k ? (c1[0][x] + c1[1][x]) / 2.0 : c1[0][x];
                const double ch2 = k ? (c2[0][x] + c2[1][x]) / 2.0 : c2[0][x];
                // PhotoYCC: luma scaled by 1.3584, chroma about 156 and 137;
                // the result spans 0..346 (headroom above reference white),
                // brought into 0..255 for the screen.
                const double y = 1.3584 * luma[x], cb = 2.2179 * (ch1 - 156.0), cr = 1.8215 * (ch2 - 137.0);
                d[2] = Clamp(y + cr);
                d[1] = Clamp(y - 0.194 * cb - 0.509 * cr);
                d[0] = Clamp(y + cb);
                d[3] = 0;
            }
        }
    }
}

TSniff Sniff(const TFileHead& h) {
    return h.Size >= kSignatureAt + 7 && std::memcmp(h.Data + kSignatureAt, "PCD_IPI", 7) == 0 ? TSniff::Yes
                                                                                               : TSniff::No;
}

Bitmap Read(const std::string& path) {
    const TMappedFile file(path);
    TByteReader r(file.Data(), file.Size(), "PCD");
    r.Seek(kSignatureAt);
    if (std::memcmp(r.Take(7), "PCD_IPI", 7) != 0) r.Fail("not a Photo-CD image pac");
    r.Seek(kRotationAt);
    const int rotation = r.U8() & 3;
    r.Seek(kBaseAt);
    if (static_cast<uint64_t>(kHeight / 2) * kPairBytes > r.Left()) r.Short();
    Bitmap out = NewImage(kWidth, kHeight, false);
    ConvertBase(r.Take(static_cast<uint64_t>(kHeight / 2) * kPairBytes), out);
    // Rotation 1 and 3: the picture is stored turned a quarter.
    static const int kOrientation[4] = {1, 8, 3, 6};
    if (rotation != 0) return ApplyExifOrientation(out, kOrientation[rotation]);
    return out;
}

} // namespace

} // namespace pixora::pcd

namespace pixora {

const TCodec kPcdCodec = {
    .Strength = TSniffStrength::InnerSignature, .Sniff = pcd::Sniff, .Read = WithoutNotes<pcd::Read>};

} // namespace pixora
