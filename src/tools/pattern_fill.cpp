#include "tools/pattern_fill.h"

#include <algorithm>
#include <cstring>

#include "history/changed_step.h"
#include "history/history_store.h"
#include "io/codecs/image_codecs.h"
#include "tools/clipboard.h"
#include "tools/tool_table.h"

namespace pixora {

namespace {

constexpr int kOpenError = 2; // the error box's text for reading a file
constexpr int kSaveError = 1; // and for writing one

bool LoadEntry(Workspace& ws, const TLibrary& library, int k, Bitmap& into) {
    if (k < 1 || k > library.Count()) return false;
    try {
        into = library.Load(k);
        return !into.Empty();
    } catch (const std::exception& e) {
        ws.Port->ReportError(kOpenError, e.what());
        return false;
    }
}

int Store(Workspace& ws, const TLibrary& library, const Bitmap& image) {
    if (image.Empty()) return 0;
    try {
        return library.Add(image);
    } catch (const std::exception& e) {
        ws.Port->ReportError(kSaveError, e.what());
        return 0;
    }
}

} // namespace

void TilePattern(Bitmap& image, const Bitmap& pattern, int occupancy, const SelectionEditTest& test) {
    if (image.BitsPerPixel() != 32 || pattern.Empty() || pattern.BytesPerPixel() < 3) return;
    const int occ = std::clamp(occupancy, 0, 100), keep = 100 - occ;
    const int pw = pattern.Width(), ph = pattern.Height(), bpp = pattern.BytesPerPixel();
    for (int y = 0; y < image.Height(); ++y) {
        const uint8_t* row = pattern.Row(y % ph);
        uint8_t* p = image.Row(y);
        for (int x = 0; x < image.Width(); ++x, p += 4) {
            if (!test.Test(x, y)) continue;
            const uint8_t* q = row + static_cast<std::size_t>(x % pw) * bpp;
            for (int i = 0; i < 3; ++i)
                p[i] = static_cast<uint8_t>(q[i] * occ / 100 + p[i] * keep / 100);
        }
    }
}

bool FillWithPattern(Workspace& ws, const TLibrary& patterns, int k, int occupancy) {
    if (!ws.ActiveImage()) return false;
    Bitmap pattern;
    if (!LoadEntry(ws, patterns, k, pattern)) return false;
    const TActiveImage active = ws.ActiveImage();
    TImages& s = *active;
    s.Bitmap.SetBitsPerPixel(32);
    FillRowTable(s.Bitmap, s.Rows);
    Bitmap before = s.Bitmap;
    TilePattern(s.Bitmap, pattern, occupancy, SelectionEditTest(ws));
    // A fill that leaves every pixel as it was (no occupancy, say) makes no step.
    const TStepStore stored = StoreStepIfChanged(ws, active.Slot, before, "Pattern Fill");
    ws.Port->RefreshView();
    return stored != TStepStore::Failed;
}

bool UseLibraryBrush(Workspace& ws, const TLibrary& brushes, int k) {
    const TActiveImage active = ws.ActiveImage();
    if (!active || active->Tool != ToolCustomBrush) return false;
    Bitmap brush;
    if (!LoadEntry(ws, brushes, k, brush)) return false;
    ws.CustomBrushBitmap.Bitmap = std::move(brush);
    ws.CustomBrushBitmap.Refill();
    ws.Port->RefreshView();
    return true;
}

int ImportIntoLibrary(Workspace& ws, const TLibrary& library, const std::string& path) {
    Bitmap picture;
    try {
        picture = LoadImageFile(path, FormatFromExtension(path));
    } catch (const std::exception& e) {
        ws.Port->ReportError(kOpenError, e.what());
        return 0;
    }
    return Store(ws, library, picture);
}

int ArchiveAsPattern(Workspace& ws, const TLibrary& patterns) {
    if (!HasToolSelection(ws) || SelectionType(ws) != SelRectangle) return 0;
    return Store(ws, patterns, ws.ToolVars.FloatBitmap);
}

int ArchiveAsBrush(Workspace& ws, const TLibrary& brushes) {
    if (!HasToolSelection(ws)) return 0;
    const Bitmap& floating = ws.ToolVars.FloatBitmap;
    const Bitmap& mask = ws.SelectionMask.Bitmap;
    if (floating.BitsPerPixel() != 32 || mask.BitsPerPixel() != 32) return 0;
    Bitmap brush(floating.Width(), floating.Height(), 32);
    brush.Fill(255, 255, 255, 0);
    const int w = std::min(floating.Width(), mask.Width()), h = std::min(floating.Height(), mask.Height());
    for (int y = 0; y < h; ++y) {
        const uint8_t* m = mask.Row(y);
        const uint8_t* f = floating.Row(y);
        uint8_t* b = brush.Row(y);
        for (int x = 0; x < w; ++x)
            if (m[x * 4] == 0) std::memcpy(b + x * 4, f + x * 4, 4);
    }
    return Store(ws, brushes, brush);
}

} // namespace pixora
