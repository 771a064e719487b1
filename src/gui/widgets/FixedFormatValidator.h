#pragma once

#include <QValidator>

#include <optional>

// A check of typed text that has a fixed form to be kept in: a complete text
// is acceptable whatever way it was typed and fixup() puts it into the form;
// a text that more typing can still complete is intermediate; anything else
// is refused as it is typed.
class FixedFormatValidator : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;

    State validate(QString& input, int& pos) const final;
    // Puts a complete text into the fixed form; leaves any other as it is.
    void fixup(QString& input) const final;

    // The fixed form of a complete text; nothing for any other.
    virtual std::optional<QString> fixedForm(const QString& typed) const = 0;

protected:
    // Whether more typing can still make the text complete.
    virtual bool unfinished(const QString& typed) const = 0;
};
