// The budget's own section of the settings file: its defaults, what a hand
// edit may put there, and that writing it leaves the design's sections as
// they were, byte for byte.
#include "core/seams/DayCount.h"
#include "core/settings/BudgetSettings.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestBudgetSettings : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path() const { return m_dir.filePath(QStringLiteral("Dialtaly.ini")); }
    void writeFile(const QByteArray& bytes) const {
        QFile file(path());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    QByteArray fileBytes() const {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void reading_data() {
        QTest::addColumn<QByteArray>("section"); // the lines after "[Budget]"
        QTest::addColumn<bool>("active");
        QTest::addColumn<double>("amount");
        QTest::addColumn<int>("billDay");
        QTest::newRow("no section: off, 30.00 from the 1st") << QByteArray() << false << 30.0 << 1;
        QTest::newRow("on, lower-case keys")
            << QByteArray("budgeton=1\nbudgetamount= 45.50 \nbillday=28\n") << true << 45.5 << 28;
        QTest::newRow("any number but 0 is on") << QByteArray("BudgetOn=2\n") << true << 30.0 << 1;
        QTest::newRow("bill day 29 is no bill day")
            << QByteArray("BudgetOn=1\nBillDay=29\n") << true << 30.0 << 1;
        QTest::newRow("bill day 0") << QByteArray("BudgetOn=1\nBillDay=0\n") << true << 30.0 << 1;
        QTest::newRow("bill day in hexadecimal")
            << QByteArray("BudgetOn=1\nBillDay=0x0A\n") << true << 30.0 << 10;
        QTest::newRow("an amount of letters: off")
            << QByteArray("BudgetOn=1\nBudgetAmount=lots\n") << false << 0.0 << 1;
        QTest::newRow("a negative amount: off")
            << QByteArray("BudgetOn=1\nBudgetAmount=-5\n") << false << 0.0 << 1;
        QTest::newRow("an amount too large to be one: off")
            << QByteArray("BudgetOn=1\nBudgetAmount=1e400\n") << false << 0.0 << 1;
    }
    void reading() {
        QFETCH(QByteArray, section);
        QFETCH(bool, active);
        QFETCH(double, amount);
        QFETCH(int, billDay);
        writeFile(section.isEmpty() ? QByteArray() : "[Budget]\n" + section);
        const BudgetSettings budget = BudgetSettings::read(SettingsFile(path()));
        QCOMPARE(budget.isActive(), active);
        QCOMPARE(budget.amount, amount);
        QCOMPARE(budget.billDay, billDay);
    }

    void writingKeepsTheOtherSections() {
        const QByteArray design = "[Default Setup Information]\r\nMainSymbol=\xa3\r\nSpendWarning= 1.00\r\n";
        writeFile(design);
        const SettingsFile file(path());
        BudgetSettings budget;
        budget.on = true;
        budget.amount = 45.5;
        budget.billDay = 28;
        budget.notified[BudgetSettings::Spent80] = budget.sentNow(DayCount::dayOfDate(QDate(2025, 2, 28)));
        QVERIFY(budget.write(file));
        QVERIFY(budget.writeNotified(file, {BudgetSettings::Spent80, BudgetSettings::Spent100}));
        QCOMPARE(fileBytes(), design + "\r\n[Budget]\r\nBudgetOn=1\r\nBudgetAmount=45.50\r\nBillDay=28\r\n"
                                       "Notified80=2025-02-28 45.50\r\nNotified100=\r\n");
        const BudgetSettings read = BudgetSettings::read(file);
        QCOMPARE(read.amount, 45.5);
        QCOMPARE(read.notified[BudgetSettings::Spent80], budget.notified[BudgetSettings::Spent80]);
        QVERIFY(!read.notified[BudgetSettings::Spent100]);
    }

    // Whether a kept record counts as sent for a budget of 30.00 in the
    // period from 1 March 2025: a record of an older version, without an
    // amount, counts for any budget.
    void noticeRecords_data() {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<bool>("sent");
        QTest::newRow("this period, this budget") << QByteArray("2025-03-01 30.00") << true;
        QTest::newRow("written by hand") << QByteArray(" 2025-03-01   30 ") << true;
        QTest::newRow("without an amount") << QByteArray("2025-03-01") << true;
        QTest::newRow("another budget") << QByteArray("2025-03-01 45.00") << false;
        QTest::newRow("another period") << QByteArray("2025-02-01 30.00") << false;
    }
    void noticeRecords() {
        QFETCH(QByteArray, record);
        QFETCH(bool, sent);
        writeFile("[Budget]\nBudgetOn=1\nBudgetAmount=30.00\nNotified100=" + record + "\n");
        const BudgetSettings budget = BudgetSettings::read(SettingsFile(path()));
        QCOMPARE(budget.wasSent(BudgetSettings::Spent100, DayCount::dayOfDate(QDate(2025, 3, 1))), sent);
    }
};

QTEST_GUILESS_MAIN(TestBudgetSettings)
#include "test_budgetsettings.moc"
