#include "fuzz/writer_targets.h"

#include <QByteArray>
#include <QImage>

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "history/history_store.h"
#include "io/codecs/image_codecs.h"

namespace pixora::fuzz {

namespace {

namespace fs = std::filesystem;

// The input read front to back; past its end every byte is 0.
class TRecipe {
public:
    TRecipe(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    int Word() { return Byte() | Byte() << 8; }
    std::vector<uint8_t> Rest() { return std::vector<uint8_t>(data_ + std::min(at_, size_), data_ + size_); }

private:
    const uint8_t* data_;
    std::size_t size_, at_ = 0;
};

constexpr int kMaxWidth = 320, kMaxHeight = 240;

// A picture drawn from the recipe: its size, then a byte that says how it
// is drawn (bits 0-1: any colours, or a palette of 2, 16 or 256 of them;
// bits 2-3: fourth bytes 0, any, 0 or 255, or one value for all; bits 4-5:
// each colour repeated over runs of 1, 5 or 64 pixels or a whole row), then
// the bytes it is drawn from, taken over and over.
Bitmap PictureFrom(TRecipe& r) {
    const int w = 1 + r.Word() % kMaxWidth, h = 1 + r.Word() % kMaxHeight;
    const int look = r.Byte();
    const std::vector<uint8_t> ink = r.Rest();
    std::size_t next = 0;
    auto take = [&] {
        return ink.empty() ? static_cast<uint8_t>(next++ * 131 / 7) : ink[next++ % ink.size()];
    };
    static constexpr int kPaletteSizes[4] = {0, 2, 16, 256}, kRuns[4] = {1, 5, 64, kMaxWidth};
    std::vector<uint8_t> palette(3 * static_cast<std::size_t>(kPaletteSizes[look & 3]));
    for (uint8_t& b : palette)
        b = take();
    const int fourth = look >> 2 & 3, run = kRuns[look >> 4 & 3];
    const uint8_t single = take();
    Bitmap picture(w, h, 32);
    for (int y = 0; y < h; ++y) {
        uint8_t* p = picture.Row(y);
        for (int x = 0; x < w; ++x, p += 4) {
            if (x % run != 0) {
                std::copy_n(p - 4, 4, p);
                continue;
            }
            if (palette.empty()) {
                p[0] = take(), p[1] = take(), p[2] = take();
            } else {
                const std::size_t i = 3 * (take() % (palette.size() / 3));
                std::copy_n(palette.begin() + static_cast<std::ptrdiff_t>(i), 3, p);
            }
            p[3] = fourth == 0 ? 0 : fourth == 1 ? take() : fourth == 2 ? (take() & 1) * 255 : single;
        }
    }
    return picture;
}

// What a format keeps of a picture.
enum class TKept {
    Everything,  // all four bytes
    Colours,     // blue, green and red; the fourth byte comes back 0
    TopBits,     // the top five bits of blue, green and red; fourth byte 0
    FewColours,  // the colours where the picture has at most Limit of them; fourth byte 0
    KeyedPixels, // keyed pixels come back red and transparent, the others as FewColours
    Approximate, // the size, no fourth byte, and close colours at high qualities
};

struct TExpected {
    TKept Kept = TKept::Everything;
    int Limit = 256;           // FewColours, KeyedPixels
    int Sensitivity = 0;       // KeyedPixels: T >= 255 - Sensitivity is keyed
    bool Gray = false;         // Approximate: blue = green = red
    bool CloseColours = false; // Approximate: the mean difference of a byte is small
    bool Bmp = false;          // Everything: written as BMP data
};

// A JPEG at quality 90 or more (no colour subsampling) keeps the bytes
// within this mean difference of the picture's: uniform noise, the hardest
// picture to keep, comes back within about 6.6 at quality 90, 0.6 at 100.
constexpr double kCloseMean = 12.0;

bool Keyed(const uint8_t* p, const TExpected& e) {
    return e.Sensitivity >= 255 - p[3];
}

// The colour a pixel is written in: the GIF key colour is reserved, so a
// pixel of exactly that colour is moved one step of blue off it.
uint32_t WrittenColour(const uint8_t* p, const TExpected& e) {
    uint32_t c =
        static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16;
    const uint32_t key = static_cast<uint32_t>(GifKeyBlue) | static_cast<uint32_t>(GifKeyGreen) << 8 |
                         static_cast<uint32_t>(GifKeyRed) << 16;
    if (e.Kept == TKept::KeyedPixels && c == key) c -= 1;
    return c;
}

// True when the picture's colours (those not keyed) are few enough to be
// written as they are.
bool FewEnoughColours(const Bitmap& picture, const TExpected& e) {
    std::vector<uint32_t> colours;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) {
            const uint8_t* p = picture.Row(y) + 4 * x;
            if (e.Kept != TKept::KeyedPixels || !Keyed(p, e)) colours.push_back(WrittenColour(p, e));
        }
    std::sort(colours.begin(), colours.end());
    return std::unique(colours.begin(), colours.end()) - colours.begin() <= e.Limit;
}

std::string Where(int x, int y, const uint8_t* want, const uint8_t* got) {
    auto bytes = [](const uint8_t* p) {
        return std::to_string(p[0]) + "," + std::to_string(p[1]) + "," + std::to_string(p[2]) + "," +
               std::to_string(p[3]);
    };
    return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") is " + bytes(got) + " for " +
           bytes(want);
}

// Empty when `back` is what the format keeps of `picture`; otherwise what
// differs. own: read by the program's reader; Qt's takes 32-bit BMP files
// as opaque and leaves the colour of transparent GIF pixels open.
std::string Compare(const Bitmap& picture, const Bitmap& back, const TExpected& e, bool own) {
    if (back.Width() != picture.Width() || back.Height() != picture.Height())
        return "a picture of " + std::to_string(back.Width()) + " x " + std::to_string(back.Height()) +
               " comes back for one of " + std::to_string(picture.Width()) + " x " +
               std::to_string(picture.Height());
    if (back.BitsPerPixel() != 32)
        return "a picture of " + std::to_string(back.BitsPerPixel()) + " bits comes back";
    const bool exact =
        (e.Kept != TKept::FewColours && e.Kept != TKept::KeyedPixels) || FewEnoughColours(picture, e);
    double differences = 0;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) {
            const uint8_t* want = picture.Row(y) + 4 * x;
            const uint8_t* got = back.Row(y) + 4 * x;
            bool same = true;
            switch (e.Kept) {
            case TKept::Everything:
                same = std::equal(want, want + (own || !e.Bmp ? 4 : 3), got);
                break;
            case TKept::Colours:
                same = std::equal(want, want + 3, got) && got[3] == 0;
                break;
            case TKept::TopBits:
                for (int k = 0; k < 3; ++k)
                    same = same && want[k] >> 3 == got[k] >> 3;
                same = same && got[3] == 0;
                break;
            case TKept::KeyedPixels:
                if (Keyed(want, e)) {
                    same = got[3] == 255 && (!own || (got[0] == 0 && got[1] == 0 && got[2] == 255));
                    break;
                }
                [[fallthrough]];
            case TKept::FewColours: {
                const uint32_t c = WrittenColour(want, e);
                same = got[3] == 0 && (!exact || (got[0] == (c & 0xFF) && got[1] == (c >> 8 & 0xFF) &&
                                                  got[2] == (c >> 16 & 0xFF)));
                break;
            }
            case TKept::Approximate:
                same = got[3] == 0 && (!e.Gray || (got[0] == got[1] && got[1] == got[2]));
                for (int k = 0; k < 3; ++k)
                    differences += std::abs(int{want[k]} - int{got[k]});
                break;
            }
            if (!same) return Where(x, y, want, got);
        }
    const double mean = differences / (3.0 * picture.Width() * picture.Height());
    if (e.CloseColours && mean > kCloseMean)
        return "the bytes differ by " + std::to_string(mean) + " on average";
    return {};
}

// The file as Qt's image reader sees it, in the program's pixel layout.
Bitmap ReadWithQt(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const QImage image = QImage::fromData(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())))
                             .convertToFormat(QImage::Format_ARGB32);
    if (image.isNull()) return {};
    Bitmap out(image.width(), image.height(), 32);
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uint8_t* p = out.Row(y);
        for (int x = 0; x < image.width(); ++x, p += 4) {
            p[0] = static_cast<uint8_t>(qBlue(line[x]));
            p[1] = static_cast<uint8_t>(qGreen(line[x]));
            p[2] = static_cast<uint8_t>(qRed(line[x]));
            p[3] = static_cast<uint8_t>(255 - qAlpha(line[x]));
        }
    }
    return out;
}

// A folder of its own for one round trip, removed with everything in it.
class TScratchFolder {
public:
    TScratchFolder() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/pixora-fuzz-XXXXXX";
        if (mkdtemp(pattern.data())) path_ = pattern;
    }
    ~TScratchFolder() {
        std::error_code ignored;
        if (!path_.empty()) fs::remove_all(path_, ignored);
    }
    TScratchFolder(const TScratchFolder&) = delete;
    TScratchFolder& operator=(const TScratchFolder&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

TFuzzResult Fault(const std::string& what) {
    return {TFuzzOutcome::Fault, what};
}

// Writes the picture into a file named `name` with `write`, reads it back
// with `read` and with Qt's reader, and compares both with the picture.
template <class Write, class Read>
TFuzzResult RoundTrip(const Bitmap& picture, const std::string& name, const TExpected& e, Write write,
                      Read read, bool qtReads = true) {
    const TScratchFolder folder;
    if (folder.Path().empty()) return Fault("cannot make a scratch folder");
    const std::string path = folder.Path() + "/" + name;
    const std::string what =
        name + ", " + std::to_string(picture.Width()) + " x " + std::to_string(picture.Height()) + ": ";
    try {
        write(path, picture);
    } catch (const std::exception& x) {
        return Fault(what + "the writer refuses the picture: " + x.what());
    }
    Bitmap back;
    try {
        back = read(path);
    } catch (const std::exception& x) {
        return Fault(what + "the program's reader refuses the file: " + x.what());
    }
    if (const std::string d = Compare(picture, back, e, true); !d.empty())
        return Fault(what + "read back by the program, " + d);
    if (!qtReads) return {TFuzzOutcome::Opened, what + "comes back as written"};
    const Bitmap qt = ReadWithQt(path);
    if (qt.Empty()) return Fault(what + "Qt's reader refuses the file");
    if (const std::string d = Compare(picture, qt, e, false); !d.empty())
        return Fault(what + "read back by Qt, " + d);
    return {TFuzzOutcome::Opened, what + "comes back as written"};
}

// A round trip through the save command's writer of a format code.
TFuzzResult SaveRoundTrip(const Bitmap& picture, const std::string& name, int formatCode,
                          const SaveOptions& o, const TExpected& e, bool qtReads = true) {
    return RoundTrip(
        picture, name, e,
        [&](const std::string& path, const Bitmap& b) { WriteImageFile(path, b, formatCode, o); },
        [&](const std::string& path) { return LoadImageFile(path, formatCode); }, qtReads);
}

// A name of no format the program writes: the save is refused and leaves
// no file behind.
TFuzzResult RefusedSave(const Bitmap& picture, const std::string& name) {
    const TScratchFolder folder;
    if (folder.Path().empty()) return Fault("cannot make a scratch folder");
    try {
        WriteImageFile(folder.Path() + "/" + name, picture, fcOther, SaveOptions{});
    } catch (const std::exception& x) {
        if (!fs::is_empty(folder.Path())) return Fault(name + ": refused, but a file was left: " + x.what());
        return {TFuzzOutcome::Refused, name + ": " + x.what()};
    }
    return Fault(name + ": written, though the program has no writer for it");
}

} // namespace

TFuzzResult RoundTripBmp(const uint8_t* data, std::size_t size) {
    TRecipe r(data, size);
    // 8, 16, 24 or 32 bits; then the same picture under a TIFF name (a TIFF
    // file, which Qt here does not read) and under an unknown extension
    // (refused, nothing written).
    const int choice = r.Byte() % 6;
    const Bitmap picture = PictureFrom(r);
    SaveOptions o;
    TExpected e;
    if (choice == 4) return SaveRoundTrip(picture, "picture.tif", fcTiff, o, e, false);
    if (choice == 5) return RefusedSave(picture, "picture.xyz");
    e.Bmp = true;
    o.BmpBits = 8 * (choice + 1);
    static constexpr TKept kKept[4] = {TKept::FewColours, TKept::TopBits, TKept::Colours, TKept::Everything};
    e.Kept = kKept[choice];
    return SaveRoundTrip(picture, "picture.bmp", fcBmp, o, e);
}

TFuzzResult RoundTripPng(const uint8_t* data, std::size_t size) {
    TRecipe r(data, size);
    return SaveRoundTrip(PictureFrom(r), "picture.png", fcPng, SaveOptions{}, TExpected{});
}

TFuzzResult RoundTripJpeg(const uint8_t* data, std::size_t size) {
    TRecipe r(data, size);
    SaveOptions o;
    o.JpegQuality = r.Byte() % 101;
    o.JpegGray = r.Byte() & 1;
    TExpected e;
    e.Kept = TKept::Approximate;
    e.Gray = o.JpegGray;
    e.CloseColours = !o.JpegGray && o.JpegQuality >= 90;
    return SaveRoundTrip(PictureFrom(r), "picture.jpg", fcJpeg, o, e);
}

TFuzzResult RoundTripGif(const uint8_t* data, std::size_t size) {
    TRecipe r(data, size);
    SaveOptions o;
    o.GifSensitivity = r.Byte();
    TExpected e;
    e.Kept = TKept::KeyedPixels;
    e.Limit = 255;
    e.Sensitivity = o.GifSensitivity;
    return SaveRoundTrip(PictureFrom(r), "picture.gif", fcGif, o, e);
}

TFuzzResult RoundTripSnapshot(const uint8_t* data, std::size_t size) {
    TRecipe r(data, size);
    const bool inPlace = r.Byte() & 1;
    TExpected e;
    e.Bmp = true;
    return RoundTrip(
        PictureFrom(r), "snapshot.bmp", e,
        [inPlace](const std::string& path, const Bitmap& b) { WriteSnapshot(path, b, !inPlace); },
        [](const std::string& path) {
            Bitmap into(3, 2, 32);
            ReadSnapshot(path, into);
            return into;
        });
}

} // namespace pixora::fuzz
