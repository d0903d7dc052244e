#include "io/save_changes_list.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstring>

#include "doc/layer_strip.h"
#include "doc/resample.h"
#include "doc/slots.h"

namespace pixora {

namespace {

// Copies the colour bytes of `src` to (left, top) of the list.
void Blit(Bitmap& dst, const Bitmap& src, int left, int top) {
    for (int y = 0; y < src.Height(); ++y) {
        const int dy = top + y;
        if (dy < 0 || dy >= dst.Height()) continue;
        const uint8_t* s = src.Row(y);
        uint8_t* d = dst.Row(dy);
        for (int x = 0; x < src.Width(); ++x) {
            const int dx = left + x;
            if (dx < 0 || dx >= dst.Width()) continue;
            std::memcpy(d + 4 * dx, s + 4 * x, 3);
            d[4 * dx + 3] = 0;
        }
    }
}

void DrawRow(Bitmap& list, int row, const TImages& image, bool selected) {
    const int top = kSaveListRowHeight * row;
    list.FillGreyRect(0, top, list.Width(), top + kSaveListRowHeight, 255);
    // The frame around the thumbnail box.
    list.FillGreyRect(5, top + 5, 62, top + 6, 0);
    list.FillGreyRect(5, top + 61, 62, top + 62, 0);
    list.FillGreyRect(5, top + 5, 6, top + 62, 0);
    list.FillGreyRect(61, top + 5, 62, top + 62, 0);
    const Bitmap& src = image.Bitmap;
    if (!src.Empty() && src.BitsPerPixel() == 32) {
        const TThumbPlace place = PlaceLayerThumbnail(src.Width(), src.Height());
        const int x = 6 + place.X, y = top + 6 + place.Y;
        if (place.Size.Width == src.Width() && place.Size.Height == src.Height()) {
            Blit(list, src, x, y);
        } else {
            Bitmap thumb(place.Size.Width, place.Size.Height, 32);
            BilinearResample(src, thumb);
            Blit(list, thumb, x, y);
        }
    }
    DrawSaveListText(list, row, image, selected);
}

} // namespace

int SaveListRowAt(int y, int rowCount) {
    if (y < 0) return -1;
    const int i = y / kSaveListRowHeight;
    const int inRow = y - kSaveListRowHeight * i;
    if (i >= rowCount || inRow < 5 || inRow > 62) return -1;
    return i;
}

std::string SaveListCaption(const std::string& fileName) {
    return FileNamePart(fileName).substr(0, kSaveListNameLength);
}

void DrawSaveListText(Bitmap& list, int row, const TImages& image, bool selected) {
    const int top = kSaveListRowHeight * row;
    list.FillGreyRect(70, top + 5, kSaveListTextRight, top + 62, selected ? 204 : 255);
    if (list.Empty()) return;
    QImage view(list.Data(), list.Width(), list.Height(), static_cast<qsizetype>(list.Stride()),
                QImage::Format_RGB32);
    QPainter p(&view);
    p.setClipRect(QRect(70, top + 5, kSaveListTextRight - 70, 57));
    p.setPen(Qt::black);
    QFont font = p.font();
    font.setPixelSize(13);
    p.setFont(font);
    p.drawText(QRect(80, top + 25, kSaveListTextRight - 80, 37), Qt::AlignLeft | Qt::AlignTop,
               QString::fromStdString(SaveListCaption(image.FileName)));
    p.end();
    // QPainter marks what it touched in the fourth byte; the list is a
    // picture, so its fourth bytes are simply 0.
    for (int y = std::max(top + 5, 0); y < std::min(top + 62, list.Height()); ++y) {
        uint8_t* r = list.Row(y);
        for (int x = 70; x < std::min(kSaveListTextRight, list.Width()); ++x) r[4 * x + 3] = 0;
    }
}

void DrawSaveList(Bitmap& list, int width, const std::vector<const TImages*>& images,
                  const std::vector<bool>& selected) {
    list.SetBitsPerPixel(32);
    list.SetSize(width, kSaveListRowHeight * static_cast<int>(images.size()));
    for (std::size_t i = 0; i < images.size(); ++i)
        DrawRow(list, static_cast<int>(i), *images[i], i < selected.size() && selected[i]);
}

} // namespace pixora
