#pragma once
// The vector loop of the antialiasing pull (antialias_pull.h), written once
// for every vector width: W is one of the traits of doc/vector_lanes.h. A
// width's file includes this after switching the compiler to its
// instruction set. Only templates live here, so each width's file gets
// copies of its own.

#include <cstddef>
#include <cstdint>

namespace pixora::quick {

namespace {

// In 16-bit lanes: v = c + 5 n (at most 1530), q = v / 6 as the high half
// of v * 10923 (exact for every such v), r = v - 6 q; the quotient rounds
// up when r > 3, or r = 3 and q is odd, that is when r + (q & 1) > 3.
template <class W> typename W::V TowardsLanes(typename W::V c, typename W::V n) {
    const auto v = W::Add16(c, W::Add16(W::ShiftLeft16(n, 2), n));
    const auto q = W::MulHighU16(v, W::Set16(10923));
    const auto r = W::Sub16(v, W::Add16(W::ShiftLeft16(q, 2), W::ShiftLeft16(q, 1)));
    const auto odd = W::And(q, W::Set16(1));
    return W::AddOneWhereGreater16(q, W::Add16(r, odd), W::Set16(3));
}

// Whole vectors of pixels; returns how many it did. Unpacking and packing
// work within each 16 bytes alike, so the bytes come back where they were.
template <class W> std::size_t PullWith(uint8_t* dst, const uint8_t* n, const uint8_t* c, std::size_t count) {
    std::size_t i = 0;
    for (; i + W::kPixels <= count; i += W::kPixels) {
        const auto nv = W::Load(n + 4 * i), cv = W::Load(c + 4 * i);
        const auto low = TowardsLanes<W>(W::WidenLow(cv), W::WidenLow(nv));
        const auto high = TowardsLanes<W>(W::WidenHigh(cv), W::WidenHigh(nv));
        W::Store(dst + 4 * i, W::FourthBytesOf(W::Narrow(low, high), nv));
    }
    return i;
}

} // namespace

} // namespace pixora::quick
