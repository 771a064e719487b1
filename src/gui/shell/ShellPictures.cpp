#include "gui/shell/ShellPictures.h"

#include "gui/meter/ClockFrames.h"
#include "gui/shell/TypeScale.h"
#include "gui/widgets/AppIcon.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace ShellPictures {

namespace {
constexpr int TrayFrames = 8;
const QColor Aqua(0, 255, 255);

// The number of a "miniN" name, 0 for "mini" and anything unknown.
int trayFrameOf(const QString& name) {
    if (!name.startsWith(QLatin1String("mini")))
        return 0;
    bool ok = false;
    const int frame = name.mid(4).toInt(&ok);
    return ok && frame >= 1 && frame <= TrayFrames ? frame : 0;
}

// A clear picture with a smooth painter on it; take() ends the painting.
// The picture is declared first, so the painter always ends before it goes.
struct Canvas {
    QPixmap pixmap;
    QPainter painter;

    explicit Canvas(QSize size, qreal ratio = 1) : pixmap(size * ratio) {
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        painter.begin(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
    }
    QPixmap take() {
        painter.end();
        return pixmap;
    }
};

QIcon pinIcon(bool upright) {
    QIcon icon;
    for (int size : {16, 24, 32}) {
        Canvas canvas(QSize(size, size));
        QPainter& p = canvas.painter;
        p.scale(size / 16.0, size / 16.0);
        // A window with a pin through its title bar to pin it on top; the pin
        // lies down when the next click lets the window go.
        p.setPen(QPen(QColor(40, 40, 40), 0.8));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(1.5, 4.5, 11, 9));
        p.setBrush(QColor(0, 0, 128));
        p.drawRect(QRectF(1.5, 4.5, 11, 2.5));
        p.translate(11, 5);
        p.rotate(upright ? 0 : 60);
        p.setPen(QPen(QColor(90, 90, 90), 1.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(0, 0), QPointF(0, 5));
        p.setPen(QPen(QColor(120, 0, 0), 0.6));
        p.setBrush(QColor(220, 30, 30));
        p.drawEllipse(QPointF(0, -2.5), 2.6, 2.6);
        icon.addPixmap(canvas.take());
    }
    return icon;
}
QFont serif() {
    QFont font;
    font.setFamilies(
        {QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"), QStringLiteral("serif")});
    return font;
}
} // namespace

QFont titleFont(double pixels, bool bold) {
    QFont font = TypeScale::sized(serif(), pixels);
    font.setBold(bold);
    return font;
}

QIcon trayImage(const QString& name) {
    const int frame = trayFrameOf(name);
    // Scanning shows the program's own icon, as its window and menu entry do;
    // timing turns the clock's hand.
    if (frame == 0)
        return AppIcon::icon();
    const double turn = double(frame - 1) / TrayFrames;
    const QColor hand = QColor(Qt::white);
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64})
        icon.addPixmap(ClockFrames::face(size, turn, hand));
    return icon;
}

QPixmap title(QSize size, qreal ratio) {
    Canvas canvas(size, ratio);
    QPainter& p = canvas.painter;
    QFont font = serif();
    font.setPixelSize(size.height() * 3 / 4);
    font.setBold(true);
    font.setItalic(true);
    const QString text = QStringLiteral("Dialtally Pro");
    QPainterPath path;
    path.addText(0, 0, font, text);
    // Scaled to the width if the height alone would overrun it.
    const QRectF bounds = path.boundingRect();
    const double scale = std::min(1.0, (size.width() - 4) / bounds.width());
    p.translate((size.width() - bounds.width() * scale) / 2 - bounds.left() * scale,
                (size.height() - bounds.height() * scale) / 2 - bounds.top() * scale);
    p.scale(scale, scale);
    QLinearGradient gold(bounds.topLeft(), bounds.bottomLeft());
    gold.setColorAt(0, QColor(255, 250, 190));
    gold.setColorAt(0.5, QColor(255, 200, 40));
    gold.setColorAt(1, QColor(200, 110, 0));
    p.setPen(QPen(QColor(80, 30, 0), std::max(1.0, size.height() / 40.0)));
    p.setBrush(gold);
    p.drawPath(path);
    return canvas.take();
}

QPixmap standingClock(QSize size, qreal ratio) {
    Canvas canvas(size, ratio);
    QPainter& p = canvas.painter;
    const int diameter = std::min(size.width(), size.height() - size.height() / 7);
    const double x = (size.width() - diameter) / 2.0;
    p.setPen(QPen(Aqua, 2.5, Qt::SolidLine, Qt::RoundCap));
    const double footTop = diameter * 0.8;
    p.drawLine(QPointF(x + diameter * 0.25, footTop), QPointF(x + diameter * 0.12, size.height() - 1.5));
    p.drawLine(QPointF(x + diameter * 0.75, footTop), QPointF(x + diameter * 0.88, size.height() - 1.5));
    // Ten past ten, as clocks are shown at rest.
    QPixmap face = ClockFrames::face(qRound(diameter * ratio), 10.0 / 12.0);
    face.setDevicePixelRatio(ratio);
    p.drawPixmap(QPointF(x, 0), face);
    return canvas.take();
}

QIcon StayOnTopImage() {
    return pinIcon(true);
}

QIcon NotStayOnTopImage() {
    return pinIcon(false);
}

} // namespace ShellPictures
