#pragma once

#include <QDialog>

class HelpViewer;
class QLabel;
class QPushButton;
class QTableWidget;
class TariffComparison;

// Which tariff would have been cheapest: the calls the log viewer gave,
// priced with every rate file of the data directory, one row each, cheapest
// first, the one in use marked. Help and F1 open its topic of the help.
class TCompareForm : public QDialog {
    Q_OBJECT
public:
    static inline const QString Caption = QStringLiteral("Compare Tariffs");
    static constexpr int HelpTopic = 11;

    // selectedCalls: the calls are the viewer's selection, not the whole log.
    TCompareForm(const TariffComparison& comparison, const QString& symbol, bool selectedCalls,
                 HelpViewer* help, QWidget* parent = nullptr);

private:
    void fill(const TariffComparison& comparison, const QString& symbol);
    void fitToTable();

    QLabel* CompareHeading = nullptr;
    QTableWidget* TariffGrid = nullptr;
    QLabel* LoggedCost = nullptr;
    QLabel* UnpricedCalls = nullptr;
    QPushButton* HelpButton = nullptr;
    QPushButton* CloseButton = nullptr;
};
