// SPDX-License-Identifier: MIT
#include "memos/RtfReader.h"
#include "memos/RtfWriter.h"

#include "TestSupport.h"

#include <QDir>
#include <QGuiApplication>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

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
        QTest::addColumn<QString>("rtf");
        const QStringList files =
            QDir(fixtures()).entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name);
        QVERIFY2(files.size() >= 10, qPrintable(fixtures()));
        for (const QString &file : files)
            QTest::newRow(qPrintable(file)) << fixtures() + u'/' + file;
    }
    void realFilesGiveTheirText() {
        QFETCH(QString, rtf);
        const QString expectedPath = rtf.left(rtf.size() - 4) + QStringLiteral(".expected.txt");
        const QString expected = QString::fromUtf8(readBytes(expectedPath));
        QCOMPARE(normalized(RtfReader::plainText(readBytes(rtf))), normalized(expected));
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
