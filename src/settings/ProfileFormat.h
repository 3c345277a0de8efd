// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

#include <optional>

/// The Windows profile-file format on raw ANSI (GBK) bytes, read and written as
/// the Windows ANSI profile functions do. Names and values are bytes; the
/// caller converts them with AnsiCodec.
namespace ProfileFormat {

/// The longest value a read returns, in bytes (a 256-byte buffer with its NUL).
inline constexpr qsizetype kMaxValueBytes = 255;

/// The value of key in section, or nothing when either is missing.
/// Section and key names match without regard to ASCII case and to blanks
/// around them; only the first of duplicate sections and keys counts; the value
/// loses surrounding blanks and one pair of matching quotes, ends at a NUL and
/// is cut to kMaxValueBytes without splitting a double-byte character.
std::optional<QByteArray> readValue(QByteArrayView file, QByteArrayView section, QByteArrayView key);

/// The file with key in section set to value; every other byte stays as it
/// was. A missing key goes after the last line of its section, a missing
/// section at the end of the file, both with the file's own line ends (CRLF
/// for a new file). Value bytes after a NUL are dropped, and CR or LF in any
/// name or value become blanks so that no line can be injected.
QByteArray writeValue(QByteArrayView file, QByteArrayView section, QByteArrayView key, QByteArrayView value);

} // namespace ProfileFormat
