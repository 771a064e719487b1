#pragma once

#include <QFont>
#include <QSize>
#include <QStringList>

class QAbstractButton;
class QLabel;
class QWidget;

// The program's windows were drawn for 9-point type at 96 dots an inch, which
// is 12 pixels. These keep their own larger and smaller type in step with the
// program's font, and give texts that change while on show the room they need.
namespace TypeScale {

constexpr double DrawnTypePixels = 12;

// font at the size that pixels had beside 12-pixel type, in step with the program's font.
QFont sized(QFont font, double pixels);
// The room a label needs for the widest of texts in its own font, and at
// least least; the label is left without a least or greatest size of its own.
QSize roomFor(QLabel* label, const QStringList& texts, QSize least);
// A button of a tight row: its text and picture with a slim margin, and at least least.
QSize tightButton(const QAbstractButton* button, QSize least);
// Fixes a window at the size its layout needs and at least least; wrapped
// texts get the height they need at that width.
void fixSize(QWidget* window, QSize least);

} // namespace TypeScale
