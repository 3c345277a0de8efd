// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

/// The numeric reading of stored text: leading blanks skipped, the longest
/// numeric prefix taken ("12px" is 12, "01" is 1), no number gives 0. A colour
/// literal "&H...&" (or "&O...") reads as the 32-bit value of its digits.
namespace NumericText {

/// The value of a hex digit ("0"-"9", "A"-"F", "a"-"f"), or -1.
int hexDigitValue(QChar c);

/// The value as a floating-point number (a hex literal gives its signed 32-bit value).
double valueOf(QStringView text);

/// The value rounded to a whole number and clamped to the int range.
int intValueOf(QStringView text);

/// The value as a 32-bit colour word: "&H80000005&" gives 0x80000005.
quint32 colourValueOf(QStringView text);

/// The value of a text that is ASCII digits and nothing else (at most nine),
/// or nothing: for fields that must be written in digits, unlike valueOf.
std::optional<int> digitsValue(QStringView digits);

} // namespace NumericText
