#pragma once

#include "core/calllog/CallRecord.h"

#include <QString>

struct RateNames;

// A column of the log viewer as a spreadsheet takes it (the .csv export):
// values a program can read whatever the system's language, the unit named
// in the title rather than in each value.
namespace SpreadsheetCells {

// The column's title: the viewer's header, with its unit for the length and
// the amounts: "Duration (s)", "Cost inc Tax (£)".
QString title(int column, const QString& symbol);

// The call's value in the column: dates YYYY-MM-DD, times HH:MM:SS, the
// length in whole seconds, amounts with a point and two decimals and no
// symbol, names as the viewer shows them. A damaged value (a date that
// cannot be, a cost that is not a number, a rate name the store lacks) is
// empty.
QString value(const CallRecord& call, int column, const RateNames& rates);

} // namespace SpreadsheetCells
