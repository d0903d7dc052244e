// The antialiasing pull in SSE2, which every x86-64
// processor has: four pixels a vector.
#include "doc/vector_lanes.h"
#include "effects/quick/antialias_pull.h"

#if PIXORA_VECTOR_LANES
#include "effects/quick/antialias_pull_body.h"

namespace pixora::quick {

std::size_t PullRunSse2(uint8_t* dst, const uint8_t* n, const uint8_t* c, std::size_t count) {
    return PullWith<lanes::TSse2>(dst, n, c, count);
}

} // namespace pixora::quick

#endif
