#include "core/calllog/CallNumbers.h"

#include "core/calllog/CallNumberLog.h"
#include "core/calllog/DialledNumber.h"
#include "core/seams/DayCount.h"

#include <QHashFunctions>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <unordered_map>

namespace {

// A record's length byte and characters, the unused rest zeroed: a number's
// bytes as a key, without making a text of every record.
using RawNumber = std::array<char, 1 + CallNumberCodec::NumberWidth>;

struct RawHash {
    size_t operator()(const RawNumber& raw) const { return qHashBits(raw.data(), raw.size()); }
};

} // namespace

std::optional<CallNumbers> CallNumbers::read(const CallNumberLog& log, QString* reason) {
    CallNumbers result;
    std::unordered_map<RawNumber, int, RawHash> indexOfRaw;
    bool missing = false;
    const bool read = log.file().forEachBlock(
        [&](const char* records, qsizetype count) {
            for (qsizetype i = 0; i < count; ++i) {
                const char* record = records + i * CallNumberCodec::Size;
                const double start = std::bit_cast<double>(qFromLittleEndian<quint64>(record));
                const int length = quint8(record[8]);
                if (!DayCount::isDayCount(start) || length > CallNumberCodec::NumberWidth)
                    continue;
                RawNumber raw{};
                std::memcpy(raw.data(), record + 8, size_t(1 + length));
                auto [found, added] = indexOfRaw.try_emplace(raw, -1);
                if (added) {
                    // Each distinct number is checked once; a damaged one keeps -1.
                    const QString number = QString::fromLatin1(raw.data() + 1, length);
                    if (DialledNumber::isKept(number)) {
                        found->second = int(result.m_numbers.size());
                        result.m_numbers << number;
                    }
                }
                if (found->second >= 0)
                    result.m_entries.push_back({start, found->second});
            }
        },
        reason, &missing);
    if (!read && !missing)
        return std::nullopt;
    // The file is in the order the calls ended, which is nearly that of their starts.
    std::vector<Entry>& entries = result.m_entries;
    const auto byStart = [](const Entry& a, const Entry& b) { return a.start < b.start; };
    if (!std::is_sorted(entries.begin(), entries.end(), byStart))
        std::stable_sort(entries.begin(), entries.end(), byStart);
    // The last record of a start stands.
    const auto last = std::unique(entries.rbegin(), entries.rend(),
                                  [](const Entry& a, const Entry& b) { return a.start == b.start; });
    entries.erase(entries.begin(), last.base());
    return result;
}

int CallNumbers::indexOf(double start) const {
    const auto found = std::lower_bound(m_entries.begin(), m_entries.end(), start,
                                        [](const Entry& entry, double value) { return entry.start < value; });
    return found != m_entries.end() && found->start == start ? found->number : -1;
}
