#pragma once

// The x86 vector intrinsics, for functions built for processors with 512-bit vectors and
// chosen at run time; OCUVIS_WIDE_VECTORS says they are there.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
// GCC 12's own intrinsics start some results from an undefined vector, which it then warns of
// wherever they are inlined.
#if !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>
#if !defined(__clang__)
#pragma GCC diagnostic pop
#endif
#define OCUVIS_WIDE_VECTORS 1
#endif
