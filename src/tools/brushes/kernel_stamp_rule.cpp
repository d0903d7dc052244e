#include "tools/brushes/kernel_stamp_rule.h"

namespace pixora {

void KernelStamp(Bitmap& image, const TDisc& disc, const TKernel3x3& k, bool changeAlpha,
                 const SelectionEditTest& test) {
    const int w = image.Width(), h = image.Height();
    const std::ptrdiff_t up = -static_cast<std::ptrdiff_t>(image.Stride());
    const std::ptrdiff_t down = static_cast<std::ptrdiff_t>(image.Stride());
    const std::ptrdiff_t offset[9] = {up - 4, up, up + 4, -4, 0, 4, down - 4, down, down + 4};
    const int channels = changeAlpha ? 4 : 3;
    ForEachDiscPixel(image, disc, test, [&](uint8_t* p, int x, int y, int) {
        if (x == 0 || y == 0 || x == w - 1 || y == h - 1) return;
        for (int c = 0; c < channels; ++c) {
            int sum = 0;
            for (int i = 0; i < 9; ++i)
                sum += k[static_cast<std::size_t>(i)] * p[offset[i] + c];
            p[c] = ClampByte((sum + 3) / 128);
        }
    });
}

} // namespace pixora
