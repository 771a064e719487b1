#include "core/calllog/RateNameStore.h"

#include "core/storage/FixedRecordFile.h"
#include "core/storage/TextCodec.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace RateNameRecordCodec {

bool write(const RateNameRecord& record, char* out) {
    std::memset(out, 0, Size);
    const std::optional<QByteArray> name = TextCodec::encodeCut(record.name, NameWidth);
    if (!name)
        return false;
    out[0] = char(name->size());
    std::copy(name->cbegin(), name->cend(), out + 1);
    qToLittleEndian(record.key, out + 32);
    return true;
}

QByteArray write(const RateNameRecord& record) {
    QByteArray bytes(Size, '\0');
    write(record, bytes.data());
    return bytes;
}

RateNameRecord read(const char* in) {
    RateNameRecord record;
    const int length = std::min(int(quint8(in[0])), NameWidth);
    record.name = TextCodec::decode(QByteArrayView(in + 1, length));
    record.key = qFromLittleEndian<quint16>(in + 32);
    return record;
}

} // namespace RateNameRecordCodec

namespace {
// The store is small (a record per rate name), so it is read in one go.
// Nothing when the file cannot be opened.
std::optional<std::vector<RateNameRecord>> readStore(const QString& path, QString* reason = nullptr) {
    const std::optional<QByteArray> bytes = FixedRecordFile(path, RateNameRecordCodec::Size).readAll(reason);
    if (!bytes)
        return std::nullopt;
    return decodeRecords(*bytes, RateNameRecordCodec::Size, &RateNameRecordCodec::read);
}

// One more than the last record's key, as keys are given out in order. A
// damaged store may hold that key already, for another rate: then the smallest
// key no record holds, so that no call logged before changes its rate.
std::optional<quint16> nextKey(const std::vector<RateNameRecord>& records) {
    std::vector<bool> held(0x10000, false);
    held[0] = true; // 0 is no key
    for (const RateNameRecord& r : records)
        held[r.key] = true;
    const int last = records.empty() ? 0 : records.back().key;
    if (last < 0xFFFF && !held[size_t(last + 1)])
        return quint16(last + 1);
    const auto free = std::find(held.cbegin(), held.cend(), false);
    if (free == held.cend())
        return std::nullopt;
    return quint16(free - held.cbegin());
}

quint16 keyOf(const std::vector<RateNameRecord>& records, const QString& stored) {
    quint16 key = 0;
    for (const RateNameRecord& r : records) {
        if (r.name == stored)
            key = r.key;
    }
    return key;
}
} // namespace

QString RateNameStore::storedForm(const QString& name) {
    // Through the file's own encoding and cut, so a name is never a stranger
    // to its own record.
    return TextCodec::storedForm(name, RateNameRecordCodec::NameWidth);
}

bool RateNameStore::CreateRateNameStore(QString* reason) const {
    // An existing store is never recreated: that would lose every name in it.
    if (QFile::exists(m_path))
        return true;
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (reason)
            *reason = file.errorString();
        return false;
    }
    return true;
}

quint16 RateNameStore::FindRateNameKey(const QString& name) const {
    const auto records = readStore(m_path);
    return records ? keyOf(*records, storedForm(name)) : 0;
}

quint16 RateNameStore::RateNameKeyFor(const QString& name, QString* reason) const {
    if (!CreateRateNameStore(reason))
        return 0;
    const auto records = readStore(m_path, reason);
    if (!records)
        return 0;
    const QString stored = storedForm(name);
    if (const quint16 key = keyOf(*records, stored))
        return key;

    const std::optional<quint16> key = nextKey(*records);
    if (!key) {
        if (reason)
            *reason = QStringLiteral("No rate-name key is left");
        return 0;
    }
    const RateNameRecord record{stored, *key};
    QByteArray bytes(RateNameRecordCodec::Size, '\0');
    if (!RateNameRecordCodec::write(record, bytes.data())) {
        if (reason)
            *reason = QStringLiteral("The rate name \"%1\" cannot be stored as text").arg(name);
        return 0;
    }
    if (!FixedRecordFile(m_path, RateNameRecordCodec::Size).append(bytes, reason))
        return 0;
    return record.key;
}

QString RateNameStore::RateNameForKey(quint16 key) const {
    const auto records = readStore(m_path);
    if (!records)
        return QString::fromLatin1(NotPresentText);
    for (const RateNameRecord& r : *records) {
        if (r.key == key)
            return r.name;
    }
    return QString::fromLatin1(CorruptedText);
}

bool RateNameStore::LoadAllRateNames(QHash<quint16, QString>& table) const {
    const auto records = readStore(m_path);
    if (!records)
        return false;
    for (const RateNameRecord& r : *records)
        table[r.key] = r.name;
    return true;
}
