// A photo's EXIF and XMP through open, edit and save in every format that
// keeps them, read back with Exiv2: what stays, what goes (orientation,
// thumbnail, size, location and serials), what a made image gets (nothing),
// and damaged EXIF that must be left out without harm.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <exiv2/exiv2.hpp>
#include <lcms2.h>

#include "doc/layers.h"
#include "io/codecs/image_codecs.h"
#include "io/codecs/photo_metadata.h"
#include "io/file_slots.h"
#include "io/open_commands.h"
#include "io/save_commands.h"
#include "file_commands_fixture.h"
#include "support/command_line.h"
#include "support/corpus.h"

using namespace pixora;
using namespace pixora::testing;
namespace fs = std::filesystem;

namespace {

std::string Photo(const char* name) {
    return (PhotosRoot() / "exif" / name).string();
}
const char* const kGpsPhoto = "exiv2/FurnaceCreekInn.jpg";      // GPS, XMP
const char* const kSerialPhoto = "exiv2/exiv2-canon-eos-20d.jpg"; // thumbnail, body serial
const char* const kTurnedPhoto = "exiv2/exiv2-nikon-d70.jpg";     // orientation 6, thumbnail

struct TReadBack {
    Exiv2::ExifData Exif;
    Exiv2::XmpData Xmp;
    std::string IccDescription; // empty: no profile
};

TReadBack ReadBack(const std::string& path) {
    auto file = Exiv2::ImageFactory::open(path);
    file->readMetadata();
    TReadBack r{file->exifData(), file->xmpData(), {}};
    const Exiv2::DataBuf* icc = file->iccProfile();
    if (icc && icc->size_ > 0) {
        cmsHPROFILE p = cmsOpenProfileFromMem(icc->pData_, static_cast<cmsUInt32Number>(icc->size_));
        char text[256] = "unreadable profile";
        if (p) {
            cmsGetProfileInfoASCII(p, cmsInfoDescription, "en", "US", text, sizeof text);
            cmsCloseProfile(p);
        }
        r.IccDescription = text;
    }
    return r;
}

std::string Tag(const Exiv2::ExifData& d, const char* key) {
    const auto it = d.findKey(Exiv2::ExifKey(key));
    return it == d.end() ? "" : it->toString();
}

template <class TData> std::vector<std::string> KeysWith(const TData& d, const char* word) {
    std::vector<std::string> found;
    for (const auto& datum : d)
        if (datum.key().find(word) != std::string::npos) found.push_back(datum.key());
    return found;
}

// The top left part of a picture: an edit that changes its size.
Bitmap Cropped(const Bitmap& from, int w, int h) {
    Bitmap out(w, h, 32);
    for (int y = 0; y < h; ++y)
        std::memcpy(out.Row(y), from.Row(y), static_cast<std::size_t>(w) * 4);
    return out;
}

const char* const kKeepingFormats[] = {".jpg", ".png", ".tif", ".webp"};

} // namespace

TEST(PhotoMetadata, EditedPhotoKeepsItsMetadataInEveryFormatThatCan) {
    PIXORA_NEED(fs::exists(Photo(kGpsPhoto)) && fs::exists(Photo(kSerialPhoto)), "photos/exif samples");
    ScratchDir dir;
    for (const char* name : {kGpsPhoto, kSerialPhoto}) {
        const TReadBack source = ReadBack(Photo(name));
        const TPhotoMetadata meta = ReadPhotoMetadata(Photo(name));
        const Bitmap opened = LoadImageFile(Photo(name), fcJpeg);
        const Bitmap edited = Cropped(opened, opened.Width() - 17, opened.Height() - 9);
        for (const bool remove : {false, true}) {
            for (const char* ext : kKeepingFormats) {
                SCOPED_TRACE(std::string(name) + " as " + ext + (remove ? " without location" : ""));
                const std::string out = dir.File(std::string("saved") + ext);
                SaveOptions opts;
                opts.Metadata = &meta;
                opts.RemoveLocation = remove;
                WriteImageFile(out, edited, FormatFromExtension(out), opts);
                const TReadBack saved = ReadBack(out);
                for (const char* key : {"Exif.Image.Model", "Exif.Photo.DateTimeOriginal", "Exif.Photo.ExposureTime",
                                        "Exif.Photo.FNumber"})
                    EXPECT_EQ(Tag(saved.Exif, key), Tag(source.Exif, key)) << key;
                EXPECT_FALSE(Tag(saved.Exif, "Exif.Image.Model").empty());
                EXPECT_EQ(Tag(saved.Exif, "Exif.Image.Orientation"), "1");
                EXPECT_EQ(Tag(saved.Exif, "Exif.Photo.PixelXDimension"), std::to_string(edited.Width()));
                EXPECT_EQ(Tag(saved.Exif, "Exif.Photo.PixelYDimension"), std::to_string(edited.Height()));
                EXPECT_TRUE(KeysWith(saved.Exif, "Exif.Thumbnail.").empty());
                EXPECT_NE(saved.IccDescription.find("sRGB"), std::string::npos) << saved.IccDescription;
                if (remove) {
                    EXPECT_TRUE(KeysWith(saved.Exif, "GPS").empty());
                    EXPECT_TRUE(KeysWith(saved.Exif, "Serial").empty());
                    EXPECT_TRUE(KeysWith(saved.Xmp, "GPS").empty());
                } else {
                    EXPECT_EQ(Tag(saved.Exif, "Exif.GPSInfo.GPSLatitude"),
                              Tag(source.Exif, "Exif.GPSInfo.GPSLatitude"));
                    EXPECT_EQ(Tag(saved.Exif, "Exif.Canon.SerialNumber"), Tag(source.Exif, "Exif.Canon.SerialNumber"));
                    EXPECT_EQ(saved.Xmp.empty(), source.Xmp.empty());
                }
                if (std::string(ext) == ".png") {
                    // Chunks before the image data, as the format asks.
                    const std::vector<uint8_t> bytes = ReadBytes(out);
                    const std::string png(bytes.begin(), bytes.end());
                    for (const char* chunk : {"eXIf", "iCCP"})
                        EXPECT_LT(png.find(chunk), png.find("IDAT")) << chunk;
                }
                // Read back by the program itself (libpng checks the chunks'
                // checksums): the size as saved, not turned.
                const Bitmap again = LoadImageFile(out, FormatFromExtension(out));
                EXPECT_EQ(again.Width(), edited.Width());
                EXPECT_EQ(again.Height(), edited.Height());
            }
        }
    }
}

TEST(PhotoMetadata, TurnedPhotoIsSavedUprightOnce) {
    PIXORA_NEED(fs::exists(Photo(kTurnedPhoto)), kTurnedPhoto);
    ScratchDir dir;
    const Bitmap opened = LoadImageFile(Photo(kTurnedPhoto), fcJpeg);
    ASSERT_LT(opened.Width(), opened.Height()); // turned upright on opening
    const TPhotoMetadata meta = ReadPhotoMetadata(Photo(kTurnedPhoto));
    SaveOptions opts;
    opts.Metadata = &meta;
    WriteImageFile(dir.File("up.jpg"), opened, fcJpeg, opts);
    const Bitmap again = LoadImageFile(dir.File("up.jpg"), fcJpeg);
    EXPECT_EQ(again.Width(), opened.Width());
    EXPECT_EQ(again.Height(), opened.Height());
    EXPECT_LE(MaxColourDiff(again, opened), 12);
}

TEST_F(FileCommandsTest, OpenedPhotoKeepsMetadataWhileMadeImagesGetNone) {
    PIXORA_NEED(fs::exists(Photo(kGpsPhoto)), kGpsPhoto);
    const int photo = LoadIntoNewSlot(ws, Photo(kGpsPhoto));
    ASSERT_GE(photo, 0);
    EXPECT_FALSE(SlotAt(ws, photo).Metadata.Exif.empty());
    // Saved through the dialog with the box ticked: no position in the file.
    q.TypedName = File("photo.png");
    q.RemoveLocationBox = true;
    ASSERT_TRUE(SaveImageCopy(ws, q));
    const TReadBack copy = ReadBack(File("photo.png"));
    EXPECT_FALSE(Tag(copy.Exif, "Exif.Image.Model").empty());
    EXPECT_TRUE(KeysWith(copy.Exif, "GPS").empty());

    // A new image in the slot the photo leaves: nothing of the photo's.
    q.Answer = TSaveChangesAnswer::Discard;
    ASSERT_TRUE(CloseImage(ws, photo, q));
    const int made = NewImage(12, 7);
    ASSERT_EQ(made, photo);
    EXPECT_FALSE(SlotAt(ws, made).Metadata.FromFile);
    q.RemoveLocationBox = false;
    for (const char* ext : kKeepingFormats) {
        q.TypedName = File(std::string("made") + ext);
        ASSERT_TRUE(SaveImageCopy(ws, q)) << ext;
        const TReadBack made = ReadBack(*q.TypedName);
        EXPECT_TRUE(made.Xmp.empty()) << ext;
        EXPECT_TRUE(made.IccDescription.empty()) << ext;
        EXPECT_TRUE(Tag(made.Exif, "Exif.Photo.DateTimeOriginal").empty()) << ext;
        EXPECT_TRUE(Tag(made.Exif, "Exif.Image.Model").empty()) << ext;
    }
}

TEST(PhotoMetadata, XmpIsTurnedUprightResizedAndClearedOfPlaceAndSerials) {
    Exiv2::XmpData xmp;
    xmp["Xmp.tiff.Orientation"] = "6";
    xmp["Xmp.exif.PixelXDimension"] = "4000";
    xmp["Xmp.exif.GPSLatitude"] = "36,26.9N";
    xmp["Xmp.aux.SerialNumber"] = "1731000068";
    xmp["Xmp.dc.title"] = "Inn";
    TPhotoMetadata meta;
    meta.FromFile = true;
    ASSERT_EQ(Exiv2::XmpParser::encode(meta.Xmp, xmp), 0);
    for (const bool remove : {false, true}) {
        Exiv2::XmpData saved;
        ASSERT_EQ(Exiv2::XmpParser::decode(saved, PrepareSavedMetadata(meta, 30, 20, remove).Xmp), 0);
        auto value = [&](const char* key) {
            const auto it = saved.findKey(Exiv2::XmpKey(key));
            return it == saved.end() ? std::string() : it->toString();
        };
        EXPECT_EQ(value("Xmp.tiff.Orientation"), "1");
        EXPECT_EQ(value("Xmp.exif.PixelXDimension"), "30");
        EXPECT_NE(value("Xmp.dc.title").find("Inn"), std::string::npos);
        EXPECT_EQ(value("Xmp.exif.GPSLatitude").empty(), remove);
        EXPECT_EQ(value("Xmp.aux.SerialNumber").empty(), remove);
    }
}

TEST(PhotoMetadata, MetadataTooLargeForAJpegCostsOnlyThatPart) {
    // An XMP packet past the 64 KiB of a JPEG segment; nothing for a TIFF file.
    Exiv2::ExifData exif;
    exif["Exif.Image.Model"] = std::string("Big One");
    Exiv2::Blob blob;
    Exiv2::ExifParser::encode(blob, Exiv2::littleEndian, exif);
    TPhotoMetadata meta;
    meta.FromFile = true;
    meta.Exif.assign(blob.begin(), blob.end());
    Exiv2::XmpData xmp;
    xmp["Xmp.dc.title"] = std::string(70000, 'x');
    ASSERT_EQ(Exiv2::XmpParser::encode(meta.Xmp, xmp), 0);
    ScratchDir dir;
    SaveOptions opts;
    opts.Metadata = &meta;
    ASSERT_NO_THROW(WriteImageFile(dir.File("a.jpg"), GradientImage(8, 8), fcJpeg, opts));
    const TReadBack jpeg = ReadBack(dir.File("a.jpg"));
    EXPECT_EQ(Tag(jpeg.Exif, "Exif.Image.Model"), "Big One");
    EXPECT_TRUE(jpeg.Xmp.empty());
    EXPECT_FALSE(jpeg.IccDescription.empty());
    WriteImageFile(dir.File("a.tif"), GradientImage(8, 8), fcTiff, opts);
    const TReadBack tiff = ReadBack(dir.File("a.tif"));
    EXPECT_EQ(Tag(tiff.Exif, "Exif.Image.Model"), "Big One");
    EXPECT_FALSE(tiff.Xmp.empty());
}

namespace {

// EXIF (from its TIFF header on) in little-endian order, IFD0 at offset 8.
struct TExifBlock {
    std::string Bytes = std::string("II*\0\x08\0\0\0", 8);
    void U16(uint32_t v) { Bytes += {char(v), char(v >> 8)}; }
    void U32(uint32_t v) { Bytes += {char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; }
    void Entry(uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
        U16(tag);
        U16(type);
        U32(count);
        U32(value);
    }
};

// Damaged blocks: IFDs that point back at themselves, and sizes that lie.
std::vector<std::string> DamagedExif() {
    std::vector<std::string> blocks;
    TExifBlock loop; // IFD0 -> Exif IFD = IFD0, next IFD = IFD0
    loop.U16(3);
    loop.Entry(0x0110, 2, 4, 0x0058594D); // Model "MYX"
    loop.Entry(0x0112, 3, 1, 6);
    loop.Entry(0x8769, 4, 1, 8);
    loop.U32(8);
    blocks.push_back(loop.Bytes);
    TExifBlock lying; // 65535 entries announced, one there; a value far past the end
    lying.U16(0xFFFF);
    lying.Entry(0x010F, 2, 0x40000000, 0x7FFFFFF0);
    lying.U32(0xFFFFFFF0);
    blocks.push_back(lying.Bytes);
    TExifBlock gps; // a GPS IFD pointer past the end, thumbnail offsets that lie
    gps.U16(3);
    gps.Entry(0x8825, 4, 1, 0xFFFFFF00);
    gps.Entry(0x0201, 4, 1, 4);
    gps.Entry(0x0202, 4, 1, 0x7FFFFFFF);
    gps.U32(0);
    blocks.push_back(gps.Bytes);
    blocks.push_back(std::string("MM\0*\0\0\0", 7)); // cut short
    return blocks;
}

// A JPEG of the program's with `exif` in an APP1 segment after its start.
std::vector<uint8_t> JpegWithExif(const ScratchDir& dir, const std::string& exif) {
    WriteImageFile(dir.File("plain.jpg"), GradientImage(16, 8), fcJpeg, SaveOptions{});
    std::vector<uint8_t> jpeg = ReadBytes(dir.File("plain.jpg"));
    const std::string body = std::string("Exif\0\0", 6) + exif;
    std::vector<uint8_t> app1 = {0xFF, 0xE1, uint8_t((body.size() + 2) >> 8), uint8_t(body.size() + 2)};
    app1.insert(app1.end(), body.begin(), body.end());
    jpeg.insert(jpeg.begin() + 2, app1.begin(), app1.end());
    return jpeg;
}

} // namespace

TEST(PhotoMetadata, DamagedExifIsLeftOutAndThePhotoStillOpensAndSaves) {
    ScratchDir dir;
    for (const std::string& exif : DamagedExif()) {
        SCOPED_TRACE(exif.size());
        WriteBytes(dir.File("bad.jpg"), JpegWithExif(dir, exif));
        const Bitmap opened = LoadImageFile(dir.File("bad.jpg"), fcJpeg);
        const TPhotoMetadata meta = ReadPhotoMetadata(dir.File("bad.jpg"));
        EXPECT_TRUE(meta.FromFile);
        // The block as it stands, handed straight to a save: never thrown.
        TPhotoMetadata raw;
        raw.FromFile = true;
        raw.Exif = exif;
        raw.Xmp = "<x:xmpmeta garbage";
        const TSavedMetadata prepared = PrepareSavedMetadata(raw, 16, 8, true);
        EXPECT_TRUE(prepared.Xmp.empty());
        for (const TPhotoMetadata* m : {&meta, static_cast<const TPhotoMetadata*>(&raw)})
            for (const char* ext : kKeepingFormats) {
                const std::string out = dir.File(std::string("saved") + ext);
                SaveOptions opts;
                opts.Metadata = m;
                ASSERT_NO_THROW(WriteImageFile(out, opened, FormatFromExtension(out), opts)) << ext;
                const Bitmap again = LoadImageFile(out, FormatFromExtension(out));
                EXPECT_EQ(again.Width(), opened.Width()) << ext;
                const TReadBack saved = ReadBack(out);
                const std::string orientation = Tag(saved.Exif, "Exif.Image.Orientation");
                EXPECT_TRUE(orientation.empty() || orientation == "1") << ext << " " << orientation;
            }
    }
}

#ifdef PIXORA_CONVERT
TEST(ConvertCommand, KeepsStripsLocationOrStripsAllMetadata) {
    PIXORA_NEED(fs::exists(Photo(kGpsPhoto)), kGpsPhoto);
    ScratchDir dir;
    const std::string in = "'" + Photo(kGpsPhoto) + "'";
    ASSERT_EQ(RunConvert(dir, in + " -o '" + dir.File("kept.webp") + "'").Status, 0);
    ASSERT_EQ(RunConvert(dir, "--strip-location " + in + " -o '" + dir.File("placeless.webp") + "'").Status, 0);
    ASSERT_EQ(RunConvert(dir, "--strip-metadata " + in + " -o '" + dir.File("bare.webp") + "'").Status, 0);
    const TReadBack kept = ReadBack(dir.File("kept.webp"));
    EXPECT_FALSE(KeysWith(kept.Exif, "GPS").empty());
    const TReadBack placeless = ReadBack(dir.File("placeless.webp"));
    EXPECT_TRUE(KeysWith(placeless.Exif, "GPS").empty());
    EXPECT_EQ(Tag(placeless.Exif, "Exif.Image.Model"), Tag(kept.Exif, "Exif.Image.Model"));
    const TReadBack bare = ReadBack(dir.File("bare.webp"));
    EXPECT_TRUE(bare.Exif.empty());
    EXPECT_TRUE(bare.Xmp.empty());
    EXPECT_FALSE(bare.IccDescription.empty());
}
#endif
