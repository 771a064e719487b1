#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

// One 34-byte record of the rate-name store: length byte, 30 name bytes, one
// unused byte, 16-bit key.
struct RateNameRecord {
    QString name;
    quint16 key = 0;
};

namespace RateNameRecordCodec {
constexpr int Size = 34;
constexpr int NameWidth = 30;
// False (and a record without a name) when the name cannot be stored as text.
bool write(const RateNameRecord& record, char* out);
QByteArray write(const RateNameRecord& record);
// A length byte above 30 (a damaged file) reads 30.
RateNameRecord read(const char* in);
} // namespace RateNameRecordCodec

// "CallRate.log": maps the keys stored in the call log to rate names. Records
// are only ever appended. Every operation opens the file afresh.
class RateNameStore {
public:
    static constexpr const char* NotPresentText = "CallRate.log file not present, Rate lost";
    static constexpr const char* CorruptedText = "CallRate.log file corrupted, Rate lost";

    explicit RateNameStore(QString path) : m_path(std::move(path)) {}
    const QString& path() const { return m_path; }

    // The form a name is stored in: cut to the 30 bytes of its field.
    static QString storedForm(const QString& name);
    // Whether the store keeps the whole name: 30 characters of Windows-1252,
    // fewer of other alphabets (their UTF-8 takes more of the 30 bytes).
    static bool keepsWhole(const QString& name) { return storedForm(name) == name; }

    // Creates an empty store when none can be opened.
    bool CreateRateNameStore(QString* reason = nullptr) const;
    // The key of the name (compared in its stored form), 0 when absent; the last match wins.
    quint16 FindRateNameKey(const QString& name) const;
    // The key of the name, added with the next key when absent; 0 and the
    // system's reason when the store cannot be written.
    quint16 RateNameKeyFor(const QString& name, QString* reason = nullptr) const;
    // The name of a key, or NotPresentText / CorruptedText.
    QString RateNameForKey(quint16 key) const;
    // Fills table[key] with every name the store holds; false (table untouched)
    // when the store cannot be opened.
    bool LoadAllRateNames(QHash<quint16, QString>& table) const;

private:
    QString m_path;
};
