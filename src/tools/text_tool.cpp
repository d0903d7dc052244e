#include "tools/text_tool.h"

#include <algorithm>

#include "doc/checkerboard.h"
#include "history/history_store.h"
#include "tools/selection.h"
#include "tools/tool_set.h"
#include "tools/tool_table.h"

namespace pixora {

namespace {

// The text tool of a workspace's set.
TextTool* TextToolOf(Workspace& ws) {
    return dynamic_cast<TextTool*>(ToolsOf(ws).For(ToolText));
}

// The slot pressed on, while it is the active one, or null.
TImages* PressedImage(Workspace& ws) {
    const TextTool* tool = TextToolOf(ws);
    const TActiveImage shown = ws.ActivePicture();
    return tool && shown && shown.Slot == tool->PressedSlot() ? shown.Image : nullptr;
}

} // namespace

void RenderText(const Bitmap& base, const TTextSettings& t, int x, int y, Bitmap& out) {
    out = base;
    out.SetBitsPerPixel(32);
    Canvas canvas(out);
    canvas.Font = t.Font;
    canvas.Font.Colour = 0; // the drawing surface's font colour
    canvas.BrushColour = t.BackColour;
    canvas.BrushClear = t.ClearBackground;
    canvas.TextOut(x, y, t.Text);
    const int occ = std::clamp(t.Occupancy, 0, 100), keep = 100 - occ;
    const int w = std::min(out.Width(), base.Width()), h = std::min(out.Height(), base.Height());
    const int bpp = base.BytesPerPixel();
    if (bpp < 3) return;
    for (int row = 0; row < h; ++row) {
        const uint8_t* b = base.Row(row);
        uint8_t* d = out.Row(row);
        for (int col = 0; col < w; ++col, b += bpp, d += 4)
            for (int i = 0; i < 3; ++i) d[i] = static_cast<uint8_t>(b[i] * keep / 100 + d[i] * occ / 100);
    }
}

void PreviewText(Workspace& ws, const TTextSettings& t) {
    TImages* s = PressedImage(ws);
    if (!s) return;
    Bitmap shown;
    RenderText(s->Bitmap, t, s->DownX, s->DownY, shown);
    MakeDisplayCopy(shown, ws.Checkerboard.Bitmap, ws.DisplayCopy, true);
    FillRowTable(ws.DisplayCopy, ws.SysData.ScratchRows);
    ws.Port->RepaintView();
}

bool CommitText(Workspace& ws, const TTextSettings& t) {
    TImages* s = PressedImage(ws);
    if (TextTool* tool = TextToolOf(ws)) tool->UsePress();
    if (!s) return false;
    if (t.Text.empty()) {
        // Nothing to add: the preview goes away.
        ws.Port->RefreshView();
        return false;
    }
    // The image is the clean base: the preview never touched it, and
    // whatever changed it while the box was open (an undo) is kept.
    if (!PushHistory(ws)) return false;
    NameHistoryStep(ws, "Text");
    Bitmap result;
    RenderText(s->Bitmap, t, s->DownX, s->DownY, result);
    s->Bitmap = std::move(result);
    FillRowTable(s->Bitmap, s->Rows);
    ws.Port->RefreshView();
    return true;
}

void TextTool::Chosen(ToolContext& c) {
    ForgetSelection(c.Vars);
}

void TextTool::Press(ToolContext& c, int x, int y) {
    c.Ws.StrokeBase.Bitmap = c.Slot.Bitmap;
    c.Ws.StrokeBase.Bitmap.SetBitsPerPixel(32);
    c.Ws.StrokeBase.Refill();
    c.Vars.RefreshAfter = 0;
    c.Slot.DownX = x;
    c.Slot.DownY = y;
    pressedSlot_ = c.SlotIndex;
    c.Ws.Port->TextToolPressed();
}

} // namespace pixora
