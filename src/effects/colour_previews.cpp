#include "effects/colour_previews.h"

#include <QColor>
#include <QImage>

#include "doc/checkerboard.h"
#include "effects/colour/planes.h"
#include "tools/selection.h"

namespace pixora {

namespace {

// The view's picture becomes `picture` (32 bits) and is repainted.
void ShowInView(Workspace& ws, Bitmap&& picture) {
    picture.SetBitsPerPixel(32);
    ws.DisplayCopy = std::move(picture);
    FillRowTable(ws.DisplayCopy, ws.SysData.ScratchRows);
    ws.Port->RepaintView();
}

bool CopyIntoScratch(Workspace& ws) {
    const TActiveImage s = ws.ActivePicture();
    if (!s) return false;
    s->Bitmap.SetBitsPerPixel(32);
    FillRowTable(s->Bitmap, s->Rows);
    CopyBitmapInto(s->Bitmap, ws.FilterWork.Bitmap);
    ws.FilterWork.Refill();
    return true;
}

// The scratch copy still belongs to the active image (same size).
TImages* ImageOfScratch(Workspace& ws) {
    const TActiveImage s = ws.ActivePicture();
    const Bitmap& scratch = ws.FilterWork.Bitmap;
    if (!s || scratch.Width() != s->Bitmap.Width() || scratch.Height() != s->Bitmap.Height()) return nullptr;
    return s.Image;
}

} // namespace

Bitmap HistogramWorkCopy(Workspace& ws) {
    const TActiveImage s = ws.ActivePicture();
    if (!s) return Bitmap();
    Bitmap work = s->Bitmap;
    work.SetBitsPerPixel(24);
    return work;
}

void ShowHistogramPlane(Workspace& ws, const Bitmap& work, int plane, bool colour, bool invert,
                        QImage& histogramImage) {
    histogramImage.fill(QColor(192, 192, 192));
    if (work.Empty() || work.BitsPerPixel() != 24) return;
    THistogram histogram;
    Bitmap picture = HistogramAndPlaneImage(work, plane, colour, invert, histogram);
    DrawHistogram(plane, histogram, histogramImage);
    ShowInView(ws, std::move(picture));
}

bool PreviewGrayScale(Workspace& ws, const quick::TGrayScaleParams& params) {
    // The window stays open while the user works on, so every preview
    // starts from the image as it is now.
    if (!CopyIntoScratch(ws)) return false;
    Bitmap grey;
    quick::GrayScale(ws.FilterWork.Bitmap, grey, params);
    ShowInView(ws, std::move(grey));
    return true;
}

bool StartChannelTransfer(Workspace& ws) {
    return CopyIntoScratch(ws);
}

void RunChannelTransfer(Workspace& ws, const std::optional<quick::TChannelTransferParams>& params) {
    TImages* s = ImageOfScratch(ws);
    if (!s) return;
    if (!params) {
        CopyBitmapInto(ws.FilterWork.Bitmap, s->Bitmap);
    } else {
        const SelectionEditTest test(ws);
        if (test.Active())
            quick::ChannelTransfer(ws.FilterWork.Bitmap, s->Bitmap, *params, quick::PixelTestOf(test));
        else
            quick::ChannelTransfer(ws.FilterWork.Bitmap, s->Bitmap, *params);
    }
    FillRowTable(s->Bitmap, s->Rows);
    ws.Port->RefreshView();
}

void RestoreFromScratch(Workspace& ws) {
    TImages* s = ImageOfScratch(ws);
    if (!s) return;
    CopyBitmapInto(ws.FilterWork.Bitmap, s->Bitmap);
    FillRowTable(s->Bitmap, s->Rows);
    ws.Port->RefreshView();
}

} // namespace pixora
