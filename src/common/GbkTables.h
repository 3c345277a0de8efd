// SPDX-License-Identifier: MIT
#pragma once

// The tables of the GBK conversions, written at build time from the GBK
// converter of Qt (see GbkTableGenerator.cpp).
namespace GbkTables {

/// The character of each valid byte pair: lead 0x81-0xFE, trail 0x40-0xFE
/// without 0x7F, row by row.
extern const char16_t pairCharacters[126 * 190];

/// The characters of the two single bytes above ASCII that are not lead bytes.
extern const char16_t byte80Character;
extern const char16_t byteFFCharacter;

/// A character's GBK bytes are encodingBlocks[encodingBlockOf[c >> 8] * 256 +
/// (c & 0xFF)]: one byte below 0x100, else lead byte and trail byte.
extern const unsigned char encodingBlockOf[256];
extern const unsigned short encodingBlocks[];
/// The two marks in encodingBlocks besides GBK bytes.
constexpr unsigned short noGbkCharacter = 0x0000; // written as "?"
constexpr unsigned short leftOut = 0xFFFF;        // a default-ignorable character

/// The characters beyond the BMP the encoder leaves out instead of writing "?".
struct CodeRange {
    char32_t first;
    char32_t last;
};
extern const CodeRange leftOutBeyondBmp[];
extern const int leftOutBeyondBmpCount;

} // namespace GbkTables
