#pragma once

#include "core/tariff/BillingRules.h"

#include <QByteArray>
#include <QString>

#include <optional>

struct RateTable;

// The billing rules of a rate file NAME.dtr live beside it in NAME.billing, a
// UTF-8 text in the settings file's form that people also edit by hand:
//
//     [Billing]
//     FirstBlock=60
//     NextBlock=1
//     RoundUpTo=0.1
//     CapPerCall=
//     [Holidays]
//     Dates=01-01, 12-25, Easter-2, Easter+1, 2026-05-04
//     [Free Minutes]
//     Minutes=100
//     Bands=Evening, Weekend
//
// Every key may be absent or empty (no such rule); text after a ";" on a line
// is a comment.
namespace BillingRulesFile {

inline const QString Extension = QStringLiteral(".billing");
constexpr qint64 LargestFile = 64 * 1024;

// NAME.billing beside NAME.dtr (or beside any other path, the name as it is).
QString pathFor(const QString& rateFilePath);

// The rules in the file; no rules at all when there is no file. Nothing when
// it cannot be read or a value is wrong, and error says so with the file's
// path, the key and the reason. Only a regular file is read.
std::optional<BillingRules> read(const QString& path, QString* error);
// The rules from the text of such a file; errors name the key and the reason.
std::optional<BillingRules> parse(QByteArrayView text, QString* error);
// The text of the file, every rule written out.
QByteArray text(const BillingRules& rules);
// Replaces the file as a whole; rules that are empty remove it, so that a
// rate file without rules has no file beside it. On failure reason is the
// system's.
bool write(const QString& path, const BillingRules& rules, QString* reason = nullptr);

} // namespace BillingRulesFile

// A rate file and its rules file go together: saved, removed and renamed as
// one. A failure returns false with the file that failed and the reason.
namespace TariffFiles {

struct Failure {
    QString path;
    QString reason;
};

// Writes the rate file and then its rules; rules of nullptr leave the rules
// file as it is (one that could not be read is never overwritten unseen).
bool save(const QString& rateFilePath, const RateTable& table, const BillingRules* rules,
          Failure* failure = nullptr);
// Removes the rate file and its rules file.
bool remove(const QString& rateFilePath, Failure* failure = nullptr);
// Renames both; on failure the files stay under the old name. Rules left
// under the new name by an older rate file are removed.
bool rename(const QString& fromRateFilePath, const QString& toRateFilePath, Failure* failure = nullptr);

} // namespace TariffFiles
