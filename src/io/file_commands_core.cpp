#include "io/file_commands_core.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <new>
#include <utility>

#include "doc/layers.h"
#include "doc/slots.h"
#include "doc/tab_change.h"
#include "history/history_store.h"
#include "io/codecs/image_codecs.h"
#include "io/recent_files.h"

namespace pixora {

// ---- filters ------------------------------------------------------------------

const std::vector<TFileFilter>& OpenFilters() {
    static const std::vector<TFileFilter> list = {
        {"Bitmap (*.bmp;*.dib;*.rle)", "*.bmp;*.dib;*.rle"},
        {"JPEG (*.JPG;*.JPEG;*.JPE;*.JFIF)", "*.JPG;*.JPEG;*.JPE;*.JFIF"},
        {"GIF (*.GIF)", "*.GIF"},
        {"PNG (*.PNG)", "*.PNG"},
        {"TIFF (*.TIF;*.TIFF)", "*.TIF;*.TIFF"},
        {"GFI fax images (*.fax)", "*.fax"},
        {"Windows Icons (*.ico)", "*.ico"},
        {"SGI images (*.bw, *.rgb, *.rgba, *.sgi)", "*.bw;*.rgb;*.rgba;*.sgi"},
        {"Autodesk images files (*.cel; *.pic)", "*.cel;*.pic"},
        {"Truevision images (*.tga; *.vst; *.icb; *.vda; *.win)", "*.tga;*.vst;*.icb;*.vda;*.win"},
        {"ZSoft Paintbrush images (*.pcx; *.pcc)", "*.pcx;*.pcc"},
        {"Word 5.x screen capture files (*.scr)", "*.scr"},
        {"Kodak Photo-CD images (*.pcd)", "*.pcd"},
        {"Portable pixel/gray map images (*.ppm, *.pgm, *.pbm)", "*.ppm;*.pgm;*.pbm"},
        {"Dr. Halo images (*.cut, *.pal)", "*.cut;*.pal"},
        {"SGI Wavefront images (*.rla;*.rpf)", "*.rla;*.rpf"},
        {"Photoshop images (*.psd, *.pdd)", "*.psd;*.pdd"},
        {"Paintshop Pro images (*.psp)", "*.psp"},
        {"All Picture Files", "*.bmp;*.dib;*.rle;*.JPG;*.JPEG;*.JPE;*.JFIF;*.GIF;*.PNG;*.TIF;*.TIFF;*.fax;*."
                              "bw;*.rgb;*.rgba;*.sgi;*.cel;"
                              "*.pic;*.tga;*.vst;*.icb;*.vda;*.win;*.pcx;*.pcc;*.scr;*.pcd;*.ppm;*.pgm;*.pbm;"
                              "*.cut;*.pal;*.rla;*.rpf;"
                              "*.psd;*.pdd;*.psp"},
        {"All Files", "*.*"},
    };
    return list;
}

const std::vector<TFileFilter>& SaveFilters() {
    // The open list without "Windows Icons" and the two "All" entries, with
    // the icon entry moved to the end.
    static const std::vector<TFileFilter> list = [] {
        const auto& open = OpenFilters();
        std::vector<TFileFilter> v;
        for (std::size_t i = 0; i < 18; ++i)
            if (i != 6) v.push_back(open[i]);
        v.push_back({"Windows Icon", "*.ico"});
        return v;
    }();
    return list;
}

std::string SaveFilterExtension(int filterIndex) {
    static const char* const ext[17] = {".bmp", ".jpg", ".gif", ".png", ".tif", ".fax",
                                        ".sgi", ".pic", ".tga", ".pcx", ".scr", ".pcd",
                                        ".ppm", ".cut", ".rla", ".psd", ".psp"};
    if (filterIndex < 1 || filterIndex > 17) return {};
    return ext[filterIndex - 1];
}

bool HasExtension(const std::string& path) {
    return FileNamePart(path).find('.') != std::string::npos;
}

// ---- helpers ------------------------------------------------------------------

namespace {

TImages& SlotAt(Workspace& ws, int slot) {
    return ws.Images[static_cast<std::size_t>(slot)];
}

// The option dialogs' defaults: what a slot is written with until the user
// confirms "Pixel Format" or "JPEG Options" for it (24-bit, quality 100).
void SetDefaultSaveOptions(TImages& s) {
    s.SavePixelFormat = 2;
    s.JpegQuality = 100;
}

bool ValidSlot(const Workspace& ws, int slot) {
    return ws.HasOpenImage() && slot >= 0 && slot < kMaxOpenImages &&
           ws.Images[static_cast<std::size_t>(slot)].InUse;
}

// Frees everything a closed slot owned and hides its tab.
void EmptySlot(Workspace& ws, int slot) {
    TImages& s = SlotAt(ws, slot);
    DeleteSlotHistoryFiles(ws, slot);
    s.History.assign(2, THistory{});
    s.HistoryCount = 0;
    s.HistoryPos = 0;
    s.Bitmap.Clear();
    s.BackBitmap.Clear();
    s.Rows.Entries.clear();
    s.BackRows.Entries.clear();
    s.Layers.assign(2, TLayer{});
    s.LayerStrip.Clear();
    ReleaseSlot(ws, slot);
}

// After a slot was emptied: the recent list is read again and the window
// shows what is left.
void AfterClosing(Workspace& ws) {
    LoadRecentFiles(ws);
    if (!ws.Port) return;
    if (ws.HasOpenImage())
        TabChange(ws);
    else
        ws.Port->UpdateCommandStates();
}

std::string NotEnoughMemory(long long w, long long h) {
    return "There is not enough memory for an image of " + std::to_string(w) + " x " + std::to_string(h) +
           " pixels.";
}

// Claims a slot and fills it with `pixels`; a failure to allocate what the
// slot needs besides gives the claim back.
int ClaimAndFill(Workspace& ws, Bitmap&& pixels, const SlotSource& source, std::string& message) {
    const int w = pixels.Width(), h = pixels.Height();
    const int slot = ClaimSlot(ws);
    if (slot < 0) return -1;
    try {
        FillSlot(ws, slot, std::move(pixels), source);
    } catch (const std::bad_alloc&) {
        if (ws.Port) ws.Port->HideTabPage(slot);
        AbandonClaim(ws, slot);
        message = NotEnoughMemory(w, h);
        return -1;
    }
    SetDefaultSaveOptions(SlotAt(ws, slot));
    return slot;
}

} // namespace

// ---- opening ------------------------------------------------------------------

int LoadIntoNewSlot(Workspace& ws, const std::string& path) {
    const int slot = ClaimSlot(ws);
    if (slot < 0) return -1;
    const int format = FormatFromExtension(path);
    // Remembered before reading, so that a file that fails is still listed.
    AddRecentFile(ws, path);
    Bitmap pixels;
    try {
        pixels = LoadImageFile(path, format);
    } catch (const std::exception& e) {
        AbandonClaim(ws, slot);
        if (ws.Port) ws.Port->ReportError(2, e.what());
        return -1;
    }
    SlotSource source;
    source.FileName = path;
    source.FileFormat = format;
    source.FromFile = true;
    source.CanvasColour = 0xFFFFFF;
    source.CopyToBackground = true;
    try {
        FillSlot(ws, slot, std::move(pixels), source);
    } catch (const std::bad_alloc&) {
        if (ws.Port) ws.Port->HideTabPage(slot);
        AbandonClaim(ws, slot);
        if (ws.Port) ws.Port->ReportError(2, "Not enough memory to hold the image.");
        return -1;
    }
    SetDefaultSaveOptions(SlotAt(ws, slot));
    return slot;
}

int OpenRecentFile(Workspace& ws, int index) {
    if (index < 0 || index >= kRecentFileCount) return -1;
    const std::string path = ws.ToolVars.RecentFiles[static_cast<std::size_t>(index)];
    if (path.empty()) return -1;
    return LoadIntoNewSlot(ws, path);
}

bool ReopenFile(Workspace& ws) {
    if (!ws.HasOpenImage()) return false;
    const int slot = ws.ActiveSlot();
    if (!ValidSlot(ws, slot)) return false;
    TImages& s = SlotAt(ws, slot);
    if (!s.HasFile) return false;
    Bitmap fresh;
    try {
        fresh = LoadImageFile(s.FileName, s.FileFormat);
    } catch (const std::exception& e) {
        if (ws.Port) ws.Port->ReportError(2, e.what());
        return false;
    }
    if (!PushHistory(ws, slot)) return false;
    NameHistoryStep(ws, "ReOpened Image");
    fresh.SetBitsPerPixel(32);
    s.Bitmap = std::move(fresh);
    FillRowTable(s.Bitmap, s.Rows);
    StoreCurrentLayer(s);
    s.Saved = 1;
    TabChange(ws);
    return true;
}

// ---- saving -------------------------------------------------------------------

std::optional<std::string> ChooseSaveFile(Workspace& ws, int slot, FileQuestions& q) {
    TImages& s = SlotAt(ws, slot);
    std::string name = s.FileName;
    int filter = 1;
    if (!q.AskSaveFileName(name, filter) || name.empty()) return std::nullopt;
    // A name typed without an extension gets the filter's one, so the file
    // that would be replaced may be that longer name.
    const std::string extended = HasExtension(name) ? name : name + SaveFilterExtension(filter);
    std::error_code ec;
    const bool typedExists = std::filesystem::exists(name, ec);
    if ((typedExists || std::filesystem::exists(extended, ec)) &&
        !q.AskReplaceFile(typedExists ? name : extended))
        return std::nullopt;
    switch (filter) {
    case 1:
        q.AskPixelFormat(s.SavePixelFormat);
        break;
    case 2:
        q.AskJpegOptions(s.SavePixelFormat, s.JpegQuality);
        break;
    case 3:
        if (s.LayerCount > 1 || s.CurrentLayer != 1) {
            // The preview shows what will be written: the layers composed.
            Bitmap composed;
            WithComposedImage(ws, slot, [&](const Bitmap& merged) { composed = merged; });
            q.AskGifTransparency(composed);
        } else {
            q.AskGifTransparency(s.Bitmap);
        }
        break;
    default:
        break;
    }
    return extended;
}

void WithComposedImage(Workspace& ws, int slot, const std::function<void(const Bitmap&)>& use) {
    ComposeLayers(ws, slot, use);
}

bool WriteSlotFile(Workspace& ws, int slot, const std::string& path, int formatCode, int gifSensitivity) {
    const TImages& s = SlotAt(ws, slot);
    const SaveOptions opts = SaveOptions::FromSlot(s.SavePixelFormat, s.JpegQuality, gifSensitivity);
    try {
        WithComposedImage(ws, slot,
                          [&](const Bitmap& image) { WriteImageFile(path, image, formatCode, opts); });
    } catch (const std::exception& e) {
        if (ws.Port) ws.Port->ReportError(1, e.what());
        return false;
    }
    return true;
}

namespace {

// Writes a slot to a newly chosen file and ties the slot to it, only once
// the file is written.
bool WriteToNewFile(Workspace& ws, int slot, const std::string& name, FileQuestions& q) {
    const int format = FormatFromExtension(name);
    if (!WriteSlotFile(ws, slot, name, format, q.GifSensitivity())) return false;
    TImages& s = SlotAt(ws, slot);
    s.FileName = name;
    s.FileFormat = format;
    s.HasFile = 1;
    s.Saved = 1;
    return true;
}

} // namespace

bool SaveSlot(Workspace& ws, int slot, FileQuestions& q) {
    if (!ValidSlot(ws, slot)) return false;
    TImages& s = SlotAt(ws, slot);
    if (s.HasFile) {
        if (!WriteSlotFile(ws, slot, s.FileName, s.FileFormat, q.GifSensitivity())) return false;
        s.Saved = 1;
        return true;
    }
    const auto name = ChooseSaveFile(ws, slot, q);
    if (!name) return false;
    if (!WriteToNewFile(ws, slot, *name, q)) return false;
    AddRecentFile(ws, *name);
    return true;
}

bool SaveImageAs(Workspace& ws, FileQuestions& q) {
    const int slot = ws.ActiveSlot();
    if (!ValidSlot(ws, slot)) return false;
    const auto name = ChooseSaveFile(ws, slot, q);
    if (!name) return false;
    if (!WriteToNewFile(ws, slot, *name, q)) return false;
    TImages& s = SlotAt(ws, slot);
    s.ZoomNum = 1;
    s.ZoomDen = 1;
    // Saved is 1, so closing asks nothing; the written file comes back as a
    // fresh document with a history of its own.
    CloseImage(ws, slot, q);
    LoadIntoNewSlot(ws, *name);
    return true;
}

bool SaveImageCopy(Workspace& ws, FileQuestions& q) {
    const int slot = ws.ActiveSlot();
    if (!ValidSlot(ws, slot)) return false;
    const auto name = ChooseSaveFile(ws, slot, q);
    if (!name) return false;
    return WriteToNewFile(ws, slot, *name, q);
}

// ---- asking before closing ----------------------------------------------------

std::vector<int> SlotsToList(const Workspace& ws, int slot) {
    std::vector<int> listed;
    if (slot >= 0) {
        if (ValidSlot(ws, slot) && !ws.Images[static_cast<std::size_t>(slot)].Saved) listed.push_back(slot);
        return listed;
    }
    bool anyUnsaved = false;
    for (int i = 0; i < kMaxOpenImages; ++i) {
        const TImages& s = ws.Images[static_cast<std::size_t>(i)];
        if (!s.InUse) continue;
        listed.push_back(i);
        anyUnsaved = anyUnsaved || !s.Saved;
    }
    if (!anyUnsaved) listed.clear();
    return listed;
}

bool AskSaveChanges(Workspace& ws, int slot, FileQuestions& q) {
    const std::vector<int> listed = SlotsToList(ws, slot);
    if (listed.empty()) return true;
    std::vector<int> selected;
    switch (q.AskSaveChanges(listed, selected)) {
    case TSaveChangesAnswer::Cancel:
        return false;
    case TSaveChangesAnswer::Discard:
        return true;
    case TSaveChangesAnswer::SaveSelected:
        break;
    }
    std::sort(selected.begin(), selected.end());
    bool allSaved = true;
    for (int i : selected)
        if (!SaveSlot(ws, i, q)) allSaved = false;
    // An image the user wanted kept is not thrown away unsaved.
    return allSaved;
}

// ---- new, duplicate, close ------------------------------------------------------

bool ImageSizeFits(long long width, long long height) {
    if (width <= 0 || height <= 0) return false;
    // The largest side the bitmap and view code can address in int.
    constexpr long long kMaxSide = 1LL << 28;
    if (width > kMaxSide || height > kMaxSide) return false;
    // About ten image-sized 32-bit bitmaps follow an image around (working
    // copy, background, display copy, checkerboard, the work bitmaps).
    const double need = static_cast<double>(width) * static_cast<double>(height) * 4.0 * 10.0;
    const long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGE_SIZE);
    double have =
        pages > 0 && pageSize > 0 ? static_cast<double>(pages) * static_cast<double>(pageSize) : 0.0;
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    long long kb = 0;
    std::string unit;
    while (meminfo >> key >> kb >> unit)
        if (key == "MemAvailable:") {
            have = static_cast<double>(kb) * 1024.0;
            break;
        }
    return have <= 0.0 || need <= have;
}

int CreateBlankImage(Workspace& ws, const TNewImage& request, std::string& message) {
    message.clear();
    if (ws.SysData.OpenCount >= kMaxOpenImages - 1) return -1;
    if (!ImageSizeFits(request.Width, request.Height)) {
        message = NotEnoughMemory(request.Width, request.Height);
        return -1;
    }
    Bitmap pixels;
    try {
        pixels = Bitmap(request.Width, request.Height, 32);
    } catch (const std::bad_alloc&) {
        message = NotEnoughMemory(request.Width, request.Height);
        return -1;
    }
    pixels.Fill(BlueOf(request.Colour), GreenOf(request.Colour), RedOf(request.Colour),
                static_cast<uint8_t>(std::clamp(request.Transparency, 0, 255)));
    SlotSource source;
    source.CanvasColour = request.Colour;
    source.CopyToBackground = false;
    return ClaimAndFill(ws, std::move(pixels), source, message);
}

int DuplicateImage(Workspace& ws, std::string& message) {
    message.clear();
    const int src = ws.ActiveSlot();
    if (!ValidSlot(ws, src) || ws.SysData.OpenCount >= kMaxOpenImages - 1) return -1;
    const TImages& S = SlotAt(ws, src);
    Bitmap pixels;
    try {
        if (!ImageSizeFits(S.Bitmap.Width(), S.Bitmap.Height())) throw std::bad_alloc();
        pixels = S.Bitmap;
    } catch (const std::bad_alloc&) {
        message = NotEnoughMemory(S.Bitmap.Width(), S.Bitmap.Height());
        return -1;
    }
    SlotSource source;
    source.CanvasColour = S.CanvasColour;
    source.CopyToBackground = false;
    const int slot = ClaimAndFill(ws, std::move(pixels), source, message);
    if (slot < 0) return -1;
    TImages& D = SlotAt(ws, slot);
    const TImages& from = SlotAt(ws, src);
    SetFGColour(D, from.FGColour);
    SetBGColour(D, from.BGColour);
    D.ZoomNum = from.ZoomNum;
    D.ZoomDen = from.ZoomDen;
    // Shown again with the zoom taken over.
    TabChange(ws);
    return slot;
}

bool CloseImage(Workspace& ws, int slot, FileQuestions& q) {
    if (!ValidSlot(ws, slot)) return false;
    if (!AskSaveChanges(ws, slot, q)) return false;
    EmptySlot(ws, slot);
    AfterClosing(ws);
    return true;
}

bool CloseAllImages(Workspace& ws, FileQuestions& q) {
    if (!AskSaveChanges(ws, -1, q)) return false;
    for (int i = 0; i < kMaxOpenImages; ++i)
        if (SlotAt(ws, i).InUse) EmptySlot(ws, i);
    AfterClosing(ws);
    return true;
}

} // namespace pixora
