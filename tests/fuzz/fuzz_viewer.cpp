// The call log through the log viewer, as a user works it: the load with the
// columns and currency symbol of the settings, then, in the order the input
// chooses, sorts by any column either way (by key or by the header's toggle),
// the period selections with their summaries, exports of every layout (to
// memory or a file, all calls or a range of rows), the printout's layout,
// deletions, shown, hidden and moved columns and reloads, and at the end an
// export of what is left. An input without choices runs every sort, every
// export, the periods and one deletion.
#include "core/seams/DayCount.h"
#include "core/settings/ProgramFiles.h"
#include "core/settings/SettingsFile.h"
#include "core/settings/SettingsKeys.h"
#include "core/storage/FixedRecordFile.h"
#include "core/viewer/CallExport.h"
#include "core/viewer/CallLogViewer.h"
#include "core/viewer/PrintLayout.h"
#include "fuzz/DataFolder.h"

#include "fakes/FakePrompter.h"

#include <algorithm>

namespace {

using FuzzSupport::Choices;

constexpr CallExport::Form AllForms[] = {CallExport::Form::Ruled, CallExport::Form::Comma,
                                         CallExport::Form::Spreadsheet};

void expectNoMessage(const QString& message, const char* operation) {
    if (!message.isEmpty())
        FuzzSupport::fail(QLatin1String(operation) + QStringLiteral(": ") + message);
}

struct Rows {
    int first;
    int last;
    bool selection;
};

QStringList headerOf(const CallLogViewer& viewer, Rows rows, bool printout, double now) {
    const QString summary =
        rows.selection ? viewer.selectionSummary(rows.first, rows.last) : viewer.totalsLine();
    return CallExport::headerLines(printout, now, rows.selection, summary);
}

void exportRows(const CallLogViewer& viewer, Rows rows, CallExport::Form form, double now,
                const QString& file) {
    const QStringList header = headerOf(viewer, rows, false, now);
    const CallExport::Layout layout = CallExport::layoutOf(viewer.model(), form);
    const CallExport::CallSource source = CallExport::tableRows(viewer.model(), rows.first, rows.last);
    const auto head = [&header](qint64, double) { return header; };
    if (!file.isEmpty()) {
        expectNoMessage(CallExport::write(file, layout, source, head), "export");
        return;
    }
    QString reason;
    if (!CallExport::stream(
            layout, source, head, [](QByteArrayView, QString*) { return true; }, &reason))
        FuzzSupport::fail(QStringLiteral("an export cannot be made: ") + reason);
}

// The printout as the viewer lays it out, on a printer the input makes up
// (one that reports no page or no resolution too), each letter as wide as
// the input says.
void printRows(const CallLogViewer& viewer, Rows rows, double now, Choices& choices) {
    const CallTableModel& table = viewer.model();
    const QRect paper(0, 0, choices.number(0, 20000), choices.number(0, 20000));
    const QRect printable = paper.adjusted(choices.pick(300), choices.pick(300), -choices.pick(300), 0);
    const QRect area = PrintLayout::area(paper, printable, choices.number(0, 2400), choices.number(0, 2400));
    const int letter = choices.number(0, 60);
    PrintLayout::Metrics metrics{choices.number(0, 600), choices.number(0, 40), {}};
    QStringList titles;
    for (int i = 0; i < table.columnCount(); ++i) {
        titles << table.headerText(i);
        int widest = int(titles.last().size());
        for (int row = rows.first; row <= rows.last; ++row)
            widest = std::max(widest, int(table.cellText(row, i).size()));
        metrics.textWidths.push_back(widest * letter);
    }
    const QStringList header = headerOf(viewer, rows, true, now);
    fitPrintout([&](double points) { return PrintLayout::needed(metrics, int(points * letter)); },
                area.size(), area.size().transposed(), 9, 7);
    PrintLayout layout(area, metrics);
    layout.pageHeader(header, titles);
    int page = 1;
    for (int row = rows.first; row <= rows.last; ++row) {
        if (layout.pageFull()) {
            layout.pageFooter(page++);
            layout.pageHeader(header, titles);
        }
        QStringList cells;
        for (int i = 0; i < table.columnCount(); ++i)
            cells << table.cellText(row, i);
        layout.row(cells);
    }
    layout.pageFooter(page);
}

// Every call of the log shows once, in the order of the key.
void expectSorted(const CallLogViewer& viewer) {
    const int calls = viewer.model().callCount();
    std::vector<quint32> order = viewer.RowRecordMap();
    std::sort(order.begin(), order.end());
    for (int i = 0; i < calls; ++i) {
        if (size_t(calls) != order.size() || order[size_t(i)] != quint32(i))
            FuzzSupport::fail(QStringLiteral("the sorted view does not show every call once"));
    }
}

// The rows go from the table and from the log, and no others.
void deleteRows(CallLogViewer& viewer, const QString& logPath, int top, int bottom) {
    const int before = viewer.model().callCount();
    expectNoMessage(viewer.deleteRows(top, bottom), "delete");
    const int after = before - (bottom - top + 1);
    if (viewer.model().callCount() != after ||
        FixedRecordFile(logPath, CallRecordCodec::Size).recordCount() != after)
        FuzzSupport::fail(QStringLiteral("deleting rows %1..%2 of %3 left %4")
                              .arg(top)
                              .arg(bottom)
                              .arg(before)
                              .arg(viewer.model().callCount()));
}

void sortBy(CallLogViewer& viewer, int key) {
    viewer.SortKey = key;
    expectNoMessage(viewer.QuickSort(key), "sort");
    expectSorted(viewer);
}

// What an input of the log alone does.
void everyStep(CallLogViewer& viewer, const QString& logPath, double now) {
    const int calls = viewer.model().callCount();
    const Rows all{0, calls - 1, false};
    for (CallExport::Form form : AllForms)
        exportRows(viewer, all, form, now, {});
    for (SelectionPeriod period :
         {SelectionPeriod::Today, SelectionPeriod::Week, SelectionPeriod::Month, SelectionPeriod::Year})
        viewer.periodRows(period, now);
    if (calls == 0)
        return;
    for (int key = DateColumn; key <= RateColumn; ++key) {
        for (bool ascending : {true, false}) {
            viewer.SortAscending = ascending;
            sortBy(viewer, key);
        }
    }
    for (CallExport::Form form : AllForms)
        exportRows(viewer, all, form, now, {});
    deleteRows(viewer, logPath, 0, 0);
}

// Rows first..last of the table, both chosen.
Rows someRows(const CallLogViewer& viewer, Choices& choices) {
    const int last = viewer.model().callCount() - 1;
    const int first = choices.number(0, std::max(last, 0));
    return {first, std::min(last, first + choices.number(0, std::max(last, 0))), true};
}

enum Step {
    SortByKey,
    SortByHeader,
    Period,
    Delete,
    Export,
    Print,
    ShowColumn,
    MoveColumn,
    Reload,
    StepCount
};

void chosenSteps(CallLogViewer& viewer, const DataFolder& folder, double now, Choices& choices) {
    const QString logPath = ProgramFiles::callLogPath(folder.path());
    for (int step = 0; step < 16 && choices.left(); ++step) {
        const bool empty = viewer.model().isEmptyTable();
        switch (Step(choices.pick(StepCount))) {
        case SortByKey:
            viewer.SortAscending = choices.flag();
            sortBy(viewer, choices.pick(ViewerColumnCount) + 1);
            break;
        case SortByHeader:
            if (!empty && viewer.toggleSort(choices.pick(viewer.model().columnCount())) != NoColumn)
                sortBy(viewer, viewer.SortKey);
            break;
        case Period: {
            // A period's rows follow one another only in date order.
            if (!viewer.layout().isVisible(DateColumn) || empty)
                break;
            if (!viewer.inDateOrder()) {
                viewer.SortAscending = true;
                sortBy(viewer, DateColumn);
            }
            const auto rows = viewer.periodRows(SelectionPeriod(choices.pick(4)), now);
            if (!rows)
                break;
            const Rows selected{rows->first, rows->second, true};
            exportRows(viewer, selected, AllForms[choices.pick(3)], now, {});
            if (choices.flag())
                deleteRows(viewer, logPath, rows->first, rows->second);
            break;
        }
        case Delete:
            if (!empty) {
                const Rows rows = someRows(viewer, choices);
                deleteRows(viewer, logPath, rows.first, rows.last);
            }
            break;
        case Export: {
            const Rows rows = choices.flag() && !empty ? someRows(viewer, choices)
                                                       : Rows{0, viewer.model().callCount() - 1, false};
            const int form = choices.pick(3);
            exportRows(viewer, rows, AllForms[form], now,
                       choices.flag() ? folder.file(QStringList{"out.txt", "out.prn", "out.csv"}[form])
                                      : QString());
            break;
        }
        case Print:
            printRows(viewer,
                      choices.flag() && !empty ? someRows(viewer, choices)
                                               : Rows{0, viewer.model().callCount() - 1, false},
                      now, choices);
            break;
        case ShowColumn:
            // As the window does: the table is loaded again with the new columns.
            viewer.layout().toggleColumn(choices.pick(ViewerColumnCount) + 1);
            expectNoMessage(viewer.LoadData(), "load");
            break;
        case MoveColumn:
            viewer.layout().columnMoved(choices.pick(viewer.model().columnCount()),
                                        choices.pick(viewer.model().columnCount()));
            viewer.model().columnsMoved();
            break;
        case Reload:
        case StepCount:
            expectNoMessage(viewer.LoadData(), "load");
            break;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static DataFolder folder(QStringLiteral("viewer"));
    const QByteArrayView input = FuzzSupport::bytesOf(data, size);
    DataFolder::Filled filled = folder.fill(input);
    const double now = filled.now;

    FakePrompter prompter;
    CallLogViewer viewer(folder.path(), prompter);
    const SettingsFile settings(ProgramFiles::settingsPath(folder.path()));
    viewer.layout().read(settings);
    viewer.setMainSymbol(settings.ReadSettingString(SettingsKeys::DefaultsSection, SettingsKeys::MainSymbol,
                                                    SettingsKeys::DefaultMainSymbol));
    expectNoMessage(viewer.LoadData(), "load");
    const qsizetype logSize = FuzzSupport::parts(input).constFirst().size();
    if (viewer.model().callCount() != logSize / CallRecordCodec::Size)
        FuzzSupport::fail(QStringLiteral("%1 of %2 calls shown")
                              .arg(viewer.model().callCount())
                              .arg(logSize / CallRecordCodec::Size));
    if (filled.choices) {
        chosenSteps(viewer, folder, now, *filled.choices);
        // Whatever the steps did, what is left is exported in every layout.
        for (CallExport::Form form : AllForms)
            exportRows(viewer, {0, viewer.model().callCount() - 1, false}, form, now, {});
    } else
        everyStep(viewer, ProgramFiles::callLogPath(folder.path()), now);
    return 0;
}
