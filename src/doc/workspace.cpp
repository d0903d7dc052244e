#include "doc/workspace.h"

#include <utility>

namespace pixora {

Workspace::Workspace() {
    for (auto& slot : Images) {
        slot.ZoomNum = 1;
        slot.ZoomDen = 1;
    }
}

Workspace::~Workspace() {
    // The tools go first: they may hold on to the workspace's bitmaps.
    ToolSetStorage.reset();
}

void Workspace::SubscribeBeforeImageReplaced(std::function<void()> run) {
    beforeImageReplaced_.push_back(std::move(run));
}

void Workspace::BeforeImageReplaced() {
    for (const auto& run : beforeImageReplaced_)
        run();
}

int Workspace::ActiveSlot() const {
    return Port->ActivePage();
}

TActiveOf<const TImages> Workspace::ActiveImage() const {
    const int slot = ActiveSlot();
    if (!HasOpenImage() || slot < 0 || slot >= kSlotCount) return {};
    return {slot, &Images[static_cast<std::size_t>(slot)]};
}

TActiveImage Workspace::ActiveImage() {
    const auto active = std::as_const(*this).ActiveImage();
    return {active.Slot, const_cast<TImages*>(active.Image)};
}

TActiveImage Workspace::ActivePicture() {
    const TActiveImage active = ActiveImage();
    return active && active->InUse && !active->Bitmap.Empty() ? active : TActiveImage{};
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

std::array<TWorkBitmap*, 5> Workspace::ImageSizedWorkBitmaps() {
    return {&StrokeOverlay, &StrokeBase, &SelectionMask, &EffectBrushSource, &FilterWork};
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
