#include "gui/meter/ClockFrames.h"

#include "core/meter/ClockAnimation.h"

#include <QPainter>
#include <QtMath>

#include <array>

namespace ClockFrames {

QPixmap face(int size, double turn, const QColor& hand) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // Drawn on the meter's own scale, whatever the size asked for.
    p.scale(double(size) / Size, double(size) / Size);
    const QPointF centre(Size / 2.0, Size / 2.0);
    const double radius = Size / 2.0 - 2;

    QRadialGradient background(centre, radius);
    background.setColorAt(0, QColor(40, 60, 70));
    background.setColorAt(1, QColor(10, 20, 25));
    p.setBrush(background);
    p.setPen(QPen(QColor(0, 255, 255), 1.5));
    p.drawEllipse(centre, radius, radius);

    p.setPen(QPen(QColor(0, 180, 180), 1.2));
    for (int i = 0; i < 12; ++i) {
        const double a = i * M_PI / 6;
        const QPointF dir(std::sin(a), -std::cos(a));
        p.drawLine(centre + dir * (radius - 4), centre + dir * (radius - 1.5));
    }

    const double angle = 2 * M_PI * turn;
    const QPointF direction(std::sin(angle), -std::cos(angle));
    p.setPen(QPen(hand, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre, centre + direction * (radius - 5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 255, 255));
    p.drawEllipse(centre, 2.2, 2.2);
    return pixmap;
}

QPixmap frame(int number, qreal devicePixelRatio) {
    // Drawn once for the screen's scale, so a frame is only copied, never scaled.
    static std::array<QPixmap, ClockAnimation::FrameCount> frames;
    static qreal framesRatio = 0;
    if (devicePixelRatio != framesRatio) {
        frames = {};
        framesRatio = devicePixelRatio;
    }
    const int index = qBound(1, number, ClockAnimation::FrameCount) - 1;
    if (frames[index].isNull()) {
        frames[index] = face(qRound(Size * devicePixelRatio), double(index) / ClockAnimation::FrameCount);
        frames[index].setDevicePixelRatio(devicePixelRatio);
    }
    return frames[index];
}

} // namespace ClockFrames
