#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// One thing to draw, in the device's pixels.
struct PrintItem {
    enum Kind {
        Text,        // from the rect's left edge, on one line
        CellText,    // inside the rect, at its left and in the middle of its height
        CentredText, // across the rect
        Frame,
        GreyFrame
    };
    Kind kind;
    QRect rect;
    QString text;
};

// The printout's arithmetic, in the device's pixels from the corner of the
// area it may draw in: the four header lines, one line left out, the column
// titles on grey, a framed row per call, and the page number at the foot.
// Each column is as wide as its widest text with a blank either side, so no
// text is cut. The caller draws the items and starts a new page when
// pageFull() says so.
class PrintLayout {
public:
    // What the printout's type measures, in device pixels.
    struct Metrics {
        int lineHeight = 0;          // a row of the table or a header line
        int padding = 0;             // between a frame and its text
        std::vector<int> textWidths; // each column's widest text, its title included
    };

    PrintLayout(const QRect& area, Metrics metrics);

    // The least width and height a page's printout takes: the table or the
    // widest header line, and the header, the titles, one row and the page number.
    static QSize needed(const Metrics& metrics, int headerWidth);
    // Where a printout may draw, in the painter's pixels (whose origin is the
    // printable area's corner): inside the printable area, and a 25th of an
    // inch times ten from every edge of the paper.
    static QRect area(const QRect& paper, const QRect& printable, double dpiX, double dpiY);

    int lineHeight() const { return m_metrics.lineHeight; }
    // The left edge of a grid column; one past the last column, the table's right edge.
    int columnLeft(int gridColumn) const { return m_left[size_t(gridColumn)]; }

    // The header lines and the titles; rows follow them.
    std::vector<PrintItem> pageHeader(const QStringList& lines, const QStringList& columnTitles);
    // One row of cells at the current line, which then moves down.
    std::vector<PrintItem> row(const QStringList& cells);
    // Whether the next row belongs on a new page: it would run into the page number.
    bool pageFull() const { return m_y + lineHeight() > footerTop() - lineHeight() / 2; }
    PrintItem pageFooter(int pageNumber) const;

private:
    int footerTop() const { return m_area.bottom() + 1 - lineHeight(); }
    void addRow(std::vector<PrintItem>& items, const QStringList& texts, PrintItem::Kind frame) const;

    QRect m_area;
    Metrics m_metrics;
    std::vector<int> m_left; // one more than there are columns: the last right edge
    int m_y = 0;
};

// The size of type a printout takes, and whether the paper turns to its
// other orientation for it.
struct PrintFit {
    double pointSize = 0;
    bool turned = false;
};
// What a page's printout needs with type of a size, in device pixels.
using PrintMeasure = std::function<QSize(double pointSize)>;
// The largest type up to `preferred` whose printout fits `area`; on the
// turned paper (`turnedArea`) only when it would be smaller than `least`
// here. Smaller than `least` only when neither orientation takes it: then
// whichever gives the larger type. Type grows and shrinks nearly in
// proportion to its size, not exactly, so each size tried is measured.
PrintFit fitPrintout(const PrintMeasure& measure, QSize area, QSize turnedArea, double preferred,
                     double least);
