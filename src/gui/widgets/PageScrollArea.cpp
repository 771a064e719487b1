#include "gui/widgets/PageScrollArea.h"

#include <QScrollBar>

PageScrollArea::PageScrollArea(QWidget* page, QWidget* parent) : QScrollArea(parent) {
    setObjectName(page->objectName() + QStringLiteral("Scroller"));
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setWidget(page);
    // The page keeps the look of the tab it is on.
    viewport()->setAutoFillBackground(false);
    page->setAutoFillBackground(false);
    // No stop of its own in the Tab order: a control reached by Tab is
    // scrolled into view.
    setFocusPolicy(Qt::NoFocus);
}

// QScrollArea caps its hint at a few dozen lines of text.
QSize PageScrollArea::sizeHint() const {
    const int frame = 2 * frameWidth();
    return widget()->sizeHint().expandedTo(widget()->minimumSizeHint()) + QSize(frame, frame);
}

// QScrollArea measures a page whose height follows its width at the width
// left beside a scroll bar it shows already, so a bar once shown (while the
// dialog was still being made) would stay though the page fits: measured at
// the whole width here.
void PageScrollArea::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    const QSize room = maximumViewportSize();
    if (verticalScrollBar()->isVisibleTo(this) && widget()->hasHeightForWidth() &&
        widget()->heightForWidth(room.width()) <= room.height()) {
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    }
}

// Enough to show a part of the page and both scroll bars.
QSize PageScrollArea::minimumSizeHint() const {
    const int bar = verticalScrollBar()->sizeHint().width();
    return QSize(6 * bar, 6 * bar);
}
