#include "core/seams/LineMonitor.h"
#include "core/sensing/LineStateTracker.h"
#include "core/sensing/ModemManagerEnums.h"

#include <QMap>
#include <QTest>

// Each row is a script of ModemManager observations and the reports expected,
// written as "<session letter> <state>": one letter per handle, in order of
// first appearance. "seen" and "look" are first looks at what is there;
// "added" and "modem" come from signals.
class TestLineStateTracker : public QObject {
    Q_OBJECT
private slots:
    void sessions_data() {
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<QStringList>("expected");
        const QStringList wholeCall{"A Dialing", "A Connected", "A Disconnected", "A Idle"};

        QTest::newRow("dialled call connects and ends")
            << QStringList{"seen c out 1", "call c 2", "call c 4", "call c 7"} << wholeCall;
        QTest::newRow("held and resumed connects once")
            << QStringList{"seen c out 1", "call c 4", "call c 5", "call c 4", "call c 7"} << wholeCall;
        QTest::newRow("dialled call never connects") << QStringList{"seen c out 1", "call c 2", "call c 7"}
                                                     << QStringList{"A Dialing", "A Disconnected", "A Idle"};
        QTest::newRow("incoming call ignored")
            << QStringList{"seen c in 3", "call c 4", "call c 7", "gone c"} << QStringList{};
        QTest::newRow("unknown direction ignored")
            << QStringList{"seen c unk 1", "call c 4", "call c 7"} << QStringList{};
        QTest::newRow("terminated when first seen ignored")
            << QStringList{"seen c out 7", "call c 4", "gone c"} << QStringList{};
        QTest::newRow("unseen call ignored")
            << QStringList{"call c 1", "call c 4", "gone c"} << QStringList{};
        QTest::newRow("first seen connected is never reported")
            << QStringList{"seen c out 4", "call c 5", "call c 7", "gone c"} << QStringList{};
        QTest::newRow("added while watched, connected before its first look")
            << QStringList{"added c out 4", "call c 7"} << wholeCall;
        QTest::newRow("seen again connected after a restart mid-call: one call")
            << QStringList{"seen c out 1", "call c 4", "linegone", "seen c out 4", "call c 7"} << wholeCall;
        QTest::newRow("first seen in unknown state waits for dialing")
            << QStringList{"seen c out 0", "call c 1", "call c 4", "gone c"} << wholeCall;
        QTest::newRow("deleted mid-call ends once")
            << QStringList{"seen c out 1", "call c 4", "gone c", "call c 7", "gone c"} << wholeCall;
        QTest::newRow("voice interface lost mid-call")
            << QStringList{"seen c out 1", "call c 4", "voicegone", "call c 7"} << wholeCall;
        QTest::newRow("line lost mid-call")
            << QStringList{"seen c out 1", "call c 4", "linegone", "linegone"} << wholeCall;
        QTest::newRow("ended call gone quietly")
            << QStringList{"seen c out 0", "call c 0", "gone c"} << QStringList{};
        QTest::newRow("second call gets its own handle")
            << QStringList{"seen c out 1", "call c 7", "seen d out 1"}
            << QStringList{"A Dialing", "A Disconnected", "A Idle", "B Dialing"};

        QTest::newRow("data connection")
            << QStringList{"modem 8", "modem 10", "modem 11", "modem 9", "modem 8"} << wholeCall;
        QTest::newRow("data connection fails")
            << QStringList{"modem 10", "modem 8"} << QStringList{"A Dialing", "A Disconnected", "A Idle"};
        QTest::newRow("data connection up when first seen is never reported")
            << QStringList{"look 11", "modem -1"} << QStringList{};
        QTest::newRow("connection up at the first look, then a new one")
            << QStringList{"look 11", "modem 8", "modem 10", "modem 11", "modem 8"} << wholeCall;
        QTest::newRow("modem without connection")
            << QStringList{"modem 8", "modem 9", "modem 3"} << QStringList{};
        QTest::newRow("line lost while online")
            << QStringList{"modem 10", "modem 11", "linegone", "modem 8"} << wholeCall;

        QTest::newRow("call and data at once; voice loss ends only the call")
            << QStringList{"modem 10", "seen c out 1", "voicegone", "modem 11", "linegone"}
            << QStringList{"A Dialing",   "B Dialing",      "B Disconnected", "B Idle",
                           "A Connected", "A Disconnected", "A Idle"};
        QTest::newRow("forgotten call stays silent")
            << QStringList{"seen c out 1", "forget A", "call c 4", "seen c out 4", "call c 7", "seen d out 1"}
            << QStringList{"A Dialing", "B Dialing"};
        QTest::newRow("forgotten data connection silent until over")
            << QStringList{"modem 10", "forget A", "modem 11", "modem 8", "modem 10"}
            << QStringList{"A Dialing", "B Dialing"};
        QTest::newRow("forgetting an ended handle changes nothing")
            << QStringList{"seen c out 1", "call c 4", "call c 7", "forget A", "seen d out 1"}
            << QStringList{"A Dialing", "A Connected", "A Disconnected", "A Idle", "B Dialing"};
    }

    void sessions() {
        QFETCH(QStringList, script);
        QFETCH(QStringList, expected);
        static const QMap<QString, int> directions{{"out", mm::CallDirectionOutgoing},
                                                   {"in", mm::CallDirectionIncoming},
                                                   {"unk", mm::CallDirectionUnknown}};
        static const QMap<quint32, QString> names{{LineMonitor::Dialing, "Dialing"},
                                                  {LineMonitor::Connected, "Connected"},
                                                  {LineMonitor::Disconnected, "Disconnected"},
                                                  {LineMonitor::Idle, "Idle"}};
        LineStateTracker tracker;
        QMap<quint32, QChar> letters;
        QStringList reported;
        for (const QString& line : script) {
            const QStringList w = line.split(' ');
            LineStateTracker::Reports reports;
            if (w[0] == "seen" || w[0] == "added")
                reports = tracker.callSeen(w[1], directions.value(w[2]), w[3].toInt(),
                                           w[0] == "seen" ? LineStateTracker::Seen::AlreadyThere
                                                          : LineStateTracker::Seen::JustAdded);
            else if (w[0] == "call")
                reports = tracker.callStateChanged(w[1], w[2].toInt());
            else if (w[0] == "gone")
                reports = tracker.callGone(w[1]);
            else if (w[0] == "voicegone")
                reports = tracker.voiceGone();
            else if (w[0] == "linegone")
                reports = tracker.lineGone();
            else if (w[0] == "modem" || w[0] == "look")
                reports =
                    tracker.modemState(w[1].toInt(), w[0] == "look" ? LineStateTracker::Seen::AlreadyThere
                                                                    : LineStateTracker::Seen::JustAdded);
            else if (w[0] == "forget")
                tracker.forget(letters.key(w[1].at(0)));
            for (const auto& report : reports) {
                QVERIFY(report.callHandle != 0);
                if (!letters.contains(report.callHandle))
                    letters.insert(report.callHandle, QChar(char16_t(u'A' + letters.size())));
                reported << QStringLiteral("%1 %2").arg(letters.value(report.callHandle),
                                                        names.value(report.state));
            }
        }
        QCOMPARE(reported, expected);
    }
};

QTEST_GUILESS_MAIN(TestLineStateTracker)
#include "test_linestatetracker.moc"
