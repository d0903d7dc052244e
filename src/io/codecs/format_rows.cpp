// The format table's lookups, reading a file by its content and the save
// dispatch.

#include "io/codecs/format_rows.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "io/codecs/format_codecs.h"

namespace pixora {

bool ChosenWithoutPicture(TSaveOptionsKind kind) {
    return kind != TSaveOptionsKind::GifTransparency;
}

std::string LowerExtension(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string ext = path.substr(dot);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return ext;
}

std::vector<std::string> ListItems(const char* list) {
    std::vector<std::string> items;
    for (const char* p = list; p && *p;) {
        const char* end = std::strchr(p, ';');
        const std::size_t n = end ? static_cast<std::size_t>(end - p) : std::strlen(p);
        if (n) items.emplace_back(p, n);
        p += n + (end ? 1 : 0);
    }
    return items;
}

bool ListHolds(const char* list, const std::string& item) {
    if (item.empty()) return false;
    for (const char* p = list; p && *p;) {
        const char* end = std::strchr(p, ';');
        const std::size_t n = end ? static_cast<std::size_t>(end - p) : std::strlen(p);
        if (n == item.size() && std::memcmp(p, item.data(), n) == 0) return true;
        p += n + (end ? 1 : 0);
    }
    return false;
}

TFormatTable::TFormatTable(std::vector<TFormatRow> rows) : rows_(std::move(rows)) {
    for (const TFormatRow& row : rows_)
        if (row.Codec) readers_.push_back(&row);
    std::stable_sort(readers_.begin(), readers_.end(), [](const TFormatRow* a, const TFormatRow* b) {
        return a->Codec->Strength < b->Codec->Strength;
    });
    for (const TFormatRow& row : rows_) {
        if (!row.Open.Caption || !row.InAllPictures) continue;
        if (!allPictures_.empty()) allPictures_ += ';';
        allPictures_ += row.Open.Patterns;
    }
}

const TFormatRow* TFormatTable::Named(const std::string& ext) const {
    for (const TFormatRow& row : rows_)
        if (ListHolds(row.Extensions, ext)) return &row;
    return nullptr;
}

int TFormatTable::CodeOf(const std::string& path) const {
    const TFormatRow* row = Named(LowerExtension(path));
    return row ? row->Code : fcOther;
}

const TFormatRow* TFormatTable::WriterOf(int code) const {
    for (const TFormatRow& row : rows_)
        if (row.Code == code && row.Code != fcOther && row.Codec && row.Codec->Write) return &row;
    return nullptr;
}

namespace {

bool GoesBy(const TFormatRow& row, const std::string& ext) {
    return ListHolds(row.Extensions, ext) || ListHolds(row.AlsoReads, ext);
}

// Rows listed in one list, by their place there; rows of one place keep
// their table order.
template <class Entry>
std::vector<const TFormatRow*> Listed(const std::vector<TFormatRow>& rows, Entry TFormatRow::*entry) {
    std::vector<const TFormatRow*> listed;
    for (const TFormatRow& row : rows)
        if ((row.*entry).Place > 0) listed.push_back(&row);
    std::stable_sort(listed.begin(), listed.end(), [entry](const TFormatRow* a, const TFormatRow* b) {
        return (a->*entry).Place < (b->*entry).Place;
    });
    return listed;
}

} // namespace

const TCodec* TFormatTable::ReaderOf(const std::string& ext) const {
    for (const TFormatRow* row : readers_)
        if (GoesBy(*row, ext)) return row->Codec;
    return nullptr;
}

const TFormatRow* TFormatTable::ReaderRow(const std::string& path) const {
    uint8_t head[kHeadBytes];
    TFileHead h{head, 0, 0};
    {
        FilePtr f = OpenFile(path, "rb");
        h.FileSize = FileSizeOf(f.get()); // refuses folders and devices
        h.Size = std::fread(head, 1, sizeof head, f.get());
    }
    const std::string ext = LowerExtension(path);
    const TFormatRow* named = nullptr; // the reader the name points to
    const TFormatRow* maybe = nullptr; // the first reader the content fits
    for (const TFormatRow* row : readers_) {
        const TSniff s = row->Codec->Sniff(h);
        if (s == TSniff::Yes) return row;
        if (!named && GoesBy(*row, ext)) named = row;
        if (s == TSniff::Maybe && !maybe) maybe = row;
    }
    // Without a magic number the name decides, then the first plausible
    // guess. A named reader that the content does not fit still reads, so
    // that its own message says what is wrong with the file.
    return named ? named : maybe;
}

Bitmap TFormatTable::Read(const std::string& path, TReadNotes& notes) const {
    if (const TFormatRow* row = ReaderRow(path)) return row->Codec->Read(path, notes);
    const std::string ext = LowerExtension(path);
    if (ext.empty()) throw ECodecError("The format of this file is not supported");
    throw ECodecError("The " + ext + " image format is not supported");
}

void TFormatTable::Write(const std::string& path, const Bitmap& image, int code,
                         const SaveOptions& opts) const {
    const TFormatRow* row = WriterOf(code);
    if (!row) {
        // Nothing is written: data of another format under this name would
        // be taken for a damaged file by every other program.
        const std::string ext = LowerExtension(path);
        const TFormatRow* named = Named(ext);
        if (named) throw ECodecError("Pixora cannot write " + std::string(named->Name) + " files (" + ext + ")");
        if (ext.empty()) throw ECodecError("The file name has no extension that names a format");
        throw ECodecError("Pixora cannot write " + ext + " files");
    }
    SaveOptions own = opts;
    own.Extension = LowerExtension(path);
    WriteThroughTemporary(path, [&](const std::string& temp) {
        row->Codec->Write(temp, image, own);
        if (row->KeepMetadata) row->KeepMetadata(temp, image, own);
    });
}

std::vector<const TFormatRow*> TFormatTable::SaveRows() const {
    return Listed(rows_, &TFormatRow::Save);
}

std::vector<const TFormatRow*> TFormatTable::BatchRows() const {
    return Listed(rows_, &TFormatRow::Batch);
}

const TCodec* ReaderForExtension(const std::string& ext) {
    return Formats().ReaderOf(ext);
}

} // namespace pixora
