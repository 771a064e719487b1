#include "gui/widgets/MaskedEdit.h"

#include "gui/widgets/FormRules.h"

#include "core/seams/Prompter.h"
#include "gui/widgets/FixedFormatValidator.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QTimer>

MaskedEdit::MaskedEdit(Prompter& prompter, FixedFormatValidator* validator, const QString& sample,
                       QWidget* parent)
    : QLineEdit(parent), m_prompter(prompter), m_validator(validator), m_sample(sample) {
    validator->setParent(this);
    setValidator(validator);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

// QLineEdit asks for room for 17 "x"; the entry wants its sample and a blank more.
QSize MaskedEdit::sizeHint() const {
    QSize hint = QLineEdit::sizeHint();
    const QFontMetrics metrics = fontMetrics();
    hint.setWidth(hint.width() - 17 * metrics.horizontalAdvance(QLatin1Char('x')) +
                  metrics.horizontalAdvance(m_sample + QLatin1Char(' ')));
    return hint;
}

QSize MaskedEdit::minimumSizeHint() const {
    return sizeHint();
}

QString MaskedEdit::value() const {
    return m_validator->fixedForm(text()).value_or(text());
}

void MaskedEdit::setValue(const QString& text) {
    setText(m_validator->fixedForm(text).value_or(text));
}

bool MaskedEdit::isComplete() const {
    return m_validator->fixedForm(text()).has_value();
}

bool MaskedEdit::checkComplete() {
    if (isComplete())
        return true;
    m_refusing = true;
    m_prompter.beep();
    m_prompter.error(RefusalText);
    m_refusing = false;
    return false;
}

void MaskedEdit::focusInEvent(QFocusEvent* event) {
    // The focus coming back from a message box, a menu, another window or a
    // refusal keeps the text Escape restores.
    if (!m_refusing && !m_returning && !m_suspended)
        m_textAtFocus = text();
    m_returning = false;
    m_suspended = false;
    QLineEdit::focusInEvent(event);
}

void MaskedEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (m_refusing)
        return;
    if (!FormRules::isUserFocusMove(event->reason())) {
        m_suspended = true;
        return;
    }
    if (!checkComplete()) {
        m_returning = true;
        QTimer::singleShot(0, this, [this] {
            setFocus(Qt::OtherFocusReason);
            m_returning = false;
        });
        return;
    }
    if (const QString fixedText = value(); fixedText != text())
        setText(fixedText);
    emit left();
}

void MaskedEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && text() != m_textAtFocus) {
        setText(m_textAtFocus);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
