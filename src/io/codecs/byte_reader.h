#pragma once
// Bounds-checked reading of a file held in memory, for the readers that
// parse their format by hand. Every read past the end throws ECodecError
// naming the format, so a cut-short or lying file ends in a clean error.

#include <cstddef>
#include <cstdint>
#include <string>

#include "io/codecs/image_codecs.h"

namespace pixora {

class TByteReader {
public:
    TByteReader(const uint8_t* data, std::size_t size, const char* format)
        : data_(data), size_(size), format_(format) {}

    std::size_t Size() const { return size_; }
    std::size_t Pos() const { return pos_; }
    std::size_t Left() const { return size_ - pos_; }
    const uint8_t* Data() const { return data_; }

    [[noreturn]] void Fail(const std::string& why) const {
        throw ECodecError(std::string(format_) + ": " + why);
    }
    [[noreturn]] void Short() const { Fail("the file is cut short"); }

    void Seek(uint64_t pos) {
        if (pos > size_) Short();
        pos_ = static_cast<std::size_t>(pos);
    }
    void Skip(uint64_t n) {
        if (n > Left()) Short();
        pos_ += static_cast<std::size_t>(n);
    }
    // The next n bytes, checked to be there.
    const uint8_t* Take(uint64_t n) {
        if (n > Left()) Short();
        const uint8_t* p = data_ + pos_;
        pos_ += static_cast<std::size_t>(n);
        return p;
    }
    uint8_t U8() { return *Take(1); }
    uint16_t Le16() {
        const uint8_t* p = Take(2);
        return static_cast<uint16_t>(p[0] | p[1] << 8);
    }
    uint32_t Le32() {
        const uint8_t* p = Take(4);
        return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
               static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
    }
    uint16_t Be16() {
        const uint8_t* p = Take(2);
        return static_cast<uint16_t>(p[0] << 8 | p[1]);
    }
    uint32_t Be32() {
        const uint8_t* p = Take(4);
        return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
               static_cast<uint32_t>(p[2]) << 8 | p[3];
    }
    uint64_t Be64() {
        const uint64_t hi = Be32();
        return hi << 32 | Be32();
    }

private:
    const uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    const char* format_;
};

} // namespace pixora
