#include "history/history_store.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>

#include "doc/resample.h"
#include "doc/tab_change.h"
#include "doc/thumbnail_fit.h"
#include "history/history_budget.h"
#include "history/history_folder.h"
#include "history/history_index.h"
#include "history/history_storage.h"
#include "history/tile_snapshot.h"
#include "io/codecs/format_codecs.h"

namespace pixora {

THistoryStorage& StorageOf(Workspace& ws) {
    if (!ws.HistoryStorage) ws.HistoryStorage = std::make_unique<THistoryStorage>();
    return static_cast<THistoryStorage&>(*ws.HistoryStorage);
}

TSlotBase& BaseOf(Workspace& ws, int slot) {
    return StorageOf(ws).Bases[slot];
}

void ReportHistoryProblem(Workspace& ws, const std::string& headline, const std::exception& e) {
    ws.Port->ReportProblem(headline, e.what());
}

void ForgetStepsFrom(Workspace& ws, int slot, int from) {
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    const int last = NewestFile(ws, slot);
    if (from < 1 || from > last) return;
    for (int j = from; j <= last; ++j) std::remove(SnapshotPath(ws, slot, j).c_str());
    for (int j = from; j <= s.HistoryCount; ++j) s.HistoryEntry(j).Thumb = Bitmap();
    s.HistoryCount = std::min(s.HistoryCount, from - 1);
    s.HistoryPos = std::min(s.HistoryPos, s.HistoryCount);
    TSlotBase& base = BaseOf(ws, slot);
    if (base.Index >= from) base.Index = -1;
    NoteHistoryChange(ws, slot);
}

int NewestFile(Workspace& ws, int slot) {
    const int count = ws.Images[static_cast<std::size_t>(slot)].HistoryCount;
    return BaseOf(ws, slot).Index == count + 1 ? count + 1 : count;
}

void NoteHistoryChange(Workspace& ws, int slot) {
    const TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    const std::string path = HistoryIndexPath(HistoryDir(ws), slot);
    if (!s.InUse || s.HistoryCount < 1) {
        StorageOf(ws).Writer.Post(slot, 0, [path] { std::remove(path.c_str()); });
        return;
    }
    THistoryIndex index;
    index.Name = s.FileName;
    index.HadFile = s.HasFile != 0;
    index.Width = s.Bitmap.Width();
    index.Height = s.Bitmap.Height();
    index.Pos = s.HistoryPos;
    index.Count = s.HistoryCount;
    index.Newest = NewestFile(ws, slot) == s.HistoryCount + 1;
    for (int j = 1; j <= s.HistoryCount + 1; ++j) index.Names.push_back(HistoryName(s, j));
    index.Written = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::system_clock::now().time_since_epoch())
                        .count();
    // Behind the files it names. The index only helps a later run after a
    // crash: a failure to write it is not the step's, and the next change
    // writes it again.
    StorageOf(ws).Writer.Post(slot, 0, [path, index = std::move(index)] {
        try {
            WriteHistoryIndex(path, index);
        } catch (const std::exception&) {
        }
    });
}

void WaitForStoredSteps(Workspace& ws) {
    if (!ws.HistoryStorage) return;
    THistoryStorage& storage = StorageOf(ws);
    storage.Writer.Finish();
    bool changed = false;
    for (const TStepFailure& f : storage.Writer.TakeFailures()) {
        // The step is gone, and so is every later one standing on it; the
        // image stays as it is.
        ForgetStepsFrom(ws, f.Slot, f.Step);
        ws.Port->ReportProblem("Could not store the undo step.",
                               f.Message + " The image keeps its changes; the steps from that one on are gone.");
        changed = true;
    }
    if (changed) {
        ws.Port->RefreshHistoryMenus();
        ws.Port->UpdateCommandStates();
    }
}

namespace {

// Holds the slots whose steps were stored since to the budget. Only where a
// step is about to be stored: dropping the oldest steps renumbers them.
void HoldToBudget(Workspace& ws) {
    std::map<int, bool> unchecked;
    unchecked.swap(StorageOf(ws).Unchecked);
    for (const auto& [slot, pending] : unchecked)
        if (pending && ws.Images[static_cast<std::size_t>(slot)].InUse) KeepWithinBudget(ws, slot);
}

// What a snapshot about to be stored holds.
struct TSnapshotPlan {
    bool Stored = false;  // the file holds the image already
    bool Partial = false;
    std::vector<TTileIndex> Tiles;
};

// Nothing when snapshot k is the kept state and the image did not change
// since; only the changed tiles when snapshot k - 1 is the kept state and
// less than half of the image changed; else the whole image.
TSnapshotPlan PlanSnapshot(Workspace& ws, int slot, int k) {
    const Bitmap& image = ws.Images[static_cast<std::size_t>(slot)].Bitmap;
    TSlotBase& base = BaseOf(ws, slot);
    TSnapshotPlan plan;
    if (base.OnFileOnly) {
        // Given back for the edit being stored: that step's snapshot is on
        // file; any other finds nothing to compare with.
        base.OnFileOnly = false;
        if (base.Index == k) {
            plan.Stored = true;
            return plan;
        }
        base.Index = -1;
    }
    const bool sameShape = image.BitsPerPixel() == 32 && base.Image.BitsPerPixel() == 32 &&
                           base.Image.Width() == image.Width() && base.Image.Height() == image.Height();
    if (sameShape && base.Index == k) {
        plan.Stored = ChangedTiles(base.Image, image).empty();
        return plan;
    }
    const bool comparable = k > 1 && base.Index == k - 1 && sameShape;
    if (comparable) plan.Tiles = ChangedTiles(base.Image, image);
    plan.Partial = comparable &&
                   TilePixels(image, plan.Tiles) * 2 <= static_cast<int64_t>(image.Width()) * image.Height();
    return plan;
}

// Bytes of a whole snapshot of the image.
uint64_t WholeSnapshotBytes(const Bitmap& image) {
    return 54 + static_cast<uint64_t>(image.Width()) * 4 * static_cast<uint64_t>(image.Height());
}

// Stores snapshot k of a slot as planned: the kept state takes the image at
// once, and the writer makes the file from the kept state behind.
void StoreSnapshot(Workspace& ws, int slot, int k, bool keepOld, const TSnapshotPlan& plan) {
    const Bitmap& image = ws.Images[static_cast<std::size_t>(slot)].Bitmap;
    TSlotBase& base = BaseOf(ws, slot);
    const std::string path = SnapshotPath(ws, slot, k);
    if (plan.Partial) {
        CopyTiles(image, base.Image, plan.Tiles);
        StorageOf(ws).Writer.Post(slot, k, [&base, path, tiles = plan.Tiles, baseName = SnapshotName(slot, k - 1), keepOld] {
            WriteTileSnapshotFile(path, EncodeTileSnapshot(base.Image, tiles, baseName), keepOld);
        });
    } else {
        if (image.BitsPerPixel() != 32) throw ECodecError("Cannot write " + path + ": no 32-bit image");
        if (base.Image.Width() == image.Width() && base.Image.Height() == image.Height() &&
            base.Image.BitsPerPixel() == image.BitsPerPixel())
            for (int y = 0; y < image.Height(); ++y) std::memcpy(base.Image.Row(y), image.Row(y), image.Stride());
        else {
            // The old state goes before the new one is had (a rotation's peak).
            base.Index = -1;
            base.Image = Bitmap();
            base.Image = image;
        }
        StorageOf(ws).Writer.Post(slot, k, [&base, path, keepOld] { WriteSnapshot(path, base.Image, keepOld); });
    }
    base.Index = k;
}


// Scaled straight from the image: a copy into a work bitmap first would
// give the same pixels at the cost of a full-size copy per step.
void MakeThumbnail(const TImages& s, Bitmap& thumb) {
    const TThumbSize size = FitThumbnail(s.Bitmap.Width(), s.Bitmap.Height(), kHistoryThumbLimit);
    thumb = Bitmap(size.Width, size.Height, 32);
    BilinearResample(s.Bitmap, thumb);
}

// A snapshot read for undo, redo or a jump. The image-sized scratch bitmap
// receives it when the sizes agree, so that nothing is allocated; it is
// given back afterwards holding the replaced image (scratch either way).
struct TLoaded {
    Bitmap Pixels;
    bool Borrowed = false;
};

bool LoadSnapshot(Workspace& ws, int slot, int k, TLoaded& out) {
    Bitmap& scratch = ws.FilterWork.Bitmap;
    const TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    if (!s.Bitmap.Empty() && scratch.Width() == s.Bitmap.Width() && scratch.Height() == s.Bitmap.Height()) {
        std::swap(out.Pixels, scratch);
        out.Borrowed = true;
    }
    try {
        ReadStoredStep(ws, slot, k, out.Pixels);
        return true;
    } catch (const std::exception& e) {
        ReportHistoryProblem(ws, "Could not read the undo step.", e);
        return false;
    }
}

void GiveBackScratch(Workspace& ws, TLoaded& loaded) {
    if (!loaded.Borrowed) return;
    std::swap(ws.FilterWork.Bitmap, loaded.Pixels);
    ws.FilterWork.Refill();
    loaded.Borrowed = false;
}

// Puts a loaded snapshot in place of the image and shows it.
void ShowLoaded(Workspace& ws, TImages& s, TLoaded& loaded) {
    std::swap(s.Bitmap, loaded.Pixels);
    FillRowTable(s.Bitmap, s.Rows);
    GiveBackScratch(ws, loaded);
    ws.Port->RefreshHistoryMenus();
    TabChange(ws);
}

} // namespace

bool PushHistory(Workspace& ws) {
    const TActiveImage active = ws.ActiveImage();
    return active && PushHistory(ws, active.Slot);
}

namespace {

enum class TPush {
    Edit,    // before an edit: waits for the file, keeps the budget now
    Behind,  // after a stroke: the file is written behind, the budget kept by the next edit
    Jump,    // the state on screen before an undo or jump: waits, nothing renumbered
};

// Stores snapshot k = HistoryPos + 1 of a slot. Behind, a failure to write
// comes out at the next wait; otherwise it refuses the edit with nothing
// changed. A step larger than the whole budget is asked about for an edit,
// and refuses a jump.
bool Push(Workspace& ws, int slot, TPush mode, const TSnapshotPlan* planned = nullptr) {
    const bool behind = mode == TPush::Behind, budgetNow = mode == TPush::Edit;
    WaitForStoredSteps(ws);
    if (budgetNow) HoldToBudget(ws);
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    const int k = s.HistoryPos + 1;
    const TSnapshotPlan plan = planned ? *planned : PlanSnapshot(ws, slot, k);
    // The oldest step kept is always a whole image: when that does not fit,
    // not even one step does.
    {
        bool fits = WholeSnapshotBytes(s.Bitmap) <= HistoryBudget(ws);
        if (!fits && mode == TPush::Jump) {
            ReportHistoryProblem(ws, "Could not store the undo step.",
                                 ECodecError("The image takes more than the history budget of " +
                                             Megabytes(HistoryBudget(ws)) + "."));
            return false;
        }
        if (!StepMayGoOn(ws, slot, WholeSnapshotBytes(s.Bitmap), fits)) return false;
        if (!fits) {
            // Answered Yes: the edit goes on without any step.
            ws.Port->RefreshHistoryMenus();
            ws.Port->UpdateCommandStates();
            return true;
        }
    }
    THistoryStorage& storage = StorageOf(ws);
    try {
        // Snapshot k may be a stored redo step, which must survive a failed
        // write; otherwise any file there is a leftover and is written over.
        if (!plan.Stored) StoreSnapshot(ws, slot, k, k <= s.HistoryCount, plan);
        if (!behind) {
            storage.Writer.Finish();
            const std::vector<TStepFailure> failures = storage.Writer.TakeFailures();
            if (!failures.empty()) throw ECodecError(failures.front().Message);
        }
    } catch (const std::exception& e) {
        BaseOf(ws, slot).Index = -1;
        ReportHistoryProblem(ws, "Could not store the undo step.", e);
        return false;
    }
    // The redo branch above the new snapshot is lost (snapshot k itself is
    // being replaced).
    for (int j = k + 1; j <= s.HistoryCount; ++j) {
        std::remove(SnapshotPath(ws, slot, j).c_str());
        s.HistoryEntry(j).Thumb = Bitmap();
    }
    s.HistoryPos = k;
    s.HistoryCount = k;
    MakeThumbnail(s, s.HistoryEntry(k).Thumb);
    // The coming step is not repeatable until its command says how.
    s.HistoryEntry(k + 1).Recipe.clear();
    s.Saved = 0;
    if (budgetNow)
        KeepWithinBudget(ws, slot);
    else
        storage.Unchecked[slot] = true;
    NoteHistoryChange(ws, slot);
    ws.Port->UpdateCommandStates();
    return true;
}

} // namespace

bool PushHistory(Workspace& ws, int slot) {
    return Push(ws, slot, TPush::Edit);
}

bool PushHistoryBehind(Workspace& ws, int slot) {
    return Push(ws, slot, TPush::Behind);
}

namespace {

// Stores the image as snapshot k = HistoryCount + 1 of the slot as planned,
// behind; the caller has waited for the earlier writes.
void StoreNewest(Workspace& ws, int slot, const TSnapshotPlan& plan) {
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    if (plan.Stored) return;
    // A state that would not fit is left to the step that stores it.
    if (WholeSnapshotBytes(s.Bitmap) > HistoryBudget(ws)) return;
    try {
        StoreSnapshot(ws, slot, s.HistoryCount + 1, false, plan);
    } catch (const std::exception&) {
        return;  // not a 32-bit image: the next step stores it whole
    }
    StorageOf(ws).Unchecked[slot] = true;
    NoteHistoryChange(ws, slot);
}

bool SameShape(const Bitmap& a, const Bitmap& b) {
    return a.Width() == b.Width() && a.Height() == b.Height() && a.BitsPerPixel() == b.BitsPerPixel();
}

} // namespace

void StoreNewestState(Workspace& ws, int slot) {
    if (slot < 0 || slot >= kSlotCount || ws.SysData.MouseDown == 1) return;
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    if (!s.InUse || s.HistoryCount < 1 || s.HistoryPos != s.HistoryCount) return;
    WaitForStoredSteps(ws);
    HoldToBudget(ws);
    if (s.HistoryCount < 1 || s.HistoryPos != s.HistoryCount) return;
    StoreNewest(ws, slot, PlanSnapshot(ws, slot, s.HistoryCount + 1));
}

const Bitmap* CurrentKeptState(Workspace& ws, int slot) {
    if (!ws.HistoryStorage || slot < 0 || slot >= kSlotCount) return nullptr;
    const TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    const auto it = StorageOf(ws).Bases.find(slot);
    if (it == StorageOf(ws).Bases.end() || !s.InUse || s.HistoryCount < 1 || s.HistoryPos != s.HistoryCount)
        return nullptr;
    const TSlotBase& base = it->second;
    if (base.Index != s.HistoryCount + 1 || !SameShape(base.Image, s.Bitmap)) return nullptr;
    const std::size_t bytes = static_cast<std::size_t>(s.Bitmap.Width()) * s.Bitmap.BytesPerPixel();
    for (int y = 0; y < s.Bitmap.Height(); ++y)
        if (std::memcmp(base.Image.Row(y), s.Bitmap.Row(y), bytes) != 0) return nullptr;
    return &base.Image;
}

bool DropKeptState(Workspace& ws, int slot) {
    if (!CurrentKeptState(ws, slot)) return false;
    // The writer may still read it.
    WaitForStoredSteps(ws);
    TSlotBase& base = BaseOf(ws, slot);
    const TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    // A write that failed meanwhile forgets its step and the state with it.
    if (base.Index != s.HistoryCount + 1 || !SameShape(base.Image, s.Bitmap)) return false;
    base.Image = Bitmap();
    base.OnFileOnly = true;
    return true;
}

void ForgetDroppedKeptState(Workspace& ws, int slot) {
    if (!ws.HistoryStorage || slot < 0 || slot >= kSlotCount) return;
    TSlotBase& base = BaseOf(ws, slot);
    if (!base.OnFileOnly) return;
    base.OnFileOnly = false;
    base.Index = -1;
}

bool PushKeptState(Workspace& ws, int slot, const std::vector<TTileIndex>& changed) {
    WaitForStoredSteps(ws);
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    TSlotBase& base = BaseOf(ws, slot);
    const int k = s.HistoryPos + 1;
    bool stored = false;
    if (base.Index == k && s.HistoryPos == s.HistoryCount && SameShape(base.Image, s.Bitmap)) {
        // Snapshot k is on file already: the step is only counted, its
        // thumbnail made from the image as it was.
        TSnapshotPlan onFile;
        onFile.Stored = true;
        std::swap(s.Bitmap, base.Image);
        stored = Push(ws, slot, TPush::Behind, &onFile);
        std::swap(s.Bitmap, base.Image);
        if (!stored) return false;
        // The image as it is now after the new step, from the tiles found.
        TSnapshotPlan next;
        next.Tiles = changed;
        next.Partial = TilePixels(s.Bitmap, changed) * 2 <= static_cast<int64_t>(s.Bitmap.Width()) * s.Bitmap.Height();
        StoreNewest(ws, slot, next);
        return true;
    }
    // The kept state's own file could not be written (its steps are
    // forgotten): it is stored again as any step is.
    Bitmap before = base.Image;
    std::swap(s.Bitmap, before);
    stored = Push(ws, slot, TPush::Behind);
    std::swap(s.Bitmap, before);
    return stored;
}

void ReadStoredStep(Workspace& ws, int slot, int k, Bitmap& into) {
    WaitForStoredSteps(ws);
    ReadSnapshot(SnapshotPath(ws, slot, k), into);
}

void NameHistoryStep(Workspace& ws, const std::string& name) {
    const TActiveImage s = ws.ActiveImage();
    if (!s) return;
    s->HistoryEntry(s->HistoryPos + 1).Name = name;
    NoteHistoryChange(ws, s.Slot);
    RefreshHistoryMenus(ws);
}

void RefreshHistoryMenus(Workspace& ws) {
    ws.Port->RefreshHistoryMenus();
}

// Undo and jumps share this: when the image on screen is newer than every
// snapshot it is stored first, then snapshot target + 1 becomes the image.
// The snapshot is read before anything changes, so a failure leaves the
// counters and the image as they were.
bool JumpToHistoryStep(Workspace& ws, int target) {
    // Steps that could not be written are forgotten before anything counts.
    WaitForStoredSteps(ws);
    const TActiveImage active = ws.ActiveImage();
    if (!active) return false;
    const int slot = active.Slot;
    TImages& s = *active;
    {
        const int stored = s.HistoryPos == s.HistoryCount ? s.HistoryCount + 1 : s.HistoryCount;
        if (target < 0 || target > stored - 1) return false;
    }
    // A floating selection goes into the image first, so that the state
    // stored below (and redone later) holds it.
    ws.BeforeImageReplaced();
    const bool storeNewest = s.HistoryPos == s.HistoryCount;
    const int count = storeNewest ? s.HistoryCount + 1 : s.HistoryCount;
    if (target > count - 1) return false;
    const int k = target + 1;
    if (storeNewest && k == count) {
        // The newest state itself: it is the image already.
        if (!Push(ws, slot, TPush::Jump)) return false;
        s.HistoryPos = target;
        s.Saved = 0;
        NoteHistoryChange(ws, slot);
        RefreshHistoryMenus(ws);
        TabChange(ws);
        return true;
    }
    TLoaded loaded;
    if (!LoadSnapshot(ws, slot, k, loaded) || (storeNewest && !Push(ws, slot, TPush::Jump))) {
        GiveBackScratch(ws, loaded);
        return false;
    }
    s.HistoryPos = target;
    s.Saved = 0;
    NoteHistoryChange(ws, slot);
    ShowLoaded(ws, s, loaded);
    return true;
}

bool UndoStep(Workspace& ws) {
    WaitForStoredSteps(ws);
    const TActiveImage s = ws.ActiveImage();
    if (!s || s->HistoryPos <= 0) return false;
    return JumpToHistoryStep(ws, s->HistoryPos - 1);
}

bool RedoStep(Workspace& ws) {
    WaitForStoredSteps(ws);
    const TActiveImage s = ws.ActiveImage();
    if (!s || s->HistoryPos >= s->HistoryCount - 1) return false;
    return JumpToHistoryStep(ws, s->HistoryPos + 1);
}

void DeleteSlotHistoryFiles(const Workspace& ws, int slot) {
    if (ws.HistoryStorage) {
        auto& storage = static_cast<THistoryStorage&>(*ws.HistoryStorage);
        // The writer may be reading the kept state, and a file written
        // behind must not come back after its removal.
        storage.Writer.Finish();
        storage.Writer.DropFailures(slot);
        storage.Bases.erase(slot);
        storage.Unchecked.erase(slot);
    }
    const TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    // The state on screen may be stored after the newest step.
    for (int k = 1; k <= s.HistoryCount + 1; ++k) std::remove(SnapshotPath(ws, slot, k).c_str());
    std::remove(HistoryIndexPath(HistoryDir(ws), slot).c_str());
}

std::string HistoryName(const TImages& s, int k) {
    if (k < 0 || k >= static_cast<int>(s.History.size())) return {};
    return s.History[static_cast<std::size_t>(k)].Name;
}

THistoryMenus HistoryMenuTexts(const TImages& s) {
    THistoryMenus m;
    const int p = s.HistoryPos, c = s.HistoryCount;
    const int n = std::min(p, kHistoryListLength);
    for (int j = 1; j <= n; ++j) m.UndoItems.push_back(HistoryName(s, p + 2 - j));
    const int r = std::min(c - p - 1, kHistoryListLength);
    for (int j = 1; j <= r; ++j) m.RedoItems.push_back(HistoryName(s, p + 1 + j));
    if (p >= 1) m.UndoCaption = "Undo " + HistoryName(s, p + 1);
    if (p < c - 1) m.RedoCaption = "Redo " + HistoryName(s, p + 2);
    return m;
}

} // namespace pixora
