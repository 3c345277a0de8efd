// SPDX-License-Identifier: MIT
// TZ is pinned to the zone the system's link names, so that local-time
// conversions stop looking at the zone file, and a new system zone is still
// taken up.
#include "platform/LocalZonePin.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

#include <ctime>

namespace {
// 2023-11-14 22:13:20 UTC: standard time in New York, no summer time in Shanghai.
constexpr time_t kInstant = 1700000000;

long offsetAt(time_t instant) {
    tm local{};
    localtime_r(&instant, &local);
    return local.tm_gmtoff;
}

bool linkTo(const QString &link, const QByteArray &target) {
    const QByteArray fresh = QFile::encodeName(link + QStringLiteral(".new"));
    ::unlink(fresh.constData());
    // Replaced the way zone tools do it: a new link renamed over the old one.
    return ::symlink(target.constData(), fresh.constData()) == 0 &&
           ::rename(fresh.constData(), QFile::encodeName(link).constData()) == 0;
}
} // namespace

class tst_LocalZonePin : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        m_savedTz = qgetenv("TZ");
        m_hadTz = qEnvironmentVariableIsSet("TZ");
        qunsetenv("TZ");
        QVERIFY(m_dir.isValid());
        m_link = m_dir.filePath(QStringLiteral("localtime"));
        QFile::remove(m_link);
        if (!QFile::exists(QStringLiteral("/usr/share/zoneinfo/America/New_York")))
            QSKIP("the zone data (Debian package tzdata) is not installed");
    }
    void cleanup() {
        if (m_hadTz)
            qputenv("TZ", m_savedTz);
        else
            qunsetenv("TZ");
        tzset();
    }

    void pinsTheLinkedZoneAndFollowsANewOne() {
        QVERIFY(linkTo(m_link, "../../usr/share/zoneinfo/Asia/Shanghai"));
        LocalZonePin pin(QFile::encodeName(m_link));
        QVERIFY(pin.pinned());
        QCOMPARE(pin.zoneName(), QByteArray("Asia/Shanghai"));
        QCOMPARE(qgetenv("TZ"), QByteArray(":Asia/Shanghai"));
        QCOMPARE(offsetAt(kInstant), 8 * 3600L);
        QVERIFY(!pin.follow());

        QVERIFY(linkTo(m_link, "/usr/share/zoneinfo/America/New_York"));
        QCOMPARE(offsetAt(kInstant), 8 * 3600L); // pinned: the change waits for follow()
        QVERIFY(pin.follow());
        QCOMPARE(qgetenv("TZ"), QByteArray(":America/New_York"));
        QCOMPARE(offsetAt(kInstant), -5 * 3600L);
        QVERIFY(!pin.follow());
    }

    void aLinkLeavingTheZoneTreeUnpinsAndAReturnPinsAgain() {
        QVERIFY(linkTo(m_link, "/usr/share/zoneinfo/Asia/Shanghai"));
        LocalZonePin pin(QFile::encodeName(m_link));
        QVERIFY(pin.pinned());
        QVERIFY(linkTo(m_link, "/nonexistent/zone"));
        QVERIFY(pin.follow());
        QVERIFY(!qEnvironmentVariableIsSet("TZ"));
        QVERIFY(linkTo(m_link, "/usr/share/zoneinfo/posix/America/New_York"));
        QVERIFY(pin.follow());
        QCOMPARE(qgetenv("TZ"), QByteArray(":America/New_York"));
        QCOMPARE(offsetAt(kInstant), -5 * 3600L);
    }

    void leavesAloneWhatItCannotName_data() {
        QTest::addColumn<QByteArray>("userTz");
        QTest::addColumn<QString>("setup");
        QTest::newRow("zone chosen by the user") << QByteArray("UTC0") << QStringLiteral("link");
        QTest::newRow("empty TZ (UTC by choice)") << QByteArray("") << QStringLiteral("link");
        QTest::newRow("zone file is a copy") << QByteArray() << QStringLiteral("copy");
        QTest::newRow("no zone file") << QByteArray() << QStringLiteral("none");
        QTest::newRow("link outside a zone tree") << QByteArray() << QStringLiteral("elsewhere");
    }
    void leavesAloneWhatItCannotName() {
        QFETCH(QByteArray, userTz);
        QFETCH(QString, setup);
        if (setup == u"link")
            QVERIFY(linkTo(m_link, "/usr/share/zoneinfo/Asia/Shanghai"));
        else if (setup == u"copy")
            QVERIFY(QFile::copy(QStringLiteral("/usr/share/zoneinfo/Asia/Shanghai"), m_link));
        else if (setup == u"elsewhere")
            QVERIFY(linkTo(m_link, "/usr/share/zoneinfo-not/Asia/Shanghai"));
        const bool userSet = !userTz.isNull();
        if (userSet)
            qputenv("TZ", userTz);
        LocalZonePin pin(QFile::encodeName(m_link));
        QVERIFY(!pin.pinned());
        QVERIFY(!pin.follow());
        QCOMPARE(qEnvironmentVariableIsSet("TZ"), userSet);
        if (userSet)
            QCOMPARE(qgetenv("TZ"), userTz);
    }

private:
    QTemporaryDir m_dir;
    QString m_link;
    QByteArray m_savedTz;
    bool m_hadTz = false;
};

QTEST_GUILESS_MAIN(tst_LocalZonePin)
#include "tst_LocalZonePin.moc"
