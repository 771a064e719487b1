#include "core/viewer/CallLogViewer.h"

#include "core/calllog/CallLog.h"
#include "core/calllog/CallNumberLog.h"
#include "core/calllog/CallTotals.h"
#include "core/seams/DayCount.h"
#include "core/seams/Prompter.h"
#include "core/settings/ProgramFiles.h"
#include "core/spending/Money.h"
#include "core/storage/FixedRecordFile.h"
#include "core/viewer/CallSort.h"
#include "core/viewer/ViewerProgress.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
constexpr int RecordSize = CallRecordCodec::Size;

const QString NothingDeleted = QStringLiteral("\n\nNo call was deleted.");

// Whether a record of the log holds the very call a row shows (the two unused
// bytes aside).
bool sameCall(const CallRecord& shown, const char* logged) {
    char bytes[RecordSize];
    CallRecordCodec::write(shown, bytes);
    return std::memcmp(bytes, logged, 38) == 0 && std::memcmp(bytes + 40, logged + 40, RecordSize - 40) == 0;
}
} // namespace

QString CallLogViewer::cannotRead(const QString& path, const QString& reason) {
    return QStringLiteral("%1 cannot be read: %2").arg(QDir::toNativeSeparators(path), reason);
}

QString CallLogViewer::cannotWrite(const QString& path, const QString& reason) {
    return QStringLiteral("%1 cannot be written: %2").arg(QDir::toNativeSeparators(path), reason);
}

CallLogViewer::CallLogViewer(QString programDirectory, Prompter& prompter, ViewerProgress* progress)
    : m_directory(std::move(programDirectory)), m_prompter(prompter), m_progress(progress),
      m_model(m_layout) {}

QString CallLogViewer::filePath(const QString& name) const {
    return ProgramFiles::path(m_directory, name);
}

void CallLogViewer::setMainSymbol(const QString& mainSymbol) {
    m_symbol = viewerSymbol(mainSymbol);
}

QString CallLogViewer::LoadData() {
    const QString path = filePath(m_sortedView ? ProgramFiles::SortName : ProgramFiles::CallLogName);
    QString reason;
    const std::optional<QByteArray> bytes = FixedRecordFile(path, RecordSize).readAll(&reason);
    if (!bytes) {
        m_model.setCalls({}, {}, m_symbol);
        if (m_progress)
            m_progress->hideProgress();
        return QFile::exists(path) ? cannotRead(path, reason) : QString();
    }
    return showLogged(*bytes);
}

void CallLogViewer::showCalls(std::vector<CallRecord> calls, RateNames rates) {
    show(std::move(calls), std::move(rates));
}

RateNames CallLogViewer::loadNames(QString* failure) const {
    RateNames names = RateNames::load(ProgramFiles::rateNameStorePath(m_directory));
    // The numbers are read only for a table that shows them.
    if (m_layout.isVisible(NumberColumn)) {
        QString path, reason;
        names.numbers = std::make_shared<const NumberNames>(NumberNames::read(m_directory, &path, &reason));
        if (!path.isEmpty() && failure)
            *failure = cannotRead(path, reason);
    }
    return names;
}

QString CallLogViewer::showLogged(const QByteArray& bytes) {
    // The bar counts against the rows of the last load: the log is not counted first.
    const qint64 expected = m_model.rowCount() + 1;
    int shown = -1;
    std::vector<CallRecord> calls = CallLog::decode(bytes, [&](qsizetype done) {
        const int percent = int(std::min(100.0, std::nearbyint(double(done) / double(expected) * 100)));
        if (percent != shown && m_progress)
            m_progress->setPosition(shown = percent);
    });
    QString failure;
    RateNames names = loadNames(&failure);
    show(std::move(calls), std::move(names));
    return failure;
}

void CallLogViewer::show(std::vector<CallRecord> calls, RateNames rates) {
    m_model.setCalls(std::move(calls), std::move(rates), m_symbol);
    showTotals();
}

void CallLogViewer::showTotals() {
    MoneySum total;
    for (const CallRecord& call : m_model.calls())
        total.add(call.grossCost);
    const qint64 count = m_model.callCount();
    if (m_progress)
        m_progress->hideProgress();
    m_totalsLine = totalsText(count, total.total(), m_symbol);
}

QString CallLogViewer::totalsText(qint64 count, double total, const QString& symbol) {
    return QStringLiteral("%1 spent in %2 call%3.")
        .arg(viewerMoney(total, symbol))
        .arg(count)
        .arg(PluralSuffix(count));
}

int CallLogViewer::toggleSort(int gridIndex) {
    const int column = m_layout.columnAt(gridIndex);
    if (column == NoColumn)
        return NoColumn;
    SortAscending = SortKey == column ? !SortAscending : true;
    SortKey = column;
    return column;
}

QString CallLogViewer::QuickSort(int sortKey) {
    if (m_model.isEmptyTable())
        return {};
    const QString logPath = ProgramFiles::callLogPath(m_directory);
    QString reason;
    const std::optional<QByteArray> logged = FixedRecordFile(logPath, RecordSize).readAll(&reason);
    if (!logged)
        return cannotRead(logPath, reason);
    return sortAndShow(*logged, sortKey);
}

QString CallLogViewer::sortAndShow(const QByteArray& logged, int sortKey) {
    QString numbersFailure;
    RateNames rates = loadNames(&numbersFailure);
    if (!rates.storeOpened)
        m_prompter.beep(); // rate names then compare as empty
    std::vector<CallRecord> calls = CallLog::decode(logged);
    if (calls.empty())
        m_prompter.beep();

    std::vector<quint32> order;
    if (m_progress)
        m_progress->WithProgress(QStringLiteral("Sorting.."), QStringLiteral("Sorting Records..."));
    sortTableCalls(calls, sortKey, SortAscending, rates, order, [this](int percent) {
        if (m_progress)
            m_progress->setPosition(percent);
    });
    if (m_progress)
        m_progress->setPosition(100);

    // The calls take their rows in place: a log of a million calls is not copied again.
    std::vector<bool> placed(calls.size(), false);
    for (size_t row = 0; row < order.size(); ++row) {
        if (placed[row])
            continue;
        const CallRecord first = calls[row];
        for (size_t to = row;;) {
            placed[to] = true;
            const size_t from = order[to];
            if (from == row) {
                calls[to] = first;
                break;
            }
            calls[to] = calls[from];
            to = from;
        }
    }
    QByteArray sortedBytes(qsizetype(calls.size()) * RecordSize, Qt::Uninitialized);
    for (size_t row = 0; row < calls.size(); ++row)
        CallRecordCodec::write(calls[row], sortedBytes.data() + row * RecordSize);
    const QString sortPath = filePath(ProgramFiles::SortName);
    QString reason;
    if (!FixedRecordFile(sortPath, RecordSize).replace(sortedBytes, &reason)) {
        if (m_progress)
            m_progress->hideProgress();
        return cannotWrite(sortPath, reason);
    }
    m_rowRecordMap = std::move(order);
    m_sortedView = true;
    if (m_progress)
        m_progress->WithProgress(QStringLiteral("Reloading.."), QStringLiteral("Reloading Records..."));
    // The table shows what "Sort.log" now holds.
    show(std::move(calls), std::move(rates));
    return numbersFailure;
}

QString CallLogViewer::reload() {
    return m_sortedView ? QuickSort(SortKey) : LoadData();
}

QString CallLogViewer::deleteRows(int top, int bottom) {
    top = std::max(top, 0);
    bottom = std::min(bottom, m_model.callCount() - 1);
    if (top > bottom)
        return {};
    const FixedRecordFile log(ProgramFiles::callLogPath(m_directory), RecordSize);
    QString reason;
    std::optional<QByteArray> logged = log.readAll(&reason);
    if (!logged)
        return cannotRead(log.path(), reason) + NothingDeleted;

    // Each row names its call in the log: in a sorted view through the map,
    // otherwise by its own number. The log is only ever appended to while the
    // viewer is open, so a row whose record no longer holds its call means the
    // log was rewritten: then nothing is deleted.
    const qint64 count = logged->size() / RecordSize;
    std::vector<bool> dropped(size_t(count), false);
    for (int row = top; row <= bottom; ++row) {
        qint64 index = row;
        if (m_sortedView)
            index = size_t(row) < m_rowRecordMap.size() ? qint64(m_rowRecordMap[size_t(row)]) : -1;
        if (index < 0 || index >= count ||
            !sameCall(m_model.call(row), logged->constData() + index * RecordSize)) {
            const QString reloaded = reload();
            return QStringLiteral("%1 has changed since the table was loaded, so no call was deleted. "
                                  "The table now shows the log as it is.")
                       .arg(QDir::toNativeSeparators(log.path())) +
                   (reloaded.isEmpty() ? QString() : QStringLiteral("\n\n") + reloaded);
        }
        dropped[size_t(index)] = true;
    }

    std::vector<double> goneStarts;
    for (qint64 i = 0; i < count; ++i) {
        if (dropped[size_t(i)])
            goneStarts.push_back(CallRecordCodec::read(logged->constData() + i * RecordSize).date);
    }

    // The calls that stay close up in place, a run at a time: a million calls are not copied again.
    char* const records = logged->data();
    qint64 keptCount = 0;
    for (qint64 i = 0; i < count;) {
        qint64 end = i;
        while (end < count && !dropped[size_t(end)])
            ++end;
        if (keptCount != i)
            std::memmove(records + keptCount * RecordSize, records + i * RecordSize, (end - i) * RecordSize);
        keptCount += end - i;
        i = end + 1;
    }
    logged->truncate(keptCount * RecordSize);
    if (!log.replace(*logged, &reason))
        return cannotWrite(log.path(), reason) + NothingDeleted;
    const QString numbers = removeNumbers(std::move(goneStarts), *logged);
    if (!m_sortedView)
        return joined(numbers, showLogged(*logged));
    // The rows left are still in order, unless calls were logged since the
    // table was loaded: those have to be sorted in.
    const QString failed = count == m_model.callCount() ? showRemaining(top, bottom, dropped, *logged)
                                                        : sortAndShow(*logged, SortKey);
    if (failed.isEmpty())
        return numbers;
    // The table must not go on showing calls that are gone.
    m_sortedView = false;
    m_rowRecordMap.clear();
    SortKey = DateColumn;
    SortAscending = true;
    const QString reloaded = LoadData();
    return joined(
        joined(failed +
                   QStringLiteral("\n\nThe calls were deleted. The table shows the log in its own order."),
               reloaded),
        numbers);
}

QString CallLogViewer::removeNumbers(std::vector<double> gone, const QByteArray& remaining) const {
    // A call that stays keeps its number, even should another that went have had its start.
    std::sort(gone.begin(), gone.end());
    for (qsizetype at = 0; at + RecordSize <= remaining.size(); at += RecordSize) {
        const double start = CallRecordCodec::read(remaining.constData() + at).date;
        const auto found = std::lower_bound(gone.begin(), gone.end(), start);
        if (found != gone.end() && *found == start)
            gone.erase(found);
    }
    const CallNumberLog numbers(ProgramFiles::callNumbersPath(m_directory));
    QString reason;
    if (numbers.remove(std::move(gone), &reason))
        return {};
    return cannotWrite(numbers.path(), reason) +
           QStringLiteral("\n\nThe calls were deleted; the numbers dialled for them stay in that file.");
}

QString CallLogViewer::joined(const QString& first, const QString& second) {
    if (first.isEmpty() || second.isEmpty())
        return first + second;
    return first + QStringLiteral("\n\n") + second;
}

QString CallLogViewer::showRemaining(int top, int bottom, const std::vector<bool>& dropped,
                                     QByteArray& room) {
    // Where each call that stays now stands in the log.
    std::vector<quint32> renumbered(dropped.size());
    quint32 next = 0;
    for (size_t i = 0; i < dropped.size(); ++i) {
        renumbered[i] = next;
        next += dropped[i] ? 0 : 1;
    }
    const int rows = m_model.callCount();
    std::vector<quint32> map;
    map.reserve(size_t(rows - (bottom - top + 1)));
    // The log's bytes are written; their room takes the sorted copy's.
    room.resize(qsizetype(map.capacity()) * RecordSize);
    char* out = room.data();
    for (int row = 0; row < rows; ++row) {
        if (row == top) {
            row = bottom;
            continue;
        }
        map.push_back(renumbered[m_rowRecordMap[size_t(row)]]);
        CallRecordCodec::write(m_model.call(row), out);
        out += RecordSize;
    }
    const QString sortPath = filePath(ProgramFiles::SortName);
    QString reason;
    if (!FixedRecordFile(sortPath, RecordSize).replace(room, &reason))
        return cannotWrite(sortPath, reason);
    m_rowRecordMap = std::move(map);
    m_model.removeCalls(top, bottom);
    showTotals();
    return {};
}

bool CallLogViewer::inDateOrder() const {
    const std::vector<CallRecord>& calls = m_model.calls();
    return SortKey == DateColumn && SortAscending &&
           std::is_sorted(calls.begin(), calls.end(),
                          [](const CallRecord& a, const CallRecord& b) { return a.date < b.date; });
}

std::optional<std::pair<int, int>> CallLogViewer::periodRows(SelectionPeriod period, double now,
                                                             QString* message) const {
    const std::vector<size_t> rows = callsInPeriod(m_model.calls(), period, now);
    if (rows.empty())
        return std::nullopt;
    if (rows.back() - rows.front() + 1 != rows.size()) {
        if (message)
            *message = QStringLiteral("Some calls in the log have damaged dates, so the calls of the "
                                      "period cannot be selected together.");
        return std::nullopt;
    }
    return std::pair<int, int>(int(rows.front()), int(rows.back()));
}

QString CallLogViewer::selectionSummary(int top, int bottom) const {
    std::optional<double> total;
    if (m_layout.isVisible(CostIncTaxColumn) && !m_model.isEmptyTable())
        total = m_model.grossTotal(top, bottom);
    return summaryText(qint64(bottom) - top + 1, total, m_symbol);
}

QString CallLogViewer::summaryText(qint64 count, std::optional<double> total, const QString& symbol) {
    QString text = QStringLiteral("%1 Call%2 selected").arg(count).arg(PluralSuffix(count));
    if (total)
        text += QStringLiteral(" totalling ") + viewerMoney(*total, symbol);
    return text;
}
