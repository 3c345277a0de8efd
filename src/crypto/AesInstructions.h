// SPDX-License-Identifier: MIT
#pragma once

#include <QtGlobal>

#include <cstdint>

/// The processor's AES instructions over the engine's round keys (little-endian
/// column words, which in memory are the key bytes in order), eight blocks at
/// a time where there are eight.
namespace AesInstructions {

bool available();

/// blocks × 16 bytes of data in place. roundKeys: 4 × (rounds + 1) words.
void encrypt(const uint32_t *roundKeys, int rounds, uint8_t *data, qint64 blocks);
/// With the equivalent inverse cipher's round keys.
void decrypt(const uint32_t *roundKeys, int rounds, uint8_t *data, qint64 blocks);

} // namespace AesInstructions
