#include "fuzz/DataFolder.h"

#include "core/calllog/RateNameStore.h"
#include "core/seams/DayCount.h"
#include "core/settings/ProgramFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

using FuzzSupport::Choices;

// A local moment between 1900 and 2079, to the second.
double moment(Choices& choices) {
    const int day = choices.number(1, 65535);
    const int second = choices.pick(24) * 3600 + choices.number(0, 3599);
    return DayCount::fromMs(qint64(day) * DayCount::MsPerDay + qint64(second) * 1000);
}

} // namespace

DataFolder::DataFolder(const QString& name)
    : m_path(QFileInfo(FuzzSupport::scratchPath(name + QStringLiteral("/x"))).path()) {
    QDir().mkpath(m_path);
    const RateNameStore store(ProgramFiles::rateNameStorePath(m_path));
    for (const QString& rate : RateNames) {
        QString reason;
        if (store.RateNameKeyFor(rate, &reason) == 0)
            FuzzSupport::fail(reason);
    }
    QFile written(store.path());
    if (!written.open(QIODevice::ReadOnly))
        FuzzSupport::fail(store.path() + QStringLiteral(": ") + written.errorString());
    m_defaultStore = written.readAll();
}

QString DataFolder::file(const QString& name) const {
    return ProgramFiles::path(m_path, name);
}

DataFolder::Filled DataFolder::fill(QByteArrayView input) {
    QDir folder(m_path);
    for (const QString& left : folder.entryList(QDir::Files | QDir::Hidden))
        folder.remove(left);
    m_written.clear();
    const QList<QByteArrayView> parts = FuzzSupport::parts(input);
    const auto place = [&](qsizetype i, const QString& path) {
        if (i < parts.size())
            write(path, parts[i]);
    };
    Filled filled{std::nullopt, DayCount::fromDateTime(QDateTime(QDate(2026, 12, 9), QTime(15, 0)))};
    if (parts.size() > 1) {
        filled.choices.emplace(parts[1]);
        filled.now = moment(*filled.choices);
    }
    place(0, ProgramFiles::callLogPath(m_path));
    if (parts.size() > 2)
        place(2, ProgramFiles::rateNameStorePath(m_path));
    else
        write(ProgramFiles::rateNameStorePath(m_path), m_defaultStore);
    place(3, ProgramFiles::settingsPath(m_path));
    for (qsizetype i = 0; i < Files.size(); ++i)
        place(4 + i, file(Files[i]));
    return filled;
}

void DataFolder::write(const QString& path, QByteArrayView bytes) {
    FuzzSupport::writeFile(path, bytes);
    m_written.insert(path, bytes.toByteArray());
}

QString DataFolder::changedFile() const {
    for (auto it = m_written.cbegin(); it != m_written.cend(); ++it) {
        QFile file(it.key());
        if (!file.open(QIODevice::ReadOnly) || file.readAll() != it.value())
            return it.key();
    }
    return {};
}
