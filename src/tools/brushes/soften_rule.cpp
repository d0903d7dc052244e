#include "tools/brushes/soften_rule.h"

namespace pixora {

void SoftenStamp(Bitmap& image, const TDisc& disc, bool changeAlpha, const SelectionEditTest& test) {
    KernelStamp(image, disc, kSoftenKernel, changeAlpha, test);
}

} // namespace pixora
