#pragma once

#include <QLineEdit>

class FixedFormatValidator;
class Prompter;

// A fixed-format entry (a time, an amount): the person types as they would
// anywhere ("3.5", "8:00"), its validator refuses what can never be one, and
// a complete text is put into the fixed form the files keep (" 3.50",
// " 8:00") when the box is left. Leaving it while the text is still
// incomplete is refused with a beep and a message, the focus stays, and Escape
// puts back the text it had when it gained the focus.
class MaskedEdit : public QLineEdit {
    Q_OBJECT
public:
    static inline const QString RefusalText =
        QStringLiteral("Invalid input value.  Use escape key to abandon changes");

    // The entry owns its validator; it is as wide as the sample text in its
    // present font ("00:00"), whatever font that is.
    MaskedEdit(Prompter& prompter, FixedFormatValidator* validator, const QString& sample,
               QWidget* parent = nullptr);

    // The text in its fixed form, as it is stored; an incomplete text as it stands.
    QString value() const;
    // Shows a text in its fixed form when it has one, otherwise as it stands.
    void setValue(const QString& text);
    // Whether the text is complete.
    bool isComplete() const;
    // Runs the refusal check as leaving the box does; true when the box may be left.
    bool checkComplete();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // The box was left with a complete text (the place for the box's own
    // validation, like the time check).
    void left();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    Prompter& m_prompter;
    const FixedFormatValidator* m_validator;
    QString m_sample;
    QString m_textAtFocus;
    bool m_refusing = false;
    bool m_returning = false; // the focus is being put back after a refusal
    bool m_suspended = false; // the focus went to another window or a menu
};
