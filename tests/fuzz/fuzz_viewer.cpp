// The call log through the log viewer: the load, every sort in both
// directions, the text and comma exports of the whole table, the selection
// summary, the period starts, and a deletion in a sorted view.
#include "core/calllog/RateNameStore.h"
#include "core/seams/DayCount.h"
#include "core/settings/ProgramFiles.h"
#include "core/storage/FixedRecordFile.h"
#include "core/viewer/CallExport.h"
#include "core/viewer/CallLogViewer.h"
#include "fuzz/FuzzSupport.h"

#include "fakes/FakePrompter.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

QString programDirectory() {
    const QString directory = QFileInfo(FuzzSupport::scratchPath(QStringLiteral("viewer/x"))).path();
    QDir().mkpath(directory);
    const RateNameStore store(ProgramFiles::rateNameStorePath(directory));
    for (const QString& name : {QStringLiteral("BT Saver"), QStringLiteral("Cable, \"Wireless\""),
                                QStringLiteral("\u0422\u0430\u0440\u0438\u0444")}) {
        QString reason;
        if (store.RateNameKeyFor(name, &reason) == 0)
            FuzzSupport::fail(reason);
    }
    return directory;
}

void expectNoMessage(const QString& message, const char* operation) {
    if (!message.isEmpty())
        FuzzSupport::fail(QLatin1String(operation) + QStringLiteral(": ") + message);
}

void exportEverything(const CallLogViewer& viewer, double now) {
    const int last = viewer.model().callCount() - 1;
    const QStringList header = CallExport::headerLines(false, now, true, viewer.selectionSummary(0, last));
    for (CallExport::Form form :
         {CallExport::Form::Ruled, CallExport::Form::Comma, CallExport::Form::Spreadsheet}) {
        QString reason;
        const bool written = CallExport::stream(
            CallExport::layoutOf(viewer.model(), form), CallExport::tableRows(viewer.model(), 0, last),
            [&header](qint64, double) { return header; }, [](QByteArrayView, QString*) { return true; },
            &reason);
        if (!written)
            FuzzSupport::fail(QStringLiteral("an export cannot be made: ") + reason);
    }
}

// Every call of the log shows once, in the order of the key.
void expectSorted(const CallLogViewer& viewer, int calls) {
    std::vector<quint32> order = viewer.RowRecordMap();
    std::sort(order.begin(), order.end());
    for (int i = 0; i < calls; ++i) {
        if (size_t(calls) != order.size() || order[size_t(i)] != quint32(i))
            FuzzSupport::fail(QStringLiteral("the sorted view does not show every call once"));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QString directory = programDirectory();
    static const double now = DayCount::fromDateTime(QDateTime(QDate(2026, 12, 9), QTime(15, 0)));
    const QString logPath = ProgramFiles::callLogPath(directory);
    FuzzSupport::writeFile(logPath, FuzzSupport::bytesOf(data, size));

    FakePrompter prompter;
    CallLogViewer viewer(directory, prompter);
    viewer.setMainSymbol(QStringLiteral("\u00a3"));
    expectNoMessage(viewer.LoadData(), "load");
    const int calls = int(size / CallRecordCodec::Size);
    if (viewer.model().callCount() != calls)
        FuzzSupport::fail(QStringLiteral("%1 of %2 calls shown").arg(viewer.model().callCount()).arg(calls));
    exportEverything(viewer, now);
    for (SelectionPeriod period :
         {SelectionPeriod::Today, SelectionPeriod::Week, SelectionPeriod::Month, SelectionPeriod::Year})
        viewer.periodRows(period, now);
    if (calls == 0)
        return 0;

    for (int key = DateColumn; key <= RateColumn; ++key) {
        for (bool ascending : {true, false}) {
            viewer.SortAscending = ascending;
            expectNoMessage(viewer.QuickSort(key), "sort");
            expectSorted(viewer, calls);
        }
    }
    exportEverything(viewer, now);

    expectNoMessage(viewer.deleteRows(0, 0), "delete");
    if (viewer.model().callCount() != calls - 1 ||
        FixedRecordFile(logPath, CallRecordCodec::Size).recordCount() != calls - 1)
        FuzzSupport::fail(
            QStringLiteral("deleting one call of %1 left %2").arg(calls).arg(viewer.model().callCount()));
    return 0;
}
