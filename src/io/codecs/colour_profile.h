#pragma once
// The colours a file's pixels stand for, brought into sRGB (the space the
// editor shows, edits and writes) when the file opens: through the ICC
// profile the file embeds, or the primaries and transfer curve a HEIF/AVIF
// file states by code numbers. Little CMS does the work. A profile it
// cannot use leaves the pixels as decoded; an sRGB profile leaves them
// untouched without any work.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "doc/bitmap.h"

namespace pixora {

// What the decoded samples handed to a conversion are.
enum class TSampleColours {
    Rgb,          // 32-bit B, G, R, T pixels (grey pictures as R = G = B)
    Cmyk,         // C, M, Y, K bytes, 0 = no ink
    CmykInverted, // C, M, Y, K bytes, 255 = no ink (as Adobe writes JPEG)
};

// The order of a pixel's four bytes as a decoder hands them over.
enum class TDecodedOrder {
    Pixels, // B, G, R, T: the picture's own
    Bgra,   // B, G, R, alpha
    Rgba,   // R, G, B, alpha
    Rgb,    // R, G, B, three bytes a pixel: opaque
};

// The bytes a decoded pixel takes in that order.
inline int DecodedPixelBytes(TDecodedOrder order) {
    return order == TDecodedOrder::Rgb ? 3 : 4;
}

// Primaries and transfer characteristics by their code numbers of ITU-T
// H.273, as a HEIF/AVIF 'nclx' colour box gives them; 2 = unspecified.
struct TCodedColours {
    int Primaries = 2;
    int Transfer = 2;
};

// How the image information names such colours: "sRGB", "Display P3
// primaries, sRGB transfer", "BT.2020, PQ transfer (high dynamic range,
// shown as decoded)"; empty for primaries this program does not model.
std::string CodedColoursName(const TCodedColours& coded);

// An embedded profile larger than this is not read: real ones, CLUT-based
// CMYK profiles included, stay well within a few megabytes.
inline constexpr std::size_t kMaxProfileBytes = std::size_t(16) << 20;

// Fewer pixels than this gain less from a memo than its room costs.
inline constexpr std::size_t kMemoPixels = std::size_t(1) << 16;

// Colours one thread has converted lately, by their B, G, R. A photo
// repeats most of its colours many times over, and taking a colour from
// here costs far less than converting it again; what it holds is what
// Little CMS made of each colour, so the pixels are the same either way.
// Its room is taken on first use.
class TColourMemo {
private:
    friend class TColourConversion;
    std::vector<uint32_t> keys_, values_;
    int plain_ = 0; // pieces still to convert without looking here
};

class TColourConversion {
public:
    // No profile: nothing converts and Name() is empty.
    TColourConversion();
    // An embedded ICC profile for samples of the given kind. A profile that
    // does not open, that is larger than kMaxProfileBytes, or whose colour
    // space is not the samples' (an RGB or grey profile for RGB pixels, a
    // CMYK one for CMYK samples) converts nothing and has no name.
    TColourConversion(const uint8_t* icc, std::size_t size, TSampleColours samples = TSampleColours::Rgb);
    // Colours stated by code numbers, for RGB pixels.
    explicit TColourConversion(const TCodedColours& coded);
    ~TColourConversion();
    TColourConversion(TColourConversion&&) noexcept;
    TColourConversion& operator=(TColourConversion&&) noexcept;

    // The profile's own description ("Display P3"), or for code numbers the
    // primaries and curve they stand for; empty when there is no usable one.
    const std::string& Name() const { return name_; }
    // Whether the pixels change: false for sRGB and for an unusable profile.
    bool Converts() const;

    // Converts the colour bytes of a 32-bit bitmap in place; T is kept.
    // Does nothing unless Converts() and the conversion is for RGB pixels.
    void ToSrgb(Bitmap& pixels) const;
    // Makes `count` decoded pixels the picture's B, G, R, T in sRGB: puts
    // their bytes in order, turns alpha into transparency, and converts
    // their colours as ToSrgb does (only the reordering for a conversion
    // made for CMYK samples), a cache-sized piece at a time so that the
    // bytes are read from memory once. `from` may be `to` for the orders
    // of four bytes. Several threads may finish pixels of one conversion at
    // once; one that finishes many pixels passes its own memo.
    void Finish(const uint8_t* from, TDecodedOrder order, uint8_t* to, int count,
                TColourMemo* memo = nullptr) const;
    // Finishes a whole 32-bit picture of decoded rows `stride` bytes apart
    // (they may be the picture's own rows) into `to`, in bands of rows on
    // the processor's cores.
    void FinishPicture(const uint8_t* from, std::size_t stride, TDecodedOrder order, Bitmap& to) const;
    // Converts `count` CMYK pixels (4 bytes each, as the constructor's
    // samples said) to B, G, R of a 32-bit row, leaving its T bytes.
    // Only for a conversion made for CMYK samples that Converts().
    void CmykToSrgb(const uint8_t* cmyk, uint8_t* bgrt, int count) const;

private:
    void Remembering(uint8_t* pixels, int count, TColourMemo& memo) const;

    struct TState;
    std::unique_ptr<TState> state_;
    std::string name_;
};

} // namespace pixora
