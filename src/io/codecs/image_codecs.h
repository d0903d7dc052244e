#pragma once
// Public face of the image codecs: the format table and the per-format load
// and save rules that the open, save and batch commands call.

#include <stdexcept>
#include <string>

#include "doc/bitmap.h"
#include "doc/photo_metadata.h"

namespace pixora {

// Every reading or writing failure ends in this exception; what() carries
// the library's own message (or the codec's description of the fault).
class ECodecError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Format codes, decided from the file name's extension.
enum TFormatCode : int {
    fcOther = 0,
    fcBmp = 1,
    fcJpeg = 2,
    fcPng = 3,
    fcGif = 4,
    fcTiff = 5,
    // Formats read beyond the first five that the program also writes: each
    // writer has a code of its own, so that "Save" writes an opened file back
    // in its own format. Formats the program only reads keep fcOther.
    fcWebp = 6,
    fcTga = 7,
    fcPnm = 8,
    fcSgi = 9,
    fcPcx = 10,
    fcIco = 11,
    fcPsd = 12,
    fcCel = 13,
};

// ".bmp" -> 1; ".jpg" ".jpe" ".jpeg" ".jfif" -> 2; ".png" -> 3; ".gif" -> 4;
// ".tif" ".tiff" -> 5; the extensions of the other written formats -> their
// codes (6 and up); anything else, including no extension, -> 0.
// Case does not matter; only the last extension of the file name counts.
int FormatFromExtension(const std::string& path);

// What a reader learns of a file beside its pixels.
struct TReadNotes {
    // The description of the colour profile the file embeds, in which its
    // colours were read (and converted to sRGB); empty when it has none or
    // none that could be used.
    std::string ColourProfile;
};

// Reads a file and returns a 32-bit bitmap (B, G, R, T; T = 0 opaque). The
// reader is chosen by the file's content, whatever its format code, and by
// its extension where the content has no magic number (format_rows.h):
//   BMP reader.
//   PNG reader; T = 255 - alpha, 0 when the file has no alpha.
//   GIF reader, first frame on its logical screen; pixels of the frame's
//   transparent index become red with T = 255.
//   JPEG (upright by its EXIF orientation), TIFF and the minor formats;
//   anything else is not supported.
// Colours of files that embed a colour profile come converted to sRGB
// (colour_profile.h); `notes`, when given, receives what the reader learnt.
// Throws ECodecError on every failure, including lack of memory.
Bitmap LoadImageFile(const std::string& path, int formatCode, TReadNotes* notes = nullptr);

// The colour key written into GIF files for transparent pixels.
inline constexpr int GifKeyRed = 16, GifKeyGreen = 16, GifKeyBlue = 16;

struct SaveOptions {
    int BmpBits = 24;          // 8, 16, 24 or 32 for format code 1
    bool JpegGray = false;     // 8-bit grayscale instead of 24-bit colour
    int JpegQuality = 100;     // 0..100, handed to the encoder unchanged
    int GifSensitivity = 0;    // 0..255: T >= 255 - sensitivity becomes the key
    bool WebpLossless = false; // lossless WebP instead of lossy
    int WebpQuality = 90;      // 0..100 for lossy WebP
    // The target name's extension (lower case, with its dot), filled in by
    // the format table before a writer is called: writers of rows with
    // several extensions (".pgm" grey, ".pbm" black and white) go by it.
    std::string Extension;
    // The photo's metadata, written back by the formats that keep it (JPEG,
    // PNG, TIFF, WebP) with the orientation 1, no thumbnail and the image's
    // size; null or not from a file: nothing is added to the file.
    const TPhotoMetadata* Metadata = nullptr;
    // Leave out the GPS data and the camera's and lens's serial numbers.
    bool RemoveLocation = false;
    // Write no EXIF or XMP at all (the sRGB profile tag still).
    bool StripMetadata = false;

    // The editor keeps one field for the "Pixel Format" (0..3 -> 8/16/24/32
    // bits) and "JPEG Options" (0 gray, 1 colour) choices; this maps it.
    static SaveOptions FromSlot(int savePixelFormat, int jpegQuality, int gifSensitivity = 0);
};

// Writes a bitmap by format code, with the writer of the format table's row
// of that code:
//   1  BMP at opts.BmpBits;      2  JPEG (gray or colour, opts.JpegQuality);
//   3  PNG with alpha = 255 - T; 4  GIF keyed with opts.GifSensitivity;
//   5  TIFF; 6 WebP; and the other formats with a writer by their codes.
// A code without a writer (fcOther: a format the program only reads, or an
// extension it does not know) writes nothing and throws ECodecError naming
// the format. The data goes to a temporary file in the target's folder
// which is then renamed over the target, so a failed write leaves an old
// file untouched (see ReplaceFile). Throws ECodecError on failure; its
// message names the target, never the temporary file.
void WriteImageFile(const std::string& path, const Bitmap& image, int formatCode, const SaveOptions& opts);

// Writes `bytes` as the whole content of a file, through a temporary file
// renamed over it as images are, so a failure leaves the old file as it was.
// Throws ECodecError naming the file and the system's reason.
void WriteWholeFile(const std::string& path, const std::string& bytes);

// Removes the temporary files a save left in `folder` when it was killed:
// those of the program's naming pattern whose process has ended, or that
// were last written more than a day ago. Returns how many went. Files of
// saves still running (this process's included) are left alone.
int RemoveLeftoverTemporaries(const std::string& folder);

// The GIF keying step of saving: a copy of src in which every pixel with
// sensitivity >= 255 - T becomes the key colour (16, 16, 16) and every other
// pixel keeps its colour, a pixel of exactly (16, 16, 16) being nudged to
// (16, 16, 15) so that it never equals the key. The result is 32-bit with
// T = 0 everywhere.
Bitmap ApplyGifKey(const Bitmap& src, int sensitivity);

} // namespace pixora
