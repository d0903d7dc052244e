// The window effects' row loops in AVX2 (window_rows.h). Everything the
// file includes comes before the switch, so that only this file's own code
// is compiled for it.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "doc/instruction_set.h"
#include "effects/engine/window_rows.h"

#if defined(__x86_64__) && defined(__GNUC__)

PIXORA_INSTRUCTION_SET_BEGIN("avx2")

#include "effects/engine/window_rows_body.h"

namespace pixora::kernels {

const TWindowRows kWindowRowsAvx2 = kWindowRowsOfThisUnit;

} // namespace pixora::kernels

PIXORA_INSTRUCTION_SET_END

#endif
