#include "gui/widgets/MoneyValidator.h"
#include "gui/widgets/TimeValidator.h"

#include <QTest>

#include <memory>

namespace {

std::unique_ptr<FixedFormatValidator> validatorFor(const QString& kind) {
    if (kind == QLatin1String("time"))
        return std::make_unique<TimeValidator>();
    return std::make_unique<MoneyValidator>();
}

} // namespace

// The time and money entries take what a person types and keep the fixed
// forms the rate file and the settings file hold.
class TestFixedFormat : public QObject {
    Q_OBJECT

private slots:
    void whatIsAcceptedAndWhatIsKept_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("kept");
        const int ok = QValidator::Acceptable, unfinished = QValidator::Intermediate,
                  no = QValidator::Invalid;
        QTest::newRow("time h:mm") << "time"
                                   << "8:30" << ok << " 8:30";
        QTest::newRow("time hh:mm") << "time"
                                    << "08:30" << ok << " 8:30";
        QTest::newRow("time as stored") << "time"
                                        << " 8:30" << ok << " 8:30";
        QTest::newRow("time with a point") << "time"
                                           << "8.30" << ok << " 8:30";
        QTest::newRow("time run together") << "time"
                                           << "0830" << ok << " 8:30";
        QTest::newRow("time hmm") << "time"
                                  << "830" << ok << " 8:30";
        QTest::newRow("time hour only") << "time"
                                        << "8" << ok << " 8:00";
        QTest::newRow("time two-digit hour") << "time"
                                             << "18:05" << ok << "18:05";
        QTest::newRow("time midnight") << "time"
                                       << "00:00" << ok << " 0:00";
        QTest::newRow("time off the clock: the form's to refuse") << "time"
                                                                  << "25:00" << ok << "25:00";
        QTest::newRow("time empty") << "time"
                                    << "" << unfinished << "";
        QTest::newRow("time no minutes yet") << "time"
                                             << "8:" << unfinished << "8:";
        QTest::newRow("time one minute digit") << "time"
                                               << "12:3" << unfinished << "12:3";
        QTest::newRow("time three minute digits") << "time"
                                                  << "8:300" << no << "";
        QTest::newRow("time five digits") << "time"
                                          << "12345" << no << "";
        QTest::newRow("time words") << "time"
                                    << "noon" << no << "";
        QTest::newRow("money 3.5") << "money"
                                   << "3.5" << ok << " 3.50";
        QTest::newRow("money 03.50") << "money"
                                     << "03.50" << ok << " 3.50";
        QTest::newRow("money .5") << "money"
                                  << ".5" << ok << " 0.50";
        QTest::newRow("money whole") << "money"
                                     << "3" << ok << " 3.00";
        QTest::newRow("money point, no decimals") << "money"
                                                  << "3." << ok << " 3.00";
        QTest::newRow("money pence") << "money"
                                     << "0.10" << ok << " 0.10";
        QTest::newRow("money two digits") << "money"
                                          << "12.25" << ok << "12.25";
        QTest::newRow("money largest") << "money"
                                       << "99.99" << ok << "99.99";
        QTest::newRow("money decimal comma") << "money"
                                             << "3,5" << ok << " 3.50";
        QTest::newRow("money as stored") << "money"
                                         << " 1.00" << ok << " 1.00";
        QTest::newRow("money empty") << "money"
                                     << "" << unfinished << "";
        QTest::newRow("money lone point") << "money"
                                          << "." << unfinished << ".";
        QTest::newRow("money too large for the file") << "money"
                                                      << "100" << no << "";
        QTest::newRow("money three decimals") << "money"
                                              << "1.234" << no << "";
        QTest::newRow("money with its symbol") << "money"
                                               << "\u00a31" << no << "";
        QTest::newRow("money negative") << "money"
                                        << "-1" << no << "";
    }
    void whatIsAcceptedAndWhatIsKept() {
        QFETCH(QString, kind);
        QFETCH(QString, typed);
        QFETCH(int, state);
        QFETCH(QString, kept);
        const std::unique_ptr<FixedFormatValidator> validator = validatorFor(kind);
        QString text = typed;
        int position = int(text.size());
        QCOMPARE(int(validator->validate(text, position)), state);
        validator->fixup(text);
        if (state == QValidator::Acceptable)
            QCOMPARE(text, kept);
        else
            QCOMPARE(text, typed); // nothing is made up for a text that is not complete
    }
};

QTEST_MAIN(TestFixedFormat)
#include "test_fixedformat.moc"
