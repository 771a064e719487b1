#include "core/tariff/BillingRules.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cmath>

QDate easterSunday(int year) {
    if (year < 1)
        return {};
    // The anonymous Gregorian algorithm (Meeus, Jones, Butcher).
    const int a = year % 19;
    const int b = year / 100;
    const int c = year % 100;
    const int d = b / 4;
    const int e = b % 4;
    const int f = (b + 8) / 25;
    const int g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4;
    const int k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int monthDay = h + l - 7 * m + 114;
    return QDate(year, monthDay / 31, monthDay % 31 + 1);
}

std::optional<Holiday> Holiday::parse(QStringView text) {
    static const QRegularExpression everyYear(QStringLiteral("^([0-9]{1,2})-([0-9]{1,2})$"));
    static const QRegularExpression once(QStringLiteral("^([0-9]{4})-([0-9]{1,2})-([0-9]{1,2})$"));
    static const QRegularExpression easter(QStringLiteral("^easter\\s*(?:([+-])\\s*([0-9]{1,3}))?$"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QString t = text.trimmed().toString();
    Holiday holiday;
    if (const auto m = everyYear.match(t); m.hasMatch()) {
        holiday.month = m.captured(1).toInt();
        holiday.day = m.captured(2).toInt();
        // A leap year, so that 02-29 is a date.
        if (!QDate::isValid(2000, holiday.month, holiday.day))
            return std::nullopt;
    } else if (const auto m = once.match(t); m.hasMatch()) {
        holiday.kind = Once;
        holiday.year = m.captured(1).toInt();
        holiday.month = m.captured(2).toInt();
        holiday.day = m.captured(3).toInt();
        if (holiday.year < 1 || !QDate::isValid(holiday.year, holiday.month, holiday.day))
            return std::nullopt;
    } else if (const auto m = easter.match(t); m.hasMatch()) {
        holiday.kind = FromEaster;
        holiday.offset = m.captured(2).toInt();
        if (m.captured(1) == QLatin1String("-"))
            holiday.offset = -holiday.offset;
        if (std::abs(holiday.offset) > LongestEasterOffset)
            return std::nullopt;
    } else {
        return std::nullopt;
    }
    return holiday;
}

QString Holiday::text() const {
    const auto two = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    switch (kind) {
    case EveryYear:
        return two(month) + QLatin1Char('-') + two(day);
    case Once:
        return QStringLiteral("%1-").arg(year, 4, 10, QLatin1Char('0')) + two(month) + QLatin1Char('-') +
               two(day);
    case FromEaster:
        if (offset == 0)
            return QStringLiteral("Easter");
        return QStringLiteral("Easter%1%2")
            .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
            .arg(std::abs(offset));
    }
    return {};
}

std::optional<std::vector<Holiday>> parseHolidays(QStringView text, QString* error) {
    std::vector<Holiday> list;
    for (QStringView entry : text.split(QLatin1Char(','))) {
        entry = entry.trimmed();
        if (entry.isEmpty())
            continue;
        const std::optional<Holiday> holiday = Holiday::parse(entry);
        if (!holiday) {
            if (error)
                *error = QStringLiteral("\"%1\" is not a date (MM-DD, YYYY-MM-DD or Easter\u00b1N days)")
                             .arg(entry);
            return std::nullopt;
        }
        list.push_back(*holiday);
    }
    return list;
}

QString holidaysText(const std::vector<Holiday>& holidays) {
    QStringList texts;
    for (const Holiday& holiday : holidays)
        texts << holiday.text();
    return texts.join(QStringLiteral(", "));
}

void Holiday::addDatesIn(int inYear, std::vector<QDate>& dates) const {
    switch (kind) {
    case EveryYear:
        if (QDate::isValid(inYear, month, day))
            dates.push_back(QDate(inYear, month, day));
        return;
    case Once:
        if (year == inYear)
            dates.push_back(QDate(year, month, day));
        return;
    case FromEaster:
        // Far enough from Easter, the day falls in the year before or after.
        for (int y = inYear - 1; y <= inYear + 1; ++y) {
            const QDate easter = easterSunday(y);
            if (easter.isValid() && easter.addDays(offset).year() == inYear)
                dates.push_back(easter.addDays(offset));
        }
        return;
    }
}

bool BillingRules::isEmpty() const {
    return firstBlock == 0 && nextBlock == 0 && roundUpTo == 0 && capPerCall == 0 && holidays.empty() &&
           freeMinutes == 0;
}

std::vector<QDate> BillingRules::holidaysIn(int year) const {
    std::vector<QDate> dates;
    for (const Holiday& holiday : holidays)
        holiday.addDatesIn(year, dates);
    return dates;
}

bool BillingRules::isHoliday(QDate date) const {
    const std::vector<QDate> dates = holidaysIn(date.year());
    return std::find(dates.cbegin(), dates.cend(), date) != dates.cend();
}

QString blocksName(int firstBlock, int nextBlock) {
    if (nextBlock == 0 && firstBlock == 0)
        return QStringLiteral("continuous");
    if (nextBlock == 1 && firstBlock <= 1)
        return QStringLiteral("per second");
    if (nextBlock == 60 && (firstBlock == 60 || firstBlock == 0))
        return QStringLiteral("per started minute");
    if (nextBlock == 1 && firstBlock == 60)
        return QStringLiteral("first minute then per second");
    return QStringLiteral("%1/%2").arg(firstBlock).arg(nextBlock);
}
