// SPDX-License-Identifier: MIT
#include "memos/RtfReader.h"
#include "memos/RtfWriter.h"

#include "TestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>

namespace {

// Lines without trailing blanks, no empty lines at the end.
QString normalized(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList lines = text.split(u'\n');
    for (QString &line : lines) {
        while (!line.isEmpty() && (line.back() == u' ' || line.back() == u'\t'))
            line.chop(1);
    }
    while (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines.join(u'\n');
}

QString fixtures() {
    return qEnvironmentVariable("TACKORA_FIXTURES") + QStringLiteral("/rtf");
}

// Small files of our own, each showing one thing the real-world files do.
QString ourFixtures() {
    return qEnvironmentVariable("TACKORA_SOURCE_DIR") + QStringLiteral("/tests/memos/rtf");
}

// One row per NAME.rtf of folder, beside its NAME.expected.txt.
void addFileRows(const QString &folder) {
    QTest::addColumn<QString>("rtf");
    const QStringList files = QDir(folder).entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name);
    for (const QString &file : files)
        QTest::newRow(qPrintable(file)) << folder + u'/' + file;
}

void compareWithExpectedText(const QString &rtf) {
    const QString expectedPath = rtf.left(rtf.size() - 4) + QStringLiteral(".expected.txt");
    const QByteArray expected = readBytes(expectedPath);
    QVERIFY2(!expected.isEmpty(), qPrintable(expectedPath));
    QCOMPARE(normalized(RtfReader::plainText(readBytes(rtf))), normalized(QString::fromUtf8(expected)));
}

// Every picture of document, one entry per object character.
QList<QTextImageFormat> imagesIn(const QTextDocument &document) {
    QList<QTextImageFormat> images;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().isImageFormat()) {
                for (qsizetype i = 0; i < fragment.length(); ++i)
                    images.append(fragment.charFormat().toImageFormat());
            }
        }
    }
    return images;
}

QImage shownImage(const QTextDocument &document, const QTextImageFormat &format) {
    return document.resource(QTextDocument::ImageResource, QUrl(format.name()))
        .value<QImage>()
        .convertToFormat(QImage::Format_ARGB32);
}

QImage smallImage() {
    QImage image(3, 2, QImage::Format_ARGB32);
    const QRgb pixels[] = {qRgb(255, 0, 0),  qRgb(0, 255, 0),     qRgb(0, 0, 255),
                           qRgb(10, 20, 30), qRgb(255, 255, 255), qRgba(0, 0, 0, 0)};
    for (int i = 0; i < 6; ++i)
        image.setPixel(i % 3, i / 3, pixels[i]);
    return image;
}

QByteArray encodedImage(const QImage &image, const char *format) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return data;
}

// The group of bytes that starts at "{" + start and ends at its closing brace.
QByteArray groupAt(const QByteArray &rtf, const QByteArray &start) {
    const qsizetype begin = rtf.indexOf("{" + start);
    if (begin < 0)
        return QByteArray();
    int depth = 0;
    for (qsizetype i = begin; i < rtf.size(); ++i) {
        if (rtf[i] == '{')
            ++depth;
        else if (rtf[i] == '}' && --depth == 0)
            return rtf.mid(begin, i - begin + 1);
    }
    return QByteArray();
}

QFont songFont(double points) {
    QFont font(QStringLiteral("宋体"));
    font.setPointSizeF(points);
    return font;
}

QString familyOf(const QTextCharFormat &format) {
    return format.fontFamilies().toStringList().value(0);
}

// A document of that code page whose font 1 is Symbol, around body.
QByteArray withSymbolFont(const QByteArray &documentCodePage, const QByteArray &body) {
    return "{\\rtf1\\ansi\\ansicpg" + documentCodePage +
           "\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}"
           "{\\f1\\froman\\fcharset2 Symbol;}}\\f0 " +
           body + "\\par}";
}

QTextCharFormat formatAt(const QTextDocument &document, const QString &text) {
    QTextCursor cursor = document.find(text);
    if (cursor.isNull())
        return QTextCharFormat();
    cursor.setPosition(cursor.selectionStart() + 1);
    return cursor.charFormat();
}

} // namespace

class tst_Rtf : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void realFilesGiveTheirText_data() {
        // The shared real-world files sit beside the project, not in it.
        if (!QDir(fixtures()).exists())
            QSKIP(qPrintable(QStringLiteral("no real-world RTF files: %1 does not exist").arg(fixtures())));
        addFileRows(fixtures());
        QVERIFY2(QDir(fixtures()).entryList({QStringLiteral("*.rtf")}, QDir::Files).size() >= 10,
                 qPrintable(fixtures()));
    }
    void realFilesGiveTheirText() {
        QFETCH(QString, rtf);
        compareWithExpectedText(rtf);
    }

    void ourFilesGiveTheirText_data() {
        addFileRows(ourFixtures());
        QVERIFY2(QDir(ourFixtures()).entryList({QStringLiteral("*.rtf")}, QDir::Files).size() >= 7,
                 qPrintable(ourFixtures()));
    }
    void ourFilesGiveTheirText() {
        QFETCH(QString, rtf);
        compareWithExpectedText(rtf);
    }

    void roundTripKeepsTextAndFormatting() {
        QTextDocument document;
        QTextCursor cursor(&document);
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        bold.setFontPointSize(14);
        cursor.insertText(QStringLiteral("加粗 bold"), bold);
        QTextCharFormat italic;
        italic.setFontItalic(true);
        italic.setForeground(QColor(255, 0, 0));
        cursor.insertText(QStringLiteral(" 斜体红"), italic);
        QTextBlockFormat centred;
        centred.setAlignment(Qt::AlignHCenter);
        cursor.insertBlock(centred);
        QTextCharFormat underlined;
        underlined.setFontUnderline(true);
        underlined.setFontStrikeOut(true);
        underlined.setBackground(QColor(0, 255, 0));
        cursor.insertText(QStringLiteral("下划线 {braces} \\ 😀 €"), underlined);
        cursor.insertText(QString(QChar::LineSeparator) + QStringLiteral("tab\there"), QTextCharFormat());

        const QByteArray rtf = RtfWriter::write(document);
        QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg936"));
        QVERIFY(rtf.contains("\\fcharset134 \\'cb\\'ce\\'cc\\'e5;")); // 宋体
        QVERIFY(rtf.contains("\\'bc\\'d3\\'b4\\'d6"));                // 加粗 as GBK pairs
        QVERIFY(rtf.contains("\\u-10179?\\u-8704?"));                 // 😀 outside GBK
        for (char c : rtf)
            QVERIFY2(static_cast<unsigned char>(c) < 0x80, "RTF is 7-bit text");

        QTextDocument back;
        RtfReader::read(rtf, back);
        QCOMPARE(back.toPlainText(), document.toPlainText());
        QCOMPARE(back.blockCount(), 2);
        QVERIFY(formatAt(back, QStringLiteral("加粗")).fontWeight() >= QFont::Bold);
        QCOMPARE(formatAt(back, QStringLiteral("加粗")).fontPointSize(), 14.0);
        QVERIFY(formatAt(back, QStringLiteral("斜体")).fontItalic());
        QCOMPARE(formatAt(back, QStringLiteral("斜体")).foreground().color(), QColor(255, 0, 0));
        QVERIFY(formatAt(back, QStringLiteral("下划线")).fontUnderline());
        QVERIFY(formatAt(back, QStringLiteral("下划线")).fontStrikeOut());
        QCOMPARE(formatAt(back, QStringLiteral("下划线")).background().color(), QColor(0, 255, 0));
        QCOMPARE(back.lastBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        QCOMPARE(back.firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    }

    void windowsControlStyle() {
        // As the Windows rich-text control writes a memo on a Chinese system.
        const QByteArray rtf =
            "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052{\\fonttbl{\\f0\\fnil\\fprq2"
            "\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}\r\n{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
            "\\viewkind4\\uc1\\pard\\lang2052\\f0\\fs18 \\'bf\\'aa\\'bb\\'e1\\cf1\\b "
            "\\'d6\\'d8\\'d2\\'aa\\cf0\\b0\\par\r\n\\pard\\qc 9:00\\par\r\n}\r\n";
        QTextDocument document;
        QVERIFY(RtfReader::read(rtf, document));
        QCOMPARE(document.toPlainText(), QStringLiteral("开会重要\n9:00"));
        QVERIFY(formatAt(document, QStringLiteral("重要")).fontWeight() >= QFont::Bold);
        QCOMPARE(formatAt(document, QStringLiteral("开会")).fontPointSize(), 9.0);
        QCOMPARE(document.lastBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    }

    void defaultSizeAndFaceSurviveARoundTrip() {
        // As the memo editor holds a body: typed text carries no size or face
        // of its own, the editor's font is the document's default.
        QTextDocument document;
        document.setDefaultFont(songFont(10.5));
        QTextCursor(&document).insertText(QStringLiteral("开会 meeting"));
        const QByteArray rtf = RtfWriter::write(document);
        QVERIFY(rtf.contains("{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}"));

        QTextDocument back; // default font of its own
        RtfReader::read(rtf, back);
        const QTextCharFormat format = formatAt(back, QStringLiteral("开会"));
        QCOMPARE(format.fontPointSize(), 10.5);
        QCOMPARE(familyOf(format), QStringLiteral("宋体"));
        QCOMPARE(formatAt(back, QStringLiteral("meeting")).fontPointSize(), 10.5);
    }

    void emptyLinesKeepTheirSize() {
        // An empty line is as high as its paragraph mark's font.
        QTextDocument document;
        document.setDefaultFont(songFont(10.5));
        QTextCursor cursor(&document);
        cursor.insertText(QStringLiteral("上"));
        cursor.insertBlock();
        QTextCharFormat big;
        big.setFontPointSize(20);
        cursor.insertBlock(QTextBlockFormat(), big);
        cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        cursor.insertText(QStringLiteral("下"));

        QTextDocument back;
        RtfReader::read(RtfWriter::write(document), back);
        QCOMPARE(back.toPlainText(), QStringLiteral("上\n\n\n下"));
        QCOMPARE(back.findBlockByNumber(1).charFormat().fontPointSize(), 10.5);
        QCOMPARE(back.findBlockByNumber(2).charFormat().fontPointSize(), 20.0);
    }

    void facesSurviveARoundTrip_data() {
        QTest::addColumn<QString>("face");
        QTest::newRow("Latin face") << QStringLiteral("Arial");
        QTest::newRow("Latin face with blanks") << QStringLiteral("Times New Roman");
        QTest::newRow("Chinese face") << QStringLiteral("楷体");
        QTest::newRow("Chinese face outside GB2312") << QStringLiteral("微軟正黑體");
    }
    void facesSurviveARoundTrip() {
        QFETCH(QString, face);
        QTextDocument document;
        document.setDefaultFont(songFont(10.5));
        QTextCursor cursor(&document);
        cursor.insertText(QStringLiteral("默认 "));
        QTextCharFormat inFace;
        inFace.setFontFamilies({face});
        cursor.insertText(QStringLiteral("字体 face"), inFace);
        const QByteArray rtf = RtfWriter::write(document);
        QVERIFY(rtf.startsWith(
            "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052{\\fonttbl{\\f0\\fnil\\fcharset134 "
            "\\'cb\\'ce\\'cc\\'e5;}"));

        QTextDocument back;
        RtfReader::read(rtf, back);
        QCOMPARE(familyOf(formatAt(back, QStringLiteral("字体"))), face);
        QCOMPARE(familyOf(formatAt(back, QStringLiteral("默认"))), QStringLiteral("宋体"));
        QCOMPARE(formatAt(back, QStringLiteral("字体")).fontPointSize(), 10.5);
    }

    void fontTableGivesTheFace_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("face");
        QTest::newRow("GBK face name")
            << QByteArray("{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil"
                          "\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}{\\f1\\fmodern"
                          "\\fprq1\\fcharset134 \\'bf\\'ac\\'cc\\'e5;}}\\f1 x\\par}")
            << QStringLiteral("楷体");
        QTest::newRow("GBK face name, 1252 document")
            << QByteArray(
                   "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f2\\fnil\\fcharset134 \\'bf\\'ac\\'cc\\'e5;}}"
                   "{\\f2 x}}")
            << QStringLiteral("楷体");
        QTest::newRow("Latin face, no entry groups")
            << QByteArray("{\\rtf1\\ansi{\\fonttbl\\f0\\fswiss Helvetica;\\f1\\froman Times;}\\f1 x}")
            << QStringLiteral("Times");
        QTest::newRow("face with alternative and panose")
            << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f3\\fswiss\\fcharset0\\fprq2{\\*\\panose "
                          "020b0604020202020204}Arial{\\*\\falt Helvetica};}}\\f3 x}")
            << QStringLiteral("Arial");
        QTest::newRow("default font")
            << QByteArray("{\\rtf1\\ansi\\deff1{\\fonttbl{\\f0 Arial;}{\\f1 Verdana;}}x}")
            << QStringLiteral("Verdana");
    }
    void fontTableGivesTheFace() {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, face);
        QTextDocument document;
        RtfReader::read(rtf, document);
        QCOMPARE(document.toPlainText(), QStringLiteral("x"));
        QCOMPARE(familyOf(formatAt(document, QStringLiteral("x"))), face);
    }

    void charactersSurviveARoundTrip_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("back");
        const auto same = [](const char *name, const QString &text) { QTest::newRow(name) << text << text; };
        same("family emoji, zero-width joiners", QStringLiteral("家庭 👨‍👩‍👧 family"));
        same("heart, variation selector 16", QStringLiteral("心 ❤️ heart"));
        same("soft hyphen", QStringLiteral("soft\u00ADhyphen"));
        same("zero-width space, non-joiner, joiner", QStringLiteral("zero\u200Bwidth\u200Cnon\u200Djoiner"));
        same("byte order mark", QStringLiteral("\uFEFFbyte order mark\uFEFF"));
        same("mixed GBK text", QStringLiteral("中文 English 混合，标点！"));
        same("punctuation and euro", QStringLiteral("€ 5 · — ‘’ “” … ¥"));
        same("symbols outside GBK", QStringLiteral("• ♣ α β Ω ≠ ∞"));
        same("other scripts", QStringLiteral("繁體 한국어 日本語 ひらがな"));
        same("outside the basic plane", QStringLiteral("𝐻 𠀀 😀"));
        same("private use", QStringLiteral("\uE000 private use \uF8FF"));
        same("line separator", QStringLiteral("a\u2028b"));
        QTest::newRow("vertical tab is a line break")
            << QStringLiteral("a\u000Bb") << QStringLiteral("a\u2028b");
    }
    void charactersSurviveARoundTrip() {
        QFETCH(QString, text);
        QFETCH(QString, back);
        QTextDocument document;
        QTextCursor(&document).insertText(text);
        const QByteArray rtf = RtfWriter::write(document);
        for (char c : rtf)
            QVERIFY2(static_cast<unsigned char>(c) < 0x80, "RTF is 7-bit text");
        QTextDocument read;
        RtfReader::read(rtf, read);
        QCOMPARE(read.toRawText(), back);
    }

    void picturesSurviveLoadAndSave() {
        // A picture the control shows (PNG, with its metafile alternative for
        // older readers) and one it cannot show here (EMF).
        const QByteArray original =
            readBytes(ourFixtures() + QStringLiteral("/pictures-png-and-metafile.rtf"));
        const QByteArray pngGroup = groupAt(original, "\\pict{\\*\\picprop");
        const QByteArray emfGroup = groupAt(original, "\\pict\\emfblip");
        QVERIFY(!pngGroup.isEmpty() && !emfGroup.isEmpty());

        QTextDocument document;
        RtfReader::read(original, document);
        const QList<QTextImageFormat> images = imagesIn(document);
        QCOMPARE(images.size(), 2);
        const QImage png = shownImage(document, images[0]);
        QCOMPARE(png.size(), QSize(2, 2));
        QCOMPARE(png.pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(png.pixel(1, 1), qRgb(255, 255, 255));
        QCOMPARE(images[0].width(), 20.0); // 300 twips
        QCOMPARE(images[0].height(), 10.0);
        QVERIFY(!shownImage(document, images[1]).isNull()); // a stand-in
        QCOMPARE(images[1].width(), 40.0);
        QCOMPARE(images[1].height(), 30.0);
        QCOMPARE(document.toPlainText().remove(QChar::ObjectReplacementCharacter),
                 QStringLiteral("Before  after\nMetafile "));

        const QByteArray saved = RtfWriter::write(document);
        QVERIFY(saved.contains(pngGroup));
        QVERIFY(saved.contains(emfGroup));
        QVERIFY(!saved.contains("\\wmetafile8")); // one picture per place
        QVERIFY(!saved.contains("\\u-4?"));

        QTextDocument reopened;
        RtfReader::read(saved, reopened);
        const QList<QTextImageFormat> again = imagesIn(reopened);
        QCOMPARE(again.size(), 2);
        QCOMPARE(shownImage(reopened, again[0]), png);
        QVERIFY(RtfWriter::write(reopened).contains(emfGroup));
    }

    void copiedPictureKeepsItsBytes() {
        // A picture copied and pasted within the body comes back as HTML: an
        // image of the same name, without the bytes it was read from.
        const QByteArray original =
            readBytes(ourFixtures() + QStringLiteral("/pictures-png-and-metafile.rtf"));
        const QByteArray emfGroup = groupAt(original, "\\pict\\emfblip");
        QTextDocument document;
        RtfReader::read(original, document);
        QTextCursor cursor(&document);
        cursor.movePosition(QTextCursor::End);
        QTextImageFormat copy;
        copy.setName(imagesIn(document).value(1).name());
        cursor.insertImage(copy);
        QCOMPARE(RtfWriter::write(document).count(emfGroup), 2);
    }

    void insertedImageIsWrittenAsPng() {
        // As the editor holds a pasted picture: a resource and its object character.
        QTextDocument document;
        const QImage image = smallImage();
        document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("pasted-1")), image);
        QTextCursor cursor(&document);
        cursor.insertText(QStringLiteral("图 "));
        QTextImageFormat format;
        format.setName(QStringLiteral("pasted-1"));
        cursor.insertImage(format);
        cursor.insertText(QStringLiteral(" end"));

        const QByteArray rtf = RtfWriter::write(document);
        QVERIFY(rtf.contains("{\\pict\\pngblip\\picw3\\pich2\\picwgoal45\\pichgoal30"));
        QVERIFY(!rtf.contains("\\u-4?"));
        QTextDocument back;
        RtfReader::read(rtf, back);
        const QList<QTextImageFormat> images = imagesIn(back);
        QCOMPARE(images.size(), 1);
        QCOMPARE(shownImage(back, images[0]), image);
        QCOMPARE(back.toPlainText(), QStringLiteral("图 \uFFFC end"));
    }

    void picturesOfEachKindAreShown_data() {
        QTest::addColumn<QByteArray>("pict");
        QTest::addColumn<QImage>("shown");
        QTest::addColumn<bool>("lossy");
        const QImage image = smallImage().convertToFormat(QImage::Format_RGB32);
        const QImage shown = image.convertToFormat(QImage::Format_ARGB32);
        const QByteArray png = encodedImage(image, "PNG");
        QTest::newRow("png as hex") << "\\pngblip " + png.toHex() << shown << false;
        QTest::newRow("png as binary")
            << "\\pngblip\\bin" + QByteArray::number(png.size()) + ' ' + png << shown << false;
        QTest::newRow("jpeg") << "\\jpegblip " + encodedImage(image, "JPG").toHex() << shown << true;
        // A bitmap file without its 14-byte file header.
        QTest::newRow("device-independent bitmap")
            << "\\dibitmap0 " + encodedImage(image, "BMP").mid(14).toHex() << shown << false;
        // 1 bit per pixel, 1 the background: rows 101 and 010 in 2 bytes each.
        QImage mono(3, 2, QImage::Format_ARGB32);
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 3; ++x)
                mono.setPixel(x, y, (x % 2 == 0) == (y == 0) ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        }
        QTest::newRow("device-dependent bitmap")
            << QByteArray("\\wbitmap0\\picw3\\pich2\\wbmbitspixel1\\wbmplanes1\\wbmwidthbytes2 a0004000")
            << mono << false;
    }
    void picturesOfEachKindAreShown() {
        QFETCH(QByteArray, pict);
        QFETCH(QImage, shown);
        QFETCH(bool, lossy);
        const QByteArray rtf = "{\\rtf1\\ansi a{\\pict" + pict + "}b\\par}";
        QTextDocument document;
        RtfReader::read(rtf, document);
        const QList<QTextImageFormat> images = imagesIn(document);
        QCOMPARE(images.size(), 1);
        if (lossy)
            QCOMPARE(shownImage(document, images[0]).size(), shown.size());
        else
            QCOMPARE(shownImage(document, images[0]), shown);
        QCOMPARE(document.toPlainText(), QStringLiteral("a\uFFFCb"));
        QVERIFY(RtfWriter::write(document).contains("{\\pict" + pict + "}"));
    }

    void pictureAlternativesGiveOnePicture_data() {
        QTest::addColumn<QByteArray>("rtf");
        const QByteArray png = encodedImage(smallImage(), "PNG").toHex();
        QTest::newRow("shppict first") << "{\\rtf1 a{\\*\\shppict{\\pict\\pngblip " + png +
                                              "}}{\\nonshppict{\\pict\\wmetafile8 0100}}b}";
        QTest::newRow("nonshppict first")
            << "{\\rtf1 a{\\nonshppict{\\pict\\wmetafile8 0100}}{\\*\\shppict{\\pict"
               "\\pngblip " +
                   png + "}}b}";
    }
    void pictureAlternativesGiveOnePicture() {
        QFETCH(QByteArray, rtf);
        QTextDocument document;
        RtfReader::read(rtf, document);
        const QList<QTextImageFormat> images = imagesIn(document);
        QCOMPARE(images.size(), 1);
        QCOMPARE(shownImage(document, images[0]).size(), QSize(3, 2));
        QCOMPARE(document.toPlainText(), QStringLiteral("a\uFFFCb"));
    }

    void nothingAfterTheDocumentEndIsText_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("a dash after the end") << QByteArray("{\\rtf1 a\\par}\r\n-") << QStringLiteral("a");
        QTest::newRow("words and text after the end")
            << QByteArray("{\\rtf1 a\\par}\r\n\\par\\b -") << QStringLiteral("a");
        QTest::newRow("NUL after the end") << bytes("{\\rtf1 a}\r\n\0") << QStringLiteral("a");
        QTest::newRow("stray brace inside") << QByteArray("{\\rtf1 a}b\\par c}") << QStringLiteral("ab\nc");
    }
    void nothingAfterTheDocumentEndIsText() {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QCOMPARE(RtfReader::plainText(rtf), text);
    }

    void characterWords_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("page ends a paragraph")
            << QByteArray("{\\rtf1 one\\page two}") << QStringLiteral("one\u2029two");
        QTest::newRow("em space") << QByteArray("{\\rtf1 a\\emspace b}") << QStringLiteral("a\u2003b");
        QTest::newRow("en space") << QByteArray("{\\rtf1 a\\enspace b}") << QStringLiteral("a\u2002b");
        QTest::newRow("zero-width joiner") << QByteArray("{\\rtf1 a\\zwj b}") << QStringLiteral("a\u200Db");
        QTest::newRow("zero-width non-joiner")
            << QByteArray("{\\rtf1 a\\zwnj b}") << QStringLiteral("a\u200Cb");
    }
    void characterWords() {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QTextDocument document;
        RtfReader::read(rtf, document);
        QCOMPARE(document.toRawText(), text);
    }

    void symbolFontBytesKeepTheirCharacter_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("bullet in a cp936 document")
            << withSymbolFont("936", "x{\\f1\\'b7}y") << QStringLiteral("x•y");
        QTest::newRow("bullet in a 1252 document")
            << withSymbolFont("1252", "x{\\f1\\'b7}y") << QStringLiteral("x•y");
        QTest::newRow("club, a lead byte in GBK")
            << withSymbolFont("936", "{\\f1\\'a7}\\'d6\\'d0") << QStringLiteral("♣中");
        QTest::newRow("Greek letters")
            << withSymbolFont("936", "{\\f1\\'61\\'62\\'44\\'57}") << QStringLiteral("αβΔΩ");
        QTest::newRow("arrows, operators")
            << withSymbolFont("936", "{\\f1\\'ae\\'b9\\'a5\\'d6\\'f2}") << QStringLiteral("→≠∞√∫");
        QTest::newRow("as a private-use character")
            << withSymbolFont("936", "{\\f1\\u-3913?}") << QStringLiteral("•");
        QTest::newRow("font switched inside the group")
            << withSymbolFont("936", "\\f1\\'b7\\f0 \\'d6\\'d0") << QStringLiteral("•中");
    }
    void symbolFontBytesKeepTheirCharacter() {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QCOMPARE(RtfReader::plainText(rtf), text);
    }

    void malformedInputNeverStopsTheReader_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("unclosed groups") << QByteArray("{\\rtf1 {{{a{b") << QStringLiteral("ab");
        QTest::newRow("extra closing braces") << QByteArray("{\\rtf1 a}}}}b}") << QStringLiteral("ab");
        QTest::newRow("truncated escape") << QByteArray("{\\rtf1 a\\'c") << QStringLiteral("a");
        QTest::newRow("truncated control word") << QByteArray("{\\rtf1 a\\") << QStringLiteral("a");
        QTest::newRow("huge numbers")
            << QByteArray("{\\rtf1\\fs99999999999999999999 a\\u99999999999999 b\\uc999999999 c}")
            << QStringLiteral("a");
        QTest::newRow("lone lead byte") << QByteArray("{\\rtf1\\ansicpg936 a\\'d6}") << QStringLiteral("a");
        QTest::newRow("bad hex") << QByteArray("{\\rtf1 a\\'zzb}") << QStringLiteral("ab");
        QTest::newRow("binary data skipped") << bytes("{\\rtf1 a\\bin4 \x01\x02}}b}") << QStringLiteral("ab");
        QTest::newRow("not rtf is plain GBK text")
            << QByteArray("\xd6\xd0\xce\xc4") << QStringLiteral("中文");
    }
    void malformedInputNeverStopsTheReader() {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        const QString read = normalized(RtfReader::plainText(rtf));
        QVERIFY2(read.startsWith(text), qPrintable(read));
    }

    void malformedPicturesNeverStopTheReader_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("unclosed picture")
            << QByteArray("{\\rtf1 a{\\pict\\pngblip 89504e470") << QStringLiteral("a");
        QTest::newRow("odd number of hex digits")
            << QByteArray("{\\rtf1 a{\\pict\\pngblip 89504}b}") << QStringLiteral("ab");
        QTest::newRow("huge binary") << QByteArray("{\\rtf1 a{\\pict\\pngblip\\bin999999999 xx}}")
                                     << QStringLiteral("a");
        QTest::newRow("bitmap header of a huge bitmap")
            << QByteArray("{\\rtf1 a{\\pict\\dibitmap0 28000000ffffff7fffffff7f010018000000000000000000}b}")
            << QStringLiteral("ab");
        QTest::newRow("device-dependent bitmap of a huge size")
            << QByteArray("{\\rtf1 a{\\pict\\wbitmap0\\picw2147483647\\pich2147483647\\wbmbitspixel1"
                          "\\wbmwidthbytes2147483647 00}b}")
            << QStringLiteral("ab");
        QTest::newRow("huge sizes")
            << QByteArray("{\\rtf1 a{\\pict\\pngblip\\picwgoal2147483647\\pichgoal-2147483647"
                          "\\picscalex2147483647 00}b}")
            << QStringLiteral("ab");
        QTest::newRow("picture outside any group")
            << QByteArray("{\\rtf1 a\\pict 0102}") << QStringLiteral("a");
    }
    void malformedPicturesNeverStopTheReader() {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QTextDocument document;
        RtfReader::read(rtf, document);
        const QString read = document.toPlainText().remove(QChar::ObjectReplacementCharacter);
        QVERIFY2(read.startsWith(text), qPrintable(read));
        RtfWriter::write(document); // must come back
    }

    // Twenty megabytes of "{" once took a state per brace (740 MB); deep
    // groups now share one, and the text within still reads.
    void bracesCostNoMemoryOfTheirOwn() {
        QByteArray deep = "{\\rtf1 a";
        deep.append(QByteArray(1'000'000, '{')).append("\\b x").append(QByteArray(1'000'000, '}'));
        deep.append("{y}}");
        QTextDocument document;
        qsizetype states = 0;
        RtfReader::read(deep, document, &states);
        QVERIFY2(states <= RtfReader::kMaxGroupDepth + 1, qPrintable(QString::number(states)));
        QCOMPARE(document.toPlainText(), QStringLiteral("axy"));
        // Bold set past the limit ends with its groups.
        QTextCursor cursor = document.find(QStringLiteral("y"));
        QVERIFY(cursor.charFormat().fontWeight() < QFont::Bold);
    }

    void deepNestingAndGarbage() {
        QByteArray deep = "{\\rtf1 ";
        deep.append(QByteArray(200000, '{')).append("x").append(QByteArray(200000, '}'));
        QCOMPARE(RtfReader::plainText(deep), QStringLiteral("x"));
        QByteArray garbage = "{\\rtf1 ";
        for (int i = 0; i < 100000; ++i)
            garbage.append(char((i * 7919 + 13) & 0xFF));
        RtfReader::plainText(garbage); // must come back
    }
};

QTEST_MAIN(tst_Rtf)
#include "tst_Rtf.moc"
