#include "io/gif_preview.h"

#include <cstring>

namespace pixora {

void DrawGifPreview(const Bitmap& image, const Bitmap& checker, int sensitivity, Bitmap& preview) {
    const int w = image.Width(), h = image.Height();
    if (preview.Width() != w || preview.Height() != h || preview.BitsPerPixel() != 32) {
        preview.SetBitsPerPixel(32);
        preview.SetSize(w, h);
    }
    const int bpp = image.BytesPerPixel();
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = image.Row(y);
        const uint8_t* c = checker.Row(y);
        uint8_t* d = preview.Row(y);
        for (int x = 0; x < w; ++x) {
            const int t = bpp == 4 ? s[4 * x + 3] : 0;
            const uint8_t* from = sensitivity >= 255 - t ? c + 4 * x : s + bpp * x;
            d[4 * x] = from[0];
            d[4 * x + 1] = from[1];
            d[4 * x + 2] = from[2];
            d[4 * x + 3] = 0;
        }
    }
}

} // namespace pixora
