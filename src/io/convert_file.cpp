#include "io/convert_file.h"

#include <filesystem>

#include "io/codecs/photo_metadata.h"
#include "io/convert_pipeline.h"

namespace pixora {

bool ConvertImageFile(const std::string& input, const std::string& output, const SaveOptions& opts,
                      std::string& error, const TImageTransform& transform) {
    error.clear();
    Bitmap image;
    try {
        image = LoadImageFile(input, FormatFromExtension(input));
    } catch (const std::exception& e) {
        error = "Could Not Open File due to an Error while Opening.\n" + input + ": " + e.what();
        return false;
    }
    if (transform) {
        std::string why;
        if (!transform(image, why)) {
            error = "Could not apply the effects.\n" + input + ": " + why;
            return false;
        }
    }
    // The photo's metadata goes along, as a save in the editor keeps it.
    const TPhotoMetadata meta = ReadPhotoMetadata(input);
    SaveOptions own = opts;
    own.Metadata = &meta;
    try {
        WriteImageFile(output, image, FormatFromExtension(output), own);
    } catch (const std::exception& e) {
        error = "An Error Occured while trying to Save.\n" + output + ": " + e.what();
        return false;
    }
    return true;
}

std::string ConvertedName(const std::string& folder, const std::string& input, const std::string& extension,
                          const TFormatTable& formats) {
    std::filesystem::path name = std::filesystem::path(input).filename();
    name.replace_extension(OutputExtension(input, extension, formats));
    return (std::filesystem::path(folder) / name).string();
}

namespace {

std::string Spaced(const std::vector<std::string>& items) {
    std::string s;
    for (const std::string& item : items)
        s += (s.empty() ? "" : " ") + item;
    return s.empty() ? "-" : s;
}

std::string Padded(std::string s, std::size_t width) {
    if (s.size() < width) s.append(width - s.size(), ' ');
    return s + ' ';
}

} // namespace

std::string FormatListHelp(const TFormatTable& formats) {
    std::string text = "  " + Padded("format", 24) + Padded("read from", 26) + "written to\n";
    for (const TFormatRow& row : formats.Rows()) {
        const bool writes = formats.WriterOf(row.Code) == &row;
        if (!row.Codec && !writes) continue;
        std::vector<std::string> read;
        if (row.Codec) {
            read = ListItems(row.Extensions);
            for (const std::string& more : ListItems(row.AlsoReads))
                read.push_back(more);
        }
        const std::vector<std::string> written =
            writes ? ListItems(row.Extensions) : std::vector<std::string>{};
        text += "  " + Padded(row.Name, 24) + Padded(Spaced(read), 26) + Spaced(written) + "\n";
    }
    return text;
}

} // namespace pixora
