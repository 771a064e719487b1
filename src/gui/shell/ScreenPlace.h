#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// Windows are put where they were left, unless no screen shows the top edge
// of that place any more (a monitor unplugged, a smaller screen, a title bar
// above the screen): then they come onto the nearest screen, whole where they
// fit.
// Every window the program opens fits, frame and all, the screen it opens
// on, at any scale and type size.
namespace ScreenPlace {

// Where a window with this frame goes among these screens (their available
// areas): its own place when its top edge is on one of them, else the nearest
// place on the nearest screen. Its own place when there are no screens at all.
QPoint onScreen(const QRect& frame, const QList<QRect>& screens);

// The same among the desktop's screens now.
QPoint onScreen(const QRect& frame);

// Where a window with this frame is seen whole (as far as it fits) on the
// screen that shows most of it, else on the nearest: for a window placed by
// the program rather than where the user left it.
QPoint whole(const QRect& frame, const QList<QRect>& screens);
QPoint whole(const QRect& frame);

// Moves a window's frame to topLeft, or onto the nearest screen.
void moveOnScreen(QWidget* window, QPoint topLeft);

// The size a window whose frame adds frame takes in a screen's available
// area when it wants wanted: as much of that as the area holds.
QSize fitted(QSize wanted, QSize frame, const QRect& available);

// The rule every window and dialog sizes itself by: it takes wanted, or as
// much of it as the screen it opens on holds (the screen of near, else of its
// parent), and opens whole on that screen, centred over near or else on the
// screen. A window that cannot be made that small keeps its least size.
void fit(QWidget* window, QSize wanted, const QWidget* near = nullptr);

} // namespace ScreenPlace
