#include "core/viewer/CallLogViewer.h"

#include "core/calllog/CallLog.h"
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
    showLogged(*bytes);
    return {};
}

void CallLogViewer::showCalls(std::vector<CallRecord> calls, RateNames rates) {
    show(std::move(calls), std::move(rates));
}

void CallLogViewer::showLogged(const QByteArray& bytes) {
    // The bar counts against the rows of the last load: the log is not counted first.
    const qint64 expected = m_model.rowCount() + 1;
    int shown = -1;
    std::vector<CallRecord> calls = CallLog::decode(bytes, [&](qsizetype done) {
        const int percent = int(std::min(100.0, std::nearbyint(double(done) / double(expected) * 100)));
        if (percent != shown && m_progress)
            m_progress->setPosition(shown = percent);
    });
    show(std::move(calls), RateNames::load(ProgramFiles::rateNameStorePath(m_directory)));
}

void CallLogViewer::show(std::vector<CallRecord> calls, RateNames rates) {
    MoneySum total;
    for (const CallRecord& call : calls)
        total.add(call.grossCost);
    const qint64 count = qint64(calls.size());
    m_model.setCalls(std::move(calls), std::move(rates), m_symbol);
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
    RateNames rates = RateNames::load(ProgramFiles::rateNameStorePath(m_directory));
    if (!rates.storeOpened)
        m_prompter.beep(); // rate names then compare as empty
    std::vector<CallRecord> calls = CallLog::decode(logged);
    if (calls.empty())
        m_prompter.beep();

    std::vector<quint32> order;
    if (m_progress)
        m_progress->WithProgress(QStringLiteral("Sorting.."), QStringLiteral("Sorting Records..."));
    sortCalls(calls, sortKey, SortAscending, rates.names, order, [this](int percent) {
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
    return {};
}

QString CallLogViewer::reload() {
    return m_sortedView ? QuickSort(SortKey) : LoadData();
}

QString CallLogViewer::deleteRows(int top, int bottom) {
    if (m_model.isEmptyTable())
        return {};
    const FixedRecordFile log(ProgramFiles::callLogPath(m_directory), RecordSize);
    QString reason;
    const std::optional<QByteArray> logged = log.readAll(&reason);
    if (!logged)
        return cannotRead(log.path(), reason) + NothingDeleted;

    // Each row names its call in the log: in a sorted view through the map,
    // otherwise by its own number. The log is only ever appended to while the
    // viewer is open, so a row whose record no longer holds its call means the
    // log was rewritten: then nothing is deleted.
    const qint64 count = logged->size() / RecordSize;
    std::vector<bool> dropped(size_t(count), false);
    top = std::max(top, 0);
    bottom = std::min(bottom, m_model.callCount() - 1);
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

    QByteArray kept;
    kept.reserve(logged->size());
    for (qint64 i = 0; i < count; ++i) {
        if (!dropped[size_t(i)])
            kept.append(logged->constData() + i * RecordSize, RecordSize);
    }
    if (!log.replace(kept, &reason))
        return cannotWrite(log.path(), reason) + NothingDeleted;
    if (m_sortedView)
        return sortAndShow(kept, SortKey);
    showLogged(kept);
    return {};
}

std::optional<int> CallLogViewer::periodStart(SelectionPeriod period, double now) const {
    const std::optional<size_t> row = firstCallOfPeriod(m_model.calls(), period, now);
    return row ? std::optional<int>(int(*row)) : std::nullopt;
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
