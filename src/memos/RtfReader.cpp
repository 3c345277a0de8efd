// SPDX-License-Identifier: MIT
#include "memos/RtfReader.h"

#include "common/AnsiCodec.h"
#include "memos/RtfPictures.h"
#include "memos/RtfSymbolFont.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

#include <algorithm>
#include <array>
#include <atomic>
#include <iterator>
#include <limits>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace RtfReader {
namespace {

enum class Destination : quint8 { Text, FontTable, ColorTable, Picture, Skip };

// Code pages of fonts of \fcharset2, besides Windows' numbers.
constexpr int kSymbolCodePage = -2;     // the Symbol font: its own characters
constexpr int kPrivateUseCodePage = -3; // other symbol fonts: 0xF000 + byte

// The control words the reader acts on.
enum class Word : quint8 {
    Unknown,
    Bin,
    SkipDestination,
    FontTable,
    ColorTable,
    Pict,
    ShpPict,
    Ud,
    Upr,
    AnsiCpg,
    Mac,
    Pc,
    Pca,
    Deff,
    Uc,
    U,
    F,
    FCharset,
    Cpg,
    Red,
    Green,
    Blue,
    Par,
    Line,
    Tab,
    Cell,
    Row,
    EmDash,
    EnDash,
    Bullet,
    LeftQuote,
    RightQuote,
    LeftDoubleQuote,
    RightDoubleQuote,
    EmSpace,
    EnSpace,
    QuarterEmSpace,
    ZeroWidthJoiner,
    ZeroWidthNonJoiner,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    FontSize,
    Foreground,
    Background,
    Plain,
    ParagraphDefaults,
    AlignLeft,
    AlignCenter,
    AlignRight,
    AlignJustify,
    PngBlip,
    JpegBlip,
    DibBitmap,
    DdbBitmap,
    EmfBlip,
    WmfBlip,
    OtherBlip,
    PictureWidth,
    PictureHeight,
    PictureGoalWidth,
    PictureGoalHeight,
    PictureScaleX,
    PictureScaleY,
    BitmapBitsPerPixel,
    BitmapWidthBytes,
};

struct Keyword {
    std::string_view name;
    Word word;
};

// In the order of their names, each name once.
constexpr Keyword kKeywords[] = {
    {"aftnsep", Word::SkipDestination},
    {"aftnsepc", Word::SkipDestination},
    {"annotation", Word::SkipDestination},
    {"ansicpg", Word::AnsiCpg},
    {"atnauthor", Word::SkipDestination},
    {"atnid", Word::SkipDestination},
    {"author", Word::SkipDestination},
    {"b", Word::Bold},
    {"bin", Word::Bin},
    {"bkmkend", Word::SkipDestination},
    {"bkmkstart", Word::SkipDestination},
    {"blue", Word::Blue},
    {"bullet", Word::Bullet},
    {"cb", Word::Background},
    {"cell", Word::Cell},
    {"cf", Word::Foreground},
    {"colorschememapping", Word::SkipDestination},
    {"colortbl", Word::ColorTable},
    {"comment", Word::SkipDestination},
    {"company", Word::SkipDestination},
    {"cpg", Word::Cpg},
    {"datastore", Word::SkipDestination},
    {"deff", Word::Deff},
    {"dibitmap", Word::DibBitmap},
    {"doccomm", Word::SkipDestination},
    {"docvar", Word::SkipDestination},
    {"emdash", Word::EmDash},
    {"emfblip", Word::EmfBlip},
    {"emspace", Word::EmSpace},
    {"endash", Word::EnDash},
    {"enspace", Word::EnSpace},
    {"f", Word::F},
    {"falt", Word::SkipDestination},
    {"fcharset", Word::FCharset},
    {"filetbl", Word::SkipDestination},
    {"fldinst", Word::SkipDestination},
    {"fonttbl", Word::FontTable},
    {"footer", Word::SkipDestination},
    {"footerf", Word::SkipDestination},
    {"footerl", Word::SkipDestination},
    {"footerr", Word::SkipDestination},
    {"footnote", Word::SkipDestination},
    {"fs", Word::FontSize},
    {"ftncn", Word::SkipDestination},
    {"ftnsep", Word::SkipDestination},
    {"ftnsepc", Word::SkipDestination},
    {"generator", Word::SkipDestination},
    {"green", Word::Green},
    {"header", Word::SkipDestination},
    {"headerf", Word::SkipDestination},
    {"headerl", Word::SkipDestination},
    {"headerr", Word::SkipDestination},
    {"highlight", Word::Background},
    {"i", Word::Italic},
    {"info", Word::SkipDestination},
    {"jpegblip", Word::JpegBlip},
    {"keywords", Word::SkipDestination},
    {"latentstyles", Word::SkipDestination},
    {"ldblquote", Word::LeftDoubleQuote},
    {"line", Word::Line},
    {"listoverridetable", Word::SkipDestination},
    {"listtable", Word::SkipDestination},
    {"listtext", Word::SkipDestination},
    {"lquote", Word::LeftQuote},
    {"mac", Word::Mac},
    {"macpict", Word::OtherBlip},
    {"mmathPr", Word::SkipDestination},
    {"nestcell", Word::Cell},
    {"nestrow", Word::Row},
    {"nonshppict", Word::SkipDestination},
    {"objdata", Word::SkipDestination},
    {"object", Word::SkipDestination},
    {"operator", Word::SkipDestination},
    {"page", Word::Par},
    {"par", Word::Par},
    {"pard", Word::ParagraphDefaults},
    {"pc", Word::Pc},
    {"pca", Word::Pca},
    {"pgdsctbl", Word::SkipDestination},
    {"pich", Word::PictureHeight},
    {"pichgoal", Word::PictureGoalHeight},
    {"picscalex", Word::PictureScaleX},
    {"picscaley", Word::PictureScaleY},
    {"pict", Word::Pict},
    {"picw", Word::PictureWidth},
    {"picwgoal", Word::PictureGoalWidth},
    {"plain", Word::Plain},
    {"pmmetafile", Word::OtherBlip},
    {"pn", Word::SkipDestination},
    {"pngblip", Word::PngBlip},
    {"pnseclvl", Word::SkipDestination},
    {"pntext", Word::SkipDestination},
    {"pntxta", Word::SkipDestination},
    {"pntxtb", Word::SkipDestination},
    {"qc", Word::AlignCenter},
    {"qj", Word::AlignJustify},
    {"ql", Word::AlignLeft},
    {"qmspace", Word::QuarterEmSpace},
    {"qr", Word::AlignRight},
    {"rdblquote", Word::RightDoubleQuote},
    {"red", Word::Red},
    {"revtbl", Word::SkipDestination},
    {"row", Word::Row},
    {"rquote", Word::RightQuote},
    {"rsidtbl", Word::SkipDestination},
    {"sect", Word::Par},
    {"shpinst", Word::SkipDestination},
    {"shppict", Word::ShpPict},
    {"sp", Word::SkipDestination},
    {"strike", Word::Strike},
    {"striked", Word::Strike},
    {"stylesheet", Word::SkipDestination},
    {"subject", Word::SkipDestination},
    {"tab", Word::Tab},
    {"template", Word::SkipDestination},
    {"themedata", Word::SkipDestination},
    {"title", Word::SkipDestination},
    {"u", Word::U},
    {"uc", Word::Uc},
    {"ud", Word::Ud},
    {"ul", Word::Underline},
    {"uld", Word::Underline},
    {"uldash", Word::Underline},
    {"uldb", Word::Underline},
    {"ulnone", Word::UnderlineNone},
    {"ulth", Word::Underline},
    {"ulw", Word::Underline},
    {"ulwave", Word::Underline},
    {"upr", Word::Upr},
    {"userprops", Word::SkipDestination},
    {"wbitmap", Word::DdbBitmap},
    {"wbmbitspixel", Word::BitmapBitsPerPixel},
    {"wbmwidthbytes", Word::BitmapWidthBytes},
    {"wmetafile", Word::WmfBlip},
    {"xmlnstbl", Word::SkipDestination},
    {"zwj", Word::ZeroWidthJoiner},
    {"zwnj", Word::ZeroWidthNonJoiner},
};

static_assert(std::adjacent_find(std::begin(kKeywords), std::end(kKeywords),
                                 [](const Keyword &a, const Keyword &b) { return a.name >= b.name; }) ==
              std::end(kKeywords));

// The keywords by hash, open addressing: a word costs one hash and mostly one
// comparison. Made at compile time.
constexpr size_t kSlots = 512;
static_assert(kSlots >= 2 * std::size(kKeywords));

constexpr size_t slotOf(std::string_view name) {
    quint32 hash = 2166136261u; // FNV-1a
    for (const char c : name)
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return hash % kSlots;
}

constexpr auto kSlotTable = [] {
    std::array<qint16, kSlots> table{};
    for (qint16 &slot : table)
        slot = -1;
    for (size_t i = 0; i < std::size(kKeywords); ++i) {
        size_t at = slotOf(kKeywords[i].name);
        while (table[at] >= 0)
            at = (at + 1) % kSlots;
        table[at] = qint16(i);
    }
    return table;
}();

Word lookup(QByteArrayView word) {
    const std::string_view name(word.data(), size_t(word.size()));
    for (size_t at = slotOf(name); kSlotTable[at] >= 0; at = (at + 1) % kSlots) {
        const Keyword &keyword = kKeywords[size_t(kSlotTable[at])];
        if (keyword.name == name)
            return keyword.word;
    }
    return Word::Unknown;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Bytes that end a run of plain text.
constexpr auto kEndsText = [] {
    std::array<bool, 256> table{};
    for (const char c : {'\\', '{', '}', '\r', '\n', '\0', '\t'})
        table[static_cast<unsigned char>(c)] = true;
    return table;
}();

bool endsText(char c) {
    return kEndsText[static_cast<unsigned char>(c)];
}

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

struct Font {
    int codePage = 0;     // 0: the document's
    QStringList families; // empty: none to set
};

// What a run's character format is made of.
struct FormatKey {
    int font = -1;
    int halfPoints = 24;
    int foreground = 0;
    int background = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool operator==(const FormatKey &) const = default;
};

size_t qHash(const FormatKey &key, size_t seed = 0) {
    return qHashMulti(seed, key.font, key.halfPoints, key.foreground, key.background,
                      (key.bold ? 1 : 0) | (key.italic ? 2 : 0) | (key.underline ? 4 : 0) |
                          (key.strike ? 8 : 0));
}

// Code page of a font charset.
int codePageOfCharset(int charset) {
    switch (charset) {
    case 0:
        return 1252;
    case 2:
        return kSymbolCodePage;
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

// The decoder of one code page's bytes: GBK from the program's own tables,
// the other code pages from Qt's converters.
class BytesDecoder {
public:
    explicit BytesDecoder(int codePage) {
        if (codePage == 936)
            return;
        m_other.emplace(decoderName(codePage).constData(), QStringConverter::Flag::Stateless);
        if (!m_other->isValid())
            m_other.emplace("windows-1252", QStringConverter::Flag::Stateless);
    }

    qsizetype requiredSpace(qsizetype bytes) const { return m_other ? m_other->requiredSpace(bytes) : bytes; }

    QChar *appendToBuffer(QChar *out, QByteArrayView bytes) {
        return m_other ? m_other->appendToBuffer(out, bytes) : AnsiCodec::decodeInto(out, bytes);
    }

    QString decode(QByteArrayView bytes) {
        return m_other ? QString(m_other->decode(bytes)) : AnsiCodec::decode(bytes);
    }

private:
    std::optional<QStringDecoder> m_other; // none for GBK
};

bool hasUnpairedSurrogate(const QString &text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!c.isSurrogate())
            continue;
        if (!c.isHighSurrogate() || i + 1 >= text.size() || !text[i + 1].isLowSurrogate())
            return true;
        ++i;
    }
    return false;
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

// Names of the pictures' images: unique in the process, so a picture copied
// from one body to another never finds another's image.
QUrl nextPictureName() {
    static std::atomic<int> counter{0};
    return QUrl(QStringLiteral("rtf-picture:%1").arg(++counter));
}

class Parser {
public:
    /// The most group states the read held at once.
    qsizetype peakStates() const { return m_peakStates; }
    Parser(QByteArrayView input, QTextDocument &document, bool pictures)
        : m_in(input)
        , m_document(document)
        , m_cursor(&document)
        , m_pictures(pictures) {
        for (qsizetype i = input.size() - 1; i >= 0; --i) {
            if (input[i] == '}') {
                m_finalBrace = i;
                break;
            }
        }
    }

    void run();

private:
    GroupState &state() { return m_stack.back(); }
    int codePage();
    const QTextCharFormat &currentFormat();
    const QTextBlockFormat &blockFormat(Qt::Alignment alignment);
    void fontsChanged();
    BytesDecoder &decoder(int codePage);
    QString decode(QByteArrayView bytes, int codePage) { return decoder(codePage).decode(bytes); }
    void flushBytes();
    void flushText();
    void appendText(QChar c);
    void appendBytes(QByteArrayView bytes);
    void parse();
    void finish();
    void endParagraph();
    void openGroup();
    bool closeGroup(); // false at the document's end
    void readControl();
    void controlWord(Word word, bool hasParam, int param);
    void textWord(Word word, bool hasParam, int param);
    void fontTableWord(Word word, int param);
    void pictureWord(Word word, int param);
    void controlSymbol(char symbol);
    void textByte(char byte, bool escaped);
    void fontTableByte(char byte, bool escaped);
    void endFontEntry();
    void pictureByte(char byte);
    void startPicture();
    void endPicture(qsizetype end, int missingBraces);
    bool consumeFallback();

    QByteArrayView m_in;
    qsizetype m_pos = 0;
    qsizetype m_finalBrace = -1;
    qsizetype m_wordStart = 0;
    QTextDocument &m_document;
    QTextCursor m_cursor;
    const bool m_pictures;
    std::vector<GroupState> m_stack{GroupState()};
    qsizetype m_overflow = 0; // groups open past kMaxGroupDepth
    qsizetype m_peakStates = 1;
    GroupState m_overflowState;
    QByteArray m_bytes; // 8-bit text waiting for its code page
    QString m_text;     // text waiting for its format
    int m_documentCodePage = 1252;
    int m_defaultFont = -1;
    int m_skipFallback = 0;
    bool m_ignorableNext = false;
    bool m_cellPending = false;
    bool m_paragraphHasContent = false;
    bool m_surrogateAppended = false;
    Qt::Alignment m_blockAlignment = Qt::AlignLeft;
    std::vector<std::pair<int, BytesDecoder>> m_decoders;
    QHash<int, Font> m_fonts;
    int m_fontBeingRead = -1;
    QByteArray m_fontNameBytes;
    QString m_fontName;
    QList<QColor> m_colours;
    int m_red = -1;
    int m_green = -1;
    int m_blue = -1;
    // Formats made once each: the document finds a format it holds already
    // faster when it is the same object.
    QHash<FormatKey, QTextCharFormat> m_formats;
    QHash<int, QTextBlockFormat> m_blockFormats;
    int m_codePageFont = std::numeric_limits<int>::min(); // the font m_codePage is of
    int m_codePage = 0;
    // The picture being read: its data, and where its group began.
    std::optional<RtfPictures::Picture> m_picture;
    size_t m_pictureDepth = 0;
    qsizetype m_pictureStart = 0;
    int m_nibble = -1;
};

int Parser::codePage() {
    const int font = state().font >= 0 ? state().font : m_defaultFont;
    if (font == m_codePageFont)
        return m_codePage;
    const auto found = m_fonts.constFind(font);
    const int fromFont = found != m_fonts.cend() ? found->codePage : 0;
    m_codePageFont = font;
    m_codePage = fromFont != 0 ? fromFont : m_documentCodePage;
    return m_codePage;
}

// The font table, the colour table or the document's code page changed:
// formats and code pages are found again.
void Parser::fontsChanged() {
    m_formats.clear();
    m_codePageFont = std::numeric_limits<int>::min();
}

const QTextBlockFormat &Parser::blockFormat(Qt::Alignment alignment) {
    auto found = m_blockFormats.find(int(alignment));
    if (found == m_blockFormats.end()) {
        QTextBlockFormat format;
        format.setAlignment(alignment);
        found = m_blockFormats.insert(int(alignment), format);
    }
    return *found;
}

const QTextCharFormat &Parser::currentFormat() {
    const GroupState &s = state();
    const FormatKey key{s.font >= 0 ? s.font : m_defaultFont,
                        s.halfPoints,
                        s.foreground,
                        s.background,
                        s.bold,
                        s.italic,
                        s.underline,
                        s.strike};
    const auto found = m_formats.constFind(key);
    if (found != m_formats.cend())
        return *found;
    // What the run does not have is left unset: the fewer properties, the
    // faster the document takes the run.
    QTextCharFormat format;
    if (s.bold)
        format.setFontWeight(QFont::Bold);
    if (s.italic)
        format.setFontItalic(true);
    if (s.underline)
        format.setFontUnderline(true);
    if (s.strike)
        format.setFontStrikeOut(true);
    if (s.halfPoints > 0 && s.halfPoints < 4000)
        format.setFontPointSize(s.halfPoints / 2.0);
    const auto font = m_fonts.constFind(key.font);
    if (font != m_fonts.cend() && !font->families.isEmpty())
        format.setFontFamilies(font->families);
    if (s.foreground > 0 && s.foreground < m_colours.size() && m_colours[s.foreground].isValid())
        format.setForeground(m_colours[s.foreground]);
    if (s.background > 0 && s.background < m_colours.size() && m_colours[s.background].isValid())
        format.setBackground(m_colours[s.background]);
    return *m_formats.insert(key, format);
}

BytesDecoder &Parser::decoder(int codePage) {
    // One decoder per code page for the whole document: making one costs
    // more than decoding a run.
    auto found = std::find_if(m_decoders.begin(), m_decoders.end(),
                              [codePage](const auto &entry) { return entry.first == codePage; });
    if (found == m_decoders.end()) {
        m_decoders.emplace_back(codePage, BytesDecoder(codePage));
        found = m_decoders.end() - 1;
    }
    return found->second;
}

void Parser::flushBytes() {
    if (m_bytes.isEmpty())
        return;
    // Decoded in place, after the text waiting already.
    BytesDecoder &bytesDecoder = decoder(codePage());
    const qsizetype size = m_text.size();
    m_text.resize(size + bytesDecoder.requiredSpace(m_bytes.size()));
    const QChar *end = bytesDecoder.appendToBuffer(m_text.data() + size, m_bytes);
    m_text.resize(end - m_text.constData());
    m_bytes.resize(0); // keeps its room for the next run
}

void Parser::flushText() {
    flushBytes();
    if (m_text.isEmpty())
        return;
    // Unpaired surrogates come from \uN only; decoders give whole pairs.
    const bool unpaired = m_surrogateAppended && hasUnpairedSurrogate(m_text);
    m_cursor.insertText(unpaired ? withValidSurrogates(m_text) : m_text, currentFormat());
    m_text.resize(0);
    m_surrogateAppended = false;
}

void Parser::appendText(QChar c) {
    flushBytes();
    m_text += c;
    m_paragraphHasContent = true;
    m_surrogateAppended = m_surrogateAppended || c.isSurrogate();
}

void Parser::appendBytes(QByteArrayView bytes) {
    m_bytes.append(bytes);
    m_paragraphHasContent = true;
}

void Parser::endParagraph() {
    const Qt::Alignment alignment = state().alignment;
    if (m_paragraphHasContent && alignment == m_blockAlignment) {
        // The paragraph mark goes in with the text: the document makes the
        // block as it inserts it, as it does for plain text.
        flushBytes();
        m_text += QChar::ParagraphSeparator;
        m_paragraphHasContent = false;
        return;
    }
    flushText();
    // An empty line is as high as its paragraph mark's font.
    if (!m_paragraphHasContent)
        m_cursor.setBlockCharFormat(currentFormat());
    if (alignment != m_blockAlignment) {
        QTextBlockFormat block = m_cursor.blockFormat();
        block.setAlignment(alignment);
        m_cursor.setBlockFormat(block);
    }
    // The next paragraph most likely keeps this one's alignment.
    m_cursor.insertBlock(blockFormat(alignment), currentFormat());
    m_blockAlignment = alignment;
    m_paragraphHasContent = false;
}

bool Parser::consumeFallback() {
    if (m_skipFallback <= 0)
        return false;
    --m_skipFallback;
    return true;
}

void Parser::textByte(char byte, bool escaped) {
    if (byte == '\0' || (!escaped && (byte == '\r' || byte == '\n')))
        return;
    if (consumeFallback())
        return;
    switch (state().destination) {
    case Destination::Text:
        break;
    case Destination::FontTable:
        fontTableByte(byte, escaped);
        return;
    case Destination::ColorTable:
        if (byte == ';' && !escaped) {
            m_colours.append(
                m_red < 0 && m_green < 0 && m_blue < 0
                    ? QColor()
                    : QColor(qBound(0, m_red, 255), qBound(0, m_green, 255), qBound(0, m_blue, 255)));
            m_red = m_green = m_blue = -1;
            fontsChanged();
        }
        return;
    case Destination::Picture:
        pictureByte(byte);
        return;
    case Destination::Skip:
        return;
    }
    if (byte == '\t' && !escaped) {
        appendText(u'\t');
        return;
    }
    const int page = codePage();
    if (page == kSymbolCodePage || page == kPrivateUseCodePage) {
        // A symbol font's byte is its glyph, in no code page. ASCII typed
        // as it is stays what it reads as, as the control's plain text has it.
        const auto value = static_cast<unsigned char>(byte);
        if (!escaped && value < 0x80)
            appendText(QLatin1Char(byte));
        else if (page == kSymbolCodePage)
            appendText(QChar(RtfSymbolFont::character(value)));
        else
            appendText(QChar(char16_t(0xF000 + value)));
        return;
    }
    appendBytes(QByteArrayView(&byte, 1));
}

void Parser::fontTableByte(char byte, bool escaped) {
    if (byte == ';' && !escaped) {
        endFontEntry();
        return;
    }
    if (m_fontBeingRead >= 0)
        m_fontNameBytes.append(byte);
}

void Parser::endFontEntry() {
    if (m_fontBeingRead < 0)
        return;
    Font &font = m_fonts[m_fontBeingRead];
    const bool symbol = font.codePage == kSymbolCodePage || font.codePage == kPrivateUseCodePage;
    if (!m_fontNameBytes.isEmpty()) {
        m_fontName += symbol
                          ? QString::fromLatin1(m_fontNameBytes)
                          : decode(m_fontNameBytes, font.codePage != 0 ? font.codePage : m_documentCodePage);
    }
    const QString name = m_fontName.trimmed();
    if (symbol) {
        // The Symbol font's characters are Unicode once read: its face is
        // no longer needed. Other symbol fonts keep their face and bytes.
        const bool isSymbol = name.isEmpty() || name.compare(u"Symbol", Qt::CaseInsensitive) == 0;
        font.codePage = isSymbol ? kSymbolCodePage : kPrivateUseCodePage;
        font.families = isSymbol ? QStringList() : QStringList{name};
    } else {
        font.families = name.isEmpty() ? QStringList() : QStringList{name};
    }
    m_fontBeingRead = -1;
    m_fontNameBytes.clear();
    m_fontName.clear();
    fontsChanged();
}

void Parser::pictureByte(char byte) {
    const int value = hexValue(byte);
    if (value < 0)
        return;
    if (m_nibble < 0) {
        m_nibble = value;
    } else {
        m_picture->data.append(char((m_nibble << 4) | value));
        m_nibble = -1;
    }
}

void Parser::startPicture() {
    GroupState &s = state();
    // A picture is a group of its own; \pict loose in the document's group
    // cannot be kept apart from the text, and is left out.
    if (m_stack.size() <= 2 || m_picture) {
        s.destination = Destination::Skip;
        return;
    }
    s.destination = Destination::Picture;
    m_picture.emplace();
    m_pictureDepth = m_stack.size();
    m_pictureStart = m_wordStart;
    m_nibble = -1;
}

void Parser::endPicture(qsizetype end, int missingBraces) {
    const RtfPictures::Picture picture = std::move(*m_picture);
    m_picture.reset();
    if (!m_pictures)
        return;
    // The group as it is in the file, from "\pict" to its closing brace.
    QByteArray group;
    group.reserve(end - m_pictureStart + 1 + missingBraces);
    group.append('{')
        .append(m_in.sliced(m_pictureStart, end - m_pictureStart))
        .append(QByteArray(missingBraces, '}'));

    QImage image = RtfPictures::decode(picture);
    if (image.isNull())
        image = RtfPictures::placeholder();
    const QUrl name = nextPictureName();
    m_document.addResource(QTextDocument::ImageResource, name, image);
    QTextImageFormat format;
    format.setName(name.toString());
    const QSizeF size = RtfPictures::displaySize(picture, image.size());
    if (!size.isEmpty()) {
        format.setWidth(size.width());
        format.setHeight(size.height());
    }
    format.setProperty(RtfPictures::GroupProperty, group);
    flushText();
    m_cursor.insertImage(format);
    m_paragraphHasContent = true;
}

void Parser::controlSymbol(char symbol) {
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        textByte(symbol, false);
        return;
    case '~':
        if (!consumeFallback() && state().destination == Destination::Text)
            appendText(QChar(0x00A0));
        return;
    case '_':
        if (!consumeFallback() && state().destination == Destination::Text)
            appendText(QChar(0x2011));
        return;
    case '-':
        if (!consumeFallback() && state().destination == Destination::Text)
            appendText(QChar(0x00AD));
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
        return; // \| and \: formula characters
    }
}

void Parser::controlWord(Word word, bool hasParam, int param) {
    GroupState &s = state();
    const bool ignorable = std::exchange(m_ignorableNext, false);
    if (s.destination == Destination::Skip)
        return;

    // Destinations first: they decide what the rest of the group is.
    switch (word) {
    case Word::Ud:
        s.destination = Destination::Text; // the Unicode text of \upr
        return;
    case Word::Upr:
        s.ansiAlternativeNext = true;
        return;
    case Word::FontTable:
        s.destination = Destination::FontTable;
        return;
    case Word::ColorTable:
        s.destination = Destination::ColorTable;
        return;
    case Word::Pict:
        startPicture();
        return;
    case Word::ShpPict:
        return; // its picture is read; the \nonshppict alternative is not
    case Word::SkipDestination:
        s.destination = Destination::Skip;
        return;
    default:
        break;
    }
    if (ignorable) {
        s.destination = Destination::Skip;
        return;
    }

    switch (s.destination) {
    case Destination::Picture:
        pictureWord(word, param);
        return;
    case Destination::FontTable:
        if (word == Word::U) {
            if (m_fontBeingRead >= 0) {
                const Font &font = m_fonts[m_fontBeingRead];
                m_fontName += decode(m_fontNameBytes, font.codePage > 0 ? font.codePage : m_documentCodePage);
                m_fontNameBytes.clear();
                m_fontName += QChar(char16_t((param < 0 ? param + 65536 : param) & 0xFFFF));
            }
            m_skipFallback = s.fallbackSkip;
            return;
        }
        if (!consumeFallback())
            fontTableWord(word, param);
        return;
    case Destination::ColorTable:
        if (consumeFallback())
            return;
        if (word == Word::Red)
            m_red = param;
        else if (word == Word::Green)
            m_green = param;
        else if (word == Word::Blue)
            m_blue = param;
        return;
    case Destination::Text:
        textWord(word, hasParam, param);
        return;
    case Destination::Skip:
        return;
    }
}

void Parser::fontTableWord(Word word, int param) {
    switch (word) {
    case Word::F:
        if (m_fontBeingRead >= 0 && !(m_fontNameBytes.isEmpty() && m_fontName.isEmpty()))
            endFontEntry(); // a table without groups or semicolons
        m_fontBeingRead = param;
        m_fonts[param] = Font();
        m_fontNameBytes.clear();
        m_fontName.clear();
        fontsChanged();
        return;
    case Word::FCharset:
        if (m_fontBeingRead >= 0)
            m_fonts[m_fontBeingRead].codePage = codePageOfCharset(param);
        fontsChanged();
        return;
    case Word::Cpg:
        if (m_fontBeingRead >= 0 && param > 0 && m_fonts[m_fontBeingRead].codePage != kSymbolCodePage)
            m_fonts[m_fontBeingRead].codePage = param;
        fontsChanged();
        return;
    default:
        return;
    }
}

void Parser::pictureWord(Word word, int param) {
    RtfPictures::Picture &picture = *m_picture;
    using RtfPictures::Kind;
    switch (word) {
    case Word::PngBlip:
        picture.kind = Kind::Png;
        return;
    case Word::JpegBlip:
        picture.kind = Kind::Jpeg;
        return;
    case Word::DibBitmap:
        picture.kind = Kind::Dib;
        return;
    case Word::DdbBitmap:
        picture.kind = Kind::Ddb;
        return;
    case Word::EmfBlip:
        picture.kind = Kind::Emf;
        return;
    case Word::WmfBlip:
        picture.kind = Kind::Wmf;
        return;
    case Word::OtherBlip:
        picture.kind = Kind::Other;
        return;
    case Word::PictureWidth:
        picture.width = param;
        return;
    case Word::PictureHeight:
        picture.height = param;
        return;
    case Word::PictureGoalWidth:
        picture.goalWidth = param;
        return;
    case Word::PictureGoalHeight:
        picture.goalHeight = param;
        return;
    case Word::PictureScaleX:
        picture.scaleX = param;
        return;
    case Word::PictureScaleY:
        picture.scaleY = param;
        return;
    case Word::BitmapBitsPerPixel:
        picture.bitsPerPixel = param;
        return;
    case Word::BitmapWidthBytes:
        picture.widthBytes = param;
        return;
    default:
        return;
    }
}

void Parser::textWord(Word word, bool hasParam, int param) {
    GroupState &s = state();
    if (word == Word::U) {
        int code = (param < 0 ? param + 65536 : param) & 0xFFFF;
        // Symbol fonts' glyphs also come as private-use characters.
        if (codePage() == kSymbolCodePage && code >= 0xF020 && code <= 0xF0FF)
            code = RtfSymbolFont::character(static_cast<unsigned char>(code - 0xF000));
        appendText(QChar(char16_t(code)));
        m_skipFallback = s.fallbackSkip;
        return;
    }
    if (consumeFallback())
        return;

    const bool on = !hasParam || param != 0;
    const auto charChange = [&](auto apply) {
        flushText();
        apply();
    };
    switch (word) {
    case Word::Par:
        m_cellPending = false;
        endParagraph();
        return;
    case Word::Line:
        appendText(QChar::LineSeparator);
        return;
    case Word::Tab:
        appendText(u'\t');
        return;
    case Word::Cell:
        appendText(u'\t');
        m_cellPending = true;
        return;
    case Word::Row:
        flushText();
        if (m_cellPending && m_cursor.block().text().endsWith(u'\t'))
            m_cursor.deletePreviousChar();
        m_cellPending = false;
        endParagraph();
        return;
    case Word::EmDash:
        appendText(QChar(0x2014));
        return;
    case Word::EnDash:
        appendText(QChar(0x2013));
        return;
    case Word::Bullet:
        appendText(QChar(0x2022));
        return;
    case Word::LeftQuote:
        appendText(QChar(0x2018));
        return;
    case Word::RightQuote:
        appendText(QChar(0x2019));
        return;
    case Word::LeftDoubleQuote:
        appendText(QChar(0x201C));
        return;
    case Word::RightDoubleQuote:
        appendText(QChar(0x201D));
        return;
    case Word::EmSpace:
        appendText(QChar(0x2003));
        return;
    case Word::EnSpace:
        appendText(QChar(0x2002));
        return;
    case Word::QuarterEmSpace:
        appendText(QChar(0x2005));
        return;
    case Word::ZeroWidthJoiner:
        appendText(QChar(0x200D));
        return;
    case Word::ZeroWidthNonJoiner:
        appendText(QChar(0x200C));
        return;
    case Word::AnsiCpg:
        if (param > 0)
            m_documentCodePage = param;
        fontsChanged();
        return;
    case Word::Mac:
        m_documentCodePage = 10000;
        fontsChanged();
        return;
    case Word::Pc:
        m_documentCodePage = 437;
        fontsChanged();
        return;
    case Word::Pca:
        m_documentCodePage = 850;
        fontsChanged();
        return;
    case Word::Deff:
        charChange([&] { m_defaultFont = param; });
        return;
    case Word::Uc:
        s.fallbackSkip = qBound(0, param, 16);
        return;
    case Word::F:
        charChange([&] { s.font = param; });
        return;
    case Word::Bold:
        charChange([&] { s.bold = on; });
        return;
    case Word::Italic:
        charChange([&] { s.italic = on; });
        return;
    case Word::Underline:
        charChange([&] { s.underline = on; });
        return;
    case Word::UnderlineNone:
        charChange([&] { s.underline = false; });
        return;
    case Word::Strike:
        charChange([&] { s.strike = on; });
        return;
    case Word::FontSize:
        charChange([&] { s.halfPoints = hasParam ? param : 24; });
        return;
    case Word::Foreground:
        charChange([&] { s.foreground = param; });
        return;
    case Word::Background:
        charChange([&] { s.background = param; });
        return;
    case Word::Plain:
        charChange([&] {
            s.font = -1;
            s.bold = s.italic = s.underline = s.strike = false;
            s.halfPoints = 24;
            s.foreground = s.background = 0;
        });
        return;
    case Word::ParagraphDefaults:
    case Word::AlignLeft:
        s.alignment = Qt::AlignLeft;
        return;
    case Word::AlignCenter:
        s.alignment = Qt::AlignHCenter;
        return;
    case Word::AlignRight:
        s.alignment = Qt::AlignRight;
        return;
    case Word::AlignJustify:
        s.alignment = Qt::AlignJustify;
        return;
    default:
        return;
    }
}

void Parser::openGroup() {
    ++m_pos;
    flushText();
    m_skipFallback = 0;
    if (m_stack.size() >= std::size_t(kMaxGroupDepth)) {
        // Past the limit groups share the deepest state kept, so memory
        // follows the text and not its braces; the state comes back when
        // the reading returns below the limit.
        if (m_overflow++ == 0)
            m_overflowState = m_stack.back();
        return;
    }
    GroupState inner = m_stack.back();
    if (m_stack.back().ansiAlternativeNext) {
        m_stack.back().ansiAlternativeNext = false;
        inner.destination = Destination::Skip;
    }
    // A picture's inner groups (its properties, its identifier) are no data.
    if (inner.destination == Destination::Picture)
        inner.destination = Destination::Skip;
    inner.ansiAlternativeNext = false;
    m_stack.push_back(inner);
    m_peakStates = qMax(m_peakStates, qsizetype(m_stack.size()));
}

bool Parser::closeGroup() {
    const qsizetype brace = m_pos++;
    flushText();
    m_skipFallback = 0;
    if (m_overflow > 0) {
        if (--m_overflow == 0)
            m_stack.back() = m_overflowState;
        return true;
    }
    if (m_picture && m_stack.size() == m_pictureDepth)
        endPicture(m_pos, 0);
    if (state().destination == Destination::FontTable && m_fontBeingRead >= 0 &&
        !(m_fontNameBytes.isEmpty() && m_fontName.isEmpty()))
        endFontEntry(); // an entry without its semicolon
    if (m_stack.size() > 1)
        m_stack.pop_back();
    // The document ends at its final closing brace: what follows is no text.
    // An earlier brace that closes the outermost group is an extra one.
    return !(brace == m_finalBrace && m_stack.size() == 1);
}

void Parser::readControl() {
    const qsizetype end = m_in.size();
    m_wordStart = m_pos;
    ++m_pos;
    if (m_pos >= end)
        return;
    const char next = m_in[m_pos];
    if (next == '\'') {
        ++m_pos;
        if (m_pos + 2 <= end) {
            const int high = hexValue(m_in[m_pos]);
            const int low = hexValue(m_in[m_pos + 1]);
            m_pos += 2;
            if (high >= 0 && low >= 0)
                textByte(char((high << 4) | low), true);
        } else {
            m_pos = end;
        }
        // Double-byte text is a row of \'hh: the rest of the row is taken here.
        if (m_skipFallback != 0 || state().destination != Destination::Text || codePage() <= 0)
            return;
        char row[256];
        qsizetype length = 0;
        while (m_pos + 4 <= end && m_in[m_pos] == '\\' && m_in[m_pos + 1] == '\'') {
            const int high = hexValue(m_in[m_pos + 2]);
            const int low = hexValue(m_in[m_pos + 3]);
            if (high < 0 || low < 0 || (high | low) == 0)
                break; // not hex, or a NUL for textByte to leave out
            row[length++] = char((high << 4) | low);
            m_pos += 4;
            if (length == qsizetype(sizeof row)) {
                appendBytes(QByteArrayView(row, length));
                length = 0;
            }
        }
        if (length > 0)
            appendBytes(QByteArrayView(row, length));
        return;
    }
    if (!isLetter(next)) {
        ++m_pos;
        controlSymbol(next);
        return;
    }
    const qsizetype wordStart = m_pos;
    while (m_pos < end && isLetter(m_in[m_pos]) && m_pos - wordStart < 32)
        ++m_pos;
    const QByteArrayView name = m_in.sliced(wordStart, m_pos - wordStart);
    bool hasParam = false;
    bool negative = false;
    long long param = 0;
    if (m_pos + 1 < end && m_in[m_pos] == '-' && m_in[m_pos + 1] >= '0' && m_in[m_pos + 1] <= '9') {
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
    const Word word = lookup(name);
    if (word == Word::Bin) {
        // Binary data of that many bytes: a picture's data, or skipped whole.
        const qsizetype length = qMin<qsizetype>(end - m_pos, qMax<long long>(0, param));
        if (m_picture && state().destination == Destination::Picture)
            m_picture->data.append(m_in.sliced(m_pos, length));
        m_pos += length;
        return;
    }
    controlWord(word, hasParam, int(param));
}

void Parser::run() {
    // One edit block: the views lay the text out once, not after every run.
    m_cursor.beginEditBlock();
    parse();
    finish();
    m_cursor.endEditBlock();
}

void Parser::parse() {
    const qsizetype end = m_in.size();
    while (m_pos < end) {
        const char c = m_in[m_pos];
        if (c == '{') {
            openGroup();
        } else if (c == '}') {
            if (!closeGroup()) {
                m_pos = end;
                break;
            }
        } else if (c == '\\') {
            readControl();
        } else if (m_skipFallback == 0 && !endsText(c) && state().destination == Destination::Text &&
                   codePage() > 0) {
            // A run of plain text, taken whole.
            const qsizetype start = m_pos;
            while (m_pos < end && !endsText(m_in[m_pos]))
                ++m_pos;
            appendBytes(m_in.sliced(start, m_pos - start));
        } else {
            ++m_pos;
            textByte(c, false);
        }
    }
}

void Parser::finish() {
    flushText();
    if (m_picture)
        endPicture(m_in.size(), int(m_stack.size() - m_pictureDepth + 1));
    // The paragraph mark that ends the last paragraph opens no new one.
    if (m_cursor.block().length() == 1 && m_document.blockCount() > 1) {
        m_cursor.deletePreviousChar();
        return;
    }
    if (state().alignment != m_blockAlignment) {
        QTextBlockFormat block = m_cursor.blockFormat();
        block.setAlignment(state().alignment);
        m_cursor.setBlockFormat(block);
    }
}

} // namespace

bool looksLikeRtf(QByteArrayView bytes) {
    qsizetype start = 0;
    while (start < bytes.size() && (bytes[start] == ' ' || bytes[start] == '\r' || bytes[start] == '\n'))
        ++start;
    return bytes.sliced(start).startsWith("{\\rtf");
}

namespace {

bool readInto(QByteArrayView bytes, QTextDocument &document, bool pictures, qsizetype *peakGroupStates) {
    document.clear();
    if (!looksLikeRtf(bytes)) {
        document.setPlainText(AnsiCodec::decode(bytes));
        return false;
    }
    document.setUndoRedoEnabled(false);
    Parser parser(bytes, document, pictures);
    parser.run();
    if (peakGroupStates)
        *peakGroupStates = parser.peakStates();
    document.setUndoRedoEnabled(true);
    return true;
}

} // namespace

bool read(QByteArrayView bytes, QTextDocument &document, qsizetype *peakGroupStates) {
    return readInto(bytes, document, true, peakGroupStates);
}

QString plainText(QByteArrayView bytes) {
    QTextDocument document;
    readInto(bytes, document, false, nullptr);
    return document.toPlainText();
}

} // namespace RtfReader
