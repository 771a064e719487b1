#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// The sixteen values of one rate file, each kept as the decimal text stored in
// its slot. Slots are numbered 1..16: 1..12 the per-minute rates by RateCode,
// then tax, minimum charge, connection charge and discount.
struct RateTable {
    static constexpr int SlotCount = 16;
    std::array<QString, SlotCount> texts;

    const QString& slot(int number) const { return texts[number - 1]; }
    QString& slot(int number) { return texts[number - 1]; }
};

enum RateSlot { TaxSlot = 13, MinimumSlot = 14, ConnectionSlot = 15, DiscountSlot = 16 };

// One 96-byte record: sixteen 6-byte slots, a length byte then five text bytes.
namespace RateFileCodec {
constexpr int RecordSize = 96;
constexpr int SlotSize = 6;
constexpr int TextWidth = 5;

// Texts are cut to five bytes; the bytes after a text are zeros.
QByteArray write(const RateTable& table);
// Needs at least RecordSize bytes; later bytes are ignored. A length byte
// above five (a damaged file) reads five.
RateTable read(const QByteArray& record);
// A slot's number: leading and trailing blanks skipped, a point as separator.
std::optional<double> parseNumber(const QString& text);
// What a text that parseNumber refuses is told as.
QString notANumberText(const QString& text);
// Five characters hold at most this in plain digits. A larger number takes an
// exponent ("9e99"), which no editor of ours writes: such a slot is damaged,
// and its rate would give costs no call can have (infinite once logged).
constexpr double LargestSlotNumber = 99999;
} // namespace RateFileCodec

// Reads the first record of a rate file; nothing when the file cannot be
// opened or is shorter than one record. reason gets the system's words.
std::optional<RateTable> readRateFile(const QString& path, QString* reason = nullptr);

// Replaces the file as a whole (temporary file and rename). On failure returns
// false with the system's reason and leaves the old file as it was.
bool writeRateFile(const QString& path, const RateTable& table, QString* reason = nullptr);

// The rate files of a directory, by file name ("BT.dtr"): only names ending in
// ".dtr" exactly, as the meter opens <name>.dtr; sorted by name without regard
// to case.
QStringList rateFileNames(const QString& directory);
