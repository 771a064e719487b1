#pragma once

#include "gui/widgets/FixedFormatValidator.h"

#include <QRegularExpression>

// The program's one check of a typed amount (a rate, a charge, the spend
// limit). A person may type "3.5", "03.50", ".5", "3" or "3,50"; the text kept
// and stored is the fixed five-character form of the rate file and the
// settings file: two digit positions, the first blank below ten, ".", two
// decimals (" 3.50", "12.25"), so 0.00 to 99.99.
class MoneyValidator : public FixedFormatValidator {
    Q_OBJECT
public:
    explicit MoneyValidator(QObject* parent = nullptr);
    // An amount that is not a rate file's or the design's settings' (a
    // budget) may have more whole digits; below 100 its form is the same.
    MoneyValidator(int wholeDigits, QObject* parent);

    std::optional<QString> fixedForm(const QString& typed) const override;

    // hundredths 0..9999 in the fixed form (525 gives " 5.25").
    static QString fixedText(int hundredths);

protected:
    bool unfinished(const QString& typed) const override;

private:
    QRegularExpression m_form;
};
