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

#include <optional>

#include "tools/brushes/disc_stamp_rule.h"
#include "tools/brushes/stamp_brush_family.h"
#include "tools/brushes/stamp_random.h"

namespace pixora {

// Where a brush's stamp at a point lies, with its options as they are now
// (the paint rules below stamp the same).
using StampOutlineRule = std::optional<TStampOutline> (*)(const ToolContext&, TPoint);

// A brush whose stamp is one function of the stamp, which paints it and
// returns the part of the image it may have changed, and one of the
// outline rules.
template <TRect (*Paint)(const TStamp&), StampOutlineRule Outline>
class RuleBrush final : public StampBrushFamily {
public:
    std::optional<TStampOutline> StampOutline(const ToolContext& c, int x, int y) const override {
        return Outline(c, {x, y});
    }

protected:
    TRect PaintStamp(const TStamp& s) override { return Paint(s); }
};

// The diameters of the disc brushes, by the control each reads.
int SprayDiameter(const ToolContext& c);   // the spray's size
int BrushDiameter(const ToolContext& c);   // the retouching and effect brushes' size
int HistoryDiameter(const ToolContext& c); // the history brush's size

// The disc of the diameter a rule reads, around the point.
template <int (*Diameter)(const ToolContext&)>
std::optional<TStampOutline> DiscOutline(const ToolContext& c, TPoint p) {
    return TStampOutline{TDisc{p.X, p.Y, Diameter(c)}.Reach(), true};
}
// The custom brush's picture centred on the point.
std::optional<TStampOutline> CustomOutline(const ToolContext& c, TPoint p);
// The eraser's square or ellipse from the point; nothing for its flood fill.
std::optional<TStampOutline> EraserOutline(const ToolContext& c, TPoint p);

TRect PaintSpray(const TStamp& s);
TRect PaintSoften(const TStamp& s);
TRect PaintSharpen(const TStamp& s);
TRect PaintLighten(const TStamp& s);
TRect PaintDarken(const TStamp& s);
TRect PaintHistory(const TStamp& s);
TRect PaintCustom(const TStamp& s);
TRect PaintErase(const TStamp& s);
TRect PaintEffect(const TStamp& s);

using SprayBrush = RuleBrush<&PaintSpray, &DiscOutline<&SprayDiameter>>;
using SoftenBrush = RuleBrush<&PaintSoften, &DiscOutline<&BrushDiameter>>;
using SharpenBrush = RuleBrush<&PaintSharpen, &DiscOutline<&BrushDiameter>>;
using LightenBrush = RuleBrush<&PaintLighten, &DiscOutline<&BrushDiameter>>;
using DarkenBrush = RuleBrush<&PaintDarken, &DiscOutline<&BrushDiameter>>;
using HistoryBrush = RuleBrush<&PaintHistory, &DiscOutline<&HistoryDiameter>>;
using CustomBrush = RuleBrush<&PaintCustom, &CustomOutline>;
using Eraser = RuleBrush<&PaintErase, &EraserOutline>;
using EffectBrush = RuleBrush<&PaintEffect, &DiscOutline<&BrushDiameter>>;

class NoiseBrush final : public StampBrushFamily {
public:
    // The generator starts from the program's random numbers, which are
    // seeded from the clock once at start-up.
    NoiseBrush();
    std::optional<TStampOutline> StampOutline(const ToolContext& c, int x, int y) const override {
        return DiscOutline<&BrushDiameter>(c, {x, y});
    }

protected:
    TRect PaintStamp(const TStamp& s) override;

private:
    TStampRandom random_;
};

class CopyBrush final : public StampBrushFamily {
public:
    CopyBrush() : StampBrushFamily(StampOnMove) {}
    void Press(ToolContext& c, int x, int y) override;
    std::optional<TStampOutline> StampOutline(const ToolContext& c, int x, int y) const override {
        return DiscOutline<&BrushDiameter>(c, {x, y});
    }

protected:
    TRect PaintStamp(const TStamp& s) override;
};

} // namespace pixora
