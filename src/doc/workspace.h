#pragma once
// The one object that owns all of the editor's state: the slot table, the
// application and tool records and the work bitmaps. The application makes
// one; every test makes a fresh one.

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "doc/changed_area.h"
#include "doc/paths.h"
#include "doc/records.h"
#include "doc/window_port.h"

namespace pixora {

// What a higher layer keeps in the workspace (the tools keep their tool
// set here, made on first use), so that a fresh workspace starts with fresh
// state of every layer and two workspaces share none.
class WorkspaceExtension {
public:
    virtual ~WorkspaceExtension() = default;
};

// The image on the active tab page and its slot number, or nothing (false)
// while no image is open or no page is active.
template <class T> struct TActiveOf {
    int Slot = -1;
    T* Image = nullptr;

    explicit operator bool() const { return Image != nullptr; }
    T* operator->() const { return Image; }
    T& operator*() const { return *Image; }
};
using TActiveImage = TActiveOf<TImages>;

class Workspace {
public:
    Workspace();
    ~Workspace();
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    std::array<TImages, kSlotCount> Images;
    TSysData SysData;
    TToolVars ToolVars;

    // The ten global work bitmaps. The five image-sized ones follow the
    // active slot's Bitmap on every tab change; the checkerboard is the band
    // of its rows that repeats down the image (BuildCheckerBand).
    TWorkBitmap Checkerboard;
    TWorkBitmap TopRuler;
    TWorkBitmap LeftRuler;
    TWorkBitmap StrokeOverlay;
    TWorkBitmap StrokeBase;
    TWorkBitmap SelectionMask;
    TWorkBitmap EffectBrushSource;
    TWorkBitmap CustomBrushBitmap;
    TWorkBitmap FilterWork;
    TWorkBitmap PatternBitmap;

    // The view's display copy of the active Bitmap; its rows are listed in
    // SysData.ScratchRows. Transparency is blended into this copy only.
    Bitmap DisplayCopy;
    // What the tool's pointer event has changed in the active image so far
    // (the tool dispatcher resets it before each event and redraws that part).
    TChangedArea ViewChanged;

    // Set by the window (or a test's stand-in); until then, and after it is
    // set to null, a port that does nothing and shows no tab page.
    TPortSlot Port;
    // Whether a window (or a stand-in) is set.
    bool HasWindow() const { return Port.HasWindow(); }

    // Index of the active slot (the active tab page), or -1.
    int ActiveSlot() const;
    // The way to the image being edited: the active slot's image while an
    // image is open and a page is active, else nothing.
    TActiveImage ActiveImage();
    TActiveOf<const TImages> ActiveImage() const;
    // The same while that image also holds a picture (in use, not empty).
    TActiveImage ActivePicture();
    // The active slot's image, unchecked: only where an image is known to be shown.
    TImages& Active() { return Images[static_cast<std::size_t>(ActiveSlot())]; }
    bool HasOpenImage() const { return SysData.OpenCount >= 0; }

    void CreateWorkBitmaps();
    void FreeWorkBitmaps();
    // The image-sized work bitmaps, in a fixed order.
    std::array<TWorkBitmap*, 5> ImageSizedWorkBitmaps();

    // Where the program's files live, decided from ExeDir and the process
    // environment on first use after ExeDir is set (or changed).
    const TProgramPaths& Paths() const;
    // Fixes the paths for the rest of the run (or until ExeDir changes).
    void UsePaths(TProgramPaths paths);

    // "Before the image is replaced": undo, redo, a layer choice and the tab
    // change run this before the image on screen changes, so that whatever
    // floats over the image (a selection of the selection tool) goes into
    // the image it belongs to first. The tools subscribe when their set is
    // made; subscribers run in the order they came.
    void SubscribeBeforeImageReplaced(std::function<void()> run);
    void BeforeImageReplaced();

    // The tool set (tools/tool_set.h); empty until the tools first ask for it.
    std::unique_ptr<WorkspaceExtension> ToolSetStorage;
    // The effects engine the filter windows share (effects/filter_framework.h).
    std::unique_ptr<WorkspaceExtension> EffectsStorage;
    // What the undo store keeps between steps (history/history_store.cpp).
    std::unique_ptr<WorkspaceExtension> HistoryStorage;

private:
    std::vector<std::function<void()>> beforeImageReplaced_;
    mutable std::optional<TProgramPaths> paths_;
    mutable std::string pathsFor_;
};

} // namespace pixora
