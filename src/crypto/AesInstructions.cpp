// SPDX-License-Identifier: MIT
#include "crypto/AesInstructions.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define TACKORA_AESNI 1
#endif

namespace AesInstructions {

#ifdef TACKORA_AESNI

bool available() {
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("aes") && __builtin_cpu_supports("sse2");
    }();
    return has;
}

namespace {

template <bool Encrypt> __attribute__((target("aes,sse2"))) inline __m128i step(__m128i x, __m128i k) {
    if constexpr (Encrypt)
        return _mm_aesenc_si128(x, k);
    else
        return _mm_aesdec_si128(x, k);
}

template <bool Encrypt> __attribute__((target("aes,sse2"))) inline __m128i last(__m128i x, __m128i k) {
    if constexpr (Encrypt)
        return _mm_aesenclast_si128(x, k);
    else
        return _mm_aesdeclast_si128(x, k);
}

template <bool Encrypt>
__attribute__((target("aes,sse2"))) void run(const uint32_t *roundKeys, int rounds, uint8_t *data,
                                             qint64 blocks) {
    __m128i keys[15];
    for (int r = 0; r <= rounds; ++r)
        keys[r] = _mm_loadu_si128(reinterpret_cast<const __m128i *>(roundKeys + 4 * r));
    auto *block = reinterpret_cast<__m128i *>(data);
    qint64 i = 0;
    // Eight independent blocks keep the AES unit's pipeline full.
    for (; i + 8 <= blocks; i += 8) {
        __m128i x[8];
        for (int b = 0; b < 8; ++b)
            x[b] = _mm_xor_si128(_mm_loadu_si128(block + i + b), keys[0]);
        for (int r = 1; r < rounds; ++r) {
            for (int b = 0; b < 8; ++b)
                x[b] = step<Encrypt>(x[b], keys[r]);
        }
        for (int b = 0; b < 8; ++b)
            _mm_storeu_si128(block + i + b, last<Encrypt>(x[b], keys[rounds]));
    }
    for (; i < blocks; ++i) {
        __m128i x = _mm_xor_si128(_mm_loadu_si128(block + i), keys[0]);
        for (int r = 1; r < rounds; ++r)
            x = step<Encrypt>(x, keys[r]);
        _mm_storeu_si128(block + i, last<Encrypt>(x, keys[rounds]));
    }
}

} // namespace

void encrypt(const uint32_t *roundKeys, int rounds, uint8_t *data, qint64 blocks) {
    run<true>(roundKeys, rounds, data, blocks);
}

void decrypt(const uint32_t *roundKeys, int rounds, uint8_t *data, qint64 blocks) {
    run<false>(roundKeys, rounds, data, blocks);
}

#else

bool available() {
    return false;
}
void encrypt(const uint32_t *, int, uint8_t *, qint64) {}
void decrypt(const uint32_t *, int, uint8_t *, qint64) {}

#endif

} // namespace AesInstructions
