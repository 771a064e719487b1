#pragma once

#include "core/seams/Services.h"
#include "core/spending/SpendingFigures.h"
#include "gui/spending/SpendingChart.h"

#include <QDialog>

#include <array>
#include <optional>

class QButtonGroup;
class QChartView;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

// The Spending window: bar charts of what calls cost per day, week and bill
// period, stacked by time band, by rate name or by number dialled, with the budget's line while
// the budget is on. D, W and M (or Ctrl+1, 2, 3) switch the view; Escape
// closes it; Help and F1 open its topic of the help.
class TSpendingForm : public QDialog {
    Q_OBJECT
public:
    static inline const QString Caption = QStringLiteral("Spending");
    static constexpr int HelpTopic = 10;

    explicit TSpendingForm(const Services& services, QWidget* parent = nullptr);

    // Reads the log, the rate names and the budget again and redraws.
    void LoadFigures();
    void showView(SpendView view);
    void setStack(SpendingChart::Stack stack);
    void SaveChartClick();
    // The month view draws what each month's calls would have cost with the
    // rate file chosen (index 0: none).
    void CompareRateBoxChange(int index);

    SpendView view() const { return m_view; }
    SpendingChart::Stack stack() const { return m_stack; }
    const SpendingFigures& figures() const { return m_figures; }
    SpendingChart& chart() const { return *m_chart; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void buildLayout();
    void redraw();
    void listRateFiles();
    // Prices the month view's calls with the rate file chosen.
    void loadTariffLine();
    // The chart's parts by number for the view shown, worked out once per view.
    void loadNumberStack();
    // Shows a failure once the command is complete.
    void tell(const QString& message);

    Services m_services;
    SpendingFigures m_figures;
    std::optional<double> m_budget;
    std::optional<SpendingChart::TariffLine> m_tariff;
    std::optional<NumberNames> m_numberNames;                 // read when first wanted
    std::array<std::optional<NumberStack>, 3> m_numberStacks; // by view
    QString m_symbol;
    SpendView m_view = SpendView::Month;
    SpendingChart::Stack m_stack = SpendingChart::Stack::Bands;

    SpendingChart* m_chart = nullptr;
    QChartView* SpendingChartView = nullptr;
    QPushButton* DayButton = nullptr;
    QPushButton* WeekButton = nullptr;
    QPushButton* MonthButton = nullptr;
    QButtonGroup* m_views = nullptr;
    QRadioButton* ByBandButton = nullptr;
    QRadioButton* ByRateButton = nullptr;
    QRadioButton* ByNumberButton = nullptr;
    QComboBox* CompareRateBox = nullptr;
    QLabel* BudgetLine = nullptr;
    QPushButton* HelpButton = nullptr;
    QPushButton* SaveChartButton = nullptr;
    QPushButton* CloseButton = nullptr;
};
