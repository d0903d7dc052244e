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

// The retouching brushes' "Change Transparency".
bool ChangesTransparency(const TStamp& s) {
    return s.Option(TOpt::BrushChangeTransparency) != 0;
}

} // namespace

void PaintSpray(const TStamp& s) {
    SprayStamp(s.Image, Disc(s, s.Option(TOpt::SpraySize)),
               {s.Option(TOpt::SprayThickness), s.Option(TOpt::SprayChangeTransparency) != 0}, s.Colour,
               s.EditTest);
}

void PaintSoften(const TStamp& s) {
    SoftenStamp(s.Image, Disc(s, s.Option(TOpt::BrushSize)), ChangesTransparency(s), s.EditTest);
}

void PaintSharpen(const TStamp& s) {
    SharpenStamp(s.Image, Disc(s, s.Option(TOpt::BrushSize)), ChangesTransparency(s), s.EditTest);
}

NoiseBrush::NoiseBrush() : random_(static_cast<uint64_t>(std::rand())) {}

void NoiseBrush::PaintStamp(const TStamp& s) {
    NoiseStamp(s.Image, Disc(s, s.Option(TOpt::BrushSize)), ChangesTransparency(s), random_, s.EditTest);
}

void CopyBrush::Press(ToolContext& c, int x, int y) {
    c.Slot.DownX = x;
    c.Slot.DownY = y;
    StampBrushFamily::Press(c, x, y);
}

void CopyBrush::PaintStamp(const TStamp& s) {
    const TImages& slot = s.C.Slot;
    CopyBrushStamp(s.Image, s.StrokeBase, Disc(s, s.Option(TOpt::BrushSize)), {slot.DownX, slot.DownY},
                   ChangesTransparency(s), s.EditTest);
}

void PaintLighten(const TStamp& s) {
    LightenStamp(s.Image, Disc(s, s.Option(TOpt::BrushSize)), ChangesTransparency(s), s.EditTest);
}

void PaintDarken(const TStamp& s) {
    DarkenStamp(s.Image, Disc(s, s.Option(TOpt::BrushSize)), ChangesTransparency(s), s.EditTest);
}

void PaintHistory(const TStamp& s) {
    HistoryBrushStamp(s.Image, s.StrokeBase, Disc(s, s.Option(TOpt::HistoryBrushSize)),
                      s.Option(TOpt::HistoryBrushOccupation), s.EditTest);
}

void PaintCustom(const TStamp& s) {
    CustomBrushStamp(s.Image, s.C.Ws.CustomBrushBitmap.Bitmap, {s.Cx, s.Cy}, s.Option(TOpt::CustomBrushOccupation),
                     s.EditTest);
}

void PaintErase(const TStamp& s) {
    const TEraserOptions o{s.Option(TOpt::EraserType), s.Option(TOpt::EraserSize)};
    EraserStamp(s.Image, s.Cx, s.Cy, o, s.C.Slot.CanvasColour, s.Event == StampOnPress);
}

void PaintEffect(const TStamp& s) {
    EffectBrushStamp(s.Image, s.C.Ws.EffectBrushSource.Bitmap, Disc(s, s.Option(TOpt::BrushSize)),
                     s.EditTest);
}

} // namespace pixora
