#pragma once
// The stamp brushes as tools: each is the pixel rule of its *_rule.h with
// the options it reads live, on the stamp the family hands it.
//
//   Spray (8)      TForm23 Size, thick, CT
//   Soften (9), Sharpen (10), Noise (11), Copy (12), Lighten (13),
//   Darken (14)    TForm24 size, CT
//   History (18)   TForm38 size, Occ; the source is StrokeBase, which holds
//                  the snapshot the Undo History dialog chose
//   Custom (19)    TForm40 Occ; the brush is CustomBrushBitmap
//   Eraser (21)    TForm43 ET, Size; the slot's canvas colour, no
//                  selection test, the flood fill at the press only
//   Effect (26)    TForm24 size; the source is EffectBrushSource
//
// The copy brush records the press point (DownX, DownY), around which it
// reads the image as it was at the press, and stamps on moves only.

#include "tools/brushes/stamp_brush_family.h"
#include "tools/brushes/stamp_random.h"

namespace pixora {

// A brush whose stamp is one function of the stamp, which paints it and
// returns the part of the image it may have changed.
template <TRect (*Paint)(const TStamp&)> class RuleBrush final : public StampBrushFamily {
protected:
    TRect PaintStamp(const TStamp& s) override { return Paint(s); }
};

TRect PaintSpray(const TStamp& s);
TRect PaintSoften(const TStamp& s);
TRect PaintSharpen(const TStamp& s);
TRect PaintLighten(const TStamp& s);
TRect PaintDarken(const TStamp& s);
TRect PaintHistory(const TStamp& s);
TRect PaintCustom(const TStamp& s);
TRect PaintErase(const TStamp& s);
TRect PaintEffect(const TStamp& s);

using SprayBrush = RuleBrush<&PaintSpray>;
using SoftenBrush = RuleBrush<&PaintSoften>;
using SharpenBrush = RuleBrush<&PaintSharpen>;
using LightenBrush = RuleBrush<&PaintLighten>;
using DarkenBrush = RuleBrush<&PaintDarken>;
using HistoryBrush = RuleBrush<&PaintHistory>;
using CustomBrush = RuleBrush<&PaintCustom>;
using Eraser = RuleBrush<&PaintErase>;
using EffectBrush = RuleBrush<&PaintEffect>;

class NoiseBrush final : public StampBrushFamily {
public:
    // The generator starts from the program's random numbers, which are
    // seeded from the clock once at start-up.
    NoiseBrush();

protected:
    TRect PaintStamp(const TStamp& s) override;

private:
    TStampRandom random_;
};

class CopyBrush final : public StampBrushFamily {
public:
    CopyBrush() : StampBrushFamily(StampOnMove) {}
    void Press(ToolContext& c, int x, int y) override;

protected:
    TRect PaintStamp(const TStamp& s) override;
};

} // namespace pixora
