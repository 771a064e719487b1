#include "setup/MaskedEdit.h"

#include "platform/Prompter.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QTimer>

MaskedEdit::MaskedEdit(Prompter& prompter, QWidget* parent) : QLineEdit(parent), m_prompter(prompter) {}

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
    if (!m_refusing && event->reason() != Qt::ActiveWindowFocusReason &&
        event->reason() != Qt::PopupFocusReason)
        m_textAtFocus = value();
    QLineEdit::focusInEvent(event);
}

void MaskedEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A message box or a menu taking the focus is not leaving the box.
    if (m_refusing || event->reason() == Qt::ActiveWindowFocusReason ||
        event->reason() == Qt::PopupFocusReason)
        return;
    if (!checkComplete()) {
        QTimer::singleShot(0, this, [this] { setFocus(Qt::OtherFocusReason); });
        return;
    }
    emit left();
}

void MaskedEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && value() != m_textAtFocus) {
        setText(m_textAtFocus);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
