#pragma once
// The open and save dialogs' filter lists and the extension rules.

#include <string>
#include <vector>

namespace pixora {

// One entry of an open or save dialog's filter list.
struct TFileFilter {
    const char* Caption;
    const char* Patterns; // separated by ';'
};

// The open dialog's twenty filters and the save dialog's eighteen, in order
// (filter index = position + 1).
const std::vector<TFileFilter>& OpenFilters();
const std::vector<TFileFilter>& SaveFilters();

// Extension appended to a name typed without one, by save filter index
// (1..17); empty for any other index.
std::string SaveFilterExtension(int filterIndex);

// True when the file-name part of a path (not its folder) has a dot.
bool HasExtension(const std::string& path);

} // namespace pixora
