#include "doc/tab_change.h"

#include <array>

#include "doc/checkerboard.h"
#include "doc/workspace.h"

namespace pixora {

void TabChange(Workspace& ws) {
    const int slot = ws.ActiveSlot();
    if (slot >= 0) {
        ws.BeforeImageReplaced();
        TImages& s = ws.Images[static_cast<std::size_t>(slot)];
        const int w = s.Bitmap.Width(), h = s.Bitmap.Height();
        const auto works = ws.ImageSizedWorkBitmaps();
        std::array<bool, std::tuple_size_v<decltype(works)>> sized{};
        for (std::size_t i = 0; i < works.size(); ++i)
            if (works[i]->Bitmap.Width() != w || works[i]->Bitmap.Height() != h) {
                works[i]->Bitmap.SetSize(w, h);
                sized[i] = true;
            }
        BuildCheckerBand(ws.Checkerboard.Bitmap, w, h);
        ws.Checkerboard.Refill();
        FillRowTable(s.Bitmap, s.Rows);
        for (std::size_t i = 0; i < works.size(); ++i) {
            works[i]->Refill();
            works[i]->SizedAfresh = sized[i];
        }
    }
    ws.Port->TabChange();
    FillRowTable(ws.DisplayCopy, ws.SysData.ScratchRows);
}

} // namespace pixora
