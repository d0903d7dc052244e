// pixora-convert: converts image files with the editor's own readers and
// writers, following the same rules as opening and saving a document.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "io/codecs/image_codecs.h"

namespace fs = std::filesystem;
using namespace pixora;

namespace {

const char kUsage[] =
    "Usage: pixora-convert [options] IN... -o OUT\n"
    "\n"
    "Reads every IN as the editor opens it and writes it as the editor saves it.\n"
    "The format written follows the output name's extension: .bmp, .jpg/.jpe/\n"
    ".jpeg/.jfif, .png and .gif are written in their format; every other\n"
    "extension (.tif included) receives 32-bit BMP data, as saving does.\n"
    "\n"
    "OUT is a file name when there is one input. When OUT is an existing folder,\n"
    "or ends in '/', or there are several inputs, it is a folder: each output\n"
    "keeps its input's file name and extension, so it is rewritten in its own\n"
    "format, except that inputs in formats the program does not write (TIFF and\n"
    "others) get the extension .bmp.\n"
    "\n"
    "Options:\n"
    "  --bmp-bits 8|16|24|32   BMP pixel format (default 24)\n"
    "  --jpeg-quality N        JPEG quality 0..100 (default 100)\n"
    "  --jpeg-gray             write 8-bit grayscale JPEG (default 24-bit colour)\n"
    "  --gif-sensitivity N     GIF transparency sensitivity 0..255 (default 0)\n"
    "  -o OUT                  output file or folder\n"
    "  -h, --help              show this text\n"
    "\n"
    "Exit status: 0 when every file was converted, 1 when any file failed (the\n"
    "others are still written), 2 for a usage error.\n";

int UsageError(const std::string& what) {
    std::fprintf(stderr, "pixora-convert: %s\n\n%s", what.c_str(), kUsage);
    return 2;
}

bool ParseInt(const char* s, int lo, int hi, int& out) {
    char* end = nullptr;
    const long v = std::strtol(s, &end, 10);
    if (!*s || *end || v < lo || v > hi) return false;
    out = static_cast<int>(v);
    return true;
}

// Output name for one input when writing into a folder.
std::string OutputInFolder(const fs::path& folder, const fs::path& input) {
    fs::path name = input.filename();
    const int code = FormatFromExtension(name.string());
    if (code == fcOther || code == fcTiff) name.replace_extension(".bmp");
    return (folder / name).string();
}

} // namespace

int main(int argc, char** argv) {
    SaveOptions opts;
    std::vector<std::string> inputs;
    std::string output;
    bool haveOutput = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (a == "-h" || a == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (a == "--bmp-bits") {
            const char* v = value();
            if (!v || !ParseInt(v, 8, 32, opts.BmpBits) || opts.BmpBits % 8 != 0)
                return UsageError("--bmp-bits takes 8, 16, 24 or 32");
        } else if (a == "--jpeg-quality") {
            const char* v = value();
            if (!v || !ParseInt(v, 0, 100, opts.JpegQuality)) return UsageError("--jpeg-quality takes 0..100");
        } else if (a == "--jpeg-gray") {
            opts.JpegGray = true;
        } else if (a == "--gif-sensitivity") {
            const char* v = value();
            if (!v || !ParseInt(v, 0, 255, opts.GifSensitivity)) return UsageError("--gif-sensitivity takes 0..255");
        } else if (a == "-o") {
            const char* v = value();
            if (!v) return UsageError("-o needs a file or folder");
            output = v;
            haveOutput = true;
        } else if (a == "--") {
            for (++i; i < argc; ++i) inputs.push_back(argv[i]);
        } else if (a.size() > 1 && a[0] == '-') {
            return UsageError("unknown option " + a);
        } else {
            inputs.push_back(a);
        }
    }
    if (inputs.empty()) return UsageError("no input files");
    if (!haveOutput || output.empty()) return UsageError("no output given (-o)");

    std::error_code ec;
    const bool toFolder = fs::is_directory(output, ec) || output.back() == '/' || inputs.size() > 1;
    if (toFolder && !fs::is_directory(output, ec)) {
        fs::create_directories(output, ec);
        if (ec) {
            std::fprintf(stderr, "pixora-convert: cannot create folder %s: %s\n", output.c_str(), ec.message().c_str());
            return 1;
        }
    }

    int failures = 0;
    for (const std::string& in : inputs) {
        const std::string out = toFolder ? OutputInFolder(output, in) : output;
        Bitmap image;
        try {
            image = LoadImageFile(in, FormatFromExtension(in));
        } catch (const std::exception& e) {
            std::fprintf(stderr, "Could Not Open File due to an Error while Opening.\n%s: %s\n", in.c_str(), e.what());
            ++failures;
            continue;
        }
        try {
            WriteImageFile(out, image, FormatFromExtension(out), opts);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "An Error Occured while trying to Save.\n%s: %s\n", out.c_str(), e.what());
            ++failures;
        }
    }
    return failures ? 1 : 0;
}
