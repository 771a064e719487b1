#pragma once

#include <functional>

// The meter's clock: it turns through its 21 pictures, repeats the sweep until
// the sweep count passes 5, then turns the other way with a new random count.
// After a stop it finishes the sweep under way.
class ClockAnimation {
public:
    static constexpr int FrameCount = 21;

    // random() gives a whole number 0..4.
    explicit ClockAnimation(std::function<int()> random);

    // One tick. Returns true when timing has stopped and the sweep under way
    // has just ended: the animation is then back at its first picture.
    bool advance(bool timingActive);

    // The picture to show, 1..21, or 0 when the picture stays as it was
    // (the tick that turns round or wraps).
    int visibleFrame() const { return m_frame >= 1 && m_frame <= FrameCount ? m_frame : 0; }

    int AnimationFrame() const { return m_frame; }
    int AnimationStep() const { return m_step; }
    int AnimationSweeps() const { return m_sweeps; }

private:
    std::function<int()> m_random;
    int m_frame = 1;
    int m_step = 1;
    int m_sweeps = 0;
};
