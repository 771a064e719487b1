#include "core/viewer/PrintLayout.h"

#include "core/storage/StoredNumber.h"

namespace {
// A printer that reports no resolution or no page would make these infinite.
int roundHalfEven(double value) {
    return StoredNumber::toInteger<int>(value, StoredNumber::Rounding::NearestEven).value_or(0);
}

int truncated(double value) {
    return StoredNumber::toInteger<int>(value).value_or(0);
}
} // namespace

PrintLayout::PrintLayout(const PrintContext& context, const std::vector<int>& screenWidths)
    : m_context(context), m_scaleX(0.04 * context.dpiX), m_scaleY(0.04 * context.dpiY),
      m_pageWidth(roundHalfEven(context.page.width() / m_scaleX)),
      m_pageHeight(roundHalfEven(context.page.height() / m_scaleY)),
      m_lineHeight(std::max(1, roundHalfEven(context.textHeight / m_scaleY))) {
    int x = 0;
    m_left.push_back(0);
    for (int width : screenWidths) {
        x += width;
        m_left.push_back(roundHalfEven(0.26 * x));
    }
}

QPoint PrintLayout::device(double x, double y) const {
    return QPoint(truncated(x * m_scaleX) - m_context.offset.x(),
                  truncated(y * m_scaleY) - m_context.offset.y());
}

QRect PrintLayout::deviceRect(double left, double top, double right, double bottom) const {
    return QRect(device(left, top), device(right, bottom) - QPoint(1, 1));
}

void PrintLayout::addRow(std::vector<PrintItem>& items, const QStringList& texts,
                         PrintItem::Kind frame) const {
    for (int i = 0; i + 1 < int(m_left.size()); ++i) {
        const double left = m_left[size_t(i)];
        const double right = m_left[size_t(i) + 1];
        if (frame == PrintItem::GreyFrame)
            items.push_back({frame, deviceRect(left + 9.8, m_y, right + 9.8, m_y + m_lineHeight), {}});
        items.push_back({PrintItem::ClippedText, deviceRect(left + 10, m_y, right + 10, m_y + m_lineHeight),
                         texts.value(i)});
        if (frame == PrintItem::Frame)
            items.push_back({frame, deviceRect(left + 9.8, m_y, right + 9.8, m_y + m_lineHeight), {}});
    }
}

std::vector<PrintItem> PrintLayout::pageHeader(const QStringList& lines, const QStringList& columnTitles) {
    std::vector<PrintItem> items;
    for (int i = 0; i < 4 && i < lines.size(); ++i) {
        const double y = 10 + i * m_lineHeight;
        items.push_back({PrintItem::Text, deviceRect(10, y, m_pageWidth, y + m_lineHeight), lines[i]});
    }
    // One line is left out between the header lines and the table.
    m_y = 10 + 5 * m_lineHeight;
    addRow(items, columnTitles, PrintItem::GreyFrame);
    m_y += m_lineHeight;
    return items;
}

std::vector<PrintItem> PrintLayout::row(const QStringList& cells) {
    std::vector<PrintItem> items;
    addRow(items, cells, PrintItem::Frame);
    m_y += m_lineHeight;
    return items;
}

PrintItem PrintLayout::pageFooter(int pageNumber) const {
    const double y = footerLine();
    return {PrintItem::Text, deviceRect(100, y, m_pageWidth, y + m_lineHeight),
            QStringLiteral("Page %1").arg(pageNumber)};
}
