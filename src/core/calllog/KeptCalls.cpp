#include "core/calllog/KeptCalls.h"

#include "core/calllog/CallLog.h"
#include "core/calllog/RateNameStore.h"
#include "core/settings/ProgramFiles.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>

namespace {
// What makes a record one call: every field but the rate-name key, which a
// kept call is only given on its way to the log.
QByteArray identityOf(CallRecord record) {
    record.rateNameKey = 0;
    return CallRecordCodec::write(record);
}
} // namespace

KeptCalls::KeptCalls(QString dataDirectory, const QString& stateDirectory)
    : m_dataDirectory(std::move(dataDirectory)), m_file(m_dataDirectory, stateDirectory) {}

bool KeptCalls::takeWaiting(QString* reason) {
    if (m_tookWaiting)
        return true;
    m_tookWaiting = true;
    if (!m_file.exists())
        return true;
    QString why;
    std::optional<RecoveryFile::Contents> contents = m_file.load(&why);
    if (!contents) {
        QString asideWhy;
        if (const std::optional<QString> aside = m_file.setAside(&asideWhy)) {
            why += QStringLiteral("; it is now %1").arg(*aside);
        } else {
            m_blockedReason = QStringLiteral("%1: %2").arg(m_file.path(), why);
            why += QStringLiteral("; it is left as it is (%1)").arg(asideWhy);
        }
        if (reason)
            *reason = why;
        return false;
    }
    m_calls.insert(m_calls.begin(), contents->calls.begin(), contents->calls.end());
    m_maybeLogged = m_inFile = qsizetype(contents->calls.size());
    m_ownsFile = true;
    m_why = contents->why;
    return true;
}

bool KeptCalls::dropLogged(QString* reason) {
    if (m_maybeLogged == 0)
        return true;
    // Only a regular file can hold them; anything else fails the append with its own reason.
    const CallLog log(ProgramFiles::callLogPath(m_dataDirectory));
    if (!QFileInfo(log.path()).isFile())
        return true;
    QSet<QByteArray> notLogged;
    for (qsizetype i = 0; i < m_maybeLogged; ++i)
        notLogged.insert(identityOf(m_calls[size_t(i)].record));
    if (!log.forEach([&](const CallRecord& record) { notLogged.remove(identityOf(record)); }, reason))
        return false;
    const auto unsureEnd = m_calls.begin() + m_maybeLogged;
    const auto kept = std::stable_partition(m_calls.begin(), unsureEnd, [&](const KeptCall& call) {
        return notLogged.contains(identityOf(call.record));
    });
    // The program may have ended between a call and its number.
    for (auto it = kept; it != unsureEnd; ++it) {
        if (!it->number.isEmpty())
            m_maybeNumbered.push_back({it->record.date, it->number});
    }
    const qsizetype dropped = unsureEnd - kept;
    m_calls.erase(kept, unsureEnd);
    m_inFile = std::max<qsizetype>(0, m_inFile - dropped);
    m_maybeLogged = 0;
    return true;
}

bool KeptCalls::writeNumbers(const std::vector<KeptCall>& logged, QString* reason) {
    const CallNumberLog numbers(ProgramFiles::callNumbersPath(m_dataDirectory));
    std::vector<CallNumber> entries;
    if (!m_maybeNumbered.empty()) {
        QSet<QByteArray> written;
        const auto key = [](const CallNumber& entry) {
            QByteArray bytes(CallNumberCodec::Size, Qt::Uninitialized);
            CallNumberCodec::write(entry, bytes.data());
            return bytes;
        };
        numbers.forEach([&](const CallNumber& entry) { written.insert(key(entry)); });
        for (const CallNumber& entry : m_maybeNumbered) {
            if (!written.contains(key(entry)))
                entries.push_back(entry);
        }
    }
    for (const KeptCall& call : logged) {
        if (!call.number.isEmpty())
            entries.push_back({call.record.date, call.number});
    }
    m_maybeNumbered.clear();
    return entries.empty() || numbers.append(entries, reason);
}

std::optional<KeptCalls::Failure> KeptCalls::write(qsizetype* written, QString* numbersLost) {
    // Calls left in the recovery file by an earlier run go first: they ended first.
    takeWaiting();
    if (written)
        *written = 0;
    const CallLog log(ProgramFiles::callLogPath(m_dataDirectory));
    const RateNameStore names(ProgramFiles::rateNameStorePath(m_dataDirectory));
    Failure failure;
    std::vector<CallRecord> records;
    if (!dropLogged(&failure.reason)) {
        failure.file = log.path();
    } else {
        QHash<QString, quint16> keys;
        for (const KeptCall& call : m_calls) {
            auto known = keys.constFind(call.rateName);
            if (known == keys.cend()) {
                const quint16 key = names.RateNameKeyFor(call.rateName, &failure.reason);
                if (key == 0) {
                    failure.file = names.path();
                    break;
                }
                known = keys.insert(call.rateName, key);
            }
            records.push_back(call.record);
            records.back().rateNameKey = *known;
        }
    }
    if (failure.file.isEmpty()) {
        if (records.empty() || log.append(records, &failure.reason)) {
            if (written)
                *written = qsizetype(records.size());
            QString reason;
            if (!writeNumbers(m_calls, &reason) && numbersLost)
                *numbersLost =
                    QStringLiteral("%1: %2").arg(ProgramFiles::callNumbersPath(m_dataDirectory), reason);
            m_calls.clear();
            m_maybeLogged = m_inFile = 0;
            // A file that stays (it cannot be removed) does no harm: its calls
            // are found in the log at the next start.
            if (m_ownsFile)
                m_file.remove();
            m_ownsFile = false;
            return std::nullopt;
        }
        failure.file = log.path();
        // A failed append is cut back, but should the cut itself fail, whole
        // records could stay: the next write looks for them first.
        m_maybeLogged = size();
    }

    QString why;
    if (!m_blockedReason.isEmpty()) {
        failure.keepReason = m_blockedReason;
    } else if (m_file.save(m_calls, QStringLiteral("%1: %2").arg(failure.file, failure.reason), &why)) {
        m_inFile = size();
        m_ownsFile = true;
    } else {
        failure.keepReason = m_file.path().isEmpty() ? why : QStringLiteral("%1: %2").arg(m_file.path(), why);
    }
    failure.lost = size() - m_inFile;
    return failure;
}

KeptCalls::Report KeptCalls::recoverAtStart(const QString& dataDirectory, const QString& stateDirectory) {
    const CallLog log(ProgramFiles::callLogPath(dataDirectory));
    log.file().repairTail();
    CallNumberLog(ProgramFiles::callNumbersPath(dataDirectory)).file().repairTail();
    KeptCalls kept(dataDirectory, stateDirectory);
    if (!kept.m_file.exists())
        return {};
    const QString path = kept.m_file.path();
    QString reason;
    if (!kept.takeWaiting(&reason))
        return {QStringLiteral("%1: %2\n\nThe calls kept in it cannot be read.").arg(path, reason), true};
    qsizetype written = 0;
    QString numbersLost;
    if (const std::optional<Failure> failure = kept.write(&written, &numbersLost)) {
        return {QStringLiteral("%1: %2\n\n%3 call(s) kept in %4 could not be added to the log. They stay "
                               "kept and will be written with the next call.")
                    .arg(failure->file, failure->reason)
                    .arg(kept.size())
                    .arg(path),
                true};
    }
    if (written == 0)
        return {};
    return {
        QStringLiteral("%1 call(s) kept in %2 have been added to %3.\n\nThey could not be logged before: %4")
                .arg(written)
                .arg(path, log.path(), kept.m_why) +
            (numbersLost.isEmpty() ? QString()
                                   : QStringLiteral("\n\nTheir numbers could not be kept: ") + numbersLost),
        !numbersLost.isEmpty()};
}
