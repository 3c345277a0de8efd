// SPDX-License-Identifier: MIT
#include "common/AnsiCodec.h"

#include "common/GbkTables.h"

#include <algorithm>

namespace AnsiCodec {

namespace {

int trailIndex(unsigned char trail) {
    return trail < 0x7F ? trail - 0x40 : trail - 0x41;
}

bool leftOutBeyondBmp(char32_t c) {
    const GbkTables::CodeRange *begin = GbkTables::leftOutBeyondBmp;
    const GbkTables::CodeRange *end = begin + GbkTables::leftOutBeyondBmpCount;
    const auto range =
        std::upper_bound(begin, end, c, [](char32_t value, const auto &r) { return value < r.first; });
    return range != begin && c <= (range - 1)->last;
}

} // namespace

// The conversions keep no state from one call to the next: a character cut at
// the end of one call never reaches into the next, on any thread.
QByteArray encode(QStringView text) {
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            bytes += char(c);
            continue;
        }
        if (QChar::isHighSurrogate(c)) {
            if (i + 1 == text.size())
                break; // half a pair at the very end is dropped
            if (QChar::isLowSurrogate(text[i + 1].unicode())) {
                if (!leftOutBeyondBmp(QChar::surrogateToUcs4(c, text[++i].unicode())))
                    bytes += '?';
                continue;
            }
            bytes += '?';
            continue;
        }
        if (QChar::isLowSurrogate(c)) {
            bytes += '?';
            continue;
        }
        const unsigned short code =
            GbkTables::encodingBlocks[GbkTables::encodingBlockOf[c >> 8] * 256 + (c & 0xFF)];
        if (code == GbkTables::leftOut)
            continue;
        if (code == GbkTables::noGbkCharacter) {
            bytes += '?';
        } else if (code < 0x100) {
            bytes += char(code);
        } else {
            bytes += char(code >> 8);
            bytes += char(code & 0xFF);
        }
    }
    return bytes;
}

QChar *decodeInto(QChar *out, QByteArrayView bytes) {
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size; ++i) {
        const unsigned char byte = data[i];
        if (byte < 0x80) {
            *out++ = QChar(char16_t(byte));
        } else if (byte == 0x80) {
            *out++ = QChar(GbkTables::byte80Character);
        } else if (byte == 0xFF) {
            *out++ = QChar(GbkTables::byteFFCharacter);
        } else if (i + 1 == size) {
            break; // a lead byte at the very end is dropped
        } else if (isTrailByte(data[i + 1])) {
            *out++ = QChar(GbkTables::pairCharacters[(byte - 0x81) * 190 + trailIndex(data[i + 1])]);
            ++i;
        } else {
            *out++ = QChar(QChar::ReplacementCharacter); // the next byte is read on its own
        }
    }
    return out;
}

QString decode(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    text.truncate(decodeInto(text.data(), bytes) - text.constData());
    return text;
}

qsizetype charLengthAt(QByteArrayView bytes, qsizetype pos) {
    if (pos + 1 < bytes.size() && isLeadByte(static_cast<unsigned char>(bytes[pos])) &&
        isTrailByte(static_cast<unsigned char>(bytes[pos + 1])))
        return 2;
    return 1;
}

QByteArray cutToBytes(QByteArrayView bytes, qsizetype maxBytes) {
    if (bytes.size() <= maxBytes)
        return bytes.toByteArray();
    qsizetype end = 0;
    while (end < bytes.size()) {
        const qsizetype next = end + charLengthAt(bytes, end);
        if (next > maxBytes)
            break;
        end = next;
    }
    return bytes.first(end).toByteArray();
}

} // namespace AnsiCodec
