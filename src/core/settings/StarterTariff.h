#pragma once

#include <QString>

// The tariff the first questions offer, and leave in place when their
// call-charges page is skipped or closed: every price 0.00 and a daytime band
// of 8:00 to 18:00, so the meter prices calls (at nothing) under a rate file
// that exists, in the band a new user most likely has. The settings mark it
// (PricesNeeded) until the user saves that rate file in Setup.
namespace StarterTariff {

inline const QString Name = QStringLiteral("My Tariff");
inline const QString DayTimeStart = QStringLiteral(" 8:00");
inline const QString DayTimeEnd = QStringLiteral("18:00");
inline const QString NoPrice = QStringLiteral(" 0.00");

// Puts the starter in place when the settings name no rate file that can be
// read: its rate file (a file of that name already there is the user's and is
// taken as it is), the active name, the mark, and the band where no valid one
// is stored. Nothing else is changed. Returns what to tell the user when a
// file cannot be written; empty when done.
QString layDown(const QString& programDirectory);

} // namespace StarterTariff
