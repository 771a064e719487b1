#include "gui/widgets/TimeValidator.h"

#include <QRegularExpression>

namespace {

// Hours, with minutes after a ":" or "." if any ("8", "8:30", "08.30").
const QRegularExpression& separated() {
    static const QRegularExpression form(QStringLiteral("^\\s*(\\d{1,2})(?:[:.](\\d{2}))?\\s*$"));
    return form;
}

// Hours and minutes run together ("830", "0830").
const QRegularExpression& runTogether() {
    static const QRegularExpression form(QStringLiteral("^\\s*(\\d{1,2})(\\d{2})\\s*$"));
    return form;
}

} // namespace

TimeValidator::TimeValidator(QObject* parent) : FixedFormatValidator(parent) {}

std::optional<QString> TimeValidator::fixedForm(const QString& typed) const {
    for (const QRegularExpression* form : {&separated(), &runTogether()}) {
        const QRegularExpressionMatch match = form->match(typed);
        if (match.hasMatch())
            return QStringLiteral("%1:%2")
                .arg(match.captured(1).toInt(), 2, 10, QLatin1Char(' '))
                .arg(match.captured(2).toInt(), 2, 10, QLatin1Char('0'));
    }
    return std::nullopt;
}

bool TimeValidator::unfinished(const QString& typed) const {
    static const QRegularExpression form(QStringLiteral("^\\s*(?:\\d{0,4}|\\d{0,2}[:.]\\d{0,2})\\s*$"));
    return form.match(typed).hasMatch();
}
