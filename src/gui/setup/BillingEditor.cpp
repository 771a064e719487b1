#include "gui/setup/BillingEditor.h"

#include "core/tariff/Costing.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace {

struct BlockChoice {
    int first;
    int next;
};
// The blocks a tariff usually has; the last choice, "other...", takes any two.
constexpr BlockChoice Choices[] = {{0, 0}, {1, 1}, {60, 60}, {60, 1}};
constexpr int OtherChoice = std::size(Choices);

const QString EasterFriday = QStringLiteral("Easter-2");
const QString EasterMonday = QStringLiteral("Easter+1");

QLabel* label(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setBuddy(buddy);
    return l;
}

} // namespace

BillingEditor::BillingEditor(QWidget* parent) : QGroupBox(tr("Billing"), parent) {
    setObjectName(QStringLiteral("BillingGroup"));

    m_blocks = new QComboBox(this);
    m_blocks->setObjectName(QStringLiteral("BlocksBox"));
    m_blocks->setToolTip(tr("How the length of a call is charged"));
    for (const BlockChoice& choice : Choices)
        m_blocks->addItem(blocksName(choice.first, choice.next));
    m_blocks->addItem(tr("other\u2026"));
    m_firstBlock = new QSpinBox(this);
    m_firstBlock->setObjectName(QStringLiteral("FirstBlockBox"));
    m_firstBlock->setToolTip(tr("Seconds charged whole at the start of a call"));
    m_firstBlock->setAccessibleName(tr("First block"));
    m_nextBlock = new QSpinBox(this);
    m_nextBlock->setObjectName(QStringLiteral("NextBlockBox"));
    m_nextBlock->setToolTip(tr("Seconds charged whole after the first block; 0: continuous"));
    m_nextBlock->setAccessibleName(tr("Next blocks"));
    for (QSpinBox* box : {m_firstBlock, m_nextBlock}) {
        box->setRange(0, BillingRules::LongestBlock);
        box->setSuffix(tr(" s"));
    }

    m_roundUpTo = new QDoubleSpinBox(this);
    m_roundUpTo->setObjectName(QStringLiteral("RoundUpToBox"));
    m_roundUpTo->setToolTip(
        tr("Each call's charge without tax is rounded up to a multiple of this many pence"));
    m_roundUpTo->setDecimals(3);
    m_roundUpTo->setRange(0, BillingRules::LargestRoundUpTo);
    m_roundUpTo->setSingleStep(0.1);
    m_roundUpTo->setSpecialValueText(tr("not rounded"));
    m_roundUpTo->setSuffix(tr(" pence"));

    m_cap = new QDoubleSpinBox(this);
    m_cap->setObjectName(QStringLiteral("CapPerCallBox"));
    m_cap->setToolTip(tr("The most a call's charge without tax can be, in main units"));
    m_cap->setDecimals(2);
    m_cap->setRange(0, BillingRules::LargestCap);
    m_cap->setSpecialValueText(tr("no cap"));

    m_freeMinutes = new QSpinBox(this);
    m_freeMinutes->setObjectName(QStringLiteral("FreeMinutesBox"));
    m_freeMinutes->setToolTip(tr("Minutes included in each bill period (from the budget's bill day)"));
    m_freeMinutes->setRange(0, BillingRules::MostFreeMinutes);
    m_freeMinutes->setSpecialValueText(tr("none"));
    m_freeMinutes->setSuffix(tr(" min"));
    auto* bands = new QHBoxLayout;
    const char* bandNames[] = {"FreeDaytime", "FreeEvening", "FreeWeekend"};
    for (int band = Daytime; band <= Weekend; ++band) {
        QCheckBox*& box = m_freeBands[band - 1];
        box = new QCheckBox(timeBandName(band), this);
        box->setObjectName(QLatin1String(bandNames[band - 1]));
        box->setToolTip(tr("Free minutes cover calls in this band"));
        bands->addWidget(box);
        connect(box, &QCheckBox::toggled, this, &BillingEditor::userEdit);
    }
    bands->addStretch();

    m_holidays = new QLineEdit(this);
    m_holidays->setObjectName(QStringLiteral("HolidaysBox"));
    m_holidays->setToolTip(tr("Calls starting on these days are priced as Weekend: MM-DD every year, "
                              "YYYY-MM-DD once, Easter\u00b1N days, separated by commas"));
    m_holidays->setPlaceholderText(tr("e.g. 01-01, 12-25, 12-26, 2026-05-04"));
    // Room for the usual half-dozen entries.
    m_holidays->setMinimumWidth(
        m_holidays->fontMetrics().horizontalAdvance(QStringLiteral("01-01, 12-25, Easter-2, Easter+1")));
    m_easterFriday = new QPushButton(tr("+ Easter Friday"), this);
    m_easterFriday->setObjectName(QStringLiteral("EasterFridayButton"));
    m_easterFriday->setToolTip(tr("Add Good Friday, two days before Easter Sunday"));
    m_easterMonday = new QPushButton(tr("+ Easter Monday"), this);
    m_easterMonday->setObjectName(QStringLiteral("EasterMondayButton"));
    m_easterMonday->setToolTip(tr("Add Easter Monday, the day after Easter Sunday"));
    for (QPushButton* button : {m_easterFriday, m_easterMonday})
        button->setAutoDefault(false);
    connect(m_easterFriday, &QPushButton::clicked, this, [this] { addHoliday(EasterFriday); });
    connect(m_easterMonday, &QPushButton::clicked, this, [this] { addHoliday(EasterMonday); });

    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("BillingProblem"));
    m_problem->setWordWrap(true);
    m_problem->setTextFormat(Qt::PlainText);
    QPalette red = m_problem->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    m_problem->setPalette(red);
    m_problem->hide();
    // A long reason wraps within the group instead of widening the page.
    m_problem->setMinimumWidth(1);

    // Label and control in two columns, the rows short, so the group stands
    // beside the rate grid rather than under it.
    const auto row = [this](std::initializer_list<QWidget*> widgets, bool stretch = true) {
        auto* line = new QHBoxLayout;
        line->setSpacing(6);
        for (QWidget* w : widgets)
            line->addWidget(w);
        if (stretch)
            line->addStretch();
        return line;
    };
    auto* then = new QLabel(tr("then"), this);
    auto* period = new QLabel(tr("each bill period"), this);
    bands->setSpacing(6);

    m_controls = new QWidget(this);
    auto* grid = new QGridLayout(m_controls);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(4);
    grid->addWidget(label(tr("&Blocks:"), m_blocks, this), 0, 0);
    grid->addWidget(m_blocks, 0, 1);
    grid->addLayout(row({m_firstBlock, then, m_nextBlock}), 1, 1);
    grid->addWidget(label(tr("&Round up to:"), m_roundUpTo, this), 2, 0);
    grid->addLayout(row({m_roundUpTo}), 2, 1);
    grid->addWidget(label(tr("&Cap per call:"), m_cap, this), 3, 0);
    grid->addLayout(row({m_cap}), 3, 1);
    grid->addWidget(label(tr("&Free minutes:"), m_freeMinutes, this), 4, 0);
    grid->addLayout(row({m_freeMinutes, period}), 4, 1);
    grid->addLayout(bands, 5, 1);
    grid->addWidget(label(tr("&Holidays:"), m_holidays, this), 6, 0);
    grid->addWidget(m_holidays, 6, 1);
    grid->addLayout(row({m_easterFriday, m_easterMonday}), 7, 1);
    grid->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_controls);
    layout->addWidget(m_problem);

    connect(m_blocks, &QComboBox::activated, this, &BillingEditor::blocksChosen);
    for (QSpinBox* box : {m_firstBlock, m_nextBlock, m_freeMinutes})
        connect(box, &QSpinBox::valueChanged, this, &BillingEditor::userEdit);
    for (QDoubleSpinBox* box : {m_roundUpTo, m_cap})
        connect(box, &QDoubleSpinBox::valueChanged, this, &BillingEditor::userEdit);
    connect(m_holidays, &QLineEdit::textEdited, this, &BillingEditor::userEdit);

    setRules({});
}

void BillingEditor::setRules(const BillingRules& rules) {
    m_setting = true;
    m_loaded = rules;
    m_readable = true;
    m_controls->setEnabled(true);
    int choice = OtherChoice;
    for (int i = 0; i < OtherChoice; ++i)
        if (Choices[i].first == rules.firstBlock && Choices[i].next == rules.nextBlock)
            choice = i;
    m_blocks->setCurrentIndex(choice);
    m_firstBlock->setValue(rules.firstBlock);
    m_nextBlock->setValue(rules.nextBlock);
    m_roundUpTo->setValue(rules.roundUpTo);
    m_cap->setValue(rules.capPerCall);
    m_freeMinutes->setValue(rules.freeMinutes);
    for (int band = Daytime; band <= Weekend; ++band)
        m_freeBands[band - 1]->setChecked(rules.coversBand(band));
    m_holidays->setText(holidaysText(rules.holidays));
    m_holidays->setCursorPosition(0);
    blocksChosen(choice);
    m_setting = false;
    showProblem();
}

void BillingEditor::setUnreadable(const QString& why) {
    setRules({});
    m_readable = false;
    m_problem->setText(why);
    m_problem->setToolTip(why);
    m_problem->show();
    m_controls->setEnabled(false);
}

std::optional<BillingRules> BillingEditor::rules(QString* error) const {
    // A value a box shows rounded stays as it was read until it is changed.
    const auto kept = [](const QDoubleSpinBox* box, double loaded) {
        const double shown = QString::number(loaded, 'f', box->decimals()).toDouble();
        return box->value() == shown ? loaded : box->value();
    };
    BillingRules rules;
    rules.firstBlock = m_firstBlock->value();
    rules.nextBlock = m_nextBlock->value();
    rules.roundUpTo = kept(m_roundUpTo, m_loaded.roundUpTo);
    rules.capPerCall = kept(m_cap, m_loaded.capPerCall);
    rules.freeMinutes = m_freeMinutes->value();
    rules.freeBands = 0;
    for (int band = Daytime; band <= Weekend; ++band)
        if (m_freeBands[band - 1]->isChecked())
            rules.freeBands |= 1 << (band - 1);
    QString why;
    const std::optional<std::vector<Holiday>> holidays = parseHolidays(m_holidays->text(), &why);
    if (holidays)
        rules.holidays = *holidays;
    else if (error)
        *error = tr("Holidays: %1").arg(why);
    if (rules.freeMinutes > 0 && rules.freeBands == 0) {
        if (error)
            *error = tr("Free minutes: choose the bands they cover");
        return std::nullopt;
    }
    if (!holidays)
        return std::nullopt;
    if (rules.freeBands == 0)
        rules.freeBands = BillingRules::EveryBand;
    return rules;
}

void BillingEditor::blocksChosen(int index) {
    const bool other = index == OtherChoice;
    m_firstBlock->setEnabled(other);
    m_nextBlock->setEnabled(other);
    if (!other) {
        const bool setting = m_setting;
        m_setting = true;
        m_firstBlock->setValue(Choices[index].first);
        m_nextBlock->setValue(Choices[index].next);
        m_setting = setting;
    }
    userEdit();
}

void BillingEditor::addHoliday(const QString& text) {
    const std::optional<std::vector<Holiday>> list = parseHolidays(m_holidays->text());
    const std::optional<Holiday> holiday = Holiday::parse(text);
    if (list && std::find(list->cbegin(), list->cend(), *holiday) != list->cend())
        return;
    const QString current = m_holidays->text().trimmed();
    m_holidays->setText(current.isEmpty() || current.endsWith(QLatin1Char(','))
                            ? current + (current.isEmpty() ? QString() : QStringLiteral(" ")) + text
                            : current + QStringLiteral(", ") + text);
    userEdit();
}

void BillingEditor::showProblem() {
    if (!m_readable)
        return;
    QString why;
    const bool fine = rules(&why).has_value();
    m_problem->setText(fine ? QString() : why);
    m_problem->setVisible(!fine);
}

void BillingEditor::userEdit() {
    if (m_setting)
        return;
    showProblem();
    emit edited();
}
