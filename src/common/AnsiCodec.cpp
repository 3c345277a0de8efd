// SPDX-License-Identifier: MIT
#include "common/AnsiCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace AnsiCodec {

QByteArray encode(QStringView text) {
    // A fresh converter per call: converters keep state between calls.
    QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}

QString decode(QByteArrayView bytes) {
    QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
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
