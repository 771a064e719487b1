#include "gui/setup/MainSetupPage.h"

#include "core/seams/Autostart.h"
#include "core/seams/HelpViewer.h"
#include "core/seams/Prompter.h"
#include "core/seams/Services.h"
#include "core/settings/MeterSettings.h"
#include "core/settings/SensedDevice.h"
#include "core/settings/SettingsFile.h"
#include "core/tariff/Costing.h"
#include "gui/setup/SoundRow.h"
#include "gui/widgets/FlowLayout.h"
#include "gui/widgets/FormRules.h"
#include "gui/widgets/MaskedEdit.h"
#include "gui/widgets/MoneyValidator.h"
#include "gui/widgets/SensingTexts.h"
#include "gui/widgets/SerialDeviceBox.h"
#include "gui/widgets/TimeValidator.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

using namespace SettingsKeys;

namespace {

const QString NotAValidTime = QStringLiteral("Not A Valid Time");

enum HelpTopic { PortHelpTopic = 3, SensingHelpTopic = 4, SetupHelpTopic = 6 };

struct SoundRowSpec {
    SoundEvent event;
    const char* caption;
    SoundRow::Names names;
};

const SoundRowSpec SoundRows[SoundEventCount] = {
    {StartSound, "St&art timing", {"StartSoundOn", "StartFilebox", "StartBrowseButton", "StartPlayButton"}},
    {StopSound, "Sto&p timing", {"StopSoundOn", "StopFileBox", "StopBrowseButton", "StopPlayButton"}},
    {RunSound, "Program &run", {"RunSoundOn", "RunFileBox", "RunBrowseButton", "RunPlayButton"}},
    {ExitSound, "Program e&xit", {"ExitSoundOn", "ExitFileBox", "ExitBrowseButton", "ExitPlayButton"}},
    {SpendSound, "Spend Warnin&g", {"SpendSoundOn", "SpendFileBox", "SpendBrowseButton", "SpendPlayButton"}},
};

QGroupBox* addGroup(const QString& title, const char* name, QWidget* parent) {
    auto* group = new QGroupBox(title, parent);
    group->setObjectName(QLatin1String(name));
    return group;
}

// Group boxes sit close together: the page shares the dialog with the rate editor.
template <typename Layout> Layout* compact(Layout* layout) {
    layout->setContentsMargins(8, 4, 8, 6);
    layout->setSpacing(4);
    return layout;
}

QPushButton* helpButton(const QString& text, const char* name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

// An amount's entry with the main symbol close before it.
QHBoxLayout* amountRow(QLabel* symbol, QWidget* entry) {
    auto* row = new QHBoxLayout;
    row->setSpacing(2);
    row->addWidget(symbol);
    row->addWidget(entry);
    return row;
}

int textWidth(const QWidget* widget, const QString& sample) {
    return widget->fontMetrics().horizontalAdvance(sample) + 16;
}

} // namespace

MainSetupPage::MainSetupPage(const Services& services, QWidget* parent)
    : QWidget(parent), m_services(services) {
    setObjectName(QStringLiteral("MainSetupPage"));

    // Created in reading order, which is also the tab order.
    auto* daytime = addGroup(QStringLiteral("Daytime Sensing"), "DaytimeSensingGroup", this);
    auto* spend = addGroup(QStringLiteral("Spend Limit Warning"), "SpendLimitGroup", this);
    auto* currency = addGroup(QStringLiteral("Currency"), "CurrencyGroup", this);
    auto* sounds = addGroup(QStringLiteral("Sounds"), "SoundsGroup", this);
    auto* sensing = addGroup(QStringLiteral("Automatic Call Sensing"), "AutoSensingGroup", this);
    auto* port = addGroup(QStringLiteral("&Serial port to watch"), "PortGroup", this);
    auto* defaults = addGroup(QStringLiteral("Program Defaults"), "ProgramDefaultsGroup", this);
    auto* budget = addGroup(QStringLiteral("Monthly Budget"), "BudgetGroup", this);
    buildDaytimeGroup(daytime);
    buildSpendGroup(spend);
    buildCurrencyGroup(currency);
    buildSoundsGroup(sounds);
    buildSensingGroup(sensing);
    buildPortGroup(port);
    buildDefaultsGroup(defaults);
    buildBudgetGroup(budget);
    auto* help = helpButton(QStringLiteral("&Help"), "HelpButton", this);
    connect(help, &QPushButton::clicked, this, &MainSetupPage::HelpButtonClick);

    // The rows go on over another line where the dialog is narrower than they
    // are (a small screen, a large scale), rather than cutting a group off.
    auto* topRow = new FlowLayout;
    topRow->setSpacing(6);
    for (QWidget* group : {daytime, spend, currency, budget})
        topRow->addWidget(group);
    // The sensing choice beside its port, the defaults under the port: the
    // page stays low enough for a small screen at a large font.
    auto* rightColumn = new QVBoxLayout;
    rightColumn->addWidget(port);
    rightColumn->addWidget(defaults);
    rightColumn->addStretch(1);
    rightColumn->addWidget(help, 0, Qt::AlignRight);
    auto* lowerRow = new FlowLayout;
    lowerRow->setSpacing(6);
    lowerRow->addWidget(sensing);
    lowerRow->addLayout(rightColumn);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(8, 8, 8, 8);
    page->setSpacing(6);
    page->addLayout(topRow);
    page->addWidget(sounds);
    page->addLayout(lowerRow);
    page->addStretch(1);

    // The state a fresh dialog shows before the settings are read.
    m_playSounds->setChecked(true);
    for (SoundRow* row : m_sounds)
        row->setSoundOn(true);
    m_spendLimitOn->setChecked(true);
    m_autoDisabled->setChecked(true);
    m_device->setDevice(SensedDevice::portDevice(DefaultPortToSense));
    m_linkToSense->setText(DefaultLinkToSense);
    m_spendSymbol->setText(DefaultMainSymbol);
    m_spendLimit->setValue(m_goodSpendAmount);
    m_budgetSymbol->setText(DefaultMainSymbol);
    m_budgetAmount->setValue(BudgetSettings::DefaultAmount);
    PlaySoundsCheckBoxClick();
    SpendLimitOnClick();
    BudgetOnClick();
    Auto16GroupAble(false);
}

void MainSetupPage::buildDaytimeGroup(QWidget* group) {
    auto makeTimeBox = [&](const char* name) {
        auto* box = new MaskedEdit(*m_services.prompter, new TimeValidator, QStringLiteral("00:00"), group);
        box->setObjectName(QLatin1String(name));
        box->setValue(DefaultDayTime);
        return box;
    };
    m_dayTimeStart = makeTimeBox("DayTimeStart");
    m_dayTimeEnd = makeTimeBox("DayTimeEnd");
    connect(m_dayTimeStart, &MaskedEdit::left, this, &MainSetupPage::DayTimeStartExit);
    connect(m_dayTimeEnd, &MaskedEdit::left, this, &MainSetupPage::DayTimeEndExit);

    auto* form = compact(new QFormLayout(group));
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->addRow(QStringLiteral("&Daytime Start"), m_dayTimeStart);
    form->addRow(QStringLiteral("Daytime E&nd"), m_dayTimeEnd);
}

void MainSetupPage::buildSpendGroup(QWidget* group) {
    m_spendLimitOn = new QCheckBox(QStringLiteral("Enable Spend &Warning"), group);
    m_spendLimitOn->setObjectName(QStringLiteral("SpendLimitOn"));
    connect(m_spendLimitOn, &QCheckBox::clicked, this, &MainSetupPage::SpendLimitOnClick);

    m_spendLimit = new MaskedEdit(*m_services.prompter, new MoneyValidator, QStringLiteral("00.00"), group);
    m_spendLimit->setObjectName(QStringLiteral("SpendLimitEdit"));
    m_spendLimit->setAlignment(Qt::AlignRight);
    m_spendLimitLabel = new QLabel(QStringLiteral("Spend &Limit"), group);
    m_spendLimitLabel->setObjectName(QStringLiteral("SpendLimitLabel"));
    m_spendLimitLabel->setBuddy(m_spendLimit);
    // The main symbol stands before the amount; it is not part of what is typed.
    m_spendSymbol = new QLabel(group);
    m_spendSymbol->setObjectName(QStringLiteral("SpendSymbolLabel"));
    m_spendSymbol->setTextFormat(Qt::PlainText);

    auto* grid = compact(new QGridLayout(group));
    grid->addWidget(m_spendLimitOn, 0, 0, 1, 2);
    grid->addWidget(m_spendLimitLabel, 1, 0, Qt::AlignRight);
    grid->addLayout(amountRow(m_spendSymbol, m_spendLimit), 1, 1, Qt::AlignLeft);
}

void MainSetupPage::buildCurrencyGroup(QWidget* group) {
    auto makeSymbolBox = [&](const char* name) {
        auto* box = new QLineEdit(group);
        box->setObjectName(QLatin1String(name));
        box->setMaxLength(1);
        box->setFixedWidth(textWidth(box, QStringLiteral("WW")));
        return box;
    };
    m_mainSymbol = makeSymbolBox("MainSymbol");
    m_subSymbol = makeSymbolBox("SubSymbol");

    auto* form = compact(new QFormLayout(group));
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->addRow(QStringLiteral("&Main symbol ($)"), m_mainSymbol);
    form->addRow(QStringLiteral("Secondar&y symbol (\u00a2 or $/100)"), m_subSymbol);
}

constexpr int BudgetWholeDigits = 5;

void MainSetupPage::buildBudgetGroup(QWidget* group) {
    m_budgetOn = new QCheckBox(QStringLiteral("Monthly budge&t"), group);
    m_budgetOn->setObjectName(QStringLiteral("BudgetOn"));
    m_budgetOn->setToolTip(QStringLiteral("Show what this bill period's calls cost against a budget, "
                                          "and tell me at 80% and 100% of it"));
    connect(m_budgetOn, &QCheckBox::clicked, this, &MainSetupPage::BudgetOnClick);

    // A monthly bill may well pass 99.99, the most the design's amounts hold.
    m_budgetAmount = new MaskedEdit(*m_services.prompter, new MoneyValidator(BudgetWholeDigits, nullptr),
                                    QStringLiteral("0000.00"), group);
    m_budgetAmount->setObjectName(QStringLiteral("BudgetAmount"));
    m_budgetAmount->setAccessibleName(QStringLiteral("Budget amount"));
    m_budgetAmount->setAlignment(Qt::AlignRight);
    m_budgetSymbol = new QLabel(group);
    m_budgetSymbol->setObjectName(QStringLiteral("BudgetSymbolLabel"));
    m_budgetSymbol->setTextFormat(Qt::PlainText);
    m_budgetAmount->setToolTip(QStringLiteral("The budget for a bill period, tax included"));

    m_billDay = new QSpinBox(group);
    m_billDay->setObjectName(QStringLiteral("BillDay"));
    m_billDay->setAccessibleName(QStringLiteral("Bill period starts on day"));
    m_billDay->setRange(1, BudgetSettings::LastBillDay);
    m_billDay->setValue(BudgetSettings::DefaultBillDay);
    auto* dayLabel = new QLabel(QStringLiteral("&from day"), group);
    dayLabel->setBuddy(m_billDay);

    auto* grid = compact(new QGridLayout(group));
    // Two lines, as its neighbours in the top row: the page stays low.
    grid->addWidget(m_budgetOn, 0, 0, 1, 3);
    grid->addLayout(amountRow(m_budgetSymbol, m_budgetAmount), 1, 0, Qt::AlignLeft);
    grid->addWidget(dayLabel, 1, 1, Qt::AlignRight);
    grid->addWidget(m_billDay, 1, 2, Qt::AlignLeft);
}

void MainSetupPage::buildSoundsGroup(QWidget* group) {
    auto* grid = compact(new QGridLayout(group));
    grid->setVerticalSpacing(3);
    for (const char* caption : {"Use Sound", "Sound Location"}) {
        auto* label = new QLabel(QLatin1String(caption), group);
        grid->addWidget(label, 0, m_soundLabels.size());
        m_soundLabels << label;
    }
    for (const SoundRowSpec& entry : SoundRows) {
        auto* row = new SoundRow(entry.event, QLatin1String(entry.caption), entry.names, m_services, group);
        row->addTo(grid, entry.event + 1);
        m_sounds[entry.event] = row;
    }
    grid->setColumnStretch(1, 1);
}

void MainSetupPage::buildDefaultsGroup(QWidget* group) {
    auto makeBox = [&](const QString& text, const char* name) {
        auto* box = new QCheckBox(text, group);
        box->setObjectName(QLatin1String(name));
        connect(box, &QCheckBox::clicked, this, &MainSetupPage::PlaySoundsCheckBoxClick);
        return box;
    };
    m_playSounds = makeBox(QStringLiteral("Play S&ounds"), "PlaySoundsCheckBox");
    m_showSplash = makeBox(QStringLiteral("Show Splash Screen"), "ShowSplashCheckBox");
    m_queryExit = makeBox(QStringLiteral("&Query Before Exit"), "QueryExitCheckBox");
    m_runOnStartup = makeBox(QStringLiteral("Start when I log &in"), "RunOnStartupCheckBox");
    m_runOnStartup->setToolTip(QStringLiteral("Start Dialtally Pro when you log in to the desktop"));
    // The splash screen is shown at every start; the box only says so.
    m_showSplash->setChecked(true);
    m_showSplash->setEnabled(false);

    auto* grid = compact(new QGridLayout(group));
    grid->setVerticalSpacing(3);
    grid->addWidget(m_playSounds, 0, 0);
    grid->addWidget(m_showSplash, 1, 0);
    grid->addWidget(m_queryExit, 0, 1);
    grid->addWidget(m_runOnStartup, 1, 1);
    grid->setColumnStretch(2, 1);
}

void MainSetupPage::buildSensingGroup(QWidget* group) {
    auto makeChoice = [&](const QString& text, const char* name, void (MainSetupPage::*handler)()) {
        auto* choice = new QRadioButton(text, group);
        choice->setObjectName(QLatin1String(name));
        connect(choice, &QRadioButton::clicked, this, handler);
        return choice;
    };
    // When to choose a way of sensing, under its choice and in line with its text.
    auto makeNote = [&](QRadioButton* choice, const QString& text, const char* name) {
        auto* note = new QLabel(text, group);
        note->setObjectName(QLatin1String(name));
        FormRules::noteUnderChoice(note, choice);
        return note;
    };
    m_auto32 = makeChoice(SensingTexts::ModemManager, "Auto32bitRadioButton",
                          &MainSetupPage::Auto32bitRadioButtonClick);
    auto* note32 = makeNote(m_auto32, SensingTexts::ModemManagerNote, "Auto32bitNote");
    m_auto16 =
        makeChoice(SensingTexts::Carrier, "Auto16bitRadioButton", &MainSetupPage::Auto16bitRadioButtonClick);
    auto* note16 = makeNote(m_auto16, SensingTexts::CarrierNote, "Auto16bitNote");
    m_autoLink = makeChoice(SensingTexts::NetworkLink, "AutoLinkRadioButton",
                            &MainSetupPage::AutoLinkRadioButtonClick);
    // The link's name beside its choice, where the others have a note: the
    // page must fit a small screen at a large font. The note is the hint.
    m_autoLink->setToolTip(SensingTexts::NetworkLinkNote);
    m_autoLink->setAccessibleDescription(SensingTexts::NetworkLinkNote);
    m_linkToSense = FormRules::make<QLineEdit>(group, "LinkToSenseBox", QStringLiteral("Network link name"));
    m_linkToSense->setToolTip(
        QStringLiteral("A network link's name, such as ppp0 or wwan0; * and ? stand for any"));
    m_linkToSense->setMaxLength(64);
    m_linkToSense->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^\\s/]*")), m_linkToSense));
    m_linkToSense->setFixedWidth(textWidth(m_linkToSense, QStringLiteral("ppp*wwan*ppp")));
    auto* linkLabel = new QLabel(QStringLiteral("Lin&k name"), group);
    linkLabel->setBuddy(m_linkToSense);
    for (QWidget* part : std::initializer_list<QWidget*>{linkLabel, m_linkToSense}) {
        part->setEnabled(false);
        connect(m_autoLink, &QRadioButton::toggled, part, &QWidget::setEnabled);
    }
    auto* linkLine = new QHBoxLayout;
    linkLine->addWidget(m_autoLink);
    linkLine->addStretch(1);
    linkLine->addWidget(linkLabel);
    linkLine->addWidget(m_linkToSense);
    m_autoDisabled = makeChoice(SensingTexts::Disabled, "AutoDisabledRadioButton",
                                &MainSetupPage::AutoDisabledRadioButtonClick);
    auto* help = helpButton(QStringLiteral("Help"), "Helpforsensing", group);
    help->setToolTip(QStringLiteral("Help on call sensing"));
    connect(help, &QPushButton::clicked, this, &MainSetupPage::HelpforsensingClick);

    // The Help button shares the short last line, so the long choices set the width.
    auto* lastLine = new QHBoxLayout;
    lastLine->addWidget(m_autoDisabled);
    lastLine->addStretch(1);
    lastLine->addWidget(help);
    auto* column = compact(new QVBoxLayout(group));
    column->setSpacing(1);
    column->addWidget(m_auto32);
    column->addWidget(note32);
    column->addSpacing(3);
    column->addWidget(m_auto16);
    column->addWidget(note16);
    column->addSpacing(3);
    column->addLayout(linkLine);
    column->addSpacing(3);
    column->addLayout(lastLine);
}

void MainSetupPage::buildPortGroup(QWidget* group) {
    m_device = new SerialDeviceBox(m_services.serialDevices, group);
    m_device->setObjectName(QStringLiteral("DeviceToSenseBox"));
    m_device->setToolTip(QStringLiteral("The serial device the modem is on; a path may be typed"));
    m_portHelp = helpButton(QStringLiteral("Help"), "BitBtn1", group);
    m_portHelp->setToolTip(QStringLiteral("Help on the serial port"));
    connect(m_portHelp, &QPushButton::clicked, this, &MainSetupPage::BitBtn1Click);

    auto* row = compact(new QHBoxLayout(group));
    row->addWidget(m_device, 1);
    row->addWidget(m_portHelp);
}

void MainSetupPage::ReadIniSettings(const SettingsSnapshot& file) {
    m_dayTimeStart->setValue(file.ReadSettingString(RateSection, DayTimeStart, DefaultDayTime));
    m_dayTimeEnd->setValue(file.ReadSettingString(RateSection, DayTimeEnd, DefaultDayTime));

    for (SoundRow* row : m_sounds) {
        const auto& keys = Sounds[row->event()];
        row->setLocation(
            file.ReadSettingString(SoundSection, QLatin1String(keys.pathKey),
                                   defaultSoundPath(m_services.resourceDirectory, row->event())));
    }
    for (SoundRow* row : m_sounds)
        row->setSoundOn(
            file.ReadSettingBool(SoundSection, QLatin1String(Sounds[row->event()].switchRead), true));
    m_playSounds->setChecked(file.ReadSettingBool(SoundSection, PlaySounds, true));
    m_showSplash->setChecked(true);
    m_queryExit->setChecked(file.ReadSettingBool(DefaultsSection, QueryExit, true));
    m_spendLimitOn->setChecked(file.ReadSettingBool(DefaultsSection, SpendWarningOn, true));

    const QString mainSymbol = file.ReadSettingString(DefaultsSection, MainSymbol, DefaultMainSymbol);
    m_mainSymbol->setText(mainSymbol);
    m_subSymbol->setText(file.ReadSettingString(DefaultsSection, SubSymbol, DefaultSubSymbol));

    m_spendSymbol->setText(mainSymbol.left(1));
    m_budgetSymbol->setText(mainSymbol.left(1));
    m_budgetRead = BudgetSettings::read(file);
    m_budgetOn->setChecked(m_budgetRead.on);
    m_budgetAmount->setValue(formatFixed(m_budgetRead.amount, 2));
    m_billDay->setValue(m_budgetRead.billDay);
    m_spendLimit->setValue(file.ReadSettingString(DefaultsSection, SpendWarning, DefaultSpendWarning));
    if (m_spendLimit->isComplete())
        m_goodSpendAmount = m_spendLimit->value();

    // A stored port outside 1..4, and no device beside it, chooses none.
    m_device->setDevice(SensedDevice::read(file));

    m_linkRead = readLinkToSense(file);
    m_linkToSense->setText(m_linkRead);

    const int mode = file.ReadSettingInteger(DefaultsSection, AutoCallSensing, 0);
    (mode == 3 ? m_autoLink : mode == 2 ? m_auto32 : mode == 1 ? m_auto16 : m_autoDisabled)->setChecked(true);
    Auto16GroupAble(mode == 1);

    m_runOnStartup->setChecked(m_services.autostart && m_services.autostart->exists());

    PlaySoundsCheckBoxClick();
    SpendLimitOnClick();
    BudgetOnClick();
}

BudgetSettings MainSetupPage::budgetShown() const {
    BudgetSettings budget = m_budgetRead;
    budget.on = m_budgetOn->isChecked();
    budget.amount = parseAmount(m_budgetAmount->value()).value_or(0);
    budget.billDay = m_billDay->value();
    return budget;
}

bool MainSetupPage::WriteIniSettings(const SettingsFile& file, SettingsChanges changes) {
    changes.setString(RateSection, DayTimeStart, m_dayTimeStart->value())
        .setString(RateSection, DayTimeEnd, m_dayTimeEnd->value());
    for (const SoundRow* row : m_sounds)
        changes.setString(SoundSection, QLatin1String(Sounds[row->event()].pathKey), row->location());
    for (const SoundRow* row : m_sounds)
        changes.setBool(SoundSection, QLatin1String(Sounds[row->event()].switchWrite), row->soundOn());
    changes.setBool(SoundSection, PlaySounds, m_playSounds->isChecked())
        .setBool(DefaultsSection, ShowSplash, true)
        .setBool(DefaultsSection, QueryExit, m_queryExit->isChecked())
        .setString(DefaultsSection, SpendWarning, m_spendLimit->value())
        .setBool(DefaultsSection, SpendWarningOn, m_spendLimitOn->isChecked())
        .setString(DefaultsSection, MainSymbol, m_mainSymbol->text())
        .setString(DefaultsSection, SubSymbol, m_subSymbol->text())
        .setInteger(DefaultsSection, AutoCallSensing,
                    m_autoLink->isChecked() ? 3
                    : m_auto32->isChecked() ? 2
                    : m_auto16->isChecked() ? 1
                                            : 0);
    if (const QString link = linkToSense(m_linkToSense->text()); link != m_linkRead)
        changes.setString(DefaultsSection, LinkToSense, link);
    // With no device chosen the stored keys are left as they are.
    SensedDevice::addTo(changes, m_device->device());
    // A settings file that never had a budget gets none by an OK alone.
    if (const BudgetSettings budget = budgetShown();
        budget.on != m_budgetRead.on ||
        formatFixed(budget.amount, 2) != formatFixed(m_budgetRead.amount, 2) ||
        budget.billDay != m_budgetRead.billDay)
        budget.addTo(changes);
    const bool ok = file.write(changes);
    if (!ok) {
        m_services.prompter->error(file.failureText());
        return false;
    }

    if (!m_services.autostart)
        return true;
    if (m_runOnStartup->isChecked()) {
        const QString failure = m_services.autostart->enable(m_services.programPath);
        if (!failure.isEmpty()) {
            m_services.prompter->error(failure);
            return false;
        }
    } else if (m_services.autostart->exists()) {
        m_services.autostart->disable();
    }
    return true;
}

bool MainSetupPage::checkBeforeClose() {
    for (MaskedEdit* box : {m_dayTimeStart, m_dayTimeEnd}) {
        if (!box->checkComplete() || !checkTime(box)) {
            box->setFocus(Qt::OtherFocusReason);
            return false;
        }
    }
    if (m_spendLimit->isEnabled()) {
        if (!m_spendLimit->checkComplete()) {
            m_spendLimit->setFocus(Qt::OtherFocusReason);
            return false;
        }
    } else if (!m_spendLimit->isComplete()) {
        // A disabled entry cannot be corrected, so it is not held against the
        // user; but the meter must be able to read what is stored.
        m_spendLimit->setValue(m_goodSpendAmount);
    }
    if (m_budgetAmount->isEnabled() && !m_budgetAmount->checkComplete()) {
        m_budgetAmount->setFocus(Qt::OtherFocusReason);
        return false;
    }
    return true;
}

bool MainSetupPage::checkTime(MaskedEdit* box) {
    if (parseTimeOfDay(box->value()))
        return true;
    box->setValue(DefaultDayTime);
    // Told from the event loop, once the focus has gone where it was going.
    QTimer::singleShot(0, this, [this] { m_services.prompter->error(NotAValidTime); });
    return false;
}

void MainSetupPage::DayTimeStartExit() {
    checkTime(m_dayTimeStart);
}
void MainSetupPage::DayTimeEndExit() {
    checkTime(m_dayTimeEnd);
}

void MainSetupPage::PlaySoundsCheckBoxClick() {
    const bool on = m_playSounds->isChecked();
    for (QLabel* label : m_soundLabels)
        label->setEnabled(on);
    for (SoundRow* row : m_sounds)
        row->applyEnabling(on);
}

void MainSetupPage::Auto32bitRadioButtonClick() {
    Auto16GroupAble(false);
}
void MainSetupPage::Auto16bitRadioButtonClick() {
    Auto16GroupAble(true);
}
void MainSetupPage::AutoDisabledRadioButtonClick() {
    Auto16GroupAble(false);
}
void MainSetupPage::AutoLinkRadioButtonClick() {
    Auto16GroupAble(false);
}

void MainSetupPage::Auto16GroupAble(bool enable) {
    m_device->setEnabled(enable);
    m_portHelp->setEnabled(enable);
}

void MainSetupPage::SpendLimitOnClick() {
    const bool on = m_spendLimitOn->isChecked();
    m_spendLimitLabel->setEnabled(on);
    m_spendLimit->setEnabled(on);
}

void MainSetupPage::BudgetOnClick() {
    const bool on = m_budgetOn->isChecked();
    m_budgetAmount->setEnabled(on);
    m_billDay->setEnabled(on);
}

void MainSetupPage::showHelp(int topic) {
    if (m_services.help)
        m_services.help->showTopic(topic);
}

void MainSetupPage::HelpButtonClick() {
    showHelp(SetupHelpTopic);
}
void MainSetupPage::HelpforsensingClick() {
    showHelp(SensingHelpTopic);
}
void MainSetupPage::BitBtn1Click() {
    showHelp(PortHelpTopic);
}
