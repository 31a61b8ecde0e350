#pragma once
// PELLWICK_HAS_SSE2 is 1 where the compiler may use SSE2 intrinsics (then
// <emmintrin.h> is included), 0 elsewhere, where byte loops serve instead.
#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define PELLWICK_HAS_SSE2 1
#include <emmintrin.h>
#else
#define PELLWICK_HAS_SSE2 0
#endif
