#include "tools/overlay_commit.h"

#include <algorithm>

#include "tools/selection_pixels.h"
#include "tools/shapes/gradient_fill.h"
#include "tools/shapes/soften_edges.h"

namespace pixora {

namespace {

void GradientMarks(const TOverlayCommit& k) {
    GradientFill(k.Image, k.Overlay, k.Gradient, 2, k.Foreground, k.Background, k.EditTest);
}

void SoftenMarks(const TOverlayCommit& k, int strength) {
    SoftenStrokeEdges(k.Image, k.Overlay, strength);
}

TStrokeColours ColoursOf(const TOverlayCommit& k) {
    return {k.Stroke, k.Fill, k.Foreground, k.Background};
}

} // namespace

const TCommitRules kStrokeCommitRules{&GradientMarks, &SoftenMarks};

TGradientSettings ReadGradientSettings(const ToolContext& c) {
    TGradientSettings g;
    g.Kind = c.Option(TOpt::GradientKind);
    g.Size = c.Option(TOpt::GradientSize);
    g.LeftPercent = c.Option(TOpt::GradientLeft);
    g.TopPercent = c.Option(TOpt::GradientTop);
    g.Depth = c.Option(TOpt::GradientDepth);
    g.TransparentFG = c.Option(TOpt::GradientTransparentFG) != 0;
    g.TransparentBG = c.Option(TOpt::GradientTransparentBG) != 0;
    return g;
}

TStrokeOptions ReadStrokeOptions(const ToolContext& c) {
    TStrokeOptions o;
    const TStrokeOptionIds& ids = c.StrokeOptions();
    const int occ = c.Option(ids.Occupancy);
    o.Occupancy = occ > 0 ? std::min(occ, 100) : 100;
    o.UseGradient = c.Option(ids.UseGradient) != 0;
    o.ChangeTransparency = c.Option(ids.ChangeTransparency) != 0;
    o.Soften = c.Option(ids.Antialiasing) != 0;
    o.SoftenStrength = c.Option(ids.SoftenStrength);
    return o;
}

void CompositeMarks(const TOverlayCommit& k) {
    PaintMarks(k.Image, nullptr, k.Overlay, k.Options, ColoursOf(k), true, k.EditTest);
}

void CommitOverlay(ToolContext& c, const TCommitRules& rules, bool clearOverlay) {
    Workspace& ws = c.Ws;
    TImages& s = c.Slot;
    const Bitmap& base = ws.StrokeBase.Bitmap;
    const TStrokeOptions options = ReadStrokeOptions(c);
    const SelectionEditTest test(ws);
    const TOverlayCommit commit{s.Bitmap,
                                ws.StrokeOverlay.Bitmap,
                                test,
                                c.StrokeColour(),
                                c.FillColour(),
                                s.FGColour,
                                s.BGColour,
                                options,
                                options.UseGradient ? ReadGradientSettings(c) : TGradientSettings{}};
    // Bitmap := StrokeBase. The flat blend copies each row from the base as
    // it paints it; the gradient starts from the restored image.
    const bool fused = !options.UseGradient && s.Bitmap.Width() == base.Width() &&
                       s.Bitmap.Height() == base.Height() && s.Bitmap.BitsPerPixel() == base.BitsPerPixel();
    if (!fused) RestoreFromBase(s.Bitmap, base);
    FillRowTable(s.Bitmap, s.Rows);
    if (!options.UseGradient)
        PaintMarks(s.Bitmap, fused ? &base : nullptr, commit.Overlay, options, ColoursOf(commit), true, test);
    else if (rules.Gradient)
        rules.Gradient(commit);
    if (options.Soften && rules.Soften) rules.Soften(commit, options.SoftenStrength);
    if (clearOverlay) WhiteImageSize(ws.StrokeOverlay, s.Bitmap);
}

} // namespace pixora
