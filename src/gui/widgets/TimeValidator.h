#pragma once

#include "gui/widgets/FixedFormatValidator.h"

// The program's one check of a typed time of day. A person may type "8:30",
// "08:30", " 8:30", "8.30", "830" or just "8"; the text kept and stored is the
// fixed form of the settings file: two hour positions, the first blank below
// ten, ":", two minute digits (" 8:30", "18:05"). Whether the hour and minute
// lie on the clock is left to the form, which has its own message for it.
class TimeValidator : public FixedFormatValidator {
    Q_OBJECT
public:
    explicit TimeValidator(QObject* parent = nullptr);

    std::optional<QString> fixedForm(const QString& typed) const override;

protected:
    bool unfinished(const QString& typed) const override;
};
