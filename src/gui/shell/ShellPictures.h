#pragma once

#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

// The pictures of the program's shell, drawn by the program itself.
namespace ShellPictures {

// The serif of the program's titles (Times New Roman, or the Liberation Serif
// that stands in for it), at the size that pixels had beside the program's
// 12-pixel type, in step with the program's font.
QFont titleFont(double pixels, bool bold = false);

// The notification icon by name: "mini" while scanning, "mini1".."mini8" for
// the clock turning while a call is timed.
QIcon trayImage(const QString& name);

// The program's title, "Dialtally Pro", filling the size given, drawn for a
// screen of the scale given.
QPixmap title(QSize size, qreal ratio = 1);

// The clock of the about box: a face standing on two feet.
QPixmap standingClock(QSize size, qreal ratio = 1);

// The stay-on-top button's two pictures: StayOnTopImage (the next click puts
// the window on top) and NotStayOnTopImage (the next click lets it go).
QIcon StayOnTopImage();
QIcon NotStayOnTopImage();

} // namespace ShellPictures
