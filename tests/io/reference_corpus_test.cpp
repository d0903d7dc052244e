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

using namespace pixora;
using namespace pixora::testing;
namespace fs = std::filesystem;

namespace {

// Files on which the reference decoder is wrong, and why. Where the corpus
// holds a twin of the same picture that the reference does read, ours must
// equal our reading of the twin.
struct TKnown {
    const char* Why;
    const char* Twin;
};

const std::map<std::string, TKnown>& KnownDifferences() {
    static const std::map<std::string, TKnown> known = {
        {"minisblack-2c-8b-alpha.tiff",
         {"the reference drops the associated alpha of grey + alpha and shows premultiplied grey opaque",
          nullptr}},
        {"off_l16.tif", {"the reference shows the raw log-encoded luminance (a flat grey)", nullptr}},
        {"ycbcr-cat.tif", {"the reference ignores the YCbCr subsampling (a striped picture)", nullptr}},
        {"flower-rgb-contig-24.tif", {"the reference misreads 24-bit samples", "flower-rgb-contig-08.tif"}},
        {"ojpeg_single_strip_no_rowsperstrip.tiff",
         {"the reference refuses the unsorted directory", "ojpeg_zackthecat_subsamp22_single_strip.tiff"}},
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
    const fs::path root = fs::path(PIXORA_SHARED_DIR) / "corpus";
    const std::string program = ReferenceDecoderPath();
    if (program.empty()) GTEST_SKIP() << "no reference decoder installed";
    if (!fs::is_directory(root)) GTEST_SKIP() << "no corpus at " << root;
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
                EXPECT_LE(TwinDifference(ours, other), 1) << rel << " against " << twin;
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
