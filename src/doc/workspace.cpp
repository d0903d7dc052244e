#include "doc/workspace.h"

#include <utility>

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

const TProgramPaths& Workspace::Paths() const {
    if (!paths_ || pathsFor_ != SysData.ExeDir) {
        paths_ = ResolveProgramPaths(SysData.ExeDir, ProcessPathEnvironment());
        pathsFor_ = SysData.ExeDir;
    }
    return *paths_;
}

void Workspace::UsePaths(TProgramPaths paths) {
    paths_ = std::move(paths);
    pathsFor_ = SysData.ExeDir;
}

} // namespace pixora
