// The viewer's export to files and its printout.
#include "gui/viewer/TDataForm.h"

#include "core/seams/Clock.h"
#include "core/seams/FileChooser.h"
#include "core/seams/Prompter.h"
#include "core/spending/TariffComparison.h"
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
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTableView>

#include <cmath>

namespace {
const QString ExportFilters =
    QStringLiteral("Excel Compatible File (*.prn);;Text File (*.txt);;Any File (*.*)");

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
    int filter = 1; // text
    const QString chosen = m_services.files->saveFileNameFiltered(QStringLiteral("Export Call Log File.."),
                                                                  QDir::homePath(), ExportFilters, &filter);
    if (chosen.isEmpty())
        return;
    const QString name = CallExport::fileNameFor(chosen, filter);
    // The dialog asked about the name it was given, not about the one with the extension added.
    if (name != chosen && QFileInfo::exists(name) &&
        !m_services.prompter->askYesNo(QStringLiteral("%1 already exists.\nDo you want to replace it?")
                                           .arg(QDir::toNativeSeparators(name))))
        return;

    const CallTableModel& table = m_viewer->model();
    const auto [first, last] = *rows;
    const QStringList header =
        CallExport::headerLines(false, m_services.clock->now(), selectedOnly, summaryShown(selectedOnly));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_progress->WithProgress(QStringLiteral("Exporting..."),
                             QStringLiteral("Exporting to %1..").arg(QFileInfo(name).fileName()));
    const QString message = CallExport::write(
        name, CallExport::layoutOf(table, CallExport::isCommaFile(name), !selectedOnly),
        CallExport::tableRows(table, first, last), [&header](qint64, double) { return header; },
        [this](int percent) { m_progress->setPosition(percent); });
    m_progress->hideProgress();
    QApplication::restoreOverrideCursor();
    tell(message);
}

void TDataForm::PrintSetup1Click() {
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPageSetupDialog dialog(m_printer.get(), this);
    dialog.exec();
}

void TDataForm::Print1Click() {
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        m_services.prompter->warning(QStringLiteral("No printers are installed."));
        return;
    }
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrintDialog dialog(m_printer.get(), this);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
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

void TDataForm::PrintCalls(int firstRow, int lastRow, bool selectionOnly, QPrinter& printer) {
    const QString printerName = printer.outputFileName().isEmpty()
                                    ? printer.printerName()
                                    : QDir::toNativeSeparators(printer.outputFileName());
    printer.setDocName(QStringLiteral("Dialtally Pro call log Printout"));
    QPainter painter;
    if (!painter.begin(&printer)) {
        tell(QStringLiteral("The printout cannot start on %1.").arg(printerName));
        return;
    }
    const Busy busy(*this);
    // The columns keep their screen widths on paper; a size smaller than the
    // grid's lets their texts fit between the frames.
    QFont font(DataBank->font(), &printer);
    font.setPointSizeF(7);
    painter.setFont(font);
    const QRect printable = printer.pageLayout().paintRectPixels(printer.resolution());
    const PrintContext context{printerName,
                               printable.size(),
                               printable.topLeft(),
                               double(printer.logicalDpiX()),
                               double(printer.logicalDpiY()),
                               painter.fontMetrics().height()};
    m_progress->WithProgress(QStringLiteral("Printing"), QStringLiteral("Printing on ") + printerName);

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
            printer.newPage();
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
    TCompareForm form(comparison, model.symbol(), selected, this);
    form.exec();
}
