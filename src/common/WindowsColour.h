// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QString>

#include <optional>

/// Colours as the settings store them: "&H00BBGGRR&" is a literal colour,
/// "&H800000nn&" the system colour nn, mapped onto the desktop's palette.
namespace WindowsColour {

/// The colour of a 32-bit colour word.
QColor fromWord(quint32 word);

/// The colour of a stored colour text (its numeric value).
QColor fromText(QStringView text);

inline constexpr quint32 kDesktop = 0x80000001;     // system colour 1
inline constexpr quint32 kCaptionText = 0x80000009; // system colour 9
inline constexpr quint32 kButtonText = 0x80000012;  // system colour 18

} // namespace WindowsColour
