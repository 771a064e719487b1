#include "cli/ReportByNumberCommand.h"

#include "cli/PeriodCalls.h"
#include "core/calllog/AddressBook.h"
#include "core/settings/ProgramFiles.h"
#include "core/spending/NumberSpending.h"
#include "core/tariff/Costing.h"
#include "core/viewer/CallCells.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>

namespace {

const QStringList Titles = {QStringLiteral("Number"), QStringLiteral("Calls"), QStringLiteral("Minutes"),
                            QStringLiteral("Cost exc. Tax"), QStringLiteral("Cost inc. Tax")};

QString minutesText(double minutes) {
    return formatFixed(minutes, 1);
}

QString textTable(const NumberSpending& spending, const QString& symbol) {
    std::vector<QStringList> lines{Titles};
    for (const NumberSpending::Row& row : spending.rows())
        lines.push_back({spending.labelText(row), QString::number(row.spent.calls), minutesText(row.minutes),
                         viewerMoney(row.spent.net.total(), symbol),
                         viewerMoney(row.spent.gross.total(), symbol)});
    if (lines.size() == 1)
        return QStringLiteral("No calls\n");
    std::vector<qsizetype> widths(size_t(Titles.size()), 0);
    for (const QStringList& line : lines) {
        for (qsizetype c = 0; c < line.size(); ++c)
            widths[size_t(c)] = std::max(widths[size_t(c)], line[c].size());
    }
    QString text;
    for (const QStringList& line : lines) {
        text += line[0].leftJustified(widths[0]);
        for (qsizetype c = 1; c < line.size(); ++c)
            text += QStringLiteral("  ") + line[c].rightJustified(widths[size_t(c)]);
        text += QLatin1Char('\n');
    }
    return text;
}

QString jsonTable(const NumberSpending& spending) {
    QJsonArray numbers;
    for (const NumberSpending::Row& row : spending.rows())
        numbers.append(QJsonObject{
            {QStringLiteral("number"), row.label < 0 ? QJsonValue() : QJsonValue(spending.labelText(row))},
            {QStringLiteral("calls"), row.spent.calls},
            {QStringLiteral("minutes"), std::round(row.minutes * 10) / 10},
            {QStringLiteral("net"), roundedMoney(row.spent.net.total())},
            {QStringLiteral("gross"), roundedMoney(row.spent.gross.total())},
        });
    return QString::fromUtf8(QJsonDocument(QJsonObject{{QStringLiteral("numbers"), numbers}})
                                 .toJson(QJsonDocument::Compact)) +
           QLatin1Char('\n');
}

QString csvTable(const NumberSpending& spending) {
    QString text = QStringLiteral("Number,Calls,Minutes,Cost excluding tax,Cost including tax\n");
    for (const NumberSpending::Row& row : spending.rows())
        text += QStringList{CallExport::commaField(spending.labelText(row)), QString::number(row.spent.calls),
                            minutesText(row.minutes), formatFixed(row.spent.net.total(), 2),
                            formatFixed(row.spent.gross.total(), 2)}
                    .join(QLatin1Char(',')) +
                QLatin1Char('\n');
    return text;
}

} // namespace

ReportByNumberCommand::ReportByNumberCommand()
    : Command({QStringLiteral("report")}, QStringLiteral("report --by number"),
              QStringLiteral(
                  "  report --by number [--period today|week|month|year|all] [--from DATE] [--to DATE]\n"
                  "         [--json|--csv]\n"
                  "      Per number dialled, or its name in the address book: the calls, the\n"
                  "      minutes and the cost without and with tax, costliest first.\n"),
              Json | Csv | Dates) {
    addOptions({m_by, m_period});
}

bool ReportByNumberCommand::claims(const QCommandLineParser& parser) const {
    return Command::claims(parser) && parser.isSet(m_by) &&
           parser.value(m_by).compare(QLatin1String("number"), Qt::CaseInsensitive) == 0;
}

QStringList ReportByNumberCommand::inputs(const QString& directory) const {
    return {ProgramFiles::settingsPath(directory), ProgramFiles::callLogPath(directory),
            ProgramFiles::callNumbersPath(directory), AddressBook::pathIn(directory)};
}

int ReportByNumberCommand::execute(const Run& run) const {
    const QString periodName =
        run.parser.isSet(m_period) ? run.parser.value(m_period) : PeriodCalls::names()[PeriodCalls::All];
    const int period = PeriodCalls::indexOf(periodName);
    if (period < 0)
        return run.wrong(QStringLiteral("unknown period \"%1\"").arg(periodName));
    QString failedPath, reason;
    const NumberNames names = NumberNames::read(run.directory, &failedPath, &reason);
    if (!failedPath.isEmpty())
        return run.failed(QStringLiteral("%1: %2").arg(failedPath, reason));
    NumberSpending spending(names);
    PeriodCalls calls(ProgramFiles::callLogPath(run.directory), period, run.call.now);
    if (!calls.forEach([&](const CallRecord& call) {
            if (PeriodCalls::inDays(call, run.from, run.to))
                spending.add(call);
        }))
        return run.failed(calls.failure());
    if (run.json)
        return run.context().print(jsonTable(spending));
    if (run.csv)
        return run.context().print(csvTable(spending));
    return run.context().print(textTable(spending, run.symbol()));
}
