#include "gui/widgets/NameLimit.h"

#include <QLabel>
#include <QLineEdit>

NameLimit::NameLimit(QLineEdit* box, QLabel* note, Rule keepsWhole, NameOf nameOf, const QValidator* inner)
    : QValidator(box), m_box(box), m_note(note), m_keepsWhole(std::move(keepsWhole)),
      m_nameOf(std::move(nameOf)), m_inner(inner), m_before(box->text()) {
    m_note->setWordWrap(true);
    m_note->hide();
    m_box->setValidator(this);
    connect(m_box, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_before = text;
        showNote();
    });
    // A key that would pass the limit is refused without a change of text.
    connect(m_box, &QLineEdit::inputRejected, this, &NameLimit::showNote);
}

bool NameLimit::fits(const QString& text) const {
    return m_keepsWhole(m_nameOf ? m_nameOf(text) : text);
}

QValidator::State NameLimit::validate(QString& input, int& pos) const {
    const State inner = m_inner ? m_inner->validate(input, pos) : Acceptable;
    if (inner == Invalid || input == m_before) // a check of the text as it stands
        return inner;
    m_stopped = !fits(input);
    if (!m_stopped)
        return inner;
    // What this change put in: the text between what it kept of the start and the end.
    qsizetype head = 0;
    while (head < input.size() && head < m_before.size() && input[head] == m_before[head])
        ++head;
    qsizetype tail = 0;
    while (tail < input.size() - head && tail < m_before.size() - head &&
           input[input.size() - 1 - tail] == m_before[m_before.size() - 1 - tail])
        ++tail;
    const QString start = input.left(head);
    const QString put = input.mid(head, input.size() - head - tail);
    const QString end = input.right(tail);
    // The longest start of it that fits, never half a character.
    qsizetype low = 0, high = put.size();
    while (low < high) {
        const qsizetype mid = (low + high + 1) / 2;
        if (fits(start + put.left(mid) + end))
            low = mid;
        else
            high = mid - 1;
    }
    if (low > 0 && put[low - 1].isHighSurrogate())
        --low;
    if (low == 0) // refused as a whole: the note says why
        return Invalid;
    input = start + put.left(low) + end;
    pos = int(head + low);
    return inner;
}

void NameLimit::showNote() {
    const QString name = m_nameOf ? m_nameOf(m_box->text()) : m_box->text();
    const bool full = m_stopped || !m_keepsWhole(name + QLatin1Char('x'));
    m_note->setVisible(full);
    const QString description = full ? m_note->text() : QString();
    if (m_box->accessibleDescription() != description)
        m_box->setAccessibleDescription(description);
}
