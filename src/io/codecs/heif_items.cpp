#include "io/codecs/heif_items.h"

#include <algorithm>
#include <map>
#include <string>

#include "io/codecs/byte_reader.h"

namespace pixora::heif {

namespace {

constexpr uint32_t FourCC(const char (&s)[5]) {
    return static_cast<uint32_t>(s[0]) << 24 | static_cast<uint32_t>(s[1]) << 16 | static_cast<uint32_t>(s[2]) << 8 |
           static_cast<uint32_t>(s[3]);
}

struct TBox {
    uint32_t Type = 0;
    std::size_t Body = 0; // where its contents start
    std::size_t End = 0;
};

// The box at the reader's position, within `end`; the reader is left at its end.
TBox NextBox(TByteReader& in, std::size_t end) {
    const std::size_t start = in.Pos();
    uint64_t size = in.Be32();
    TBox box;
    box.Type = in.Be32();
    if (size == 1) size = in.Be64();
    else if (size == 0) size = end - start;
    if (size < in.Pos() - start || size > end - start) in.Fail("a box runs past its parent");
    box.Body = in.Pos();
    box.End = start + static_cast<std::size_t>(size);
    in.Seek(box.End);
    return box;
}

// A number of an item location, 4 or 8 bytes long. A field of any other
// size reads as 0 and takes no bytes, as libheif reads it.
uint64_t SizedNumber(TByteReader& in, unsigned bytes) {
    return bytes == 4 ? in.Be32() : bytes == 8 ? in.Be64() : 0;
}

// How many bytes such a number takes.
unsigned Width(unsigned bytes) { return bytes == 4 || bytes == 8 ? bytes : 0; }

struct TExtent {
    uint64_t Offset = 0;
    uint64_t Length = 0;
};

struct TLocation {
    unsigned Method = 0; // 0 in the file, 1 in the 'idat' box
    std::vector<TExtent> Extents;
};

bool IsDerived(uint32_t type) { return type == FourCC("grid") || type == FourCC("iovl"); }

struct TMeta {
    std::map<uint32_t, uint32_t> Types; // item id -> 'grid', 'iovl' or 'av01'
    std::map<uint32_t, TLocation> Locations;
    std::size_t DataBody = 0, DataEnd = 0; // the 'idat' box
};

void ReadItemInfo(TByteReader& in, const TBox& iinf, TMeta& meta) {
    in.Seek(iinf.Body);
    const unsigned version = in.U8();
    in.Skip(3);
    in.Skip(version == 0 ? 2 : 4); // the entry count; the boxes themselves tell
    while (in.Pos() < iinf.End) {
        const TBox infe = NextBox(in, iinf.End);
        if (infe.Type != FourCC("infe")) continue;
        TByteReader entry(in.Data(), infe.End, "HEIF");
        entry.Seek(infe.Body);
        const unsigned v = entry.U8();
        entry.Skip(3);
        if (v < 2) continue; // no item type before version 2
        const uint32_t id = v == 2 ? entry.Be16() : entry.Be32();
        entry.Skip(2); // protection index
        const uint32_t type = entry.Be32();
        if (IsDerived(type) || type == FourCC("av01")) meta.Types[id] = type;
    }
}

void ReadItemLocations(TByteReader& in, const TBox& iloc, TMeta& meta) {
    in.Seek(iloc.Body);
    const unsigned version = in.U8();
    in.Skip(3);
    const unsigned sizes = in.U8(), more = in.U8();
    const unsigned offsetSize = sizes >> 4, lengthSize = sizes & 15, baseSize = more >> 4;
    const bool methods = version == 1 || version == 2;
    const unsigned indexSize = methods ? more & 15 : 0;
    const uint32_t items = version < 2 ? in.Be16() : in.Be32();
    for (uint32_t i = 0; i < items && in.Pos() < iloc.End; ++i) {
        const uint32_t id = version < 2 ? in.Be16() : in.Be32();
        TLocation at;
        if (methods) at.Method = in.Be16() & 15;
        in.Skip(2); // data reference index
        const uint64_t base = SizedNumber(in, baseSize);
        const unsigned extents = in.Be16();
        const bool wanted = meta.Types.count(id) != 0;
        const unsigned extentBytes = Width(indexSize) + Width(offsetSize) + Width(lengthSize);
        if (!wanted || extentBytes == 0) {
            // Extents written in no bytes hold none either.
            in.Skip(uint64_t{extents} * extentBytes);
        } else {
            for (unsigned e = 0; e < extents; ++e) {
                SizedNumber(in, indexSize);
                const uint64_t offset = SizedNumber(in, offsetSize);
                at.Extents.push_back({base + offset, SizedNumber(in, lengthSize)});
            }
        }
        if (wanted) meta.Locations[id] = std::move(at);
    }
}

TMeta ReadMeta(TByteReader& in, const TBox& metaBox) {
    TMeta meta;
    TBox iinf, iloc;
    in.Seek(metaBox.Body + 4); // after its version and flags
    while (in.Pos() < metaBox.End) {
        const TBox box = NextBox(in, metaBox.End);
        // The first of each kind counts, as libheif takes it.
        if (box.Type == FourCC("iinf") && !iinf.Type) iinf = box;
        else if (box.Type == FourCC("iloc") && !iloc.Type) iloc = box;
        else if (box.Type == FourCC("idat") && !meta.DataEnd) meta.DataBody = box.Body, meta.DataEnd = box.End;
    }
    if (iinf.Type) ReadItemInfo(in, iinf, meta);
    if (iloc.Type && !meta.Types.empty()) ReadItemLocations(in, iloc, meta);
    return meta;
}

// The first bytes of an item's data, as many as its extents hold up to
// `want`. An extent of length 0 holds nothing, as libheif reads it (not the
// rest of the file).
std::vector<uint8_t> ItemStart(const TByteReader& in, const TMeta& meta, const TLocation& at, std::size_t want) {
    std::vector<uint8_t> bytes;
    const bool inData = at.Method == 1;
    if (at.Method > 1) return bytes;
    const std::size_t from = inData ? meta.DataBody : 0, end = inData ? meta.DataEnd : in.Size();
    for (const TExtent& e : at.Extents) {
        if (bytes.size() >= want || e.Offset > end - from) break;
        const std::size_t start = from + static_cast<std::size_t>(e.Offset);
        const uint64_t length = std::min<uint64_t>(e.Length, end - start);
        const std::size_t take = static_cast<std::size_t>(std::min<uint64_t>(length, want - bytes.size()));
        bytes.insert(bytes.end(), in.Data() + start, in.Data() + start + take);
    }
    return bytes;
}

// The output size a grid or overlay item's data starts with.
TDeclaredSize DeclaredSize(uint32_t type, const std::vector<uint8_t>& item) {
    TByteReader in(item.data(), item.size(), "HEIF");
    in.Skip(1); // version
    const bool wide = in.U8() & 1;
    // A grid gives its rows and columns first, an overlay its canvas colour.
    in.Skip(type == FourCC("grid") ? 2 : 8);
    TDeclaredSize size;
    size.Width = wide ? in.Be32() : in.Be16();
    size.Height = wide ? in.Be32() : in.Be16();
    return size;
}

// The items of one 'meta' box.
void ReadItems(TByteReader& in, const TBox& box, THeifItems& items) {
    const TMeta meta = ReadMeta(in, box);
    for (const auto& [id, type] : meta.Types) {
        const auto at = meta.Locations.find(id);
        if (type == FourCC("av01")) {
            bool holds = false;
            if (at != meta.Locations.end())
                for (const TExtent& e : at->second.Extents) holds |= e.Length > 0;
            items.CodedWithoutData |= !holds;
            continue;
        }
        if (at == meta.Locations.end()) continue;
        try {
            items.Derived.push_back(DeclaredSize(type, ItemStart(in, meta, at->second, 20)));
        } catch (const ECodecError&) {
            // Too short to hold a size: libheif refuses it.
        }
    }
}

} // namespace

THeifItems ReadHeifItems(const uint8_t* data, std::size_t size) {
    THeifItems items;
    TByteReader in(data, size, "HEIF");
    try {
        // Every top-level 'meta' box: which one libheif goes by when a file
        // has several is its own affair.
        while (in.Left() >= 8) {
            const TBox box = NextBox(in, size);
            if (box.Type != FourCC("meta")) continue;
            try {
                ReadItems(in, box, items);
            } catch (const ECodecError&) {
                // What this walk cannot follow inside it is libheif's to judge.
            }
            in.Seek(box.End);
        }
    } catch (const ECodecError&) {
        // Boxes past this point are libheif's to judge.
    }
    return items;
}

} // namespace pixora::heif
