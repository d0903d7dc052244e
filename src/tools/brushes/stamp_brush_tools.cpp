#include "tools/brushes/stamp_brush_tools.h"

#include <cstdlib>

#include "tools/brushes/copy_brush_rule.h"
#include "tools/brushes/custom_brush_rule.h"
#include "tools/brushes/eraser_rule.h"
#include "tools/brushes/lighten_darken_rule.h"
#include "tools/brushes/noise_rule.h"
#include "tools/brushes/sharpen_rule.h"
#include "tools/brushes/soften_rule.h"
#include "tools/brushes/source_brush_rule.h"
#include "tools/brushes/spray_rule.h"

namespace pixora {

namespace {

// The disc of the stamp with the diameter of a control.
TDisc Disc(const TStamp& s, int diameter) {
    return {s.Cx, s.Cy, diameter};
}

TEraserOptions EraserOptions(const ToolContext& c) {
    return {c.Option(TOpt::EraserType), c.Option(TOpt::EraserSize)};
}

// The retouching brushes' "Change Transparency".
bool ChangesTransparency(const TStamp& s) {
    return s.Option(TOpt::BrushChangeTransparency) != 0;
}

} // namespace

int SprayDiameter(const ToolContext& c) {
    return c.Option(TOpt::SpraySize);
}
int BrushDiameter(const ToolContext& c) {
    return c.Option(TOpt::BrushSize);
}
int HistoryDiameter(const ToolContext& c) {
    return c.Option(TOpt::HistoryBrushSize);
}

std::optional<TStampOutline> CustomOutline(const ToolContext& c, TPoint p) {
    const Bitmap& brush = c.Ws.CustomBrushBitmap.Bitmap;
    if (brush.Empty()) return std::nullopt;
    return TStampOutline{CustomBrushReach(brush, p), false};
}

std::optional<TStampOutline> EraserOutline(const ToolContext& c, TPoint p) {
    const TEraserOptions o = EraserOptions(c);
    if (o.Type == EraserFloodfill) return std::nullopt;
    return TStampOutline{EraserBox(p.X, p.Y, o), o.Type == EraserEllipse};
}

TRect PaintSpray(const TStamp& s) {
    const TDisc disc = Disc(s, SprayDiameter(s.C));
    SprayStamp(s.Image, disc, {s.Option(TOpt::SprayThickness), s.Option(TOpt::SprayChangeTransparency) != 0},
               s.Colour, s.EditTest);
    return disc.Reach();
}

TRect PaintSoften(const TStamp& s) {
    const TDisc disc = Disc(s, BrushDiameter(s.C));
    SoftenStamp(s.Image, disc, ChangesTransparency(s), s.EditTest);
    return disc.Reach();
}

TRect PaintSharpen(const TStamp& s) {
    const TDisc disc = Disc(s, BrushDiameter(s.C));
    SharpenStamp(s.Image, disc, ChangesTransparency(s), s.EditTest);
    return disc.Reach();
}

NoiseBrush::NoiseBrush() : random_(static_cast<uint64_t>(std::rand())) {}

TRect NoiseBrush::PaintStamp(const TStamp& s) {
    const TDisc disc = Disc(s, BrushDiameter(s.C));
    NoiseStamp(s.Image, disc, ChangesTransparency(s), random_, s.EditTest);
    return disc.Reach();
}

void CopyBrush::Press(ToolContext& c, int x, int y) {
    c.Slot.DownX = x;
    c.Slot.DownY = y;
    StampBrushFamily::Press(c, x, y);
}

TRect CopyBrush::PaintStamp(const TStamp& s) {
    const TImages& slot = s.C.Slot;
    const TDisc disc = Disc(s, BrushDiameter(s.C));
    CopyBrushStamp(s.Image, s.StrokeBase, disc, {slot.DownX, slot.DownY}, ChangesTransparency(s), s.EditTest);
    return disc.Reach();
}

TRect PaintLighten(const TStamp& s) {
    const TDisc disc = Disc(s, BrushDiameter(s.C));
    LightenStamp(s.Image, disc, ChangesTransparency(s), s.EditTest);
    return disc.Reach();
}

TRect PaintDarken(const TStamp& s) {
    const TDisc disc = Disc(s, BrushDiameter(s.C));
    DarkenStamp(s.Image, disc, ChangesTransparency(s), s.EditTest);
    return disc.Reach();
}

TRect PaintHistory(const TStamp& s) {
    const TDisc disc = Disc(s, HistoryDiameter(s.C));
    HistoryBrushStamp(s.Image, s.StrokeBase, disc, s.Option(TOpt::HistoryBrushOccupation), s.EditTest);
    return disc.Reach();
}

TRect PaintCustom(const TStamp& s) {
    const Bitmap& brush = s.C.Ws.CustomBrushBitmap.Bitmap;
    CustomBrushStamp(s.Image, brush, {s.Cx, s.Cy}, s.Option(TOpt::CustomBrushOccupation), s.EditTest);
    return CustomBrushReach(brush, {s.Cx, s.Cy});
}

TRect PaintErase(const TStamp& s) {
    const TEraserOptions o = EraserOptions(s.C);
    const bool press = s.Event == StampOnPress;
    EraserStamp(s.Image, s.Cx, s.Cy, o, s.C.Slot.CanvasColour, press);
    return EraserReach(s.Image, s.Cx, s.Cy, o, press);
}

TRect PaintEffect(const TStamp& s) {
    const TDisc disc = Disc(s, BrushDiameter(s.C));
    EffectBrushStamp(s.Image, s.C.Ws.EffectBrushSource.Bitmap, disc, s.EditTest);
    return disc.Reach();
}

} // namespace pixora
