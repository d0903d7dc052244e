#include "io/image_information.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "doc/slots.h"
#include "io/codecs/format_rows.h"

namespace pixora {

namespace {

// A value in plain decimal notation with up to 15 significant digits and no
// trailing zeros. Small values are written out ("0.0000953674316406") rather
// than with an exponent, whose first six characters would read as a much
// larger number.
std::string PlainDecimal(double v) {
    if (v == 0) return "0";
    char buf[400];
    // The exponent of the value rounded to 15 digits decides the places.
    std::snprintf(buf, sizeof buf, "%.14e", v);
    const char* e = std::strchr(buf, 'e');
    const int exponent = e ? std::atoi(e + 1) : 0;
    const int places = exponent >= 14 ? 0 : 14 - exponent;
    std::snprintf(buf, sizeof buf, "%.*f", places, v);
    std::string s = buf;
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0')
            s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    return s;
}

} // namespace

std::string DimensionsText(int64_t width, int64_t height) {
    return std::to_string(width) + " x " + std::to_string(height) + " Pixels";
}

std::optional<std::string> FileTypeText(int formatCode) {
    if (formatCode == fcOther) return "Other Format";
    for (const TFormatRow& row : Formats().Rows())
        if (row.Code == formatCode && row.TypeText) return row.TypeText;
    return std::nullopt;
}

std::string FolderPart(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return "";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string SizeOnDiskText(uint64_t bytes) {
    const std::string mb = PlainDecimal(static_cast<double>(bytes) / 1048576.0).substr(0, 6);
    return mb + " MB (" + std::to_string(bytes) + " bytes)";
}

TImageInformation ImageInformation(const TImages& s) {
    TImageInformation info;
    info.Name = FileNamePart(s.FileName);
    info.Location = s.HasFile == 1 ? FolderPart(s.FileName) : kNoneText;
    info.FullPath = s.FileName;
    info.OriginalDimensions = DimensionsText(s.OrigWidth, s.OrigHeight);
    info.CurrentDimensions = DimensionsText(s.Bitmap.Width(), s.Bitmap.Height());
    info.FileType = FileTypeText(s.FileFormat);
    if (s.HasFile == 1) {
        std::error_code ec;
        const auto size = std::filesystem::file_size(s.FileName, ec);
        info.SizeOnDisk = SizeOnDiskText(ec ? 0 : static_cast<uint64_t>(size));
    } else {
        info.SizeOnDisk = kNoneText;
    }
    info.NumberOfPixels =
        std::to_string(static_cast<int64_t>(s.Bitmap.Width()) * s.Bitmap.Height()) + " Pixels";
    info.NumberOfLayers = std::to_string(s.LayerCount);
    info.ColourProfile = s.ColourProfile.empty() ? kNoneText : s.ColourProfile;
    return info;
}

} // namespace pixora
