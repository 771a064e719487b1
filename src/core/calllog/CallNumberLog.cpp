#include "core/calllog/CallNumberLog.h"

#include "core/calllog/DialledNumber.h"
#include "core/seams/DayCount.h"

#include <QtEndian>

#include <algorithm>
#include <bit>
#include <cstring>

namespace CallNumberCodec {

void write(const CallNumber& entry, char* out) {
    std::memset(out, 0, Size);
    qToLittleEndian(std::bit_cast<quint64>(entry.start), out);
    const QByteArray number = entry.number.toLatin1().left(NumberWidth);
    out[8] = char(number.size());
    std::memcpy(out + 9, number.constData(), size_t(number.size()));
}

std::optional<CallNumber> read(const char* in) {
    const double start = std::bit_cast<double>(qFromLittleEndian<quint64>(in));
    const int length = quint8(in[8]);
    if (!DayCount::isDayCount(start) || length > NumberWidth)
        return std::nullopt;
    QString number = QString::fromLatin1(in + 9, length);
    if (!DialledNumber::isKept(number))
        return std::nullopt;
    return CallNumber{start, std::move(number)};
}

} // namespace CallNumberCodec

CallNumberLog::CallNumberLog(QString path) : m_file(std::move(path), CallNumberCodec::Size) {}

bool CallNumberLog::append(const std::vector<CallNumber>& entries, QString* reason) const {
    QByteArray bytes(qsizetype(entries.size()) * CallNumberCodec::Size, '\0');
    for (size_t i = 0; i < entries.size(); ++i)
        CallNumberCodec::write(entries[i], bytes.data() + qsizetype(i) * CallNumberCodec::Size);
    return m_file.append(bytes, reason);
}

bool CallNumberLog::forEach(const std::function<void(const CallNumber&)>& visit, QString* reason,
                            bool* missing) const {
    return m_file.forEachBlock(
        [&visit](const char* records, qsizetype count) {
            for (qsizetype i = 0; i < count; ++i) {
                if (const auto entry = CallNumberCodec::read(records + i * CallNumberCodec::Size))
                    visit(*entry);
            }
        },
        reason, missing);
}

bool CallNumberLog::remove(std::vector<double> starts, QString* reason) const {
    // A damaged start has no number to take out, and would not sort.
    std::erase_if(starts, [](double start) { return !DayCount::isDayCount(start); });
    if (starts.empty())
        return true;
    bool missing = false;
    std::optional<QByteArray> bytes = m_file.readAll(reason, &missing);
    if (!bytes)
        return missing;
    std::sort(starts.begin(), starts.end());
    const auto gone = [&starts](const char* record) {
        const double start = std::bit_cast<double>(qFromLittleEndian<quint64>(record));
        return std::binary_search(starts.begin(), starts.end(), start);
    };
    // The records that stay close up in place; damaged ones stay as they were.
    char* const records = bytes->data();
    const qsizetype count = bytes->size() / CallNumberCodec::Size;
    qsizetype kept = 0;
    for (qsizetype i = 0; i < count; ++i) {
        const char* record = records + i * CallNumberCodec::Size;
        if (gone(record))
            continue;
        if (kept != i)
            std::memmove(records + kept * CallNumberCodec::Size, record, CallNumberCodec::Size);
        ++kept;
    }
    if (kept == count)
        return true;
    bytes->truncate(kept * CallNumberCodec::Size);
    return m_file.replace(*bytes, reason);
}
