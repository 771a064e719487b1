// The viewer's export to files and its printout.
#include "gui/viewer/TDataForm.h"

#include "core/seams/Clock.h"
#include "core/seams/FileChooser.h"
#include "core/seams/Prompter.h"
#include "core/settings/OwnFiles.h"
#include "core/spending/TariffComparison.h"
#include "core/storage/AtomicFileDevice.h"
#include "core/viewer/CallExport.h"
#include "core/viewer/PrintLayout.h"
#include "gui/spending/TCompareForm.h"
#include "gui/viewer/TProgressForm.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTableView>

#include <algorithm>
#include <cmath>

namespace {
const QString DocumentName = QStringLiteral("Dialtally Pro call log Printout");

// The printout's type: the grid's, at the user's size within these, made
// smaller down to LeastType to fit the page, and smaller still only when even
// the turned page cannot take the table.
constexpr double SmallestPreferredType = 9;
constexpr double LargestPreferredType = 12;
constexpr double LeastType = 7;
// A row's height for the height of its type, and the blank either side of a cell's text, in blanks.
constexpr double RowSpacing = 1.25;
constexpr double CellPadding = 1;

void draw(QPainter& painter, const PrintItem& item) {
    // Texts are never clipped: the layout makes room for them.
    constexpr int Whole = Qt::TextDontClip | Qt::TextSingleLine;
    switch (item.kind) {
    case PrintItem::Text:
    case PrintItem::CellText:
        painter.drawText(item.rect, Qt::AlignLeft | Qt::AlignVCenter | Whole, item.text);
        break;
    case PrintItem::CentredText:
        painter.drawText(item.rect, Qt::AlignCenter | Whole, item.text);
        break;
    case PrintItem::Frame:
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(item.rect);
        break;
    case PrintItem::GreyFrame:
        painter.setBrush(QColor(192, 192, 192));
        painter.drawRect(item.rect);
        painter.setBrush(Qt::NoBrush);
        break;
    }
}

void draw(QPainter& painter, const std::vector<PrintItem>& items) {
    for (const PrintItem& item : items)
        draw(painter, item);
}

QPageLayout turnedPage(QPageLayout page) {
    page.setOrientation(page.orientation() == QPageLayout::Portrait ? QPageLayout::Landscape
                                                                    : QPageLayout::Portrait);
    return page;
}
} // namespace

QString TDataForm::ownFileMessage(const QString& path) const {
    const auto own = OwnFiles::at(path, m_services.programDirectory, m_services.stateDirectory);
    if (!own)
        return {};
    const QString name = QDir::toNativeSeparators(path);
    const QString file = QDir::toNativeSeparators(own->path);
    return QStringLiteral("%1 is %2%3. An export never writes over the program's own files: "
                          "choose another name.")
        .arg(name, own->what, file == name ? QString() : QLatin1Char(' ') + file);
}

QString TDataForm::summaryShown(bool selectionOnly) const {
    return selectionOnly ? SelectedAmount->text() : TotalCostLabel->text();
}

void TDataForm::ExportAllClick() {
    exportCalls(false);
}

void TDataForm::ExportSelectedClick() {
    exportCalls(true);
}

std::optional<std::pair<int, int>> TDataForm::outputRows(bool selectedOnly) {
    if (!selectedOnly)
        return std::pair<int, int>(0, m_viewer->model().rowCount() - 1);
    const std::optional<std::pair<int, int>> rows = selectedRows();
    if (!rows)
        m_services.prompter->warning(QStringLiteral("No calls selected"));
    return rows;
}

void TDataForm::exportCalls(bool selectedOnly) {
    const std::optional<std::pair<int, int>> rows = outputRows(selectedOnly);
    if (!rows)
        return;
    int filter = CallExport::TextFilter;
    const QString chosen = m_services.files->saveFileNameFiltered(
        QStringLiteral("Export Call Log File.."), QDir::homePath(), CallExport::fileFilters(), &filter);
    if (chosen.isEmpty())
        return;
    const QString name = CallExport::fileNameFor(chosen, filter);
    if (const QString own = ownFileMessage(name); !own.isEmpty()) {
        tell(own);
        return;
    }
    if (!FileChooser::mayReplace(chosen, name, *m_services.prompter))
        return;

    const CallTableModel& table = m_viewer->model();
    const auto [first, last] = *rows;
    const QStringList header =
        CallExport::headerLines(false, m_services.clock->now(), selectedOnly, summaryShown(selectedOnly));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_progress->WithProgress(QStringLiteral("Exporting..."),
                             QStringLiteral("Exporting to %1..").arg(QFileInfo(name).fileName()));
    const QString message = CallExport::write(
        name, CallExport::layoutOf(table, CallExport::formFor(name)),
        CallExport::tableRows(table, first, last), [&header](qint64, double) { return header; },
        [this](int percent) { m_progress->setPosition(percent); });
    m_progress->hideProgress();
    QApplication::restoreOverrideCursor();
    tell(message);
}

QPrinter& TDataForm::printer() {
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        // Printing to a file offers a file named after the printout.
        m_printer->setDocName(DocumentName);
    }
    return *m_printer;
}

void TDataForm::PrintSetup1Click() {
    // The paper, its orientation and margins, for the printer or the PDF file alike.
    QPageSetupDialog dialog(&printer(), this);
    dialog.exec();
}

void TDataForm::Print1Click() {
    // With no printer installed the dialog still offers printing to a PDF file.
    QPrintDialog dialog(&printer(), this);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, selectedRows().has_value());
    dialog.setPrintRange(SelectedRecordsPanel->isVisible() ? QAbstractPrintDialog::Selection
                                                           : QAbstractPrintDialog::AllPages);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const bool selection = dialog.printRange() == QAbstractPrintDialog::Selection;
    if (const auto rows = outputRows(selection))
        PrintCalls(rows->first, rows->second, selection, *m_printer);
}

void TDataForm::ExportPdfClick() {
    const bool selection = SelectedRecordsPanel->isVisible();
    const std::optional<std::pair<int, int>> rows = outputRows(selection);
    if (!rows)
        return;
    const QString chosen =
        m_services.files->saveFileName(QStringLiteral("Export to PDF.."), QDir::homePath(),
                                       QStringLiteral("PDF File (*.pdf)"), QStringLiteral("pdf"));
    if (!chosen.isEmpty())
        writePdf(chosen, rows->first, rows->second, selection, printer().pageLayout());
}

void TDataForm::PrintCalls(int firstRow, int lastRow, bool selectionOnly, QPrinter& printer) {
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        writePdf(printer.outputFileName(), firstRow, lastRow, selectionOnly, printer.pageLayout());
        return;
    }
    printer.setDocName(DocumentName);
    // A page turned for this printout is not the user's choice for the next.
    const QPageLayout chosen = printer.pageLayout();
    if (!paintCalls(printer, firstRow, lastRow, selectionOnly, printer.printerName()))
        tell(QStringLiteral("The printout cannot start on %1.").arg(printer.printerName()));
    printer.setPageLayout(chosen);
}

void TDataForm::writePdf(const QString& path, int firstRow, int lastRow, bool selectionOnly,
                         const QPageLayout& page) {
    if (const QString own = ownFileMessage(path); !own.isEmpty()) {
        tell(own);
        return;
    }
    // Written as every export is: a failure leaves the old file as it was.
    const QString name = QDir::toNativeSeparators(path);
    AtomicFileDevice file(path);
    if (file.open(QIODevice::WriteOnly)) {
        QPdfWriter pdf(&file);
        pdf.setTitle(DocumentName);
        pdf.setCreator(QStringLiteral("Dialtally Pro v1.0"));
        pdf.setPageLayout(page);
        if (!paintCalls(pdf, firstRow, lastRow, selectionOnly, name)) {
            tell(QStringLiteral("The printout cannot start on %1.").arg(name));
            return;
        }
    }
    if (!file.commit())
        tell(CallLogViewer::cannotWrite(path, file.errorString()));
}

bool TDataForm::paintCalls(QPagedPaintDevice& device, int firstRow, int lastRow, bool selectionOnly,
                           const QString& deviceName) {
    const Busy busy(*this);
    const CallTableModel& table = m_viewer->model();
    const QStringList header =
        CallExport::headerLines(true, m_services.clock->now(), selectionOnly, summaryShown(selectionOnly));
    QStringList titles;
    for (int i = 0; i < table.columnCount(); ++i)
        titles << table.headerText(i);

    // The type is measured as the device will print it.
    const auto typeOf = [&device, base = DataBank->font()](double pointSize) {
        QFont font(base, &device);
        font.setPointSizeF(pointSize);
        return font;
    };
    const auto metricsOf = [&](const QFont& font) {
        const QFontMetricsF metrics(font, &device);
        PrintLayout::Metrics measured{int(std::ceil(metrics.height() * RowSpacing)),
                                      int(std::ceil(metrics.horizontalAdvance(u' ') * CellPadding)),
                                      {}};
        for (int i = 0; i < titles.size(); ++i) {
            double widest = metrics.horizontalAdvance(titles[i]);
            for (const QString& text : widestTexts(i, metrics))
                widest = std::max(widest, metrics.horizontalAdvance(text));
            measured.textWidths.push_back(int(std::ceil(widest)));
        }
        return measured;
    };
    const auto headerWidthOf = [&](const QFont& font) {
        const QFontMetricsF metrics(font, &device);
        double widest = 0;
        for (const QString& line : header)
            widest = std::max(widest, metrics.horizontalAdvance(line));
        return int(std::ceil(widest));
    };
    const int dpiX = device.logicalDpiX();
    const int dpiY = device.logicalDpiY();
    const auto areaOf = [dpiX, dpiY](const QPageLayout& page) {
        return PrintLayout::area(page.fullRectPixels(dpiX), page.paintRectPixels(dpiX), dpiX, dpiY);
    };
    const QPageLayout page = device.pageLayout();
    const QPageLayout turned = turnedPage(page);
    const double userType = DataBank->font().pointSizeF();
    const PrintFit fit = fitPrintout(
        [&](double pointSize) {
            const QFont font = typeOf(pointSize);
            return PrintLayout::needed(metricsOf(font), headerWidthOf(font));
        },
        areaOf(page).size(), areaOf(turned).size(),
        std::clamp(userType, SmallestPreferredType, LargestPreferredType), LeastType);
    if (fit.turned)
        device.setPageLayout(turned);

    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const QFont font = typeOf(fit.pointSize);
    painter.setFont(font);
    PrintLayout layout(areaOf(fit.turned ? turned : page), metricsOf(font));
    m_progress->WithProgress(QStringLiteral("Printing"), QStringLiteral("Printing on ") + deviceName);
    // Rules of 0.4 point, at least one device pixel.
    painter.setPen(QPen(Qt::black, std::max(1.0, dpiX / 180.0)));
    painter.setBrush(Qt::NoBrush);
    draw(painter, layout.pageHeader(header, titles));
    int pageNumber = 1;
    for (int row = firstRow; row <= lastRow; ++row) {
        if (layout.pageFull()) {
            draw(painter, layout.pageFooter(pageNumber++));
            device.newPage();
            draw(painter, layout.pageHeader(header, titles));
        }
        m_progress->setPosition(int(std::nearbyint((row - firstRow + 1) * 100.0 / (lastRow - firstRow + 1))));
        QStringList cells;
        for (int i = 0; i < table.columnCount(); ++i)
            cells << table.cellText(row, i);
        draw(painter, layout.row(cells));
    }
    draw(painter, layout.pageFooter(pageNumber));
    painter.end();
    m_progress->hideProgress();
    return true;
}

void TDataForm::CompareTariffsClick() {
    const CallTableModel& model = m_viewer->model();
    // The calls the selection panel tells of, else the whole log.
    const std::optional<std::pair<int, int>> highlighted = selectedRows();
    const bool selected = SelectedRecordsPanel->isVisible() && highlighted && !model.isEmptyTable();
    const auto [top, bottom] = selected ? *highlighted : std::pair(0, model.callCount() - 1);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    TariffComparison comparison(m_services.programDirectory,
                                TariffComparison::activeRateName(m_services.programDirectory));
    for (int row = top; row <= bottom; ++row)
        comparison.add(model.call(row));
    QApplication::restoreOverrideCursor();
    TCompareForm form(comparison, model.symbol(), selected, m_services.help, this);
    form.exec();
}
