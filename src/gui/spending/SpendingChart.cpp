#include "gui/spending/SpendingChart.h"

#include "core/calllog/CallTotals.h"
#include "core/seams/DayCount.h"
#include "core/spending/BudgetPace.h"
#include "core/spending/TariffTable.h"
#include "core/tariff/Costing.h"
#include "core/viewer/CallCells.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QGraphicsLayout>
#include <QLegend>
#include <QLineSeries>
#include <QLocale>
#include <QStackedBarSeries>
#include <QValueAxis>

#include <algorithm>

namespace {

// Colours that stand out from a light and from a dark background alike (and
// from each other for most colour-blind eyes): the time bands, then the rates.
const QColor BandColors[] = {QColor(0xE6, 0x9F, 0x00), QColor(0x00, 0x72, 0xB2), QColor(0x00, 0x9E, 0x73),
                             QColor(0x99, 0x99, 0x99)};
const QColor RateColors[] = {QColor(0x00, 0x72, 0xB2), QColor(0xE6, 0x9F, 0x00), QColor(0x00, 0x9E, 0x73),
                             QColor(0xCC, 0x79, 0xA7), QColor(0x56, 0xB4, 0xE9), QColor(0xD5, 0x5E, 0x00),
                             QColor(0xBB, 0xAA, 0x22), QColor(0x88, 0x66, 0xCC)};
const QColor OtherColor(0x99, 0x99, 0x99);

QString dayText(qint64 day, const char* format) {
    return QLocale().toString(DayCount::dateOfDay(day), QLatin1String(format));
}

QString spanText(const SpendBar& bar) {
    return QStringLiteral("%1 \u2013 %2")
        .arg(dayText(bar.firstDay, "d MMM yyyy"), dayText(bar.endDay - 1, "d MMM yyyy"));
}

QString callsText(qint64 calls) {
    return QStringLiteral("%1 call%2").arg(calls).arg(PluralSuffix(calls));
}

} // namespace

SpendingChart::SpendingChart(QGraphicsItem* parent) : QChart(parent) {
    setAnimationOptions(QChart::NoAnimation);
    setBackgroundRoundness(0);
    setLocalizeNumbers(true);
    // The window around the chart has margins of its own.
    layout()->setContentsMargins(0, 0, 0, 0);
    setMargins(QMargins(4, 4, 4, 4));
    legend()->setAlignment(Qt::AlignBottom);
}

void SpendingChart::showFigures(const SpendingFigures& figures, SpendView view, Stack stack,
                                std::optional<double> budget, const QString& mainSymbol,
                                const std::optional<TariffLine>& tariff) {
    m_view = view;
    m_symbol = mainSymbol;
    m_budget = view == SpendView::Month ? budget : std::nullopt;
    m_tariff = view == SpendView::Month && tariff && tariff->gross.size() == figures.bars(view).size()
                   ? tariff
                   : std::nullopt;
    const std::vector<SpendBar>& bars = figures.bars(view);
    m_totals.clear();
    m_labels.clear();
    m_longLabels.clear();
    for (const SpendBar& bar : bars) {
        m_totals.push_back(bar.total);
        switch (view) {
        case SpendView::Day:
            m_labels << dayText(bar.firstDay, "d MMM");
            m_longLabels << QLocale().toString(DayCount::dateOfDay(bar.firstDay), QLocale::LongFormat);
            break;
        case SpendView::Week:
            m_labels << dayText(bar.firstDay, "d MMM");
            m_longLabels << spanText(bar);
            break;
        case SpendView::Month:
            m_labels << dayText(bar.firstDay, figures.billDay() == 1 ? "MMM yy" : "d MMM yy");
            m_longLabels << spanText(bar);
            break;
        }
    }
    static const QString Current[] = {QStringLiteral("Today"), QStringLiteral("This week"),
                                      QStringLiteral("This month")};
    m_marked = int(bars.size()) - 1;
    m_labels[m_marked] = Current[int(view)];
    m_projection.reset();
    if (view == SpendView::Month)
        m_projection = BudgetPace::of(figures).projection();
    addParts(figures, view, stack);
    build();
}

void SpendingChart::addParts(const SpendingFigures& figures, SpendView view, Stack stack) {
    const std::vector<SpendBar>& bars = figures.bars(view);
    m_parts.clear();
    if (stack == Stack::Bands) {
        for (int band = 0; band <= SpendBar::UnknownBand; ++band) {
            Part part{band == SpendBar::UnknownBand ? QStringLiteral("Unknown band") : timeBandName(band + 1),
                      {},
                      BandColors[band]};
            for (const SpendBar& bar : bars)
                part.bars.push_back(bar.bands[size_t(band)]);
            // A damaged rate code is rare: its part shows only when there is one.
            const bool any =
                std::any_of(part.bars.begin(), part.bars.end(), [](const SpendPart& p) { return p.calls; });
            if (band != SpendBar::UnknownBand || any)
                m_parts.push_back(std::move(part));
        }
        return;
    }
    if (stack == Stack::Numbers) {
        // Made with MostNumbers apart: a part beyond them is the others'.
        for (size_t i = 0; i < m_numberStack.parts.size(); ++i)
            m_parts.push_back(
                {m_numberStack.names[qsizetype(i)], m_numberStack.parts[i],
                 i >= size_t(MostNumbers) ? OtherColor : RateColors[i % std::size(RateColors)]});
        return;
    }
    // The rates that cost most in this view, the rest together as one.
    const QStringList& names = figures.rateNames();
    std::vector<int> order;
    for (int r = 0; r < names.size(); ++r) {
        const bool any = std::any_of(bars.begin(), bars.end(),
                                     [r](const SpendBar& b) { return b.rates[size_t(r)].calls; });
        if (any)
            order.push_back(r);
    }
    const auto spentOn = [&bars](int r) {
        double total = 0;
        for (const SpendBar& bar : bars)
            total += bar.rates[size_t(r)].gross.total();
        return total;
    };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return spentOn(a) > spentOn(b); });
    const size_t shown = order.size() > size_t(MostRates) + 1 ? size_t(MostRates) : order.size();
    for (size_t i = 0; i < shown; ++i) {
        Part part{names[order[i]], {}, RateColors[i % std::size(RateColors)]};
        for (const SpendBar& bar : bars)
            part.bars.push_back(bar.rates[size_t(order[i])]);
        m_parts.push_back(std::move(part));
    }
    if (shown < order.size()) {
        Part other{QStringLiteral("Other rates"), std::vector<SpendPart>(bars.size()), OtherColor};
        for (size_t i = shown; i < order.size(); ++i) {
            for (size_t b = 0; b < bars.size(); ++b)
                other.bars[b] += bars[b].rates[size_t(order[i])];
        }
        m_parts.push_back(std::move(other));
    }
}

double SpendingChart::barHeight(int bar) const {
    double height = 0;
    for (QBarSet* set : m_sets)
        height += set->at(bar);
    return height;
}

QStringList SpendingChart::partNames() const {
    QStringList names;
    for (QBarSet* set : m_sets)
        names << set->label();
    return names;
}

QString SpendingChart::money(double amount) const {
    return viewerMoney(amount, m_symbol);
}

QString SpendingChart::tipFor(int part, int bar) const {
    if (bar < 0 || bar >= int(m_totals.size()) || part < 0 || part >= int(m_sets.size()))
        return {};
    const SpendPart& total = m_totals[size_t(bar)];
    QString tip = QStringLiteral("%1\n%2 \u00b7 %3")
                      .arg(m_longLabels[bar], callsText(total.calls), money(total.gross.total()));
    if (part < int(m_parts.size())) {
        const SpendPart& shown = m_parts[size_t(part)].bars[size_t(bar)];
        tip += QStringLiteral("\n%1: %2 \u00b7 %3")
                   .arg(m_parts[size_t(part)].name, callsText(shown.calls), money(shown.gross.total()));
    } else if (m_projection) {
        tip += QStringLiteral("\nOn pace for %1").arg(money(*m_projection));
    }
    return tip;
}

QString SpendingChart::tariffTipFor(int bar) const {
    if (!m_tariff || bar < 0 || bar >= int(m_totals.size()))
        return {};
    const double gross = m_tariff->gross[size_t(bar)];
    return QStringLiteral("%1\nWith %2: %3 (%4)")
        .arg(m_longLabels[bar], m_tariff->rateName, money(gross),
             TariffTable::differenceText(gross - m_totals[size_t(bar)].gross.total(), m_symbol));
}

void SpendingChart::build() {
    removeAllSeries();
    m_budgetLine = nullptr;
    m_tariffLine = nullptr;
    for (QAbstractAxis* axis : axes()) {
        removeAxis(axis);
        delete axis;
    }
    m_sets.clear();
    const int count = int(m_totals.size());
    auto* series = new QStackedBarSeries;
    const auto addSet = [&](QBarSet* set) {
        const int index = int(m_sets.size());
        connect(set, &QBarSet::hovered, this,
                [this, index](bool on, int bar) { setToolTip(on ? tipFor(index, bar) : QString()); });
        series->append(set);
        m_sets.push_back(set);
    };
    for (const Part& part : m_parts) {
        auto* set = new QBarSet(part.name);
        for (const SpendPart& p : part.bars)
            *set << p.gross.total();
        set->setColor(part.color);
        set->setBorderColor(part.color);
        if (m_view != SpendView::Month) {
            set->setSelectedColor(part.color.lighter(150));
            set->selectBar(m_marked);
        }
        addSet(set);
    }
    if (m_projection) {
        auto* set = new QBarSet(QStringLiteral("Projection"));
        const double spent = m_totals.back().gross.total();
        for (int bar = 0; bar < count; ++bar)
            *set << (bar == m_marked ? std::max(0.0, *m_projection - spent) : 0.0);
        addSet(set);
    }
    series->setBarWidth(0.75);
    addSeries(series);

    auto* x = new QBarCategoryAxis;
    x->append(m_labels);
    // Upright labels fit a narrow bar; Qt would cut them to the bar's width.
    x->setTruncateLabels(false);
    addAxis(x, Qt::AlignBottom);
    series->attachAxis(x);
    auto* y = new QValueAxis;
    double low = 0;
    double high = m_budget.value_or(0);
    for (int bar = 0; bar < count; ++bar) {
        double below = 0;
        double above = 0;
        for (QBarSet* set : m_sets)
            (set->at(bar) < 0 ? below : above) += set->at(bar);
        low = std::min(low, below);
        high = std::max(high, above);
        if (m_tariff)
            high = std::max(high, m_tariff->gross[size_t(bar)]);
    }
    y->setRange(low, high > low ? high * 1.08 : low + 1);
    y->applyNiceNumbers();
    y->setLabelFormat(QString(m_symbol).replace(QLatin1Char('%'), QLatin1String("%%")) +
                      QStringLiteral("%.2f"));
    addAxis(y, Qt::AlignLeft);
    series->attachAxis(y);

    if (m_tariff) {
        m_tariffLine = new QLineSeries;
        m_tariffLine->setName(QStringLiteral("With %1").arg(m_tariff->rateName));
        for (int bar = 0; bar < count; ++bar)
            m_tariffLine->append(bar, m_tariff->gross[size_t(bar)]);
        m_tariffLine->setPointsVisible(true);
        addSeries(m_tariffLine);
        m_tariffLine->attachAxis(x);
        m_tariffLine->attachAxis(y);
        connect(m_tariffLine, &QLineSeries::hovered, this, [this](const QPointF& point, bool on) {
            setToolTip(on ? tariffTipFor(qRound(point.x())) : QString());
        });
    }
    if (m_budget) {
        auto* line = m_budgetLine = new QLineSeries;
        line->setName(QStringLiteral("Budget"));
        line->append(-0.5, *m_budget);
        line->append(count - 0.5, *m_budget);
        addSeries(line);
        line->attachAxis(x);
        line->attachAxis(y);
        connect(line, &QLineSeries::hovered, this, [this](const QPointF&, bool on) {
            setToolTip(on ? QStringLiteral("Budget: %1").arg(money(*m_budget)) : QString());
        });
    }
    applyLook();
}

void SpendingChart::follow(const QPalette& palette, const QFont& font) {
    m_palette = palette;
    m_font = font;
    applyLook();
}

void SpendingChart::applyLook() {
    const QColor text = m_palette.color(QPalette::WindowText);
    QColor grid = text;
    grid.setAlpha(50);
    setBackgroundBrush(m_palette.color(QPalette::Window));
    setBackgroundPen(Qt::NoPen);
    setPlotAreaBackgroundVisible(false);
    legend()->setFont(m_font);
    legend()->setLabelColor(text);
    QFont small = m_font;
    if (small.pointSizeF() > 0)
        small.setPointSizeF(small.pointSizeF() * 0.9);
    for (QAbstractAxis* axis : axes()) {
        axis->setLabelsFont(small);
        axis->setLabelsColor(text);
        axis->setLinePenColor(grid);
        axis->setGridLineColor(grid);
        axis->setTitleBrush(text);
        if (axis->orientation() == Qt::Horizontal) {
            axis->setLabelsAngle(-90);
            axis->setGridLineVisible(false);
        }
    }
    if (m_projection && !m_sets.empty()) {
        QBarSet* projection = m_sets.back();
        QColor fill = text;
        fill.setAlpha(45);
        QColor edge = text;
        edge.setAlpha(150);
        projection->setColor(fill);
        projection->setPen(QPen(edge, 1, Qt::DashLine));
    }
    if (m_budgetLine)
        m_budgetLine->setPen(QPen(text, 2, Qt::DashLine));
    if (m_tariffLine)
        m_tariffLine->setPen(QPen(text, 2));
}
