#include "core/tariff/NumberPlan.h"

#include "core/calllog/DialledNumber.h"
#include "core/tariff/Costing.h"

#include <QRegularExpression>

namespace {

constexpr int LongestCode = 8;
constexpr int MostRules = 200;

QString withoutComment(QString value) {
    const qsizetype comment = value.indexOf(QLatin1Char(';'));
    if (comment >= 0)
        value.truncate(comment);
    return value.trimmed();
}

std::optional<int> distanceNamed(QStringView name) {
    for (int distance = Local; distance <= International; ++distance) {
        if (name.compare(distanceName(distance), Qt::CaseInsensitive) == 0)
            return distance;
    }
    return std::nullopt;
}

// The rules of the text; bad pairs are told (first one) or passed over.
std::vector<NumberPlan::Rule> rulesOf(QStringView text, QString* firstError) {
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    static const QRegularExpression separators(QStringLiteral("[,\\n]"));
    std::vector<NumberPlan::Rule> rules;
    // Pairs are parted by commas in the settings file, by lines in the setup.
    for (QStringView pair : text.split(separators)) {
        pair = pair.trimmed();
        if (pair.isEmpty())
            continue;
        const QStringList words = pair.toString().split(blanks, Qt::SkipEmptyParts);
        QString error;
        std::optional<int> distance;
        if (words.size() != 2)
            error = QStringLiteral("\"%1\" is not a prefix and a distance").arg(pair);
        else if (!DialledNumber::isKept(words[0]) || words[0].startsWith(QLatin1Char('+')))
            error = QStringLiteral("\"%1\" is not a prefix of a number dialled at home").arg(words[0]);
        else if (!(distance = distanceNamed(words[1])))
            error = QStringLiteral("\"%1\" is not Local, Regional, National or International").arg(words[1]);
        else if (rules.size() == MostRules)
            error = QStringLiteral("There are more than %1 rules").arg(MostRules);
        if (error.isEmpty()) {
            rules.push_back({words[0], *distance});
        } else if (firstError && firstError->isEmpty()) {
            *firstError = error;
        }
    }
    return rules;
}

} // namespace

QString NumberPlan::homeForm(const QString& number) const {
    QString international;
    if (number.startsWith(QLatin1Char('+')))
        international = number.mid(1);
    else if (number.startsWith(QLatin1String("00")))
        international = number.mid(2);
    else
        return number;
    if (countryCode.isEmpty() || !international.startsWith(countryCode))
        return QStringLiteral("00") + international;
    const QString national = international.mid(countryCode.size());
    return national.startsWith(QLatin1Char('0')) ? national : QLatin1Char('0') + national;
}

std::optional<int> NumberPlan::distanceOf(const QString& number) const {
    if (!isSet() || number.isEmpty())
        return std::nullopt;
    const QString home = homeForm(number);
    if (!areaCode.isEmpty() && home.startsWith(areaCode))
        return Local;
    const Rule* longest = nullptr;
    for (const Rule& rule : rules) {
        if (home.startsWith(rule.prefix) && (!longest || rule.prefix.size() >= longest->prefix.size()))
            longest = &rule;
    }
    return longest ? longest->distance : Local;
}

std::optional<std::vector<NumberPlan::Rule>> NumberPlan::parseRules(QStringView text, QString* error) {
    QString first;
    std::vector<Rule> rules = rulesOf(text, &first);
    if (first.isEmpty())
        return rules;
    if (error)
        *error = first;
    return std::nullopt;
}

QString NumberPlan::rulesText(const std::vector<Rule>& rules) {
    QStringList pairs;
    for (const Rule& rule : rules)
        pairs << rule.prefix + QLatin1Char(' ') + distanceName(rule.distance);
    return pairs.join(QStringLiteral(", "));
}

bool NumberPlan::isCode(QStringView text) {
    if (text.size() > LongestCode)
        return false;
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

NumberPlan NumberPlan::read(const SettingsSnapshot& settings) {
    NumberPlan plan;
    const auto code = [&settings](const QString& key) {
        const QString value = withoutComment(settings.ReadSettingString(Section, key, QString()));
        return isCode(value) ? value : QString();
    };
    plan.countryCode = code(CountryCodeKey);
    plan.areaCode = code(AreaCodeKey);
    plan.rules = rulesOf(withoutComment(settings.ReadSettingString(Section, RulesKey, QString())), nullptr);
    return plan;
}

void NumberPlan::addTo(SettingsChanges& changes) const {
    changes.setString(Section, CountryCodeKey, countryCode)
        .setString(Section, AreaCodeKey, areaCode)
        .setString(Section, RulesKey, rulesText(rules));
}

bool NumberPlan::write(const SettingsFile& file) const {
    SettingsChanges changes;
    addTo(changes);
    return file.write(changes);
}

// From the national numbering plans' published ranges: in the United Kingdom
// 01 and 02 are geographic, 03 non-geographic at geographic prices, 07 mobile,
// 08 special services and freephone, 09 premium rate; in Germany 0 and an area
// code is geographic, 015, 016 and 017 mobile, 018 shared-cost and service
// numbers, 0800 freephone, 0900 premium rate. Each is its own rule, so it can
// be given its own distance.
const std::vector<NumberPlan::Starter>& NumberPlan::starters() {
    static const std::vector<Starter> all = {
        {QStringLiteral("United Kingdom"), QStringLiteral("44"),
         QStringLiteral("00 International, 01 National, 02 National, 03 National, 07 National, "
                        "08 National, 09 National, 0 National")},
        {QStringLiteral("Germany"), QStringLiteral("49"),
         QStringLiteral("00 International, 015 National, 016 National, 017 National, 018 National, "
                        "0800 National, 0900 National, 0 National")},
    };
    return all;
}
