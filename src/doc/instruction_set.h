#pragma once
// A unit's switch to a wider instruction set: every function defined
// between PIXORA_INSTRUCTION_SET_BEGIN("avx2") and PIXORA_INSTRUCTION_SET_END
// is compiled for that set, and is called only where the machine runs it
// (the run-time choice of doc/vector_kernels.h).
//
// The unit includes everything it uses before the switch. An inline
// function of a shared header compiled inside it would be one more copy of
// a function other units also emit, and the linker might keep the wide one
// for every caller; before the switch it stays a plain one.
//
// GCC switches with its target pragma, clang by giving each function of the
// region the target attribute; both leave the code before and after alone.

#define PIXORA_PRAGMA(text) _Pragma(#text)

#if defined(__clang__)
#define PIXORA_INSTRUCTION_SET_BEGIN(set)                                                                    \
    PIXORA_PRAGMA(clang attribute push(__attribute__((target(set))), apply_to = function))
#define PIXORA_INSTRUCTION_SET_END PIXORA_PRAGMA(clang attribute pop)
#elif defined(__GNUC__)
#define PIXORA_INSTRUCTION_SET_BEGIN(set) PIXORA_PRAGMA(GCC push_options) PIXORA_PRAGMA(GCC target(set))
#define PIXORA_INSTRUCTION_SET_END PIXORA_PRAGMA(GCC pop_options)
#else
#define PIXORA_INSTRUCTION_SET_BEGIN(set)
#define PIXORA_INSTRUCTION_SET_END
#endif
