#include "core/sensing/NetworkLinkLine.h"

#include "fakes/FakeNetworkLinks.h"

#include <QMap>
#include <QTest>

// Each row is a script of link reports, "<first|change> <index> <name, or -
// for none> <flags>" with the flags up, run, carrier and nocarrier; "gone
// <index>" removes a link and "pattern <text>" changes the names watched (ppp*
// at the start). The line's reports are written "A+" for a call's Dialing and
// Connected, "A-" for its Disconnected and Idle, one letter per handle.
class TestNetworkLinkLine : public QObject {
    Q_OBJECT

private slots:
    void calls_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        QTest::newRow("up and running, then down") << "change 3 ppp0 up run; change 3 ppp0 up"
                                                   << "A+ A-";
        QTest::newRow("up with the carrier on, then off")
            << "change 3 ppp0 up carrier; change 3 ppp0 up nocarrier"
            << "A+ A-";
        QTest::newRow("up without a carrier waits for it")
            << "change 3 ppp0 up nocarrier; change 3 ppp0 up carrier; change 3 ppp0 up carrier; gone 3"
            << "A+ A-";
        QTest::newRow("a carrier on a link switched off is nothing")
            << "change 3 ppp0 carrier; change 3 ppp0 run carrier; gone 3"
            << "";
        QTest::newRow("other names are not watched")
            << "change 2 eth0 up run; change 4 wwan0 up run; change 5 xppp0 up run"
            << "";
        QTest::newRow("a name in full")
            << "pattern wwan0; change 4 wwan0 up run; change 5 wwan01 up run; gone 4"
            << "A+ A-";
        QTest::newRow("a pattern with ? and a set")
            << "pattern ppp[12]?; change 3 ppp3x up run; change 4 ppp10 up run; change 4 ppp10"
            << "A+ A-";
        QTest::newRow("up at the first look stays silent to its end, the next is timed")
            << "first 3 ppp0 up run; change 3 ppp0 up run; change 3 ppp0 up; change 3 ppp0 up run; gone 3"
            << "A+ A-";
        QTest::newRow("renamed away mid-call") << "change 3 ppp0 up run; change 3 dsl up run"
                                               << "A+ A-";
        QTest::newRow("renamed into the pattern")
            << "change 3 tun7; change 3 ppp0; change 3 ppp0 up run; change 3 tun7 up run"
            << "A+ A-";
        QTest::newRow("a second link while one is the call is never reported")
            << "change 3 ppp0 up run; change 4 ppp1 up run; change 4 ppp1 up; change 3 ppp0 up; "
               "change 4 ppp1 up run"
            << "A+ A- B+";
        QTest::newRow("a second link still up when the call ends is not timed")
            << "change 3 ppp0 up run; change 4 ppp1 up run; gone 3; change 4 ppp1 up"
            << "A+ A-";
        QTest::newRow("a new pattern ends the call it leaves out, and is silent on one it takes in")
            << "change 3 ppp0 up run; change 4 wwan0 up run; pattern wwan*; change 4 wwan0 up; "
               "change 4 wwan0 up run"
            << "A+ A- B+";
    }
    void calls() {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        FakeNetworkLinks links;
        NetworkLinkLine line(&links);
        line.setPattern(QStringLiteral("ppp*"));
        QStringList reports;
        QMap<quint32, QChar> letters;
        quint32 opening = 0; // Dialing or Disconnected, waiting for its pair
        QVERIFY(line.open([&](quint32 handle, quint32 state) {
            QVERIFY(handle != 0);
            if (!letters.contains(handle))
                letters.insert(handle, QChar(char16_t(u'A' + letters.size())));
            if (state == LineMonitor::Dialing || state == LineMonitor::Disconnected)
                opening = state;
            else if (state == LineMonitor::Connected && opening == LineMonitor::Dialing)
                reports << QString(letters[handle]) + u'+';
            else if (state == LineMonitor::Idle && opening == LineMonitor::Disconnected)
                reports << QString(letters[handle]) + u'-';
            else
                reports << QStringLiteral("%1 out of order").arg(state);
        }));
        for (const QString& step : script.split(QStringLiteral("; "))) {
            const QStringList word = step.split(u' ');
            NetworkLinks::Link link;
            link.index = word.value(1).toInt();
            if (word[0] == u"pattern") {
                line.setPattern(word[1]);
            } else if (word[0] == u"gone") {
                links.report(link, NetworkLinks::Change::Gone);
            } else {
                link.name = word[2] == u"-" ? QString() : word[2];
                link.up = word.contains(u"up");
                link.running = word.contains(u"run");
                if (word.contains(u"carrier") || word.contains(u"nocarrier"))
                    link.carrier = word.contains(u"carrier");
                links.report(link, word[0] == u"first" ? NetworkLinks::Change::FirstLook
                                                       : NetworkLinks::Change::Changed);
            }
        }
        QCOMPARE(reports.join(u' '), expected);
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
        QVERIFY(!links.isOpen());
    }
};

QTEST_GUILESS_MAIN(TestNetworkLinkLine)
#include "test_networklinkline.moc"
