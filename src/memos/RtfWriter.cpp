// SPDX-License-Identifier: MIT
#include "memos/RtfWriter.h"

#include "common/AnsiCodec.h"
#include "memos/RtfPictures.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>

#include <optional>

namespace RtfWriter {
namespace {

void appendHexByte(QByteArray &out, unsigned char byte) {
    static const char digits[] = "0123456789abcdef";
    const char escape[4] = {'\\', '\'', digits[byte >> 4], digits[byte & 0x0F]};
    out.append(escape, 4);
}

// GBK bytes as RTF: ASCII as it is (with \ { } escaped), every byte of a
// double-byte character as \'hh.
void appendGbkBytes(QByteArray &out, QByteArrayView bytes) {
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x80) {
            if (byte == '\\' || byte == '{' || byte == '}')
                out.append('\\');
            out.append(char(byte));
            continue;
        }
        const qsizetype length = AnsiCodec::charLengthAt(bytes, i);
        for (qsizetype k = 0; k < length; ++k)
            appendHexByte(out, static_cast<unsigned char>(bytes[i + k]));
        i += length - 1;
    }
}

// Unicode escapes with "?" for readers without Unicode.
void appendUnicode(QByteArray &out, QStringView text) {
    for (const QChar unit : text)
        out.append("\\u").append(QByteArray::number(qint16(unit.unicode()))).append('?');
}

// text as RTF: what GBK gives back unchanged as its GBK bytes, any other
// character (one the encoder leaves out, such as a zero-width joiner, or
// turns into "?") as a Unicode escape. Halves are tried in turn, so a long
// run with a few such characters costs a few conversions only.
void appendEncoded(QByteArray &out, QStringView text) {
    if (text.isEmpty())
        return;
    const QByteArray gbk = AnsiCodec::encode(text);
    if (AnsiCodec::decode(gbk) == text) {
        appendGbkBytes(out, gbk);
        return;
    }
    const bool oneCharacter =
        text.size() == 1 || (text.size() == 2 && text[0].isHighSurrogate() && text[1].isLowSurrogate());
    if (oneCharacter) {
        appendUnicode(out, text);
        return;
    }
    qsizetype middle = text.size() / 2;
    if (text[middle].isLowSurrogate() && text[middle - 1].isHighSurrogate())
        ++middle;
    appendEncoded(out, text.first(middle));
    appendEncoded(out, text.sliced(middle));
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

QImage imageOf(const QVariant &resource) {
    switch (resource.typeId()) {
    case QMetaType::QImage:
        return resource.value<QImage>();
    case QMetaType::QPixmap:
        return resource.value<QPixmap>().toImage();
    case QMetaType::QByteArray:
        return QImage::fromData(resource.toByteArray());
    default:
        return QImage();
    }
}

class Writer {
public:
    explicit Writer(const QTextDocument &document)
        : m_document(document)
        , m_defaultFont(document.defaultFont()) {}

    QByteArray write();

private:
    const QByteArray &wordsOf(int formatIndex, const QTextCharFormat &format);
    int fontIndex(const QString &family);
    int colourIndex(const QColor &colour);
    void queueText(QStringView text);
    void appendPicture(const QTextImageFormat &format);
    QByteArray keptGroup(const QTextImageFormat &format);
    void appendBodyWithText(QByteArray &out) const;

    const QTextDocument &m_document;
    const QFont m_defaultFont;
    QStringList m_fonts = {QStringLiteral("宋体")};
    QList<QColor> m_colours;
    QHash<int, QByteArray> m_words; // by format index
    std::optional<QHash<QString, QByteArray>> m_groupsByName;
    // The body without its text; the text of all runs is converted to GBK at
    // once (one conversion each way for the whole document) and put in at
    // m_textAt afterwards.
    QByteArray m_body;
    QString m_text; // the runs' text, each ended by '\n'
    QList<qsizetype> m_textAt;
};

int Writer::fontIndex(const QString &family) {
    if (family.isEmpty())
        return 0;
    const qsizetype found = m_fonts.indexOf(family);
    if (found >= 0)
        return int(found);
    m_fonts.append(family);
    return int(m_fonts.size() - 1);
}

int Writer::colourIndex(const QColor &colour) {
    const QColor rgb = colour.toRgb();
    const qsizetype found = m_colours.indexOf(rgb);
    if (found >= 0)
        return int(found) + 1;
    m_colours.append(rgb);
    return int(m_colours.size());
}

// The words of a run: face, size and style as shown, whether the run sets
// them or the document's default font gives them.
const QByteArray &Writer::wordsOf(int formatIndex, const QTextCharFormat &format) {
    const auto cached = m_words.constFind(formatIndex);
    if (cached != m_words.cend())
        return *cached;
    const QFont font = format.font().resolve(m_defaultFont);
    QString family = format.property(QTextFormat::FontFamilies).toStringList().value(0);
    if (family.isEmpty())
        family = format.stringProperty(QTextFormat::FontFamily);
    if (family.isEmpty())
        family = m_defaultFont.families().value(0, m_defaultFont.family());
    double points = font.pointSizeF();
    if (points <= 0 && font.pixelSize() > 0)
        points = font.pixelSize() * 72.0 / 96.0;
    if (points <= 0)
        points = 12;
    QByteArray words = "\\f" + QByteArray::number(fontIndex(family));
    if (font.weight() >= QFont::Bold)
        words.append("\\b");
    if (font.italic())
        words.append("\\i");
    if (font.underline())
        words.append("\\ul");
    if (font.strikeOut())
        words.append("\\strike");
    words.append("\\fs").append(QByteArray::number(qRound(points * 2)));
    if (format.hasProperty(QTextFormat::ForegroundBrush) && format.foreground().style() != Qt::NoBrush)
        words.append("\\cf").append(QByteArray::number(colourIndex(format.foreground().color())));
    if (format.hasProperty(QTextFormat::BackgroundBrush) && format.background().style() != Qt::NoBrush)
        words.append("\\highlight").append(QByteArray::number(colourIndex(format.background().color())));
    return *m_words.insert(formatIndex, words);
}

void Writer::queueText(QStringView text) {
    // Characters with words of their own; other control characters have no
    // place in the text, nor an object character without its picture.
    qsizetype start = 0;
    const auto flush = [&](qsizetype end) {
        if (end > start) {
            m_textAt.append(m_body.size());
            m_text.append(text.sliced(start, end - start)).append(u'\n');
        }
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u >= 0x20 && u != 0x00A0 && u != QChar::LineSeparator && u != QChar::ObjectReplacementCharacter)
            continue;
        flush(i);
        start = i + 1;
        if (u == u'\t')
            m_body.append("\\tab ");
        else if (u == QChar::LineSeparator || u == 0x000B)
            m_body.append("\\line ");
        else if (u == 0x00A0)
            m_body.append("\\~");
    }
    flush(text.size());
}

// The group a picture was read from. A copy of it pasted within the body has
// lost that property but not its image's name: it is the same picture.
QByteArray Writer::keptGroup(const QTextImageFormat &format) {
    const QByteArray kept = format.property(RtfPictures::GroupProperty).toByteArray();
    if (!kept.isEmpty())
        return kept;
    if (!m_groupsByName) {
        m_groupsByName.emplace();
        for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat other = it.fragment().charFormat();
                const QByteArray group = other.property(RtfPictures::GroupProperty).toByteArray();
                if (other.isImageFormat() && !group.isEmpty())
                    m_groupsByName->insert(other.toImageFormat().name(), group);
            }
        }
    }
    return m_groupsByName->value(format.name());
}

void Writer::appendPicture(const QTextImageFormat &format) {
    const QByteArray kept = keptGroup(format);
    if (!kept.isEmpty()) {
        m_body.append(kept);
        return;
    }
    const QImage image = imageOf(m_document.resource(QTextDocument::ImageResource, QUrl(format.name())));
    if (image.isNull())
        return; // nothing to show: no picture, and no object character either
    QSizeF size(format.width(), format.height());
    if (size.width() > 0 && size.height() <= 0)
        size.setHeight(size.width() * image.height() / image.width());
    else if (size.height() > 0 && size.width() <= 0)
        size.setWidth(size.height() * image.width() / image.height());
    m_body.append(RtfPictures::pngGroup(image, size));
}

void Writer::appendBodyWithText(QByteArray &out) const {
    const QByteArray gbk = AnsiCodec::encode(m_text);
    const QString back = AnsiCodec::decode(gbk);
    // '\n' is a byte of no other character: the pieces line up one to one.
    const bool lined = gbk.count('\n') == m_textAt.size() && back.count(u'\n') == m_textAt.size();
    out.reserve(out.size() + m_body.size() + gbk.size() * 3 + 16);
    qsizetype bodyAt = 0;
    qsizetype textAt = 0;
    qsizetype gbkAt = 0;
    qsizetype backAt = 0;
    for (const qsizetype at : m_textAt) {
        out.append(QByteArrayView(m_body).sliced(bodyAt, at - bodyAt));
        bodyAt = at;
        const qsizetype textEnd = m_text.indexOf(u'\n', textAt);
        const QStringView text = QStringView(m_text).sliced(textAt, textEnd - textAt);
        textAt = textEnd + 1;
        if (!lined) {
            appendEncoded(out, text);
            continue;
        }
        const qsizetype gbkEnd = gbk.indexOf('\n', gbkAt);
        const qsizetype backEnd = back.indexOf(u'\n', backAt);
        if (QStringView(back).sliced(backAt, backEnd - backAt) == text)
            appendGbkBytes(out, QByteArrayView(gbk).sliced(gbkAt, gbkEnd - gbkAt));
        else
            appendEncoded(out, text);
        gbkAt = gbkEnd + 1;
        backAt = backEnd + 1;
    }
    out.append(QByteArrayView(m_body).sliced(bodyAt));
}

QByteArray Writer::write() {
    // The document's own size and face for paragraph marks outside any run.
    const QByteArray defaults = wordsOf(-1, QTextCharFormat());
    m_body.reserve(m_document.characterCount() + 1024);
    m_text.reserve(m_document.characterCount() + 1024);
    for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next()) {
        m_body.append("\\pard").append(alignmentWord(block.blockFormat().alignment())).append(' ');
        bool empty = true;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            empty = false;
            const QTextCharFormat format = fragment.charFormat();
            const QString text = fragment.text();
            if (format.isImageFormat()) {
                for (const QChar c : text) {
                    if (c == QChar::ObjectReplacementCharacter)
                        appendPicture(format.toImageFormat());
                }
                continue;
            }
            m_body.append('{').append(wordsOf(fragment.charFormatIndex(), format)).append(' ');
            queueText(text);
            m_body.append('}');
        }
        if (!block.next().isValid())
            break;
        if (empty) // an empty line is as high as its paragraph mark's font
            m_body.append('{')
                .append(wordsOf(block.charFormatIndex(), block.charFormat()))
                .append("\\par}\r\n");
        else
            m_body.append("\\par\r\n");
    }

    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052{\\fonttbl";
    for (qsizetype i = 0; i < m_fonts.size(); ++i) {
        rtf.append("{\\f").append(QByteArray::number(i)).append("\\fnil\\fcharset134 ");
        appendEncoded(rtf, m_fonts[i]);
        rtf.append(";}");
    }
    rtf.append("}\r\n{\\colortbl ;");
    for (const QColor &colour : std::as_const(m_colours)) {
        rtf.append("\\red").append(QByteArray::number(colour.red()));
        rtf.append("\\green").append(QByteArray::number(colour.green()));
        rtf.append("\\blue").append(QByteArray::number(colour.blue())).append(';');
    }
    rtf.append("}\r\n\\viewkind4\\uc1").append(defaults);
    appendBodyWithText(rtf);
    rtf.append("\\par\r\n}\r\n");
    return rtf;
}

} // namespace

QByteArray write(const QTextDocument &document) {
    return Writer(document).write();
}

} // namespace RtfWriter
