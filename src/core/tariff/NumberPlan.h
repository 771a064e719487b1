#pragma once

#include "core/settings/SettingsFile.h"

#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

// The distance of a call from the number dialled, kept in a section of the
// settings file of its own:
//
//     [Number Plan]
//     CountryCode=44
//     AreaCode=020
//     Rules=00 International, 07 National, 0 National
//
// A number is first brought to the form dialled at home: "+CC..." or
// "00CC..." with the user's own country code becomes "0..." (a number written
// with its trunk zero, "+44 (0)20...", keeps that one zero), another
// country's becomes "00...". A number starting with the own area code is
// Local; otherwise the rule with the longest prefix the number starts with
// decides (of two with one prefix the later); a number no rule matches (a
// local number dialled without its area code) is Local. A plan without rules
// decides nothing.
class NumberPlan {
public:
    static inline const QString Section = QStringLiteral("Number Plan");
    static inline const QString CountryCodeKey = QStringLiteral("CountryCode");
    static inline const QString AreaCodeKey = QStringLiteral("AreaCode");
    static inline const QString RulesKey = QStringLiteral("Rules");

    struct Rule {
        QString prefix;
        int distance = 0; // DistanceBand
        bool operator==(const Rule&) const = default;
    };

    QString countryCode; // digits, without "+" or "00"
    QString areaCode;    // digits, as dialled at home
    std::vector<Rule> rules;

    bool isSet() const { return !rules.empty(); }
    bool operator==(const NumberPlan&) const = default;

    // The number (in DialledNumber's form) as dialled at home.
    QString homeForm(const QString& number) const;
    // Nothing without a plan or a number.
    std::optional<int> distanceOf(const QString& number) const;

    // The rules of a text of "prefix distance" pairs separated by commas
    // (distances by name, in any case); nothing, and what is wrong with the
    // first pair that cannot be read, when one cannot.
    static std::optional<std::vector<Rule>> parseRules(QStringView text, QString* error = nullptr);
    static QString rulesText(const std::vector<Rule>& rules);
    // Digits only, at most a few: a country or area code, or none at all.
    static bool isCode(QStringView text);

    // Hand-written values are taken as far as they can be: a ";" starts a
    // comment, a code that is not digits reads as none, a pair that cannot be
    // read is passed over.
    static NumberPlan read(const SettingsSnapshot& settings);
    // The plan's keys, to be written with the others.
    void addTo(SettingsChanges& changes) const;
    // False when the file cannot be written (its failureText() says why).
    bool write(const SettingsFile& file) const;

    // The starter tables offered in the setup, by country.
    struct Starter {
        QString country;
        QString countryCode;
        QString rules;
    };
    static const std::vector<Starter>& starters();
};
