#pragma once
// Running the installed converter as users do: a shell command line, its
// exit status and what it wrote to its two streams. A run ended by a
// signal (a crash) has the status -1.

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "support/folders.h"

namespace pixora::testing {

struct TRun {
    int Status = -1;
    std::string Out, Err;
};

#ifdef PIXORA_CONVERT
// `args` is spliced into the command line as it is (quote paths in it).
inline TRun RunConvert(const ScratchDir& dir, const std::string& args) {
    const std::string out = dir.File("stdout.txt"), err = dir.File("stderr.txt");
    const std::string cmd =
        std::string("'") + PIXORA_CONVERT + "' " + args + " >'" + out + "' 2>'" + err + "'";
    TRun r;
    const int st = std::system(cmd.c_str());
    r.Status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    auto text = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    };
    r.Out = text(out);
    r.Err = text(err);
    return r;
}
#endif

} // namespace pixora::testing
