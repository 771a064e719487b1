#include "gui/widgets/AppIcon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace AppIcon {

QPixmap pixmap(int size) {
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QSvgRenderer drawing(QStringLiteral(":/dialtally-pro.svg"));
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    drawing.render(&painter);
    return picture;
}

QIcon icon() {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(pixmap(size));
    return icon;
}

} // namespace AppIcon
