#include "core/storage/StoredNumber.h"

#include <QTest>

#include <cmath>
#include <limits>

using StoredNumber::Rounding;

Q_DECLARE_METATYPE(Rounding)

class TestStoredNumber : public QObject {
    Q_OBJECT
private slots:
    // Whatever bits a file holds, the conversion is defined: a whole number
    // in the type's range, or no value.
    void toInteger_data() {
        QTest::addColumn<double>("stored");
        QTest::addColumn<Rounding>("rounding");
        QTest::addColumn<int>("bits");
        QTest::addColumn<bool>("isValue");
        QTest::addColumn<qint64>("expected");
        const double inf = std::numeric_limits<double>::infinity();
        const auto none = [](const char* name, double stored, int bits = 64) {
            QTest::newRow(name) << stored << Rounding::TowardZero << bits << false << qint64(0);
        };
        const auto row = [](const char* name, double stored, Rounding rounding, qint64 expected,
                            int bits = 64) {
            QTest::newRow(name) << stored << rounding << bits << true << expected;
        };
        none("NaN", std::nan(""));
        none("infinity", inf);
        none("minus infinity", -inf);
        none("1e300", 1e300);
        none("-1e300", -1e300);
        none("2^63, one past the largest qint64", 9223372036854775808.0);
        none("just below -2^63", -9223372036854777856.0);
        none("2^31 in an int", 2147483648.0, 32);
        none("a date's milliseconds in an int", 46365.5 * 86400000, 32);
        row("the largest double below 2^63", 9223372036854774784.0, Rounding::TowardZero,
            Q_INT64_C(9223372036854774784));
        row("-2^63, the least qint64", -9223372036854775808.0, Rounding::Down,
            std::numeric_limits<qint64>::min());
        row("just below 2^31 in an int", 2147483647.9, Rounding::TowardZero, 2147483647, 32);
        row("a fractional date toward zero", 46365.75, Rounding::TowardZero, 46365);
        row("a fractional date down", 46365.75, Rounding::Down, 46365);
        row("a date before 1900 toward zero", -1.25, Rounding::TowardZero, -1);
        row("a date before 1900 down", -1.25, Rounding::Down, -2);
        row("a date's milliseconds", 46365.5 * 86400000, Rounding::Nearest, Q_INT64_C(4005979200000));
        row("a half away from zero", 2.5, Rounding::Nearest, 3);
        row("a negative half away from zero", -2.5, Rounding::Nearest, -3);
        row("a half to even, down", 2.5, Rounding::NearestEven, 2);
        row("a half to even, up", 3.5, Rounding::NearestEven, 4);
        row("minus zero", -0.0, Rounding::TowardZero, 0);
    }
    void toInteger() {
        QFETCH(double, stored);
        QFETCH(Rounding, rounding);
        QFETCH(int, bits);
        QFETCH(bool, isValue);
        QFETCH(qint64, expected);
        if (bits == 32) {
            const std::optional<int> number = StoredNumber::toInteger<int>(stored, rounding);
            QCOMPARE(number.has_value(), isValue);
            if (number)
                QCOMPARE(qint64(*number), expected);
            return;
        }
        const std::optional<qint64> number = StoredNumber::toInteger(stored, rounding);
        QCOMPARE(number.has_value(), isValue);
        if (number)
            QCOMPARE(*number, expected);
    }
};

QTEST_GUILESS_MAIN(TestStoredNumber)
#include "test_storednumber.moc"
