// The format table: extension to format code, and the per-format load and
// save rules used by opening, saving and batch conversion.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "io/codecs/format_codecs.h"
#include "io/codecs/reader_table.h"

namespace pixora {

namespace {

[[noreturn]] void OutOfMemory(const char* action) {
    throw ECodecError(std::string("Not enough memory to ") + action + " the image");
}

} // namespace

int FormatFromExtension(const std::string& path) {
    const std::string ext = LowerExtension(path);
    if (ext == ".bmp") return fcBmp;
    if (ext == ".jpg" || ext == ".jpe" || ext == ".jpeg" || ext == ".jfif") return fcJpeg;
    if (ext == ".png") return fcPng;
    if (ext == ".gif") return fcGif;
    if (ext == ".tif" || ext == ".tiff") return fcTiff;
    return fcOther;
}

Bitmap LoadImageFile(const std::string& path, int formatCode) {
    try {
        // Every code reads by content: the reader table recognises BMP, PNG
        // and GIF by their magic numbers as well as the generic formats.
        (void)formatCode;
        return ReadByContent(path);
    } catch (const ECodecError&) {
        throw;
    } catch (const std::bad_alloc&) {
        OutOfMemory("open");
    } catch (const std::exception& e) {
        throw ECodecError(e.what());
    }
}

SaveOptions SaveOptions::FromSlot(int savePixelFormat, int jpegQuality, int gifSensitivity) {
    SaveOptions o;
    static const int kBits[4] = {8, 16, 24, 32};
    o.BmpBits = savePixelFormat >= 0 && savePixelFormat < 4 ? kBits[savePixelFormat] : 24;
    o.JpegGray = savePixelFormat == 0;
    o.JpegQuality = jpegQuality;
    o.GifSensitivity = gifSensitivity;
    return o;
}

Bitmap ApplyGifKey(const Bitmap& src, int sensitivity) {
    Bitmap out = NewImage(src.Width(), src.Height());
    const int bpp = src.BytesPerPixel();
    for (int y = 0; y < src.Height(); ++y) {
        const uint8_t* s = src.Row(y);
        uint8_t* d = out.Row(y);
        for (int x = 0; x < src.Width(); ++x, s += bpp, d += 4) {
            const int t = bpp == 4 ? s[3] : 0;
            if (sensitivity >= 255 - t) {
                d[0] = GifKeyBlue;
                d[1] = GifKeyGreen;
                d[2] = GifKeyRed;
            } else {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
                if (d[0] == GifKeyBlue && d[1] == GifKeyGreen && d[2] == GifKeyRed) d[0] = GifKeyBlue - 1;
            }
        }
    }
    return out;
}

namespace {

// 0666 less the process's umask. The kernel reports the umask in
// /proc/self/status; asking umask() for it means setting it for a moment,
// which races with files being created on other threads.
mode_t NewFileMode() {
    if (FILE* f = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, f))
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        std::fclose(f);
        if (found) return static_cast<mode_t>(0666 & ~mask);
    }
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

void WriteByFormat(const std::string& path, const Bitmap& image, int formatCode, const SaveOptions& opts) {
    switch (formatCode) {
    case fcBmp: bmp::Write(path, image, opts.BmpBits); break;
    case fcJpeg: jpeg::Write(path, image, opts.JpegQuality, opts.JpegGray); break;
    case fcPng: png::Write(path, image); break;
    case fcGif: gif::Write(path, ApplyGifKey(image, opts.GifSensitivity)); break;
    default: bmp::Write(path, image, 32); break; // TIFF and all others: BMP data
    }
}

} // namespace

void WriteImageFile(const std::string& requested, const Bitmap& image, int formatCode, const SaveOptions& opts) {
    // Saving through a symbolic link replaces the file it points to, not the link.
    std::string path = requested;
    {
        std::error_code ec;
        if (std::filesystem::is_symlink(requested, ec)) {
            const auto target = std::filesystem::weakly_canonical(requested, ec);
            if (!ec) path = target.string();
        }
    }
    // A temporary file beside the target, renamed over it once complete.
    const std::size_t slash = path.find_last_of('/');
    const std::string dir = slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    // The temporary name must stay within the file system's name limit
    // however long the target's name is.
    std::string temp = dir + (dir.back() == '/' ? "" : "/") + "." + base.substr(0, 64) + ".XXXXXX";
    // mkstemp reserves a unique name; the codec then creates the file anew.
    // Writing into a fresh file rather than truncating one spares the file
    // system a forced flush when it is closed.
    const int fd = mkstemp(temp.data());
    if (fd < 0) throw ECodecError("Cannot create a file in " + dir + ": " + std::strerror(errno));
    close(fd);
    unlink(temp.c_str());
    try {
        WriteByFormat(temp, image, formatCode, opts);
    } catch (const ECodecError&) {
        unlink(temp.c_str());
        throw;
    } catch (const std::bad_alloc&) {
        unlink(temp.c_str());
        OutOfMemory("save");
    } catch (const std::exception& e) {
        unlink(temp.c_str());
        throw ECodecError(e.what());
    }
    // Some codecs create their files private (0600): give the file the
    // target's permissions, or those of a new file.
    struct stat st {};
    chmod(temp.c_str(), stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : NewFileMode());
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        const int e = errno;
        unlink(temp.c_str());
        throw ECodecError("Cannot write " + path + ": " + std::strerror(e));
    }
}

} // namespace pixora
