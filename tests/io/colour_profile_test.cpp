// Colours read through the ICC profile a file embeds: every reader that
// meets one converts to sRGB as Little CMS itself does, names the profile,
// and leaves the pixels as decoded when the profile cannot be used.

#include <gtest/gtest.h>

#include <tiffio.h>
#include <webp/decode.h>

#include <filesystem>

#include "io/codecs/colour_profile.h"
#include "io/codecs/image_codecs.h"
#include "io_test_support.h"
#include "profile_files.h"
#include "support/corpus.h"
#include "support/folders.h"
#include "support/pixels.h"

using namespace pixora;
using namespace pixora::testing;
namespace fs = std::filesystem;

namespace {

Bytes DisplayP3() {
    return ReadBytes((PhotosRoot() / "icc/profiles/jxl-testdata/DisplayP3-v4.icc").string());
}

// The CMYK press profile of the CMYK sample photo.
Bytes CmykProfile() {
    Bytes jpeg = ReadBytes((PhotosRoot() / "icc/sharp/Channel_digital_image_CMYK_color.jpg").string());
    return TakeJpegProfile(jpeg);
}

// Saturated and dark colours (where P3 and sRGB differ most) and
// transparency of every kind.
Bitmap Sample() {
    Bitmap b = RandomImage(48, 32, 7);
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            Px(b, x, y)[3] = static_cast<uint8_t>(x < 8 ? 0 : (x * 37 + y) & 255);
    return b;
}

Bitmap Load(const std::string& path, TReadNotes& notes) {
    return LoadImageFile(path, fcOther, &notes);
}

void TagTiff(const std::string& path, const Bytes& icc) {
    TIFF* t = TIFFOpen(path.c_str(), "r+");
    ASSERT_NE(t, nullptr);
    TIFFSetField(t, TIFFTAG_ICCPROFILE, static_cast<uint32_t>(icc.size()), icc.data());
    TIFFRewriteDirectory(t);
    TIFFClose(t);
}

// The sample written untagged by our writer of `ext`, and the same file
// tagged with `icc`.
struct TTaggedPair {
    std::string Plain, Tagged;
};

TTaggedPair WritePair(const ScratchDir& dir, const std::string& ext, const Bytes& icc, const Bitmap& image) {
    TTaggedPair p{dir.File("plain" + ext), dir.File("tagged" + ext)};
    SaveOptions opts;
    opts.WebpLossless = true;
    opts.JpegQuality = 95;
    WriteImageFile(p.Plain, image, FormatFromExtension(p.Plain), opts);
    const Bytes plain = ReadBytes(p.Plain);
    if (ext == ".png") WriteBytes(p.Tagged, TagPng(plain, icc));
    if (ext == ".webp") WriteBytes(p.Tagged, TagWebp(plain, icc, image.Width(), image.Height(), true));
    if (ext == ".jpg") WriteBytes(p.Tagged, TagJpeg(plain, icc, 300)); // many chunks
    if (ext == ".tif") {
        WriteBytes(p.Tagged, plain);
        TagTiff(p.Tagged, icc);
    }
    return p;
}

int WorstTransparency(const Bitmap& a, const Bitmap& b) {
    int worst = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            worst = std::max(worst, std::abs(Px(a, x, y)[3] - Px(b, x, y)[3]));
    return worst;
}

} // namespace

TEST(ColourProfiles, EachReaderConvertsThroughItsEmbeddedProfile) {
    PIXORA_NEED(fs::is_directory(PhotosRoot()), "the photo samples");
    ScratchDir dir;
    const Bytes p3 = DisplayP3();
    for (const char* ext : {".png", ".webp", ".tif", ".jpg"}) {
        SCOPED_TRACE(ext);
        const TTaggedPair files = WritePair(dir, ext, p3, Sample());
        TReadNotes plainNotes, notes;
        const Bitmap plain = Load(files.Plain, plainNotes);
        const Bitmap ours = Load(files.Tagged, notes);
        EXPECT_EQ(plainNotes.ColourProfile, "");
        EXPECT_EQ(notes.ColourProfile, "sP3");
        EXPECT_LE(MaxColourDiff(ours, LcmsToSrgb(plain, p3)), 1);
        EXPECT_GT(MaxColourDiff(ours, plain), 20); // the saturated colours moved
        EXPECT_EQ(WorstTransparency(ours, plain), 0);
    }
}

// A picture large enough to be converted in bands on several threads
// comes out as one converted whole. Colours met again are taken from what
// was converted before: rows of a few thousand colours repeated, with
// bands of noise between (where that memo is set aside for a while and
// then tried again).
TEST(ColourProfiles, LargePicturesConvertWhole) {
    PIXORA_NEED(fs::is_directory(PhotosRoot()), "the photo samples");
    const Bytes p3 = DisplayP3();
    Bitmap big = RandomImage(2048, 1500, 11);
    const Bitmap palette = RandomImage(61, 53, 19);
    for (int y = 0; y < big.Height(); ++y) {
        if (y % 100 >= 80) continue; // rows of noise
        for (int x = 0; x < big.Width(); ++x)
            std::copy_n(Px(palette, (x * 7 + y) % 61, (x / 61 + y * 3) % 53), 4, Px(big, x, y));
    }
    Bitmap ours = big;
    TColourConversion(p3.data(), p3.size()).ToSrgb(ours);
    EXPECT_TRUE(SameImage(ours, LcmsToSrgb(big, p3)));
}

// Rows as decoders hand them over (R, G, B, alpha or R, G, B from the
// library's own buffer with padded rows; B, G, R, alpha in the picture's
// rows) are reordered and converted to exactly what Little CMS makes of
// the picture, in pieces that do not divide a row, on several threads.
TEST(ColourProfiles, DecodedRowsFinishAsTheWholePictureConverts) {
    PIXORA_NEED(fs::is_directory(PhotosRoot()), "the photo samples");
    const Bytes p3 = DisplayP3();
    const TColourConversion colours(p3.data(), p3.size());
    const Bitmap big = RandomImage(2500, 1100, 13);
    const Bitmap expected = LcmsToSrgb(big, p3);
    const int w = big.Width(), h = big.Height();
    const std::size_t stride = 4 * static_cast<std::size_t>(w) + 12;
    Bytes rgba(stride * h);
    Bitmap bgra = big;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = Px(big, x, y);
            uint8_t* d = &rgba[stride * y + 4 * static_cast<std::size_t>(x)];
            d[0] = p[2], d[1] = p[1], d[2] = p[0], d[3] = static_cast<uint8_t>(255 - p[3]);
            Px(bgra, x, y)[3] = d[3];
        }
    Bitmap fromRgba(w, h, 32);
    colours.FinishPicture(rgba.data(), stride, TDecodedOrder::Rgba, fromRgba);
    EXPECT_TRUE(SameImage(fromRgba, expected));
    colours.FinishPicture(bgra.Data(), bgra.Stride(), TDecodedOrder::Bgra, bgra);
    EXPECT_TRUE(SameImage(bgra, expected));
    // Three bytes a pixel, opaque.
    Bitmap opaque = big;
    Bytes rgb(stride * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            Px(opaque, x, y)[3] = 0;
            std::copy_n(&rgba[stride * y + 4 * static_cast<std::size_t>(x)], 3, &rgb[stride * y + 3 * static_cast<std::size_t>(x)]);
        }
    Bitmap fromRgb(w, h, 32);
    colours.FinishPicture(rgb.data(), stride, TDecodedOrder::Rgb, fromRgb);
    EXPECT_TRUE(SameImage(fromRgb, LcmsToSrgb(opaque, p3)));
}

// A large WebP is finished on a second thread while it decodes: its pixels
// are exactly libwebp's own decoding put through Little CMS, lossy and
// lossless with alpha alike, and the file cut short is refused.
TEST(ColourProfiles, LargeWebpFinishesWhileItDecodes) {
    PIXORA_NEED(fs::is_directory(PhotosRoot()), "the photo samples");
    ScratchDir dir;
    const Bytes p3 = DisplayP3();
    const int w = 1100, h = 1000;
    for (bool lossless : {false, true}) {
        SCOPED_TRACE(lossless ? "lossless" : "lossy");
        Bitmap picture(w, h, 32);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                SetPixel(picture, x, y, static_cast<uint8_t>(x * 255 / w), static_cast<uint8_t>(y * 255 / h),
                         static_cast<uint8_t>((x + y) & 255), static_cast<uint8_t>(lossless ? (x * 7 + y) & 255 : 0));
        SaveOptions opts;
        opts.WebpLossless = lossless;
        WriteImageFile(dir.File("plain.webp"), picture, FormatFromExtension("plain.webp"), opts);
        const Bytes tagged = TagWebp(ReadBytes(dir.File("plain.webp")), p3, w, h, lossless);
        WriteBytes(dir.File("tagged.webp"), tagged);
        int dw = 0, dh = 0;
        uint8_t* bgra = WebPDecodeBGRA(tagged.data(), tagged.size(), &dw, &dh);
        ASSERT_NE(bgra, nullptr);
        Bitmap decoded(dw, dh, 32);
        for (int y = 0; y < dh; ++y)
            for (int x = 0; x < dw; ++x) {
                const uint8_t* s = bgra + 4 * (static_cast<std::size_t>(y) * dw + x);
                SetPixel(decoded, x, y, s[2], s[1], s[0], 255 - s[3]);
            }
        WebPFree(bgra);
        EXPECT_TRUE(SameImage(LoadImageFile(dir.File("tagged.webp"), fcOther), LcmsToSrgb(decoded, p3)));
        WriteBytes(dir.File("cut.webp"), Bytes(tagged.begin(), tagged.begin() + static_cast<long>(tagged.size() * 2 / 3)));
        EXPECT_THROW(LoadImageFile(dir.File("cut.webp"), fcOther), ECodecError);
    }
}

// Photos as they come: Display P3 from a phone in a JPEG's APP2 segments,
// and a grey photo with a grey profile (converted from its one channel).
TEST(ColourProfiles, PhotosMatchLittleCmsOwnConversion) {
    PIXORA_NEED(fs::is_directory(PhotosRoot()), "the photo samples");
    ScratchDir dir;
    for (const char* path : {"icc/libavif/apple_gainmap_new.jpg", "icc/sharp/concert.jpg"}) {
        SCOPED_TRACE(path);
        const fs::path photo = PhotosRoot() / path;
        Bytes bytes = ReadBytes(photo.string());
        const Bytes icc = TakeJpegProfile(bytes);
        ASSERT_FALSE(icc.empty());
        WriteBytes(dir.File("untagged.jpg"), bytes);
        TReadNotes notes, untaggedNotes;
        const Bitmap ours = Load(photo.string(), notes);
        const Bitmap decoded = Load(dir.File("untagged.jpg"), untaggedNotes);
        EXPECT_EQ(untaggedNotes.ColourProfile, "");
        Bitmap ref;
        if (notes.ColourProfile == "Gray Gamma 2.2") {
            Bytes grey;
            for (int y = 0; y < decoded.Height(); ++y)
                for (int x = 0; x < decoded.Width(); ++x)
                    grey.push_back(Px(decoded, x, y)[1]);
            ref = LcmsToSrgb(decoded, icc, grey, TYPE_GRAY_8);
        } else {
            EXPECT_EQ(notes.ColourProfile, "Display P3");
            ref = LcmsToSrgb(decoded, icc);
        }
        EXPECT_LE(MaxColourDiff(ours, ref), 1);
        EXPECT_GT(MaxColourDiff(ours, decoded), 0);
    }
}

// sRGB is left alone (no conversion to round the pixels); profiles that
// Little CMS rejects, or that do not fit the pixels, leave them as decoded
// and the image still opens.
TEST(ColourProfiles, SrgbAndUnusableProfilesLeaveThePixelsAsDecoded) {
    PIXORA_NEED(fs::is_directory(PhotosRoot()), "the photo samples");
    ScratchDir dir;
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    cmsUInt32Number srgbSize = 0;
    cmsSaveProfileToMem(srgb, nullptr, &srgbSize);
    Bytes srgbIcc(srgbSize);
    cmsSaveProfileToMem(srgb, srgbIcc.data(), &srgbSize);
    cmsCloseProfile(srgb);
    Bytes garbage(700);
    for (std::size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<uint8_t>(i * 131 + 7);
    Bytes cut = DisplayP3();
    cut.resize(cut.size() / 2);
    const struct {
        const char* What;
        Bytes Icc;
        const char* Name;
    } cases[] = {{"sRGB", srgbIcc, "sRGB built-in"},
                 {"garbage", garbage, ""},
                 {"cut short", cut, ""},
                 {"a CMYK profile for colours", CmykProfile(), ""}};
    for (const auto& c : cases)
        for (const char* ext : {".png", ".webp", ".tif", ".jpg"}) {
            SCOPED_TRACE(std::string(c.What) + " " + ext);
            const TTaggedPair files = WritePair(dir, ext, c.Icc, Sample());
            TReadNotes notes;
            const Bitmap ours = Load(files.Tagged, notes);
            EXPECT_EQ(notes.ColourProfile, c.Name);
            EXPECT_TRUE(SameImage(ours, LoadImageFile(files.Plain, fcOther)));
        }
    // A PNG profile that inflates past the reader's limit is dropped unread.
    {
        Bytes huge(std::size_t(9) << 20);
        const Bytes p3 = DisplayP3();
        std::copy_n(p3.begin(), 128, huge.begin());
        for (int i = 0; i < 4; ++i)
            huge[i] = static_cast<uint8_t>(huge.size() >> (24 - 8 * i));
        const TTaggedPair files = WritePair(dir, ".png", huge, Sample());
        TReadNotes notes;
        EXPECT_TRUE(SameImage(Load(files.Tagged, notes), LoadImageFile(files.Plain, fcOther)));
        EXPECT_EQ(notes.ColourProfile, "");
    }
    // sRGB profiles, Little CMS's own and a photo editor's, convert nothing.
    Bytes photo = ReadBytes((PhotosRoot() / "exif/libavif/paris_exif_xmp_icc.jpg").string());
    const Bytes editorSrgb = TakeJpegProfile(photo);
    for (const Bytes& icc : {srgbIcc, editorSrgb}) {
        const TColourConversion same(icc.data(), icc.size());
        EXPECT_FALSE(same.Converts());
        EXPECT_FALSE(same.Name().empty());
    }
    // A JPEG profile whose chunks do not add up (the first of three only).
    const TTaggedPair files = WritePair(dir, ".jpg", {}, Sample());
    Bytes lone = TagJpeg(ReadBytes(files.Plain), DisplayP3(), 200);
    lone[17] = 3; // chunk count
    const std::size_t second = JpegMarkerAt(Bytes(lone.begin() + 4, lone.end()), 0xE2) + 4;
    lone[second + 16] = 5; // a sequence number past the count
    WriteBytes(dir.File("lone.jpg"), lone);
    TReadNotes notes;
    EXPECT_TRUE(SameImage(Load(dir.File("lone.jpg"), notes), LoadImageFile(files.Plain, fcOther)));
    EXPECT_EQ(notes.ColourProfile, "");
}

// CMYK inks go through the file's press profile rather than the plain
// ink formula: in a TIFF, and in an Adobe CMYK JPEG (inks stored inverted).
TEST(ColourProfiles, CmykInksGoThroughTheirProfile) {
    PIXORA_NEED(fs::is_directory(PhotosRoot()), "the photo samples");
    ScratchDir dir;
    const Bytes cmyk = CmykProfile();
    ASSERT_FALSE(cmyk.empty());
    const int w = 16, h = 8;
    Bytes inks(static_cast<std::size_t>(w) * h * 4);
    for (std::size_t i = 0; i < inks.size(); ++i)
        inks[i] = static_cast<uint8_t>((i * 53 + i / 4 * 17) & 255);
    const std::string tif = dir.File("inks.tif");
    TIFF* t = TIFFOpen(tif.c_str(), "w");
    ASSERT_NE(t, nullptr);
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, w);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, h);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 4);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_SEPARATED);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_ICCPROFILE, static_cast<uint32_t>(cmyk.size()), cmyk.data());
    for (int y = 0; y < h; ++y)
        TIFFWriteScanline(t, inks.data() + static_cast<std::size_t>(y) * w * 4, y, 0);
    TIFFClose(t);
    TReadNotes notes;
    const Bitmap ours = Load(tif, notes);
    EXPECT_FALSE(notes.ColourProfile.empty());
    EXPECT_LE(MaxColourDiff(ours, LcmsToSrgb(Bitmap(w, h, 32), cmyk, inks, TYPE_CMYK_8)), 1);
    EXPECT_EQ(WorstTransparency(ours, Bitmap(w, h, 32)), 0);

    // The sample photo's inks as libjpeg gives them.
    const std::string photo = (PhotosRoot() / "icc/sharp/Channel_digital_image_CMYK_color.jpg").string();
    FILE* f = std::fopen(photo.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    jpeg_decompress_struct d{};
    jpeg_error_mgr err{};
    d.err = jpeg_std_error(&err);
    jpeg_create_decompress(&d);
    jpeg_stdio_src(&d, f);
    jpeg_read_header(&d, TRUE);
    d.out_color_space = JCS_CMYK;
    jpeg_start_decompress(&d);
    const bool adobe = d.saw_Adobe_marker;
    Bytes photoInks(static_cast<std::size_t>(d.output_width) * d.output_height * 4);
    while (d.output_scanline < d.output_height) {
        JSAMPROW row = photoInks.data() + static_cast<std::size_t>(d.output_scanline) * d.output_width * 4;
        jpeg_read_scanlines(&d, &row, 1);
    }
    const Bitmap blank(static_cast<int>(d.output_width), static_cast<int>(d.output_height), 32);
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    std::fclose(f);
    const Bitmap photoOurs = Load(photo, notes);
    EXPECT_FALSE(notes.ColourProfile.empty());
    EXPECT_LE(
        MaxColourDiff(photoOurs, LcmsToSrgb(blank, cmyk, photoInks, adobe ? TYPE_CMYK_8_REV : TYPE_CMYK_8)),
        1);
}

// HEIF/AVIF colours given by code numbers convert as the ICC profiles of
// the same primaries and curve do; curves of high dynamic range and
// unspecified primaries are shown as decoded.
TEST(ColourProfiles, CodedColoursConvertAsTheirIccTwins) {
    PIXORA_NEED(fs::is_directory(PhotosRoot()), "the photo samples");
    const Bitmap sample = Sample();
    const Bytes p3 = DisplayP3();
    const TColourConversion coded(TCodedColours{12, 13}), icc(p3.data(), p3.size());
    ASSERT_TRUE(coded.Converts());
    Bitmap a = sample, b = sample;
    coded.ToSrgb(a);
    icc.ToSrgb(b);
    EXPECT_LE(MaxColourDiff(a, b), 1);
    EXPECT_GT(MaxColourDiff(a, sample), 20);
    EXPECT_EQ(coded.Name(), "Display P3 primaries, sRGB transfer");

    // Linear BT.2020, against the profile of a PNG sample.
    const Bytes rec2020 =
        PngProfile(ReadBytes((PhotosRoot() / "icc/jxl-testdata/Nikon-D300-12bit_2020_g1_dt.png").string()));
    ASSERT_FALSE(rec2020.empty());
    const TColourConversion codedLinear(TCodedColours{9, 8}), iccLinear(rec2020.data(), rec2020.size());
    a = sample, b = sample;
    codedLinear.ToSrgb(a);
    iccLinear.ToSrgb(b);
    EXPECT_LE(MaxColourDiff(a, b), 1);
    EXPECT_EQ(codedLinear.Name(), "BT.2020 primaries, linear");

    const TColourConversion srgb(TCodedColours{1, 13}), pq(TCodedColours{9, 16}), none(TCodedColours{2, 13});
    EXPECT_FALSE(srgb.Converts());
    EXPECT_EQ(srgb.Name(), "sRGB");
    EXPECT_FALSE(pq.Converts());
    EXPECT_EQ(pq.Name(), "BT.2020, PQ transfer (high dynamic range, shown as decoded)");
    EXPECT_FALSE(none.Converts());
    EXPECT_EQ(none.Name(), "");
}

// Every reader names what it read the colours in: ICC profiles by their
// description, coded colours (HEIF, JPEG XL) by what they code.
TEST(ColourProfiles, PhotosNameTheirProfiles) {
    PIXORA_NEED(fs::is_directory(PhotosRoot()), "the photo samples");
    const struct {
        const char* Path;
        const char* Name;
    } cases[] = {
        {"avif/pillow/xmp_tags_orientation.avif", "ColorMatch RGB"},
        {"heif/pillow/hopper.heif", "sRGB"},
        {"avif/libavif/colors_hdr_p3.avif", "Display P3, PQ transfer (high dynamic range, shown as decoded)"},
        {"jxl/exiv2/Reagan.jxl", "Adobe RGB (1998)"},
        {"jxl/jxl-conformance/bicycles.jxl", "sRGB"},
        {"icc/exiv2/exiv2-bug1199.webp", "Adobe RGB (1998)"},
        {"icc/sharp/tifftag-photoshop.tiff", "Adobe RGB (1998)"},
        {"icc/sharp/concert.jpg", "Gray Gamma 2.2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Path);
        TReadNotes notes;
        Load((PhotosRoot() / c.Path).string(), notes);
        EXPECT_EQ(notes.ColourProfile, c.Name);
    }
}
