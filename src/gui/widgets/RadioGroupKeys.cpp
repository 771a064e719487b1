#include "gui/widgets/RadioGroupKeys.h"

#include <QAbstractButton>
#include <QLabel>

#include <algorithm>

namespace RadioGroupKeys {

void oneTabStop(const QList<QAbstractButton*>& buttons, QLabel* caption) {
    if (buttons.isEmpty())
        return;
    // Qt does the same once a button of the group has had the focus; until
    // then each button would be a stop of its own.
    const auto follow = [buttons, caption] {
        const auto checked =
            std::find_if(buttons.begin(), buttons.end(), [](QAbstractButton* b) { return b->isChecked(); });
        QAbstractButton* stop = checked == buttons.end() ? buttons.first() : *checked;
        for (QAbstractButton* b : buttons)
            b->setFocusPolicy(b == stop ? Qt::FocusPolicy(b->focusPolicy() | Qt::TabFocus)
                                        : Qt::FocusPolicy(b->focusPolicy() & ~Qt::TabFocus));
        if (caption)
            caption->setBuddy(stop);
    };
    for (QAbstractButton* b : buttons)
        QObject::connect(b, &QAbstractButton::toggled, b, follow);
    follow();
}

} // namespace RadioGroupKeys
