// SPDX-License-Identifier: MIT
#include "memos/RtfReader.h"

#include "common/AnsiCodec.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <limits>

namespace RtfReader {
namespace {

enum class Destination { Text, FontTable, ColorTable, Skip };

struct GroupState {
    Destination destination = Destination::Text;
    int font = -1;
    int fallbackSkip = 1; // \ucN
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int halfPoints = 24;
    int foreground = 0;
    int background = 0;
    Qt::Alignment alignment = Qt::AlignLeft;
    // After \upr: the next group is the ANSI stand-in for the \ud group
    // that follows it, and is left out.
    bool ansiAlternativeNext = false;
};

// Code page of a font charset.
int codePageOfCharset(int charset) {
    switch (charset) {
    case 0:
        return 1252;
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 130:
        return 1361;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 255:
        return 437;
    default:
        return 0; // the document's code page
    }
}

QByteArray decoderName(int codePage) {
    switch (codePage) {
    case 936:
        return "GBK";
    case 950:
        return "Big5";
    case 932:
        return "Shift_JIS";
    case 949:
        return "windows-949";
    case 10000:
        return "macintosh";
    case 437:
        return "IBM437";
    case 850:
        return "IBM850";
    default:
        return "windows-" + QByteArray::number(codePage);
    }
}

QString decodeBytes(const QByteArray &bytes, int codePage) {
    if (codePage == 936)
        return AnsiCodec::decode(bytes);
    QStringDecoder decoder(decoderName(codePage).constData(), QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        decoder = QStringDecoder("windows-1252", QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

// Unpaired surrogates become U+FFFD.
QString withValidSurrogates(const QString &text) {
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            result.append(c).append(text[i + 1]);
            ++i;
        } else if (c.isSurrogate()) {
            result.append(QChar::ReplacementCharacter);
        } else {
            result.append(c);
        }
    }
    return result;
}

bool isSkippedDestination(QByteArrayView word) {
    static const QList<QByteArrayView> skipped = {"stylesheet",
                                                  "info",
                                                  "pict",
                                                  "header",
                                                  "footer",
                                                  "headerl",
                                                  "headerr",
                                                  "headerf",
                                                  "footerl",
                                                  "footerr",
                                                  "footerf",
                                                  "object",
                                                  "objdata",
                                                  "fldinst",
                                                  "listtable",
                                                  "listoverridetable",
                                                  "revtbl",
                                                  "rsidtbl",
                                                  "xmlnstbl",
                                                  "themedata",
                                                  "colorschememapping",
                                                  "latentstyles",
                                                  "datastore",
                                                  "pntext",
                                                  "pntxta",
                                                  "pntxtb",
                                                  "listtext",
                                                  "bkmkstart",
                                                  "bkmkend",
                                                  "shppict",
                                                  "nonshppict",
                                                  "shpinst",
                                                  "sp",
                                                  "template",
                                                  "filetbl",
                                                  "userprops",
                                                  "docvar",
                                                  "ftnsep",
                                                  "ftnsepc",
                                                  "ftncn",
                                                  "aftnsep",
                                                  "aftnsepc",
                                                  "footnote",
                                                  "atnid",
                                                  "atnauthor",
                                                  "annotation",
                                                  "pgdsctbl",
                                                  "operator",
                                                  "author",
                                                  "title",
                                                  "subject",
                                                  "company",
                                                  "doccomm",
                                                  "keywords",
                                                  "comment",
                                                  "generator",
                                                  "falt",
                                                  "pn",
                                                  "pnseclvl",
                                                  "mmathPr"};
    return skipped.contains(word);
}

class Parser {
public:
    Parser(QByteArrayView input, QTextDocument &document)
        : m_in(input)
        , m_document(document)
        , m_cursor(&document) {}

    void run();

private:
    GroupState &state() { return m_stack.last(); }
    int codePage();
    void flushBytes();
    void flushText();
    void appendText(const QString &text);
    void endParagraph();
    void controlWord(QByteArrayView word, bool hasParam, int param);
    void controlSymbol(char symbol);
    void textByte(char byte);
    bool consumeFallback();

    QByteArrayView m_in;
    qsizetype m_pos = 0;
    QTextDocument &m_document;
    QTextCursor m_cursor;
    QList<GroupState> m_stack{GroupState()};
    QByteArray m_bytes; // 8-bit text waiting for its code page
    QString m_text;     // text waiting for its format
    int m_documentCodePage = 1252;
    int m_defaultFont = -1;
    int m_skipFallback = 0;
    bool m_ignorableNext = false;
    bool m_cellPending = false;
    QHash<int, int> m_fontCodePages;
    int m_fontBeingRead = -1;
    QList<QColor> m_colours;
    int m_red = -1;
    int m_green = -1;
    int m_blue = -1;
};

int Parser::codePage() {
    const int font = state().font >= 0 ? state().font : m_defaultFont;
    const int fromFont = m_fontCodePages.value(font, 0);
    return fromFont != 0 ? fromFont : m_documentCodePage;
}

void Parser::flushBytes() {
    if (m_bytes.isEmpty())
        return;
    m_text += decodeBytes(m_bytes, codePage());
    m_bytes.clear();
}

void Parser::flushText() {
    flushBytes();
    if (m_text.isEmpty())
        return;
    const GroupState &s = state();
    QTextCharFormat format;
    format.setFontWeight(s.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(s.italic);
    format.setFontUnderline(s.underline);
    format.setFontStrikeOut(s.strike);
    if (s.halfPoints > 0 && s.halfPoints < 4000)
        format.setFontPointSize(s.halfPoints / 2.0);
    if (s.foreground > 0 && s.foreground < m_colours.size() && m_colours[s.foreground].isValid())
        format.setForeground(m_colours[s.foreground]);
    if (s.background > 0 && s.background < m_colours.size() && m_colours[s.background].isValid())
        format.setBackground(m_colours[s.background]);
    m_cursor.insertText(withValidSurrogates(m_text), format);
    m_text.clear();
}

void Parser::appendText(const QString &text) {
    flushBytes();
    m_text += text;
}

void Parser::endParagraph() {
    flushText();
    QTextBlockFormat block = m_cursor.blockFormat();
    block.setAlignment(state().alignment);
    m_cursor.setBlockFormat(block);
    m_cursor.insertBlock();
}

bool Parser::consumeFallback() {
    if (m_skipFallback <= 0)
        return false;
    --m_skipFallback;
    return true;
}

void Parser::textByte(char byte) {
    if (byte == '\r' || byte == '\n' || byte == '\0')
        return;
    if (consumeFallback())
        return;
    GroupState &s = state();
    if (s.destination == Destination::FontTable) {
        if (byte == ';')
            m_fontBeingRead = -1;
        return;
    }
    if (s.destination == Destination::ColorTable) {
        if (byte == ';') {
            m_colours.append(
                m_red < 0 && m_green < 0 && m_blue < 0
                    ? QColor()
                    : QColor(qBound(0, m_red, 255), qBound(0, m_green, 255), qBound(0, m_blue, 255)));
            m_red = m_green = m_blue = -1;
        }
        return;
    }
    if (s.destination != Destination::Text)
        return;
    if (byte == '\t') {
        appendText(QStringLiteral("\t"));
        return;
    }
    m_bytes.append(byte);
}

void Parser::controlSymbol(char symbol) {
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        textByte(symbol);
        return;
    case '~':
        if (!consumeFallback() && state().destination == Destination::Text)
            appendText(QString(QChar(0x00A0)));
        return;
    case '_':
        if (!consumeFallback() && state().destination == Destination::Text)
            appendText(QString(QChar(0x2011)));
        return;
    case '*':
        m_ignorableNext = true;
        return;
    case '\r':
    case '\n':
        if (state().destination == Destination::Text)
            endParagraph();
        return;
    default:
        return; // \- optional hyphen, \| and \: formula characters
    }
}

void Parser::controlWord(QByteArrayView word, bool hasParam, int param) {
    GroupState &s = state();
    const bool ignorable = m_ignorableNext;
    m_ignorableNext = false;

    // Destinations first: they decide what the rest of the group is.
    if (word == "ud") {
        s.destination = Destination::Text; // the Unicode text of \upr
        return;
    }
    if (word == "upr") {
        s.ansiAlternativeNext = true;
        return;
    }
    if (word == "fonttbl") {
        s.destination = Destination::FontTable;
        return;
    }
    if (word == "colortbl") {
        s.destination = Destination::ColorTable;
        return;
    }
    if (ignorable || isSkippedDestination(word)) {
        s.destination = Destination::Skip;
        return;
    }
    if (s.destination == Destination::Skip)
        return;

    if (word == "u") {
        if (s.destination != Destination::Text)
            return;
        const int code = param < 0 ? param + 65536 : param;
        appendText(QString(QChar(char16_t(code & 0xFFFF))));
        m_skipFallback = s.fallbackSkip;
        return;
    }
    if (consumeFallback())
        return;

    if (s.destination == Destination::FontTable) {
        if (word == "f") {
            m_fontBeingRead = param;
        } else if (word == "fcharset" && m_fontBeingRead >= 0) {
            m_fontCodePages.insert(m_fontBeingRead, codePageOfCharset(param));
        } else if (word == "cpg" && m_fontBeingRead >= 0 && param > 0) {
            m_fontCodePages.insert(m_fontBeingRead, param);
        }
        return;
    }
    if (s.destination == Destination::ColorTable) {
        if (word == "red")
            m_red = param;
        else if (word == "green")
            m_green = param;
        else if (word == "blue")
            m_blue = param;
        return;
    }

    const bool on = !hasParam || param != 0;
    const auto charChange = [&](auto apply) {
        flushText();
        apply();
    };
    if (word == "par" || word == "sect") {
        m_cellPending = false;
        endParagraph();
    } else if (word == "line") {
        appendText(QString(QChar::LineSeparator));
    } else if (word == "tab") {
        appendText(QStringLiteral("\t"));
    } else if (word == "cell" || word == "nestcell") {
        appendText(QStringLiteral("\t"));
        m_cellPending = true;
    } else if (word == "row" || word == "nestrow") {
        flushText();
        if (m_cellPending && m_cursor.block().text().endsWith(u'\t'))
            m_cursor.deletePreviousChar();
        m_cellPending = false;
        endParagraph();
    } else if (word == "emdash") {
        appendText(QString(QChar(0x2014)));
    } else if (word == "endash") {
        appendText(QString(QChar(0x2013)));
    } else if (word == "bullet") {
        appendText(QString(QChar(0x2022)));
    } else if (word == "lquote") {
        appendText(QString(QChar(0x2018)));
    } else if (word == "rquote") {
        appendText(QString(QChar(0x2019)));
    } else if (word == "ldblquote") {
        appendText(QString(QChar(0x201C)));
    } else if (word == "rdblquote") {
        appendText(QString(QChar(0x201D)));
    } else if (word == "ansicpg") {
        if (param > 0)
            m_documentCodePage = param;
    } else if (word == "mac") {
        m_documentCodePage = 10000;
    } else if (word == "pc") {
        m_documentCodePage = 437;
    } else if (word == "pca") {
        m_documentCodePage = 850;
    } else if (word == "deff") {
        m_defaultFont = param;
    } else if (word == "uc") {
        s.fallbackSkip = qBound(0, param, 16);
    } else if (word == "f") {
        charChange([&] { s.font = param; });
    } else if (word == "b") {
        charChange([&] { s.bold = on; });
    } else if (word == "i") {
        charChange([&] { s.italic = on; });
    } else if (word == "ul") {
        charChange([&] { s.underline = on; });
    } else if (word == "ulnone") {
        charChange([&] { s.underline = false; });
    } else if (word == "strike") {
        charChange([&] { s.strike = on; });
    } else if (word == "fs") {
        charChange([&] { s.halfPoints = hasParam ? param : 24; });
    } else if (word == "cf") {
        charChange([&] { s.foreground = param; });
    } else if (word == "cb" || word == "highlight") {
        charChange([&] { s.background = param; });
    } else if (word == "plain") {
        charChange([&] {
            s.font = -1;
            s.bold = s.italic = s.underline = s.strike = false;
            s.halfPoints = 24;
            s.foreground = s.background = 0;
        });
    } else if (word == "pard") {
        s.alignment = Qt::AlignLeft;
    } else if (word == "ql") {
        s.alignment = Qt::AlignLeft;
    } else if (word == "qc") {
        s.alignment = Qt::AlignHCenter;
    } else if (word == "qr") {
        s.alignment = Qt::AlignRight;
    } else if (word == "qj") {
        s.alignment = Qt::AlignJustify;
    }
}

void Parser::run() {
    const qsizetype end = m_in.size();
    while (m_pos < end) {
        const char c = m_in[m_pos];
        if (c == '{') {
            ++m_pos;
            flushText();
            m_skipFallback = 0;
            GroupState inner = m_stack.last();
            if (m_stack.last().ansiAlternativeNext) {
                m_stack.last().ansiAlternativeNext = false;
                inner.destination = Destination::Skip;
            }
            inner.ansiAlternativeNext = false;
            m_stack.append(inner);
            continue;
        }
        if (c == '}') {
            ++m_pos;
            flushText();
            m_skipFallback = 0;
            if (m_stack.size() > 1)
                m_stack.removeLast();
            continue;
        }
        if (c != '\\') {
            ++m_pos;
            textByte(c);
            continue;
        }
        // A control word, a control symbol or \'hh.
        ++m_pos;
        if (m_pos >= end)
            break;
        const char next = m_in[m_pos];
        if (next == '\'') {
            ++m_pos;
            if (m_pos + 2 <= end) {
                bool ok = false;
                const int value = QByteArray(m_in.sliced(m_pos, 2).data(), 2).toInt(&ok, 16);
                m_pos += 2;
                if (ok)
                    textByte(char(value));
            } else {
                m_pos = end;
            }
            continue;
        }
        if (!((next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z'))) {
            ++m_pos;
            controlSymbol(next);
            continue;
        }
        const qsizetype wordStart = m_pos;
        while (m_pos < end &&
               ((m_in[m_pos] >= 'a' && m_in[m_pos] <= 'z') || (m_in[m_pos] >= 'A' && m_in[m_pos] <= 'Z')) &&
               m_pos - wordStart < 32)
            ++m_pos;
        const QByteArrayView word = m_in.sliced(wordStart, m_pos - wordStart);
        bool hasParam = false;
        bool negative = false;
        long long param = 0;
        if (m_pos < end && m_in[m_pos] == '-' && m_pos + 1 < end && m_in[m_pos + 1] >= '0' &&
            m_in[m_pos + 1] <= '9') {
            negative = true;
            ++m_pos;
        }
        while (m_pos < end && m_in[m_pos] >= '0' && m_in[m_pos] <= '9') {
            hasParam = true;
            if (param < std::numeric_limits<int>::max())
                param = param * 10 + (m_in[m_pos] - '0');
            ++m_pos;
        }
        param = qMin<long long>(param, std::numeric_limits<int>::max());
        if (negative)
            param = -param;
        if (m_pos < end && m_in[m_pos] == ' ')
            ++m_pos; // the delimiter belongs to the word
        if (word == "bin") {
            // Binary data of that many bytes: skipped whole.
            m_pos = qMin<qsizetype>(end, m_pos + qMax<long long>(0, param));
            continue;
        }
        controlWord(word, hasParam, int(param));
    }
    flushText();
    // The paragraph mark that ends the last paragraph opens no new one.
    if (m_cursor.block().text().isEmpty() && m_document.blockCount() > 1) {
        m_cursor.deletePreviousChar();
        return;
    }
    QTextBlockFormat block = m_cursor.blockFormat();
    block.setAlignment(state().alignment);
    m_cursor.setBlockFormat(block);
}

} // namespace

bool looksLikeRtf(QByteArrayView bytes) {
    qsizetype start = 0;
    while (start < bytes.size() && (bytes[start] == ' ' || bytes[start] == '\r' || bytes[start] == '\n'))
        ++start;
    return bytes.sliced(start).startsWith("{\\rtf");
}

bool read(QByteArrayView bytes, QTextDocument &document) {
    document.clear();
    if (!looksLikeRtf(bytes)) {
        document.setPlainText(AnsiCodec::decode(bytes));
        return false;
    }
    document.setUndoRedoEnabled(false);
    // One edit block: the views lay the text out once, not after every run.
    QTextCursor block(&document);
    block.beginEditBlock();
    Parser parser(bytes, document);
    parser.run();
    block.endEditBlock();
    document.setUndoRedoEnabled(true);
    return true;
}

QString plainText(QByteArrayView bytes) {
    QTextDocument document;
    read(bytes, document);
    return document.toPlainText();
}

} // namespace RtfReader
