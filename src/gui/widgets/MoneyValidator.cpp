#include "gui/widgets/MoneyValidator.h"

#include <QRegularExpression>

namespace {

// Up to wholeDigits whole digits and two decimals; the comma of many keyboards counts as the point.
QRegularExpression amountForm(int wholeDigits) {
    return QRegularExpression(QStringLiteral("^\\s*(\\d{0,%1})(?:[.,](\\d{0,2}))?\\s*$").arg(wholeDigits));
}

// The amount of a typed text in hundredths, or nothing when it is not one.
std::optional<int> hundredths(const QRegularExpression& form, const QString& typed) {
    const QRegularExpressionMatch match = form.match(typed);
    if (!match.hasMatch())
        return std::nullopt;
    const QString whole = match.captured(1);
    const QString decimals = match.captured(2);
    if (whole.isEmpty() && decimals.isEmpty())
        return std::nullopt;
    return whole.toInt() * 100 + decimals.leftJustified(2, QLatin1Char('0')).toInt();
}

} // namespace

MoneyValidator::MoneyValidator(QObject* parent) : MoneyValidator(2, parent) {}

MoneyValidator::MoneyValidator(int wholeDigits, QObject* parent)
    : FixedFormatValidator(parent), m_form(amountForm(wholeDigits)) {}

std::optional<QString> MoneyValidator::fixedForm(const QString& typed) const {
    if (const std::optional<int> amount = hundredths(m_form, typed))
        return fixedText(*amount);
    return std::nullopt;
}

// Only a blank box or a lone point is left: digits are still to come.
bool MoneyValidator::unfinished(const QString& typed) const {
    return m_form.match(typed).hasMatch();
}

QString MoneyValidator::fixedText(int hundredths) {
    return QStringLiteral("%1.%2")
        .arg(hundredths / 100, 2, 10, QLatin1Char(' '))
        .arg(hundredths % 100, 2, 10, QLatin1Char('0'));
}
