#pragma once
// The antialiasing pull over a run of pixels, with the widest vector
// kernel the machine runs.

#include <cstddef>
#include <cstdint>

namespace pixora::quick {

// dst[i] := pixel i of n pulled towards pixel i of c, for i < count; the
// fourth bytes are those of n. dst may be n itself (pixel for pixel), never
// c. Every kernel gives the same bytes: TowardsCentre per colour byte.
void PullRun(uint8_t* dst, const uint8_t* n, const uint8_t* c, std::size_t count);

// The same with the kernel named: 0 one pixel at a time through the table,
// 1 four pixels a step, 2 eight, 3 sixteen. Kernels the machine lacks run
// as the widest one it has below them (tests hold each against the first).
void PullRunWith(int kernel, uint8_t* dst, const uint8_t* n, const uint8_t* c, std::size_t count);

// The vector loops of each instruction set, over whole vectors of pixels;
// each returns how many pixels it did.
std::size_t PullRunSse2(uint8_t* dst, const uint8_t* n, const uint8_t* c, std::size_t count);
std::size_t PullRunAvx2(uint8_t* dst, const uint8_t* n, const uint8_t* c, std::size_t count);
std::size_t PullRunAvx512(uint8_t* dst, const uint8_t* n, const uint8_t* c, std::size_t count);

} // namespace pixora::quick
