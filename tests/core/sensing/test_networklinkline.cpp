#include "core/sensing/NetworkLinkLine.h"

#include "fakes/FakeNetworkLinks.h"

#include <QMap>
#include <QTest>

// Each row is a script of link reports and the line's reports expected,
// written as "<call letter> <state>", one letter per handle in order of first
// appearance. A report is "<first|change> <index> <name, or - for none> <flags>"
// with the flags up, run, carrier and nocarrier; "gone <index>" removes a link
// and "pattern <text>" changes the names watched (ppp* at the start).
class TestNetworkLinkLine : public QObject {
    Q_OBJECT

    static QString stateName(quint32 state) {
        switch (state) {
        case LineMonitor::Dialing:
            return QStringLiteral("Dialing");
        case LineMonitor::Connected:
            return QStringLiteral("Connected");
        case LineMonitor::Disconnected:
            return QStringLiteral("Disconnected");
        case LineMonitor::Idle:
            return QStringLiteral("Idle");
        }
        return QString::number(state);
    }

private slots:
    void calls_data() {
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<QStringList>("expected");
        const QStringList wholeCall{"A Dialing", "A Connected", "A Disconnected", "A Idle"};

        QTest::newRow("up and running, then down")
            << QStringList{"change 3 ppp0 up run", "change 3 ppp0 up"} << wholeCall;
        QTest::newRow("up with the carrier on, then off")
            << QStringList{"change 3 ppp0 up carrier", "change 3 ppp0 up nocarrier"} << wholeCall;
        QTest::newRow("up without a carrier waits for it")
            << QStringList{"change 3 ppp0 up nocarrier", "change 3 ppp0 up carrier", "gone 3"} << wholeCall;
        QTest::newRow("a carrier on a link switched off is nothing")
            << QStringList{"change 3 ppp0 carrier", "change 3 ppp0 run carrier", "gone 3"} << QStringList{};
        QTest::newRow("made, switched on, removed")
            << QStringList{"change 3 ppp0", "change 3 ppp0 up run", "change 3 ppp0 up run", "gone 3"}
            << wholeCall;
        QTest::newRow("other names are not watched")
            << QStringList{"change 2 eth0 up run", "change 4 wwan0 up run", "change 5 xppp0 up run"}
            << QStringList{};
        QTest::newRow("a name in full")
            << QStringList{"pattern wwan0", "change 4 wwan0 up run", "change 5 wwan01 up run", "gone 4"}
            << wholeCall;
        QTest::newRow("a pattern with ? and a set")
            << QStringList{"pattern ppp[12]?", "change 3 ppp3x up run", "change 4 ppp10 up run",
                           "change 4 ppp10"}
            << wholeCall;
        QTest::newRow("up at the first look stays silent to its end, the next is timed")
            << QStringList{"first 3 ppp0 up run", "change 3 ppp0 up run", "change 3 ppp0 up",
                           "change 3 ppp0 up run", "gone 3"}
            << wholeCall;
        QTest::newRow("down at the first look, then up")
            << QStringList{"first 3 ppp0 up", "change 3 ppp0 up run", "gone 3"} << wholeCall;
        QTest::newRow("renamed away mid-call")
            << QStringList{"change 3 ppp0 up run", "change 3 dsl up run"} << wholeCall;
        QTest::newRow("renamed into the pattern")
            << QStringList{"change 3 tun7", "change 3 ppp0", "change 3 ppp0 up run", "change 3 tun7 up run"}
            << wholeCall;
        QTest::newRow("a report without a name keeps the name")
            << QStringList{"change 3 ppp0 up run", "change 3 - up run", "change 3 - up"} << wholeCall;
        QTest::newRow("a second link while one is the call is never reported")
            << QStringList{"change 3 ppp0 up run", "change 4 ppp1 up run", "change 4 ppp1 up",
                           "change 3 ppp0 up", "change 4 ppp1 up run"}
            << wholeCall + QStringList{"B Dialing", "B Connected"};
        QTest::newRow("a second link still up when the call ends is not timed")
            << QStringList{"change 3 ppp0 up run", "change 4 ppp1 up run", "gone 3", "change 4 ppp1 up"}
            << wholeCall;
        QTest::newRow("each call its own handle")
            << QStringList{"change 3 ppp0 up run", "gone 3", "change 3 ppp0 up run"}
            << wholeCall + QStringList{"B Dialing", "B Connected"};
        QTest::newRow("a new pattern ends the call it leaves out, and is silent on one it takes in")
            << QStringList{"change 3 ppp0 up run", "change 4 wwan0 up run", "pattern wwan*",
                           "change 4 wwan0 up", "change 4 wwan0 up run"}
            << wholeCall + QStringList{"B Dialing", "B Connected"};
        QTest::newRow("no name watches nothing")
            << QStringList{"pattern ", "change 3 ppp0 up run", "change 4 eth0 up run"} << QStringList{};
        QTest::newRow("removal of a link never seen") << QStringList{"gone 9"} << QStringList{};
    }
    void calls() {
        QFETCH(QStringList, script);
        QFETCH(QStringList, expected);
        FakeNetworkLinks links;
        NetworkLinkLine line(&links);
        line.setPattern(QStringLiteral("ppp*"));
        QStringList reports;
        QMap<quint32, QChar> letters;
        QVERIFY(line.open([&](quint32 handle, quint32 state) {
            QVERIFY(handle != 0);
            if (!letters.contains(handle))
                letters.insert(handle, QChar(char16_t(u'A' + letters.size())));
            reports << QStringLiteral("%1 %2").arg(letters[handle]).arg(stateName(state));
        }));
        for (const QString& step : std::as_const(script)) {
            const QStringList word = step.split(u' ');
            if (word[0] == u"pattern") {
                line.setPattern(step.mid(8));
                continue;
            }
            NetworkLinks::Link link;
            link.index = word[1].toInt();
            if (word[0] == u"gone") {
                links.report(link, NetworkLinks::Change::Gone);
                continue;
            }
            link.name = word[2] == u"-" ? QString() : word[2];
            link.up = word.contains(u"up");
            link.running = word.contains(u"run");
            if (word.contains(u"carrier"))
                link.carrier = true;
            else if (word.contains(u"nocarrier"))
                link.carrier = false;
            links.report(link, word[0] == u"first" ? NetworkLinks::Change::FirstLook
                                                   : NetworkLinks::Change::Changed);
        }
        QCOMPARE(reports, expected);
    }

    // The meter may let go of the line in answer to a report: nothing follows.
    void closedFromAReportSaysNoMore() {
        FakeNetworkLinks links;
        NetworkLinkLine line(&links);
        line.setPattern(QStringLiteral("ppp*"));
        QList<quint32> states;
        line.open([&](quint32, quint32 state) {
            states << state;
            line.close();
        });
        links.report(FakeNetworkLinks::link(3, QStringLiteral("ppp0"), true));
        QCOMPARE(states, QList<quint32>{LineMonitor::Dialing});
        QVERIFY(!line.isOpen());
        QVERIFY(!links.isOpen());
    }

    // Opened again, the line looks afresh: a link up then is one already there.
    void reopenedLooksAfresh() {
        FakeNetworkLinks links;
        NetworkLinkLine line(&links);
        line.setPattern(QStringLiteral("ppp*"));
        int reports = 0;
        line.open([&](quint32, quint32) { ++reports; });
        links.report(FakeNetworkLinks::link(3, QStringLiteral("ppp0"), true));
        line.close();
        links.present = {FakeNetworkLinks::link(3, QStringLiteral("ppp0"), true)};
        line.open([&](quint32, quint32) { ++reports; });
        links.report(FakeNetworkLinks::link(3, QStringLiteral("ppp0"), false));
        QCOMPARE(reports, 2); // the first call's start only
    }

    void failureSaysWhy() {
        FakeNetworkLinks links;
        NetworkLinkLine line(&links);
        QCOMPARE(line.failure(), QStringLiteral("no network link is named"));
        line.setPattern(QStringLiteral("ppp*"));
        QCOMPARE(line.failure(), QString());
        links.failureText =
            QStringLiteral("network link events cannot be read: Permission denied");
        QCOMPARE(line.failure(), links.failureText);
        links.available = false;
        QVERIFY(!line.open([](quint32, quint32) {}));
        QVERIFY(!line.isOpen());
    }
};

QTEST_GUILESS_MAIN(TestNetworkLinkLine)
#include "test_networklinkline.moc"
