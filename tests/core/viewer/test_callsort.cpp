// Sorting the calls: the order, ties included, is the one the viewer's
// partition-exchange procedure gives, here written out as plainly as it reads.
#include "core/calllog/CallTotals.h"
#include "core/storage/TextCodec.h"
#include "core/viewer/CallSort.h"
#include "core/viewer/ViewerColumns.h"

#include <QRandomGenerator>
#include <QTest>

#include <cmath>
#include <limits>

namespace {

class Reference {
public:
    Reference(std::vector<CallRecord> calls, int key, bool ascending, const QHash<quint16, QString>& names)
        : m_key(key), m_ascending(ascending), m_names(names) {
        m_slots.resize(calls.size() + 1);
        m_map.resize(calls.size() + 1);
        for (size_t i = 0; i < calls.size(); ++i) {
            m_slots[i + 1] = calls[i];
            m_map[i + 1] = quint32(i);
        }
        if (!calls.empty())
            sort(1, int(calls.size()));
    }
    std::vector<quint32> order() const { return {m_map.begin() + 1, m_map.end()}; }

private:
    template <typename T> bool compare(T a, T b) const { return m_ascending ? a < b : a > b; }
    static double fraction(double x) { return x - std::trunc(x); }
    QByteArray rate(const CallRecord& r) const {
        return TextCodec::encode(m_names.value(r.rateNameKey)).value();
    }

    bool precedes(const CallRecord& a, const CallRecord& b) const {
        switch (m_key) {
        case 1:
            return compare(a.date, b.date);
        case 2:
            return compare(a.dayOfWeek, b.dayOfWeek);
        case 3:
            return compare(fraction(a.startTime), fraction(b.startTime));
        case 4:
            return compare(fraction(a.endTime), fraction(b.endTime));
        case 5:
            return compare(a.duration, b.duration);
        case 6:
            return compare(a.netCost, b.netCost);
        case 7:
            return compare(a.grossCost, b.grossCost);
        case 8:
            return compare(TimeBandOfRateCode(a.rateCode), TimeBandOfRateCode(b.rateCode));
        case 9:
            return compare(a.rateCode, b.rateCode);
        case 10:
            return compare(rate(a), rate(b));
        }
        return false;
    }

    void sort(int lo, int hi) {
        const CallRecord pivot = m_slots[size_t((lo + hi) / 2)];
        int i = lo;
        int j = hi;
        do {
            while (precedes(m_slots[size_t(i)], pivot))
                ++i;
            while (precedes(pivot, m_slots[size_t(j)]))
                --j;
            if (i <= j) {
                std::swap(m_slots[size_t(i)], m_slots[size_t(j)]);
                std::swap(m_map[size_t(i)], m_map[size_t(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (lo < j)
            sort(lo, j);
        if (i < hi)
            sort(i, hi);
    }

    int m_key;
    bool m_ascending;
    const QHash<quint16, QString>& m_names;
    std::vector<CallRecord> m_slots;
    std::vector<quint32> m_map;
};

// Few distinct values per field, so that ties abound.
std::vector<CallRecord> tiedCalls(int count, quint32 seed) {
    QRandomGenerator random(seed);
    std::vector<CallRecord> calls(static_cast<size_t>(count));
    for (CallRecord& r : calls) {
        r.date = r.startTime = 46000 + random.bounded(20) + random.bounded(4) / 8.0;
        r.endTime = r.startTime + random.bounded(3) / 24.0;
        r.duration = r.endTime - r.startTime;
        r.dayOfWeek = quint16(random.bounded(9));
        r.rateCode = quint16(random.bounded(14));
        r.rateNameKey = quint16(random.bounded(7));
        r.netCost = float(random.bounded(6)) / 4;
        r.grossCost = r.netCost * 1.175f;
    }
    return calls;
}

QHash<quint16, QString> names() {
    // Byte order: a proper prefix first, capitals before small letters, UTF-8 after them all.
    return {{1, QStringLiteral("BT Saver")},
            {2, QStringLiteral("BT")},
            {3, QStringLiteral("bt")},
            {4, QStringLiteral("\u0395\u03bd\u03ad\u03c1\u03b3\u03b5\u03b9\u03b1")},
            {5, QStringLiteral("Cable & Wireless")},
            {6, QStringLiteral("BT")}};
}

} // namespace

class TestCallSort : public QObject {
    Q_OBJECT

private slots:
    void sameOrderAsTheProcedure_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("ascending");
        for (int key = DateColumn; key <= RateColumn; ++key) {
            QTest::addRow("%s ascending", viewerColumnInfo(key).header) << key << true;
            QTest::addRow("%s descending", viewerColumnInfo(key).header) << key << false;
        }
    }
    void sameOrderAsTheProcedure() {
        QFETCH(int, key);
        QFETCH(bool, ascending);
        const QHash<quint16, QString> rateNames = names();
        for (quint32 seed : {1u, 2u, 3u}) {
            const std::vector<CallRecord> calls = tiedCalls(int(500 * seed), seed);
            std::vector<quint32> order;
            sortCalls(calls, key, ascending, rateNames, order);
            QCOMPARE(order, Reference(calls, key, ascending, rateNames).order());
        }
    }

    // A damaged value (one whose cell is empty) sorts below every other, and the
    // others keep their order: NaN among the keys must not upset the sort.
    void damagedValuesSortLowest_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<double>("damaged");
        const double inf = std::numeric_limits<double>::infinity();
        for (double damaged : {std::nan(""), inf, -inf, 1e300, -3.0e6}) {
            for (int key : {DateColumn, StartTimeColumn, DurationColumn})
                QTest::addRow("%s %g", viewerColumnInfo(key).header, damaged) << key << damaged;
        }
        for (double damaged : {std::nan(""), inf, 1e30, -2e9})
            QTest::addRow("cost %g", damaged) << int(CostIncTaxColumn) << damaged;
    }
    void damagedValuesSortLowest() {
        QFETCH(int, key);
        QFETCH(double, damaged);
        std::vector<CallRecord> calls = tiedCalls(600, 11); // every third one damaged
        for (size_t i = 0; i < calls.size(); i += 3) {
            CallRecord& r = calls[i];
            if (key == CostIncTaxColumn)
                r.grossCost = float(damaged);
            else
                (key == DateColumn ? r.date : key == StartTimeColumn ? r.startTime : r.duration) = damaged;
        }
        const auto value = [key](const CallRecord& r) {
            return key == CostIncTaxColumn  ? double(r.grossCost)
                   : key == DateColumn      ? r.date
                   : key == StartTimeColumn ? std::fmod(r.startTime, 1.0)
                                            : r.duration;
        };
        for (bool ascending : {true, false}) {
            std::vector<quint32> order;
            sortCalls(calls, key, ascending, {}, order);
            // Ascending: the 200 damaged, then the others rising; descending: the others falling, then the
            // damaged.
            const size_t firstValid = ascending ? 200 : 0;
            for (size_t row = 0; row < order.size(); ++row) {
                const bool valid = row >= firstValid && row < firstValid + 400;
                QCOMPARE(order[row] % 3 == 0, !valid);
                if (valid && row > firstValid) {
                    const double before = value(calls[order[row - 1]]), here = value(calls[order[row]]);
                    QVERIFY(ascending ? before <= here : before >= here);
                }
            }
            std::sort(order.begin(), order.end());
            QVERIFY(std::adjacent_find(order.begin(), order.end()) == order.end()); // every call once
        }
    }
};

QTEST_GUILESS_MAIN(TestCallSort)
#include "test_callsort.moc"
