#pragma once
// A file built in memory field by field, for the writers of the formats
// with hand-made headers, then written out through the file layer.

#include <cstdint>
#include <string>
#include <vector>

#include "io/codecs/format_codecs.h"

namespace pixora {

class TByteWriter {
public:
    std::vector<uint8_t> Bytes;

    void U8(unsigned v) { Bytes.push_back(static_cast<uint8_t>(v)); }
    void Le16(unsigned v) {
        U8(v);
        U8(v >> 8);
    }
    void Le32(uint32_t v) {
        Le16(v & 0xFFFF);
        Le16(v >> 16);
    }
    void Be16(unsigned v) {
        U8(v >> 8);
        U8(v);
    }
    void Be32(uint32_t v) {
        Be16(v >> 16);
        Be16(v & 0xFFFF);
    }
    void Text(const char* s) {
        while (*s) U8(static_cast<unsigned char>(*s++));
    }
    void Zeros(std::size_t n) { Bytes.insert(Bytes.end(), n, 0); }
    std::size_t Size() const { return Bytes.size(); }
    // Writes everything to a new file; throws ECodecError naming it.
    void SaveAs(const std::string& path) const {
        TRawWriter out(path);
        out.Write(Bytes.data(), Bytes.size());
        out.Close();
    }
};

// Luma of a colour by the weights of television (0.299, 0.587, 0.114),
// rounded: the grey the writers of grey-only files store.
inline uint8_t GreyOf(const uint8_t* bgr) {
    return static_cast<uint8_t>((299u * bgr[2] + 587u * bgr[1] + 114u * bgr[0] + 500u) / 1000u);
}

// Throws ECodecError unless the image fits a format's largest side.
inline void CheckWritableSize(const Bitmap& image, int maxSide, const char* format) {
    if (image.Empty()) throw ECodecError(std::string(format) + ": the image is empty");
    if (image.Width() > maxSide || image.Height() > maxSide)
        throw ECodecError(std::string(format) + ": the image is larger than " + std::to_string(maxSide) + " x " +
                          std::to_string(maxSide) + " pixels");
}

} // namespace pixora
