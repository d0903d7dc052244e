// Rotations and mirrors: the five fixed ones move every source pixel to one
// target position; the rotation by an angle samples the source for every
// target pixel.
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "effects/engine/effects.h"
#include "effects/engine/rotated_size.h"
#include "doc/round_mode.h"

namespace pixora {

// Target size and position of source pixel (x, y) of a W x H source.
struct TEffects::TFixedRotation {
    bool Swap; // target is H x W
    TPoint (*Map)(int x, int y, int w, int h);
};

namespace {

void Copy4(uint8_t* to, const uint8_t* from) {
    std::memcpy(to, from, 4);
}

constexpr double kTwoPi = 2 * std::numbers::pi;

// Equal within the tolerance of the angle tests.
bool SameAngle(double a, double b) {
    const double tolerance = std::max(1e-16, 1e-16 * std::min(std::fabs(a), std::fabs(b)));
    return std::fabs(a - b) <= tolerance;
}

} // namespace

bool TEffects::FixedRotation(Bitmap& source, Bitmap& target, const TPixelBytes& background,
                             const TFixedRotation& rotation) {
    if (source.Empty()) return false;
    Bitmap aliasCopy;
    Bitmap* src = ReadableSource(source, target, aliasCopy);
    const int W = src->Width(), H = src->Height();
    if (rotation.Swap)
        ShapeTarget(target, H, W);
    else
        ShapeTarget(target, W, H);
    target.Fill(background.B, background.G, background.R, background.T);
    const TLines targetLines = LinesOf(target);

    // The pair walk runs over the source and hands over the target's rows.
    TScanPairEvent routine = [&rotation, W, H](TPixelRef& p, int& x, int& y, const TLines& to, void*, bool&) {
        const TPoint t = rotation.Map(x, y, W, H);
        Copy4(to[static_cast<std::size_t>(t.Y)] + 4 * static_cast<std::ptrdiff_t>(t.X), p.B);
    };
    const TFastWalk fast{[this, src, &rotation, &targetLines, W, H](int y0, int y1, const Bitmap* mask) {
                             // Tiles: a turn writes the target across its rows.
                             ForEachSpanInTiles(mask, y0, y1, W, 32, [&](int y, int a, int b) {
                                 const uint8_t* row = src->Row(y);
                                 for (int x = a; x < b; ++x) {
                                     const TPoint t = rotation.Map(x, y, W, H);
                                     Copy4(targetLines[static_cast<std::size_t>(t.Y)] +
                                               4 * static_cast<std::ptrdiff_t>(t.X),
                                           row + 4 * static_cast<std::ptrdiff_t>(x));
                                 }
                             });
                         },
                         true};
    return ScanPairWith(*src, targetLines, nullptr, std::move(routine), fast);
}

bool TEffects::FlipVertical(Bitmap& source, Bitmap& target, const TPixelBytes& background) {
    static const TFixedRotation r{false, [](int x, int y, int, int h) { return TPoint{x, h - 1 - y}; }};
    return FixedRotation(source, target, background, r);
}

bool TEffects::MirrorHorizontal(Bitmap& source, Bitmap& target, const TPixelBytes& background) {
    static const TFixedRotation r{false, [](int x, int y, int w, int) { return TPoint{w - 1 - x, y}; }};
    return FixedRotation(source, target, background, r);
}

bool TEffects::RotateLeft(Bitmap& source, Bitmap& target, const TPixelBytes& background) {
    static const TFixedRotation r{true, [](int x, int y, int w, int) { return TPoint{y, w - 1 - x}; }};
    return FixedRotation(source, target, background, r);
}

bool TEffects::RotateRight(Bitmap& source, Bitmap& target, const TPixelBytes& background) {
    static const TFixedRotation r{true, [](int x, int y, int, int h) { return TPoint{h - 1 - y, x}; }};
    return FixedRotation(source, target, background, r);
}

bool TEffects::RotateHalf(Bitmap& source, Bitmap& target, const TPixelBytes& background) {
    static const TFixedRotation r{false, [](int x, int y, int w, int h) {
                                      return TPoint{w - 1 - x, h - 1 - y};
                                  }};
    return FixedRotation(source, target, background, r);
}

TRotatedSize RotatedSize(int64_t W, int64_t H, double angle) {
    // Fold into the first quadrant for the size.
    double phi = angle;
    if (angle >= 3 * std::numbers::pi / 2)
        phi = kTwoPi - angle;
    else if (angle >= std::numbers::pi)
        phi = angle - std::numbers::pi;
    else if (angle >= std::numbers::pi / 2)
        phi = std::numbers::pi - angle;
    const double cphi = std::cos(phi), sphi = std::sin(phi);
    return {static_cast<int64_t>(std::nearbyint((W / 2.0 * cphi + H / 2.0 * sphi) * 2)),
            static_cast<int64_t>(std::nearbyint((W / 2.0 * sphi + H / 2.0 * cphi) * 2))};
}

bool TEffects::RotateAngle(Bitmap& source, Bitmap& target, const TPixelBytes& background, double angle) {
    if (!std::isfinite(angle) || source.Empty()) return false;
    // Into [0, 2 pi). Far-off angles are reduced exactly first so the loops
    // below stay short.
    if (std::fabs(angle) > 1e6) angle = std::fmod(angle, kTwoPi);
    while (angle < 0)
        angle += kTwoPi;
    while (angle >= kTwoPi)
        angle -= kTwoPi;

    static const TFixedRotation identity{false, [](int x, int y, int, int) { return TPoint{x, y}; }};
    if (std::fabs(angle) <= 1e-16) return FixedRotation(source, target, background, identity);
    if (SameAngle(angle, std::numbers::pi / 2)) return RotateLeft(source, target, background);
    if (SameAngle(angle, std::numbers::pi)) return RotateHalf(source, target, background);
    if (SameAngle(angle, 3 * std::numbers::pi / 2)) return RotateRight(source, target, background);

    Bitmap aliasCopy;
    Bitmap* src = ReadableSource(source, target, aliasCopy);
    const int W = src->Width(), H = src->Height();
    TRoundToNearest nearest;
    const TRotatedSize size = RotatedSize(W, H, angle);
    const int TW = static_cast<int>(size.Width), TH = static_cast<int>(size.Height);
    ShapeTarget(target, TW, TH);
    target.Fill(background.B, background.G, background.R, background.T);
    if (target.Empty()) return true;

    // A mask turns with the picture and then limits the walk over the target.
    Bitmap turnedMask;
    Bitmap* walkMask = nullptr;
    if (Masked && !MaskBitmap.Empty()) {
        Masked = false;
        struct TRestore {
            bool& flag;
            ~TRestore() { flag = true; }
        } restore{Masked};
        RotateAngle(MaskBitmap, turnedMask, MaskFillColour(), angle);
        walkMask = &turnedMask;
    }

    const double c = std::cos(angle), s = std::sin(angle);
    const int cx = W / 2, cy = H / 2, tx = TW / 2, ty = TH / 2;
    const TLines sourceLines = LinesOf(*src);
    auto sample = [W, H](const TLines& from, double fx, double fy, uint8_t* to) {
        const double rx = RoundHalfEven(fx), ry = RoundHalfEven(fy);
        if (rx >= 0 && rx < W && ry >= 0 && ry < H)
            Copy4(to, from[static_cast<std::size_t>(ry)] + 4 * static_cast<std::ptrdiff_t>(rx));
    };
    TScanPairEvent routine = [=](TPixelRef& p, int& x, int& y, const TLines& from, void*, bool&) {
        TRoundToNearest inside;
        const double DX = x - tx, DY = y - ty;
        sample(from, cx + DX * c - DY * s, cy + DX * s + DY * c, p.B);
    };
    // Band form: the column terms are computed once; per pixel the same two
    // sums as above remain, so the rounding is identical.
    std::vector<double> colX(static_cast<std::size_t>(TW)), colY(static_cast<std::size_t>(TW));
    for (int x = 0; x < TW; ++x) {
        const double DX = x - tx;
        colX[static_cast<std::size_t>(x)] = cx + DX * c;
        colY[static_cast<std::size_t>(x)] = cy + DX * s;
    }
    const TFastWalk fast{[&, TW](int y0, int y1, const Bitmap* mask) {
                             TRoundToNearest inside;
                             // Tiles: a target row reads the source along a slant.
                             ForEachSpanInTiles(mask, y0, y1, TW, 64, [&](int y, int a, int b) {
                                 const double DY = y - ty;
                                 const double ys = DY * s, yc = DY * c;
                                 uint8_t* row = target.Row(y);
                                 for (int x = a; x < b; ++x)
                                     sample(sourceLines, colX[static_cast<std::size_t>(x)] - ys,
                                            colY[static_cast<std::size_t>(x)] + yc,
                                            row + 4 * static_cast<std::ptrdiff_t>(x));
                             });
                         },
                         true};
    return ScanPairWith(target, sourceLines, nullptr, std::move(routine), fast, walkMask);
}

} // namespace pixora
