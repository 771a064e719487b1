// The command line's reports and exports of a call log, as a script runs them,
// with the output kept in memory.
#include "cli/LogCommands.h"
#include "core/calllog/CallRecord.h"
#include "core/calllog/RateNameStore.h"
#include "core/seams/DayCount.h"
#include "core/settings/ProgramFiles.h"
#include "fuzz/FuzzSupport.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString programDirectory() {
    const QString directory = QFileInfo(FuzzSupport::scratchPath(QStringLiteral("reports/x"))).path();
    QDir().mkpath(directory);
    const RateNameStore store(ProgramFiles::rateNameStorePath(directory));
    for (const QString& name :
         {QStringLiteral("BT Saver"), QStringLiteral("\u0422\u0430\u0440\u0438\u0444")}) {
        QString reason;
        if (store.RateNameKeyFor(name, &reason) == 0)
            FuzzSupport::fail(reason);
    }
    return directory;
}

struct Command {
    QStringList words;
    bool toTerminal = false;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QString directory = programDirectory();
    static const double now = DayCount::fromDateTime(QDateTime(QDate(2026, 12, 9), QTime(15, 0)));
    static const QList<Command> commands = {
        {{"report", "all", "--json"}},
        {{"report", "week", "--json"}},
        {{"report", "today"}},
        {{"report", "month"}},
        {{"report", "year"}},
        {{"export", "--all", "--format", "csv"}},
        {{"export", "--period", "week"}},
        {{"export", "--period", "month"}, true},
    };
    FuzzSupport::writeFile(ProgramFiles::callLogPath(directory), FuzzSupport::bytesOf(data, size));

    for (const Command& command : commands) {
        QByteArray out, err;
        QBuffer outBuffer(&out), errBuffer(&err);
        outBuffer.open(QIODevice::WriteOnly);
        errBuffer.open(QIODevice::WriteOnly);
        const QStringList arguments =
            QStringList{"dialtally"} + command.words + QStringList{"--dir", directory};
        const int status = LogCommands::run(arguments, {}, now, outBuffer, errBuffer, command.toTerminal);
        if (status != 0)
            FuzzSupport::fail(command.words.join(' ') + QStringLiteral(": ") + QString::fromLocal8Bit(err));
        if (!command.words.contains(QStringLiteral("--json")))
            continue;
        // Whatever the log holds, a script gets JSON, with no number that is not one.
        QJsonParseError error;
        const QJsonDocument json = QJsonDocument::fromJson(out, &error);
        if (error.error != QJsonParseError::NoError || out.contains("nan") || out.contains("inf"))
            FuzzSupport::fail(command.words.join(' ') + QStringLiteral(" printed ") + QString::fromUtf8(out));
        if (command.words[1] == QLatin1String("all") &&
            json.object().value(QStringLiteral("count")).toInteger() != qint64(size / CallRecordCodec::Size))
            FuzzSupport::fail(QStringLiteral("the report does not count every call"));
    }
    return 0;
}
