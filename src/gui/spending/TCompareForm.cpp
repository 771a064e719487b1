#include "gui/spending/TCompareForm.h"

#include "core/calllog/CallTotals.h"
#include "core/seams/HelpViewer.h"
#include "core/spending/TariffComparison.h"
#include "core/spending/TariffTable.h"
#include "gui/shell/ScreenPlace.h"
#include "gui/widgets/FormRules.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

TCompareForm::TCompareForm(const TariffComparison& comparison, const QString& symbol, bool selectedCalls,
                           HelpViewer* help, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("TCompareForm"));
    setWindowTitle(Caption);
    setModal(true);

    const qint64 count = comparison.pricedCalls() + comparison.unpricedCalls();
    CompareHeading = FormRules::make<QLabel>(this, "CompareHeading");
    CompareHeading->setText((selectedCalls ? QStringLiteral("The %1 selected call%2")
                                           : QStringLiteral("All %1 call%2 of the log"))
                                .arg(count)
                                .arg(PluralSuffix(count)) +
                            QStringLiteral(", priced with each rate file:"));

    TariffGrid =
        FormRules::make<QTableWidget>(this, "TariffGrid", QStringLiteral("Cost with each rate file"));
    TariffGrid->setColumnCount(TariffTable::ColumnCount);
    TariffGrid->setHorizontalHeaderLabels(TariffTable::headers());
    TariffGrid->horizontalHeaderItem(TariffTable::Difference)
        ->setToolTip(QStringLiteral("The cost with tax, less what the calls cost as logged"));
    TariffGrid->horizontalHeaderItem(TariffTable::Cheaper)
        ->setToolTip(QStringLiteral("How many of the calls would have cost less, tax included"));
    TariffGrid->verticalHeader()->hide();
    TariffGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TariffGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    TariffGrid->setWordWrap(false);
    TariffGrid->horizontalHeader()->setStretchLastSection(true);

    LoggedCost = FormRules::make<QLabel>(this, "LoggedCost");
    UnpricedCalls = FormRules::make<QLabel>(this, "UnpricedCalls");
    HelpButton = FormRules::make<QPushButton>(this, "HelpButton");
    HelpButton->setText(QStringLiteral("&Help"));
    HelpButton->setAutoDefault(false);
    connect(HelpButton, &QPushButton::clicked, this, [help] {
        if (help)
            help->showTopic(HelpTopic);
    });
    FormRules::helpKey(HelpButton);
    CloseButton = FormRules::make<QPushButton>(this, "CloseButton");
    CloseButton->setText(QStringLiteral("&Close"));
    CloseButton->setDefault(true);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(HelpButton);
    buttons->addStretch();
    buttons->addWidget(CloseButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CompareHeading);
    layout->addWidget(TariffGrid, 1);
    layout->addWidget(LoggedCost);
    layout->addWidget(UnpricedCalls);
    layout->addLayout(buttons);

    fill(comparison, symbol);
    fitToTable();
    CloseButton->setFocus();
}

void TCompareForm::fill(const TariffComparison& comparison, const QString& symbol) {
    const std::vector<TariffRow> rows = comparison.rows();
    if (rows.empty()) {
        TariffGrid->setRowCount(1);
        TariffGrid->setItem(0, 0, new QTableWidgetItem(TariffTable::NoRateFiles));
        TariffGrid->setSpan(0, 0, 1, TariffTable::ColumnCount);
    } else {
        TariffGrid->setRowCount(int(rows.size()));
    }
    for (int r = 0; r < int(rows.size()); ++r) {
        const TariffRow& row = rows[size_t(r)];
        const QStringList cells = TariffTable::cells(row, symbol);
        for (int c = 0; c < int(cells.size()); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c != TariffTable::RateFile && row.failure.isEmpty())
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (row.inUse) {
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
            }
            TariffGrid->setItem(r, c, item);
        }
        // Why a file could not be read takes the place of its figures.
        if (!row.failure.isEmpty())
            TariffGrid->setSpan(r, 1, 1, TariffTable::ColumnCount - 1);
    }
    TariffGrid->resizeColumnsToContents();

    LoggedCost->setText(TariffTable::loggedText(comparison, symbol));
    UnpricedCalls->setText(TariffTable::unpricedText(comparison));
    UnpricedCalls->setVisible(comparison.unpricedCalls() > 0);
}

void TCompareForm::fitToTable() {
    // Wide and tall enough for the whole table where the screen allows.
    layout()->activate();
    const int width = TariffGrid->horizontalHeader()->length() +
                      TariffGrid->verticalScrollBar()->sizeHint().width() + 2 * TariffGrid->frameWidth();
    const int height = TariffGrid->horizontalHeader()->height() + TariffGrid->verticalHeader()->length() +
                       2 * TariffGrid->frameWidth();
    const QSize wanted = size() - TariffGrid->size() + QSize(width, height);
    ScreenPlace::fit(this, wanted.expandedTo(QSize(480, 200)));
}
