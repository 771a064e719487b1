#pragma once

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

// Easter Sunday of the Gregorian calendar; invalid before the year 1.
QDate easterSunday(int year);

// One entry of a holiday list: "12-25" every year, "2026-05-04" once, or
// "Easter-2" (days from Easter Sunday).
struct Holiday {
    enum Kind { EveryYear, Once, FromEaster };
    static constexpr int LongestEasterOffset = 365;

    Kind kind = EveryYear;
    int year = 0; // Once only
    int month = 0;
    int day = 0;
    int offset = 0; // FromEaster only

    // Nothing when the text is none of the three forms or names no date.
    static std::optional<Holiday> parse(QStringView text);
    QString text() const;
    // The days of the year it falls on (none, one, or for a far offset from
    // Easter two), added to dates.
    void addDatesIn(int year, std::vector<QDate>& dates) const;

    bool operator==(const Holiday&) const = default;
};

// Holidays written as a list: "01-01, 12-25, Easter+1". Nothing, and why,
// when an entry is none of the forms; empty entries are skipped.
std::optional<std::vector<Holiday>> parseHolidays(QStringView text, QString* error = nullptr);
QString holidaysText(const std::vector<Holiday>& holidays);

// How the bill charges the calls of one rate file, beyond its rates: billing
// blocks, rounding, a cap, holidays at the Weekend rate and free minutes.
// Without any rule (the default) a call is priced continuously, as it runs.
struct BillingRules {
    static constexpr int LongestBlock = 86400;        // seconds
    static constexpr int MostFreeMinutes = 1'000'000; // per bill period
    static constexpr double LargestRoundUpTo = 10000; // sub-units
    static constexpr double LargestCap = 1e6;         // main units
    static constexpr int EveryBand = 0b111;           // bit (band - 1) per TimeBand

    int firstBlock = 0;    // seconds charged whole at the start; 0: none
    int nextBlock = 0;     // seconds charged whole after it; 0: continuous
    double roundUpTo = 0;  // each call's charge rounded up to this many sub-units; 0: not
    double capPerCall = 0; // the most a call's charge can be, main units; 0: no cap
    std::vector<Holiday> holidays;
    int freeMinutes = 0; // per bill period
    int freeBands = EveryBand;

    bool isEmpty() const;
    bool coversBand(int band) const { return band >= 1 && band <= 3 && (freeBands >> (band - 1) & 1); }
    std::vector<QDate> holidaysIn(int year) const;
    bool isHoliday(QDate date) const;
    double freeMs() const { return freeMinutes * 60'000.0; }

    bool operator==(const BillingRules&) const = default;
};

// The blocks as a person says them: "continuous", "per second", "per started
// minute", "first minute then per second", else "FIRST/NEXT".
QString blocksName(int firstBlock, int nextBlock);
