#pragma once

#include <QPixmap>

// The 21 pictures of the meter's clock, drawn by the program: a small clock
// face whose hand sweeps once round over the 21 frames.
namespace ClockFrames {
constexpr int Size = 36;
// frame 1..21
QPixmap frame(int number);
} // namespace ClockFrames
