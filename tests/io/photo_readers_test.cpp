// The readers of photos from phones and cameras (HEIF/HEIC, AVIF, WebP,
// JPEG XL) over the photo samples of ../shared/photos/, listed with what
// they open as in tests/data/photos_manifest.txt: the size, and the pixels
// beside the library's own command line tool's, or a refusal with a reason.

#include <gtest/gtest.h>

#include <algorithm>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "io/codecs/format_rows.h"
#include "io/codecs/image_codecs.h"
#include "io_test_support.h"
#include "support/corpus.h"
#include "support/folders.h"
#include "support/pixels.h"

using namespace pixora;
using namespace pixora::testing;
namespace fs = std::filesystem;

namespace {

std::map<std::string, std::vector<std::string>> PhotoManifest() {
    return ReadManifest(std::string(PIXORA_TEST_DATA_DIR) + "/photos_manifest.txt");
}

bool HaveTool(const std::string& tool) {
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// The tool's picture of `file`, read back by our PNG/PAM readers (16-bit
// samples rounded to 8); an empty bitmap when the tool wrote nothing.
Bitmap ToolPicture(const std::string& tool, const std::string& file, const ScratchDir& dir) {
    const std::string quoted = "'" + file + "'";
    std::string out, command;
    if (tool == "dwebp") {
        out = dir.File("ref.pam");
        command = "dwebp -quiet " + quoted + " -pam -o " + out;
    } else if (tool == "djxl") {
        out = dir.File("ref.png");
        command = "djxl " + quoted + " " + out;
    } else {
        out = dir.File("ref.png");
        command = "heif-convert " + quoted + " " + out;
    }
    if (std::system((command + " >/dev/null 2>&1").c_str()) != 0) return {};
    // A file of several top-level pictures comes out numbered, the primary first.
    if (!fs::exists(out)) out = dir.File("ref-1.png");
    if (!fs::exists(out)) return {};
    return LoadImageFile(out, fcOther);
}

// The worst difference per channel; colour counts where the reference shows
// the pixel at all (the fourth byte is transparency, 255 = not shown).
int WorstDifference(const Bitmap& ours, const Bitmap& ref) {
    const bool refAlpha = ref.BytesPerPixel() == 4;
    int worst = 0;
    for (int y = 0; y < ref.Height(); ++y)
        for (int x = 0; x < ref.Width(); ++x) {
            const uint8_t* a = Px(ours, x, y);
            const uint8_t* b = Px(ref, x, y);
            const int t = refAlpha ? b[3] : 0;
            worst = std::max(worst, std::abs(a[3] - t));
            if (t == 255) continue;
            for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(a[c] - b[c]));
        }
    return worst;
}

std::string SizeText(const Bitmap& b) {
    return std::to_string(b.Width()) + "x" + std::to_string(b.Height());
}

} // namespace

TEST(PhotoReaders, EverySampleOpensAsItsLibraryToolShowsItOrIsRefused) {
    const auto manifest = PhotoManifest();
    PIXORA_NEED(fs::is_directory(PhotosRoot()) && !manifest.empty(), "the photo samples and their manifest");
    for (const char* tool : {"dwebp", "heif-convert", "djxl"}) PIXORA_NEED(HaveTool(tool), tool);
    ScratchDir dir;
    for (const auto& [path, fields] : manifest) {
        SCOPED_TRACE(path);
        const std::string file = (PhotosRoot() / path).string();
        ASSERT_TRUE(fs::exists(file));
        if (fields[0] == "refused") {
            try {
                LoadImageFile(file, fcOther);
                ADD_FAILURE() << "opened a file that is refused: " << fields[1];
            } catch (const ECodecError& e) {
                EXPECT_GT(std::string(e.what()).size(), 10u);
            }
            continue;
        }
        const Bitmap ours = LoadImageFile(file, fcOther);
        ASSERT_EQ(SizeText(ours), fields[0]);
        ASSERT_EQ(ours.BytesPerPixel(), 4);
        if (fields[1].rfind("none:", 0) == 0) continue;
        const Bitmap ref = ToolPicture(fields[1], file, dir);
        ASSERT_FALSE(ref.Empty()) << fields[1] << " wrote no picture";
        ASSERT_EQ(SizeText(ref), fields[0]);
        EXPECT_LE(WorstDifference(ours, ref), 2);
        for (const auto& entry : fs::directory_iterator(dir.Path())) fs::remove(entry.path());
    }
}

// Each photo format is known by its content whatever the file is called, and
// an AVIF file (which carries the general HEIF brand too) is named AVIF.
TEST(PhotoReaders, KnownByContentUnderAnyName) {
    PIXORA_NEED(fs::is_directory(PhotosRoot()), "the photo samples");
    ScratchDir dir;
    const struct {
        const char* Path;
        const char* Row;
    } cases[] = {{"avif/libavif/kodim03_yuv420_8bpc.avif", "AVIF"},
                 {"heif/libheif/rainbow-451x461.heic", "HEIF"},
                 {"webp/libwebp-test-data/test.webp", "WebP"},
                 {"jxl/exiv2/Reagan.jxl", "JPEG XL"},
                 {"jxl/jxl-conformance/grayscale.jxl", "JPEG XL"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Path);
        const std::string file = (PhotosRoot() / c.Path).string();
        const std::string renamed = dir.File("photo.png");
        fs::copy_file(file, renamed, fs::copy_options::overwrite_existing);
        const TFormatRow* row = Formats().ReaderRow(renamed);
        ASSERT_NE(row, nullptr);
        EXPECT_STREQ(row->Name, c.Row);
        EXPECT_EQ(MaxColourDiff(LoadImageFile(renamed, fcOther), LoadImageFile(file, fcOther)), 0);
    }
}

// A photo cut short anywhere is refused with a message or opens at its size;
// it never crashes or hangs the reader.
// A HEIF picture is refused before decoding when the library's planes and
// the picture it interleaves from them would take more than the readers'
// working memory: 12000 x 12000 is within the largest image, but its
// decoding buffers are not.
TEST(PhotoReaders, AHeifTooLargeToDecodeWithinTheWorkingMemoryIsRefusedFirst) {
    PIXORA_NEED(fs::is_directory(PhotosRoot()), "the photo samples");
    std::vector<uint8_t> bytes = ReadBytes((PhotosRoot() / "heif/crabbyavif/blue_444.heic").string());
    const auto at = std::search(bytes.begin(), bytes.end(), std::begin("ispe"), std::end("ispe") - 1);
    ASSERT_NE(at, bytes.end());
    const std::size_t sides = static_cast<std::size_t>(at - bytes.begin()) + 8; // after the box's version
    for (std::size_t i = 0; i < 8; i += 4) {                                   // 12000 = 0x2EE0, twice
        bytes[sides + i] = 0;
        bytes[sides + i + 1] = 0;
        bytes[sides + i + 2] = 0x2E;
        bytes[sides + i + 3] = 0xE0;
    }
    ScratchDir dir;
    const std::string file = dir.File("huge.heic");
    WriteBytes(file, bytes);
    try {
        LoadImageFile(file, fcOther);
        ADD_FAILURE() << "opened";
    } catch (const ECodecError& e) {
        EXPECT_NE(std::string(e.what()).find("working memory"), std::string::npos) << e.what();
    }
}

TEST(PhotoReaders, FilesCutShortAreRefusedOrOpenWhole) {
    PIXORA_NEED(fs::is_directory(PhotosRoot()), "the photo samples");
    ScratchDir dir;
    for (const char* path : {"avif/libavif/kodim03_yuv420_8bpc.avif", "heif/libheif/rainbow-451x461.heic",
                             "webp/libwebp-test-data/lossy_alpha1.webp", "webp/image-webp/random_lossless.webp",
                             "jxl/jxl-conformance/bicycles.jxl"}) {
        const std::string file = (PhotosRoot() / path).string();
        const Bitmap whole = LoadImageFile(file, fcOther);
        const std::vector<uint8_t> bytes = ReadBytes(file);
        for (std::size_t keep : {std::size_t(12), std::size_t(40), bytes.size() / 3, bytes.size() / 2,
                                 bytes.size() - 7}) {
            SCOPED_TRACE(std::string(path) + " cut to " + std::to_string(keep));
            const std::string cut = dir.File(fs::path(path).filename().string());
            WriteBytes(cut, std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(keep)));
            try {
                const Bitmap b = LoadImageFile(cut, fcOther);
                EXPECT_EQ(SizeText(b), SizeText(whole));
            } catch (const ECodecError& e) {
                EXPECT_GT(std::string(e.what()).size(), 10u);
            }
        }
    }
}

// libheif makes a grid's picture at the size the grid's own data gives, and
// decodes an AV1 item with no bytes only to leak its buffer: the reader
// refuses both before decoding (inputs its fuzzer found).
TEST(PhotoReaders, AGridLargerThanItsImageOrAnAv1ItemWithoutDataIsRefusedBeforeDecoding) {
    const std::string found = std::string(PIXORA_TEST_DATA_DIR) + "/fuzz/";
    const std::pair<const char*, const char*> cases[] = {
        {"heif/grid-of-65215x65295-in-an-image-of-320x240.heic", "(65215 x 65295)"},
        {"avif/grid-of-24940x28776-in-an-image-of-80x80.avif", "(24940 x 28776)"},
        {"avif/av1-item-without-data.avif", "holds no coded data"},
        {"avif/two-files-in-one-the-second-with-an-av1-item-without-data.avif", "holds no coded data"},
    };
    for (const auto& [file, reason] : cases) {
        try {
            LoadImageFile(found + file, fcOther);
            ADD_FAILURE() << file << " opened";
        } catch (const ECodecError& e) {
            EXPECT_NE(std::string(e.what()).find(reason), std::string::npos) << file << ": " << e.what();
        }
    }
}
