#include "history/geometry_commands.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <numbers>
#include <string>
#include <utility>

#include "doc/resample.h"
#include "doc/tab_change.h"
#include "effects/engine/effects.h"
#include "effects/engine/rotated_size.h"
#include "history/changed_step.h"
#include "history/history_store.h"
#include "io/codecs/format_codecs.h"

namespace pixora {

namespace {

// Sizes the bitmaps of the program can hold (the readers' limits).
bool SizeAllowed(int w, int h) {
    return w >= 1 && h >= 1 && w <= MaxImageSide && h <= MaxImageSide &&
           static_cast<int64_t>(w) * h <= MaxImagePixels;
}

// A result beyond the largest image is refused with a message.
void ReportTooLarge(Workspace& ws, const char* what, int64_t w, int64_t h) {
    ws.Port->ReportProblem("The " + std::string(what) + " image would be too large: " + std::to_string(w) + " x " +
                               std::to_string(h) + " pixels.",
                           "");
}

// A floating selection goes into the image before anything is computed
// from it or stored, as undo does.
void EndFloatingSelection(Workspace& ws) {
    ws.BeforeImageReplaced();
}

// The image is replaced: rows, then the tab change, which gives the work
// bitmaps the new size and shows it.
void ShowReplacedImage(Workspace& ws, TImages& s) {
    FillRowTable(s.Bitmap, s.Rows);
    TabChange(ws);
}

} // namespace

// ---- resize --------------------------------------------------------------------

bool ResizeBitmap(const Bitmap& source, const TResizeParams& params, Bitmap& target) {
    if (!SizeAllowed(params.Width, params.Height) || source.BitsPerPixel() != 32 || &source == &target)
        return false;
    Bitmap out(params.Width, params.Height, 32);
    if (params.Stretch) {
        BilinearResampleAll(source, out);
    } else {
        const int rows = std::min(source.Height(), params.Height);
        const std::size_t bytes = static_cast<std::size_t>(std::min(source.Width(), params.Width)) * 4;
        for (int y = 0; y < rows; ++y)
            std::memcpy(out.Row(y), source.Row(y), bytes);
    }
    target = std::move(out);
    return true;
}

bool ResizeActiveImage(Workspace& ws, const TResizeParams& params) {
    const TActiveImage s = ws.ActivePicture();
    if (!s || params.Width < 1 || params.Height < 1) return false;
    if (!SizeAllowed(params.Width, params.Height)) {
        ReportTooLarge(ws, "resized", params.Width, params.Height);
        return false;
    }
    EndFloatingSelection(ws);
    // Everything that can fail comes before the step is stored, so a
    // failure leaves the image, StrokeBase and the history as they were.
    Bitmap resized;
    if (!ResizeBitmap(s->Bitmap, params, resized)) return false;
    // The same picture again (the size it has, stretched) is no step.
    if (SameBitmap(resized, s->Bitmap)) return false;
    Bitmap strokeBase;
    if (params.Stretch) strokeBase = resized;
    if (!PushHistory(ws, s.Slot)) return false;
    NameHistoryStep(ws, "Resize");
    if (params.Stretch) {
        // The stretched picture stays in StrokeBase (the history brush's
        // source), as drawing it from there into the image leaves it.
        ws.StrokeBase.Bitmap = std::move(strokeBase);
        ws.StrokeBase.Refill();
    }
    s->Bitmap = std::move(resized);
    ShowReplacedImage(ws, *s);
    return true;
}

void ShowResizeFields(TResizeFields& f, int imageWidth, int imageHeight) {
    f.Width = f.LastWidth = f.ImageWidth = imageWidth;
    f.Height = f.LastHeight = f.ImageHeight = imageHeight;
    f.Editing = TSizeField::None;
}

int ResizePercent(const TResizeFields& f) {
    if (f.ImageWidth <= 0) return 100;
    const int64_t p = (200 * static_cast<int64_t>(f.Width) + f.ImageWidth) / (2 * f.ImageWidth);
    return static_cast<int>(std::clamp<int64_t>(p, 0, INT_MAX));
}

void ResizeToPercent(TResizeFields& f, int percent) {
    if (percent < 1) return;
    auto share = [percent](int side) {
        const int64_t v = (2 * static_cast<int64_t>(side) * percent + 100) / 200;
        return static_cast<int>(std::clamp<int64_t>(v, 1, INT_MAX));
    };
    f.Width = f.LastWidth = share(f.ImageWidth);
    f.Height = f.LastHeight = share(f.ImageHeight);
}

void SizeFieldChanged(TResizeFields& f, TSizeField changed) {
    if (changed == TSizeField::None) return;
    const bool width = changed == TSizeField::Width;
    int& value = width ? f.Width : f.Height;
    const int last = width ? f.LastWidth : f.LastHeight;
    if (value <= 0) {
        // Refused: the last valid value comes back (and counts as a change
        // of its own, which only records the values).
        if (last <= 0) return;
        value = last;
        SizeFieldChanged(f, changed);
        return;
    }
    if (f.KeepAspect && f.Editing == changed && f.ImageWidth > 0 && f.ImageHeight > 0) {
        int& other = width ? f.Height : f.Width;
        const int64_t from = width ? f.ImageWidth : f.ImageHeight, to = width ? f.ImageHeight : f.ImageWidth;
        const int64_t scaled = (2 * static_cast<int64_t>(value) * to + from) / (2 * from);
        other = static_cast<int>(std::clamp<int64_t>(scaled, 1, INT_MAX));
    } else if (f.Link && f.Editing == changed && value != last) {
        // The other side gains or loses the same number of pixels. Its own
        // change does not link back: it is not the field being edited.
        int& other = width ? f.Height : f.Width;
        const int64_t moved = static_cast<int64_t>(other) + (static_cast<int64_t>(value) - last);
        other = static_cast<int>(std::clamp<int64_t>(moved, INT_MIN, INT_MAX));
        SizeFieldChanged(f, width ? TSizeField::Height : TSizeField::Width);
    }
    f.LastWidth = f.Width;
    f.LastHeight = f.Height;
}

bool AcceptResizeFields(TResizeFields& f, TResizeParams& params, bool stretch) {
    if (f.Width <= 0) {
        f.Width = f.LastWidth;
        return false;
    }
    if (f.Height <= 0) {
        f.Height = f.LastHeight;
        return false;
    }
    params = {f.Width, f.Height, stretch};
    return true;
}

// ---- rotate --------------------------------------------------------------------

namespace {

// An angle in degrees brought into 0..360, in radians. Whole turns are taken
// off in degrees, where it is exact; in radians 810 degrees would miss the
// quarter turn by a rounding.
double Radians(double degrees) {
    degrees = std::fmod(degrees, 360.0);
    if (degrees < 0) degrees += 360.0;
    if (degrees >= 360.0) degrees = 0;
    return degrees * std::numbers::pi / 180;
}

TRotatedSize TurnedSize(const Bitmap& source, const TRotateParams& params) {
    const int64_t w = source.Width(), h = source.Height();
    switch (params.Action) {
    case TRotateAction::RotateLeft:
    case TRotateAction::RotateRight:
        return {h, w};
    case TRotateAction::Angle:
        if (std::isfinite(params.Degrees)) return RotatedSize(w, h, Radians(params.Degrees));
        break;
    default:
        break;
    }
    return {w, h};
}

} // namespace

bool RotationFits(const Bitmap& source, const TRotateParams& params) {
    const TRotatedSize size = TurnedSize(source, params);
    return size.Width <= MaxImageSide && size.Height <= MaxImageSide && size.Width * size.Height <= MaxImagePixels;
}

bool RotationTooLarge(Workspace& ws, const Bitmap& source, const TRotateParams& params) {
    if (RotationFits(source, params)) return false;
    const TRotatedSize size = TurnedSize(source, params);
    ReportTooLarge(ws, "turned", size.Width, size.Height);
    return true;
}

bool RotateBitmap(const Bitmap& source, const TRotateParams& params, Bitmap& target) {
    if (source.Empty()) return false;
    // The engine reads a 32-bit source and never writes it; any other
    // format is turned on a converted copy.
    Bitmap converted;
    Bitmap* src = const_cast<Bitmap*>(&source);
    if (source.BitsPerPixel() != 32) {
        converted = source;
        converted.SetBitsPerPixel(32);
        src = &converted;
    }
    const TPixelBytes background{BlueOf(params.Background), GreenOf(params.Background),
                                 RedOf(params.Background), 0};
    TEffects effects;
    Bitmap out;
    bool done = false;
    switch (params.Action) {
    case TRotateAction::FlipVertical:
        done = effects.FlipVertical(*src, out, background);
        break;
    case TRotateAction::MirrorHorizontal:
        done = effects.MirrorHorizontal(*src, out, background);
        break;
    case TRotateAction::RotateLeft:
        done = effects.RotateLeft(*src, out, background);
        break;
    case TRotateAction::RotateRight:
        done = effects.RotateRight(*src, out, background);
        break;
    case TRotateAction::RotateHalf:
        done = effects.RotateHalf(*src, out, background);
        break;
    case TRotateAction::Angle: {
        if (!std::isfinite(params.Degrees) || !RotationFits(*src, params)) return false;
        done = effects.RotateAngle(*src, out, background, Radians(params.Degrees));
        break;
    }
    }
    if (!done || out.Empty()) return false;
    target = std::move(out);
    return true;
}

void FitIntoFrame(const Bitmap& picture, int width, int height, Bitmap& frame) {
    frame = Bitmap(std::max(width, 0), std::max(height, 0), 32);
    frame.Fill(BlueOf(kPreviewFrameColour), GreenOf(kPreviewFrameColour), RedOf(kPreviewFrameColour), 0);
    if (picture.Empty() || frame.Empty()) return;
    // The larger scale at which both sides fit, in whole pixels.
    const int64_t pw = picture.Width(), ph = picture.Height();
    int w = width, h = static_cast<int>(std::max<int64_t>(1, ph * width / pw));
    if (h > height) {
        h = height;
        w = static_cast<int>(std::max<int64_t>(1, pw * height / ph));
    }
    Bitmap fitted(w, h, 32);
    BilinearResample(picture, fitted);
    const int left = (width - w) / 2, top = (height - h) / 2;
    for (int y = 0; y < h; ++y)
        std::memcpy(frame.Row(top + y) + static_cast<std::size_t>(left) * 4, fitted.Row(y),
                    static_cast<std::size_t>(w) * 4);
}

void StartRotatePreview(const Bitmap& image, TRotatePreview& preview) {
    preview = TRotatePreview();
    if (image.Empty()) return;
    const int64_t w = image.Width(), h = image.Height(), longer = std::max(w, h);
    if (longer <= kRotatePreviewSide) {
        preview.Reduced = image;
        preview.Reduced.SetBitsPerPixel(32);
        return;
    }
    const int rw = static_cast<int>(std::max<int64_t>(1, w * kRotatePreviewSide / longer));
    const int rh = static_cast<int>(std::max<int64_t>(1, h * kRotatePreviewSide / longer));
    preview.Reduced = Bitmap(rw, rh, 32);
    BilinearResampleAll(image, preview.Reduced);
}

bool ShowRotatePreview(TRotatePreview& preview, const TRotateParams& params, Bitmap& frame) {
    Bitmap turned;
    if (!RotateBitmap(preview.Reduced, params, turned)) return false;
    preview.Turned = std::move(turned);
    FitIntoFrame(preview.Turned, preview.Reduced.Width(), preview.Reduced.Height(), frame);
    return true;
}

bool CommitRotation(Workspace& ws, Bitmap result) {
    const TActiveImage s = ws.ActivePicture();
    if (!s || result.Empty()) return false;
    result.SetBitsPerPixel(32);
    EndFloatingSelection(ws);
    // A turn by a whole number of full turns changes nothing: no step.
    if (SameBitmap(result, s->Bitmap)) return false;
    if (!PushHistory(ws, s.Slot)) return false;
    NameHistoryStep(ws, "Image Rotate");
    s->Bitmap = std::move(result);
    ShowReplacedImage(ws, *s);
    return true;
}

bool RotateActiveImage(Workspace& ws, const TRotateParams& params) {
    const TActiveImage s = ws.ActivePicture();
    if (!s) return false;
    EndFloatingSelection(ws);
    if (RotationTooLarge(ws, s->Bitmap, params)) return false;
    // At the peak the image and the turned picture alone: the undo store's
    // kept state is on file already, and the view's copy is made afresh at
    // the new size by the tab change (no picture is shown until then).
    const bool dropped = DropKeptState(ws, s.Slot);
    ws.DisplayCopy = Bitmap();
    FillRowTable(ws.DisplayCopy, ws.SysData.ScratchRows);
    Bitmap turned;
    if (RotateBitmap(s->Bitmap, params, turned) && CommitRotation(ws, std::move(turned))) return true;
    if (dropped) ForgetDroppedKeptState(ws, s.Slot);
    ws.Port->RefreshView();
    return false;
}

} // namespace pixora
