#pragma once
// The reader table: every format the program reads, with the extensions it
// goes by, a cheap look at the file's first bytes and its reader. A file is
// read by what it holds; the name only settles what the content leaves
// open, so a file with a wrong or missing extension still opens.

#include <cstddef>
#include <cstdint>
#include <string>

#include "doc/bitmap.h"

namespace pixora {

// How sure a look at the first bytes is that a file is in a format.
enum class TSniff { No, Maybe, Yes };

struct TFileHead {
    const uint8_t* Data; // the first bytes of the file (up to kHeadBytes)
    std::size_t Size;
    uint64_t FileSize;
};
inline constexpr std::size_t kHeadBytes = 4096;

struct TReaderRow {
    const char* Name;       // as messages name it
    const char* Extensions; // lower case, ";"-separated, with the dots
    TSniff (*Sniff)(const TFileHead& head);
    Bitmap (*Read)(const std::string& path);
};

// The extension of the file name (after the last folder separator),
// including its dot and lower-cased; empty when there is none.
std::string LowerExtension(const std::string& path);

// Reads a file by its content; its extension chooses among the readers when
// the content is not conclusive. Throws ECodecError naming the extension
// when no reader takes the file.
Bitmap ReadByContent(const std::string& path);

// The row that goes by this extension (lower case, with its dot), or null.
const TReaderRow* ReaderForExtension(const std::string& ext);

// The rows of the minor formats, each defined in its reader's source file.
extern const TReaderRow kPnmRow, kTgaRow, kPcxRow, kSgiRow, kIcoRow, kPsdRow, kRlaRow, kPcdRow, kCelRow,
    kPspRow;

} // namespace pixora
