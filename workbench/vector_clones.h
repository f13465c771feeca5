#pragma once
// The hottest pixel loops are compiled twice, for the x86-64 baseline and for AVX2, and the loader
// picks the one the processor runs best. Put the macro before a function's declaration.

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define ORVANTA_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define ORVANTA_VECTOR_CLONES
#endif
