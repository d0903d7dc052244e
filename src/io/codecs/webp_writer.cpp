// WebP through libwebp: the writer (lossy at a quality, or lossless, alpha
// kept), and the reader: lossy, lossless, alpha, and the first frame of an
// animation (composed on its canvas by libwebpdemux).

#include <webp/decode.h>
#include <webp/demux.h>
#include <webp/encode.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "io/codecs/colour_profile.h"
#include "io/codecs/format_codecs.h"
#include "io/codecs/row_pipeline.h"

namespace pixora::webp {

namespace {

constexpr int kMaxSide = WEBP_MAX_DIMENSION;

const char* EncodeErrorText(WebPEncodingError e) {
    switch (e) {
    case VP8_ENC_ERROR_OUT_OF_MEMORY:
    case VP8_ENC_ERROR_BITSTREAM_OUT_OF_MEMORY: return "not enough memory";
    case VP8_ENC_ERROR_BAD_DIMENSION: return "the image is too large for a WebP file";
    case VP8_ENC_ERROR_FILE_TOO_BIG: return "the image is too large for a WebP file";
    default: return "the image could not be encoded";
    }
}

struct TPicture {
    WebPPicture Pic;
    TPicture() { WebPPictureInit(&Pic); }
    ~TPicture() { WebPPictureFree(&Pic); }
};

struct TMemory {
    WebPMemoryWriter Out;
    TMemory() { WebPMemoryWriterInit(&Out); }
    ~TMemory() { WebPMemoryWriterClear(&Out); }
};

TSniff Sniff(const TFileHead& h) {
    return h.Size >= 12 && std::memcmp(h.Data, "RIFF", 4) == 0 && std::memcmp(h.Data + 8, "WEBP", 4) == 0
               ? TSniff::Yes
               : TSniff::No;
}

struct TAnimDecoder {
    WebPAnimDecoder* Dec = nullptr;
    ~TAnimDecoder() { WebPAnimDecoderDelete(Dec); }
};

// The first frame of an animation as it shows on the animation's canvas,
// finished through `colours`.
Bitmap FirstFrame(const uint8_t* data, std::size_t size, const TColourConversion& colours) {
    const WebPData webpData = {data, size};
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options)) throw ECodecError("WebP: the decoder library does not match");
    options.color_mode = MODE_BGRA;
    options.use_threads = 0;
    // The canvas size comes from the header before the decoder takes memory for it.
    WebPBitstreamFeatures features;
    if (WebPGetFeatures(data, size, &features) != VP8_STATUS_OK)
        throw ECodecError("WebP: not a WebP file, or the file is damaged");
    CheckImageSize(features.width, features.height, "WebP");
    TAnimDecoder dec;
    dec.Dec = WebPAnimDecoderNew(&webpData, &options);
    WebPAnimInfo info;
    if (!dec.Dec || !WebPAnimDecoderGetInfo(dec.Dec, &info))
        throw ECodecError("WebP: the animation is damaged or cut short");
    CheckImageSize(info.canvas_width, info.canvas_height, "WebP");
    uint8_t* frame = nullptr;
    int timestamp = 0;
    if (!WebPAnimDecoderGetNext(dec.Dec, &frame, &timestamp) || !frame)
        throw ECodecError("WebP: the animation's first frame is damaged or cut short");
    const int w = static_cast<int>(info.canvas_width), h = static_cast<int>(info.canvas_height);
    Bitmap out = NewImage(w, h, false);
    colours.FinishPicture(frame, static_cast<std::size_t>(w) * 4, TDecodedOrder::Bgra, out);
    return out;
}

// The colours of the file's ICCP chunk; none when the file has no such
// chunk, or its chunks cannot be walked (the decoder then says why).
TColourConversion ColoursOf(const uint8_t* data, std::size_t size) {
    const WebPData webpData = {data, size};
    WebPDemuxer* demux = WebPDemux(&webpData);
    if (!demux) return {};
    TColourConversion colours;
    WebPChunkIterator chunk;
    if ((WebPDemuxGetI(demux, WEBP_FF_FORMAT_FLAGS) & ICCP_FLAG) && WebPDemuxGetChunk(demux, "ICCP", 1, &chunk)) {
        colours = TColourConversion(chunk.chunk.bytes, chunk.chunk.size);
        WebPDemuxReleaseChunkIterator(&chunk);
    }
    WebPDemuxDelete(demux);
    return colours;
}

} // namespace

void Write(const std::string& path, const Bitmap& image, const SaveOptions& opts) {
    if (image.Empty()) throw ECodecError("WebP: the image is empty");
    const int w = image.Width(), h = image.Height(), bpp = image.BytesPerPixel();
    if (w > kMaxSide || h > kMaxSide)
        throw ECodecError("WebP: the image is larger than " + std::to_string(kMaxSide) + " x " +
                          std::to_string(kMaxSide) + " pixels");
    WebPConfig config;
    if (!WebPConfigInit(&config)) throw ECodecError("WebP: the encoder library does not match");
    config.lossless = opts.WebpLossless ? 1 : 0;
    config.quality = static_cast<float>(std::clamp(opts.WebpQuality, 0, 100));
    // Lossless files keep the colour of fully transparent pixels too.
    config.exact = opts.WebpLossless ? 1 : 0;
    // B, G, R, A rows: alpha is 255 - T.
    std::vector<uint8_t> bgra(static_cast<std::size_t>(w) * 4 * static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = image.Row(y);
        uint8_t* d = bgra.data() + static_cast<std::size_t>(y) * w * 4;
        for (int x = 0; x < w; ++x, s += bpp, d += 4) {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
            d[3] = bpp == 4 ? static_cast<uint8_t>(255 - s[3]) : 255;
        }
    }
    TPicture pic;
    pic.Pic.width = w;
    pic.Pic.height = h;
    pic.Pic.use_argb = opts.WebpLossless ? 1 : 0;
    const bool imported = AnyTransparent(image) ? WebPPictureImportBGRA(&pic.Pic, bgra.data(), w * 4)
                                                : WebPPictureImportBGRX(&pic.Pic, bgra.data(), w * 4);
    if (!imported) throw ECodecError("WebP: not enough memory");
    bgra = {};
    TMemory memory;
    pic.Pic.writer = WebPMemoryWrite;
    pic.Pic.custom_ptr = &memory.Out;
    if (!WebPEncode(&config, &pic.Pic)) throw ECodecError(std::string("WebP: ") + EncodeErrorText(pic.Pic.error_code));
    TRawWriter out(path);
    out.Write(memory.Out.mem, memory.Out.size);
    out.Close();
}

struct TIncremental {
    WebPIDecoder* Dec = nullptr;
    ~TIncremental() { WebPIDelete(Dec); }
};

// A still picture decoded straight into the picture's rows on the library's
// threads, a piece of the file at a time, so that the rows it has made are
// finished while it makes the next.
Bitmap Still(const uint8_t* data, std::size_t size, const WebPBitstreamFeatures& features,
             const TColourConversion& colours) {
    CheckImageSize(features.width, features.height, "WebP");
    Bitmap out = NewImage(features.width, features.height, false);
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config)) throw ECodecError("WebP: the decoder library does not match");
    config.options.use_threads = 1;
    config.output.colorspace = MODE_BGRA;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = out.Data();
    config.output.u.RGBA.stride = static_cast<int>(out.Stride());
    config.output.u.RGBA.size = out.ByteSize();
    TRowPipeline rows(colours, out.Data(), out.Stride(), TDecodedOrder::Bgra, out);
    TIncremental dec;
    dec.Dec = WebPIDecode(nullptr, 0, &config);
    if (!dec.Dec) throw ECodecError("WebP: not enough memory");
    constexpr std::size_t kPiece = std::size_t(32) << 10;
    VP8StatusCode status = VP8_STATUS_SUSPENDED;
    for (std::size_t fed = 0; status == VP8_STATUS_SUSPENDED && fed < size;) {
        fed = std::min(size, fed + kPiece);
        // The library reads the file where it lies, as far as `fed`.
        status = WebPIUpdate(dec.Dec, data, fed);
        int made = 0;
        if (WebPIDecGetRGB(dec.Dec, &made, nullptr, nullptr, nullptr)) rows.Decoded(made);
    }
    if (status != VP8_STATUS_OK) throw ECodecError("WebP: the image data is damaged or cut short");
    rows.Finish();
    return out;
}

Bitmap Read(const std::string& path, TReadNotes& notes) {
    const TMappedFile file(path);
    WebPBitstreamFeatures features;
    if (WebPGetFeatures(file.Data(), file.Size(), &features) != VP8_STATUS_OK)
        throw ECodecError("WebP: not a WebP file, or the file is damaged");
    const TColourConversion colours = ColoursOf(file.Data(), file.Size());
    Bitmap out = features.has_animation ? FirstFrame(file.Data(), file.Size(), colours)
                                        : Still(file.Data(), file.Size(), features, colours);
    notes.ColourProfile = colours.Name();
    return out;
}

} // namespace pixora::webp

namespace pixora {

const TCodec kWebpCodec = {
    .Strength = TSniffStrength::Signature, .Sniff = webp::Sniff, .Read = webp::Read, .Write = webp::Write};

} // namespace pixora
