#include "cli/CompareCommand.h"

#include "cli/CommandContext.h"
#include "cli/PeriodCalls.h"
#include "core/settings/ProgramFiles.h"
#include "core/spending/TariffComparison.h"
#include "core/spending/TariffTable.h"
#include "core/tariff/Costing.h"
#include "core/tariff/RateFile.h"
#include "core/viewer/CallExport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace {

// The table in columns: the rate file's name to the left, the figures to the right.
QString textTable(const TariffComparison& comparison, const QString& symbol) {
    const std::vector<TariffRow> rows = comparison.rows();
    std::vector<QStringList> lines{TariffTable::headers()};
    for (const TariffRow& row : rows)
        lines.push_back(TariffTable::cells(row, symbol));
    std::vector<qsizetype> widths(TariffTable::ColumnCount, 0);
    for (const QStringList& line : lines) {
        // A file that could not be read has its reason where its figures would be.
        if (line.size() < TariffTable::ColumnCount) {
            widths[0] = std::max(widths[0], line[0].size());
            continue;
        }
        for (int c = 0; c < TariffTable::ColumnCount; ++c)
            widths[size_t(c)] = std::max(widths[size_t(c)], line[c].size());
    }
    QString text;
    for (const QStringList& line : lines) {
        text += line[0].leftJustified(widths[0]);
        for (int c = 1; c < line.size(); ++c)
            text += QStringLiteral("  ") + (line.size() < TariffTable::ColumnCount
                                                ? line[c]
                                                : line[c].rightJustified(widths[size_t(c)]));
        text += QLatin1Char('\n');
    }
    if (rows.empty())
        text += TariffTable::NoRateFiles + QLatin1Char('\n');
    text += TariffTable::loggedText(comparison, symbol) + QLatin1Char('\n');
    if (const QString unpriced = TariffTable::unpricedText(comparison); !unpriced.isEmpty())
        text += unpriced + QLatin1Char('\n');
    return text;
}

QString jsonTable(const TariffComparison& comparison) {
    QJsonArray tariffs;
    for (const TariffRow& row : comparison.rows()) {
        QJsonObject tariff{{QStringLiteral("rate"), row.rateName}, {QStringLiteral("inUse"), row.inUse}};
        if (!row.failure.isEmpty()) {
            tariff.insert(QStringLiteral("error"), row.failure);
        } else {
            tariff.insert(QStringLiteral("calls"), row.calls);
            tariff.insert(QStringLiteral("net"), roundedMoney(row.net.total()));
            tariff.insert(QStringLiteral("gross"), roundedMoney(row.gross.total()));
            tariff.insert(QStringLiteral("difference"), roundedMoney(row.difference));
            tariff.insert(QStringLiteral("cheaper"), row.cheaper);
        }
        tariffs.append(tariff);
    }
    const QJsonObject object{
        {QStringLiteral("calls"), comparison.pricedCalls()},
        {QStringLiteral("unpriced"), comparison.unpricedCalls()},
        {QStringLiteral("logged"),
         QJsonObject{{QStringLiteral("net"), roundedMoney(comparison.loggedNet().total())},
                     {QStringLiteral("gross"), roundedMoney(comparison.loggedGross().total())}}},
        {QStringLiteral("tariffs"), tariffs},
    };
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) + QLatin1Char('\n');
}

// One line per rate file under the column titles; amounts with a point and
// no symbol, for a spreadsheet.
QString csvTable(const TariffComparison& comparison) {
    QStringList titles = TariffTable::headers();
    titles.insert(1, QStringLiteral("In use"));
    titles << QStringLiteral("Error");
    const auto line = [](const QStringList& fields) {
        QStringList quoted;
        for (const QString& field : fields)
            quoted << CallExport::commaField(field);
        return quoted.join(QLatin1Char(',')) + QLatin1Char('\n');
    };
    QString text = line(titles);
    for (const TariffRow& row : comparison.rows()) {
        const QString inUse = row.inUse ? QStringLiteral("yes") : QStringLiteral("no");
        if (!row.failure.isEmpty()) {
            text += line({row.rateName, inUse, {}, {}, {}, {}, {}, row.failure});
            continue;
        }
        text += line({row.rateName,
                      inUse,
                      QString::number(row.calls),
                      formatFixed(row.net.total(), 2),
                      formatFixed(row.gross.total(), 2),
                      formatFixed(row.difference, 2),
                      QString::number(row.cheaper),
                      {}});
    }
    return text;
}

} // namespace

CompareCommand::CompareCommand()
    : Command({QStringLiteral("compare")}, QStringLiteral("compare"),
              QStringLiteral(
                  "  compare [--period today|week|month|year|all] [--from DATE] [--to DATE] [--json|--csv]\n"
                  "      What the calls would have cost with each rate file, cheapest first\n"
                  "      (dates as YYYY-MM-DD, both included).\n"),
              Json | Csv | Dates) {
    addOptions({m_period});
}

QStringList CompareCommand::inputs(const QString& directory) const {
    QStringList files = {ProgramFiles::settingsPath(directory), ProgramFiles::callLogPath(directory)};
    if (const QString active = TariffComparison::activeRateName(directory); !active.isEmpty())
        files << ProgramFiles::rateFilePath(directory, active);
    for (const QString& name : rateFileNames(directory))
        files << ProgramFiles::path(directory, name);
    return files;
}

int CompareCommand::execute(const Run& run) const {
    const QString periodName =
        run.parser.isSet(m_period) ? run.parser.value(m_period) : PeriodCalls::names()[PeriodCalls::All];
    const int period = PeriodCalls::indexOf(periodName);
    if (period < 0)
        return run.wrong(QStringLiteral("unknown period \"%1\"").arg(periodName));
    const QString symbol = run.symbol();
    PeriodCalls calls(ProgramFiles::callLogPath(run.directory), period, run.call.now);
    TariffComparison comparison(run.directory, TariffComparison::activeRateName(run.directory));
    if (!calls.forEach([&](const CallRecord& call) {
            if (PeriodCalls::inDays(call, run.from, run.to))
                comparison.add(call);
        }))
        return run.failed(calls.failure());
    const CommandContext& context = run.context();
    if (run.json)
        return context.print(jsonTable(comparison));
    if (run.csv)
        return context.print(csvTable(comparison));
    return context.print(textTable(comparison, symbol));
}
