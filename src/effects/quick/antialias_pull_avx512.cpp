// The antialiasing pull in AVX-512BW: sixteen pixels a
// vector.
// Everything the file includes comes before the switch, so that only this
// file's own code is compiled for it.
#include "doc/instruction_set.h"
#include "doc/vector_lanes.h"
#include "effects/quick/antialias_pull.h"

#if PIXORA_VECTOR_LANES
PIXORA_INSTRUCTION_SET_BEGIN("avx2,avx512bw")

#include "effects/quick/antialias_pull_body.h"

namespace pixora::quick {

std::size_t PullRunAvx512(uint8_t* dst, const uint8_t* n, const uint8_t* c, std::size_t count) {
    return PullWith<lanes::TAvx512>(dst, n, c, count);
}

} // namespace pixora::quick

PIXORA_INSTRUCTION_SET_END

#endif
