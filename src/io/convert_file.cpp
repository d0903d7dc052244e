#include "io/convert_file.h"

#include <filesystem>

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
    try {
        WriteImageFile(output, image, FormatFromExtension(output), opts);
    } catch (const std::exception& e) {
        error = "An Error Occured while trying to Save.\n" + output + ": " + e.what();
        return false;
    }
    return true;
}

std::string ConvertedName(const std::string& folder, const std::string& input, const std::string& extension) {
    std::filesystem::path name = std::filesystem::path(input).filename();
    if (!extension.empty()) {
        name.replace_extension(extension);
    } else {
        const int code = FormatFromExtension(name.string());
        if (code == fcOther || code == fcTiff) name.replace_extension(".bmp");
    }
    return (std::filesystem::path(folder) / name).string();
}

} // namespace pixora
