#pragma once
// Reading and writing the program's own small text files (the preference file, the
// recent-file list) line by line, without trusting them: a file that is
// missing, not a regular file (a folder, a pipe that would block), cannot
// be read or is larger than `maxBytes` gives no lines at all.

#include <cstddef>
#include <string>
#include <vector>

namespace pixora {

// The lines of the file with a trailing CR removed from each.
std::vector<std::string> ReadSmallTextFile(const std::string& file, std::size_t maxBytes);

// Writes the lines, each ending in CR LF, to a temporary file beside `file`
// and renames it over `file`, so a failed write leaves the old file as it
// was (and whatever stood there, even a pipe, is replaced, never written
// into). False when the file could not be written, with the reason
// naming the file in `error` when given.
bool WriteSmallTextFile(const std::string& file, const std::vector<std::string>& lines,
                        std::string* error = nullptr);

} // namespace pixora
