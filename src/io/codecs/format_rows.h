#pragma once
// The format table: one row per image format, naming everything the program
// knows of it (its extensions, the entries of the open and save dialogs and
// the batch window, its MIME types, its reader and writer and which options
// a save asks). Every list the user sees and every choice of reader or
// writer is made from the rows, so a new format is a row and a codec.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "io/codecs/image_codecs.h"

namespace pixora {

// How sure a look at the first bytes is that a file is in a format.
enum class TSniff { No, Maybe, Yes };

struct TFileHead {
    const uint8_t* Data; // the first bytes of the file (up to kHeadBytes)
    std::size_t Size;
    uint64_t FileSize;
};
inline constexpr std::size_t kHeadBytes = 4096;

// How much a reader's look at the first bytes proves. Readers are asked
// strongest first, in table order within one strength: a file goes to the
// first whose look says Yes, else to the reader its extension names, else to
// the first that said Maybe.
enum class TSniffStrength {
    Signature,      // bytes at the start that no other format's files begin with
    InnerSignature, // a signature at a fixed place further in
    MarkedHeader,   // a short mark and header fields that must agree
    Guess,          // no signature, only header fields that make sense
    WeakGuess,      // a short header that many files would pass: asked last
};

// A format's codec, defined in its own source file.
struct TCodec {
    TSniffStrength Strength;
    TSniff (*Sniff)(const TFileHead& head);
    // Throws ECodecError (or bad_alloc) on failure. Notes what it learns of
    // the file beside the pixels (its colour profile) in `notes`.
    Bitmap (*Read)(const std::string& path, TReadNotes& notes);
    // Writes a new file (the caller renames it over the target); null for a
    // format the program only reads. opts.Extension holds the target's
    // extension.
    void (*Write)(const std::string& path, const Bitmap& image, const SaveOptions& opts) = nullptr;
};

// The table's reader for a format whose files tell nothing beside their
// pixels: .Read = WithoutNotes<bmp::Read>.
template <Bitmap (*ReadFile)(const std::string&)> Bitmap WithoutNotes(const std::string& path, TReadNotes&) {
    return ReadFile(path);
}

// One entry of an open or save dialog's filter list.
struct TFileFilter {
    const char* Caption;
    const char* Patterns; // separated by ';'
};

// What a save in a format asks before writing. The window layer shows the
// matching dialog; the choice lands in the slot and reaches the writer
// through SaveOptions.
enum class TSaveOptionsKind {
    None,
    PixelFormat,     // "Pixel Format": BMP bits
    JpegOptions,     // "JPEG Options": grey or colour, quality
    GifTransparency, // "GIF Image Transparency": sensitivity, previewed on the image
    WebpOptions,     // "WebP Options": lossy at a quality, or lossless
};

// Whether those options can be chosen once for many files, before any of
// them is read (batch conversion); the GIF dialog previews the picture.
bool ChosenWithoutPicture(TSaveOptionsKind kind);

struct TSaveEntry {
    int Place = 0;              // position in the save dialog's list, 1 = first; 0: not offered
    const char* Extension = ""; // appended to a name typed without one
    TFileFilter Filter = {};    // a null caption: the open dialog's caption and patterns
};

struct TBatchEntry {
    int Place = 0; // position in the batch window's destination list; 0: not offered
    const char* Extension = "";
};

struct TFormatRow {
    const char* Name; // how lists name the format: "PNG"
    // The format code a slot records for a file of these extensions. A row
    // with a writer needs a code of its own; rows that only read share 0.
    int Code = fcOther;
    // Its extensions, lower case with the dot, ';'-separated: a file so named
    // is saved in this format, and read by this reader when its content does
    // not decide.
    const char* Extensions = "";
    // Further names the reader goes by, which a save does not write in it.
    const char* AlsoReads = "";
    TFileFilter Open = {};     // the open dialog's entry; a null caption: not listed
    bool InAllPictures = true; // its patterns are part of "All Picture Files"
    TSaveEntry Save = {};
    TBatchEntry Batch = {};
    const char* MimeTypes = "";    // ';'-separated, for the desktop's file associations
    const TCodec* Codec = nullptr; // null: listed but not read (it fails as an unknown format)
    TSaveOptionsKind Options = TSaveOptionsKind::None;
    const char* TypeText = nullptr; // the image information's "File Type" for its code
    const char* SaveHelp = nullptr; // the help page's line on what a save writes
    // Adds opts.Metadata to a file the writer has just written; null for
    // formats that do not keep a photo's metadata.
    void (*KeepMetadata)(const std::string& path, const Bitmap& image, const SaveOptions& opts) = nullptr;
};

// The rows in their table order (the open dialog's order), with the lookups
// and lists made from them. A table is built once and only read.
class TFormatTable {
public:
    explicit TFormatTable(std::vector<TFormatRow> rows);

    const std::vector<TFormatRow>& Rows() const { return rows_; }

    // The row whose own extensions hold `ext` (lower case, with its dot).
    const TFormatRow* Named(const std::string& ext) const;
    // The format code of a file name: its row's, fcOther when it has none.
    int CodeOf(const std::string& path) const;
    // The row with this code and a writer; null when the program does not
    // write files of this code.
    const TFormatRow* WriterOf(int code) const;
    // The codec that reads files named with `ext`, own or further names.
    const TCodec* ReaderOf(const std::string& ext) const;

    // Reads a file by its content; its extension chooses among the readers
    // when the content is not conclusive. Throws ECodecError naming the
    // extension when no reader takes the file.
    Bitmap Read(const std::string& path, TReadNotes& notes) const;
    // The row whose reader Read hands the file to; null when none takes it.
    // Throws ECodecError when the file cannot be opened.
    const TFormatRow* ReaderRow(const std::string& path) const;
    // Writes by format code through a temporary file renamed over `path`
    // (WriteThroughTemporary). A code without a writer writes nothing and
    // throws ECodecError naming the format.
    void Write(const std::string& path, const Bitmap& image, int code, const SaveOptions& opts) const;

    // The save dialog's and the batch window's rows in their order.
    std::vector<const TFormatRow*> SaveRows() const;
    std::vector<const TFormatRow*> BatchRows() const;
    // The patterns of "All Picture Files": every listed row's that counts.
    const std::string& AllPicturePatterns() const { return allPictures_; }

private:
    std::vector<TFormatRow> rows_;
    std::vector<const TFormatRow*> readers_; // in the order they are asked
    std::string allPictures_;
};

// The program's formats: the rows of format_table.cpp for which the build
// found the libraries.
const TFormatTable& Formats();

// The program's reader for files named with `ext` (lower case, with its
// dot), or null.
const TCodec* ReaderForExtension(const std::string& ext);

// The extension of the file name (after the last folder separator),
// including its dot and lower-cased; empty when there is none.
std::string LowerExtension(const std::string& path);

// True when `list` (';'-separated) holds `item` exactly.
bool ListHolds(const char* list, const std::string& item);

// The items of a ';'-separated list, in order.
std::vector<std::string> ListItems(const char* list);

} // namespace pixora
