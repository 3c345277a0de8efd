// SPDX-License-Identifier: MIT
#include "crypto/MasterKey.h"

#include "common/AnsiCodec.h"

#include <cmath>
#include <optional>

namespace {

// The ANSI code of a character, as a signed 16-bit number for a double-byte
// character (lead byte high), the byte for a single-byte one.
int ansiCode(QChar character) {
    const QByteArray bytes = AnsiCodec::encode(QStringView(&character, 1));
    if (bytes.size() == 2)
        return static_cast<qint16>((static_cast<unsigned char>(bytes[0]) << 8) |
                                   static_cast<unsigned char>(bytes[1]));
    return bytes.isEmpty() ? 0 : static_cast<unsigned char>(bytes[0]);
}

// The character of an ANSI code, or nothing when the code page has none.
std::optional<QChar> characterOf(long long code) {
    if (code < -32768 || code > 65535)
        return std::nullopt;
    const unsigned value = static_cast<unsigned>(code < 0 ? code + 65536 : code);
    QByteArray bytes;
    if (value <= 0xFF) {
        if (AnsiCodec::isLeadByte(static_cast<unsigned char>(value)) || value == 0xFF)
            return std::nullopt; // half a character
        bytes.append(static_cast<char>(value));
    } else {
        const auto lead = static_cast<unsigned char>(value >> 8);
        const auto trail = static_cast<unsigned char>(value & 0xFF);
        if (!AnsiCodec::isLeadByte(lead) || !AnsiCodec::isTrailByte(trail))
            return std::nullopt;
        bytes.append(static_cast<char>(lead)).append(static_cast<char>(trail));
    }
    const QString decoded = AnsiCodec::decode(bytes);
    if (decoded.size() != 1 || decoded[0] == QChar::ReplacementCharacter)
        return std::nullopt;
    return decoded[0];
}

} // namespace

QString BuildMasterKey(const QString &baseText, const QString &keyText) {
    long long sum = 0;
    for (const QChar character : keyText)
        sum += ansiCode(character);
    const long long k = static_cast<long long>(std::floor(static_cast<double>(sum) * 0.1 / 6));

    QString result;
    qsizetype position = 0;
    for (const QChar character : baseText) {
        ++position;
        const long long c = ansiCode(character);
        long long code = 0;
        switch (position % 6) {
        case 1:
            code = c - (k - 5) - 1;
            break;
        case 2:
            code = c + (k - 4) - 2;
            break;
        case 3:
            code = c - (k - 2) - 3;
            break;
        case 4:
            code = c + (k - 3) - 4;
            break;
        case 5:
            code = c - (k - 5) - 5;
            break;
        default:
            code = c + (k - 2);
            break;
        }
        if (const auto output = characterOf(code))
            result.append(*output);
    }
    return result;
}

// Chosen so that every output code is a printable ASCII character: the key
// text's codes sum to 235, so k is 3 and each code moves by at most 4.
QString masterKeyBaseText() {
    return QStringLiteral("TkQr8Zm4Wd2Nh7Vx9Lp3Gs6Bf5Jc8Yt4Kq");
}

QString masterKeyKeyText() {
    return QStringLiteral("qz");
}
