// Damaged files and the shared corpus of real files: every read ends in a
// picture or an ECodecError, never a crash, a hang or another exception.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <map>

#include "io/codecs/image_codecs.h"
#include "io/file_filters.h"
#include "io/file_questions.h"
#include "io/new_close_commands.h"
#include "io/open_commands.h"
#include "io/save_commands.h"
#include "io_test_support.h"
#include "support/corpus.h"
#include "support/fake_port.h"
#include "support/folders.h"
#include "support/no_questions.h"

using namespace pixora;
using namespace pixora::testing;
namespace fs = std::filesystem;

namespace {

enum class Outcome { Opened, Refused, Other };

Outcome TryLoad(const std::string& path, int code, std::string* message = nullptr) {
    try {
        const Bitmap b = LoadImageFile(path, code);
        if (b.Empty() || b.BitsPerPixel() != 32) return Outcome::Other;
        return Outcome::Opened;
    } catch (const ECodecError& e) {
        if (message) *message = e.what();
        return Outcome::Refused;
    } catch (...) {
        return Outcome::Other;
    }
}

} // namespace

// Files as the writers make them, cut short and with bytes changed. A cut
// that takes away more than the format's closing bytes (JPEG's end marker,
// GIF's trailer; nothing for BMP and PNG) is refused; one that takes only
// those opens. A changed byte of a PNG is always refused (every chunk has
// its checksum); the other formats may show the damage or refuse it, and
// every one of them refuses a changed first byte.
TEST(DamagedFiles, TruncatedAndScrambledFilesOfEveryFormat) {
    ScratchDir dir;
    const Bitmap img = GradientImage(37, 29);
    struct Case {
        const char* name;
        int code;
        SaveOptions opts;
        std::size_t closing; // bytes at the end that the picture does not need
        bool checksummed;
    };
    SaveOptions bmp8;
    bmp8.BmpBits = 8;
    const Case cases[] = {{"a.bmp", fcBmp, bmp8, 0, false},
                          {"b.bmp", fcBmp, SaveOptions{}, 0, false},
                          {"c.png", fcPng, SaveOptions{}, 0, true},
                          {"d.jpg", fcJpeg, SaveOptions{}, 2, false},
                          {"e.gif", fcGif, SaveOptions{}, 1, false}};
    for (const Case& c : cases) {
        const std::string path = dir.File(c.name);
        WriteImageFile(path, img, c.code, c.opts);
        const auto bytes = ReadBytes(path);
        ASSERT_EQ(TryLoad(path, c.code), Outcome::Opened) << c.name;
        const std::string cut = dir.File(std::string("cut_") + c.name);
        // Cut short at many places (header, palette, pixel data) and at each
        // of the last bytes.
        std::vector<std::size_t> cuts;
        for (std::size_t n = 0; n < bytes.size(); n += std::max<std::size_t>(1, bytes.size() / 97))
            cuts.push_back(n);
        for (std::size_t n = bytes.size() - std::min<std::size_t>(bytes.size(), 8); n < bytes.size(); ++n)
            cuts.push_back(n);
        for (const std::size_t n : cuts) {
            WriteBytes(cut, std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n)));
            std::string message;
            const Outcome want = n + c.closing < bytes.size() ? Outcome::Refused : Outcome::Opened;
            EXPECT_EQ(TryLoad(cut, c.code, &message), want)
                << c.name << " cut at " << n << " of " << bytes.size();
            if (want == Outcome::Refused) {
                EXPECT_FALSE(message.empty()) << c.name << " cut at " << n;
            }
        }
        // Scrambled bytes with a fixed pseudo-random pattern.
        uint32_t seed = 12345;
        for (int round = 0; round < 40; ++round) {
            auto bad = bytes;
            for (int k = 0; k < 6; ++k) {
                seed = seed * 1103515245u + 12345u;
                bad[(seed >> 8) % bad.size()] ^= static_cast<uint8_t>(seed >> 24 | 1);
            }
            WriteBytes(cut, bad);
            const Outcome got = TryLoad(cut, c.code);
            if (c.checksummed) {
                EXPECT_EQ(got, Outcome::Refused) << c.name << " round " << round;
            } else {
                EXPECT_NE(got, Outcome::Other) << c.name << " round " << round;
            }
        }
        auto bad = bytes;
        bad[0] ^= 0x20;
        WriteBytes(cut, bad);
        EXPECT_EQ(TryLoad(cut, c.code), Outcome::Refused) << c.name << " with a changed first byte";
    }
    // The header of a short file must be refused, not read past its end.
    WriteBytes(dir.File("short.bmp"), {'B', 'M', 0, 0});
    EXPECT_EQ(TryLoad(dir.File("short.bmp"), fcBmp), Outcome::Refused);
    std::string message;
    WriteBytes(dir.File("empty.png"), {});
    EXPECT_EQ(TryLoad(dir.File("empty.png"), fcPng, &message), Outcome::Refused);
    EXPECT_FALSE(message.empty());
}

TEST(DamagedFiles, PngClaimingAHugeImageIsRefusedBeforeAllocating) {
    ScratchDir dir;
    const std::string path = dir.File("big.png");
    WriteImageFile(path, GradientImage(8, 8), fcPng, SaveOptions{});
    auto bytes = ReadBytes(path);
    // IHDR width and height (bytes 16..23) -> 12000 x 12000, within the size
    // limit; the CRC is fixed so that only the tiny data is the problem.
    bytes[16] = 0, bytes[17] = 0, bytes[18] = 0x2E, bytes[19] = 0xE0;
    bytes[20] = 0, bytes[21] = 0, bytes[22] = 0x2E, bytes[23] = 0xE0;
    uint32_t crc = 0xFFFFFFFFu;
    for (int i = 12; i < 29; ++i) {
        crc ^= bytes[static_cast<std::size_t>(i)];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    crc ^= 0xFFFFFFFFu;
    bytes[29] = static_cast<uint8_t>(crc >> 24), bytes[30] = static_cast<uint8_t>(crc >> 16);
    bytes[31] = static_cast<uint8_t>(crc >> 8), bytes[32] = static_cast<uint8_t>(crc);
    WriteBytes(path, bytes);
    std::string message;
    EXPECT_EQ(TryLoad(path, fcPng, &message), Outcome::Refused);
    EXPECT_NE(message.find("truncated"), std::string::npos) << message;
}

// The expected outcome of every corpus file, from corpus_manifest.txt beside
// this test: "path | WxH" opens at that size, "path | refused" ends in the
// open-error message. Lines starting with # are comments.
std::map<std::string, std::string> CorpusManifest() {
    std::map<std::string, std::string> expected;
    const std::string file = std::string(PIXORA_SOURCE_DIR) + "/tests/io/corpus_manifest.txt";
    for (const auto& [path, fields] : ReadManifest(file))
        expected[path] = fields[0];
    return expected;
}

// Real files from other projects' test suites, opened as the Open command
// does: each fills a slot at the size the manifest gives, or ends in the
// open-error message with no slot claimed where the manifest says refused.
TEST(Corpus, EveryFileEndsAsItsManifestSays) {
    const fs::path root = CorpusRoot();
    PIXORA_NEED_FOLDER(root);
    std::map<std::string, std::string> expected = CorpusManifest();
    ASSERT_GT(expected.size(), 500u) << "the manifest is missing or short";
    ScratchProgramFolder exe;
    Workspace ws;
    FakePort port;
    ws.Port = &port;
    ws.SysData.ExeDir = exe.ExeDir();
    TNoQuestions none;
    std::map<std::string, int> opened, refused;
    std::vector<std::string> wrongly, unlike;
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        const std::string path = file.string();
        const std::string ext = file.extension().string();
        if (ext == ".txt" || ext == ".md") continue;
        const std::string rel = file.lexically_relative(root).string();
        const std::string group = file.parent_path().lexically_relative(root).string();
        port.Errors.clear();
        const int slot = LoadIntoNewSlot(ws, path);
        const bool ok = slot >= 0;
        std::string outcome = "refused";
        if (ok) {
            const TImages& s = ws.Images[static_cast<std::size_t>(slot)];
            ASSERT_EQ(s.Bitmap.BitsPerPixel(), 32) << path;
            ASSERT_FALSE(s.Bitmap.Empty()) << path;
            ASSERT_TRUE(port.Errors.empty()) << path;
            outcome = std::to_string(s.Bitmap.Width()) + "x" + std::to_string(s.Bitmap.Height());
            ASSERT_TRUE(CloseImage(ws, slot, none)) << path;
        } else {
            ASSERT_EQ(port.Errors.size(), 1u) << path;
            ASSERT_EQ(port.Errors[0].first, 2) << path;
            ASSERT_FALSE(port.Errors[0].second.empty()) << path;
        }
        ASSERT_EQ(ws.SysData.OpenCount, -1) << path;
        ASSERT_EQ(ws.Images[0].InUse, 0) << path;
        (ok ? opened : refused)[group]++;
        const auto want = expected.find(rel);
        if (want == expected.end() || want->second != outcome)
            unlike.push_back(rel + " | " + outcome + "   (manifest: " +
                             (want == expected.end() ? std::string("no entry") : want->second) +
                             (ok ? "" : "; " + port.Errors[0].second) + ")");
        if (want != expected.end()) expected.erase(want);
        const std::string name = file.filename().string();
        // PngSuite: x*.png are its corrupt files; every other one is valid.
        if (group == "pngsuite" && ext == ".png") {
            const bool corrupt = name[0] == 'x';
            if (ok == corrupt) wrongly.push_back(path);
        }
        if (group == "bmpsuite/bmpsuite-g" && !ok) wrongly.push_back(path);
    }
    for (const auto& [g, n] : opened) std::printf("  %-40s opened %d, refused %d\n", g.c_str(), n, refused[g]);
    for (const std::string& u : unlike)
        std::printf("  UNLIKE THE MANIFEST %s\n", u.c_str());
    EXPECT_TRUE(unlike.empty()) << unlike.size() << " files end unlike the manifest, first " << unlike[0];
    EXPECT_TRUE(expected.empty()) << expected.size() << " manifest entries name no corpus file, first "
                                  << expected.begin()->first;
    EXPECT_TRUE(wrongly.empty()) << wrongly.size() << " misread, first " << (wrongly.empty() ? "" : wrongly[0]);
}

// Interlaced PngSuite files decode to the same pixels as their plain twins.
TEST(Corpus, InterlacedPngMatchesItsPlainTwin) {
    const fs::path dir = CorpusRoot() / "pngsuite";
    PIXORA_NEED_FOLDER(dir);
    int pairs = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("basi", 0) != 0) continue;
        const fs::path twin = dir / ("basn" + name.substr(4));
        if (!fs::exists(twin)) continue;
        const Bitmap a = LoadImageFile(entry.path().string(), fcPng);
        const Bitmap b = LoadImageFile(twin.string(), fcPng);
        ASSERT_EQ(a.Width(), b.Width()) << name;
        ASSERT_EQ(a.Height(), b.Height()) << name;
        for (int y = 0; y < a.Height(); ++y) ASSERT_EQ(std::memcmp(a.Row(y), b.Row(y), a.Stride()), 0) << name << " row " << y;
        ++pairs;
    }
    EXPECT_GT(pairs, 10);
}
