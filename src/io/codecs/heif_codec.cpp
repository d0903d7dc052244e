// HEIF/HEIC and AVIF through libheif: the primary image, as the file says
// to show it (libheif's decode applies the clean aperture, rotation and
// mirror), with its alpha; deeper samples are rounded to 8 bits. Grids are
// assembled by libheif; an image sequence gives its still (first) picture.

#include <libheif/heif.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "io/codecs/colour_profile.h"
#include "io/codecs/format_codecs.h"
#include "io/codecs/heif_items.h"

namespace pixora::heif {

namespace {

using TBrand = char[5];

// The brands of the file's leading 'ftyp' box (major and compatible), as
// one string of 4-character codes; empty when the file has no such box.
std::string Brands(const TFileHead& h) {
    if (h.Size < 16 || std::memcmp(h.Data + 4, "ftyp", 4) != 0) return {};
    const std::size_t box = (std::size_t(h.Data[0]) << 24) | (std::size_t(h.Data[1]) << 16) |
                            (std::size_t(h.Data[2]) << 8) | h.Data[3];
    if (box < 16 || box > h.Size) return {};
    std::string brands(reinterpret_cast<const char*>(h.Data + 8), 4);
    for (std::size_t at = 16; at + 4 <= box; at += 4) brands.append(reinterpret_cast<const char*>(h.Data + at), 4);
    return brands;
}

bool HasBrand(const std::string& brands, const TBrand* list, std::size_t n) {
    for (std::size_t at = 0; at + 4 <= brands.size(); at += 4)
        for (std::size_t i = 0; i < n; ++i)
            if (brands.compare(at, 4, list[i]) == 0) return true;
    return false;
}

const TBrand kAvifBrands[] = {"avif", "avis"};
const TBrand kHeifBrands[] = {"heic", "heix", "heim", "heis", "hevc", "hevx", "hevm", "hevs", "mif1", "msf1"};

TSniff SniffAvif(const TFileHead& h) {
    return HasBrand(Brands(h), kAvifBrands, 2) ? TSniff::Yes : TSniff::No;
}

TSniff SniffHeif(const TFileHead& h) {
    return HasBrand(Brands(h), kHeifBrands, std::size(kHeifBrands)) ? TSniff::Yes : TSniff::No;
}

struct TContextFree {
    void operator()(heif_context* c) const { heif_context_free(c); }
};
struct THandleFree {
    void operator()(heif_image_handle* h) const { heif_image_handle_release(h); }
};
struct TImageFree {
    void operator()(heif_image* i) const { heif_image_release(i); }
};
struct TNclxFree {
    void operator()(heif_color_profile_nclx* n) const { heif_nclx_color_profile_free(n); }
};
struct TOptionsFree {
    void operator()(heif_decoding_options* o) const { heif_decoding_options_free(o); }
};

void Check(const heif_error& e, const char* what) {
    if (e.code == heif_error_Ok) return;
    if (e.code == heif_error_Memory_allocation_error) throw ECodecError("HEIF: not enough memory to " + std::string(what));
    throw ECodecError("HEIF: cannot " + std::string(what) + ": " + (e.message ? e.message : "unknown error"));
}

// A sample of up to `max` to 8 bits, rounded to the nearest.
inline uint8_t To8(unsigned v, unsigned max) {
    return static_cast<uint8_t>(((v < max ? v : max) * 255u + max / 2) / max);
}

// The colours the file states for its primary image: an ICC profile, or
// primaries and a transfer curve by code number ('nclx'), which libheif's
// conversion to RGB has not touched.
TColourConversion ColoursOf(heif_image_handle* handle) {
    switch (heif_image_handle_get_color_profile_type(handle)) {
    case heif_color_profile_type_prof:
    case heif_color_profile_type_rICC: {
        const std::size_t size = heif_image_handle_get_raw_color_profile_size(handle);
        if (size == 0 || size > kMaxProfileBytes) return {};
        std::vector<uint8_t> icc(size);
        if (heif_image_handle_get_raw_color_profile(handle, icc.data()).code != heif_error_Ok) return {};
        return TColourConversion(icc.data(), icc.size());
    }
    case heif_color_profile_type_nclx: {
        // The library hands out the description it has made even when it
        // refuses one of its numbers: freed either way.
        heif_color_profile_nclx* made = nullptr;
        const bool ok = heif_image_handle_get_nclx_color_profile(handle, &made).code == heif_error_Ok;
        const std::unique_ptr<heif_color_profile_nclx, TNclxFree> nclx(made);
        if (!ok || !nclx) return {};
        return TColourConversion(TCodedColours{static_cast<int>(nclx->color_primaries),
                                               static_cast<int>(nclx->transfer_characteristics)});
    }
    default: return {};
    }
}

// The library holds the decoded planes (at worst three full-size ones and
// an alpha plane) and the interleaved picture it makes from them, at one
// byte a sample or two for deeper ones: 8 or 16 bytes a pixel, which must
// stay within the working memory the readers may take.
void CheckDecodable(int64_t w, int64_t h, int bits) {
    CheckImageSize(w, h, "HEIF");
    const int64_t workingPerPixel = bits > 8 ? 16 : 8;
    if (w * h * workingPerPixel > MaxImageBytes)
        throw ECodecError("HEIF: image too large to decode within the working memory at " + std::to_string(bits) +
                          " bits (" + std::to_string(w) + " x " + std::to_string(h) + ")");
}

} // namespace

Bitmap Read(const std::string& path, TReadNotes& notes) {
    const TMappedFile file(path);
    std::unique_ptr<heif_context, TContextFree> ctx(heif_context_alloc());
    if (!ctx) throw ECodecError("HEIF: not enough memory");
    // libheif refuses larger pictures itself before it decodes them.
    heif_context_set_maximum_image_size_limit(ctx.get(), MaxImageSide);
    Check(heif_context_read_from_memory_without_copy(ctx.get(), file.Data(), file.Size(), nullptr), "read the file");
    heif_image_handle* raw = nullptr;
    Check(heif_context_get_primary_image_handle(ctx.get(), &raw), "find the primary image");
    std::unique_ptr<heif_image_handle, THandleFree> handle(raw);

    // The sides before rotation; a turn only swaps them, so the checks hold.
    const int64_t w = heif_image_handle_get_width(handle.get()), h = heif_image_handle_get_height(handle.get());
    const int bits = heif_image_handle_get_luma_bits_per_pixel(handle.get());
    const bool deep = bits > 8;
    CheckDecodable(w, h, bits);
    // A grid or overlay makes its picture at the size its own data gives,
    // which need not be the image's.
    const THeifItems items = ReadHeifItems(file.Data(), file.Size());
    for (const TDeclaredSize& made : items.Derived) CheckDecodable(made.Width, made.Height, bits);
    if (items.CodedWithoutData) throw ECodecError("HEIF: an AV1 image item holds no coded data");

    const bool alpha = heif_image_handle_has_alpha_channel(handle.get()) != 0;
    std::unique_ptr<heif_decoding_options, TOptionsFree> options(heif_decoding_options_alloc());
    heif_image* decoded = nullptr;
    // (The library mirrors only 8-bit pictures: a deeper one with a mirror
    // is refused with the library's reason.)
    Check(heif_decode_image(handle.get(), &decoded, heif_colorspace_RGB,
                            !deep   ? (alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB)
                            : alpha ? heif_chroma_interleaved_RRGGBBAA_LE
                                    : heif_chroma_interleaved_RRGGBB_LE,
                            options.get()),
          "decode the image");
    std::unique_ptr<heif_image, TImageFree> image(decoded);
    const int ow = heif_image_get_width(image.get(), heif_channel_interleaved);
    const int oh = heif_image_get_height(image.get(), heif_channel_interleaved);
    CheckImageSize(ow, oh, "HEIF");
    int stride = 0;
    const uint8_t* plane = heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
    if (!plane) throw ECodecError("HEIF: the decoder gave no picture");

    Bitmap out = NewImage(ow, oh, false);
    const TColourConversion colours = ColoursOf(handle.get());
    notes.ColourProfile = colours.Name();
    if (deep) {
        const int got = heif_image_get_bits_per_pixel_range(image.get(), heif_channel_interleaved);
        const unsigned max = (1u << (got > 8 && got <= 16 ? got : 16)) - 1;
        const int step = alpha ? 8 : 6;
        for (int y = 0; y < oh; ++y) {
            const uint8_t* s = plane + static_cast<std::size_t>(y) * stride;
            uint8_t* d = out.Row(y);
            for (int x = 0; x < ow; ++x, s += step, d += 4) {
                const auto at = [s](int i) { return unsigned(s[2 * i]) | (unsigned(s[2 * i + 1]) << 8); };
                d[0] = To8(at(2), max);
                d[1] = To8(at(1), max);
                d[2] = To8(at(0), max);
                d[3] = alpha ? static_cast<uint8_t>(255 - To8(at(3), max)) : 0;
            }
        }
        colours.ToSrgb(out);
    } else {
        // Without alpha the library writes three bytes a pixel, the fewest.
        colours.FinishPicture(plane, static_cast<std::size_t>(stride),
                              alpha ? TDecodedOrder::Rgba : TDecodedOrder::Rgb, out);
    }
    return out;
}

} // namespace pixora::heif

namespace pixora {

const TCodec kAvifCodec = {.Strength = TSniffStrength::InnerSignature, .Sniff = heif::SniffAvif, .Read = heif::Read};
const TCodec kHeifCodec = {.Strength = TSniffStrength::InnerSignature, .Sniff = heif::SniffHeif, .Read = heif::Read};

} // namespace pixora
