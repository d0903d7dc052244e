#include "history/tile_snapshot.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "io/codecs/image_codecs.h"

namespace pixora {

namespace {

constexpr char kMagic[8] = {'P', 'X', 'T', 'I', 'L', 'E', 'S', '1'};
constexpr std::size_t kHeadSize = sizeof kMagic + 5 * 4;  // magic, width, height, tile, name length, tiles

struct TRect {
    int X, Y, W, H;
};

TRect TileRect(const Bitmap& image, TTileIndex t) {
    const int x = t.X * kSnapshotTile, y = t.Y * kSnapshotTile;
    return {x, y, std::min(kSnapshotTile, image.Width() - x), std::min(kSnapshotTile, image.Height() - y)};
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// Reads the file front to back; a read past the end is a damaged file.
struct TReader {
    const std::vector<uint8_t>& Bytes;
    std::size_t At = 0;
    const uint8_t* Take(std::size_t n) {
        if (n > Bytes.size() - At) throw ECodecError("Undo step: the file is truncated");
        const uint8_t* p = Bytes.data() + At;
        At += n;
        return p;
    }
    uint32_t U32() {
        const uint8_t* p = Take(4);
        return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
               static_cast<uint32_t>(p[3]) << 24;
    }
};

struct THead {
    uint32_t Width, Height, Tile;
    std::string Base;
    uint32_t Tiles;
};

THead ReadHead(TReader& in) {
    if (!IsTileSnapshot(in.Bytes.data(), in.Bytes.size())) throw ECodecError("Undo step: not a tile snapshot");
    in.Take(sizeof kMagic);
    THead h{};
    h.Width = in.U32();
    h.Height = in.U32();
    h.Tile = in.U32();
    const uint32_t nameLength = in.U32();
    const uint8_t* name = in.Take(nameLength);
    h.Base.assign(reinterpret_cast<const char*>(name), nameLength);
    h.Tiles = in.U32();
    if (h.Tile != kSnapshotTile || h.Base.empty() || h.Base.find('/') != std::string::npos)
        throw ECodecError("Undo step: the file is damaged");
    return h;
}

} // namespace

std::vector<TTileIndex> ChangedTiles(const Bitmap& before, const Bitmap& after) {
    std::vector<TTileIndex> changed;
    const int cols = (after.Width() + kSnapshotTile - 1) / kSnapshotTile;
    const int rows = (after.Height() + kSnapshotTile - 1) / kSnapshotTile;
    for (int ty = 0; ty < rows; ++ty)
        for (int tx = 0; tx < cols; ++tx) {
            const TRect r = TileRect(after, {tx, ty});
            const std::size_t bytes = static_cast<std::size_t>(r.W) * 4;
            for (int y = r.Y; y < r.Y + r.H; ++y)
                if (std::memcmp(before.Row(y) + r.X * 4, after.Row(y) + r.X * 4, bytes) != 0) {
                    changed.push_back({tx, ty});
                    break;
                }
        }
    return changed;
}

int64_t TilePixels(const Bitmap& image, const std::vector<TTileIndex>& tiles) {
    int64_t n = 0;
    for (const TTileIndex t : tiles) {
        const TRect r = TileRect(image, t);
        n += static_cast<int64_t>(r.W) * r.H;
    }
    return n;
}

void CopyTiles(const Bitmap& from, Bitmap& into, const std::vector<TTileIndex>& tiles) {
    for (const TTileIndex t : tiles) {
        const TRect r = TileRect(from, t);
        for (int y = r.Y; y < r.Y + r.H; ++y)
            std::memcpy(into.Row(y) + r.X * 4, from.Row(y) + r.X * 4, static_cast<std::size_t>(r.W) * 4);
    }
}

std::vector<uint8_t> EncodeTileSnapshot(const Bitmap& image, const std::vector<TTileIndex>& tiles,
                                        const std::string& baseName) {
    std::vector<uint8_t> out(kMagic, kMagic + sizeof kMagic);
    PutU32(out, static_cast<uint32_t>(image.Width()));
    PutU32(out, static_cast<uint32_t>(image.Height()));
    PutU32(out, kSnapshotTile);
    PutU32(out, static_cast<uint32_t>(baseName.size()));
    out.insert(out.end(), baseName.begin(), baseName.end());
    PutU32(out, static_cast<uint32_t>(tiles.size()));
    std::vector<uint8_t> raw;
    std::vector<uint8_t> packed;
    for (const TTileIndex t : tiles) {
        const TRect r = TileRect(image, t);
        raw.resize(static_cast<std::size_t>(r.W) * r.H * 4);
        for (int y = 0; y < r.H; ++y)
            std::memcpy(raw.data() + static_cast<std::size_t>(y) * r.W * 4, image.Row(r.Y + y) + r.X * 4,
                        static_cast<std::size_t>(r.W) * 4);
        uLongf length = compressBound(static_cast<uLong>(raw.size()));
        packed.resize(length);
        if (compress2(packed.data(), &length, raw.data(), static_cast<uLong>(raw.size()), 1) != Z_OK)
            throw ECodecError("Undo step: a tile could not be compressed");
        PutU32(out, static_cast<uint32_t>(t.X));
        PutU32(out, static_cast<uint32_t>(t.Y));
        PutU32(out, static_cast<uint32_t>(length));
        out.insert(out.end(), packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(length));
    }
    return out;
}

bool IsTileSnapshot(const uint8_t* head, std::size_t size) {
    return size >= kHeadSize && std::memcmp(head, kMagic, sizeof kMagic) == 0;
}

std::string TileSnapshotBase(const std::vector<uint8_t>& file) {
    TReader in{file};
    return ReadHead(in).Base;
}

std::vector<uint8_t> RebasedTileSnapshot(const std::vector<uint8_t>& file, const std::string& baseName) {
    TReader in{file};
    const THead h = ReadHead(in);
    std::vector<uint8_t> out(kMagic, kMagic + sizeof kMagic);
    PutU32(out, h.Width);
    PutU32(out, h.Height);
    PutU32(out, h.Tile);
    PutU32(out, static_cast<uint32_t>(baseName.size()));
    out.insert(out.end(), baseName.begin(), baseName.end());
    PutU32(out, h.Tiles);
    out.insert(out.end(), file.begin() + static_cast<std::ptrdiff_t>(in.At), file.end());
    return out;
}

void ApplyTileSnapshot(const std::vector<uint8_t>& file, Bitmap& image) {
    TReader in{file};
    const THead h = ReadHead(in);
    if (static_cast<int64_t>(h.Width) != image.Width() || static_cast<int64_t>(h.Height) != image.Height() ||
        image.BitsPerPixel() != 32)
        throw ECodecError("Undo step: the file does not fit the step before it");
    const uint32_t cols = (h.Width + kSnapshotTile - 1) / kSnapshotTile;
    const uint32_t rows = (h.Height + kSnapshotTile - 1) / kSnapshotTile;
    std::vector<uint8_t> raw;
    for (uint32_t i = 0; i < h.Tiles; ++i) {
        const uint32_t tx = in.U32(), ty = in.U32(), length = in.U32();
        if (tx >= cols || ty >= rows) throw ECodecError("Undo step: the file is damaged");
        const uint8_t* packed = in.Take(length);
        const TRect r = TileRect(image, {static_cast<int>(tx), static_cast<int>(ty)});
        raw.resize(static_cast<std::size_t>(r.W) * r.H * 4);
        uLongf got = static_cast<uLongf>(raw.size());
        if (uncompress(raw.data(), &got, packed, length) != Z_OK || got != raw.size())
            throw ECodecError("Undo step: the file is damaged");
        for (int y = 0; y < r.H; ++y)
            std::memcpy(image.Row(r.Y + y) + r.X * 4, raw.data() + static_cast<std::size_t>(y) * r.W * 4,
                        static_cast<std::size_t>(r.W) * 4);
    }
}

} // namespace pixora
