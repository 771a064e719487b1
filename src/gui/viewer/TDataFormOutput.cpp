// The viewer's export to files and its printout.
#include "gui/viewer/TDataForm.h"

#include "core/seams/Clock.h"
#include "core/seams/FileChooser.h"
#include "core/seams/Prompter.h"
#include "core/spending/TariffComparison.h"
#include "core/storage/AtomicFileDevice.h"
#include "core/viewer/CallExport.h"
#include "core/viewer/PrintLayout.h"
#include "gui/spending/TCompareForm.h"
#include "gui/viewer/TProgressForm.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTableView>

#include <cmath>

namespace {
const QString DocumentName = QStringLiteral("Dialtally Pro call log Printout");

void draw(QPainter& painter, const PrintItem& item) {
    switch (item.kind) {
    case PrintItem::Text:
        painter.drawText(QRect(item.rect.topLeft(), QSize(1 << 20, item.rect.height() * 2)),
                         Qt::AlignLeft | Qt::AlignTop, item.text);
        break;
    case PrintItem::ClippedText:
        painter.save();
        painter.setClipRect(item.rect);
        painter.drawText(item.rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, item.text);
        painter.restore();
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
} // namespace

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
        name, CallExport::layoutOf(table, CallExport::isCommaFile(name)),
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
    QPainter painter;
    if (!painter.begin(&printer)) {
        tell(QStringLiteral("The printout cannot start on %1.").arg(printer.printerName()));
        return;
    }
    paintCalls(painter, printer, firstRow, lastRow, selectionOnly, printer.printerName());
}

void TDataForm::writePdf(const QString& path, int firstRow, int lastRow, bool selectionOnly,
                         const QPageLayout& page) {
    // Written as every export is: a failure leaves the old file as it was.
    const QString name = QDir::toNativeSeparators(path);
    AtomicFileDevice file(path);
    if (file.open(QIODevice::WriteOnly)) {
        QPdfWriter pdf(&file);
        pdf.setTitle(DocumentName);
        pdf.setCreator(QStringLiteral("Dialtally Pro v1.0"));
        pdf.setPageLayout(page);
        QPainter painter;
        if (!painter.begin(&pdf)) {
            tell(QStringLiteral("The printout cannot start on %1.").arg(name));
            return;
        }
        paintCalls(painter, pdf, firstRow, lastRow, selectionOnly, name);
    }
    if (!file.commit())
        tell(CallLogViewer::cannotWrite(path, file.errorString()));
}

void TDataForm::paintCalls(QPainter& painter, QPagedPaintDevice& device, int firstRow, int lastRow,
                           bool selectionOnly, const QString& deviceName) {
    const Busy busy(*this);
    // The columns keep their screen widths on paper; a size smaller than the
    // grid's lets their texts fit between the frames.
    QFont font(DataBank->font(), &device);
    font.setPointSizeF(7);
    painter.setFont(font);
    const QRect printable = device.pageLayout().paintRectPixels(device.logicalDpiX());
    const PrintContext context{deviceName,
                               printable.size(),
                               printable.topLeft(),
                               double(device.logicalDpiX()),
                               double(device.logicalDpiY()),
                               painter.fontMetrics().height()};
    m_progress->WithProgress(QStringLiteral("Printing"), QStringLiteral("Printing on ") + deviceName);

    const CallTableModel& table = m_viewer->model();
    std::vector<int> widths;
    QStringList titles;
    for (int i = 0; i < table.columnCount(); ++i) {
        widths.push_back(DataBank->horizontalHeader()->sectionSize(i));
        titles << table.headerText(i);
    }
    PrintLayout layout(context, widths);
    painter.setPen(QPen(Qt::black, std::max(1.0, layout.scaleX() * 0.15)));
    painter.setBrush(Qt::NoBrush);
    const QStringList header =
        CallExport::headerLines(true, m_services.clock->now(), selectionOnly, summaryShown(selectionOnly));
    draw(painter, layout.pageHeader(header, titles));
    int page = 1;
    for (int row = firstRow; row <= lastRow; ++row) {
        if (layout.pageFull()) {
            draw(painter, layout.pageFooter(page++));
            device.newPage();
            draw(painter, layout.pageHeader(header, titles));
        }
        m_progress->setPosition(int(std::nearbyint((row - firstRow + 1) * 100.0 / (lastRow - firstRow + 1))));
        QStringList cells;
        for (int i = 0; i < table.columnCount(); ++i)
            cells << table.cellText(row, i);
        draw(painter, layout.row(cells));
    }
    draw(painter, layout.pageFooter(page));
    painter.end();
    m_progress->hideProgress();
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
