// Opens image files as the Open command reads them and reports the best of
// three wall times and the memory the read took beyond the document.
//
//   bench_open_files FILE...      one line per file: pixels, seconds, memory
//
// Memory is the growth of the process's peak resident size during the
// first read, less the document itself, in units of the document's size;
// run one file per process for a clean figure (bench/run does).

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "io/codecs/image_codecs.h"

using namespace pixora;

namespace {

long PeakKilobytes() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_open_files FILE...\n");
        return 2;
    }
    int failed = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string path = argv[i];
        try {
            double best = 1e9;
            long before = PeakKilobytes(), grown = 0;
            double megapixels = 0, docKilobytes = 0;
            for (int run = 0; run < 3; ++run) {
                const auto t0 = std::chrono::steady_clock::now();
                const Bitmap b = LoadImageFile(path, FormatFromExtension(path));
                const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
                if (run == 0) {
                    grown = PeakKilobytes() - before;
                    megapixels = b.Width() * static_cast<double>(b.Height()) / 1e6;
                    docKilobytes = static_cast<double>(b.ByteSize()) / 1024.0;
                }
                best = std::min(best, s);
            }
            std::printf("%s %.2f MP %.3f s %.2f extra\n", path.c_str(), megapixels, best,
                        (static_cast<double>(grown) - docKilobytes) / docKilobytes);
        } catch (const ECodecError& e) {
            std::printf("%s failed: %s\n", path.c_str(), e.what());
            ++failed;
        }
    }
    return failed ? 1 : 0;
}
