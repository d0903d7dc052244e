#include "doc/tab_change.h"

#include "doc/checkerboard.h"
#include "doc/workspace.h"

namespace pixora {

void TabChange(Workspace& ws) {
    const int slot = ws.ActiveSlot();
    if (slot >= 0) {
        ws.BeforeImageReplaced();
        TImages& s = ws.Images[static_cast<std::size_t>(slot)];
        const int w = s.Bitmap.Width(), h = s.Bitmap.Height();
        for (TWorkBitmap* work : ws.ImageSizedWorkBitmaps()) {
            const bool sized = work->Bitmap.Width() != w || work->Bitmap.Height() != h;
            if (sized) work->Bitmap.SetSize(w, h);
            work->Refill();
            work->SizedAfresh = sized;
        }
        BuildCheckerBand(ws.Checkerboard.Bitmap, w, h);
        ws.Checkerboard.Refill();
        FillRowTable(s.Bitmap, s.Rows);
    }
    ws.Port->TabChange();
    FillRowTable(ws.DisplayCopy, ws.SysData.ScratchRows);
}

} // namespace pixora
