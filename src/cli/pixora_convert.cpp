// pixora-convert: converts image files with the editor's own readers and
// writers, following the same rules as opening and saving a document.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "effects/apply_effect.h"
#include "effects/effects_table.h"
#include "effects/engine/effects.h"
#include "io/codecs/image_codecs.h"
#include "io/convert_file.h"
#include "io/convert_many.h"

namespace fs = std::filesystem;
using namespace pixora;

namespace {

const char kUsage[] = "Usage: pixora-convert [options] IN... -o OUT\n"
                      "\n"
                      "Reads every IN as the editor opens it and writes it as the editor saves it.\n"
                      "The format written follows the output name's extension: the formats listed\n"
                      "below are written in their format under the extensions they are written to;\n"
                      "any other extension is refused and nothing is written, as saving does.\n"
                      "\n"
                      "OUT is a file name when there is one input. When OUT is an existing folder,\n"
                      "or ends in '/', or there are several inputs, or --to is given, it is a\n"
                      "folder: each output keeps its input's file name and takes the extension of\n"
                      "--to; without --to it keeps its own extension too, so it is rewritten in its\n"
                      "own format, except that inputs in formats the program does not write get\n"
                      "the extension .bmp.\n"
                      "\n"
                      "Options:\n"
                      "  --bmp-bits 8|16|24|32   BMP pixel format (default 24)\n"
                      "  --jpeg-quality N        JPEG quality 0..100 (default 100)\n"
                      "  --jpeg-gray             write 8-bit grayscale JPEG (default 24-bit colour)\n"
                      "  --gif-sensitivity N     GIF transparency sensitivity 0..255 (default 0)\n"
                      "  --webp-quality N        lossy WebP quality 0..100 (default 90)\n"
                      "  --webp-lossless         write lossless WebP\n"
                      "  --to EXT                extension (and so format) of the outputs in a folder\n"
                      "  --apply NAME[:ARG,...]  apply an effect to every input before it is written,\n"
                      "                          with the editor's result (the whole image, colour\n"
                      "                          bytes only); several apply in order; listed below\n"
                      "  --seed N                start the noise effects' draws from N (default: the\n"
                      "                          clock), so that a run can be repeated exactly\n"
                      "  -j, --jobs N            convert on N threads (default: one per processor core);\n"
                      "                          the results are those of converting one by one\n"
                      "  -o OUT                  output file or folder\n"
                      "  -h, --help              show this text\n"
                      "\n"
                      "Exit status: 0 when every file was converted, 1 when any file failed (the\n"
                      "others are still written), 2 for a usage error (nothing is written then).\n";

// The formats from the format table, the effects of --apply from the
// effects table.
void PrintHelp() {
    std::fputs(kUsage, stdout);
    std::fputs("\nFormats (a file is read by its content; its name decides only where the\n"
               "content does not):\n",
               stdout);
    std::fputs(FormatListHelp().c_str(), stdout);
    std::fputs("\nEffects (arguments are the values of the editor's controls; a bracketed\n"
               "part may be left out):\n",
               stdout);
    std::fputs(EffectListHelp(CommandLineEffects()).c_str(), stdout);
}

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

} // namespace

int main(int argc, char** argv) {
    SaveOptions opts;
    TConversionControl control;
    std::vector<std::string> inputs;
    std::string output, extension;
    bool haveOutput = false;
    std::vector<TEffectCall> effects;
    auto seed = static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (a == "-h" || a == "--help") {
            PrintHelp();
            return 0;
        } else if (a == "--apply") {
            const char* v = value();
            if (!v) return UsageError("--apply needs an effect (--help lists them)");
            TEffectCall call;
            std::string error;
            if (!ParseEffectCall(v, CommandLineEffects(), call, error)) {
                std::fprintf(stderr, "pixora-convert: --apply %s: %s\n", v, error.c_str());
                return 2;
            }
            effects.push_back(call);
        } else if (a == "--seed") {
            const char* v = value();
            int n = 0;
            if (!v || !ParseInt(v, 0, 2147483647, n)) return UsageError("--seed takes 0..2147483647");
            seed = static_cast<uint32_t>(n);
        } else if (a == "--bmp-bits") {
            const char* v = value();
            if (!v || !ParseInt(v, 8, 32, opts.BmpBits) || opts.BmpBits % 8 != 0)
                return UsageError("--bmp-bits takes 8, 16, 24 or 32");
        } else if (a == "--jpeg-quality") {
            const char* v = value();
            if (!v || !ParseInt(v, 0, 100, opts.JpegQuality))
                return UsageError("--jpeg-quality takes 0..100");
        } else if (a == "--jpeg-gray") {
            opts.JpegGray = true;
        } else if (a == "--gif-sensitivity") {
            const char* v = value();
            if (!v || !ParseInt(v, 0, 255, opts.GifSensitivity))
                return UsageError("--gif-sensitivity takes 0..255");
        } else if (a == "--webp-quality") {
            const char* v = value();
            if (!v || !ParseInt(v, 0, 100, opts.WebpQuality)) return UsageError("--webp-quality takes 0..100");
        } else if (a == "--webp-lossless") {
            opts.WebpLossless = true;
        } else if (a == "-j" || a == "--jobs") {
            const char* v = value();
            if (!v || !ParseInt(v, 1, 1024, control.Threads)) return UsageError("--jobs takes 1..1024");
        } else if (a == "--to") {
            const char* v = value();
            if (!v || !*v || std::strchr(v, '/')) return UsageError("--to takes an extension such as png");
            extension = v[0] == '.' ? v : std::string(".") + v;
        } else if (a == "-o") {
            const char* v = value();
            if (!v) return UsageError("-o needs a file or folder");
            output = v;
            haveOutput = true;
        } else if (a == "--") {
            for (++i; i < argc; ++i)
                inputs.push_back(argv[i]);
        } else if (a.size() > 1 && a[0] == '-') {
            return UsageError("unknown option " + a);
        } else {
            inputs.push_back(a);
        }
    }
    if (inputs.empty()) return UsageError("no input files");
    if (!haveOutput || output.empty()) return UsageError("no output given (-o)");

    std::error_code ec;
    const bool toFolder =
        fs::is_directory(output, ec) || output.back() == '/' || inputs.size() > 1 || !extension.empty();
    if (toFolder && !fs::is_directory(output, ec)) {
        fs::create_directories(output, ec);
        if (ec) {
            std::fprintf(stderr, "pixora-convert: cannot create folder %s: %s\n", output.c_str(),
                         ec.message().c_str());
            return 1;
        }
    }

    if (!effects.empty()) {
        // Each image gets an engine of its own: files may be worked on
        // several threads at once.
        control.Transform = [&effects, seed](Bitmap& image, std::string& error) {
            TEffects engine;
            for (std::size_t i = 0; i < effects.size(); ++i)
                if (!ApplyEffect(effects[i], engine, image, seed + static_cast<uint32_t>(i), error))
                    return false;
            return true;
        };
    }

    std::vector<TConversionJob> jobs;
    jobs.reserve(inputs.size());
    for (const std::string& in : inputs)
        jobs.push_back({in, toFolder ? ConvertedName(output, in, extension) : output});
    const TConversionRun run = ConvertFiles(jobs, opts, control);
    for (const TConversionOutcome& o : run.Outcomes)
        if (o.Attempted && !o.Written) std::fprintf(stderr, "%s\n", o.Error.c_str());
    return run.Failed ? 1 : 0;
}
