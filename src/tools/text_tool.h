#pragma once
// The text tool (tool 17): a press keeps a clean copy of the image and the
// point; the Text Editor box (TForm37) then shows the text there live and
// commits it when it closes. The text is drawn over the image and blended
// with the clean copy by the box's occupation.

#include <string>

#include "doc/canvas.h"
#include "tools/tool.h"

namespace pixora {

// What the Text Editor box holds.
struct TTextSettings {
    std::string Text;
    TFontStyle Font;             // face, height, weight, styles; Escapement = angle x 10
    bool ClearBackground = true; // "Clear Background"
    int32_t BackColour = 0xFFFFFF;
    int Occupancy = 100;         // 1..100
};

// `out` becomes `base` with the text drawn at (x, y), then blended with
// base: for every pixel and colour byte
//     base x (100 - Occ) div 100 + drawn x Occ div 100.
// Drawn pixels are opaque; the fourth byte is otherwise base's.
void RenderText(const Bitmap& base, const TTextSettings& t, int x, int y, Bitmap& out);

// The view shows the image pressed on with the text at the press point.
void PreviewText(Workspace& ws, const TTextSettings& t);
// The step "Text": the text goes into the image pressed on, over the image
// as it is now. Nothing when there is no text, or when that image is no
// longer the active one. The press is used up either way. Returns whether
// it committed.
bool CommitText(Workspace& ws, const TTextSettings& t);

class TextTool : public Tool {
public:
    void Chosen(ToolContext& c) override;
    void Press(ToolContext& c, int x, int y) override;
    // The slot of the last press not yet committed, or -1.
    int PressedSlot() const { return pressedSlot_; }
    void UsePress() { pressedSlot_ = -1; }

private:
    int pressedSlot_ = -1;
};

} // namespace pixora
