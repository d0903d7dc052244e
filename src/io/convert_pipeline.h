#pragma once
// What the command-line converter needs to sit in a pipeline: the list of
// inputs read from a file or a pipe, output names made from a pattern, and
// the one-line report per file that scripts read.

#include <istream>
#include <string>
#include <vector>

#include "io/codecs/format_rows.h"

namespace pixora {

// The names in a list of inputs, one a line, in order. Empty lines are left
// out and a line's trailing carriage return is dropped (lists written on
// another system); nothing else is trimmed, so names may hold spaces.
std::vector<std::string> ReadInputList(std::istream& in);

// The extension (".png", as spelled) a converted file gets: `to` when one is
// given; otherwise the input's own, except that inputs in formats without a
// writer (or without an extension) get ".bmp".
std::string OutputExtension(const std::string& input, const std::string& to = {},
                            const TFormatTable& formats = Formats());

// An output file name made from `pattern`, in which {stem} is the input's
// file name without its folder and extension, {ext} the output extension
// without its dot and {n} the input's place in the list (1 for the first).
// Any other text is kept as it is.
std::string PatternName(const std::string& pattern, const std::string& input, int n,
                        const std::string& extension);

// Empty when `pattern` is usable: its braces enclose only the three fields
// above and it names a file, not a folder. Otherwise what is wrong with it.
std::string PatternProblem(const std::string& pattern);

struct TFileReport {
    std::string Input, Output;
    enum class TStatus { Ok, Error, Skipped } Status = TStatus::Ok;
    std::string Error; // with Error
    double Milliseconds = 0;
};

// One line of JSON (without the line break):
// {"input":"a.png","output":"out/a.webp","status":"ok","ms":12.5}, with an
// "error" member holding the message when the status is "error".
std::string ReportLine(const TFileReport& report);

} // namespace pixora
