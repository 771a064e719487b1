#include "core/tariff/BillingRulesFile.h"

#include "core/settings/ProgramFiles.h"
#include "core/settings/SettingsFile.h"
#include "core/storage/AtomicFile.h"
#include "core/storage/RegularFile.h"
#include "core/tariff/Costing.h"
#include "core/tariff/RateFile.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>

#include <cmath>

namespace {

const QString BillingSection = QStringLiteral("Billing");
const QString HolidaysSection = QStringLiteral("Holidays");
const QString FreeSection = QStringLiteral("Free Minutes");
const QString FirstBlockKey = QStringLiteral("FirstBlock");
const QString NextBlockKey = QStringLiteral("NextBlock");
const QString RoundUpToKey = QStringLiteral("RoundUpTo");
const QString CapPerCallKey = QStringLiteral("CapPerCall");
const QString DatesKey = QStringLiteral("Dates");
const QString MinutesKey = QStringLiteral("Minutes");
const QString BandsKey = QStringLiteral("Bands");

const QLatin1String ListSeparator(", ");

// Reads the keys of one file, keeping the first fault it meets.
class Reader {
public:
    explicit Reader(QByteArrayView text) : m_text(text) {}

    bool failed() const { return !m_error.isEmpty(); }
    const QString& error() const { return m_error; }

    int wholeNumber(const QString& section, const QString& key, int largest) {
        static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
        const QString text = value(section, key);
        if (text.isEmpty())
            return 0;
        bool ok = false;
        const qlonglong number = text.toLongLong(&ok);
        if (!digits.match(text).hasMatch() || !ok || number > largest)
            return fail(section, key,
                        QStringLiteral("\"%1\" is not a whole number from 0 to %2").arg(text).arg(largest));
        return int(number);
    }

    double decimal(const QString& section, const QString& key, double largest) {
        const QString text = value(section, key);
        if (text.isEmpty())
            return 0;
        const std::optional<double> number = RateFileCodec::parseNumber(text);
        if (!number || !(*number >= 0 && *number <= largest))
            return fail(
                section, key,
                QStringLiteral("\"%1\" is not a number from 0 to %2").arg(text, formatFixed(largest, 0)));
        return *number;
    }

    std::vector<Holiday> holidays(const QString& section, const QString& key) {
        QString reason;
        const std::optional<std::vector<Holiday>> list = parseHolidays(value(section, key), &reason);
        if (!list)
            fail(section, key, reason);
        return list.value_or(std::vector<Holiday>());
    }

    int bands(const QString& section, const QString& key) {
        const QStringList names = items(section, key);
        if (names.isEmpty())
            return BillingRules::EveryBand;
        int bands = 0;
        for (const QString& name : names) {
            int band = Daytime;
            while (band <= Weekend && name.compare(timeBandName(band), Qt::CaseInsensitive) != 0)
                ++band;
            if (band > Weekend)
                return fail(
                    section, key,
                    QStringLiteral("\"%1\" is not a time band (Daytime, Evening or Weekend)").arg(name));
            bands |= 1 << (band - 1);
        }
        return bands;
    }

private:
    // The value without its comment; empty when absent.
    QString value(const QString& section, const QString& key) const {
        const QString text = m_text.value(section, key).value_or(QString());
        return text.left(text.indexOf(QLatin1Char(';'))).trimmed();
    }

    QStringList items(const QString& section, const QString& key) const {
        QStringList list = value(section, key).split(QLatin1Char(','), Qt::SkipEmptyParts);
        for (QString& item : list)
            item = item.trimmed();
        list.removeAll(QString());
        return list;
    }

    int fail(const QString& section, const QString& key, const QString& reason) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("[%1] %2: %3").arg(section, key, reason);
        return 0;
    }

    SettingsText m_text;
    QString m_error;
};

// The shortest text that reads back as the same number.
QString number(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

bool fail(QString* reason, const QString& why) {
    if (reason)
        *reason = why;
    return false;
}

// A link that leads nowhere is there too.
bool isThere(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

bool removeIfThere(const QString& path, QString* reason) {
    QFile file(path);
    return !isThere(path) || file.remove() || fail(reason, file.errorString());
}

// Fills the failure, when there is one to fill, and returns false.
bool failed(TariffFiles::Failure* failure, const QString& path, const QString& reason) {
    if (failure)
        *failure = {path, reason};
    return false;
}

} // namespace

namespace BillingRulesFile {

QString pathFor(const QString& rateFilePath) {
    const QString& dtr = ProgramFiles::RateFileExtension;
    return (rateFilePath.endsWith(dtr) ? rateFilePath.chopped(dtr.size()) : rateFilePath) + Extension;
}

std::optional<BillingRules> parse(QByteArrayView text, QString* error) {
    // Editors on other systems start a UTF-8 file with a byte-order mark,
    // which would hide the first section.
    constexpr QByteArrayView ByteOrderMark("\xef\xbb\xbf");
    Reader reader(text.startsWith(ByteOrderMark) ? text.sliced(ByteOrderMark.size()) : text);
    BillingRules rules;
    rules.firstBlock = reader.wholeNumber(BillingSection, FirstBlockKey, BillingRules::LongestBlock);
    rules.nextBlock = reader.wholeNumber(BillingSection, NextBlockKey, BillingRules::LongestBlock);
    rules.roundUpTo = reader.decimal(BillingSection, RoundUpToKey, BillingRules::LargestRoundUpTo);
    rules.capPerCall = reader.decimal(BillingSection, CapPerCallKey, BillingRules::LargestCap);
    rules.holidays = reader.holidays(HolidaysSection, DatesKey);
    rules.freeMinutes = reader.wholeNumber(FreeSection, MinutesKey, BillingRules::MostFreeMinutes);
    rules.freeBands = reader.bands(FreeSection, BandsKey);
    if (reader.failed()) {
        if (error)
            *error = reader.error();
        return std::nullopt;
    }
    return rules;
}

std::optional<BillingRules> read(const QString& path, QString* error) {
    QFile file;
    QString reason;
    bool missing = false;
    std::optional<BillingRules> rules;
    if (!RegularFile::open(file, path, &reason, &missing)) {
        if (missing)
            return BillingRules{};
    } else if (const QByteArray bytes = file.read(LargestFile + 1); file.error() != QFileDevice::NoError) {
        reason = file.errorString();
    } else if (bytes.size() > LargestFile) {
        reason = QStringLiteral("The file is larger than %1 KiB").arg(LargestFile / 1024);
    } else {
        rules = parse(bytes, &reason);
    }
    if (!rules && error)
        *error = QStringLiteral("%1: %2").arg(path, reason);
    return rules;
}

QByteArray text(const BillingRules& rules) {
    QStringList bands;
    for (int band = Daytime; band <= Weekend; ++band)
        if (rules.coversBand(band))
            bands << timeBandName(band);
    const QString text =
        QStringLiteral("[Billing]\nFirstBlock=%1\nNextBlock=%2\nRoundUpTo=%3\nCapPerCall=%4\n\n"
                       "[Holidays]\nDates=%5\n\n[Free Minutes]\nMinutes=%6\nBands=%7\n")
            .arg(rules.firstBlock)
            .arg(rules.nextBlock)
            .arg(number(rules.roundUpTo), rules.capPerCall > 0 ? number(rules.capPerCall) : QString(),
                 holidaysText(rules.holidays))
            .arg(rules.freeMinutes)
            .arg(bands.join(ListSeparator));
    return text.toUtf8();
}

bool write(const QString& path, const BillingRules& rules, QString* reason) {
    if (rules.isEmpty())
        return removeIfThere(path, reason);
    return AtomicFile::replace(path, text(rules), reason);
}

} // namespace BillingRulesFile

namespace TariffFiles {

bool save(const QString& rateFilePath, const RateTable& table, const BillingRules* rules, Failure* failure) {
    QString reason;
    if (!writeRateFile(rateFilePath, table, &reason))
        return failed(failure, rateFilePath, reason);
    const QString rulesPath = BillingRulesFile::pathFor(rateFilePath);
    return !rules || BillingRulesFile::write(rulesPath, *rules, &reason) ||
           failed(failure, rulesPath, reason);
}

bool remove(const QString& rateFilePath, Failure* failure) {
    QString reason;
    const QString rulesPath = BillingRulesFile::pathFor(rateFilePath);
    if (!removeIfThere(rateFilePath, &reason))
        return failed(failure, rateFilePath, reason);
    return removeIfThere(rulesPath, &reason) || failed(failure, rulesPath, reason);
}

bool rename(const QString& fromRateFilePath, const QString& toRateFilePath, Failure* failure) {
    QFile rateFile(fromRateFilePath);
    if (!rateFile.rename(toRateFilePath))
        return failed(failure, fromRateFilePath, rateFile.errorString());
    const QString fromRules = BillingRulesFile::pathFor(fromRateFilePath);
    const QString toRules = BillingRulesFile::pathFor(toRateFilePath);
    // Rules under the new name without a rate file of their own would price
    // the renamed one.
    QString reason;
    bool done = removeIfThere(toRules, &reason) || failed(failure, toRules, reason);
    if (done && isThere(fromRules)) {
        QFile rulesFile(fromRules);
        done = rulesFile.rename(toRules) || failed(failure, fromRules, rulesFile.errorString());
    }
    if (!done)
        QFile::rename(toRateFilePath, fromRateFilePath);
    return done;
}

} // namespace TariffFiles
