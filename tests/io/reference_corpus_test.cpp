// The real sample files of the corpus, read by our readers and by a
// reference decoder: every file either reads like the reference (within 1
// per channel on the pixels it shows opaque) or is refused with a message.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "io/codecs/image_codecs.h"
#include "reference_decoder.h"
#include "support/corpus.h"

using namespace pixora;
using namespace pixora::testing;
namespace fs = std::filesystem;

namespace {

// Files on which the reference decoder is wrong, and why. Where the corpus
// holds a twin of the same picture that the reference does read, ours must
// equal our reading of the twin.
struct TKnown {
    const char* Why;
    const char* Twin = nullptr;
    int Tolerance = 1; // against the twin
};

const std::map<std::string, TKnown>& KnownDifferences() {
    const char* kUndefinedAlpha =
        "the extension area calls the attribute bits undefined; the reference shows "
        "them as alpha, all clear, an empty picture";
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

// Largest colour difference of two readings of the same picture.
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
    const std::string program = ReferenceDecoderPath();
    PIXORA_NEED(!program.empty(), "the reference decoder");
    PIXORA_NEED_FOLDER(root);
    std::map<std::string, TTally> tally;
    std::vector<std::string> mismatched;
    std::vector<fs::path> files;
    for (const char* top : {"tiff", "minor"})
        for (const auto& e : fs::recursive_directory_iterator(root / top))
            if (e.is_regular_file()) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        const std::string name = file.filename().string();
        if (name.rfind("README", 0) == 0 || name == "LICENSE" || file.extension() == ".txt") continue;
        const fs::path rel = file.lexically_relative(root);
        const std::string group =
            *rel.begin() == "tiff" ? "tiff" : (*rel.begin() / *std::next(rel.begin())).string();
        TTally& t = tally[group];
        Bitmap ours;
        std::string error;
        try {
            ours = LoadImageFile(file.string(), FormatFromExtension(file.string()));
        } catch (const ECodecError& e) {
            error = e.what();
        }
        const TReferenceImage ref = DecodeWithReference(program, file.string());
        const auto knownAt = KnownDifferences().find(name);
        const bool known = knownAt != KnownDifferences().end();
        if (!error.empty()) {
            EXPECT_FALSE(error.empty());
            ++t.Refused;
            std::printf("  refused   %-55s %s%s\n", rel.c_str(), error.c_str(),
                        ref.Empty() ? " (reference too)" : "");
            continue;
        }
        const TReferenceDiff d = CompareWithReference(ours, ref);
        const bool match = !ref.Empty() && d.SameSize && d.Colour <= 1 && d.Alpha <= 1;
        if (match) {
            ++t.Matched;
            continue;
        }
        std::printf("  %s %-55s ours %dx%d, reference %dx%d, colour %d at (%d,%d), alpha %d\n",
                    known ? "known    " : "MISMATCH ", rel.c_str(), ours.Width(), ours.Height(), ref.Width,
                    ref.Height, d.Colour, d.WorstX, d.WorstY, d.Alpha);
        if (known) {
            ++t.Known;
            std::printf("            %s\n", knownAt->second.Why);
            if (knownAt->second.Twin) {
                const fs::path twin = file.parent_path() / knownAt->second.Twin;
                const Bitmap other = LoadImageFile(twin.string(), FormatFromExtension(twin.string()));
                EXPECT_LE(TwinDifference(ours, other), knownAt->second.Tolerance)
                    << rel << " against " << twin;
            }
        } else {
            ++t.Mismatched;
            mismatched.push_back(rel.string());
        }
    }
    std::printf("  %-22s %8s %8s %8s %8s\n", "format", "like ref", "refused", "known", "mismatch");
    for (const auto& [g, t] : tally)
        std::printf("  %-22s %8d %8d %8d %8d\n", g.c_str(), t.Matched, t.Refused, t.Known, t.Mismatched);
    EXPECT_TRUE(mismatched.empty()) << mismatched.size() << " files read unlike the reference, first "
                                    << (mismatched.empty() ? "" : mismatched[0]);
}
