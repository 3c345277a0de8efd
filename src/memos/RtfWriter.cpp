// SPDX-License-Identifier: MIT
#include "memos/RtfWriter.h"

#include "common/AnsiCodec.h"

#include <QColor>
#include <QList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

namespace RtfWriter {
namespace {

QByteArray hexByte(unsigned char byte) {
    static const char digits[] = "0123456789abcdef";
    return QByteArray("\\'") + digits[byte >> 4] + digits[byte & 0x0F];
}

// Text as RTF: ASCII as it is (with \ { } escaped), GBK characters as their
// bytes, anything else as a Unicode escape with "?" for older readers.
QByteArray escapeText(const QString &text) {
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const char16_t u = c.unicode();
        if (u == u'\\' || u == u'{' || u == u'}') {
            out.append('\\').append(char(u));
        } else if (u == u'\t') {
            out.append("\\tab ");
        } else if (u == QChar::LineSeparator) {
            out.append("\\line ");
        } else if (u == 0x00A0) {
            out.append("\\~");
        } else if (u >= 0x20 && u < 0x80) {
            out.append(char(u));
        } else if (u < 0x20) {
            continue; // other control characters have no place in the text
        } else {
            const bool pair = c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
            const QString character = pair ? text.mid(i, 2) : QString(c);
            const QByteArray gbk = AnsiCodec::encode(character);
            if (!pair && !c.isSurrogate() && gbk != "?") {
                for (char byte : gbk)
                    out.append(hexByte(static_cast<unsigned char>(byte)));
            } else {
                for (const QChar unit : character)
                    out.append("\\u").append(QByteArray::number(qint16(unit.unicode()))).append('?');
            }
            if (pair)
                ++i;
        }
    }
    return out;
}

int colourIndex(QList<QColor> &table, const QColor &colour) {
    const QColor rgb = colour.toRgb();
    for (qsizetype i = 0; i < table.size(); ++i) {
        if (table[i] == rgb)
            return int(i) + 1;
    }
    table.append(rgb);
    return int(table.size());
}

int fontIndex(QStringList &fonts, const QString &family) {
    if (family.isEmpty())
        return 0;
    const qsizetype found = fonts.indexOf(family);
    if (found >= 0)
        return int(found);
    fonts.append(family);
    return int(fonts.size() - 1);
}

QByteArray alignmentWord(Qt::Alignment alignment) {
    if (alignment & Qt::AlignHCenter)
        return "\\qc";
    if (alignment & Qt::AlignRight)
        return "\\qr";
    if (alignment & Qt::AlignJustify)
        return "\\qj";
    return "\\ql";
}

} // namespace

QByteArray write(const QTextDocument &document) {
    QStringList fonts = {QStringLiteral("宋体")};
    QList<QColor> colours;
    QByteArray body;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        body.append("\\pard").append(alignmentWord(block.blockFormat().alignment())).append(' ');
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            const QTextCharFormat format = fragment.charFormat();
            QByteArray words;
            const QStringList families = format.fontFamilies().toStringList();
            words.append("\\f").append(QByteArray::number(fontIndex(fonts, families.value(0))));
            if (format.fontWeight() >= QFont::Bold)
                words.append("\\b");
            if (format.fontItalic())
                words.append("\\i");
            if (format.fontUnderline())
                words.append("\\ul");
            if (format.fontStrikeOut())
                words.append("\\strike");
            const double points = format.fontPointSize();
            if (points > 0)
                words.append("\\fs").append(QByteArray::number(qRound(points * 2)));
            if (format.hasProperty(QTextFormat::ForegroundBrush) &&
                format.foreground().style() != Qt::NoBrush)
                words.append("\\cf").append(
                    QByteArray::number(colourIndex(colours, format.foreground().color())));
            if (format.hasProperty(QTextFormat::BackgroundBrush) &&
                format.background().style() != Qt::NoBrush)
                words.append("\\highlight")
                    .append(QByteArray::number(colourIndex(colours, format.background().color())));
            body.append('{').append(words).append(' ').append(escapeText(fragment.text())).append('}');
        }
        if (block.next().isValid())
            body.append("\\par\r\n");
    }

    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052{\\fonttbl";
    for (qsizetype i = 0; i < fonts.size(); ++i)
        rtf.append("{\\f")
            .append(QByteArray::number(i))
            .append("\\fnil\\fcharset134 ")
            .append(escapeText(fonts[i]))
            .append(";}");
    rtf.append("}\r\n{\\colortbl ;");
    for (const QColor &colour : colours) {
        rtf.append("\\red").append(QByteArray::number(colour.red()));
        rtf.append("\\green").append(QByteArray::number(colour.green()));
        rtf.append("\\blue").append(QByteArray::number(colour.blue())).append(';');
    }
    rtf.append("}\r\n\\viewkind4\\uc1").append(body).append("\\par\r\n}\r\n");
    return rtf;
}

} // namespace RtfWriter
