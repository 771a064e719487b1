#include "gui/spending/TSpendingForm.h"

#include "core/seams/Clock.h"
#include "core/seams/FileChooser.h"
#include "core/seams/HelpViewer.h"
#include "core/seams/Prompter.h"
#include "core/settings/BudgetSettings.h"
#include "core/settings/ProgramFiles.h"
#include "core/settings/SettingsKeys.h"
#include "core/spending/BudgetPace.h"
#include "core/spending/SpendingReading.h"
#include "core/spending/TariffBars.h"
#include "core/spending/TariffComparison.h"
#include "core/spending/TariffTable.h"
#include "core/tariff/RateFile.h"
#include "core/viewer/CallLogViewer.h"
#include "gui/shell/ScreenPlace.h"
#include "gui/spending/ChartImage.h"
#include "gui/widgets/FormRules.h"

#include <QButtonGroup>
#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

TSpendingForm::TSpendingForm(const Services& services, QWidget* parent)
    : QDialog(parent), m_services(services) {
    buildLayout();
    LoadFigures();
}

void TSpendingForm::buildLayout() {
    setObjectName(QStringLiteral("TSpendingForm"));
    setWindowTitle(Caption);

    DayButton = FormRules::make<QPushButton>(this, "DayButton");
    DayButton->setText(QStringLiteral("&Day"));
    WeekButton = FormRules::make<QPushButton>(this, "WeekButton");
    WeekButton->setText(QStringLiteral("&Week"));
    MonthButton = FormRules::make<QPushButton>(this, "MonthButton");
    MonthButton->setText(QStringLiteral("&Month"));
    m_views = new QButtonGroup(this);
    const std::pair<QPushButton*, SpendView> views[] = {
        {DayButton, SpendView::Day}, {WeekButton, SpendView::Week}, {MonthButton, SpendView::Month}};
    static const char* const Hints[] = {"The last 31 days (D)", "The last 26 weeks, from Monday (W)",
                                        "The last 24 bill months (M)"};
    for (auto [button, view] : views) {
        button->setCheckable(true);
        button->setAutoDefault(false);
        button->setToolTip(QLatin1String(Hints[int(view)]));
        m_views->addButton(button, int(view));
    }
    connect(m_views, &QButtonGroup::idClicked, this, [this](int id) { showView(SpendView(id)); });

    auto* stackLabel = new QLabel(QStringLiteral("Stacked by:"), this);
    ByBandButton = FormRules::make<QRadioButton>(this, "ByBandButton");
    ByBandButton->setText(QStringLiteral("Time &band"));
    ByBandButton->setToolTip(QStringLiteral("Bars stacked by time band"));
    ByRateButton = FormRules::make<QRadioButton>(this, "ByRateButton");
    ByRateButton->setText(QStringLiteral("&Rate name"));
    ByRateButton->setToolTip(QStringLiteral("Bars stacked by rate name"));
    ByNumberButton = FormRules::make<QRadioButton>(this, "ByNumberButton");
    ByNumberButton->setText(QStringLiteral("N&umber"));
    ByNumberButton->setToolTip(QStringLiteral("Bars stacked by number dialled, or its name: the %1 that cost "
                                              "most, the rest together")
                                   .arg(SpendingChart::MostNumbers));
    ByBandButton->setChecked(true);
    const std::pair<QRadioButton*, SpendingChart::Stack> stacks[] = {
        {ByBandButton, SpendingChart::Stack::Bands},
        {ByRateButton, SpendingChart::Stack::Rates},
        {ByNumberButton, SpendingChart::Stack::Numbers}};
    for (auto [button, stack] : stacks)
        connect(button, &QRadioButton::toggled, this, [this, stack = stack](bool on) {
            if (on)
                setStack(stack);
        });

    auto* compareLabel = new QLabel(QStringLiteral("Com&pare with:"), this);
    CompareRateBox = FormRules::make<QComboBox>(this, "CompareRateBox");
    CompareRateBox->setToolTip(
        QStringLiteral("What each month's calls would have cost with another rate file, as a line"));
    // A long rate name does not widen the window; the list shows it whole.
    CompareRateBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    CompareRateBox->setMinimumContentsLength(20);
    compareLabel->setBuddy(CompareRateBox);
    listRateFiles();
    connect(CompareRateBox, &QComboBox::activated, this, &TSpendingForm::CompareRateBoxChange);

    m_chart = new SpendingChart;
    SpendingChartView = new QChartView(m_chart, this);
    SpendingChartView->setObjectName(QStringLiteral("SpendingChart"));
    SpendingChartView->setAccessibleName(QStringLiteral("Spending chart"));
    SpendingChartView->setRenderHint(QPainter::Antialiasing);
    SpendingChartView->setMinimumSize(560, 360);
    SpendingChartView->setFocusPolicy(Qt::NoFocus);

    BudgetLine = FormRules::make<QLabel>(this, "BudgetLine");
    BudgetLine->setTextInteractionFlags(Qt::TextSelectableByMouse);

    HelpButton = FormRules::make<QPushButton>(this, "HelpButton");
    HelpButton->setText(QStringLiteral("&Help"));
    HelpButton->setAutoDefault(false);
    connect(HelpButton, &QPushButton::clicked, this, [this] {
        if (m_services.help)
            m_services.help->showTopic(HelpTopic);
    });
    FormRules::helpKey(HelpButton);
    SaveChartButton = FormRules::make<QPushButton>(this, "SaveChartButton");
    SaveChartButton->setText(QStringLiteral("Save Chart &As..."));
    SaveChartButton->setAutoDefault(false);
    connect(SaveChartButton, &QPushButton::clicked, this, &TSpendingForm::SaveChartClick);
    CloseButton = FormRules::make<QPushButton>(this, "CloseButton");
    CloseButton->setText(QStringLiteral("&Close"));
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(DayButton);
    top->addWidget(WeekButton);
    top->addWidget(MonthButton);
    top->addStretch();
    top->addWidget(stackLabel);
    top->addWidget(ByBandButton);
    top->addWidget(ByRateButton);
    top->addWidget(ByNumberButton);
    // A row of its own: the window keeps its width at a large font or scale.
    auto* compare = new QHBoxLayout;
    compare->addWidget(compareLabel);
    compare->addWidget(CompareRateBox);
    compare->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(BudgetLine, 1);
    bottom->addWidget(HelpButton);
    bottom->addWidget(SaveChartButton);
    bottom->addWidget(CloseButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(compare);
    layout->addWidget(SpendingChartView, 1);
    layout->addLayout(bottom);

    // The views by letter too; Escape closes, as in every dialog.
    const std::pair<QKeySequence, SpendView> keys[] = {
        {QKeySequence(Qt::Key_D), SpendView::Day},
        {QKeySequence(Qt::Key_W), SpendView::Week},
        {QKeySequence(Qt::Key_M), SpendView::Month},
        {QKeySequence(Qt::CTRL | Qt::Key_1), SpendView::Day},
        {QKeySequence(Qt::CTRL | Qt::Key_2), SpendView::Week},
        {QKeySequence(Qt::CTRL | Qt::Key_3), SpendView::Month}};
    for (const auto& [key, view] : keys)
        connect(new QShortcut(key, this), &QShortcut::activated, this,
                [this, view = view] { showView(view); });

    m_chart->follow(palette(), font());
    // Room for 31 bars and their labels, as far as the screen allows.
    ScreenPlace::fit(this, QSize(820, 560));
}

void TSpendingForm::LoadFigures() {
    SpendingReading reading = SpendingReading::read(m_services.programDirectory, m_services.clock->now());
    if (!reading.figures.logRead())
        tell(CallLogViewer::cannotRead(reading.logPath, reading.figures.readFailure()));
    m_symbol = reading.symbol;
    m_budget = reading.budgetAmount();
    BudgetLine->setVisible(m_budget.has_value());
    BudgetLine->setText(reading.budgetText());
    m_figures = std::move(reading.figures);
    m_numberNames.reset();
    m_numberStacks = {};
    loadTariffLine();
    redraw();
}

void TSpendingForm::listRateFiles() {
    // The rate files the comparison lists, the one in use marked as it marks it.
    const QString inUse = TariffComparison::activeRateName(m_services.programDirectory);
    CompareRateBox->addItem(QStringLiteral("No other rate file"));
    for (const QString& file : rateFileNames(m_services.programDirectory)) {
        const QString name = file.chopped(ProgramFiles::RateFileExtension.size());
        CompareRateBox->addItem(TariffTable::rateFileText(name, name == inUse), name);
    }
}

void TSpendingForm::CompareRateBoxChange(int index) {
    CompareRateBox->setCurrentIndex(index);
    loadTariffLine();
    redraw();
}

void TSpendingForm::loadTariffLine() {
    m_tariff.reset();
    const QString name = CompareRateBox->currentData().toString();
    if (name.isEmpty())
        return;
    const QString path = ProgramFiles::rateFilePath(m_services.programDirectory, name);
    QString reason;
    const std::optional<TariffPrices> prices = TariffPrices::read(path, &reason);
    if (!prices) {
        CompareRateBox->setCurrentIndex(0);
        tell(CallLogViewer::cannotRead(path, reason));
        return;
    }
    const CallLog log(ProgramFiles::callLogPath(m_services.programDirectory));
    const TariffBars priced = TariffBars::compute(log, m_figures.bars(SpendView::Month), *prices);
    if (!priced.logRead())
        tell(CallLogViewer::cannotRead(log.path(), priced.readFailure()));
    SpendingChart::TariffLine line{name, {}};
    for (const MoneySum& gross : priced.gross())
        line.gross.push_back(gross.total());
    m_tariff = std::move(line);
}

void TSpendingForm::showView(SpendView view) {
    m_view = view;
    redraw();
}

void TSpendingForm::setStack(SpendingChart::Stack stack) {
    m_stack = stack;
    redraw();
}

void TSpendingForm::loadNumberStack() {
    if (m_numberStacks[size_t(m_view)])
        return;
    if (!m_numberNames) {
        QString path, reason;
        m_numberNames = NumberNames::read(m_services.programDirectory, &path, &reason);
        if (!path.isEmpty())
            tell(CallLogViewer::cannotRead(path, reason));
    }
    const CallLog log(ProgramFiles::callLogPath(m_services.programDirectory));
    NumberStack stack =
        NumberStack::compute(log, *m_numberNames, m_figures.bars(m_view), SpendingChart::MostNumbers);
    if (!stack.logRead)
        tell(CallLogViewer::cannotRead(log.path(), stack.readFailure));
    m_numberStacks[size_t(m_view)] = std::move(stack);
}

void TSpendingForm::redraw() {
    m_views->button(int(m_view))->setChecked(true);
    const std::array stackButtons{ByBandButton, ByRateButton, ByNumberButton};
    stackButtons[size_t(m_stack)]->setChecked(true);
    if (m_stack == SpendingChart::Stack::Numbers) {
        loadNumberStack();
        m_chart->setNumberStack(*m_numberStacks[size_t(m_view)]);
    }
    CompareRateBox->setEnabled(m_view == SpendView::Month);
    m_chart->showFigures(m_figures, m_view, m_stack, m_budget, m_symbol, m_tariff);
}

void TSpendingForm::SaveChartClick() {
    int filter = 0;
    const QString chosen = m_services.files->saveFileNameFiltered(
        QStringLiteral("Save Chart As"), QDir::homePath(), ChartImage::Filters, &filter);
    if (chosen.isEmpty())
        return;
    const QString name = ChartImage::withSuffix(chosen, filter);
    if (FileChooser::mayReplace(chosen, name, *m_services.prompter))
        tell(ChartImage::write(*m_chart, name));
}

void TSpendingForm::tell(const QString& message) {
    if (!message.isEmpty())
        QTimer::singleShot(0, this, [this, message] { m_services.prompter->error(message); });
}

void TSpendingForm::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange ||
        event->type() == QEvent::StyleChange)
        m_chart->follow(palette(), font());
}
