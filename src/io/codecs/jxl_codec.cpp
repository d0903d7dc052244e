// JPEG XL through libjxl: the first frame, upright (the decoder applies the
// file's orientation), with its alpha, samples rounded to 8 bits by the
// decoder. Both the bare code stream and the boxed container are read.

#include <jxl/decode.h>
#include <jxl/decode_cxx.h>
#include <jxl/thread_parallel_runner_cxx.h>

#include <string>
#include <vector>

#include "io/codecs/colour_profile.h"
#include "io/codecs/format_codecs.h"

namespace pixora::jxl {

namespace {

TSniff Sniff(const TFileHead& h) {
    switch (JxlSignatureCheck(h.Data, h.Size)) {
    case JXL_SIG_CODESTREAM:
    case JXL_SIG_CONTAINER: return TSniff::Yes;
    default: return TSniff::No;
    }
}

[[noreturn]] void Damaged() {
    throw ECodecError("JPEG XL: not a JPEG XL file, or the file is damaged or cut short");
}

// A coded colour description by the code numbers HEIF uses (libjxl's
// primaries and curves share them; Display P3 is P3 with a D65 white).
TCodedColours AsCoded(const JxlColorEncoding& e) {
    if (e.color_space != JXL_COLOR_SPACE_RGB || e.transfer_function == JXL_TRANSFER_FUNCTION_GAMMA) return {};
    const bool d65 = e.white_point == JXL_WHITE_POINT_D65;
    int primaries = 2;
    if ((e.primaries == JXL_PRIMARIES_SRGB || e.primaries == JXL_PRIMARIES_2100) && d65) primaries = e.primaries;
    if (e.primaries == JXL_PRIMARIES_P3 && d65) primaries = 12;
    if (e.primaries == JXL_PRIMARIES_P3 && e.white_point == JXL_WHITE_POINT_DCI) primaries = 11;
    return {primaries, static_cast<int>(e.transfer_function)};
}

// The colours of the decoded samples: the file's ICC profile, or the one
// libjxl makes of its coded colour description (named then by what it
// codes, not by libjxl's made-up description). Pictures of high dynamic
// range (PQ, HLG curves) need tone mapping rather than a conversion and
// stay as decoded.
TColourConversion ColoursOf(const JxlDecoder* dec, std::string& name) {
    JxlColorEncoding encoding;
    const bool coded =
        JxlDecoderGetColorAsEncodedProfile(dec, nullptr, JXL_COLOR_PROFILE_TARGET_DATA, &encoding) == JXL_DEC_SUCCESS;
    const std::string codedName = coded ? CodedColoursName(AsCoded(encoding)) : std::string();
    if (coded && (encoding.transfer_function == JXL_TRANSFER_FUNCTION_PQ ||
                  encoding.transfer_function == JXL_TRANSFER_FUNCTION_HLG)) {
        name = codedName;
        return {};
    }
    std::size_t size = 0;
    if (JxlDecoderGetICCProfileSize(dec, nullptr, JXL_COLOR_PROFILE_TARGET_DATA, &size) != JXL_DEC_SUCCESS ||
        size == 0 || size > kMaxProfileBytes)
        return {};
    std::vector<uint8_t> icc(size);
    if (JxlDecoderGetColorAsICCProfile(dec, nullptr, JXL_COLOR_PROFILE_TARGET_DATA, icc.data(), size) !=
        JXL_DEC_SUCCESS)
        return {};
    TColourConversion colours(icc.data(), icc.size());
    name = colours.Name().empty() || codedName.empty() ? colours.Name() : codedName;
    return colours;
}

} // namespace

Bitmap Read(const std::string& path, TReadNotes& notes) {
    const TMappedFile file(path);
    JxlDecoderPtr dec = JxlDecoderMake(nullptr);
    JxlThreadParallelRunnerPtr runner =
        JxlThreadParallelRunnerMake(nullptr, JxlThreadParallelRunnerDefaultNumWorkerThreads());
    if (!dec || !runner) throw ECodecError("JPEG XL: not enough memory");
    if (JxlDecoderSubscribeEvents(dec.get(), JXL_DEC_BASIC_INFO | JXL_DEC_COLOR_ENCODING | JXL_DEC_FULL_IMAGE) != JXL_DEC_SUCCESS ||
        JxlDecoderSetParallelRunner(dec.get(), JxlThreadParallelRunner, runner.get()) != JXL_DEC_SUCCESS)
        throw ECodecError("JPEG XL: the decoder library could not be set up");
    if (JxlDecoderSetInput(dec.get(), file.Data(), file.Size()) != JXL_DEC_SUCCESS) Damaged();
    JxlDecoderCloseInput(dec.get());

    // The decoder writes R, G, B, A into the picture's rows; they are
    // finished there once the frame is in.
    const JxlPixelFormat format = {4, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
    Bitmap out;
    TColourConversion colours;
    for (;;) {
        const JxlDecoderStatus status = JxlDecoderProcessInput(dec.get());
        if (status == JXL_DEC_BASIC_INFO) {
            JxlBasicInfo info;
            if (JxlDecoderGetBasicInfo(dec.get(), &info) != JXL_DEC_SUCCESS) Damaged();
            // The stored sides; orientations 5 to 8 turn the picture a quarter.
            const bool turned = info.orientation >= JXL_ORIENT_TRANSPOSE;
            const int64_t w = turned ? info.ysize : info.xsize, h = turned ? info.xsize : info.ysize;
            CheckImageSize(w, h, "JPEG XL");
            out = NewImage(static_cast<int>(w), static_cast<int>(h), false);
        } else if (status == JXL_DEC_COLOR_ENCODING) {
            colours = ColoursOf(dec.get(), notes.ColourProfile);
        } else if (status == JXL_DEC_NEED_IMAGE_OUT_BUFFER) {
            std::size_t need = 0;
            if (out.Empty() || JxlDecoderImageOutBufferSize(dec.get(), &format, &need) != JXL_DEC_SUCCESS ||
                need != out.ByteSize() || out.Stride() != static_cast<std::size_t>(out.Width()) * 4)
                Damaged();
            if (JxlDecoderSetImageOutBuffer(dec.get(), &format, out.Data(), out.ByteSize()) != JXL_DEC_SUCCESS)
                Damaged();
        } else if (status == JXL_DEC_FULL_IMAGE) {
            break; // the first frame is the picture
        } else if (status == JXL_DEC_ERROR || status == JXL_DEC_NEED_MORE_INPUT || status == JXL_DEC_SUCCESS) {
            Damaged();
        }
    }
    colours.FinishPicture(out.Data(), out.Stride(), TDecodedOrder::Rgba, out);
    return out;
}

} // namespace pixora::jxl

namespace pixora {

const TCodec kJxlCodec = {.Strength = TSniffStrength::Signature, .Sniff = jxl::Sniff, .Read = jxl::Read};

} // namespace pixora
