#include "tools/library.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "doc/resample.h"
#include "io/codecs/image_codecs.h"

namespace fs = std::filesystem;

namespace pixora {

namespace {

// Names matching "*.jpg" (as the file system spells them: case counts).
bool IsJpgName(const std::string& name) {
    return name.size() > 4 && name.ends_with(".jpg");
}

bool Exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

// The 5-pixel frame drawn around a cell (one pixel clear of its border).
void Frame(Bitmap& b, const TRect& c, uint8_t grey) {
    b.FillGreyRect(c.Left - 6, c.Top - 6, c.Right + 6, c.Top - 1, grey);
    b.FillGreyRect(c.Left - 6, c.Bottom + 1, c.Right + 6, c.Bottom + 6, grey);
    b.FillGreyRect(c.Left - 6, c.Top - 1, c.Left - 1, c.Bottom + 1, grey);
    b.FillGreyRect(c.Right + 1, c.Top - 1, c.Right + 6, c.Bottom + 1, grey);
}

// A one-pixel black border on the cell's outermost pixels.
void Border(Bitmap& b, const TRect& c) {
    b.FillGreyRect(c.Left, c.Top, c.Right, c.Top + 1, 0);
    b.FillGreyRect(c.Left, c.Bottom - 1, c.Right, c.Bottom, 0);
    b.FillGreyRect(c.Left, c.Top, c.Left + 1, c.Bottom, 0);
    b.FillGreyRect(c.Right - 1, c.Top, c.Right, c.Bottom, 0);
}

void DrawAt(const Bitmap& thumb, Bitmap& picture, int left, int top) {
    const int x1 = std::min(left + thumb.Width(), picture.Width());
    const int y1 = std::min(top + thumb.Height(), picture.Height());
    for (int y = std::max(top, 0); y < y1; ++y) {
        const uint8_t* src = thumb.Row(y - top);
        uint8_t* dst = picture.Row(y);
        for (int x = std::max(left, 0); x < x1; ++x) {
            std::memcpy(dst + x * 4, src + (x - left) * 4, 3);
            dst[x * 4 + 3] = 0;
        }
    }
}

} // namespace

TLibrary::TLibrary(std::string folder) : folder_(std::move(folder)) {
    if (!folder_.empty() && folder_.back() != '/') folder_ += '/';
}

int TLibrary::Count() const {
    std::error_code ec;
    int n = 0;
    for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec))
        if (!it->is_directory(ec) && IsJpgName(it->path().filename().string())) ++n;
    return n;
}

std::string TLibrary::PathOf(int k) const {
    return folder_ + std::to_string(k) + ".jpg";
}

Bitmap TLibrary::Load(int k) const {
    const std::string path = PathOf(k);
    Bitmap b = LoadImageFile(path, FormatFromExtension(path));
    b.SetBitsPerPixel(32);
    return b;
}

int TLibrary::Add(const Bitmap& image) const {
    std::error_code ec;
    fs::create_directories(folder_, ec);
    int k = Count() + 1;
    while (Exists(PathOf(k)))
        ++k;
    SaveOptions opts;
    opts.JpegGray = false;
    opts.JpegQuality = 100;
    WriteImageFile(PathOf(k), image, fcJpeg, opts);
    return k;
}

bool TLibrary::Remove(int k) const {
    const int n = Count();
    if (k < 1 || k > n) return false;
    std::error_code ec;
    if (!fs::remove(PathOf(k), ec) || ec) return false;
    for (int j = k + 1; j <= n; ++j)
        fs::rename(PathOf(j), PathOf(j - 1), ec);
    return true;
}

TSize LibraryThumbSize(int w, int h) {
    if (w <= 0 || h <= 0) return {0, 0};
    if (w <= kLibraryThumb && h <= kLibraryThumb) return {w, h};
    TSize s{static_cast<int>(static_cast<long long>(w) * kLibraryThumb / h), kLibraryThumb};
    if (s.Width > kLibraryThumb)
        s = {kLibraryThumb, static_cast<int>(static_cast<long long>(h) * kLibraryThumb / w)};
    s.Width = std::max(s.Width, 1);
    s.Height = std::max(s.Height, 1);
    return s;
}

TLibraryPicture DrawLibrary(const TLibrary& library, int width, std::vector<std::string>& failures) {
    TLibraryPicture p;
    const int n = library.Count();
    const int rows = (n + 1) / 2;
    p.Picture = Bitmap(std::max(width, 0), rows * kLibraryRowHeight, 32);
    p.Picture.Fill(255, 255, 255, 0);
    for (int k = 1; k <= n; ++k) {
        const int r = (k - 1) / 2;
        const int left = k % 2 == 1 ? 10 : 130, top = r * kLibraryRowHeight + 10;
        const TRect cell{left, top, left + kLibraryThumb, top + kLibraryThumb};
        p.Cells.push_back(cell);
        try {
            const Bitmap entry = library.Load(k);
            const TSize size = LibraryThumbSize(entry.Width(), entry.Height());
            Bitmap thumb(size.Width, size.Height, 32);
            BilinearResample(entry, thumb);
            DrawAt(thumb, p.Picture, left, top);
        } catch (const std::exception& e) {
            failures.emplace_back(e.what());
        }
    }
    return p;
}

int EntryAt(const TLibraryPicture& p, int x, int y) {
    for (std::size_t i = 0; i < p.Cells.size(); ++i) {
        const TRect& c = p.Cells[i];
        if (x >= c.Left && x < c.Right && y >= c.Top && y < c.Bottom) return static_cast<int>(i) + 1;
    }
    return 0;
}

void ChooseEntry(TLibraryPicture& p, int k) {
    if (k < 1 || k > static_cast<int>(p.Cells.size())) return;
    for (const TRect& c : p.Cells) {
        Frame(p.Picture, c, 255);
        Border(p.Picture, c);
    }
    Frame(p.Picture, p.Cells[static_cast<std::size_t>(k) - 1], 0);
    p.Selected = k;
}

} // namespace pixora
