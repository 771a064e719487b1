#include "gui/widgets/FixedFormatValidator.h"

QValidator::State FixedFormatValidator::validate(QString& input, int&) const {
    if (fixedForm(input))
        return Acceptable;
    return unfinished(input) ? Intermediate : Invalid;
}

void FixedFormatValidator::fixup(QString& input) const {
    if (const std::optional<QString> fixed = fixedForm(input))
        input = *fixed;
}
