#include "core/meter/ClockAnimation.h"

ClockAnimation::ClockAnimation(std::function<int()> random)
    : m_random(std::move(random)), m_sweeps(m_random()) {}

bool ClockAnimation::advance(bool timingActive) {
    m_frame += m_step;
    const bool pastLast = m_frame == FrameCount + 1;
    const bool beforeFirst = m_frame == 0;
    if (!pastLast && !beforeFirst)
        return false;
    if (m_sweeps < 5) {
        m_frame = pastLast ? 1 : FrameCount;
        ++m_sweeps;
    } else {
        m_step = pastLast ? -1 : 1;
        m_sweeps = m_random();
    }
    if (timingActive)
        return false;
    m_frame = 1;
    return true;
}
