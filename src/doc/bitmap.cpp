#include "doc/bitmap.h"
#include "doc/row_ranges.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>

namespace pixora {

namespace {

// Large bitmaps are asked to be backed by huge pages: touching a fresh
// 48 MB image then costs a few dozen page faults instead of twelve
// thousand. Only the whole 2 MB pages inside the block are advised.
void AdviseLargePages(uint8_t* p, std::size_t bytes) {
    constexpr std::size_t kHuge = std::size_t(2) << 20;
    if (bytes < 4 * kHuge) return;
    const auto begin = (reinterpret_cast<std::uintptr_t>(p) + kHuge - 1) & ~(kHuge - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(p) + bytes) & ~(kHuge - 1);
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

// A block larger than the machine's memory fails at once, as the
// allocator would fail it, without asking: some allocators end the program
// on such a request instead of returning nothing.
bool BeyondMemory(std::size_t bytes) {
    if (bytes < (std::size_t(1) << 30)) return false;
    const long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGE_SIZE);
    return pages > 0 && pageSize > 0 &&
           bytes / static_cast<std::size_t>(pageSize) >= static_cast<std::size_t>(pages);
}

} // namespace

std::size_t Bitmap::StrideFor(int width, int bpp) {
    const std::size_t raw = static_cast<std::size_t>(std::max(width, 0)) * static_cast<std::size_t>(bpp / 8);
    return (raw + 3) & ~static_cast<std::size_t>(3);
}

Bitmap::Bitmap(int width, int height, int bitsPerPixel) : bpp_(bitsPerPixel) {
    if (bpp_ != 24 && bpp_ != 32) throw std::invalid_argument("Bitmap: 24 or 32 bits per pixel only");
    SetSize(width, height);
}

Bitmap::Bitmap(const Bitmap& other) {
    Assign(other);
}

Bitmap& Bitmap::operator=(const Bitmap& other) {
    if (this != &other) Assign(other);
    return *this;
}

Bitmap::Bitmap(Bitmap&& other) noexcept
    : width_(other.width_), height_(other.height_), bpp_(other.bpp_), stride_(other.stride_),
      data_(std::move(other.data_)) {
    other.width_ = other.height_ = 0;
    other.stride_ = 0;
}

Bitmap& Bitmap::operator=(Bitmap&& other) noexcept {
    if (this != &other) {
        width_ = other.width_;
        height_ = other.height_;
        bpp_ = other.bpp_;
        stride_ = other.stride_;
        data_ = std::move(other.data_);
        other.width_ = other.height_ = 0;
        other.stride_ = 0;
    }
    return *this;
}

void Bitmap::TFreeBytes::operator()(uint8_t* p) const noexcept {
    std::free(p);
}

void Bitmap::SetSize(int width, int height) {
    Resize(width, height, true);
}

void Bitmap::SetSizeUncleared(int width, int height) {
    Resize(width, height, false);
}

void Bitmap::Resize(int width, int height, bool zeroed) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    const std::size_t stride = StrideFor(width, bpp_);
    const std::size_t bytes = stride * static_cast<std::size_t>(height);
    std::unique_ptr<uint8_t[], TFreeBytes> data;
    if (bytes > 0) {
        // calloc hands out fresh pages from the system without writing
        // them, so the zeros of a large bitmap cost nothing until used.
        if (BeyondMemory(bytes)) throw std::bad_alloc();
        data.reset(static_cast<uint8_t*>(zeroed ? std::calloc(bytes, 1) : std::malloc(bytes)));
        if (!data) throw std::bad_alloc();
        AdviseLargePages(data.get(), bytes);
    }
    data_ = std::move(data);
    width_ = width;
    height_ = height;
    stride_ = stride;
}

void Bitmap::SetBitsPerPixel(int bpp) {
    if (bpp != 24 && bpp != 32) throw std::invalid_argument("Bitmap: 24 or 32 bits per pixel only");
    if (bpp == bpp_) return;
    Bitmap converted(width_, height_, bpp);
    for (int y = 0; y < height_; ++y) {
        const uint8_t* s = Row(y);
        uint8_t* d = converted.Row(y);
        if (bpp == 32) {
            for (int x = 0; x < width_; ++x, s += 3, d += 4) {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
                d[3] = 0;
            }
        } else {
            for (int x = 0; x < width_; ++x, s += 4, d += 3) {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
            }
        }
    }
    *this = std::move(converted);
}

void Bitmap::Clear() {
    data_.reset();
    width_ = height_ = 0;
    stride_ = 0;
}

void Bitmap::Fill(uint8_t b, uint8_t g, uint8_t r, uint8_t t) {
    if (Empty()) return;
    const int bpp = BytesPerPixel();
    // Build one row, then copy it to the rest.
    uint8_t* first = Row(0);
    for (int x = 0; x < width_; ++x) {
        uint8_t* p = first + x * bpp;
        p[0] = b;
        p[1] = g;
        p[2] = r;
        if (bpp == 4) p[3] = t;
    }
    for (int y = 1; y < height_; ++y)
        std::memcpy(Row(y), first, stride_);
}

void Bitmap::FillColour(int32_t colour) {
    const uint8_t r = RedOf(colour), g = GreenOf(colour), b = BlueOf(colour);
    const int bpp = BytesPerPixel();
    for (int y = 0; y < height_; ++y) {
        uint8_t* p = Row(y);
        for (int x = 0; x < width_; ++x, p += bpp) {
            p[0] = b;
            p[1] = g;
            p[2] = r;
        }
    }
}

void Bitmap::Assign(const Bitmap& other) {
    if (this == &other) return;
    std::unique_ptr<uint8_t[], TFreeBytes> data;
    const std::size_t bytes = other.ByteSize();
    if (bytes > 0) {
        data.reset(static_cast<uint8_t*>(std::malloc(bytes)));
        if (!data) throw std::bad_alloc();
        AdviseLargePages(data.get(), bytes);
        std::memcpy(data.get(), other.data_.get(), bytes);
    }
    data_ = std::move(data);
    width_ = other.width_;
    height_ = other.height_;
    bpp_ = other.bpp_;
    stride_ = other.stride_;
}

void Bitmap::FillGreyRect(int l, int t, int r, int bottom, uint8_t grey) {
    if (bpp_ != 32) return;
    l = std::max(l, 0);
    t = std::max(t, 0);
    r = std::min(r, width_);
    bottom = std::min(bottom, height_);
    for (int y = t; y < bottom; ++y) {
        uint8_t* p = Row(y) + 4 * static_cast<std::size_t>(std::max(l, 0));
        for (int x = l; x < r; ++x, p += 4)
            p[0] = p[1] = p[2] = grey, p[3] = 0;
    }
}

void FillRowTable(Bitmap& bitmap, TRowTable& table) {
    table.Entries.resize(static_cast<std::size_t>(bitmap.Height()));
    for (int r = 0; r < bitmap.Height(); ++r)
        table.Entries[static_cast<std::size_t>(r)] = bitmap.Row(r);
}

bool SameBitmap(const Bitmap& a, const Bitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height() || a.BitsPerPixel() != b.BitsPerPixel()) return false;
    const std::size_t bytes = static_cast<std::size_t>(a.Width()) * a.BytesPerPixel();
    // Both halves at once on a big picture; either stops when a difference is found.
    std::atomic<bool> differs{false};
    ForRowRanges(a.Height(), 2 * bytes * static_cast<std::size_t>(a.Height()), [&](int y0, int y1) {
        for (int y = y0; y < y1 && !differs.load(std::memory_order_relaxed); ++y)
            if (std::memcmp(a.Row(y), b.Row(y), bytes) != 0) differs = true;
    });
    return !differs;
}

} // namespace pixora
