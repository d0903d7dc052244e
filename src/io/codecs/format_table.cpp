// The program's formats, one row each, in the order of the open dialog's
// filter list, and the load and save entry points over them.
//
// The save dialog and the batch window list the same formats in orders of
// their own (the icon entry sits last when saving and sixth in the batch
// list), so each row states its place in those lists. A format that needs a
// library the build may lack has its row inside an #if on that library, so
// that without it the format is absent from every list.

#include <new>
#include <string>

#include "io/codecs/format_codecs.h"
#include "io/codecs/photo_metadata.h"

namespace pixora {

namespace {

using K = TSaveOptionsKind;

std::vector<TFormatRow> ProgramRows() {
    return {
        {.Name = "BMP",
         .Code = fcBmp,
         .Extensions = ".bmp",
         .AlsoReads = ".dib;.rle",
         .Open = {"Bitmap (*.bmp;*.dib;*.rle)", "*.bmp;*.dib;*.rle"},
         .Save = {1, ".bmp"},
         .Batch = {1, ".bmp"},
         .MimeTypes = "image/bmp",
         .Codec = &kBmpCodec,
         .Options = K::PixelFormat,
         .TypeText = "BMP - Windows Bitmap",
         .SaveHelp = "Windows bitmap; you choose the pixel format (colour depth)."},
        {.Name = "JPEG",
         .Code = fcJpeg,
         .Extensions = ".jpg;.jpeg;.jpe;.jfif",
         .Open = {"JPEG (*.JPG;*.JPEG;*.JPE;*.JFIF)", "*.JPG;*.JPEG;*.JPE;*.JFIF"},
         .Save = {2, ".jpg"},
         .Batch = {2, ".jpg"},
         .MimeTypes = "image/jpeg",
         .Codec = &kJpegCodec,
         .Options = K::JpegOptions,
         .TypeText = "JPG - JPEG Format",
         .SaveHelp = "JPEG; you choose colour or grayscale and the quality (0 to 100).",
         .KeepMetadata = &KeepMetadataThroughExiv2},
        {.Name = "GIF",
         .Code = fcGif,
         .Extensions = ".gif",
         .Open = {"GIF (*.GIF)", "*.GIF"},
         .Save = {3, ".gif"},
         .Batch = {3, ".gif"},
         .MimeTypes = "image/gif",
         .Codec = &kGifCodec,
         .Options = K::GifTransparency,
         .TypeText = "GIF - GIF Format",
         .SaveHelp = "GIF; you may choose one colour that becomes fully transparent."},
        {.Name = "PNG",
         .Code = fcPng,
         .Extensions = ".png",
         .Open = {"PNG (*.PNG)", "*.PNG"},
         .Save = {4, ".png"},
         .Batch = {4, ".png"},
         .MimeTypes = "image/png",
         .Codec = &kPngCodec,
         .TypeText = "PNG - PNG Format",
         .SaveHelp = "PNG with the image's transparency (partial transparency is kept).",
         .KeepMetadata = &KeepMetadataInPng},
        {.Name = "TIFF",
         .Code = fcTiff,
         .Extensions = ".tif;.tiff",
         .Open = {"TIFF (*.TIF;*.TIFF)", "*.TIF;*.TIFF"},
         .Save = {5, ".tif"},
         .Batch = {5, ".tif"},
         .MimeTypes = "image/tiff",
         .Codec = &kTiffCodec,
         .TypeText = "TIF - TIFF Format",
         .SaveHelp = "TIFF, 8 bits a channel, with an alpha channel when the image has transparency; "
                     "LZW compression.",
         .KeepMetadata = &KeepMetadataThroughExiv2},
        {.Name = "GFI fax",
         .Extensions = ".fax",
         .Open = {"GFI fax images (*.fax)", "*.fax"},
         .Save = {6, ".fax"},
         .Batch = {7, ".fax"}},
        {.Name = "Windows icon",
         .Code = fcIco,
         .Extensions = ".ico",
         .AlsoReads = ".cur",
         .Open = {"Windows Icons (*.ico)", "*.ico"},
         .InAllPictures = false,
         .Save = {18, ".ico", {"Windows Icon", "*.ico"}},
         .Batch = {6, ".ico"},
         .MimeTypes = "image/vnd.microsoft.icon",
         .Codec = &kIcoCodec,
         .TypeText = "ICO - Windows Icon",
         .SaveHelp = "Windows icon of one 32-bit picture with transparency, at most 256 x 256 pixels."},
        {.Name = "SGI",
         .Code = fcSgi,
         .Extensions = ".bw;.rgb;.rgba;.sgi",
         .Open = {"SGI images (*.bw, *.rgb, *.rgba, *.sgi)", "*.bw;*.rgb;*.rgba;*.sgi"},
         .Save = {7, ".sgi"},
         .Batch = {8, ".sgi"},
         .MimeTypes = "image/x-sgi;image/x-rgb",
         .Codec = &kSgiCodec,
         .TypeText = "SGI - SGI Image Format",
         .SaveHelp = "SGI image, 8 bits a channel, with alpha when the image has transparency; "
                     "one grey channel for .bw."},
        {.Name = "Autodesk Animator",
         .Code = fcCel,
         .Extensions = ".cel;.pic",
         .Open = {"Autodesk images files (*.cel; *.pic)", "*.cel;*.pic"},
         .Save = {8, ".pic"},
         .Batch = {9, ".pic"},
         .Codec = &kCelCodec,
         .TypeText = "PIC - Autodesk Animator Format",
         .SaveHelp = "Autodesk Animator picture of at most 256 colours (more are reduced)."},
        {.Name = "Truevision Targa",
         .Code = fcTga,
         .Extensions = ".tga;.vst;.icb;.vda;.win",
         .Open = {"Truevision images (*.tga; *.vst; *.icb; *.vda; *.win)", "*.tga;*.vst;*.icb;*.vda;*.win"},
         .Save = {9, ".tga"},
         .Batch = {10, ".tga"},
         .MimeTypes = "image/x-tga",
         .Codec = &kTgaCodec,
         .TypeText = "TGA - Truevision Format",
         .SaveHelp = "Truevision image, 24 bits, or 32 with alpha when the image has transparency."},
        {.Name = "ZSoft Paintbrush",
         .Code = fcPcx,
         .Extensions = ".pcx;.pcc",
         .Open = {"ZSoft Paintbrush images (*.pcx; *.pcc)", "*.pcx;*.pcc"},
         .Save = {10, ".pcx"},
         .Batch = {11, ".pcc"},
         .MimeTypes = "image/vnd.zbrush.pcx;image/x-pcx",
         .Codec = &kPcxCodec,
         .TypeText = "PCX - ZSoft Paintbrush Format",
         .SaveHelp = "ZSoft Paintbrush image, 24 bits (no transparency)."},
        {.Name = "Word 5.x screen capture",
         .Extensions = ".scr",
         .Open = {"Word 5.x screen capture files (*.scr)", "*.scr"},
         .Save = {11, ".scr"},
         .Batch = {12, ".scr"}},
        {.Name = "Kodak Photo-CD",
         .Extensions = ".pcd",
         .Open = {"Kodak Photo-CD images (*.pcd)", "*.pcd"},
         .Save = {12, ".pcd"},
         .Batch = {13, ".pcd"},
         .Codec = &kPcdCodec},
        {.Name = "Portable pixmap",
         .Code = fcPnm,
         .Extensions = ".ppm;.pgm;.pbm",
         .AlsoReads = ".pnm;.pam",
         .Open = {"Portable pixel/gray map images (*.ppm, *.pgm, *.pbm)", "*.ppm;*.pgm;*.pbm"},
         .Save = {13, ".ppm"},
         .Batch = {14, ".ppm"},
         .MimeTypes = "image/x-portable-anymap;image/x-portable-bitmap;image/x-portable-graymap;"
                      "image/x-portable-pixmap",
         .Codec = &kPnmCodec,
         .TypeText = "PPM - Portable Pixmap Format",
         .SaveHelp = "Portable pixmap (.ppm), grey map (.pgm) or black and white bitmap (.pbm); "
                     "no transparency."},
        {.Name = "Dr. Halo",
         .Extensions = ".cut;.pal",
         .Open = {"Dr. Halo images (*.cut, *.pal)", "*.cut;*.pal"},
         .Save = {14, ".cut"},
         .Batch = {15, ".cut"}},
        {.Name = "Wavefront RLA",
         .Extensions = ".rla;.rpf",
         .Open = {"SGI Wavefront images (*.rla;*.rpf)", "*.rla;*.rpf"},
         .Save = {15, ".rla"},
         .Batch = {16, ".rla"},
         .Codec = &kRlaCodec},
        {.Name = "Photoshop",
         .Code = fcPsd,
         .Extensions = ".psd;.pdd",
         .AlsoReads = ".psb",
         .Open = {"Photoshop images (*.psd, *.pdd)", "*.psd;*.pdd"},
         .Save = {16, ".psd"},
         .Batch = {17, ".psd"},
         .MimeTypes = "image/vnd.adobe.photoshop",
         .Codec = &kPsdCodec,
         .TypeText = "PSD - Photoshop Format",
         .SaveHelp = "Photoshop image of one layer, 8 bits a channel, with its transparency."},
        {.Name = "Paintshop Pro",
         .Extensions = ".psp",
         .AlsoReads = ".pspimage",
         .Open = {"Paintshop Pro images (*.psp)", "*.psp"},
         .Save = {17, ".psp"},
         .Batch = {18, ".psp"},
         .Codec = &kPspCodec},
        {.Name = "WebP",
         .Code = fcWebp,
         .Extensions = ".webp",
         .Open = {"WebP images (*.webp)", "*.webp"},
         .Save = {19, ".webp"},
         .Batch = {19, ".webp"},
         .MimeTypes = "image/webp",
         .Codec = &kWebpCodec,
         .Options = K::WebpOptions,
         .TypeText = "WEBP - WebP Format",
         .SaveHelp = "WebP; you choose lossy at a quality (0 to 100) or lossless; transparency is kept.",
         .KeepMetadata = &KeepMetadataInWebp},
        // Photos as phones and cameras save them; read only. AVIF files carry
        // the general HEIF brand too, so their row is asked first.
        {.Name = "AVIF",
         .Extensions = ".avif",
         .Open = {"AVIF images (*.avif)", "*.avif"},
         .MimeTypes = "image/avif",
         .Codec = &kAvifCodec},
        {.Name = "HEIF",
         .Extensions = ".heic;.heif",
         .AlsoReads = ".hif",
         .Open = {"HEIF/HEIC images (*.heic;*.heif)", "*.heic;*.heif"},
         .MimeTypes = "image/heic;image/heif",
         .Codec = &kHeifCodec},
        {.Name = "JPEG XL",
         .Extensions = ".jxl",
         .Open = {"JPEG XL images (*.jxl)", "*.jxl"},
         .MimeTypes = "image/jxl",
         .Codec = &kJxlCodec},
    };
}

[[noreturn]] void OutOfMemory(const char* action) {
    throw ECodecError(std::string("Not enough memory to ") + action + " the image");
}

} // namespace

const TFormatTable& Formats() {
    static const TFormatTable table(ProgramRows());
    return table;
}

int FormatFromExtension(const std::string& path) {
    return Formats().CodeOf(path);
}

Bitmap LoadImageFile(const std::string& path, int formatCode, TReadNotes* notes) {
    try {
        // Every code reads by content: the readers recognise BMP, PNG and GIF
        // by their magic numbers as well as the other formats.
        (void)formatCode;
        TReadNotes ignored;
        return Formats().Read(path, notes ? *notes : ignored);
    } catch (const ECodecError&) {
        throw;
    } catch (const std::bad_alloc&) {
        OutOfMemory("open");
    } catch (const std::exception& e) {
        throw ECodecError(e.what());
    }
}

void WriteImageFile(const std::string& path, const Bitmap& image, int formatCode, const SaveOptions& opts) {
    try {
        Formats().Write(path, image, formatCode, opts);
    } catch (const ECodecError&) {
        throw;
    } catch (const std::bad_alloc&) {
        OutOfMemory("save");
    } catch (const std::exception& e) {
        throw ECodecError(e.what());
    }
}

SaveOptions SaveOptions::FromSlot(int savePixelFormat, int jpegQuality, int gifSensitivity) {
    SaveOptions o;
    static const int kBits[4] = {8, 16, 24, 32};
    o.BmpBits = savePixelFormat >= 0 && savePixelFormat < 4 ? kBits[savePixelFormat] : 24;
    o.JpegGray = savePixelFormat == 0;
    o.JpegQuality = jpegQuality;
    o.GifSensitivity = gifSensitivity;
    return o;
}

} // namespace pixora
