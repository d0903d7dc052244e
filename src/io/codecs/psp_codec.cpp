// Paintshop Pro images: the composite picture the file keeps beside its
// layers, where it is stored as JPEG at the image's full size. Layered
// files without such a composite are refused with a message saying so.

#include <cstring>
#include <string>

#include "io/codecs/byte_reader.h"
#include "io/codecs/format_codecs.h"

namespace pixora::psp {

namespace {

const char kSignature[] = "Paint Shop Pro Image File\n\x1a\0\0\0\0";
constexpr std::size_t kSignatureBytes = 32;

enum TBlock : uint16_t {
    bImageAttributes = 0,
    bCompositeBank = 0x10,
    bCompositeAttributes = 0x11,
    bJpeg = 0x12
};

struct TBlockHead {
    uint16_t Id;
    std::size_t Start, End; // the block's data
};

// The next block at the reader's place, or false at the end.
bool NextBlock(TByteReader& r, std::size_t end, int major, TBlockHead& b) {
    if (end - r.Pos() < 10) return false;
    if (std::memcmp(r.Take(4), "~BK\0", 4) != 0) r.Fail("a block has no header");
    b.Id = r.Le16();
    if (major <= 3) r.Skip(4); // old files repeat the initial data length
    const uint32_t length = r.Le32();
    if (length > end - r.Pos()) r.Short();
    b.Start = r.Pos();
    b.End = b.Start + length;
    return true;
}

TSniff Sniff(const TFileHead& h) {
    return h.Size >= kSignatureBytes && std::memcmp(h.Data, kSignature, 27) == 0 ? TSniff::Yes : TSniff::No;
}

Bitmap Read(const std::string& path) {
    const TMappedFile file(path);
    TByteReader r(file.Data(), file.Size(), "PSP");
    if (std::memcmp(r.Take(kSignatureBytes), kSignature, 27) != 0) r.Fail("not a Paintshop Pro image");
    const int major = r.Le16();
    r.Skip(2);
    uint32_t width = 0, height = 0;
    TBlockHead b{};
    while (NextBlock(r, r.Size(), major, b)) {
        if (b.Id == bImageAttributes && b.End - b.Start >= 12) {
            r.Skip(major <= 3 ? 0 : 4); // its own length
            width = r.Le32();
            height = r.Le32();
        } else if (b.Id == bCompositeBank && width > 0) {
            // Composite images, each its attributes and then its data.
            r.Seek(b.Start);
            const uint32_t chunk = r.Le32(); // the bank's own fields
            if (chunk < 4 || chunk > b.End - b.Start) r.Fail("a block is damaged");
            r.Seek(b.Start + chunk);
            TBlockHead sub{};
            uint32_t w = 0, h = 0;
            while (NextBlock(r, b.End, major, sub)) {
                if (sub.Id == bCompositeAttributes && sub.End - sub.Start >= 12) {
                    r.Skip(4);
                    w = r.Le32();
                    h = r.Le32();
                } else if (sub.Id == bJpeg && w == width && h == height && sub.End - sub.Start >= 14) {
                    const uint32_t skip = r.Le32(); // the chunk's own fields
                    if (skip > sub.End - sub.Start) r.Short();
                    r.Seek(sub.Start + skip);
                    return jpeg::ReadMemory(file.Data() + r.Pos(), sub.End - r.Pos());
                }
                r.Seek(sub.End);
            }
        }
        r.Seek(b.End);
    }
    r.Fail("only files with a full-size JPEG composite are supported; this one keeps its picture in layers");
}

} // namespace

} // namespace pixora::psp

namespace pixora {

const TCodec kPspCodec = {
    .Strength = TSniffStrength::Signature, .Sniff = psp::Sniff, .Read = WithoutNotes<psp::Read>};

} // namespace pixora
