// JPEG reader and writer over libjpeg(-turbo).
//
// libjpeg's error_exit must not return; ours longjmps back into the small
// function that called the library. Those functions hold no C++ objects with
// destructors; their callers own the buffers and throw ECodecError with the
// library's message.

#include <cstdio>
#include <jerror.h>
#include <jpeglib.h>

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <string>

#include "io/codecs/colour_profile.h"
#include "io/codecs/exif.h"
#include "io/codecs/format_codecs.h"

namespace pixora::jpeg {

namespace {

constexpr int kFullChromaQuality = 90;

// A progressive file of more scans than this is refused: each scan goes
// over the whole picture, so a small file of thousands of tiny scans would
// keep the decoder busy for minutes. Real files have a few dozen at most.
constexpr int kMaxScans = 500;

struct TJpegError {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
    // The entropy-coded data ran out before the picture was complete.
    bool DataRanOut = false;
    // The file ended without its end-of-image marker.
    bool EndOfFile = false;
};

void OnErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<TJpegError*>(cinfo->err);
    if (cinfo->err->msg_code == JERR_NO_BACKING_STORE)
        std::snprintf(err->Message, sizeof err->Message, "decoding the image would take more than %lld MiB",
                      static_cast<long long>(MaxImageBytes >> 20));
    else
        (*cinfo->err->format_message)(cinfo, err->Message);
    std::longjmp(err->Jump, 1);
}

// Warnings (corrupt data the decoder can live with) are not shown; the
// two that mean the file is cut short are noted.
void OnMessage(j_common_ptr cinfo, int level) {
    if (level >= 0) return;
    auto* err = reinterpret_cast<TJpegError*>(cinfo->err);
    if (cinfo->err->msg_code == JWRN_HIT_MARKER) err->DataRanOut = true;
    if (cinfo->err->msg_code == JWRN_JPEG_EOF) err->EndOfFile = true;
}

void OnProgress(j_common_ptr cinfo) {
    if (!cinfo->is_decompressor) return;
    if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number <= kMaxScans) return;
    auto* err = reinterpret_cast<TJpegError*>(cinfo->err);
    std::snprintf(err->Message, sizeof err->Message, "the file has more than %d scans", kMaxScans);
    std::longjmp(err->Jump, 1);
}

void InstallErrors(TJpegError& err) {
    jpeg_std_error(&err.Manager);
    err.Manager.error_exit = OnErrorExit;
    err.Manager.emit_message = OnMessage;
    err.Message[0] = 0;
}

[[noreturn]] void Throw(const TJpegError& err) { throw ECodecError(std::string("JPEG: ") + err.Message); }

struct TDecompress {
    jpeg_decompress_struct Info{};
    bool Created = false;
    ~TDecompress() {
        if (Created) jpeg_destroy_decompress(&Info);
    }
};

struct TCompress {
    jpeg_compress_struct Info{};
    bool Created = false;
    ~TCompress() {
        if (Created) jpeg_destroy_compress(&Info);
    }
};

// Reads from the file, or from memory when there is none.
bool StartDecompress(jpeg_decompress_struct* ci, TJpegError* err, std::FILE* f, const uint8_t* data,
                     std::size_t size) {
    if (setjmp(err->Jump)) return false;
    if (f)
        jpeg_stdio_src(ci, f);
    else
        jpeg_mem_src(ci, data, static_cast<unsigned long>(size));
    jpeg_save_markers(ci, JPEG_APP0 + 1, 0xFFFF);
    jpeg_save_markers(ci, JPEG_APP0 + 2, 0xFFFF); // ICC_PROFILE chunks
    jpeg_read_header(ci, TRUE);
    if (ci->jpeg_color_space == JCS_CMYK || ci->jpeg_color_space == JCS_YCCK)
        ci->out_color_space = JCS_CMYK;
    else if (ci->num_components == 1)
        ci->out_color_space = JCS_GRAYSCALE;
    else
        ci->out_color_space = JCS_EXT_BGRX;
    return true;
}

bool BeginOutput(jpeg_decompress_struct* ci, TJpegError* err) {
    if (setjmp(err->Jump)) return false;
    jpeg_start_decompress(ci);
    return true;
}

// Reads up to `count` scanlines into the given rows; returns the number read
// or -1 after an error.
int ReadLines(jpeg_decompress_struct* ci, TJpegError* err, JSAMPROW* rows, int count) {
    if (setjmp(err->Jump)) return -1;
    return static_cast<int>(jpeg_read_scanlines(ci, rows, static_cast<JDIMENSION>(count)));
}

bool Finish(jpeg_decompress_struct* ci, TJpegError* err) {
    if (setjmp(err->Jump)) return false;
    jpeg_finish_decompress(ci);
    return true;
}

// The ICC profile of the saved APP2 markers, its chunks joined in their
// order (malloc'd, for the caller to free); false when there is none or
// its chunks do not fit together.
bool ReadIccProfile(jpeg_decompress_struct* ci, TJpegError* err, JOCTET** icc, unsigned* size) {
    if (setjmp(err->Jump)) return false;
    return jpeg_read_icc_profile(ci, icc, size);
}

// The colours of the file's profile, for the samples the decoder gives.
TColourConversion ColoursOf(jpeg_decompress_struct* ci, TJpegError* err) {
    JOCTET* icc = nullptr;
    unsigned size = 0;
    if (!ReadIccProfile(ci, err, &icc, &size) || !icc) return {};
    const TSampleColours samples = ci->out_color_space != JCS_CMYK ? TSampleColours::Rgb
                                   : ci->saw_Adobe_marker          ? TSampleColours::CmykInverted
                                                                   : TSampleColours::Cmyk;
    TColourConversion colours(icc, size, samples);
    std::free(icc);
    return colours;
}

// EXIF orientation from the saved APP1 markers; 1 when absent.
int ExifOrientation(const jpeg_decompress_struct& ci) {
    for (jpeg_saved_marker_ptr m = ci.marker_list; m; m = m->next) {
        if (m->marker != JPEG_APP0 + 1 || m->data_length < 14 || std::memcmp(m->data, "Exif\0\0", 6) != 0) continue;
        const int o = ExifOrientationOf(m->data + 6, m->data_length - 6);
        if (o != 1) return o;
    }
    return 1;
}

bool CompressAll(jpeg_compress_struct* ci, TJpegError* err, std::FILE* f, const Bitmap& image, int quality, bool gray) {
    if (setjmp(err->Jump)) return false;
    jpeg_stdio_dest(ci, f);
    ci->image_width = static_cast<JDIMENSION>(image.Width());
    ci->image_height = static_cast<JDIMENSION>(image.Height());
    ci->input_components = image.BytesPerPixel();
    ci->in_color_space = image.BytesPerPixel() == 4 ? JCS_EXT_BGRX : JCS_EXT_BGR;
    jpeg_set_defaults(ci);
    if (gray) jpeg_set_colorspace(ci, JCS_GRAYSCALE);
    jpeg_set_quality(ci, quality, TRUE);
    // Colour at quality 90 and above keeps full-resolution chroma (4:4:4);
    // below it chroma is halved both ways (4:2:0, the library's default).
    if (!gray && quality >= kFullChromaQuality) {
        for (int c = 0; c < ci->num_components; ++c) {
            ci->comp_info[c].h_samp_factor = 1;
            ci->comp_info[c].v_samp_factor = 1;
        }
    }
    // Huffman tables made for the image: smaller files, the same pixels.
    ci->optimize_coding = TRUE;
    jpeg_start_compress(ci, TRUE);
    while (ci->next_scanline < ci->image_height) {
        JSAMPROW rows[16];
        const int n = static_cast<int>(std::min<JDIMENSION>(16, ci->image_height - ci->next_scanline));
        for (int i = 0; i < n; ++i) rows[i] = const_cast<JSAMPROW>(image.Row(static_cast<int>(ci->next_scanline) + i));
        jpeg_write_scanlines(ci, rows, static_cast<JDIMENSION>(n));
    }
    jpeg_finish_compress(ci);
    return true;
}

// `reduce` (1, 2, 4 or 8): the picture decoded at that fraction of its size
// by the decoder itself, which then leaves out most of its work.
Bitmap Decode(std::FILE* f, const uint8_t* data, std::size_t size, TReadNotes& notes, int reduce = 1) {
    TJpegError err;
    InstallErrors(err);
    TDecompress d;
    d.Info.err = &err.Manager;
    jpeg_create_decompress(&d.Info);
    d.Created = true;
    // The coefficients of a progressive or multi-scan picture are held
    // whole: no more memory for them than the largest picture we accept.
    d.Info.mem->max_memory_to_use = static_cast<long>(MaxImageBytes);
    jpeg_progress_mgr progress{};
    progress.progress_monitor = OnProgress;
    d.Info.progress = &progress;
    if (!StartDecompress(&d.Info, &err, f, data, size)) Throw(err);
    CheckImageSize(d.Info.image_width, d.Info.image_height, "JPEG");
    d.Info.scale_num = 1;
    d.Info.scale_denom = static_cast<unsigned>(reduce);
    const TColourConversion colours = ColoursOf(&d.Info, &err);
    if (!BeginOutput(&d.Info, &err)) Throw(err);
    // Such a picture is read whole before the first row comes out: when the
    // file ended early, scans are missing.
    if (err.DataRanOut || (err.EndOfFile && jpeg_has_multiple_scans(&d.Info)))
        throw ECodecError("JPEG: the file is cut short");
    const int w = static_cast<int>(d.Info.output_width), h = static_cast<int>(d.Info.output_height);
    const int comps = d.Info.output_components;
    Bitmap out = NewImage(w, h);
    const bool direct = d.Info.out_color_space == JCS_EXT_BGRX;
    // Gray and CMYK come through a strip buffer; BGRX lands in the rows.
    const int strip = std::clamp(d.Info.rec_outbuf_height, 1, 16);
    std::vector<uint8_t> buffer(direct ? 0 : static_cast<std::size_t>(w) * comps * strip);
    // Adobe writes CMYK inverted (0 = full ink).
    const bool inverted = d.Info.saw_Adobe_marker;
    while (static_cast<int>(d.Info.output_scanline) < h) {
        const int y0 = static_cast<int>(d.Info.output_scanline);
        const int want = std::min(strip, h - y0);
        JSAMPROW rows[16];
        for (int i = 0; i < want; ++i)
            rows[i] = direct ? out.Row(y0 + i) : buffer.data() + static_cast<std::size_t>(i) * w * comps;
        const int got = ReadLines(&d.Info, &err, rows, want);
        if (got < 0) Throw(err);
        // Huffman data that runs out is warned about; arithmetic-coded data
        // just meets the next marker. Meeting one (other than a restart)
        // well before the last rows means the same: the data has ended. (The
        // Huffman decoder reads ahead, and meets the end of a scan that
        // packs many rows into a few bytes long before their turn.)
        const int marker = d.Info.unread_marker;
        const bool early = d.Info.arith_code && marker != 0 && (marker < JPEG_RST0 || marker > JPEG_RST0 + 7) &&
                           y0 + std::max(got, 0) + 3 * DCTSIZE * d.Info.max_v_samp_factor < h;
        if (err.DataRanOut || early) throw ECodecError("JPEG: the image data is cut short");
        if (got == 0) throw ECodecError("JPEG: no image data");
        for (int i = 0; i < got; ++i) {
            uint8_t* dst = out.Row(y0 + i);
            const uint8_t* s = rows[i];
            if (direct) {
                for (int x = 0; x < w; ++x) dst[4 * x + 3] = 0;
            } else if (comps == 1) {
                for (int x = 0; x < w; ++x, dst += 4) dst[0] = dst[1] = dst[2] = s[x], dst[3] = 0;
            } else if (colours.Converts()) {
                colours.CmykToSrgb(s, dst, w);
                for (int x = 0; x < w; ++x) dst[4 * x + 3] = 0;
            } else {
                for (int x = 0; x < w; ++x, s += 4, dst += 4) {
                    int c = s[0], m = s[1], yy = s[2], k = s[3];
                    if (!inverted) c = 255 - c, m = 255 - m, yy = 255 - yy, k = 255 - k;
                    dst[2] = static_cast<uint8_t>((c * k + 127) / 255);
                    dst[1] = static_cast<uint8_t>((m * k + 127) / 255);
                    dst[0] = static_cast<uint8_t>((yy * k + 127) / 255);
                    dst[3] = 0;
                }
            }
        }
    }
    const int orientation = ExifOrientation(d.Info);
    if (!Finish(&d.Info, &err)) Throw(err);
    colours.ToSrgb(out);
    notes.ColourProfile = colours.Name();
    if (orientation != 1) return ApplyExifOrientation(out, orientation);
    return out;
}

} // namespace

Bitmap Read(const std::string& path, TReadNotes& notes) {
    FilePtr f = OpenFile(path, "rb");
    return Decode(f.get(), nullptr, 0, notes);
}

Bitmap Read(const std::string& path) {
    TReadNotes ignored;
    return Read(path, ignored);
}

Bitmap ReadReduced(const std::string& path, int reduce) {
    FilePtr f = OpenFile(path, "rb");
    TReadNotes ignored;
    return Decode(f.get(), nullptr, 0, ignored, std::clamp(reduce, 1, 8));
}

Bitmap ReadMemory(const uint8_t* data, std::size_t size) {
    if (size == 0) throw ECodecError("JPEG: no data");
    TReadNotes ignored;
    return Decode(nullptr, data, size, ignored);
}

void Write(const std::string& path, const Bitmap& image, int quality, bool gray) {
    if (image.Empty()) throw ECodecError("JPEG: the image is empty");
    CheckImageSize(image.Width(), image.Height(), "JPEG");
    if (image.Width() > JPEG_MAX_DIMENSION || image.Height() > JPEG_MAX_DIMENSION)
        throw ECodecError("JPEG: the image is too large for a JPEG file");
    FilePtr f = OpenFile(path, "wb");
    TJpegError err;
    InstallErrors(err);
    TCompress c;
    c.Info.err = &err.Manager;
    jpeg_create_compress(&c.Info);
    c.Created = true;
    if (!CompressAll(&c.Info, &err, f.get(), image, quality, gray)) {
        ThrowIfWriteFailed(f.get(), path);
        Throw(err);
    }
    CloseWrittenFile(f, path);
}

namespace {

TSniff Sniff(const TFileHead& h) {
    return h.Size >= 3 && std::memcmp(h.Data, "\xFF\xD8\xFF", 3) == 0 ? TSniff::Yes : TSniff::No;
}

void WriteWithOptions(const std::string& path, const Bitmap& image, const SaveOptions& opts) {
    Write(path, image, opts.JpegQuality, opts.JpegGray);
}

} // namespace

} // namespace pixora::jpeg

namespace pixora {

const TCodec kJpegCodec = {.Strength = TSniffStrength::Signature,
                           .Sniff = jpeg::Sniff,
                           .Read = jpeg::Read,
                           .Write = jpeg::WriteWithOptions};

} // namespace pixora
