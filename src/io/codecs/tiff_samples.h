#pragma once
// TIFF rows as libtiff decodes them, turned into B, G, R, T pixels: packed
// samples of any width from 1 to 32 bits (unsigned, signed) or IEEE floats
// of 16, 24, 32 and 64 bits, and the photometric interpretations that carry
// colour (grey either way round, RGB, palette, CMYK inks, L*a*b*).

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pixora::tiff {

enum class TColourModel { Grey, GreyInverted, Rgb, Palette, Cmyk, Lab };

struct TSampleLayout {
    int Bits = 8;    // bits per sample
    int Format = 1;  // SAMPLEFORMAT_UINT, _INT or _IEEEFP
    int Samples = 1; // samples per pixel, extra samples included
    TColourModel Model = TColourModel::Grey;
    int Alpha = -1;          // index of the alpha sample, or -1
    bool Associated = false; // colours premultiplied by alpha
    bool SignedAB = false;   // L*a*b* with signed a* and b* (CIELab)
    // Palette entries (1 << Bits of each), 16-bit or, in old files, 8-bit.
    const uint16_t* Map[3] = {nullptr, nullptr, nullptr};
    bool Map8 = false;
};

// Colours of the model without extra samples.
int ColourSamples(TColourModel model);

class TRowConverter {
public:
    explicit TRowConverter(const TSampleLayout& layout);

    // Unpacks `pixels * channels` consecutive samples of a packed row into
    // 16-bit values (palette indices stay indices): sample c of pixel p goes
    // to out[p * Samples + first + c].
    void Unpack(const uint8_t* src, std::size_t pixels, int first, int channels, uint16_t* out) const;
    // Turns `pixels` pixels of unpacked samples into B, G, R, T.
    void Colour(const uint16_t* samples, std::size_t pixels, uint8_t* dst) const;
    // Whether Direct serves this layout (interleaved samples only).
    bool HasDirect() const { return direct_; }
    // Unpack and Colour in one pass, straight from a packed row to B, G, R,
    // T: for 16-bit unsigned RGB with or without an unassociated alpha.
    void Direct(const uint8_t* src, std::size_t pixels, uint8_t* dst) const;

private:
    uint32_t ReadRaw(const uint8_t* src, std::size_t index) const;
    uint16_t Scale(uint32_t raw, int sample) const;

    TSampleLayout layout_;
    uint32_t max_ = 255, sign_ = 0;
    std::vector<uint16_t> scale_; // raw value -> 16 bits, for up to 16 bits
    bool direct_ = false;
};

} // namespace pixora::tiff
