#pragma once

#include <QLineEdit>

class Prompter;

// A fixed-format entry (a Qt input mask whose blank character is a space):
// leaving it with a required position blank is refused with a beep and a
// message, the focus stays, and Escape puts back the text it had when it
// gained the focus. text() of a masked QLineEdit drops blanks; value() keeps
// the text as shown, separators and blanks included, which is what is stored.
class MaskedEdit : public QLineEdit {
    Q_OBJECT
public:
    static inline const QString RefusalText =
        QStringLiteral("Invalid input value.  Use escape key to abandon changes");

    explicit MaskedEdit(Prompter& prompter, QWidget* parent = nullptr);

    QString value() const { return displayText(); }
    void setValue(const QString& text) { setText(text); }
    // Whether every required position is filled.
    bool isComplete() const { return hasAcceptableInput(); }
    // Runs the refusal check as leaving the box does; true when the box may be left.
    bool checkComplete();

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
    QString m_textAtFocus;
    bool m_refusing = false;
    bool m_returning = false; // the focus is being put back after a refusal
    bool m_suspended = false; // the focus went to another window or a menu
};
