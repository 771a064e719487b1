#include "gui/widgets/FlowLayout.h"

#include <QWidget>

#include <algorithm>

FlowLayout::FlowLayout(QWidget* parent) : QLayout(parent) {}

FlowLayout::~FlowLayout() {
    while (QLayoutItem* item = takeAt(0))
        delete item;
}

void FlowLayout::addItem(QLayoutItem* item) {
    m_items << item;
    invalidate();
}

void FlowLayout::addLayout(QLayout* layout) {
    addChildLayout(layout);
    addItem(layout);
}

int FlowLayout::count() const {
    return int(m_items.size());
}

QLayoutItem* FlowLayout::itemAt(int index) const {
    return index >= 0 && index < m_items.size() ? m_items[index] : nullptr;
}

QLayoutItem* FlowLayout::takeAt(int index) {
    if (index < 0 || index >= m_items.size())
        return nullptr;
    invalidate();
    return m_items.takeAt(index);
}

Qt::Orientations FlowLayout::expandingDirections() const {
    return {};
}

bool FlowLayout::hasHeightForWidth() const {
    return true;
}

int FlowLayout::heightForWidth(int width) const {
    return arrange(QRect(0, 0, width, 0), false);
}

QSize FlowLayout::minimumSize() const {
    QSize least;
    for (const QLayoutItem* item : m_items)
        if (!item->isEmpty())
            least = least.expandedTo(item->minimumSize());
    const QMargins margins = contentsMargins();
    return least + QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
}

// All on one line.
QSize FlowLayout::sizeHint() const {
    int width = 0, height = 0, shown = 0;
    for (const QLayoutItem* item : m_items) {
        if (item->isEmpty())
            continue;
        width += item->sizeHint().width();
        height = std::max(height, item->sizeHint().height());
        ++shown;
    }
    const QMargins margins = contentsMargins();
    return QSize(width + std::max(0, shown - 1) * std::max(0, spacing()) + margins.left() + margins.right(),
                 height + margins.top() + margins.bottom());
}

void FlowLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    arrange(rect, true);
}

int FlowLayout::arrange(const QRect& rect, bool place) const {
    const QRect area = rect.marginsRemoved(contentsMargins());
    const int gap = std::max(0, spacing());
    const auto widthOf = [&](const QLayoutItem* item) {
        return std::clamp(
            item->sizeHint().width(), item->minimumSize().width(),
            std::max(item->minimumSize().width(), std::min(area.width(), item->maximumSize().width())));
    };
    QList<QLayoutItem*> shown;
    for (QLayoutItem* item : m_items)
        if (!item->isEmpty())
            shown << item;

    int y = area.y();
    for (qsizetype first = 0; first < shown.size();) {
        // As many items as the width takes, at least one.
        qsizetype end = first + 1;
        int used = widthOf(shown[first]);
        while (end < shown.size() && used + gap + widthOf(shown[end]) <= area.width())
            used += gap + widthOf(shown[end++]);
        int height = 0;
        for (qsizetype i = first; i < end; ++i)
            height = std::max(height, shown[i]->sizeHint().height());
        if (place) {
            const int count = int(end - first);
            const int spare = std::max(0, area.width() - used);
            int x = area.x();
            for (qsizetype i = first; i < end; ++i) {
                const int share = spare / count + (i == end - 1 ? spare % count : 0);
                const int width = std::min(widthOf(shown[i]) + share, shown[i]->maximumSize().width());
                shown[i]->setGeometry(QRect(x, y, width, height));
                x += width + gap;
            }
        }
        y += height + gap;
        first = end;
    }
    const QMargins margins = contentsMargins();
    return std::max(0, y - gap - area.y()) + margins.top() + margins.bottom();
}
