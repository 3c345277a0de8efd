// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

/// The one codec for text that leaves the program: the ANSI code page of the
/// systems the program is written for, GBK (code page 936).
namespace AnsiCodec {

/// Text to GBK bytes; characters GBK lacks become "?" as the Windows ANSI
/// functions write them.
QByteArray encode(QStringView text);

/// GBK bytes to text; malformed bytes never stop the decoding.
QString decode(QByteArrayView bytes);

/// decode() into out, which has room for bytes.size() characters (the most
/// the bytes can give); returns the end of what was written.
QChar *decodeInto(QChar *out, QByteArrayView bytes);

/// True when byte is the first of a GBK double-byte character.
constexpr bool isLeadByte(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}

/// True when byte can follow a lead byte.
constexpr bool isTrailByte(unsigned char byte) {
    return byte >= 0x40 && byte <= 0xFE && byte != 0x7F;
}

/// Length in bytes of the character starting at bytes[pos]: 2 for a lead byte
/// followed by a trail byte, else 1.
qsizetype charLengthAt(QByteArrayView bytes, qsizetype pos);

/// At most maxBytes of bytes, never ending on half a double-byte character.
QByteArray cutToBytes(QByteArrayView bytes, qsizetype maxBytes);

} // namespace AnsiCodec
