// SPDX-License-Identifier: MIT
#pragma once

/// The Symbol font's characters: a byte in a font of \fcharset2 is no text in
/// any code page but a glyph of that font.
namespace RtfSymbolFont {

/// The Unicode character of byte in the Symbol font (0xB7 the bullet •, 0x61
/// α, 0xA7 ♣ ...); bytes the font leaves empty map to the private-use
/// character 0xF000 + byte, as Windows maps symbol fonts.
char16_t character(unsigned char byte);

} // namespace RtfSymbolFont
