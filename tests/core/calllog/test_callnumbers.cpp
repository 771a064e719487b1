// The numbers kept beside the calls: a number taken from outside, the file's
// records, the file read back whatever it holds, and the names of numbers.
#include "core/calllog/AddressBook.h"
#include "core/calllog/CallNumberLog.h"
#include "core/calllog/CallNumbers.h"
#include "core/calllog/DialledNumber.h"
#include "core/calllog/NumberNames.h"
#include "core/tariff/NumberPlan.h"

#include "fakes/SampleCall.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <bit>
#include <cmath>

namespace {
QByteArray record(double start, const QByteArray& number, int length = -1) {
    QByteArray bytes(CallNumberCodec::Size, '\0');
    qToLittleEndian(std::bit_cast<quint64>(start), bytes.data());
    bytes[8] = char(length < 0 ? number.size() : length);
    bytes.replace(9, number.size(), number);
    return bytes.left(CallNumberCodec::Size);
}
} // namespace

class TestCallNumbers : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString write(const QString& name, const QByteArray& bytes) {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(name));
        return file.fileName();
    }

private slots:
    void numberFromOutside_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("kept"); // empty: refused
        QTest::newRow("as dialled") << "01632960000"
                                    << "01632960000";
        QTest::newRow("blanks and separators") << " +44 (0)20-7946.0000 / "
                                               << "+4402079460000";
        QTest::newRow("tones after a pause") << "0800123456,,1234#"
                                             << "0800123456";
        QTest::newRow("tones after a wait") << "0800123456w99"
                                            << "0800123456";
        QTest::newRow("service code") << "*31#0123"
                                      << "*31#0123";
        QTest::newRow("plus inside") << "0044+20"
                                     << "";
        QTest::newRow("plus alone") << "+"
                                    << "";
        QTest::newRow("letters") << "0800 FLOWERS"
                                 << "";
        QTest::newRow("other digits") << "\u0660\u0661\u0662"
                                      << "";
        QTest::newRow("control character") << "0123\a4567"
                                           << "";
        QTest::newRow("31 digits") << QString(31, u'1') << QString(31, u'1');
        QTest::newRow("32 digits") << QString(32, u'1') << "";
        QTest::newRow("a very long text") << QString(100000, u' ') + "1"
                                          << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void numberFromOutside() {
        QFETCH(QString, text);
        QFETCH(QString, kept);
        QCOMPARE(DialledNumber::clean(text).value_or(QString()), kept);
    }

    void recordBytes() {
        const CallNumber entry{46000.25, QStringLiteral("+441632960000")};
        char bytes[CallNumberCodec::Size];
        CallNumberCodec::write(entry, bytes);
        const QByteArray expected = QByteArray::fromHex("000000000876e640") + '\x0d' +
                                    QByteArray("+441632960000") + QByteArray(18, '\0');
        QCOMPARE(QByteArray(bytes, CallNumberCodec::Size), expected);
        QCOMPARE(CallNumberCodec::read(bytes), std::optional(entry));
    }

    // A file with damaged records, a start told twice and a torn tail: the
    // sound records count, the later of one start, and nothing else.
    void fileReadWhateverItHolds() {
        const QByteArray bytes = record(46002.5, "0123") + record(46001.5, "0456") +
                                 record(std::nan(""), "0789") + record(46003.5, "0789", 200) +
                                 record(46004.5, "07x9") + record(46005.5, "") + record(46002.5, "0999") +
                                 record(46006.5, "0123").left(30);
        const CallNumberLog log(write(QStringLiteral("CallNumbers.log"), bytes));
        const std::optional<CallNumbers> numbers = CallNumbers::read(log);
        QVERIFY(numbers);
        QCOMPARE(numbers->size(), 2);
        const auto numberAt = [&](double start) {
            const int index = numbers->indexOf(start);
            return index < 0 ? QString() : numbers->numbers()[index];
        };
        QCOMPARE(numberAt(46001.5), QStringLiteral("0456"));
        QCOMPARE(numberAt(46002.5), QStringLiteral("0999"));
        for (double start : {46003.5, 46004.5, 46005.5, 46006.5, 46002.4})
            QCOMPARE(numberAt(start), QString());

        // An append cuts the torn tail first, so the new record is read whole.
        QVERIFY(log.append({{46007.5, QStringLiteral("0111")}}));
        QCOMPARE(QFileInfo(log.path()).size() % CallNumberCodec::Size, 0);
        const CallNumbers appended = *CallNumbers::read(log);
        QCOMPARE(appended.numbers().value(appended.indexOf(46007.5)), QStringLiteral("0111"));
        QVERIFY(CallNumbers::read(CallNumberLog(m_dir.filePath(QStringLiteral("none"))))->size() == 0);
        QVERIFY(!CallNumbers::read(CallNumberLog(m_dir.path())));
    }

    void addressBookByHand() {
        const QByteArray text = "; names\n"
                                "01632 960000 = Mum\n"
                                "# a comment\n"
                                "0845=  Internet   provider  \r\n"
                                "no number=Nobody\n"
                                "0777=\n"
                                "just a line\n"
                                "+49 30=\xce\x92\xce\xb5\xcf\x81\xce\xbf\xce\xbb\xce\xaf\xce\xbd\xce\xbf\n" +
                                QByteArray("0999=") + QByteArray(60, 'x') + "\n";
        const AddressBook book = AddressBook::parse(text);
        const std::vector<AddressBook::Entry> expected = {
            {QStringLiteral("01632960000"), QStringLiteral("Mum")},
            {QStringLiteral("0845"), QStringLiteral("Internet provider")},
            {QStringLiteral("+4930"), QStringLiteral("Βερολίνο")},
            {QStringLiteral("0999"), QString(40, u'x')}};
        QCOMPARE(book.entries, expected);
        const QString path = m_dir.filePath(AddressBook::FileName);
        QVERIFY(book.write(path));
        QCOMPARE(AddressBook::read(path)->entries, expected);
        QVERIFY(AddressBook().write(path));
        QVERIFY(!QFile::exists(path));
        write(AddressBook::FileName, QByteArray(AddressBook::LargestFile + 1, '\n'));
        QString reason;
        QVERIFY(!AddressBook::read(path, &reason));
        QCOMPARE(reason, QStringLiteral("The file is larger than 64 KiB"));
    }

    // The longest entry that starts the number names it, both as dialled at home.
    void namesOfNumbers() {
        const CallNumberLog log(m_dir.filePath(QStringLiteral("names.log")));
        QVERIFY(log.append({{46001.5, QStringLiteral("08454500000")},
                            {46002.5, QStringLiteral("+448454500001")},
                            {46003.5, QStringLiteral("08459999999")},
                            {46004.5, QStringLiteral("01632960000")},
                            {46005.5, QStringLiteral("0049301234")}}));
        AddressBook book;
        book.entries = {{QStringLiteral("0845"), QStringLiteral("Other 0845")},
                        {QStringLiteral("+44845450"), QStringLiteral("Provider")},
                        {QStringLiteral("+4930"), QStringLiteral("Berlin")}};
        NumberPlan plan;
        plan.countryCode = QStringLiteral("44");
        const NumberNames names(*CallNumbers::read(log), book, plan);
        const QStringList expected = {QStringLiteral("Provider"),   QStringLiteral("Provider"),
                                      QStringLiteral("Other 0845"), QStringLiteral("01632960000"),
                                      QStringLiteral("Berlin"),     QString()};
        for (int i = 0; i < expected.size(); ++i)
            QCOMPARE(names.textFor(sampleCall(46001.5 + i, 1)), expected[i]);
        QCOMPARE(names.labels().size(), 4);
    }
};

QTEST_GUILESS_MAIN(TestCallNumbers)
#include "test_callnumbers.moc"
