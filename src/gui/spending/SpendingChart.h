#pragma once

#include "core/spending/NumberSpending.h"
#include "core/spending/SpendingFigures.h"

#include <QChart>
#include <QColor>
#include <QFont>
#include <QPalette>

#include <optional>
#include <vector>

class QBarSet;
class QLineSeries;

// The bar chart of the spending window and of the chart command: the spend
// (costs with tax) per day, week or bill period, each bar stacked by time band
// or by rate name. The bar that holds today is marked. The month view draws
// the budget as a line when there is one, and the projection of the current
// period as a faint bar on top of what was spent so far.
//
// Its colours and fonts follow the palette and font it is given, so it reads
// on a light and on a dark desktop alike; the bars' own colours are ones
// that stand out on both. Its tip is the one of the bar or line under the
// pointer, shown the way every tip of the desktop is.
class SpendingChart : public QChart {
    Q_OBJECT
public:
    enum class Stack { Bands, Rates, Numbers };
    // Rate names beyond these share one part of the bar, the one costing least.
    static constexpr int MostRates = 7;
    // Likewise names and numbers dialled.
    static constexpr int MostNumbers = 8;

    // What each bar's calls would have cost with another rate file.
    struct TariffLine {
        QString rateName;
        std::vector<double> gross; // one per bar of the month view
    };

    explicit SpendingChart(QGraphicsItem* parent = nullptr);

    // budget: the budget's amount while it is on; tariff: drawn as a line in
    // the month view.
    void showFigures(const SpendingFigures& figures, SpendView view, Stack stack,
                     std::optional<double> budget, const QString& mainSymbol,
                     const std::optional<TariffLine>& tariff = std::nullopt);
    void follow(const QPalette& palette, const QFont& font);
    // The parts of the bars stacked by number, for the view shown next.
    void setNumberStack(NumberStack stack) { m_numberStack = std::move(stack); }

    // The names of the parts the bars are stacked from, bottom first, then the
    // projection's part in the month view.
    QStringList partNames() const;
    // The text of a bar's tip: its days, its calls and cost, and the part
    // under the pointer. part is an index into partNames().
    QString tipFor(int part, int bar) const;
    // What a value of the chart is at bar: the sum of the parts drawn there.
    double barHeight(int bar) const;
    // The tip of the tariff line at a bar: the cost with that rate file and
    // how far it is from what the bar's calls cost.
    QString tariffTipFor(int bar) const;

private:
    struct Part {
        QString name;
        std::vector<SpendPart> bars;
        QColor color;
    };
    void build();
    void addParts(const SpendingFigures& figures, SpendView view, Stack stack);
    void applyLook();
    QString money(double amount) const;

    QPalette m_palette;
    QFont m_font;
    QString m_symbol;
    SpendView m_view = SpendView::Month;
    std::vector<Part> m_parts;
    std::vector<SpendPart> m_totals;
    QStringList m_labels;     // under each bar
    QStringList m_longLabels; // in each bar's tip
    int m_marked = -1;        // the bar that holds today
    std::optional<double> m_budget;
    std::optional<double> m_projection; // what the current period is on pace for
    std::optional<TariffLine> m_tariff;
    NumberStack m_numberStack;
    std::vector<QBarSet*> m_sets;
    QLineSeries* m_budgetLine = nullptr;
    QLineSeries* m_tariffLine = nullptr;
};
