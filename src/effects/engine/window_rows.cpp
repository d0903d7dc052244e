// The window effects' row loops for the plain x86-64 set (SSE2 at most),
// and the choice between the instruction sets.
#include "effects/engine/window_rows.h"

#include "doc/vector_kernels.h"
#include "effects/engine/window_rows_body.h"

namespace pixora::kernels {

const TWindowRows kWindowRowsPlain = kWindowRowsOfThisUnit;

const TWindowRows& WindowRows() {
#if defined(__x86_64__) && defined(__GNUC__)
    if (VectorKernelInUse() >= TVectorKernel::Avx2) return kWindowRowsAvx2;
#endif
    return kWindowRowsPlain;
}

} // namespace pixora::kernels
