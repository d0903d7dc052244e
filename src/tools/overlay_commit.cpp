#include "tools/overlay_commit.h"

#include <algorithm>

#include "tools/selection_pixels.h"

namespace pixora {

TGradientSettings ReadGradientSettings(const ToolContext& c) {
    TGradientSettings g;
    if (!c.Ws.Port) return g;
    g.Kind = c.Option("TForm41", "GradientKind");
    g.Size = c.Option("TForm41", "size");
    g.Left = c.Option("TForm41", "sedLeft");
    g.Top = c.Option("TForm41", "sedTop");
    g.Depth = c.Option("TForm41", "depth");
    g.TransparentFG = c.Option("TForm41", "TFG") != 0;
    g.TransparentBG = c.Option("TForm41", "TBG") != 0;
    return g;
}

TStrokeOptions ReadStrokeOptions(const ToolContext& c) {
    TStrokeOptions o;
    const int occ = c.BoxOption("Occ");
    o.Occupancy = occ > 0 ? std::min(occ, 100) : 100;
    o.UseGradient = c.BoxOption("UG") != 0;
    o.ChangeTransparency = c.BoxOption("CT") != 0;
    o.Soften = c.BoxOption("Anti") != 0;
    o.SoftenStrength = c.BoxOption("AP");
    return o;
}

void CompositeMarks(const TOverlayCommit& k) {
    Bitmap& image = k.Image;
    const Bitmap& overlay = k.Overlay;
    if (image.BitsPerPixel() != 32 || overlay.BitsPerPixel() != 32) return;
    const int w = std::min(image.Width(), overlay.Width()), h = std::min(image.Height(), overlay.Height());
    const int occ = k.Options.Occupancy, v = 100 - occ;
    // Per mark (red byte 0 outline, 1 interior) the colour's share of each byte.
    const uint8_t colours[2][3] = {{BlueOf(k.Stroke), GreenOf(k.Stroke), RedOf(k.Stroke)},
                                   {BlueOf(k.Fill), GreenOf(k.Fill), RedOf(k.Fill)}};
    for (int y = 0; y < h; ++y) {
        const uint8_t* o = overlay.Row(y);
        uint8_t* p = image.Row(y);
        for (int x = 0; x < w; ++x, o += 4, p += 4) {
            const uint8_t mark = o[2];
            if (mark > 1 || !k.EditTest.Test(x, y)) continue;
            const uint8_t* col = colours[mark];
            for (int i = 0; i < 3; ++i)
                p[i] = static_cast<uint8_t>(occ * col[i] / 100 + p[i] * v / 100);
            if (k.Options.ChangeTransparency) p[3] = 0;
        }
    }
}

void CommitOverlay(ToolContext& c, const TCommitRules& rules, bool clearOverlay) {
    Workspace& ws = c.Ws;
    TImages& s = c.Slot;
    const TStrokeOptions options = ReadStrokeOptions(c);
    s.Bitmap = ws.StrokeBase.Bitmap;
    FillRowTable(s.Bitmap, s.Rows);
    const SelectionEditTest test(ws);
    const TOverlayCommit commit{
        s.Bitmap, ws.StrokeOverlay.Bitmap, test, c.StrokeColour(), c.FillColour(), s.FGColour, s.BGColour,
        options,  ReadGradientSettings(c)};
    if (!options.UseGradient)
        CompositeMarks(commit);
    else if (rules.Gradient)
        rules.Gradient(commit);
    if (options.Soften && rules.Soften) rules.Soften(commit, options.SoftenStrength);
    if (clearOverlay) WhiteImageSize(ws.StrokeOverlay, s.Bitmap);
}

} // namespace pixora
