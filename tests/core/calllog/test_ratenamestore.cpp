#include "core/calllog/RateNameStore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestRateNameStore : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    RateNameStore fresh() {
        const QString path = m_dir.filePath(QStringLiteral("CallRate.log"));
        QFile::remove(path);
        return RateNameStore(path);
    }
    static void writeRaw(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

private slots:
    void recordBytes() {
        const QByteArray expected = QByteArray::fromHex("0742542053617665") +
                                    QByteArray(23, '\0') + // name field
                                    QByteArray::fromHex("00") + QByteArray::fromHex("0201");
        QCOMPARE(expected.size(), RateNameRecordCodec::Size);
        QCOMPARE(RateNameRecordCodec::write({QStringLiteral("BT Save"), 0x0102}).toHex(), expected.toHex());

        QByteArray damaged(34, 'A');
        damaged[0] = char(200);
        damaged[32] = 5;
        damaged[33] = 0;
        const RateNameRecord r = RateNameRecordCodec::read(damaged.constData());
        QCOMPARE(r.name, QString(30, QLatin1Char('A')));
        QCOMPARE(r.key, quint16(5));
    }

    void keysGivenInOrder() {
        const RateNameStore store = fresh();
        QCOMPARE(store.RateNameForKey(1), QString::fromLatin1(RateNameStore::NotPresentText));
        QCOMPARE(store.RateNameKeyFor(QStringLiteral("BT Saver")), quint16(1));
        QCOMPARE(store.RateNameKeyFor(QStringLiteral("Cable")), quint16(2));
        QCOMPARE(store.RateNameKeyFor(QStringLiteral("BT Saver")), quint16(1));
        QCOMPARE(store.FindRateNameKey(QStringLiteral("bt saver")), quint16(0));
        QCOMPARE(store.RateNameForKey(2), QStringLiteral("Cable"));
        QCOMPARE(store.RateNameForKey(3), QString::fromLatin1(RateNameStore::CorruptedText));
        QCOMPARE(QFileInfo(store.path()).size(), 2 * 34);
    }

    // Names beyond Windows-1252 are stored as UTF-8, cut on a character
    // boundary, and never share a key; names that fit keep their single bytes.
    void namesInAnyLanguageKeepTheirOwnKeys() {
        const RateNameStore store = fresh();
        const QString day = QStringLiteral("Дневной"), night = QStringLiteral("Ночной");
        const QString greek = QStringLiteral("Τιμολόγιο για όλη την εβδομάδα"); // 30 characters, 56 bytes
        QCOMPARE(store.RateNameKeyFor(day), quint16(1));
        QCOMPARE(store.RateNameKeyFor(night), quint16(2));
        QCOMPARE(store.RateNameKeyFor(QStringLiteral("\u00a3 Saver")), quint16(3));
        QCOMPARE(store.RateNameKeyFor(greek), quint16(4));
        QCOMPARE(store.RateNameKeyFor(greek), quint16(4));
        QCOMPARE(store.RateNameForKey(1), day);
        QCOMPARE(store.RateNameForKey(2), night);
        QCOMPARE(store.RateNameForKey(4), greek.left(16)); // the 30 bytes that fit whole

        QFile file(store.path());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes.mid(0, 15), QByteArray("\x0e") + day.toUtf8());
        QCOMPARE(bytes.mid(2 * 34, 8), QByteArray("\x07\xa3 Saver"));
        QCOMPARE(quint8(bytes[3 * 34]), quint8(30));
    }

    void longNameKeepsOneKey() {
        const RateNameStore store = fresh();
        const QString name = QStringLiteral("A rate name of thirty-five chars!!");
        QCOMPARE(store.RateNameKeyFor(name), quint16(1));
        QCOMPARE(store.RateNameKeyFor(name), quint16(1));
        QCOMPARE(QFileInfo(store.path()).size(), 34);
        QCOMPARE(store.RateNameForKey(1), name.left(30));
    }

    void lastMatchWinsAndKeysAbove250() {
        const RateNameStore store = fresh();
        QByteArray bytes;
        bytes += RateNameRecordCodec::write({QStringLiteral("Old"), 7});
        bytes += RateNameRecordCodec::write({QStringLiteral("Other"), 300});
        bytes += RateNameRecordCodec::write({QStringLiteral("Old"), 1000});
        writeRaw(store.path(), bytes);
        QCOMPARE(store.FindRateNameKey(QStringLiteral("Old")), quint16(1000));
        QCOMPARE(store.RateNameKeyFor(QStringLiteral("New")), quint16(1001));

        QHash<quint16, QString> table;
        QVERIFY(store.LoadAllRateNames(table));
        QCOMPARE(table.value(300), QStringLiteral("Other"));
        QCOMPARE(table.value(1001), QStringLiteral("New"));
        QCOMPARE(table.size(), 4);
    }

    // In a damaged store the last record's key + 1 may already name another
    // rate: a new name then takes the smallest key no record holds, so that no
    // call logged before changes its rate.
    void aNewNameTakesAKeyNoRecordHolds_data() {
        QTest::addColumn<QList<int>>("keys"); // of the store's records, in order
        QTest::addColumn<int>("expected");
        QTest::newRow("in order") << QList<int>{1, 2, 3} << 4;
        QTest::newRow("the next key held earlier") << QList<int>{1, 3, 2} << 4;
        QTest::newRow("the next key held, 1 free") << QList<int>{5, 2, 4} << 1;
        QTest::newRow("the last key is the largest") << QList<int>{0xFFFF} << 1;
    }
    void aNewNameTakesAKeyNoRecordHolds() {
        QFETCH(QList<int>, keys);
        QFETCH(int, expected);
        const RateNameStore store = fresh();
        QByteArray bytes;
        for (int key : keys)
            bytes += RateNameRecordCodec::write({QStringLiteral("Rate %1").arg(key), quint16(key)});
        writeRaw(store.path(), bytes);
        QCOMPARE(store.RateNameKeyFor(QStringLiteral("New")), quint16(expected));
        QHash<quint16, QString> table;
        QVERIFY(store.LoadAllRateNames(table));
        QCOMPARE(table.value(quint16(expected)), QStringLiteral("New"));
        for (int key : keys)
            QCOMPARE(table.value(quint16(key)), QStringLiteral("Rate %1").arg(key));
    }

    void tornTailIsCutBeforeAppending() {
        const RateNameStore store = fresh();
        writeRaw(store.path(),
                 RateNameRecordCodec::write({QStringLiteral("First"), 1}) + QByteArray(10, 'z'));
        QCOMPARE(store.FindRateNameKey(QStringLiteral("First")), quint16(1));
        QCOMPARE(store.RateNameKeyFor(QStringLiteral("Second")), quint16(2));
        QCOMPARE(QFileInfo(store.path()).size(), 2 * 34);
        QCOMPARE(store.RateNameForKey(2), QStringLiteral("Second"));
    }

    void missingStore() {
        const RateNameStore store = fresh();
        QHash<quint16, QString> table{{1, QStringLiteral("kept")}};
        QVERIFY(!store.LoadAllRateNames(table));
        QCOMPARE(table.value(1), QStringLiteral("kept"));
        QVERIFY(store.CreateRateNameStore());
        QCOMPARE(store.RateNameForKey(1), QString::fromLatin1(RateNameStore::CorruptedText));
    }
};

QTEST_GUILESS_MAIN(TestRateNameStore)
#include "test_ratenamestore.moc"
