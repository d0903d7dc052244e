// Reading a photo's EXIF and XMP through Exiv2, and preparing them for a
// save: upright, without thumbnail, at the saved size, and without location
// or serial numbers when asked.

#include "io/codecs/photo_metadata.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <mutex>

#include <exiv2/exiv2.hpp>
#include <lcms2.h>

#include "io/codecs/format_codecs.h"

namespace pixora {

namespace {

// Exiv2 for this unit alone: set up once (quiet, since a damaged block is
// left out rather than reported line by line on the terminal, and reading
// the HEIF, AVIF and JPEG XL containers), and used by one thread at a time,
// as its XMP toolkit and registries are not safe for the converter's
// threads. The lock is held for the metadata steps only, never while pixels
// are decoded or encoded.
std::unique_lock<std::mutex> UseExiv2() {
    static std::mutex exiv2;
    static const bool ready = [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::enableBMFF(true);
        Exiv2::XmpParser::initialize();
        return true;
    }();
    (void)ready;
    return std::unique_lock<std::mutex>(exiv2);
}

std::string LowerCase(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// Where the photo was taken or which camera took it: GPS entries of EXIF
// and XMP, and serial numbers (EXIF's body and lens serials, the makers'
// own in their notes, XMP's aux and exifEX ones).
bool LocatesOrIdentifies(const std::string& key) {
    const std::string k = LowerCase(key);
    for (const char* word : {"gps", "latitude", "longitude", "serial"})
        if (k.find(word) != std::string::npos) return true;
    return false;
}

template <class TData> void EraseWhere(TData& data, bool (*pick)(const std::string&)) {
    for (auto it = data.begin(); it != data.end();) {
        if (pick(it->key()))
            it = data.erase(it);
        else
            ++it;
    }
}

Exiv2::ByteOrder DecodeExif(const std::string& bytes, Exiv2::ExifData& exif) {
    exif.clear();
    if (bytes.size() < 8 || bytes.size() > UINT32_MAX) return Exiv2::invalidByteOrder;
    try {
        return Exiv2::ExifParser::decode(exif, reinterpret_cast<const Exiv2::byte*>(bytes.data()),
                                         static_cast<uint32_t>(bytes.size()));
    } catch (const std::exception&) {
        exif.clear();
        return Exiv2::invalidByteOrder;
    }
}

std::string EncodeExif(const Exiv2::ExifData& exif, Exiv2::ByteOrder order) {
    if (exif.empty()) return {};
    Exiv2::Blob blob;
    Exiv2::ExifParser::encode(blob, order == Exiv2::invalidByteOrder ? Exiv2::littleEndian : order, exif);
    return std::string(blob.begin(), blob.end());
}

TPhotoMetadata ReadFrom(Exiv2::Image& file) {
    TPhotoMetadata meta;
    meta.FromFile = true;
    try {
        file.readMetadata();
    } catch (const std::exception&) {
        // Whatever was read before the fault is parsed again below, each
        // part on its own.
    }
    try {
        meta.Exif = EncodeExif(file.exifData(), file.byteOrder());
    } catch (const std::exception&) {
        meta.Exif.clear();
    }
    meta.Xmp = file.xmpPacket();
    Exiv2::XmpData check;
    if (!meta.Xmp.empty() && Exiv2::XmpParser::decode(check, meta.Xmp) != 0) meta.Xmp.clear();
    return meta;
}

void SetIfPresent(Exiv2::XmpData& xmp, const char* key, long value) {
    const auto it = xmp.findKey(Exiv2::XmpKey(key));
    if (it != xmp.end()) it->setValue(std::to_string(value));
}

std::string PrepareExif(const std::string& bytes, int width, int height, bool removeLocation) {
    Exiv2::ExifData exif;
    const Exiv2::ByteOrder order = DecodeExif(bytes, exif);
    if (exif.empty()) return {};
    Exiv2::ExifThumb(exif).erase();
    const auto profile = exif.findKey(Exiv2::ExifKey("Exif.Image.InterColorProfile"));
    if (profile != exif.end()) exif.erase(profile);
    if (removeLocation) EraseWhere(exif, LocatesOrIdentifies);
    exif["Exif.Image.Orientation"] = static_cast<uint16_t>(1);
    exif["Exif.Photo.PixelXDimension"] = static_cast<uint32_t>(width);
    exif["Exif.Photo.PixelYDimension"] = static_cast<uint32_t>(height);
    return EncodeExif(exif, order);
}

std::string PrepareXmp(const std::string& packet, int width, int height, bool removeLocation) {
    Exiv2::XmpData xmp;
    if (packet.empty() || Exiv2::XmpParser::decode(xmp, packet) != 0) return {};
    SetIfPresent(xmp, "Xmp.tiff.Orientation", 1);
    SetIfPresent(xmp, "Xmp.tiff.ImageWidth", width);
    SetIfPresent(xmp, "Xmp.tiff.ImageLength", height);
    SetIfPresent(xmp, "Xmp.exif.PixelXDimension", width);
    SetIfPresent(xmp, "Xmp.exif.PixelYDimension", height);
    if (removeLocation) EraseWhere(xmp, LocatesOrIdentifies);
    if (xmp.empty()) return {};
    std::string out;
    if (Exiv2::XmpParser::encode(out, xmp, Exiv2::XmpParser::useCompactFormat) != 0) return {};
    return out;
}

// Little CMS's own sRGB profile, as bytes, the same on every call.
std::string SrgbProfile() {
    cmsHPROFILE profile = cmsCreate_sRGBProfile();
    std::string bytes;
    cmsUInt32Number size = 0;
    if (profile && cmsSaveProfileToMem(profile, nullptr, &size) && size > 0) {
        bytes.resize(size);
        if (!cmsSaveProfileToMem(profile, bytes.data(), &size)) bytes.clear();
    }
    if (profile) cmsCloseProfile(profile);
    // The header's creation time would make every save of the same picture
    // differ: it becomes the date the sRGB standard was issued, 1999-10-18,
    // and the profile ID that covers it "not computed" (zero).
    constexpr std::size_t kDate = 24, kDateSize = 12, kId = 84, kIdSize = 16;
    if (bytes.size() >= kId + kIdSize) {
        const unsigned char date[kDateSize] = {0x07, 0xCF, 0, 10, 0, 18, 0, 0, 0, 0, 0, 0};
        bytes.replace(kDate, kDateSize, reinterpret_cast<const char*>(date), kDateSize);
        bytes.replace(kId, kIdSize, kIdSize, '\0');
    }
    return bytes;
}

} // namespace

// What is known of a file whose metadata cannot be read: that it is one.
TPhotoMetadata NoneFromFile() {
    TPhotoMetadata meta;
    meta.FromFile = true;
    return meta;
}

bool KeepsPhotoMetadata(const SaveOptions& opts) {
    return opts.Metadata && opts.Metadata->FromFile;
}

TPhotoMetadata ReadPhotoMetadata(const std::string& path) {
    const auto lock = UseExiv2();
    try {
        auto file = Exiv2::ImageFactory::open(path);
        if (file.get()) return ReadFrom(*file);
    } catch (const std::exception&) {
        // A format Exiv2 does not know, or a file it cannot open.
    }
    return NoneFromFile();
}

TPhotoMetadata ReadPhotoMetadataMemory(const uint8_t* data, std::size_t size) {
    const auto lock = UseExiv2();
    try {
        if (size > LONG_MAX) throw std::length_error("too large");
        auto file = Exiv2::ImageFactory::open(data, static_cast<long>(size));
        if (file.get()) return ReadFrom(*file);
    } catch (const std::exception&) {
    }
    return NoneFromFile();
}

TSavedMetadata PrepareSavedMetadata(const TPhotoMetadata& meta, int width, int height, bool removeLocation) {
    const auto lock = UseExiv2();
    TSavedMetadata out;
    try {
        out.Exif = PrepareExif(meta.Exif, width, height, removeLocation);
    } catch (const std::exception&) {
        out.Exif.clear();
    }
    try {
        out.Xmp = PrepareXmp(meta.Xmp, width, height, removeLocation);
    } catch (const std::exception&) {
        out.Xmp.clear();
    }
    out.Icc = SrgbProfile();
    return out;
}

TSavedMetadata SavedMetadataFor(const Bitmap& image, const SaveOptions& opts) {
    TPhotoMetadata meta = opts.Metadata ? *opts.Metadata : TPhotoMetadata{};
    if (opts.StripMetadata) {
        meta.Exif.clear();
        meta.Xmp.clear();
    }
    return PrepareSavedMetadata(meta, image.Width(), image.Height(), opts.RemoveLocation);
}

namespace {

// One attempt at putting `meta` into the file through Exiv2, which leaves
// the file as it was when it throws.
void WriteThroughExiv2(const std::string& path, const TSavedMetadata& meta) {
    auto file = Exiv2::ImageFactory::open(path);
    file->readMetadata();
    // The writer's own tags (a TIFF file's layout) stay; the photo's fill in
    // the rest.
    Exiv2::ExifData& exif = file->exifData();
    Exiv2::ExifData photo;
    DecodeExif(meta.Exif, photo);
    for (const Exiv2::Exifdatum& d : photo)
        if (exif.findKey(Exiv2::ExifKey(d.key())) == exif.end()) exif.add(d);
    if (!meta.Xmp.empty()) file->setXmpPacket(meta.Xmp);
    if (!meta.Icc.empty()) {
        Exiv2::DataBuf icc(reinterpret_cast<const Exiv2::byte*>(meta.Icc.data()), static_cast<long>(meta.Icc.size()));
        file->setIccProfile(icc, true);
    }
    file->writeMetadata();
}

} // namespace

void KeepMetadataThroughExiv2(const std::string& path, const Bitmap& image, const SaveOptions& opts) {
    if (!KeepsPhotoMetadata(opts)) return;
    const TSavedMetadata full = SavedMetadataFor(image, opts);
    // Metadata the format cannot hold (an EXIF block past a JPEG segment's
    // 64 KiB) costs that part, not the save.
    TSavedMetadata withoutXmp = full, withoutExif = full, profileOnly = full;
    withoutXmp.Xmp.clear();
    withoutExif.Exif.clear();
    profileOnly.Xmp.clear();
    profileOnly.Exif.clear();
    const TSavedMetadata* const attempts[] = {&full, &withoutXmp, &withoutExif, &profileOnly};
    const auto lock = UseExiv2();
    std::string why;
    for (const TSavedMetadata* meta : attempts) {
        try {
            WriteThroughExiv2(path, *meta);
            return;
        } catch (const std::exception& e) {
            why = e.what();
        }
    }
    throw ECodecError("Cannot write the photo's metadata into " + path + (why.empty() ? "" : ": " + why));
}

} // namespace pixora
