#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

#include <vector>

// What a printer offers the printout, in its device pixels.
struct PrintContext {
    QString printerName;
    QSize page;      // the printable area
    QPoint offset;   // of the printable area from the paper's corner
    double dpiX = 0; // device pixels per inch
    double dpiY = 0;
    int textHeight = 0; // of "Yy" in the printer font
};

// One thing to draw, in device pixels.
struct PrintItem {
    enum Kind { Text, ClippedText, Frame, GreyFrame };
    Kind kind;
    QRect rect; // a text starts at its top left corner
    QString text;
};

// The printout's arithmetic. Positions are in print units of a 25th of an
// inch from the paper's corner; columns are as wide as on the screen, at 0.26
// units a pixel. The caller draws the items and starts a new page when
// pageFull() says so.
class PrintLayout {
public:
    PrintLayout(const PrintContext& context, const std::vector<int>& screenWidths);

    double scaleX() const { return m_scaleX; }
    double scaleY() const { return m_scaleY; }
    int pageHeight() const { return m_pageHeight; }
    int lineHeight() const { return m_lineHeight; }
    // The left edge of a grid column, in print units.
    int columnLeft(int gridColumn) const { return m_left[size_t(gridColumn)]; }

    // The four header lines and the grey column header row; rows follow it.
    std::vector<PrintItem> pageHeader(const QStringList& lines, const QStringList& columnTitles);
    // One row of cells at the current line, which then moves down.
    std::vector<PrintItem> row(const QStringList& cells);
    // Whether the next row belongs on a new page: below 8 units from the
    // page's foot, or where it would run into the page number.
    bool pageFull() const { return m_pageHeight - 8 < m_y || m_y + m_lineHeight > footerLine(); }
    PrintItem pageFooter(int pageNumber) const;

private:
    double footerLine() const { return m_pageHeight - 6; }
    QPoint device(double x, double y) const;
    QRect deviceRect(double left, double top, double right, double bottom) const;
    void addRow(std::vector<PrintItem>& items, const QStringList& texts, PrintItem::Kind frame) const;

    PrintContext m_context;
    double m_scaleX;
    double m_scaleY;
    int m_pageWidth;
    int m_pageHeight;
    int m_lineHeight;
    std::vector<int> m_left; // one more than there are columns: the last right edge
    double m_y = 0;
};
