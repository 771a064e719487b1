#include "gui/shell/TypeScale.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QStyle>

#include <algorithm>

namespace TypeScale {

QFont sized(QFont font, double pixels) {
    const QFont type = QApplication::font();
    const double scale = pixels / DrawnTypePixels;
    if (type.pointSizeF() > 0)
        font.setPointSizeF(type.pointSizeF() * scale);
    else
        font.setPixelSize(std::max(1, qRound(type.pixelSize() * scale)));
    return font;
}

QSize roomFor(QLabel* label, const QStringList& texts, QSize least) {
    // A label's size hint is never below its least size, and is kept until
    // its text changes: measured free of the one, after a change of the other.
    label->setMinimumSize(0, 0);
    label->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    const QString shown = label->text();
    label->clear();
    QSize room = least;
    for (const QString& text : texts) {
        label->setText(text);
        room = room.expandedTo(label->sizeHint());
    }
    label->setText(shown);
    return room;
}

QSize tightButton(const QAbstractButton* button, QSize least) {
    const QFontMetrics metrics = button->fontMetrics();
    // The style's frame on either side, and half a line of air about the text.
    const int frame = 2 * button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
    int width = metrics.horizontalAdvance(QString(button->text()).remove(QLatin1Char('&')));
    int height = metrics.height() * 3 / 2;
    if (!button->icon().isNull()) {
        width += button->iconSize().width() + frame;
        height = std::max(height, button->iconSize().height() + frame);
    }
    return least.expandedTo(QSize(width + 2 * frame, height));
}

void fixSize(QWidget* window, QSize least) {
    QLayout* layout = window->layout();
    layout->activate();
    const int width = std::max(least.width(), layout->sizeHint().width());
    const int height =
        std::max(least.height(), layout->hasHeightForWidth() ? layout->totalHeightForWidth(width)
                                                             : layout->sizeHint().height());
    window->setFixedSize(width, height);
}

} // namespace TypeScale
