// SPDX-License-Identifier: MIT
#include "settings/ProfileEncoding.h"

#include "common/AnsiCodec.h"

#include <QStringDecoder>

namespace ProfileEncoding {
namespace {

// The line, from 1, that holds bytes[pos]; CR LF, LF and a lone CR end a line
// as they do for the profile format.
int lineAt(QByteArrayView bytes, qsizetype pos) {
    int line = 1;
    for (qsizetype i = 0; i < pos; ++i) {
        if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n')))
            ++line;
    }
    return line;
}

qsizetype firstNonAscii(QByteArrayView bytes) {
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (static_cast<unsigned char>(bytes[i]) >= 0x80)
            return i;
    }
    return -1;
}

bool isUtf8(QByteArrayView bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    [[maybe_unused]] const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

} // namespace

bool startsWithBom(QByteArrayView file) {
    return file.startsWith(kUtf8Bom);
}

qsizetype firstUndecodable(QByteArrayView bytes) {
    for (qsizetype pos = 0; pos < bytes.size(); pos += AnsiCodec::charLengthAt(bytes, pos)) {
        if (AnsiCodec::isLeadByte(static_cast<unsigned char>(bytes[pos])) &&
            AnsiCodec::charLengthAt(bytes, pos) == 1)
            return pos;
    }
    return -1;
}

QString decode(QByteArrayView bytes) {
    QString text;
    for (;;) {
        const qsizetype bad = firstUndecodable(bytes);
        if (bad < 0)
            return text + AnsiCodec::decode(bytes);
        text += AnsiCodec::decode(bytes.first(bad));
        text += QChar(QChar::ReplacementCharacter);
        bytes = bytes.sliced(bad + 1);
    }
}

Finding examine(QByteArrayView file) {
    using Kind = Finding::Kind;
    if (startsWithBom(file))
        return {Kind::Bom, 1};
    if (const qsizetype nonAscii = firstNonAscii(file); nonAscii >= 0 && isUtf8(file))
        return {Kind::LooksUtf8, lineAt(file, nonAscii)};
    if (const qsizetype bad = firstUndecodable(file); bad >= 0)
        return {Kind::NotGbk, lineAt(file, bad)};
    return {};
}

} // namespace ProfileEncoding
