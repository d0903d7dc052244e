#include "doc/workspace.h"

namespace pixora {

Workspace::Workspace() {
    for (auto& slot : Images) {
        slot.ZoomNum = 1;
        slot.ZoomDen = 1;
    }
}

int Workspace::ActiveSlot() const {
    if (!Port) return -1;
    return Port->ActivePage();
}

void Workspace::CreateWorkBitmaps() {
    for (TWorkBitmap* w : {&Checkerboard, &TopRuler, &LeftRuler, &StrokeOverlay, &StrokeBase, &SelectionMask,
                           &EffectBrushSource, &CustomBrushBitmap, &FilterWork, &PatternBitmap}) {
        w->Bitmap = Bitmap(0, 0, 32);
        w->Refill();
    }
}

void Workspace::FreeWorkBitmaps() {
    for (TWorkBitmap* w : {&Checkerboard, &TopRuler, &LeftRuler, &StrokeOverlay, &StrokeBase, &SelectionMask,
                           &EffectBrushSource, &CustomBrushBitmap, &FilterWork, &PatternBitmap}) {
        w->Bitmap.Clear();
        w->Rows.Entries.clear();
    }
}

std::array<TWorkBitmap*, 6> Workspace::ImageSizedWorkBitmaps() {
    return {&Checkerboard, &StrokeOverlay, &StrokeBase, &SelectionMask, &EffectBrushSource, &FilterWork};
}

} // namespace pixora
