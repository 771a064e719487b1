#pragma once

#include <QList>

class QAbstractButton;
class QLabel;

// A group of radio buttons is one stop of the Tab key, at its checked button
// (its first while none is checked), and the arrow keys move within it, as on
// every desktop. A caption's Alt key goes to that same button.
namespace RadioGroupKeys {

void oneTabStop(const QList<QAbstractButton*>& buttons, QLabel* caption = nullptr);

} // namespace RadioGroupKeys
