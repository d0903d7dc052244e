#include "io/file_filters.h"

#include "doc/slots.h"

namespace pixora {

const std::vector<TFileFilter>& OpenFilters() {
    static const std::vector<TFileFilter> list = {
        {"Bitmap (*.bmp;*.dib;*.rle)", "*.bmp;*.dib;*.rle"},
        {"JPEG (*.JPG;*.JPEG;*.JPE;*.JFIF)", "*.JPG;*.JPEG;*.JPE;*.JFIF"},
        {"GIF (*.GIF)", "*.GIF"},
        {"PNG (*.PNG)", "*.PNG"},
        {"TIFF (*.TIF;*.TIFF)", "*.TIF;*.TIFF"},
        {"GFI fax images (*.fax)", "*.fax"},
        {"Windows Icons (*.ico)", "*.ico"},
        {"SGI images (*.bw, *.rgb, *.rgba, *.sgi)", "*.bw;*.rgb;*.rgba;*.sgi"},
        {"Autodesk images files (*.cel; *.pic)", "*.cel;*.pic"},
        {"Truevision images (*.tga; *.vst; *.icb; *.vda; *.win)", "*.tga;*.vst;*.icb;*.vda;*.win"},
        {"ZSoft Paintbrush images (*.pcx; *.pcc)", "*.pcx;*.pcc"},
        {"Word 5.x screen capture files (*.scr)", "*.scr"},
        {"Kodak Photo-CD images (*.pcd)", "*.pcd"},
        {"Portable pixel/gray map images (*.ppm, *.pgm, *.pbm)", "*.ppm;*.pgm;*.pbm"},
        {"Dr. Halo images (*.cut, *.pal)", "*.cut;*.pal"},
        {"SGI Wavefront images (*.rla;*.rpf)", "*.rla;*.rpf"},
        {"Photoshop images (*.psd, *.pdd)", "*.psd;*.pdd"},
        {"Paintshop Pro images (*.psp)", "*.psp"},
        {"All Picture Files", "*.bmp;*.dib;*.rle;*.JPG;*.JPEG;*.JPE;*.JFIF;*.GIF;*.PNG;*.TIF;*.TIFF;*.fax;*."
                              "bw;*.rgb;*.rgba;*.sgi;*.cel;"
                              "*.pic;*.tga;*.vst;*.icb;*.vda;*.win;*.pcx;*.pcc;*.scr;*.pcd;*.ppm;*.pgm;*.pbm;"
                              "*.cut;*.pal;*.rla;*.rpf;"
                              "*.psd;*.pdd;*.psp"},
        {"All Files", "*.*"},
    };
    return list;
}

const std::vector<TFileFilter>& SaveFilters() {
    // The open list without "Windows Icons" and the two "All" entries, with
    // the icon entry moved to the end.
    static const std::vector<TFileFilter> list = [] {
        const auto& open = OpenFilters();
        std::vector<TFileFilter> v;
        for (std::size_t i = 0; i < 18; ++i)
            if (i != 6) v.push_back(open[i]);
        v.push_back({"Windows Icon", "*.ico"});
        return v;
    }();
    return list;
}

std::string SaveFilterExtension(int filterIndex) {
    static const char* const ext[17] = {".bmp", ".jpg", ".gif", ".png", ".tif", ".fax",
                                        ".sgi", ".pic", ".tga", ".pcx", ".scr", ".pcd",
                                        ".ppm", ".cut", ".rla", ".psd", ".psp"};
    if (filterIndex < 1 || filterIndex > 17) return {};
    return ext[filterIndex - 1];
}

bool HasExtension(const std::string& path) {
    return FileNamePart(path).find('.') != std::string::npos;
}

} // namespace pixora
