// The command line as a script runs it, over a data folder the input fills
// (the log, the rate-name store, the settings, two rate files and their
// billing rules): a command the input chooses (report of a period, report
// --by, report budget, export, compare, chart, tariff show) with options and
// dates it chooses, at a moment it chooses, the output kept in memory or
// written to a file of the folder, or to one of the program's own, which must
// be refused: commands change no file of the folder. An input of the log
// alone runs the reports and exports of every period.
#include "cli/LogCommands.h"
#include "core/calllog/CallRecord.h"
#include "core/seams/DayCount.h"
#include "core/settings/ProgramFiles.h"
#include "core/spending/BudgetPace.h"
#include "fuzz/DataFolder.h"

#include <QBuffer>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <cstdio>

namespace {

using FuzzSupport::Choices;

struct Command {
    QStringList words;
    bool toTerminal = false;
};

const QList<Command> EveryPeriod = {
    {{"report", "all", "--json"}},
    {{"report", "week", "--json"}},
    {{"report", "today"}},
    {{"report", "month"}},
    {{"report", "year"}},
    {{"export", "--all", "--format", "csv"}},
    {{"export", "--period", "week"}},
    {{"export", "--period", "month"}, true},
};

QString oneOf(Choices& choices, const QStringList& words) {
    return words[choices.pick(int(words.size()))];
}

QString period(Choices& choices) {
    return oneOf(choices, {"today", "week", "month", "year", "all", "Week", "fortnight"});
}

QString view(Choices& choices) {
    return oneOf(choices, {"day", "week", "month", "Month", "year"});
}

// Mostly a day near now, at times one years away or one the parser should
// refuse. (A day further back makes a report of tens of thousands of rows,
// which takes seconds under the sanitizers and finds nothing new.)
QString date(Choices& choices, double now) {
    const int kind = choices.pick(8);
    if (kind == 0)
        return oneOf(choices, {"2025-02-30", "2025-3-1", "", "0001-01-01", "9999-12-31", "2025-03-01garbage",
                               "-4713-01-01", "20250301"});
    const int offset = kind == 1 ? choices.number(-4000, 4000) : choices.number(-400, 400);
    return DayCount::dateOfDay(DayCount::dayNumber(now) + offset).toString(Qt::ISODate);
}

void addDates(QStringList& words, Choices& choices, double now) {
    for (const char* option : {"--from", "--to"}) {
        if (choices.flag())
            words << QLatin1String(option) << date(choices, now);
    }
}

void addJsonOrCsv(QStringList& words, Choices& choices) {
    switch (choices.pick(3)) {
    case 1:
        words << QStringLiteral("--json");
        break;
    case 2:
        words << QStringLiteral("--csv");
        break;
    }
}

// Standard output, a new file, or at times one of the program's own files,
// which a command must refuse (the folder's files are checked after each).
QString output(Choices& choices, const DataFolder& folder, const QString& name) {
    switch (choices.pick(4)) {
    case 0:
        return QStringLiteral("-");
    case 1:
        return folder.file(oneOf(choices, DataFolder::Files + QStringList{"Calls.log", "Dialtaly.ini",
                                                                          "CallRate.log", "Sort.log"}));
    }
    return folder.file(name);
}

Command chosenCommand(Choices& choices, double now, const DataFolder& folder) {
    Command command;
    QStringList& words = command.words;
    switch (choices.pick(7)) {
    case 0:
        words << QStringLiteral("report");
        if (choices.flag())
            words << period(choices);
        if (choices.flag())
            words << QStringLiteral("--json");
        break;
    case 1:
        words << QStringLiteral("report") << QStringLiteral("--by") << view(choices);
        addDates(words, choices, now);
        addJsonOrCsv(words, choices);
        break;
    case 2:
        words << QStringLiteral("report") << QStringLiteral("budget");
        if (choices.flag())
            words << QStringLiteral("--json");
        break;
    case 3:
        words << QStringLiteral("export");
        if (const int which = choices.pick(3); which == 1)
            words << QStringLiteral("--all");
        else if (which == 2)
            words << QStringLiteral("--period") << period(choices);
        if (choices.flag())
            words << QStringLiteral("--format") << oneOf(choices, {"text", "csv", "CSV", "json"});
        if (choices.flag())
            words << QStringLiteral("--output") << output(choices, folder, QStringLiteral("out.txt"));
        command.toTerminal = choices.flag();
        break;
    case 4:
        words << QStringLiteral("compare");
        if (choices.flag())
            words << QStringLiteral("--period") << period(choices);
        addDates(words, choices, now);
        addJsonOrCsv(words, choices);
        break;
    case 5: {
        words << QStringLiteral("chart") << QStringLiteral("--by") << view(choices);
        const QString picture = choices.flag() ? QStringLiteral("chart.svg") : QStringLiteral("chart.png");
        words << QStringLiteral("--output") << output(choices, folder, picture);
        for (const char* side : {"--width", "--height"}) {
            if (choices.flag())
                words << QLatin1String(side) << QString::number(choices.number(-10, 20000));
        }
        break;
    }
    default:
        words << QStringLiteral("tariff");
        if (choices.flag())
            words << QStringLiteral("show") << oneOf(choices, {"BT Saver", "Cable", "Missing", "../Cable"});
        break;
    }
    // Now and then a word the command may not take.
    if (choices.pick(4) == 0)
        words << oneOf(choices, {"--json", "--csv", "--all", "week", "extra", "--by", "--from", "-platform",
                                 "offscreen", "--period", "--output", "-"});
    return command;
}

// What the chart command would draw, without drawing it: every part of every bar.
QString chartOf(const SpendingReading& reading, SpendView view, QSize, const QString&) {
    double drawn = 0;
    for (const SpendBar& bar : reading.figures.bars(view)) {
        drawn += bar.total.gross.total();
        for (const SpendPart& part : bar.bands)
            drawn += part.gross.total();
        for (const SpendPart& part : bar.rates)
            drawn += part.gross.total();
    }
    if (reading.budgetAmount())
        drawn += BudgetPace::of(reading.figures).projection() + reading.budgetText().size();
    return std::isfinite(drawn) ? QString() : QStringLiteral("the chart's figures are not numbers");
}

void run(const Command& command, const DataFolder& folder, double now, bool everyCallCounted, qint64 calls) {
    QByteArray out, err;
    QBuffer outBuffer(&out), errBuffer(&err);
    outBuffer.open(QIODevice::WriteOnly);
    errBuffer.open(QIODevice::WriteOnly);
    const QStringList arguments =
        QStringList{"dialtally"} + command.words + QStringList{"--dir", folder.path()};
    const int status =
        LogCommands::run(arguments, {}, now, outBuffer, errBuffer, command.toTerminal, chartOf);
    const QString said = command.words.join(' ') + QStringLiteral(": ") + QString::fromLocal8Bit(err);
    // FUZZ_VERBOSE=1 tells what an input does, to make a seed that does one thing.
    if (qEnvironmentVariableIsSet("FUZZ_VERBOSE"))
        std::fprintf(stderr, "exit %d: %s\n", status, qUtf8Printable(said.section(QLatin1Char('\n'), 0, 0)));
    if (status < 0 || status > 2 || (status != 0 && err.isEmpty()))
        FuzzSupport::fail(QStringLiteral("exit %1 from ").arg(status) + said);
    if (everyCallCounted && status != 0)
        FuzzSupport::fail(said);
    // Commands only read the data files.
    if (const QString changed = folder.changedFile(); !changed.isEmpty())
        FuzzSupport::fail(command.words.join(' ') + QStringLiteral(" changed ") + changed);
    if (status != 0 || !command.words.contains(QStringLiteral("--json")))
        return;
    // Whatever the files hold, a script gets JSON, with no number that is not one.
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(out, &error);
    if (error.error != QJsonParseError::NoError || out.contains("nan") || out.contains("inf"))
        FuzzSupport::fail(command.words.join(' ') + QStringLiteral(" printed ") + QString::fromUtf8(out));
    if (everyCallCounted && command.words.mid(0, 2) == QStringList{"report", "all"} &&
        json.object().value(QStringLiteral("count")).toInteger() != calls)
        FuzzSupport::fail(QStringLiteral("the report does not count every call"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static DataFolder folder(QStringLiteral("commands"));
    const QByteArrayView input = FuzzSupport::bytesOf(data, size);
    DataFolder::Filled filled = folder.fill(input);
    if (!filled.choices) {
        for (const Command& command : EveryPeriod)
            run(command, folder, filled.now, true, qint64(size / CallRecordCodec::Size));
        return 0;
    }
    for (int i = 0; i < 3 && filled.choices->left(); ++i)
        run(chosenCommand(*filled.choices, filled.now, folder), folder, filled.now, false, 0);
    return 0;
}
