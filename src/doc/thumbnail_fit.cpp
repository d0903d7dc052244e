#include "doc/thumbnail_fit.h"

namespace pixora {

TThumbSize FitThumbnail(int w, int h, int limit) {
    if (w <= 0 || h <= 0) return {0, 0};
    if (w <= limit && h <= limit) return {w, h};
    const long long W = w, H = h, L = limit;
    long long tw = W * L / H, th = L;
    if (tw > L) {
        tw = L;
        th = H * L / W;
    }
    return {static_cast<int>(tw), static_cast<int>(th)};
}

} // namespace pixora
