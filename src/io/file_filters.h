#pragma once
// The open and save dialogs' filter lists and the extension rules, made from
// the format table.

#include <string>
#include <vector>

#include "io/codecs/format_rows.h"

namespace pixora {

// The open dialog's filters: each listed format's entry in table order, then
// "All Picture Files" and "All Files" (filter index = position + 1). The
// entries point into the table's rows, so they live as long as the table.
std::vector<TFileFilter> OpenFilters(const TFormatTable& formats);
// The save dialog's filters: each offered format's entry by its place.
std::vector<TFileFilter> SaveFilters(const TFormatTable& formats);
// The program's lists, made once.
const std::vector<TFileFilter>& OpenFilters();
const std::vector<TFileFilter>& SaveFilters();

// The position (0-based) of "All Picture Files" in OpenFilters(formats),
// the filter the open dialog starts with.
int AllPictureFilesPosition(const TFormatTable& formats = Formats());

// The format behind a save filter index (1-based); null for any other index.
const TFormatRow* SaveFilterRow(int filterIndex, const TFormatTable& formats = Formats());
// Extension appended to a name typed without one, by save filter index;
// empty for an index without one.
std::string SaveFilterExtension(int filterIndex, const TFormatTable& formats = Formats());
// What a save by this filter index asks before writing.
TSaveOptionsKind SaveFilterOptions(int filterIndex, const TFormatTable& formats = Formats());
// What a save of the name as typed asks: the options of the format its
// extension names when the program writes that format, otherwise those of
// the filter.
TSaveOptionsKind SaveOptionsFor(const std::string& typedName, int filterIndex,
                                const TFormatTable& formats = Formats());

// True when the file-name part of a path (not its folder) has a dot.
bool HasExtension(const std::string& path);

} // namespace pixora
