#pragma once
// The lists of formats in the files installed beside the program (desktop
// entry, AppStream metadata, help page, manual page), made from the format
// table when the program is built, so that they never disagree with it.
//
// A template names each list by a marker, [[FORMAT_...]]:
//   MIME_TYPES       the desktop entry's MimeType value ("image/bmp;...;")
//   MEDIA_TYPES      AppStream <mediatype> lines
//   SAVED_NAMES      "BMP, JPEG, GIF and PNG": the formats with a writer
//   SAVED_NAMES_HTML the same, each name in bold
//   HELP_OPEN_ROWS   HTML table rows: each format read, with its extensions
//   HELP_SAVE_ROWS   HTML table rows: each format written, with its
//                    extensions and what a save writes
//   MAN_LIST         manual page paragraphs: each format read or written

#include <string>

#include "io/codecs/format_rows.h"

namespace pixora {

// The text of one marker's list (its name without the brackets and the
// FORMAT_ prefix); false for a name that is not one of the above.
bool FormatListText(const std::string& name, const TFormatTable& formats, std::string& text);

// Replaces every marker in `text`. False, with the marker in `error`, when
// one is unknown or left unclosed.
bool FillFormatMarkers(std::string& text, const TFormatTable& formats, std::string& error);

} // namespace pixora
