// SPDX-License-Identifier: MIT
// Build tool: writes the GBK tables the program converts with, read out of
// the GBK converter this Qt offers (code page 936, as Windows has it). The
// program then converts from a few compact tables of its own instead of
// opening that converter: opening it costs about a millisecond and a megabyte
// at every start, for what is one table look-up per character.
//
// The converter's ways are kept exactly: every valid byte pair has a
// character; a lead byte before a byte that cannot follow it gives U+FFFD and
// the byte is read again; a lead byte at the very end gives nothing.
// Characters without GBK bytes become "?", except the default-ignorable ones
// (soft hyphen, zero-width joiner, variation selectors...), which are left out.
#include "common/AnsiCodec.h"
#include "common/GbkTables.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

[[noreturn]] void fail(const char *what, unsigned value = 0) {
    std::fprintf(stderr, "GbkTableGenerator: %s (%#x)\n", what, value);
    std::exit(1);
}

using AnsiCodec::isTrailByte;
using GbkTables::leftOut;
using GbkTables::noGbkCharacter;

} // namespace

int main(int argc, char *argv[]) {
    if (argc != 2)
        fail("usage: GbkTableGenerator <output.cpp>");
    QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
    QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
    if (!decoder.isValid() || !encoder.isValid())
        fail("this Qt has no GBK converter");

    std::vector<unsigned> pairs;
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        if (!QString(decoder.decode(QByteArray(1, char(lead)))).isEmpty())
            fail("a lead byte alone at the end decodes to something", lead);
        for (unsigned trail = 0; trail <= 0xFF; ++trail) {
            const char bytes[] = {char(lead), char(trail)};
            const QString text = decoder.decode(QByteArray(bytes, 2));
            if (isTrailByte(trail)) {
                if (text.size() != 1 || text[0] == QChar::ReplacementCharacter)
                    fail("a valid byte pair does not decode to one character", lead << 8 | trail);
                pairs.push_back(text[0].unicode());
            } else if (text != QChar(QChar::ReplacementCharacter) +
                                   QString(decoder.decode(QByteArray(bytes + 1, 1)))) {
                fail("a lead byte before a non-trail byte does not give U+FFFD and that byte",
                     lead << 8 | trail);
            }
        }
    }
    unsigned singles[2] = {};
    for (int i = 0; i < 2; ++i) {
        const QString text = decoder.decode(QByteArray(1, char(i == 0 ? 0x80 : 0xFF)));
        if (text.size() != 1)
            fail("byte 0x80 or 0xFF does not decode to one character");
        singles[i] = text[0].unicode();
    }
    for (unsigned byte = 0; byte < 0x80; ++byte) {
        if (QString(decoder.decode(QByteArray(1, char(byte)))) != QChar(byte))
            fail("an ASCII byte does not decode to itself", byte);
    }

    // The encoder, by blocks of 256 characters; blocks without a GBK
    // character share block 0.
    std::vector<unsigned> codes(0x10000, noGbkCharacter);
    for (unsigned c = 0; c < 0x10000; ++c) {
        if (c >= 0xD800 && c < 0xE000)
            continue;
        const QByteArray bytes = encoder.encode(QString(QChar(char16_t(c))));
        if (c < 0x80) {
            if (bytes != QByteArray(1, char(c)))
                fail("an ASCII character does not encode to itself", c);
        } else if (bytes.isEmpty()) {
            codes[c] = leftOut;
        } else if (bytes == "?") {
            codes[c] = noGbkCharacter;
        } else if (bytes.size() == 1) {
            codes[c] = uchar(bytes[0]);
        } else if (bytes.size() == 2) {
            codes[c] = uchar(bytes[0]) << 8 | uchar(bytes[1]);
        } else {
            fail("a character encodes to more than two bytes", c);
        }
    }
    std::vector<unsigned> blockOf(256, 0);
    std::vector<unsigned> blocks(256, noGbkCharacter);
    for (unsigned high = 0; high < 256; ++high) {
        bool empty = true;
        for (unsigned low = 0; low < 256; ++low)
            empty = empty && codes[high << 8 | low] == noGbkCharacter;
        if (empty)
            continue;
        if (blocks.size() / 256 > 255)
            fail("more blocks than a byte can number");
        blockOf[high] = unsigned(blocks.size() / 256);
        for (unsigned low = 0; low < 256; ++low)
            blocks.push_back(codes[high << 8 | low]);
    }

    // Beyond the BMP GBK has no character; the default-ignorable ones are
    // left out, the rest become "?".
    std::vector<std::pair<char32_t, char32_t>> leftOutRanges;
    for (char32_t c = 0x10000; c <= 0x10FFFF; ++c) {
        const QByteArray bytes = encoder.encode(QString::fromUcs4(&c, 1));
        if (bytes == "?")
            continue;
        if (!bytes.isEmpty())
            fail("a character beyond the BMP has GBK bytes", c);
        if (!leftOutRanges.empty() && leftOutRanges.back().second + 1 == c)
            leftOutRanges.back().second = c;
        else
            leftOutRanges.emplace_back(c, c);
    }
    // Surrogates that are not part of a pair: "?", but nothing for a high one
    // at the very end.
    if (QByteArray(encoder.encode(QString(QChar(0xD800)) + u'A')) != "?A" ||
        QByteArray(encoder.encode(QString(QChar(0xDC00)) + u'A')) != "?A" ||
        !QByteArray(encoder.encode(QString(QChar(0xD800)))).isEmpty())
        fail("unpaired surrogates are not encoded as expected");

    QByteArray out;
    auto list = [&out](const std::vector<unsigned> &values) {
        for (size_t i = 0; i < values.size(); ++i)
            out += QByteArray::number(values[i]) + (i % 16 == 15 ? ",\n" : ",");
    };
    out += "// Generated at build time by GbkTableGenerator from the GBK converter of Qt.\n"
           "#include \"common/GbkTables.h\"\n\nnamespace GbkTables {\n\n";
    out += "const char16_t pairCharacters[126 * 190] = {\n";
    list(pairs);
    out += "};\n\nconst char16_t byte80Character = " + QByteArray::number(singles[0]) +
           ";\nconst char16_t byteFFCharacter = " + QByteArray::number(singles[1]) + ";\n\n";
    out += "const unsigned char encodingBlockOf[256] = {\n";
    list(blockOf);
    out += "};\n\nconst unsigned short encodingBlocks[] = {\n";
    list(blocks);
    out += "};\n\nconst CodeRange leftOutBeyondBmp[] = {\n";
    for (const auto &[first, last] : leftOutRanges)
        out += "{" + QByteArray::number(first) + ", " + QByteArray::number(last) + "},\n";
    out += "};\nconst int leftOutBeyondBmpCount = " + QByteArray::number(qsizetype(leftOutRanges.size())) +
           ";\n\n} // namespace GbkTables\n";

    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(out) != out.size())
        fail("cannot write the output file");
    return 0;
}
