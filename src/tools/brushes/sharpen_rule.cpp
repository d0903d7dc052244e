#include "tools/brushes/sharpen_rule.h"

namespace pixora {

void SharpenStamp(Bitmap& image, const TDisc& disc, bool changeAlpha, const SelectionEditTest& test) {
    KernelStamp(image, disc, kSharpenKernel, changeAlpha, test);
}

} // namespace pixora
