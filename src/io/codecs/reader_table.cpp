// The reader table and reading a file by its content.

#include "io/codecs/reader_table.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "io/codecs/format_codecs.h"

namespace pixora {

namespace {

bool Starts(const TFileHead& h, const char* magic, std::size_t n) {
    return h.Size >= n && std::memcmp(h.Data, magic, n) == 0;
}

TSniff SniffBmp(const TFileHead& h) {
    return Starts(h, "BM", 2) ? TSniff::Yes : TSniff::No;
}
TSniff SniffJpeg(const TFileHead& h) {
    return Starts(h, "\xFF\xD8\xFF", 3) ? TSniff::Yes : TSniff::No;
}
TSniff SniffPng(const TFileHead& h) {
    return Starts(h, "\x89PNG\r\n\x1A\n", 8) ? TSniff::Yes : TSniff::No;
}
TSniff SniffGif(const TFileHead& h) {
    return Starts(h, "GIF87a", 6) || Starts(h, "GIF89a", 6) ? TSniff::Yes : TSniff::No;
}
TSniff SniffTiff(const TFileHead& h) {
    if (h.Size < 4) return TSniff::No;
    const uint8_t* m = h.Data;
    const bool le = m[0] == 'I' && m[1] == 'I' && (m[2] == 42 || m[2] == 43) && m[3] == 0;
    const bool be = m[0] == 'M' && m[1] == 'M' && m[2] == 0 && (m[3] == 42 || m[3] == 43);
    return le || be ? TSniff::Yes : TSniff::No;
}

const TReaderRow kBmpRow = {"BMP", ".bmp;.dib;.rle", SniffBmp, bmp::Read};
const TReaderRow kJpegRow = {"JPEG", ".jpg;.jpeg;.jpe;.jfif", SniffJpeg, jpeg::Read};
const TReaderRow kPngRow = {"PNG", ".png", SniffPng, png::Read};
const TReaderRow kGifRow = {"GIF", ".gif", SniffGif, gif::Read};
const TReaderRow kTiffRow = {"TIFF", ".tif;.tiff", SniffTiff, tiff::Read};

// In the order they are asked: magic numbers first, guesses last.
const TReaderRow* const kRows[] = {&kBmpRow, &kJpegRow, &kPngRow, &kGifRow, &kTiffRow,
                                   &kPsdRow, &kPspRow,  &kSgiRow, &kPcdRow, &kIcoRow,
                                   &kCelRow, &kPnmRow,  &kPcxRow, &kRlaRow, &kTgaRow};

bool HasExtension(const TReaderRow& row, const std::string& ext) {
    if (ext.empty()) return false;
    const char* p = row.Extensions;
    while (*p) {
        const char* end = std::strchr(p, ';');
        const std::size_t n = end ? static_cast<std::size_t>(end - p) : std::strlen(p);
        if (n == ext.size() && std::memcmp(p, ext.data(), n) == 0) return true;
        p += n + (end ? 1 : 0);
    }
    return false;
}

} // namespace

std::string LowerExtension(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string ext = path.substr(dot);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return ext;
}

const TReaderRow* ReaderForExtension(const std::string& ext) {
    for (const TReaderRow* row : kRows)
        if (HasExtension(*row, ext)) return row;
    return nullptr;
}

Bitmap ReadByContent(const std::string& path) {
    uint8_t head[kHeadBytes];
    TFileHead h{head, 0, 0};
    {
        FilePtr f = OpenFile(path, "rb");
        h.FileSize = FileSizeOf(f.get()); // refuses folders and devices
        h.Size = std::fread(head, 1, sizeof head, f.get());
    }
    const std::string ext = LowerExtension(path);
    const TReaderRow* named = nullptr; // the row the name points to
    const TReaderRow* maybe = nullptr; // the first row the content fits
    for (const TReaderRow* row : kRows) {
        const TSniff s = row->Sniff(h);
        if (s == TSniff::Yes) return row->Read(path);
        if (!named && HasExtension(*row, ext)) named = row;
        if (s == TSniff::Maybe && !maybe) maybe = row;
    }
    // Without a magic number the name decides, then the first plausible
    // guess. A named reader that the content does not fit still reads, so
    // that its own message says what is wrong with the file.
    if (named) return named->Read(path);
    if (maybe) return maybe->Read(path);
    if (ext.empty()) throw ECodecError("The format of this file is not supported");
    throw ECodecError("The " + ext + " image format is not supported");
}

} // namespace pixora
