// The codec libraries' own decoding of a photo to 8-bit R, G, B, A in
// memory, as the photo readers ask them for it, and nothing else: no
// reordering, no colour conversion, no file written. Beside
// bench_open_files' figure for the same file it shows what the reader adds
// to the library's work.
//
//   bench_photo_decode FILE...    one line per file: pixels, best of three seconds

#include <jxl/decode_cxx.h>
#include <jxl/thread_parallel_runner_cxx.h>
#include <libheif/heif.h>
#include <webp/decode.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool EndsWith(const std::string& s, const std::string& end) {
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

// Each returns the pixel count decoded, 0 when the library failed.
double Heif(const std::string& path) {
    heif_context* ctx = heif_context_alloc();
    heif_image_handle* handle = nullptr;
    heif_image* image = nullptr;
    double pixels = 0;
    if (heif_context_read_from_file(ctx, path.c_str(), nullptr).code == heif_error_Ok &&
        heif_context_get_primary_image_handle(ctx, &handle).code == heif_error_Ok &&
        heif_decode_image(handle, &image, heif_colorspace_RGB, heif_chroma_interleaved_RGBA, nullptr).code ==
            heif_error_Ok)
        pixels = double(heif_image_get_width(image, heif_channel_interleaved)) *
                 heif_image_get_height(image, heif_channel_interleaved);
    heif_image_release(image);
    heif_image_handle_release(handle);
    heif_context_free(ctx);
    return pixels;
}

double Webp(const std::string& path) {
    const std::vector<uint8_t> file = ReadFile(path);
    int w = 0, h = 0;
    uint8_t* rgba = WebPDecodeRGBA(file.data(), file.size(), &w, &h);
    WebPFree(rgba);
    return rgba ? double(w) * h : 0;
}

double Jxl(const std::string& path) {
    const std::vector<uint8_t> file = ReadFile(path);
    JxlDecoderPtr dec = JxlDecoderMake(nullptr);
    JxlThreadParallelRunnerPtr runner =
        JxlThreadParallelRunnerMake(nullptr, JxlThreadParallelRunnerDefaultNumWorkerThreads());
    JxlDecoderSubscribeEvents(dec.get(), JXL_DEC_BASIC_INFO | JXL_DEC_FULL_IMAGE);
    JxlDecoderSetParallelRunner(dec.get(), JxlThreadParallelRunner, runner.get());
    JxlDecoderSetInput(dec.get(), file.data(), file.size());
    JxlDecoderCloseInput(dec.get());
    const JxlPixelFormat format = {4, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
    std::vector<uint8_t> rgba;
    for (;;) {
        const JxlDecoderStatus status = JxlDecoderProcessInput(dec.get());
        if (status == JXL_DEC_BASIC_INFO) {
            JxlBasicInfo info;
            JxlDecoderGetBasicInfo(dec.get(), &info);
        } else if (status == JXL_DEC_NEED_IMAGE_OUT_BUFFER) {
            std::size_t need = 0;
            JxlDecoderImageOutBufferSize(dec.get(), &format, &need);
            rgba.resize(need);
            JxlDecoderSetImageOutBuffer(dec.get(), &format, rgba.data(), rgba.size());
        } else if (status == JXL_DEC_FULL_IMAGE) {
            return double(rgba.size()) / 4;
        } else {
            return 0;
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_photo_decode FILE...\n");
        return 2;
    }
    int failed = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string path = argv[i];
        double (*decode)(const std::string&) = EndsWith(path, ".webp") ? Webp : EndsWith(path, ".jxl") ? Jxl : Heif;
        double best = 1e9, pixels = 0;
        for (int run = 0; run < 3; ++run) {
            const auto t0 = std::chrono::steady_clock::now();
            pixels = decode(path);
            best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
        }
        if (pixels == 0) {
            std::printf("%s failed\n", path.c_str());
            ++failed;
            continue;
        }
        std::printf("%s %.2f MP %.3f s\n", path.c_str(), pixels / 1e6, best);
    }
    return failed ? 1 : 0;
}
