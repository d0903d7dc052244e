#pragma once
// Converting one image file into another without a document: read as
// opening reads, write as saving writes. Shared by the command-line
// converter and batch conversion.

#include <functional>
#include <string>

#include "io/codecs/format_rows.h"
#include "io/codecs/image_codecs.h"

namespace pixora {

// Reads `input` by its extension's format code and writes it to `output` by
// that name's format code with `opts`. On failure returns false and sets
// `error` to the open or save message, a line break and the error's own
// message naming the file. The input's EXIF and XMP go along into the
// formats that keep them (opts.RemoveLocation and opts.StripMetadata apply).
//
// `transform`, when given, changes the image between reading and writing
// (the command line's effects); its false and its message fail the file
// with "Could not apply the effects." and that message, and nothing is
// written.
using TImageTransform = std::function<bool(Bitmap& image, std::string& error)>;
bool ConvertImageFile(const std::string& input, const std::string& output, const SaveOptions& opts,
                      std::string& error, const TImageTransform& transform = {});

// The name a converted file gets in `folder`: the input's file name with
// `extension` (".png") in place of its own, or, with no extension given, the
// input's own name, except that names of formats without a writer get ".bmp".
std::string ConvertedName(const std::string& folder, const std::string& input,
                          const std::string& extension = {}, const TFormatTable& formats = Formats());

// The formats the converter reads and writes, a line each, for its help
// text: the name, the extensions read and the extensions written in it.
// Formats it neither reads nor writes are left out.
std::string FormatListHelp(const TFormatTable& formats = Formats());

} // namespace pixora
