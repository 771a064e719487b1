// The distance of a number from the plan: the number as dialled at home, the
// own area code, the longest prefix; and the plan as the settings file holds it.
#include "core/calllog/DialledNumber.h"
#include "core/tariff/Costing.h"
#include "core/tariff/NumberPlan.h"

#include <QTemporaryDir>
#include <QTest>

namespace {
const QString UkRules = QStringLiteral("00 International, 07 National, 0 National, 0845 Regional");

NumberPlan plan(const QString& country, const QString& area, const QString& rules) {
    NumberPlan p;
    p.countryCode = country;
    p.areaCode = area;
    p.rules = NumberPlan::parseRules(rules).value_or(std::vector<NumberPlan::Rule>());
    return p;
}
} // namespace

class TestNumberPlan : public QObject {
    Q_OBJECT

private slots:
    void distance_data() {
        QTest::addColumn<QString>("rules");
        QTest::addColumn<QString>("dialled"); // as the line gives it
        QTest::addColumn<int>("distance");    // 0: the plan decides nothing
        QTest::newRow("own area") << UkRules << "0207946 0000" << int(Local);
        QTest::newRow("own area, +44") << UkRules << "+44 20 7946 0000" << int(Local);
        QTest::newRow("own area, 0044") << UkRules << "0044207946000" << int(Local);
        QTest::newRow("own area, +44 (0)") << UkRules << "+44 (0)20 7946 0000" << int(Local);
        QTest::newRow("another area") << UkRules << "01632 960000" << int(National);
        QTest::newRow("mobile") << UkRules << "07700 900000" << int(National);
        QTest::newRow("longest prefix wins") << UkRules << "0845 4500000" << int(Regional);
        QTest::newRow("longest, whatever the order") << "0845 Regional, 0 National"
                                                     << "08454500000" << int(Regional);
        QTest::newRow("later of one prefix") << "07 National, 07 International"
                                             << "07700900000" << int(International);
        QTest::newRow("another country, +") << UkRules << "+49 30 1234567" << int(International);
        QTest::newRow("another country, 00") << UkRules << "0049301234567" << int(International);
        QTest::newRow("no rule fits: local") << UkRules << "7946 0000" << int(Local);
        QTest::newRow("service code") << UkRules << "*31#" << int(Local);
        QTest::newRow("no rules") << ""
                                  << "0049301234567" << 0;
        QTest::newRow("no number") << UkRules << "" << 0;
    }
    void distance() {
        QFETCH(QString, rules);
        QFETCH(QString, dialled);
        QFETCH(int, distance);
        const NumberPlan p = plan(QStringLiteral("44"), QStringLiteral("020"), rules);
        const std::optional<int> got = p.distanceOf(DialledNumber::clean(dialled).value_or(QString()));
        QCOMPARE(got.value_or(0), distance);
    }

    void homeFormWithoutCountryCode() {
        const NumberPlan p = plan(QString(), QString(), UkRules);
        QCOMPARE(p.homeForm(QStringLiteral("+442079460000")), QStringLiteral("00442079460000"));
        QCOMPARE(p.distanceOf(QStringLiteral("+442079460000")), std::optional<int>(International));
    }

    void badRules_data() {
        QTest::addColumn<QString>("rules");
        QTest::addColumn<QString>("error");
        QTest::newRow("no distance") << "00 International, 07"
                                     << "\"07\" is not a prefix and a distance";
        QTest::newRow("unknown distance") << "07 Mobile"
                                          << "\"Mobile\" is not Local, Regional, National or International";
        QTest::newRow("letters") << "0x7 National"
                                 << "\"0x7\" is not a prefix of a number dialled at home";
        QTest::newRow("plus") << "+44 Local"
                              << "\"+44\" is not a prefix of a number dialled at home";
    }
    void badRules() {
        QFETCH(QString, rules);
        QFETCH(QString, error);
        QString told;
        QVERIFY(!NumberPlan::parseRules(rules, &told));
        QCOMPARE(told, error);
    }

    // Written by hand: a comment after a value, a code that is no code, a
    // pair that cannot be read; the rest is taken.
    void readByHand() {
        QTemporaryDir dir;
        const SettingsFile file(dir.filePath(QStringLiteral("Dialtaly.ini")));
        QVERIFY(file.WriteSettingString(NumberPlan::Section, NumberPlan::CountryCodeKey,
                                        QStringLiteral("44   ; the country")));
        QVERIFY(file.WriteSettingString(NumberPlan::Section, NumberPlan::AreaCodeKey, QStringLiteral("O2O")));
        QVERIFY(file.WriteSettingString(NumberPlan::Section, NumberPlan::RulesKey,
                                        QStringLiteral("00 international, 07 Mobile,0 NATIONAL ; the rest")));
        const NumberPlan read = NumberPlan::read(file);
        QCOMPARE(read.countryCode, QStringLiteral("44"));
        QCOMPARE(read.areaCode, QString());
        QCOMPARE(NumberPlan::rulesText(read.rules), QStringLiteral("00 International, 0 National"));
        QVERIFY(read.write(file));
        QCOMPARE(NumberPlan::read(file), read);
    }

    void startersRead() {
        for (const NumberPlan::Starter& starter : NumberPlan::starters()) {
            QString error;
            QVERIFY2(NumberPlan::parseRules(starter.rules, &error), qPrintable(error));
            QVERIFY(NumberPlan::isCode(starter.countryCode));
        }
    }
};

QTEST_GUILESS_MAIN(TestNumberPlan)
#include "test_numberplan.moc"
