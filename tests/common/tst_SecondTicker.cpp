// SPDX-License-Identifier: MIT
#include "common/SecondTicker.h"

#include <QTest>

namespace {
QDateTime at(int hour, int minute, int second, int ms = 0) {
    return QDateTime(QDate(2026, 12, 10), QTime(hour, minute, second, ms));
}
} // namespace

class tst_SecondTicker : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void firstTickConsidersTheCurrentSecond() {
        SecondTicker ticker;
        QCOMPARE(ticker.advance(at(17, 30, 0, 400)), QList<QDateTime>{at(17, 30, 0)});
    }

    void lateTickCatchesUpEverySecond() {
        SecondTicker ticker;
        ticker.advance(at(17, 29, 58));
        QCOMPARE(ticker.advance(at(17, 30, 1, 900)),
                 (QList<QDateTime>{at(17, 29, 59), at(17, 30, 0), at(17, 30, 1)}));
    }

    void secondTickInTheSameSecondConsidersNothing() {
        SecondTicker ticker;
        ticker.advance(at(17, 30, 0, 10));
        QVERIFY(ticker.advance(at(17, 30, 0, 990)).isEmpty());
        QCOMPARE(ticker.advance(at(17, 30, 1)), QList<QDateTime>{at(17, 30, 1)});
    }

    void clockGoingBackwardsConsidersOnlyNow() {
        SecondTicker ticker;
        ticker.advance(at(17, 30, 0));
        QCOMPARE(ticker.advance(at(17, 0, 0)), QList<QDateTime>{at(17, 0, 0)});
    }

    void jumpOfMoreThanAMinuteConsidersOnlyNow() {
        SecondTicker ticker;
        ticker.advance(at(17, 0, 0));
        QCOMPARE(ticker.advance(at(17, 1, 0)).size(), 60);
        QCOMPARE(ticker.advance(at(18, 0, 0)), QList<QDateTime>{at(18, 0, 0)});
    }

    void midnightIsCrossed() {
        SecondTicker ticker;
        ticker.advance(at(23, 59, 59));
        const QDateTime next(QDate(2026, 12, 11), QTime(0, 0, 1));
        QCOMPARE(ticker.advance(next),
                 (QList<QDateTime>{QDateTime(QDate(2026, 12, 11), QTime(0, 0, 0)), next}));
    }
};

QTEST_GUILESS_MAIN(tst_SecondTicker)
#include "tst_SecondTicker.moc"
