#pragma once
// Bitmap: the pixel store of every document, layer and work image.
//
// Rows are stored top-down. A 32-bit pixel is 4 bytes B, G, R, T where T
// counts transparency (0 opaque, 255 fully transparent). A 24-bit pixel is
// B, G, R. Rows are padded to a multiple of 4 bytes, so a 32-bit row is
// exactly Width * 4 bytes.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace pixora {

class Bitmap {
public:
    Bitmap() = default;
    Bitmap(int width, int height, int bitsPerPixel = 32);
    Bitmap(const Bitmap& other);
    Bitmap& operator=(const Bitmap& other);
    Bitmap(Bitmap&& other) noexcept;
    Bitmap& operator=(Bitmap&& other) noexcept;
    ~Bitmap() = default;

    int Width() const { return width_; }
    int Height() const { return height_; }
    int BitsPerPixel() const { return bpp_; }
    int BytesPerPixel() const { return bpp_ / 8; }
    // Bytes from one row to the next.
    std::size_t Stride() const { return stride_; }
    std::size_t ByteSize() const { return stride_ * static_cast<std::size_t>(height_); }
    bool Empty() const { return width_ <= 0 || height_ <= 0; }

    uint8_t* Row(int y) { return data_.get() + stride_ * static_cast<std::size_t>(y); }
    const uint8_t* Row(int y) const { return data_.get() + stride_ * static_cast<std::size_t>(y); }
    uint8_t* Data() { return data_.get(); }
    const uint8_t* Data() const { return data_.get(); }

    // Changes the size. Pixel contents are zero afterwards (all bytes 0).
    // Throws std::bad_alloc when the storage cannot be had; the bitmap then
    // keeps its old size and pixels.
    void SetSize(int width, int height);
    // Like SetSize but leaves the new pixels as they come: for readers that
    // overwrite every byte of every row at once.
    void SetSizeUncleared(int width, int height);
    // Changes the pixel format. 24 -> 32 sets T to 0; 32 -> 24 drops T.
    void SetBitsPerPixel(int bpp);
    // Frees the pixels; the bitmap becomes 0 x 0 (the format is kept).
    void Clear();

    // Fills every pixel with the given bytes (T is ignored for 24-bit).
    void Fill(uint8_t b, uint8_t g, uint8_t r, uint8_t t = 0);
    // Fills the colour bytes from a colour value (red in the low byte) and
    // leaves T alone.
    void FillColour(int32_t colour);

    // Sets the colour bytes of the rectangle [l, r) x [t, bottom), clipped to
    // the bitmap, to one grey value and T to 0 (32 bits): for pictures such
    // as the layer strip, not for documents.
    void FillGreyRect(int l, int t, int r, int bottom, uint8_t grey);

    // Size, format and pixels of another bitmap.
    void Assign(const Bitmap& other);

    static std::size_t StrideFor(int width, int bpp);

private:
    // The pixels come from calloc/malloc: a zeroed bitmap that is never
    // written takes no memory (the system's zero pages stand for it).
    struct TFreeBytes {
        void operator()(uint8_t* p) const noexcept;
    };
    void Resize(int width, int height, bool zeroed);
    int width_ = 0;
    int height_ = 0;
    int bpp_ = 32;
    std::size_t stride_ = 0;
    std::unique_ptr<uint8_t[], TFreeBytes> data_;
};

// Colour values keep red in the low byte, green in the next and blue in the
// third (as the drawing colours and swatches store them).
inline constexpr int32_t RGBColour(int r, int g, int b) {
    return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}
inline constexpr uint8_t RedOf(int32_t c) {
    return static_cast<uint8_t>(c & 0xFF);
}
inline constexpr uint8_t GreenOf(int32_t c) {
    return static_cast<uint8_t>((c >> 8) & 0xFF);
}
inline constexpr uint8_t BlueOf(int32_t c) {
    return static_cast<uint8_t>((c >> 16) & 0xFF);
}

// Cached row addresses of one bitmap. Entry r holds the address of row r.
// The table is sized to the bitmap it was filled from; refill it after every
// change of that bitmap's size or storage.
struct TRowTable {
    std::vector<uint8_t*> Entries;

    uint8_t* operator[](int row) const { return Entries[static_cast<std::size_t>(row)]; }
    int Count() const { return static_cast<int>(Entries.size()); }
};

void FillRowTable(Bitmap& bitmap, TRowTable& table);

// Whether two bitmaps have the same size, depth and pixel bytes.
bool SameBitmap(const Bitmap& a, const Bitmap& b);

} // namespace pixora
