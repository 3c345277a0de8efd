// SPDX-License-Identifier: MIT
#include "common/AnsiCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace AnsiCodec {

// Opening a GBK converter costs more than most conversions, so each thread
// keeps one. Stateless converters end every call clean, a cut character
// included, so one call never leaks into the next.
QByteArray encode(QStringView text) {
    thread_local QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}

QString decode(QByteArrayView bytes) {
    thread_local QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
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
