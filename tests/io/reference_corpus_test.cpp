// The TIFF and minor-format files of the sample corpus, read by our readers
// and compared with a reference decoder's renderings of them, kept beside
// this test (reference_renderings.txt, reference_pixels/) and made by
// scripts/make-reference-renderings.py. Every file either reads like the
// reference (the same size; within 1 per channel on the pixels the reference
// shows opaque, alpha within 1 everywhere) or is refused where the reference
// refuses it too, unless the difference is a known one listed below.

#include <gtest/gtest.h>
#include <png.h>

#include <QCryptographicHash>
#include <algorithm>
#include <filesystem>
#include <map>

#include "io/codecs/image_codecs.h"
#include "support/corpus.h"

using namespace pixora;
using namespace pixora::testing;
namespace fs = std::filesystem;

namespace {

const std::string kHere = std::string(PIXORA_SOURCE_DIR) + "/tests/io/";

// Files on which the reference decoder is wrong, or refuses what we read,
// and why. Where the corpus holds a twin of the same picture that the
// reference does read, ours must equal our reading of the twin.
struct TKnown {
    const char* Why;
    const char* Twin = nullptr;
    int Tolerance = 1; // against the twin
};

const std::map<std::string, TKnown>& KnownDifferences() {
    const char* kUndefinedAlpha =
        "the extension area calls the attribute bits undefined; the reference shows "
        "them as alpha, all clear, an empty picture";
    const char* kRawFax = "a CCITT stream outside a TIFF: the reference guesses a fax page around it";
    const char* kUnfinished = "a strip the decoder cannot finish; the reference shows what it got";
    static const std::map<std::string, TKnown> known = {
        {"minisblack-2c-8b-alpha.tiff",
         {"the reference drops the associated alpha of grey + alpha and shows premultiplied grey opaque"}},
        {"off_l16.tif", {"the reference shows the raw log-encoded luminance (a flat grey)"}},
        {"ycbcr-cat.tif", {"the reference ignores the YCbCr subsampling (a striped picture)"}},
        {"flower-rgb-contig-24.tif", {"the reference misreads 24-bit samples", "flower-rgb-contig-08.tif"}},
        {"ojpeg_single_strip_no_rowsperstrip.tiff",
         {"the reference refuses the unsorted directory", "ojpeg_zackthecat_subsamp22_single_strip.tiff"}},
        {"utc16.tga", {kUndefinedAlpha, "utc24.tga", 4}},
        {"utc32.tga", {kUndefinedAlpha, "utc24.tga"}},
        {"UTC16.TGA", {kUndefinedAlpha, "UTC24.TGA", 4}},
        {"UTC32.TGA", {kUndefinedAlpha, "UTC24.TGA"}},
        {"CTC16.TGA", {kUndefinedAlpha, "CTC24.TGA", 4}},
        {"CTC32.TGA", {kUndefinedAlpha, "CTC24.TGA"}},
        {"devarea.tga",
         {"the extension area says the file has no alpha; the reference reads the attribute bits"}},
        {"bwa.tga", {"the reference reads 16-bit grey + alpha as 5-5-5 colour (a red picture)"}},
        {"b5-unused-cmap.tga",
         {"the reference applies the colour map of a true-colour file", "b5-noattrib.tga"}},
        {"mono.pcx", {"the reference shows the monochrome picture inverted (black text on black)"}},
        {"ccbug_463951.pcx", {"the reference takes the palette 7 entries early: every grey 7 levels dark"}},
        {"bmp_v5_with_icc.ico", {"the reference shifts the pixels of a version 5 header with a profile"}},
        {"laba_8bit.psd",
         {"the reference centres a* and b* on 127.5, not 128: colours at the gamut's edge move"}},
        {"hopper.pcd", {"the reference rounds the widened chroma its own way: up to 2 levels apart"}},
        // Files we refuse on purpose and the reference shows.
        {"miniswhite-1c-1b.g3", {kRawFax}},
        {"g3test.g3", {kRawFax}},
        {"testfax3_bug54_1dnoEOL.tif", {kUnfinished}},
        {"testfax3_bug_513.tiff", {kUnfinished}},
        {"text.tif", {kUnfinished}},
        // Files the reference cannot read at all; looked at, and twins where there are.
        {"CRSHAIR.CEL", {"the reference has no reader for Autodesk cels"}},
        {"ZIN.CEL", {"the reference has no reader for Autodesk cels"}},
        {"ZOUT.CEL", {"the reference has no reader for Autodesk cels"}},
        {"PSP.psp", {"the reference has no reader for Paintshop Pro"}},
        {"ginsu_rgb_nc8.rla", {"the reference refuses these Wavefront files as corrupt"}},
        {"ginsu_a_nc8.rla", {"the reference refuses these Wavefront files as corrupt"}},
        {"ginsu_rgb_nc16.rla",
         {"the reference refuses these Wavefront files as corrupt", "ginsu_rgb_nc8.rla"}},
        {"ginsu_a_nc16.rla", {"the reference refuses these Wavefront files as corrupt", "ginsu_a_nc8.rla"}},
        {"53alphas.psd", {"the reference refuses more than 56 channels"}},
        {"indexed.psd", {"the reference refuses indexed Photoshop files"}},
        {"psd_indexed_trans.psd", {"the reference refuses indexed Photoshop files"}},
        {"mch1-8bits.psd", {"the reference refuses multichannel Photoshop files", "mch2-8bits.psd"}},
        {"mch2-8bits.psd", {"the reference refuses multichannel Photoshop files"}},
    };
    return known;
}

// Our reading as the renderings hold theirs: R, G, B, A per pixel (A = 255
// opaque), the colour bytes zeroed where the pixel is not opaque.
std::vector<uint8_t> Canonical(const Bitmap& b) {
    std::vector<uint8_t> out(static_cast<std::size_t>(b.Width()) * static_cast<std::size_t>(b.Height()) * 4);
    uint8_t* d = out.data();
    for (int y = 0; y < b.Height(); ++y) {
        const uint8_t* s = b.Row(y);
        for (int x = 0; x < b.Width(); ++x, s += 4, d += 4) {
            d[3] = static_cast<uint8_t>(255 - s[3]);
            if (d[3] != 255) continue;
            d[0] = s[2];
            d[1] = s[1];
            d[2] = s[0];
        }
    }
    return out;
}

std::string Sha256(const std::vector<uint8_t>& bytes) {
    return QCryptographicHash::hash(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())),
                                    QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}

// The reference's pixels of a rendering whose hash is `digest`, kept as a
// PNG where a tolerance is compared (read by libpng itself); empty when none
// are kept or they are not those the hash names.
std::vector<uint8_t> ReferencePixels(const std::string& digest, std::size_t size) {
    const std::string file = kHere + "reference_pixels/" + digest.substr(0, 16) + ".png";
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, file.c_str())) return {};
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> px(PNG_IMAGE_SIZE(image));
    const bool read = px.size() == size && png_image_finish_read(&image, nullptr, px.data(), 0, nullptr);
    png_image_free(&image);
    return read && Sha256(px) == digest ? px : std::vector<uint8_t>{};
}

// How far our reading lies from the reference's pixels: the largest colour
// difference over the pixels the reference shows opaque, and the largest
// alpha difference anywhere.
struct TDiff {
    int Colour = 0, Alpha = 0, WorstX = -1, WorstY = -1;
};

TDiff Compare(const Bitmap& ours, const std::vector<uint8_t>& ref) {
    TDiff d;
    const uint8_t* r = ref.data();
    for (int y = 0; y < ours.Height(); ++y) {
        const uint8_t* o = ours.Row(y);
        for (int x = 0; x < ours.Width(); ++x, o += 4, r += 4) {
            d.Alpha = std::max(d.Alpha, std::abs((255 - o[3]) - r[3]));
            if (r[3] != 255) continue;
            const int c = std::max({std::abs(o[2] - r[0]), std::abs(o[1] - r[1]), std::abs(o[0] - r[2])});
            if (c > d.Colour) d = {c, d.Alpha, x, y};
        }
    }
    return d;
}

int TwinDifference(const Bitmap& a, const Bitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return 256;
    int worst = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width() * 4; ++x)
            worst = std::max(worst, std::abs(a.Row(y)[x] - b.Row(y)[x]));
    return worst;
}

struct TTally {
    int Matched = 0, Refused = 0, Mismatched = 0, Known = 0;
};

} // namespace

TEST(ReferenceCorpus, TiffAndMinorFormatsReadLikeTheReference) {
    const fs::path root = CorpusRoot();
    PIXORA_NEED_FOLDER(root);
    auto renderings = ReadManifest(kHere + "reference_renderings.txt");
    ASSERT_GT(renderings.size(), 150u) << "the renderings are missing or short";
    std::map<std::string, TTally> tally;
    std::vector<std::string> mismatched, unlisted, needless;
    std::vector<fs::path> files;
    for (const char* top : {"tiff", "minor"})
        for (const auto& e : fs::recursive_directory_iterator(root / top))
            if (e.is_regular_file()) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        const std::string name = file.filename().string();
        if (name.rfind("README", 0) == 0 || name == "LICENSE" || file.extension() == ".txt") continue;
        const std::string rel = file.lexically_relative(root).string();
        const auto line = renderings.find(rel);
        if (line == renderings.end()) {
            unlisted.push_back(rel);
            continue;
        }
        const std::vector<std::string> ref = line->second;
        renderings.erase(line);
        const bool refRefused = ref.size() == 1 && ref[0] == "refused";
        ASSERT_TRUE(refRefused || ref.size() == 2) << rel << ": a malformed line";
        const auto knownAt = KnownDifferences().find(name);
        const bool known = knownAt != KnownDifferences().end();
        const fs::path top = *fs::path(rel).begin();
        const std::string group = top == "tiff" ? "tiff" : (top / *std::next(fs::path(rel).begin())).string();
        TTally& t = tally[group];

        Bitmap ours;
        std::string error;
        try {
            ours = LoadImageFile(file.string(), FormatFromExtension(file.string()));
        } catch (const ECodecError& e) {
            error = e.what();
        }
        // What is wrong with our reading, if anything.
        std::string unlike;
        const std::string size = std::to_string(ours.Width()) + "x" + std::to_string(ours.Height());
        if (!error.empty()) {
            if (!refRefused) unlike = "refused (" + error + "), the reference reads it at " + ref[0];
        } else if (refRefused) {
            unlike = "read at " + size + ", the reference refuses it";
        } else if (size != ref[0] || ours.BitsPerPixel() != 32) {
            unlike = "read at " + size + ", the reference at " + ref[0];
        } else if (const std::vector<uint8_t> mine = Canonical(ours); Sha256(mine) != ref[1]) {
            const std::vector<uint8_t> pixels = ReferencePixels(ref[1], mine.size());
            if (pixels.empty()) {
                unlike = "not the reference's pixels (none kept to compare within a tolerance)";
            } else {
                const TDiff d = Compare(ours, pixels);
                if (d.Colour > 1 || d.Alpha > 1)
                    unlike = "colour " + std::to_string(d.Colour) + " at (" + std::to_string(d.WorstX) + "," +
                             std::to_string(d.WorstY) + "), alpha " + std::to_string(d.Alpha);
            }
        }
        if (unlike.empty()) {
            ++(error.empty() ? t.Matched : t.Refused);
            // A known difference that is gone is no longer one.
            if (known) needless.push_back(rel);
            continue;
        }
        std::printf("  %s %-55s %s\n", known ? "known   " : "MISMATCH", rel.c_str(), unlike.c_str());
        if (!known) {
            ++t.Mismatched;
            mismatched.push_back(rel + ": " + unlike);
            continue;
        }
        ++t.Known;
        std::printf("           %s\n", knownAt->second.Why);
        if (knownAt->second.Twin) {
            const fs::path twin = file.parent_path() / knownAt->second.Twin;
            const Bitmap other = LoadImageFile(twin.string(), FormatFromExtension(twin.string()));
            EXPECT_LE(TwinDifference(ours, other), knownAt->second.Tolerance) << rel << " against " << twin;
        }
    }
    std::printf("  %-22s %8s %8s %8s %8s\n", "format", "like ref", "refused", "known", "mismatch");
    for (const auto& [g, t] : tally)
        std::printf("  %-22s %8d %8d %8d %8d\n", g.c_str(), t.Matched, t.Refused, t.Known, t.Mismatched);
    EXPECT_TRUE(mismatched.empty()) << mismatched.size() << " files read unlike the reference, first "
                                    << (mismatched.empty() ? "" : mismatched[0]);
    EXPECT_TRUE(needless.empty()) << "listed as known differences but read like the reference: "
                                  << (needless.empty() ? "" : needless[0]);
    // The renderings and the corpus name the same files (else: run the script).
    EXPECT_TRUE(unlisted.empty()) << unlisted.size() << " files without a rendering, first "
                                  << (unlisted.empty() ? "" : unlisted[0]);
    EXPECT_TRUE(renderings.empty()) << renderings.size() << " renderings without a file, first "
                                    << (renderings.empty() ? "" : renderings.begin()->first);
}
