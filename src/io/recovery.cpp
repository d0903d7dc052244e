#include "io/recovery.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <unistd.h>

#include "doc/layers.h"
#include "doc/record_text.h"
#include "doc/slots.h"
#include "history/history_folder.h"
#include "io/codecs/image_codecs.h"
#include "io/file_slots.h"

namespace fs = std::filesystem;

namespace pixora {

namespace {

constexpr const char* kManifestHead = "Pixora recovery copy 1";
// A manifest is a few lines; anything longer is not one of ours.
constexpr std::uintmax_t kManifestLimit = 64 * 1024;

std::string SlotBase(const std::string& folder, const TRecoveryRun& run, int slot) {
    return folder + run.Prefix() + std::to_string(slot);
}

long long NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// The picture as saving would write it, without choosing another layer as
// saving does: the layer being edited lives in Bitmap, the others in their
// storage.
Bitmap ComposedCopy(const TImages& s) {
    if (s.CurrentLayer == 0 || (s.LayerCount <= 1 && s.CurrentLayer == 1)) return s.Bitmap;
    TImages merged;
    merged.LayerCount = s.LayerCount;
    merged.BackBitmap = s.CurrentLayer == 1 ? s.Bitmap : s.BackBitmap;
    merged.Layers.resize(static_cast<std::size_t>(std::max(s.LayerCount, 1)) + 1);
    for (int n = 2; n <= s.LayerCount && n < static_cast<int>(s.Layers.size()); ++n) {
        const TLayer& from = s.Layers[static_cast<std::size_t>(n)];
        TLayer& to = merged.Layers[static_cast<std::size_t>(n)];
        to.Bitmap = n == s.CurrentLayer ? s.Bitmap : from.Bitmap;
        to.Left = from.Left;
        to.Top = from.Top;
    }
    MergeLayers(merged);
    return std::move(merged.Bitmap);
}

// Reads a manifest; false when it is not one of ours.
bool ReadManifest(const fs::path& file, TRecoverable& r, long& pid, long long& started) {
    bool named = false;
    long long width = 0, height = 0, p = 0, s = 0, written = 0, hadFile = 0;
    const std::map<std::string, long long*> numbers = {{"file", &hadFile}, {"width", &width}, {"height", &height},
                                                      {"pid", &p},        {"started", &s},   {"written", &written}};
    const bool ok = ReadRecordFile(file, kManifestHead, kManifestLimit, [&](const std::string& key, const std::string& value) {
        if (key == "name") {
            r.Name = value;
            named = !value.empty();
        } else if (const auto n = numbers.find(key); n != numbers.end()) {
            return ParseDecimal(value, *n->second);
        }
        return true;
    });
    if (!ok || !named || width <= 0 || height <= 0 || width > (1 << 20) || height > (1 << 20) || p <= 0)
        return false;
    r.Width = static_cast<int>(width);
    r.Height = static_cast<int>(height);
    r.HadFile = hadFile != 0;
    r.Written = written;
    pid = static_cast<long>(p);
    started = s;
    return true;
}

} // namespace

std::string TRecoveryRun::Prefix() const {
    return std::to_string(Pid) + "-" + std::to_string(Started) + "-";
}

TRecoveryRun TRecoveryRun::Current() {
    TRecoveryRun run;
    run.Pid = static_cast<long>(getpid());
    run.Started = NowMs();
    return run;
}

std::optional<TRecoveryCopy> TakeRecoveryCopy(Workspace& ws, int slot) {
    if (slot < 0 || slot >= kSlotCount) return std::nullopt;
    const TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    if (!s.InUse || s.Saved || s.Bitmap.Empty()) return std::nullopt;
    TRecoveryCopy copy;
    copy.Slot = slot;
    copy.Name = s.FileName;
    copy.HadFile = s.HasFile != 0;
    copy.Image = ComposedCopy(s);
    copy.Image.SetBitsPerPixel(32);
    return copy;
}

void WriteRecoveryCopy(const std::string& folder, const TRecoveryRun& run, const TRecoveryCopy& copy) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    const std::string base = SlotBase(folder, run, copy.Slot);
    SaveOptions opts;
    opts.BmpBits = 32;
    WriteImageFile(base + ".bmp", copy.Image, fcBmp, opts);
    // The name goes on one line: a line break in it would end it early.
    const std::string name = OneLine(copy.Name);
    std::string text = std::string(kManifestHead) + "\n";
    text += "name=" + name + "\n";
    text += "file=" + std::to_string(copy.HadFile ? 1 : 0) + "\n";
    text += "width=" + std::to_string(copy.Image.Width()) + "\n";
    text += "height=" + std::to_string(copy.Image.Height()) + "\n";
    text += "pid=" + std::to_string(run.Pid) + "\n";
    text += "started=" + std::to_string(run.Started) + "\n";
    text += "written=" + std::to_string(NowMs()) + "\n";
    WriteWholeFile(base + ".txt", text);
}

void RemoveRecoveryCopy(const std::string& folder, const TRecoveryRun& run, int slot) {
    const std::string base = SlotBase(folder, run, slot);
    // The manifest first: an image without one is never offered.
    std::remove((base + ".txt").c_str());
    std::remove((base + ".bmp").c_str());
}

void RemoveRecoveryCopies(const std::string& folder, const TRecoveryRun& run) {
    for (int slot = 0; slot < kSlotCount; ++slot)
        RemoveRecoveryCopy(folder, run, slot);
}

std::vector<TRecoverable> FindRecoverableImages(const std::string& folder, const TRecoveryRun& self) {
    std::vector<TRecoverable> found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const fs::path& p = entry.path();
        if (p.extension() != ".txt" || !entry.is_regular_file(ec)) continue;
        TRecoverable r;
        long pid = 0;
        long long started = 0;
        if (!ReadManifest(p, r, pid, started)) continue;
        // A running editor's copies are its own; so are this run's.
        const bool ours = pid == self.Pid && started == self.Started;
        if (ours || (pid != self.Pid && ProcessAlive(pid))) continue;
        r.Manifest = p.string();
        r.Image = (p.parent_path() / p.stem()).string() + ".bmp";
        r.Pid = pid;
        const std::string stem = p.stem().string();
        long long slot = -1;
        if (ParseDecimal(stem.substr(stem.find_last_of('-') + 1), slot) && slot < kSlotCount)
            r.Slot = static_cast<int>(slot);
        if (!fs::is_regular_file(r.Image, ec)) continue;
        found.push_back(std::move(r));
    }
    std::sort(found.begin(), found.end(),
              [](const TRecoverable& a, const TRecoverable& b) { return a.Written > b.Written; });
    return found;
}

std::vector<TRecoverable> FindRecoverable(const std::string& folder, const std::string& historyRoot,
                                          const TRecoveryRun& self) {
    std::vector<TRecoverable> copies = FindRecoverableImages(folder, self), found;
    for (TLeftHistory& left : FindLeftHistories(historyRoot)) {
        TRecoverable r;
        r.Name = left.Index.Name;
        r.HadFile = left.Index.HadFile;
        r.Width = left.Index.Width;
        r.Height = left.Index.Height;
        r.Written = left.Index.Written;
        r.Pid = left.Pid;
        r.Slot = left.Slot;
        // The copy of the same image is older than its last step, or as old.
        const auto copy = std::find_if(copies.begin(), copies.end(), [&](const TRecoverable& c) {
            return c.Pid == left.Pid && c.Slot == left.Slot;
        });
        if (copy != copies.end()) {
            r.Manifest = copy->Manifest;
            r.Image = copy->Image;
            copies.erase(copy);
        }
        r.History = std::move(left);
        found.push_back(std::move(r));
    }
    for (TRecoverable& c : copies) found.push_back(std::move(c));
    std::stable_sort(found.begin(), found.end(),
                     [](const TRecoverable& a, const TRecoverable& b) { return a.Written > b.Written; });
    return found;
}

int RecoverImage(Workspace& ws, const TRecoverable& copy) {
    const int slot = ClaimSlot(ws);
    if (slot < 0) return -1;
    Bitmap pixels;
    try {
        if (copy.History) {
            pixels = LeftHistoryImage(*copy.History);
        } else {
            pixels = LoadImageFile(copy.Image, fcBmp);
            if (pixels.Width() != copy.Width || pixels.Height() != copy.Height)
                throw ECodecError("The recovery copy " + copy.Image + " is not the image its manifest describes");
        }
        pixels.SetBitsPerPixel(32);
    } catch (const std::exception& e) {
        AbandonClaim(ws, slot);
        ws.Port->ReportError(2, e.what());
        return -1;
    }
    SlotSource source;
    source.FileName = copy.Name;
    source.FileFormat = FormatFromExtension(copy.Name);
    source.FromFile = false;
    source.CopyToBackground = true;
    FillSlot(ws, slot, std::move(pixels), source);
    TImages& s = SlotAt(ws, slot);
    SetDefaultSaveOptions(s);
    s.Saved = 0;
    s.HasFile = 0;
    if (copy.History) {
        try {
            AdoptLeftHistory(ws, slot, *copy.History);
        } catch (const std::exception& e) {
            // The image is back; its steps stay where they were for another try.
            ws.Port->ReportProblem("Could not read the undo step.", e.what());
            return slot;
        }
        ws.Port->RefreshHistoryMenus();
        ws.Port->UpdateCommandStates();
    }
    DiscardRecoverable(copy);
    return slot;
}

void DiscardRecoverable(const TRecoverable& copy) {
    if (copy.History) DiscardLeftHistory(*copy.History);
    if (copy.Manifest.empty()) return;
    std::remove(copy.Manifest.c_str());
    std::remove(copy.Image.c_str());
}

} // namespace pixora
