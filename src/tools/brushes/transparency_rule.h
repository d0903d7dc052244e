#pragma once
// Transparency Tools: change the fourth byte, never the colour bytes.
//
// "Pen", "Line", "Rectangle" and "Ellipse" collect their stroke as black
// marks in StrokeOverlay while the image only shows a not-xor preview; at
// release the image goes back to StrokeBase and every marked pixel's fourth
// byte becomes abs(TD) with "Force Value", else itself + TD clamped, once
// per stroke however often the stroke crossed it. "Spray" darkens the image
// as a preview and keeps the new fourth bytes in the overlay's fourth bytes,
// which are copied back at release. Only "Spray" consults the selection.

#include "doc/bitmap.h"
#include "doc/records.h"
#include "tools/selection.h"

namespace pixora {

enum TransparencyMode : int {
    TransparencyPen = 0,
    TransparencyLine = 1,
    TransparencyRectangle = 2,
    TransparencyEllipse = 3,
    TransparencySpray = 4,
};

// The "Transparency Options" box.
struct TTransparencyOptions {
    int Mode = TransparencySpray; // T
    int Size = 1;                 // Size: pen width, 1..20
    int SprayDiameter = 64;       // SR, 2..64
    int Difference = 0;           // TD, -255..255
    bool ForceValue = false;      // FV
};

// The press: overlay cleared to white; in "Spray" mode the image's fourth
// bytes are copied into it.
void BeginTransparencyStroke(const Bitmap& image, Bitmap& overlay, const TTransparencyOptions& o);

// "Pen", press and move: the segment from..to (width Size) inverted on the
// image as the preview and drawn black into the overlay.
void TransparencyPenSegment(Bitmap& image, Bitmap& overlay, TPoint from, TPoint to,
                            const TTransparencyOptions& o);

// "Line", "Rectangle", "Ellipse", press and move: the previous preview is
// taken away by restoring `shown` from base, then the shape from `from`
// (DownX, DownY) to the pointer is inverted on the image: a line of width
// Size, or the outline of width 1. `shown` becomes the area the new preview
// can have touched; start a stroke with an empty rectangle.
void TransparencyShapePreview(Bitmap& image, const Bitmap& base, TPoint from, TPoint to,
                              const TTransparencyOptions& o, TRect& shown);

// "Spray", press and move: the disc of diameter SR around centre. With
// g := d - r + 128 each colour byte of the image := byte x g div 128 (the
// preview), and the overlay's fourth byte := abs(TD) with "Force Value",
// else (T x g + abs(TD) x (r - d)) div 128 clamped, T the image's own,
// unless an earlier stamp of the stroke moved it farther from T.
void TransparencySprayStamp(Bitmap& image, Bitmap& overlay, TPoint centre, const TTransparencyOptions& o,
                            const SelectionEditTest& test);

// The release at `to` (shapes run from `from`): the final line, rectangle or
// ellipse goes into the overlay (black pen of width Size, black brush), the
// image is restored from base (in place when the sizes agree) and the
// fourth bytes are set as above.
void EndTransparencyStroke(Bitmap& image, const Bitmap& base, Bitmap& overlay, TPoint from, TPoint to,
                           const TTransparencyOptions& o);

} // namespace pixora
