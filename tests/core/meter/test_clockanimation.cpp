#include "core/meter/ClockAnimation.h"

#include <QTest>

class TestClockAnimation : public QObject {
    Q_OBJECT
private slots:
    // Runs the animation from a given sweep count and checks the frames it
    // passes through around the turn.
    void sweepsAndTurns() {
        int draws = 0;
        ClockAnimation a([&] { return draws++ == 0 ? 4 : 0; });
        QCOMPARE(a.AnimationSweeps(), 4);
        // 21 pictures forward; the 21st tick wraps to 1 and counts the fifth sweep.
        for (int i = 0; i < 20; ++i)
            QVERIFY(!a.advance(true));
        QCOMPARE(a.AnimationFrame(), 21);
        a.advance(true);
        QCOMPARE(a.AnimationFrame(), 1);
        QCOMPARE(a.AnimationSweeps(), 5);
        for (int i = 0; i < 20; ++i)
            a.advance(true);
        // The sweep count has reached 5: the clock turns round and holds its picture for a tick.
        a.advance(true);
        QCOMPARE(a.AnimationFrame(), 22);
        QCOMPARE(a.visibleFrame(), 0);
        QCOMPARE(a.AnimationStep(), -1);
        QCOMPARE(a.AnimationSweeps(), 0);
        a.advance(true);
        QCOMPARE(a.AnimationFrame(), 21);
        for (int i = 0; i < 20; ++i)
            a.advance(true);
        QCOMPARE(a.AnimationFrame(), 1);
        a.advance(true); // before the first picture, running backward: wraps to 21
        QCOMPARE(a.AnimationFrame(), 21);
        QCOMPARE(a.AnimationSweeps(), 1);
    }

    void stopFinishesTheSweepUnderWay_data() {
        QTest::addColumn<int>("ticksBeforeStop");
        QTest::addColumn<int>("ticksToFinish");
        QTest::newRow("stop at the first picture") << 0 << 21;
        QTest::newRow("stop mid-sweep") << 10 << 11;
        QTest::newRow("stop at the last picture") << 20 << 1;
    }
    void stopFinishesTheSweepUnderWay() {
        QFETCH(int, ticksBeforeStop);
        QFETCH(int, ticksToFinish);
        ClockAnimation a([] { return 0; });
        for (int i = 0; i < ticksBeforeStop; ++i)
            QVERIFY(!a.advance(true));
        int ticks = 0;
        bool finished = false;
        while (!finished && ticks < 100) {
            finished = a.advance(false);
            ++ticks;
        }
        QVERIFY(finished);
        QCOMPARE(ticks, ticksToFinish);
        QCOMPARE(a.AnimationFrame(), 1);
        QCOMPARE(a.visibleFrame(), 1);
    }

    void directionCarriesOverToTheNextCall() {
        int draws = 0;
        ClockAnimation a([&] { return draws++ == 0 ? 5 : 0; }); // the first wrap turns round
        for (int i = 0; i < 20; ++i)
            a.advance(true);
        QVERIFY(a.advance(false)); // turns round and, not timing, ends the sweep
        QCOMPARE(a.AnimationStep(), -1);
        QCOMPARE(a.AnimationFrame(), 1);
        a.advance(true);
        QCOMPARE(a.AnimationFrame(), 21); // backward from the first picture wraps to the last
    }
};

QTEST_GUILESS_MAIN(TestClockAnimation)
#include "test_clockanimation.moc"
