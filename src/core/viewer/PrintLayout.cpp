#include "core/viewer/PrintLayout.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// The design's margin: ten print units of a 25th of an inch.
constexpr double MarginInches = 0.4;

// Sizes are tried in twentieths of a point, and never below one point, so
// the search ends and the type stays visible.
constexpr double SizeStep = 0.05;
constexpr double SmallestSize = 1;

double largestFitting(const PrintMeasure& measure, QSize area, double preferred) {
    double size = preferred;
    for (int tries = 0; tries < 32 && size > SmallestSize; ++tries) {
        const QSize need = measure(size);
        const double scale = std::min(need.width() > 0 ? double(area.width()) / need.width() : 1.0,
                                      need.height() > 0 ? double(area.height()) / need.height() : 1.0);
        if (scale >= 1)
            return size;
        size = std::floor(std::min(size * scale, size - SizeStep) / SizeStep) * SizeStep;
    }
    return std::max(size, SmallestSize);
}

} // namespace

PrintLayout::PrintLayout(const QRect& area, Metrics metrics) : m_area(area), m_metrics(std::move(metrics)) {
    int x = m_area.left();
    m_left.push_back(x);
    for (int width : m_metrics.textWidths) {
        x += width + 2 * m_metrics.padding;
        m_left.push_back(x);
    }
}

QSize PrintLayout::needed(const Metrics& metrics, int headerWidth) {
    const int table = std::accumulate(metrics.textWidths.begin(), metrics.textWidths.end(), 0) +
                      int(metrics.textWidths.size()) * 2 * metrics.padding + 1;
    // Four header lines, one left out, the titles, a row, half a line and the page number.
    const int lines = metrics.lineHeight;
    return {std::max(table, headerWidth), 8 * lines + lines / 2};
}

QRect PrintLayout::area(const QRect& paper, const QRect& printable, double dpiX, double dpiY) {
    const int marginX = int(std::ceil(MarginInches * dpiX));
    const int marginY = int(std::ceil(MarginInches * dpiY));
    const QRect inside = paper.adjusted(marginX, marginY, -marginX, -marginY) & printable;
    return inside.translated(-printable.topLeft());
}

void PrintLayout::addRow(std::vector<PrintItem>& items, const QStringList& texts,
                         PrintItem::Kind frame) const {
    const int padding = m_metrics.padding;
    for (size_t i = 0; i + 1 < m_left.size(); ++i) {
        const QRect cell(QPoint(m_left[i], m_y), QPoint(m_left[i + 1], m_y + lineHeight()));
        if (frame == PrintItem::GreyFrame)
            items.push_back({frame, cell, {}});
        items.push_back(
            {PrintItem::CellText, cell.adjusted(padding, 0, -padding, 0), texts.value(qsizetype(i))});
        if (frame == PrintItem::Frame)
            items.push_back({frame, cell, {}});
    }
}

std::vector<PrintItem> PrintLayout::pageHeader(const QStringList& lines, const QStringList& columnTitles) {
    std::vector<PrintItem> items;
    for (int i = 0; i < 4 && i < lines.size(); ++i) {
        const int y = m_area.top() + i * lineHeight();
        items.push_back({PrintItem::Text, QRect(m_area.left(), y, m_area.width(), lineHeight()), lines[i]});
    }
    // One line is left out between the header lines and the table.
    m_y = m_area.top() + 5 * lineHeight();
    addRow(items, columnTitles, PrintItem::GreyFrame);
    m_y += lineHeight();
    return items;
}

std::vector<PrintItem> PrintLayout::row(const QStringList& cells) {
    std::vector<PrintItem> items;
    addRow(items, cells, PrintItem::Frame);
    m_y += lineHeight();
    return items;
}

PrintItem PrintLayout::pageFooter(int pageNumber) const {
    return {PrintItem::CentredText, QRect(m_area.left(), footerTop(), m_area.width(), lineHeight()),
            QStringLiteral("Page %1").arg(pageNumber)};
}

PrintFit fitPrintout(const PrintMeasure& measure, QSize area, QSize turnedArea, double preferred,
                     double least) {
    const double here = largestFitting(measure, area, preferred);
    if (here >= least)
        return {here, false};
    const double turned = largestFitting(measure, turnedArea, preferred);
    return turned > here ? PrintFit{turned, true} : PrintFit{here, false};
}
