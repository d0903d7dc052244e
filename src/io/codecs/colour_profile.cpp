// Embedded colour profiles to sRGB through Little CMS.
//
// The rendering intent: a profile that carries a perceptual table (the
// CLUT-based ones: CMYK presses, some camera and scanner profiles) is
// converted perceptually, since its maker built that table to bring the
// profile's whole gamut gracefully into a smaller one such as sRGB. A
// profile without one (the matrix-and-curve kind every phone and camera
// writes: Display P3, Adobe RGB, ProPhoto) is converted relative
// colorimetrically with black point compensation: colours sRGB can show
// come out exactly, colours beyond it are clipped to its edge, and the
// profile's black lands on sRGB's black. For such profiles Little CMS's
// perceptual intent would fall back to the same colorimetric conversion.

#include "io/codecs/colour_profile.h"
#include "io/codecs/format_codecs.h"

#include <lcms2.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

namespace pixora {

namespace {

struct TContextFree {
    void operator()(void* c) const { cmsDeleteContext(static_cast<cmsContext>(c)); }
};
struct TProfileClose {
    void operator()(void* p) const { cmsCloseProfile(static_cast<cmsHPROFILE>(p)); }
};
using TContext = std::unique_ptr<void, TContextFree>;
using TProfile = std::unique_ptr<void, TProfileClose>;

// Little CMS reports a profile it cannot read by its return values; its
// messages are not shown.
void Silent(cmsContext, cmsUInt32Number, const char*) {}

TContext NewContext() {
    TContext ctx(cmsCreateContext(nullptr, nullptr));
    if (ctx) cmsSetLogErrorHandlerTHR(static_cast<cmsContext>(ctx.get()), Silent);
    return ctx;
}

// A big-endian 4-character code of the profile's 128-byte header.
uint32_t HeaderCode(const uint8_t* icc, std::size_t at) {
    return (uint32_t(icc[at]) << 24) | (uint32_t(icc[at + 1]) << 16) | (uint32_t(icc[at + 2]) << 8) | icc[at + 3];
}

std::string Description(cmsHPROFILE p) {
    char text[256] = "";
    cmsGetProfileInfoASCII(p, cmsInfoDescription, "en", "US", text, sizeof text);
    std::string name(text);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\n'))
        name.pop_back();
    return name.empty() ? "Unnamed profile" : name;
}

// sRGB's curve, as Little CMS's parametric type 4: (aX + b)^g above d, cX below.
constexpr cmsFloat64Number kSrgbCurve[5] = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};

bool SameXyz(cmsHPROFILE a, cmsHPROFILE b, cmsTagSignature tag) {
    const auto* x = static_cast<const cmsCIEXYZ*>(cmsReadTag(a, tag));
    const auto* y = static_cast<const cmsCIEXYZ*>(cmsReadTag(b, tag));
    if (!x || !y) return false;
    constexpr double kNear = 0.002;
    return std::fabs(x->X - y->X) < kNear && std::fabs(x->Y - y->Y) < kNear && std::fabs(x->Z - y->Z) < kNear;
}

bool SameCurve(cmsHPROFILE a, cmsHPROFILE b, cmsTagSignature tag) {
    const auto* x = static_cast<const cmsToneCurve*>(cmsReadTag(a, tag));
    const auto* y = static_cast<const cmsToneCurve*>(cmsReadTag(b, tag));
    if (!x || !y) return false;
    for (int i = 0; i <= 64; ++i) {
        const float v = static_cast<float>(i) / 64;
        if (std::fabs(cmsEvalToneCurveFloat(x, v) - cmsEvalToneCurveFloat(y, v)) > 0.0015f) return false;
    }
    return true;
}

// Whether an RGB profile is sRGB by what it does (its colorants and curves
// within a fraction of one 8-bit step), whatever its name: converting
// through it would change no pixel.
bool ActsAsSrgb(cmsHPROFILE p, cmsHPROFILE srgb) {
    if (!cmsIsMatrixShaper(p) || cmsIsCLUT(p, INTENT_RELATIVE_COLORIMETRIC, LCMS_USED_AS_INPUT)) return false;
    for (cmsTagSignature tag : {cmsSigRedColorantTag, cmsSigGreenColorantTag, cmsSigBlueColorantTag})
        if (!SameXyz(p, srgb, tag)) return false;
    for (cmsTagSignature tag : {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag})
        if (!SameCurve(p, srgb, tag)) return false;
    return true;
}

// --- colours stated by code numbers ---------------------------------------

struct TPrimaries {
    int Code;
    const char* Name;
    cmsCIExyY White;
    cmsCIExyYTRIPLE Rgb;
};

constexpr cmsCIExyY kD65 = {0.3127, 0.3290, 1.0};
constexpr cmsCIExyY kIlluminantC = {0.310, 0.316, 1.0};

const TPrimaries kPrimaries[] = {
    {1, "BT.709", kD65, {{0.640, 0.330, 1}, {0.300, 0.600, 1}, {0.150, 0.060, 1}}},
    {4, "BT.470 M", kIlluminantC, {{0.670, 0.330, 1}, {0.210, 0.710, 1}, {0.140, 0.080, 1}}},
    {5, "BT.470 B/G", kD65, {{0.640, 0.330, 1}, {0.290, 0.600, 1}, {0.150, 0.060, 1}}},
    {6, "BT.601", kD65, {{0.630, 0.340, 1}, {0.310, 0.595, 1}, {0.155, 0.070, 1}}},
    {7, "SMPTE 240M", kD65, {{0.630, 0.340, 1}, {0.310, 0.595, 1}, {0.155, 0.070, 1}}},
    {8, "Generic film", kIlluminantC, {{0.681, 0.319, 1}, {0.243, 0.692, 1}, {0.145, 0.049, 1}}},
    {9, "BT.2020", kD65, {{0.708, 0.292, 1}, {0.170, 0.797, 1}, {0.131, 0.046, 1}}},
    {11, "DCI-P3", {0.314, 0.351, 1.0}, {{0.680, 0.320, 1}, {0.265, 0.690, 1}, {0.150, 0.060, 1}}},
    {12, "Display P3", kD65, {{0.680, 0.320, 1}, {0.265, 0.690, 1}, {0.150, 0.060, 1}}},
    {22, "EBU 3213", kD65, {{0.630, 0.340, 1}, {0.295, 0.605, 1}, {0.155, 0.077, 1}}},
};

// A transfer curve the conversion can model: Little CMS parametric type 1
// (a plain power) or 4 (sRGB's form).
struct TTransfer {
    int Code;
    const char* Name;
    int Type;
    cmsFloat64Number Params[5];
};

// The video curves (BT.709, BT.601, BT.2020) describe a camera; displays,
// and the browsers that show such pictures, decode them with a display's
// curve, which sRGB's stands for here. Unspecified counts as sRGB too.
const TTransfer kTransfers[] = {
    {1, "BT.709 transfer", 4, {kSrgbCurve[0], kSrgbCurve[1], kSrgbCurve[2], kSrgbCurve[3], kSrgbCurve[4]}},
    {2, "sRGB transfer", 4, {kSrgbCurve[0], kSrgbCurve[1], kSrgbCurve[2], kSrgbCurve[3], kSrgbCurve[4]}},
    {4, "gamma 2.2", 1, {2.2}},
    {5, "gamma 2.8", 1, {2.8}},
    {6, "BT.601 transfer", 4, {kSrgbCurve[0], kSrgbCurve[1], kSrgbCurve[2], kSrgbCurve[3], kSrgbCurve[4]}},
    {8, "linear", 1, {1.0}},
    {13, "sRGB transfer", 4, {kSrgbCurve[0], kSrgbCurve[1], kSrgbCurve[2], kSrgbCurve[3], kSrgbCurve[4]}},
    {14, "BT.2020 transfer", 4, {kSrgbCurve[0], kSrgbCurve[1], kSrgbCurve[2], kSrgbCurve[3], kSrgbCurve[4]}},
    {15, "BT.2020 transfer", 4, {kSrgbCurve[0], kSrgbCurve[1], kSrgbCurve[2], kSrgbCurve[3], kSrgbCurve[4]}},
};

// Curves of high dynamic range pictures: showing them needs tone mapping,
// not a change of colour space, so such pictures stay as decoded.
const char* HdrTransferName(int code) {
    return code == 16 ? "PQ" : code == 18 ? "HLG" : nullptr;
}

// Bands of rows converted on separate threads for large pictures; `rows`
// must not throw. Bands whose thread cannot be started are done here.
template <class TRows> void OverBands(int height, std::size_t pixels, TRows rows) {
    constexpr std::size_t kPixelsPerThread = std::size_t(1) << 20;
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const int bands =
        static_cast<int>(std::clamp<std::size_t>(pixels / kPixelsPerThread, 1, std::min(cores, 8u)));
    std::vector<std::thread> threads;
    int rest = height; // rows from here on are taken by threads
    try {
        threads.reserve(static_cast<std::size_t>(bands));
        for (int b = bands - 1; b >= 1; --b) {
            const int y0 = height * b / bands;
            threads.emplace_back(rows, y0, rest);
            rest = y0;
        }
    } catch (const std::exception&) {
    }
    rows(0, rest);
    for (std::thread& t : threads)
        t.join();
}

// Decoded pixels into B, G, R, T.
PIXORA_UNTRACED_PIXEL_LOOP void Reorder(const uint8_t* from, TDecodedOrder order, uint8_t* to, int count) {
    switch (order) {
    case TDecodedOrder::Pixels:
        if (from != to) std::memcpy(to, from, 4 * static_cast<std::size_t>(count));
        return;
    case TDecodedOrder::Bgra:
        if (from == to) { // only the fourth byte changes
            for (int x = 3; x < 4 * count; x += 4)
                to[x] = static_cast<uint8_t>(255 - to[x]);
            return;
        }
        for (int x = 0; x < 4 * count; x += 4) {
            to[x] = from[x];
            to[x + 1] = from[x + 1];
            to[x + 2] = from[x + 2];
            to[x + 3] = static_cast<uint8_t>(255 - from[x + 3]);
        }
        return;
    case TDecodedOrder::Rgba:
        for (int x = 0; x < 4 * count; x += 4) {
            const uint8_t r = from[x], b = from[x + 2];
            to[x] = b;
            to[x + 1] = from[x + 1];
            to[x + 2] = r;
            to[x + 3] = static_cast<uint8_t>(255 - from[x + 3]);
        }
        return;
    case TDecodedOrder::Rgb:
        for (int x = 0; x < count; ++x, from += 3, to += 4) {
            to[0] = from[2];
            to[1] = from[1];
            to[2] = from[0];
            to[3] = 0;
        }
        return;
    }
}

const TPrimaries* PrimariesOf(const TCodedColours& coded) {
    for (const TPrimaries& p : kPrimaries)
        if (p.Code == coded.Primaries) return &p;
    return nullptr;
}

const TTransfer* TransferOf(const TCodedColours& coded) {
    for (const TTransfer& t : kTransfers)
        if (t.Code == coded.Transfer) return &t;
    return nullptr;
}

} // namespace

std::string CodedColoursName(const TCodedColours& coded) {
    const TPrimaries* primaries = PrimariesOf(coded);
    if (!primaries) return {};
    if (const char* hdr = HdrTransferName(coded.Transfer))
        return std::string(primaries->Name) + ", " + hdr + " transfer (high dynamic range, shown as decoded)";
    const TTransfer* transfer = TransferOf(coded);
    if (!transfer) return {};
    if (coded.Primaries == 1 && coded.Transfer == 13) return "sRGB";
    return std::string(primaries->Name) + " primaries, " + transfer->Name;
}

struct TColourConversion::TState {
    TContext Context;
    cmsHTRANSFORM Transform = nullptr;
    TSampleColours Samples = TSampleColours::Rgb;
    bool Grey = false; // a grey profile for RGB pixels: converted from G
    ~TState() {
        if (Transform) cmsDeleteTransform(Transform);
    }
};

TColourConversion::TColourConversion() = default;
TColourConversion::~TColourConversion() = default;
TColourConversion::TColourConversion(TColourConversion&&) noexcept = default;
TColourConversion& TColourConversion::operator=(TColourConversion&&) noexcept = default;

TColourConversion::TColourConversion(const uint8_t* icc, std::size_t size, TSampleColours samples) {
    if (!icc || size < 128 || size > kMaxProfileBytes) return;
    auto state = std::make_unique<TState>();
    state->Context = NewContext();
    if (!state->Context) return;
    const auto ctx = static_cast<cmsContext>(state->Context.get());
    const TProfile profile(cmsOpenProfileFromMemTHR(ctx, icc, static_cast<cmsUInt32Number>(size)));
    if (!profile) return;
    const auto p = static_cast<cmsHPROFILE>(profile.get());
    // The profile's class and colour space as the header's bytes hold them:
    // Little CMS hands them out as enums, which a damaged header fills with
    // values no enumerator has.
    const uint32_t kind = HeaderCode(icc, 12), space = HeaderCode(icc, 16);
    if (kind != cmsSigInputClass && kind != cmsSigDisplayClass && kind != cmsSigOutputClass &&
        kind != cmsSigColorSpaceClass)
        return;
    const bool cmyk = samples != TSampleColours::Rgb;
    cmsUInt32Number in = 0;
    if (cmyk && space == cmsSigCmykData)
        in = samples == TSampleColours::Cmyk ? TYPE_CMYK_8 : TYPE_CMYK_8_REV;
    else if (!cmyk && space == cmsSigRgbData)
        in = TYPE_BGRA_8;
    else if (!cmyk && space == cmsSigGrayData)
        in = TYPE_GRAY_8;
    else
        return;
    state->Grey = in == TYPE_GRAY_8;
    const TProfile srgb(cmsCreate_sRGBProfileTHR(ctx));
    if (!srgb) return;
    if (!cmyk && !state->Grey && ActsAsSrgb(p, static_cast<cmsHPROFILE>(srgb.get()))) {
        name_ = Description(p); // sRGB already: nothing to do
        return;
    }
    const bool perceptual = cmsIsCLUT(p, INTENT_PERCEPTUAL, LCMS_USED_AS_INPUT);
    const cmsUInt32Number intent = perceptual ? INTENT_PERCEPTUAL : INTENT_RELATIVE_COLORIMETRIC;
    // No one-pixel cache: bands of rows are converted on several threads.
    const cmsUInt32Number flags = cmsFLAGS_NOCACHE | (perceptual ? 0 : cmsFLAGS_BLACKPOINTCOMPENSATION);
    const cmsUInt32Number out = in == TYPE_BGRA_8 ? TYPE_BGRA_8 : TYPE_BGR_8;
    state->Transform =
        cmsCreateTransformTHR(ctx, p, in, static_cast<cmsHPROFILE>(srgb.get()), out, intent, flags);
    if (!state->Transform) return;
    state->Samples = samples;
    name_ = Description(p);
    state_ = std::move(state);
}

TColourConversion::TColourConversion(const TCodedColours& coded) : name_(CodedColoursName(coded)) {
    const TPrimaries* primaries = PrimariesOf(coded);
    const TTransfer* transfer = TransferOf(coded);
    // Unspecified or unmodelled colours, and those of high dynamic range,
    // stay as decoded; BT.709 primaries with an sRGB-like curve are sRGB.
    if (!primaries || !transfer || HdrTransferName(coded.Transfer)) return;
    if (primaries->Code == 1 && transfer->Type == 4) return;

    auto state = std::make_unique<TState>();
    state->Context = NewContext();
    if (!state->Context) return;
    const auto ctx = static_cast<cmsContext>(state->Context.get());
    cmsToneCurve* curve = cmsBuildParametricToneCurve(ctx, transfer->Type, transfer->Params);
    if (!curve) return;
    cmsToneCurve* curves[3] = {curve, curve, curve};
    const TProfile profile(cmsCreateRGBProfileTHR(ctx, &primaries->White, &primaries->Rgb, curves));
    cmsFreeToneCurve(curve);
    const TProfile srgb(cmsCreate_sRGBProfileTHR(ctx));
    if (!profile || !srgb) return;
    state->Transform = cmsCreateTransformTHR(
        ctx, static_cast<cmsHPROFILE>(profile.get()), TYPE_BGRA_8, static_cast<cmsHPROFILE>(srgb.get()),
        TYPE_BGRA_8, INTENT_RELATIVE_COLORIMETRIC, cmsFLAGS_NOCACHE | cmsFLAGS_BLACKPOINTCOMPENSATION);
    if (state->Transform) state_ = std::move(state);
}

bool TColourConversion::Converts() const {
    return state_ && state_->Transform;
}

void TColourConversion::ToSrgb(Bitmap& pixels) const {
    if (!Converts() || state_->Samples != TSampleColours::Rgb) return;
    FinishPicture(pixels.Data(), pixels.Stride(), TDecodedOrder::Pixels, pixels);
}

namespace {

// Pixels finished at a time: a piece of a row stays in the first-level
// cache from its reordering to its conversion.
constexpr int kPiece = 1024;
// The memo's size: enough for nearly all of a photo's repeated colours to
// be found, at 2 MB a thread.
constexpr int kMemoBits = 18;
// A piece with fewer of its colours found than this share (a picture of
// noise) and the next pieces go straight to Little CMS before the memo is
// tried again.
constexpr int kMemoWorthShare = 8; // one in
constexpr int kPlainPieces = 15;

inline uint32_t MemoSlot(uint32_t colour) {
    return (colour * 2654435761u) >> (32 - kMemoBits);
}

inline uint32_t ColourAt(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
}

} // namespace

PIXORA_UNTRACED_PIXEL_LOOP void TColourConversion::Remembering(uint8_t* pixels, int count, TColourMemo& memo) const {
    if (memo.plain_ > 0) {
        --memo.plain_;
        cmsDoTransform(state_->Transform, pixels, pixels, static_cast<cmsUInt32Number>(count));
        return;
    }
    if (memo.keys_.empty()) {
        // No colour has all four bytes set.
        memo.keys_.assign(std::size_t(1) << kMemoBits, 0xFFFFFFFFu);
        memo.values_.resize(std::size_t(1) << kMemoBits);
    }
    count = std::min(count, kPiece);
    int missedAt[kPiece];
    uint8_t missed[4 * kPiece];
    int misses = 0;
    for (int x = 0; x < count; ++x) {
        uint8_t* p = pixels + 4 * x;
        const uint32_t colour = ColourAt(p), slot = MemoSlot(colour);
        if (memo.keys_[slot] == colour) {
            const uint32_t v = memo.values_[slot];
            p[0] = static_cast<uint8_t>(v), p[1] = static_cast<uint8_t>(v >> 8), p[2] = static_cast<uint8_t>(v >> 16);
            continue;
        }
        missedAt[misses] = x;
        std::memcpy(missed + 4 * misses, p, 4);
        ++misses;
    }
    if (misses == 0) return;
    cmsDoTransform(state_->Transform, missed, missed, static_cast<cmsUInt32Number>(misses));
    for (int i = 0; i < misses; ++i) {
        uint8_t* p = pixels + 4 * missedAt[i];
        const uint32_t slot = MemoSlot(ColourAt(p));
        memo.keys_[slot] = ColourAt(p);
        memo.values_[slot] = ColourAt(missed + 4 * i);
        std::copy_n(missed + 4 * i, 3, p);
    }
    if (misses > count - count / kMemoWorthShare) memo.plain_ = kPlainPieces;
}

PIXORA_UNTRACED_PIXEL_LOOP void TColourConversion::Finish(const uint8_t* from, TDecodedOrder order,
                                                          uint8_t* to, int count, TColourMemo* memo) const {
    const bool converts = Converts() && state_->Samples == TSampleColours::Rgb;
    for (int at = 0; at < count; at += kPiece) {
        const int n = std::min(kPiece, count - at);
        Reorder(from + static_cast<std::size_t>(DecodedPixelBytes(order)) * at, order,
                to + 4 * static_cast<std::size_t>(at), n);
        if (!converts) continue;
        uint8_t* piece = to + 4 * static_cast<std::size_t>(at);
        if (!state_->Grey) {
            // In place: Little CMS reads B, G, R and writes them back, stepping over T.
            if (memo)
                Remembering(piece, n, *memo);
            else
                cmsDoTransform(state_->Transform, piece, piece, static_cast<cmsUInt32Number>(n));
            continue;
        }
        // From one channel of the grey picture (R = G = B) to all three.
        uint8_t g[kPiece], rgb[3 * kPiece];
        for (int x = 0; x < n; ++x)
            g[x] = piece[4 * x + 1];
        cmsDoTransform(state_->Transform, g, rgb, static_cast<cmsUInt32Number>(n));
        for (int x = 0; x < n; ++x)
            std::copy_n(&rgb[3 * x], 3, piece + 4 * x);
    }
}

void TColourConversion::FinishPicture(const uint8_t* from, std::size_t stride, TDecodedOrder order, Bitmap& to) const {
    if (to.BitsPerPixel() != 32 || to.Empty()) return;
    const int w = to.Width();
    OverBands(to.Height(), static_cast<std::size_t>(w) * to.Height(), [&](int y0, int y1) {
        TColourMemo memo;
        TColourMemo* use = static_cast<std::size_t>(y1 - y0) * w >= kMemoPixels ? &memo : nullptr;
        for (int y = y0; y < y1; ++y)
            Finish(from + stride * static_cast<std::size_t>(y), order, to.Row(y), w, use);
    });
}

void TColourConversion::CmykToSrgb(const uint8_t* cmyk, uint8_t* bgrt, int count) const {
    if (!Converts() || state_->Samples == TSampleColours::Rgb || count <= 0) return;
    std::vector<uint8_t> bgr(3 * static_cast<std::size_t>(count));
    cmsDoTransform(state_->Transform, cmyk, bgr.data(), static_cast<cmsUInt32Number>(count));
    for (int x = 0; x < count; ++x)
        std::copy_n(&bgr[3 * static_cast<std::size_t>(x)], 3, bgrt + 4 * x);
}

} // namespace pixora
