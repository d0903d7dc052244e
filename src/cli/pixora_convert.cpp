// pixora-convert: converts image files with the editor's own readers and
// writers, following the same rules as opening and saving a document.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "effects/apply_effect.h"
#include "effects/effects_table.h"
#include "effects/recipes.h"
#include "io/codecs/image_codecs.h"
#include "io/convert_file.h"
#include "io/convert_many.h"
#include "io/convert_pipeline.h"

namespace fs = std::filesystem;
using namespace pixora;

namespace {

const char kUsage[] = "Usage: pixora-convert [options] IN... (-o OUT | --out-dir DIR)\n"
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
                      "An IN or OUT of '-' is standard input or output: the input's format is\n"
                      "found from its content, the output's from --to, else the input's format\n"
                      "when the program writes it, else BMP. An IN of @FILE reads the inputs from\n"
                      "FILE, one a line (@- from standard input).\n"
                      "\n"
                      "Options:\n"
                      "  --bmp-bits 8|16|24|32   BMP pixel format (default 24)\n"
                      "  --jpeg-quality N        JPEG quality 0..100 (default 100)\n"
                      "  --jpeg-gray             write 8-bit grayscale JPEG (default 24-bit colour)\n"
                      "  --gif-sensitivity N     GIF transparency sensitivity 0..255 (default 0)\n"
                      "  --webp-quality N        lossy WebP quality 0..100 (default 90)\n"
                      "  --webp-lossless         write lossless WebP\n"
                      "  --strip-metadata        write none of the input's EXIF and XMP (JPEG, PNG,\n"
                      "                          TIFF and WebP outputs keep them otherwise, upright,\n"
                      "                          without thumbnail and at the written size; they\n"
                      "                          carry an sRGB profile tag either way)\n"
                      "  --strip-location        keep the metadata but leave out the GPS position\n"
                      "                          and the camera's and lens's serial numbers\n"
                      "  --to EXT                extension (and so format) of the outputs in a folder\n"
                      "  --apply NAME[:ARG,...]  apply an effect to every input before it is written,\n"
                      "                          with the editor's result (the whole image, colour\n"
                      "                          bytes only); several apply in order; listed below\n"
                      "  --recipe FILE           apply the steps of a recipe file (one --apply step a\n"
                      "                          line, '#' starts a comment), in order with --apply\n"
                      "  --seed N                start the noise effects' draws from N (default: the\n"
                      "                          clock), so that a run can be repeated exactly\n"
                      "  -j, --jobs N            convert on N threads (default: one per processor core);\n"
                      "                          the results are those of converting one by one\n"
                      "  -o OUT                  output file or folder, or '-' for standard output\n"
                      "  --out-dir DIR           output folder (as -o DIR/)\n"
                      "  --name PATTERN          name of each output in the folder, from {stem}\n"
                      "                          (input name without folder and extension), {ext}\n"
                      "                          (output extension without the dot) and {n} (place\n"
                      "                          in the list from 1); default {stem}.{ext}\n"
                      "  --list FILE             read further inputs from FILE, one a line ('-':\n"
                      "                          standard input); empty lines are skipped\n"
                      "  --skip-existing         leave inputs whose output exists, so that a stopped\n"
                      "                          batch can be run again; outputs are written under\n"
                      "                          a temporary name and renamed, so one that exists\n"
                      "                          is whole\n"
                      "  --json                  print a line per file on standard output:\n"
                      "                          {\"input\":...,\"output\":...,\"status\":\"ok\"|\"error\"|\n"
                      "                          \"skipped\"[,\"error\":MESSAGE],\"ms\":MILLISECONDS}\n"
                      "  -h, --help              show this text\n"
                      "\n"
                      "Exit status: 0 when every file was converted (or skipped), 1 when any file\n"
                      "failed (the others are still written), 2 for a usage error (nothing is\n"
                      "written then).\n";

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

// A private folder for what comes from standard input and goes to standard
// output, removed at the end of the run.
struct TStreamFolder {
    std::string Path;
    TStreamFolder() {
        std::string tmpl = (fs::temp_directory_path() / "pixora-convert-XXXXXX").string();
        if (mkdtemp(tmpl.data())) Path = tmpl;
    }
    ~TStreamFolder() {
        std::error_code ec;
        if (!Path.empty()) fs::remove_all(Path, ec);
    }
    TStreamFolder(const TStreamFolder&) = delete;
    TStreamFolder& operator=(const TStreamFolder&) = delete;
};

bool CopyStream(std::FILE* from, std::FILE* to) {
    char buffer[1 << 16];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, from)) > 0)
        if (std::fwrite(buffer, 1, n, to) != n) return false;
    return !std::ferror(from);
}

// Standard input kept as a file in `folder`, named with the extension of the
// format its content is in, so that the usual naming rules apply to it.
// Empty on failure, with `error` set.
std::string KeepStandardInput(const std::string& folder, std::string& error) {
    const std::string raw = (fs::path(folder) / "stdin").string();
    std::FILE* f = std::fopen(raw.c_str(), "wb");
    bool kept = f && CopyStream(stdin, f);
    if (f && std::fclose(f) != 0) kept = false;
    if (!kept) {
        error = "cannot keep standard input in " + folder;
        return {};
    }
    std::string ext;
    try {
        if (const TFormatRow* row = Formats().ReaderRow(raw)) ext = ListItems(row->Extensions).front();
    } catch (const std::exception&) {
        // An empty input: the reader's own message says so later.
    }
    const std::string named = raw + ext;
    std::error_code ec;
    fs::rename(raw, named, ec);
    return ec ? raw : named;
}

void ReplaceAll(std::string& text, const std::string& what, const std::string& with) {
    if (what.empty() || what == with) return;
    for (std::size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += with.size())
        text.replace(at, what.size(), with);
}

bool ReadListFile(const std::string& name, std::vector<std::string>& inputs) {
    std::vector<std::string> more;
    if (name == "-") {
        more = ReadInputList(std::cin);
    } else {
        std::ifstream in(name);
        if (!in) return false;
        more = ReadInputList(in);
    }
    inputs.insert(inputs.end(), more.begin(), more.end());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    SaveOptions opts;
    TConversionControl control;
    std::vector<std::string> inputs;
    std::string output, extension, pattern;
    bool haveOutput = false, outDir = false, skipExisting = false, json = false;
    int stdinReaders = 0; // inputs and lists taken from standard input
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
        } else if (a == "--recipe") {
            const char* v = value();
            if (!v) return UsageError("--recipe needs a file");
            std::string error;
            if (!ReadRecipeFile(v, CommandLineEffects(), effects, error)) {
                std::fprintf(stderr, "pixora-convert: --recipe: %s\n", error.c_str());
                return 2;
            }
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
        } else if (a == "--strip-metadata") {
            opts.StripMetadata = true;
        } else if (a == "--strip-location") {
            opts.RemoveLocation = true;
        } else if (a == "-j" || a == "--jobs") {
            const char* v = value();
            if (!v || !ParseInt(v, 1, 1024, control.Threads)) return UsageError("--jobs takes 1..1024");
        } else if (a == "--to") {
            const char* v = value();
            if (!v || !*v || std::strchr(v, '/')) return UsageError("--to takes an extension such as png");
            extension = v[0] == '.' ? v : std::string(".") + v;
        } else if (a == "-o" || a == "--out-dir") {
            const char* v = value();
            if (!v) return UsageError(a + " needs " + (a == "-o" ? "a file or folder" : "a folder"));
            if (haveOutput) return UsageError(a + ": the output is given twice");
            output = v;
            haveOutput = true;
            outDir = a == "--out-dir";
            if (outDir && output == "-") return UsageError("--out-dir takes a folder, not '-'");
        } else if (a == "--name") {
            const char* v = value();
            if (!v) return UsageError("--name needs a pattern such as {stem}.{ext}");
            pattern = v;
            const std::string problem = PatternProblem(pattern);
            if (!problem.empty()) return UsageError("--name " + pattern + ": " + problem);
        } else if (a == "--list" || (a.size() > 1 && a[0] == '@')) {
            const char* v = a == "--list" ? value() : argv[i] + 1;
            if (!v) return UsageError("--list needs a file of inputs, one a line");
            stdinReaders += std::strcmp(v, "-") == 0;
            if (std::strcmp(v, "-") != 0 || stdinReaders == 1)
                if (!ReadListFile(v, inputs)) return UsageError(a + ": cannot read the list " + v);
        } else if (a == "--skip-existing") {
            skipExisting = true;
        } else if (a == "--json") {
            json = true;
        } else if (a == "--") {
            for (++i; i < argc; ++i)
                inputs.push_back(argv[i]);
        } else if (a.size() > 1 && a[0] == '-') {
            return UsageError("unknown option " + a);
        } else {
            inputs.push_back(a);
        }
    }
    for (const std::string& in : inputs)
        stdinReaders += in == "-";
    if (stdinReaders > 1) return UsageError("standard input ('-') can be read only once");
    if (inputs.empty()) return UsageError("no input files");
    if (!haveOutput || output.empty()) return UsageError("no output given (-o)");
    const bool toStdout = output == "-";
    if (toStdout && inputs.size() != 1) return UsageError("standard output ('-') takes one input");
    if (toStdout && json) return UsageError("--json writes to standard output, which -o - holds");

    std::error_code ec;
    const bool toFolder = !toStdout && (outDir || fs::is_directory(output, ec) || output.back() == '/' ||
                                        inputs.size() > 1 || !extension.empty());
    if (!pattern.empty() && !toFolder) return UsageError("--name goes with an output folder");
    if (toFolder && !fs::is_directory(output, ec)) {
        fs::create_directories(output, ec);
        if (ec) {
            std::fprintf(stderr, "pixora-convert: cannot create folder %s: %s\n", output.c_str(),
                         ec.message().c_str());
            return 1;
        }
    }

    if (!effects.empty()) control.Transform = EffectChain(effects, seed);

    // Standard input and output go through files of a private folder; the
    // names users gave ("-") stand in every message and report.
    std::unique_ptr<TStreamFolder> streams;
    std::string stdinFile;
    if (stdinReaders > 0 || toStdout) {
        streams = std::make_unique<TStreamFolder>();
        if (streams->Path.empty()) {
            std::fprintf(stderr, "pixora-convert: cannot make a temporary folder\n");
            return 1;
        }
    }
    for (std::string& in : inputs)
        if (in == "-") {
            std::string error;
            stdinFile = KeepStandardInput(streams->Path, error);
            if (stdinFile.empty()) {
                std::fprintf(stderr, "pixora-convert: %s\n", error.c_str());
                return 1;
            }
            in = stdinFile;
        }
    auto shown = [&](const std::string& path) {
        return path == stdinFile || (toStdout && fs::path(path).parent_path() == streams->Path) ? "-" : path;
    };

    std::vector<TConversionJob> jobs;
    std::vector<TFileReport> reports; // one per job, then the skipped
    jobs.reserve(inputs.size());
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        const std::string& in = inputs[i];
        std::string out = output;
        if (toStdout)
            out = (fs::path(streams->Path) / ("stdout" + OutputExtension(in, extension))).string();
        else if (toFolder && !pattern.empty())
            out = (fs::path(output) /
                   PatternName(pattern, in, static_cast<int>(i) + 1, OutputExtension(in, extension)))
                      .string();
        else if (toFolder)
            out = ConvertedName(output, in, extension);
        if (skipExisting && !toStdout && fs::exists(out, ec)) {
            if (json)
                std::printf("%s\n",
                            ReportLine({shown(in), out, TFileReport::TStatus::Skipped, {}, 0}).c_str());
            continue;
        }
        jobs.push_back({in, out});
    }
    std::fflush(stdout);
    auto message = [&](const TConversionJob& j, std::string error) {
        ReplaceAll(error, j.Input, shown(j.Input));
        ReplaceAll(error, j.Output, shown(j.Output));
        return error;
    };
    if (json)
        control.Finished = [&](int job, const TConversionOutcome& o) {
            const TConversionJob& j = jobs[static_cast<std::size_t>(job)];
            const std::string error = message(j, o.Error);
            using S = TFileReport::TStatus;
            const TFileReport r{shown(j.Input), shown(j.Output), o.Written ? S::Ok : S::Error, error,
                                o.Milliseconds};
            std::printf("%s\n", ReportLine(r).c_str());
            std::fflush(stdout);
        };
    const TConversionRun run = ConvertFiles(jobs, opts, control);
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        const TConversionOutcome& o = run.Outcomes[i];
        if (!o.Attempted || o.Written) continue;
        std::fprintf(stderr, "%s\n", message(jobs[i], o.Error).c_str());
    }
    if (toStdout && run.Written == 1) {
        std::FILE* f = std::fopen(jobs.front().Output.c_str(), "rb");
        const bool sent = f && CopyStream(f, stdout) && std::fflush(stdout) == 0;
        if (f) std::fclose(f);
        if (!sent) {
            std::fprintf(stderr, "pixora-convert: cannot write to standard output\n");
            return 1;
        }
    }
    return run.Failed ? 1 : 0;
}
