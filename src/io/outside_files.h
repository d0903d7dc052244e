#pragma once
// Files handed to the editor from outside: named on the command line (by a
// terminal or the desktop's "Open With") or dropped onto the window. They are
// opened one after another through the Open command's own path.

#include <string>
#include <vector>

#include "doc/workspace.h"
#include "io/read_ahead.h"

namespace pixora {

inline constexpr const char* kVersionText = "Pixora 1.0.0.1";

enum class TCommandLineAction { Run, Help, Version, UsageError };

struct TCommandLine {
    TCommandLineAction Action = TCommandLineAction::Run;
    std::vector<std::string> Files; // absolute paths, in the order given
    std::string Problem;            // what was wrong, for UsageError
};

// Reads the arguments after the program name. "--help"/"-h" wins over
// "--version"/"-v", which wins over an unknown option; "--" ends the options,
// so that a file whose name starts with '-' can be named. Relative file
// names are made absolute against `workingDir`.
TCommandLine ParseCommandLine(const std::vector<std::string>& args, const std::string& workingDir);

// The line printed on stderr for a usage error, and the --help text.
std::string UsageLine();
std::string HelpText();

// Opens each path in a tab of its own as "Open File" does: the recent list
// takes it, a failed read shows the open-error report, and once fifteen
// images are open the rest are left. Returns how many were opened.
// A file `ahead` holds is taken from it rather than read again.
int OpenOutsideFiles(Workspace& ws, const std::vector<std::string>& paths, ReadAhead* ahead = nullptr);

} // namespace pixora
