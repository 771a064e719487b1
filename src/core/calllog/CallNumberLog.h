#pragma once

#include "core/storage/FixedRecordFile.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

// The number dialled for one call, tied to the call by its stored start.
struct CallNumber {
    double start = 0; // the call record's first field, bit for bit
    QString number;   // in DialledNumber's kept form

    bool operator==(const CallNumber&) const = default;
};

// 40 little-endian bytes: the start (a double), the number's length (0..31),
// then its characters (ASCII), the rest zeros.
namespace CallNumberCodec {
constexpr int Size = 40;
constexpr int NumberWidth = 31;
void write(const CallNumber& entry, char* out);
// Nothing for a damaged record: a start that is no date, a length beyond its
// field, or characters that are no number.
std::optional<CallNumber> read(const char* in);
} // namespace CallNumberCodec

// "CallNumbers.log": the numbers of the calls sensed on the modem's line, one
// record per call that had one, written just after the call itself, so a
// failure here never costs the call. The call log keeps its design's records;
// a log without this file reads as it always has. Like the log it is a file
// of fixed records: a torn tail is cut back before an append and ignored by
// readers, and a rewrite replaces it atomically.
class CallNumberLog {
public:
    explicit CallNumberLog(QString path);
    const QString& path() const { return m_file.path(); }
    const FixedRecordFile& file() const { return m_file; }

    bool append(const std::vector<CallNumber>& entries, QString* reason = nullptr) const;
    // Every whole, sound record in file order; damaged ones are passed over.
    bool forEach(const std::function<void(const CallNumber&)>& visit, QString* reason = nullptr,
                 bool* missing = nullptr) const;
    // Takes out the records of these starts, in one atomic rewrite; a file
    // without any of them (or no file) is left untouched.
    bool remove(std::vector<double> starts, QString* reason = nullptr) const;

private:
    FixedRecordFile m_file;
};
