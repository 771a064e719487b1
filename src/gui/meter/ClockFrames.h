#pragma once

#include <QColor>
#include <QPixmap>

// The 21 pictures of the meter's clock, drawn by the program: a small clock
// face whose hand sweeps once round over the 21 frames.
namespace ClockFrames {
constexpr int Size = 36;
// frame 1..21, Size device-independent pixels square on a screen of that scale
QPixmap frame(int number, qreal devicePixelRatio = 1);
// The same clock at any size, its hand at turn (0 at twelve, 0.25 at three).
QPixmap face(int size, double turn, const QColor& hand = Qt::white);
} // namespace ClockFrames
