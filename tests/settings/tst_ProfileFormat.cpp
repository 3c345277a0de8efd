// SPDX-License-Identifier: MIT
#include "settings/ProfileFormat.h"

#include "TestSupport.h"

#include <QTest>

using ProfileFormat::readValue;
using ProfileFormat::writeValue;

Q_DECLARE_METATYPE(std::optional<QByteArray>)

namespace {
const std::optional<QByteArray> missing = std::nullopt;
std::optional<QByteArray> value(const QByteArray &bytes) {
    return bytes;
}
} // namespace

class tst_ProfileFormat : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void read_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<std::optional<QByteArray>>("expected");

        const QByteArray basic = "[SYSTEM]\r\nF_top=120\r\nF_show=c\r\n[MEMO]\r\nM0=0|a\r\n";
        QTest::newRow("plain") << basic << QByteArray("SYSTEM") << QByteArray("F_show") << value("c");
        QTest::newRow("other section") << basic << QByteArray("MEMO") << QByteArray("M0") << value("0|a");
        QTest::newRow("section case") << basic << QByteArray("system") << QByteArray("F_TOP") << value("120");
        QTest::newRow("missing key") << basic << QByteArray("SYSTEM") << QByteArray("F_lock") << missing;
        QTest::newRow("missing section")
            << basic << QByteArray("USERINFO") << QByteArray("U_name") << missing;
        QTest::newRow("key of another section")
            << basic << QByteArray("MEMO") << QByteArray("F_top") << missing;
        QTest::newRow("empty value") << QByteArray("[S]\nk=\n") << QByteArray("S") << QByteArray("k")
                                     << value("");
        QTest::newRow("blanks and tabs around") << QByteArray("  [ S ]  \n \t k \t=  v a  \t\n")
                                                << QByteArray("S") << QByteArray("k") << value("v a");
        QTest::newRow("double quotes")
            << QByteArray("[S]\nk=\" v \"\n") << QByteArray("S") << QByteArray("k") << value(" v ");
        QTest::newRow("single quotes")
            << QByteArray("[S]\nk='v'\n") << QByteArray("S") << QByteArray("k") << value("v");
        QTest::newRow("unmatched quotes stay")
            << QByteArray("[S]\nk=\"v'\n") << QByteArray("S") << QByteArray("k") << value("\"v'");
        QTest::newRow("lone quote stays")
            << QByteArray("[S]\nk=\"\n") << QByteArray("S") << QByteArray("k") << value("\"");
        QTest::newRow("first duplicate key wins")
            << QByteArray("[S]\nk=1\nk=2\n") << QByteArray("S") << QByteArray("k") << value("1");
        QTest::newRow("only the first duplicate section")
            << QByteArray("[S]\na=1\n[T]\n[S]\nb=2\n") << QByteArray("S") << QByteArray("b") << missing;
        QTest::newRow("comment line")
            << QByteArray("[S]\n ;k=1\nk=2\n") << QByteArray("S") << QByteArray("k") << value("2");
        QTest::newRow("semicolon and hash inside a value")
            << QByteArray("[S]\nk=a;b#c\n") << QByteArray("S") << QByteArray("k") << value("a;b#c");
        QTest::newRow("line without equals ignored")
            << QByteArray("[S]\nk\nk=1\n") << QByteArray("S") << QByteArray("k") << value("1");
        QTest::newRow("lines before the first section ignored")
            << QByteArray("k=0\n[S]\nk=1\n") << QByteArray("S") << QByteArray("k") << value("1");
        QTest::newRow("section name ends at first bracket")
            << QByteArray("[S]x]\nk=1\n") << QByteArray("S") << QByteArray("k") << value("1");
        QTest::newRow("value keeps later equals")
            << QByteArray("[S]\nk=a=b\n") << QByteArray("S") << QByteArray("k") << value("a=b");
        QTest::newRow("LF line ends")
            << QByteArray("[S]\nk=1\nj=2") << QByteArray("S") << QByteArray("j") << value("2");
        QTest::newRow("CR line ends")
            << QByteArray("[S]\rk=1\rj=2\r") << QByteArray("S") << QByteArray("j") << value("2");
        QTest::newRow("NUL ends a value")
            << bytes("[S]\nk=ab\0cd\n") << QByteArray("S") << QByteArray("k") << value("ab");
        QTest::newRow("no sections at all")
            << QByteArray("k=1\nj=2\n") << QByteArray("S") << QByteArray("k") << missing;
        QTest::newRow("empty file") << QByteArray() << QByteArray("S") << QByteArray("k") << missing;
        QTest::newRow("UTF-8 BOM before the first section")
            << QByteArray("\xEF\xBB\xBF[S]\r\nk=1\r\n") << QByteArray("S") << QByteArray("k") << value("1");

        // GBK names and values; 0xB1 0x5D is a character whose trail byte is "]".
        QTest::newRow("GBK value") << gbk(QStringLiteral("[FILEBOX]\r\nFB_list=公文|报告\r\n"))
                                   << QByteArray("FILEBOX") << QByteArray("FB_list")
                                   << value(gbk(QStringLiteral("公文|报告")));
        QTest::newRow("GBK section name")
            << gbk(QStringLiteral("[设置]\r\n名称=值\r\n")) << gbk(QStringLiteral("设置"))
            << gbk(QStringLiteral("名称")) << value(gbk(QStringLiteral("值")));
        QTest::newRow("trail byte bracket stays inside the section name")
            << bytes("[A\xB1]B]\nk=1\n[A\xB1]\nk=2\n") << bytes("A\xB1]B") << QByteArray("k") << value("1");
        QTest::newRow("trail byte A is not folded to a")
            << bytes("[S]\n\xB1\x41=1\n") << QByteArray("S") << bytes("\xB1\x61") << missing;
        QTest::newRow("invalid GBK is kept as bytes") << bytes("[S]\nk=\xFF\xFE\x81\n") << QByteArray("S")
                                                      << QByteArray("k") << value(bytes("\xFF\xFE\x81"));
    }

    void read() {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, key);
        QFETCH(std::optional<QByteArray>, expected);
        QCOMPARE(readValue(file, section, key), expected);
    }

    void readCutsAt255BytesWithoutSplittingACharacter() {
        const QByteArray ascii(300, 'x');
        QCOMPARE(readValue("[S]\nk=" + ascii + "\n", "S", "k")->size(), 255);

        // 254 ASCII bytes then a double-byte character: the character would end
        // at byte 256, so the value ends before it.
        const QByteArray mixed = QByteArray(254, 'x') + gbk(QStringLiteral("中文"));
        const QByteArray read = *readValue("[S]\nk=" + mixed + "\n", "S", "k");
        QCOMPARE(read, QByteArray(254, 'x'));

        const QByteArray chinese = gbk(QString(150, QChar(u'中')));
        QCOMPARE(readValue("[S]\nk=" + chinese + "\n", "S", "k")->size(), 254);
    }

    void readSurvivesAHundredKilobyteLineAndBinaryGarbage() {
        QByteArray garbage(100 * 1024, '\0');
        for (int i = 0; i < garbage.size(); ++i)
            garbage[i] = char((i * 7919) & 0xFF);
        QVERIFY(!readValue(garbage, "SYSTEM", "F_top").has_value());
        const QByteArray longLine = "[S]\nk=" + QByteArray(100 * 1024, 'v') + "\nj=1\n";
        QCOMPARE(readValue(longLine, "S", "j"), value("1"));
        QCOMPARE(readValue(longLine, "S", "k")->size(), 255);
    }

    void write_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QByteArray>("after");

        QTest::newRow("new file") << QByteArray() << QByteArray("SYSTEM") << QByteArray("F_top")
                                  << QByteArray("0") << QByteArray("[SYSTEM]\r\nF_top=0\r\n");
        QTest::newRow("replacing a line keeps the rest byte for byte")
            << QByteArray("; mine\r\n[SYSTEM]\r\nF_top=1\r\n  F_left = 2 \r\n[X]\r\nq=1\r\n")
            << QByteArray("system") << QByteArray("f_left") << QByteArray("30")
            << QByteArray("; mine\r\n[SYSTEM]\r\nF_top=1\r\nF_left=30\r\n[X]\r\nq=1\r\n");
        QTest::newRow("missing key goes after the section's last line")
            << QByteArray("[A]\r\na=1\r\n\r\n[B]\r\nb=2\r\n") << QByteArray("A") << QByteArray("c")
            << QByteArray("3") << QByteArray("[A]\r\na=1\r\nc=3\r\n\r\n[B]\r\nb=2\r\n");
        QTest::newRow("missing key in the last section without final line end")
            << QByteArray("[A]\r\na=1") << QByteArray("A") << QByteArray("b") << QByteArray("2")
            << QByteArray("[A]\r\na=1\r\nb=2\r\n");
        QTest::newRow("missing section goes at the end")
            << QByteArray("[A]\r\na=1\r\n") << QByteArray("B") << QByteArray("b") << QByteArray("2")
            << QByteArray("[A]\r\na=1\r\n[B]\r\nb=2\r\n");
        QTest::newRow("missing section after a file without final line end")
            << QByteArray("[A]\na=1") << QByteArray("B") << QByteArray("b") << QByteArray("2")
            << QByteArray("[A]\na=1\n[B]\nb=2\n");
        QTest::newRow("LF file keeps LF") << QByteArray("[A]\na=1\n") << QByteArray("A") << QByteArray("b")
                                          << QByteArray("2") << QByteArray("[A]\na=1\nb=2\n");
        QTest::newRow("first of duplicate keys is written")
            << QByteArray("[A]\r\nk=1\r\nk=2\r\n") << QByteArray("A") << QByteArray("k") << QByteArray("9")
            << QByteArray("[A]\r\nk=9\r\nk=2\r\n");
        QTest::newRow("CR and LF in a value become blanks")
            << QByteArray("[A]\r\n") << QByteArray("A") << QByteArray("k") << QByteArray("x\r\n[B]\r\nevil=1")
            << QByteArray("[A]\r\nk=x  [B]  evil=1\r\n");
        QTest::newRow("NUL ends the written value") << QByteArray() << QByteArray("A") << QByteArray("k")
                                                    << bytes("ab\0cd") << QByteArray("[A]\r\nk=ab\r\n");
        QTest::newRow("BOM stays and its first section is used")
            << QByteArray("\xEF\xBB\xBF[SYSTEM]\r\nF_top=1\r\n") << QByteArray("SYSTEM")
            << QByteArray("F_left") << QByteArray("2")
            << QByteArray("\xEF\xBB\xBF[SYSTEM]\r\nF_top=1\r\nF_left=2\r\n");
        QTest::newRow("BOM stays and a key of its first section is replaced")
            << QByteArray("\xEF\xBB\xBF[SYSTEM]\nF_top=1\n") << QByteArray("SYSTEM") << QByteArray("F_top")
            << QByteArray("2") << QByteArray("\xEF\xBB\xBF[SYSTEM]\nF_top=2\n");
        QTest::newRow("a file of a BOM alone")
            << QByteArray("\xEF\xBB\xBF") << QByteArray("S") << QByteArray("k") << QByteArray("v")
            << QByteArray("\xEF\xBB\xBF[S]\r\nk=v\r\n");
        QTest::newRow("GBK value") << QByteArray() << QByteArray("USERINFO") << QByteArray("U_name")
                                   << gbk(QStringLiteral("无名"))
                                   << QByteArray("[USERINFO]\r\nU_name=") + gbk(QStringLiteral("无名")) +
                                          "\r\n";
    }

    void write() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, value);
        QFETCH(QByteArray, after);
        QCOMPARE(writeValue(before, section, key, value), after);
    }

    void writtenValuesReadBack() {
        QByteArray file;
        const QByteArray long300 = gbk(QString(300, QChar(u'x')));
        file = writeValue(file, "A", "long", long300);
        file = writeValue(file, gbk(QStringLiteral("分区")), gbk(QStringLiteral("键")),
                          gbk(QStringLiteral("值]\\[")));
        file = writeValue(file, "A", "quoted", "'kept'x");
        QCOMPARE(readValue(file, "A", "long")->size(), 255);
        QCOMPARE(*readValue(file, gbk(QStringLiteral("分区")), gbk(QStringLiteral("键"))),
                 gbk(QStringLiteral("值]\\[")));
        QCOMPARE(*readValue(file, "a", "QUOTED"), QByteArray("'kept'x"));
    }
};

QTEST_GUILESS_MAIN(tst_ProfileFormat)
#include "tst_ProfileFormat.moc"
