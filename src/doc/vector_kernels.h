#pragma once
// The vector kernels a machine runs. Loops written for several vector
// widths (one file per instruction set) take the widest the machine has;
// a test may hold them to a narrower one, so that every width is checked
// against the plain rule on any machine.

namespace pixora {

// Narrowest first: each runs wherever the next one does.
enum class TVectorKernel : int { Plain, Sse2, Avx2, Avx512 };

// The widest kernel this machine runs (Avx512 stands for AVX-512BW).
TVectorKernel WidestVectorKernel();

// The kernel the loops use: the widest, or the one an override holds them
// to when the machine runs that.
TVectorKernel VectorKernelInUse();

class TVectorKernelOverride {
public:
    explicit TVectorKernelOverride(TVectorKernel kernel);
    ~TVectorKernelOverride();
    TVectorKernelOverride(const TVectorKernelOverride&) = delete;
    TVectorKernelOverride& operator=(const TVectorKernelOverride&) = delete;

private:
    int previous_;
};

} // namespace pixora
