#include "core/calllog/RateNameStore.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace RateNameRecordCodec {

namespace {
QByteArray encodeName(const QString& name) {
    QStringEncoder encode("windows-1252");
    return QByteArray(encode(name.left(NameWidth))).left(NameWidth);
}
} // namespace

void write(const RateNameRecord& record, char* out) {
    std::memset(out, 0, Size);
    const QByteArray name = encodeName(record.name);
    out[0] = char(name.size());
    std::copy(name.cbegin(), name.cend(), out + 1);
    qToLittleEndian(record.key, out + 32);
}

QByteArray write(const RateNameRecord& record) {
    QByteArray bytes(Size, '\0');
    write(record, bytes.data());
    return bytes;
}

RateNameRecord read(const char* in) {
    RateNameRecord record;
    const int length = std::min(int(quint8(in[0])), NameWidth);
    QStringDecoder decode("windows-1252");
    record.name = decode(QByteArrayView(in + 1, length));
    record.key = qFromLittleEndian<quint16>(in + 32);
    return record;
}

} // namespace RateNameRecordCodec

namespace {
// The store is small (a record per rate name), so it is read in one go. A
// torn tail is ignored. Nothing when the file cannot be opened.
std::optional<std::vector<RateNameRecord>> readStore(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    std::vector<RateNameRecord> records;
    const qsizetype count = bytes.size() / RateNameRecordCodec::Size;
    records.reserve(size_t(count));
    for (qsizetype i = 0; i < count; ++i)
        records.push_back(RateNameRecordCodec::read(bytes.constData() + i * RateNameRecordCodec::Size));
    return records;
}
} // namespace

QString RateNameStore::storedForm(const QString& name) {
    // Through the file's code page too, so a character it cannot hold does
    // not make the name a stranger to its own record.
    QStringEncoder encode("windows-1252");
    QStringDecoder decode("windows-1252");
    return decode(QByteArray(encode(name.left(RateNameRecordCodec::NameWidth))));
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
    if (!records)
        return 0;
    const QString stored = storedForm(name);
    quint16 key = 0;
    for (const RateNameRecord& r : *records) {
        if (r.name == stored)
            key = r.key;
    }
    return key;
}

quint16 RateNameStore::RateNameKeyFor(const QString& name, QString* reason) const {
    if (!CreateRateNameStore(reason))
        return 0;
    if (const quint16 key = FindRateNameKey(name))
        return key;

    QFile file(m_path);
    if (!file.open(QIODevice::ReadWrite)) {
        if (reason)
            *reason = file.errorString();
        return 0;
    }
    const qint64 size = file.size();
    const qint64 whole = size - size % RateNameRecordCodec::Size;
    quint16 lastKey = 0;
    if (whole > 0) {
        char last[RateNameRecordCodec::Size];
        if (!file.seek(whole - RateNameRecordCodec::Size) ||
            file.read(last, RateNameRecordCodec::Size) != RateNameRecordCodec::Size) {
            if (reason)
                *reason = file.errorString();
            return 0;
        }
        lastKey = RateNameRecordCodec::read(last).key;
    }
    if (lastKey == 0xFFFF) {
        if (reason)
            *reason = QStringLiteral("No rate-name key is left");
        return 0;
    }
    const RateNameRecord record{storedForm(name), quint16(lastKey + 1)};
    const QByteArray bytes = RateNameRecordCodec::write(record);
    if ((whole != size && !file.resize(whole)) || !file.seek(whole) || file.write(bytes) != bytes.size() ||
        !file.flush()) {
        if (reason)
            *reason = file.errorString();
        file.resize(whole);
        return 0;
    }
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
