#pragma once
// The bodies of the wide loops of point_lanes.h, written once for every
// vector width: W is one of the traits of doc/vector_lanes.h. A width's
// file includes this after switching the compiler to its instruction set.
// Only templates live here, so each width's file gets copies of its own.

#include "effects/engine/point_kernels.h"
#include "effects/engine/point_lanes.h"

namespace pixora::kernels {

namespace {

template <class W> int SaturationLanesWith(const TSaturationLanes& k, uint8_t* p, int n) {
    using V = typename W::V;
    const V onFactor = W::Lanes16(k.OnFactor[0], k.OnFactor[1], k.OnFactor[2], k.OnFactor[3]);
    const V scale = W::Lanes16(k.Scale[0], k.Scale[1], k.Scale[2], k.Scale[3]);
    const V by255 = W::Set16(static_cast<int16_t>(0x8081)); // x / 255 == (x * 0x8081) >> 23
    const auto lanes = [&](V c) {
        // The pixel's sum times the factor in both of its 32-bit lanes.
        const V pairs = W::MulAddPairs16(c, onFactor);
        const V mean32 = W::ShiftRight32(W::Add32(pairs, W::SwapPairs32(pairs)), 11);
        const V mean = W::Or(mean32, W::ShiftLeft32(mean32, 16));
        const V d = W::Sub16(c, mean);
        const V q = W::ShiftRight16(W::MulHighU16(W::MulLow16(W::Abs16(d), scale), by255), 7);
        return W::Add16(mean, W::WithSignOf16(q, d));
    };
    int i = 0;
    for (; i + W::kPixels <= n; i += W::kPixels) {
        uint8_t* q = p + 4 * static_cast<std::ptrdiff_t>(i);
        if ((reinterpret_cast<std::uintptr_t>(q) & 63) < 4 * W::kPixels) PrefetchAhead(q);
        const V v = W::Load(q);
        W::Store(q, W::Narrow(lanes(W::WidenLow(v)), lanes(W::WidenHigh(v))));
    }
    return i;
}

} // namespace

} // namespace pixora::kernels
