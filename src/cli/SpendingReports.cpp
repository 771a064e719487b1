#include "cli/SpendingReports.h"

#include "core/seams/DayCount.h"
#include "core/spending/BudgetPace.h"
#include "core/spending/Money.h"
#include "core/tariff/Costing.h"
#include "core/viewer/CallCells.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace SpendingReports {

namespace {

const QStringList ViewNames = {QStringLiteral("day"), QStringLiteral("week"), QStringLiteral("month")};
// The bands' parts, then the calls whose band the log does not say (a damaged record).
const QStringList BandNames = {QStringLiteral("daytime"), QStringLiteral("evening"),
                               QStringLiteral("weekend"), QStringLiteral("other")};
const QStringList BandTitles = {QStringLiteral("Daytime"), QStringLiteral("Evening"),
                                QStringLiteral("Weekend"), QStringLiteral("Other")};

// To the penny, as the table shows it.
double rounded(double amount) {
    return Money::fromPennies(Money::pennies(amount));
}

QString date(qint64 day) {
    return DayCount::dateOfDay(day).toString(Qt::ISODate);
}

QString json(const QJsonObject& object) {
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) + QLatin1Char('\n');
}

} // namespace

std::optional<SpendView> viewNamed(const QString& name) {
    const qsizetype index = ViewNames.indexOf(name.toLower());
    return index < 0 ? std::nullopt : std::optional(SpendView(index));
}

QString periodRows(const SpendingReading& reading, SpendView view, std::optional<QDate> from,
                   std::optional<QDate> to, Format format) {
    std::vector<const SpendBar*> rows;
    for (const SpendBar& bar : reading.figures.bars(view)) {
        if (from && bar.endDay <= DayCount::dayOfDate(*from))
            continue;
        if (to && bar.firstDay > DayCount::dayOfDate(*to))
            continue;
        rows.push_back(&bar);
    }
    if (format == Format::Json) {
        QJsonArray array;
        for (const SpendBar* bar : rows) {
            QJsonObject row{{QStringLiteral("from"), date(bar->firstDay)},
                            {QStringLiteral("to"), date(bar->endDay - 1)},
                            {QStringLiteral("count"), bar->total.calls},
                            {QStringLiteral("net"), rounded(bar->total.net.total())},
                            {QStringLiteral("gross"), rounded(bar->total.gross.total())}};
            for (int band = 0; band < BandNames.size(); ++band)
                row.insert(BandNames[band], rounded(bar->bands[band].gross.total()));
            array.append(row);
        }
        return json({{QStringLiteral("by"), ViewNames[int(view)]}, {QStringLiteral("rows"), array}});
    }
    QString text;
    if (format == Format::Csv) {
        text = QStringLiteral("From,To,Calls,Cost excluding tax,Cost including tax,") +
               BandTitles.join(QLatin1Char(',')) + QLatin1Char('\n');
        for (const SpendBar* bar : rows) {
            QStringList cells = {date(bar->firstDay), date(bar->endDay - 1),
                                 QString::number(bar->total.calls), formatFixed(bar->total.net.total(), 2),
                                 formatFixed(bar->total.gross.total(), 2)};
            for (const SpendPart& band : bar->bands)
                cells << formatFixed(band.gross.total(), 2);
            text += cells.join(QLatin1Char(',')) + QLatin1Char('\n');
        }
        return text;
    }
    const QString symbol = reading.symbol;
    const auto money = [&](const MoneySum& sum) { return viewerMoney(sum.total(), symbol); };
    const QStringList titles =
        QStringList{QStringLiteral("From"), QStringLiteral("To"), QStringLiteral("Calls"),
                    QStringLiteral("Exc. tax"), QStringLiteral("Inc. tax")} +
        BandTitles;
    std::vector<QStringList> table = {titles};
    for (const SpendBar* bar : rows) {
        QStringList cells = {date(bar->firstDay), date(bar->endDay - 1), QString::number(bar->total.calls),
                             money(bar->total.net), money(bar->total.gross)};
        for (const SpendPart& band : bar->bands)
            cells << money(band.gross);
        table.push_back(cells);
    }
    std::vector<qsizetype> widths(titles.size(), 0);
    for (const QStringList& cells : table)
        for (int c = 0; c < cells.size(); ++c)
            widths[c] = std::max(widths[c], cells[c].size());
    for (const QStringList& cells : table) {
        QStringList padded;
        // Dates to the left, figures to the right.
        for (int c = 0; c < cells.size(); ++c)
            padded << (c < 2 ? cells[c].leftJustified(widths[c]) : cells[c].rightJustified(widths[c]));
        text += padded.join(QStringLiteral("  ")) + QLatin1Char('\n');
    }
    return text;
}

QString budget(const SpendingReading& reading, bool asJson) {
    if (!reading.budget.isActive()) {
        if (asJson)
            return json({{QStringLiteral("on"), false}});
        return QStringLiteral("The monthly budget is off (Setup, Main Setup, Monthly budget).\n");
    }
    const BudgetPace pace = BudgetPace::of(reading.figures);
    if (!asJson)
        return reading.budgetText() + QLatin1Char('\n');
    return json({{QStringLiteral("on"), true},
                 {QStringLiteral("line"), reading.budgetText()},
                 {QStringLiteral("budget"), rounded(reading.budget.amount)},
                 {QStringLiteral("spent"), rounded(pace.spent)},
                 {QStringLiteral("projection"), rounded(pace.projection())},
                 {QStringLiteral("dailyAverage"), rounded(pace.dailyAverage)},
                 {QStringLiteral("daysLeft"), pace.daysLeft},
                 {QStringLiteral("from"), date(pace.periodStart)},
                 {QStringLiteral("to"), date(pace.periodEnd - 1)}});
}

} // namespace SpendingReports
