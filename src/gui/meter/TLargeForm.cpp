#include "gui/meter/TLargeForm.h"

#include "core/calllog/CallLog.h"
#include "core/calllog/CallTotals.h"
#include "core/calllog/RateNameStore.h"
#include "core/seams/CarrierSource.h"
#include "core/seams/Clock.h"
#include "core/seams/DayCount.h"
#include "core/seams/LineMonitor.h"
#include "core/seams/Prompter.h"
#include "core/seams/SoundPlayer.h"
#include "core/tariff/RateFile.h"
#include "gui/meter/ClockFrames.h"
#include "gui/meter/TSpendForm.h"
#include "gui/setup/TSetupForm.h"
#include "gui/viewer/TDataForm.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTimer>

namespace {
const QString StartCaption = QStringLiteral("&Start");
const QString StopCaption = QStringLiteral("&Stop");
const QString CallLogName = QStringLiteral("Calls.log");
const QString RateNameStoreName = QStringLiteral("CallRate.log");
// The exit sound is waited for, but a device that never finishes must not
// keep the program from ending.
constexpr int ExitSoundLimitMs = 5000;

std::function<int()> defaultRandom() {
    return [] { return int(QRandomGenerator::global()->bounded(5)); };
}
} // namespace

TLargeForm::TLargeForm(const Services& services, std::function<int()> random, QWidget* parent)
    : QWidget(parent), m_services(services),
      m_settings(ProgramFiles::settingsPath(services.programDirectory)),
      m_animation(random ? std::move(random) : defaultRandom()) {
    buildLayout();
    connectControls();
    showClockFrame(1);

    ReadIniSettings();
    if (m_meterSettings.sensingMode == 2)
        InitializeTapi();
    if (m_meterSettings.soundOn[SettingsKeys::RunSound])
        PlayTheSound(m_meterSettings.soundFiles[SettingsKeys::RunSound]);
    // The rate is applied before the start time is set, so a missing rate file
    // is reported at start; the band shown is then that of the present moment.
    TransferRate();
    CallStartTime = m_services.clock->now();
    TimeOfDay->setText(timeBandName(TimeSense()));
    FindCallSelection();
    OffTimer->start();
}

TLargeForm::~TLargeForm() {
    KillTapi();
}

void TLargeForm::connectControls() {
    connect(StartStopButton, &QPushButton::clicked, this, &TLargeForm::StartStopButtonClick);
    connect(SetupButton, &QPushButton::clicked, this, &TLargeForm::SetupButtonClick);
    connect(DataButton, &QPushButton::clicked, this, &TLargeForm::DataButtonClick);
    connect(MainTimer, &QTimer::timeout, this, &TLargeForm::MainTimerTimer);
    connect(AnimationTimer, &QTimer::timeout, this, &TLargeForm::AnimationTimerTimer);
    connect(FlashTimer, &QTimer::timeout, this, &TLargeForm::FlashTimerTimer);
    connect(OffTimer, &QTimer::timeout, this, &TLargeForm::OffTimerTimer);
    connect(AutoTimeSense, &QCheckBox::clicked, this, &TLargeForm::AutoTimeSenseClick);
    // Every band and distance click re-applies the rate, also during a call.
    for (QRadioButton* radio : {DayRadio, EveRadio, WendRadio, LocRadio, RegRadio, NatRadio, IntRadio})
        connect(radio, &QRadioButton::clicked, this, &TLargeForm::TransferRate);

    auto* defaultView = findChild<QButtonGroup*>(QStringLiteral("DefaultViewGroup"));
    connect(defaultView, &QButtonGroup::idClicked, this, &TLargeForm::storeDefaultView);
    connect(StayOnTopCheckbox, &QCheckBox::clicked, this, [this](bool checked) {
        if (!m_settings.WriteSettingBool(SettingsKeys::DefaultsSection, SettingsKeys::StayOnTop, checked))
            m_services.prompter->error(m_settings.failureText());
    });
}

void TLargeForm::storeDefaultView(int mode) {
    if (!m_settings.WriteSettingInteger(SettingsKeys::DefaultsSection, SettingsKeys::WindowToLoad, mode))
        m_services.prompter->error(m_settings.failureText());
}

bool TLargeForm::isTiming() const {
    return StartStopButton->text() == StopCaption;
}

QString TLargeForm::dataPath(const QString& fileName) const {
    return m_services.programDirectory + QLatin1Char('/') + fileName;
}

// ---- Timing ----------------------------------------------------------------

void TLargeForm::StartTiming(bool byHand) {
    Flash();
    MinChargeLight->setText(QStringLiteral("Minimum charge effective"));
    SpendWarned = false;
    StartedByHand = byHand;
    if (m_meterSettings.soundOn[SettingsKeys::StartSound])
        PlayTheSound(m_meterSettings.soundFiles[SettingsKeys::StartSound]);
    StartStopButton->setText(StopCaption);
    ClockSpin->setToolTip(QStringLiteral("Double click to stop timing."));
    CallStartTime = m_services.clock->now();
    MainTimer->start();
    TimingLabel->setText(QStringLiteral("Timing"));
    TransferRate();
    LoadValues(20);
    TimingActive = true;
    AnimationTimer->start();
}

void TLargeForm::StopTiming(bool byHand) {
    Flash();
    if (byHand && !StartedByHand)
        StoppedByHand = true;
    if (m_meterSettings.soundOn[SettingsKeys::StopSound])
        PlayTheSound(m_meterSettings.soundFiles[SettingsKeys::StopSound]);
    if (WindowMode == 3)
        SetApplicationTitle(QStringLiteral("Scanning for calls"));
    StartStopButton->setText(StartCaption);
    ClockSpin->setToolTip(QStringLiteral("Double click to start timing."));
    CallEndTime = m_services.clock->now();
    MainTimer->stop();
    LogCallInFile();
    TimingLabel->setText(QStringLiteral("Scanning"));
    MinChargeLight->setText(QStringLiteral("Previous Call"));
    MinChargeLight->show();
    TimingActive = false;
}

void TLargeForm::StartStopButtonClick() {
    TrayIconFrame = 1;
    ClockSpinDblClick();
}

void TLargeForm::ClockSpinDblClick() {
    if (isTiming())
        StopTiming(true);
    else
        StartTiming(true);
}

void TLargeForm::MainTimerTimer() {
    if (m_meterSettings.spendWarningOn && !SpendWarned &&
        NetCostCalc() * m_values.TaxFactor >= m_meterSettings.spendLimit)
        DoSpendWarning();
    const QString elapsed = DayCount::durationText(m_services.clock->now() - CallStartTime);
    Duration->setText(elapsed);
    NetCost->setText(moneyText(NetCostCalc()));
    const QString gross = moneyText(NetCostCalc() * m_values.TaxFactor);
    GrossCost->setText(gross);
    if (WindowMode == 3 || MeterInTitle)
        SetApplicationTitle(gross + QStringLiteral("   ") + elapsed);
}

void TLargeForm::AnimationTimerTimer() {
    if (m_animation.advance(TimingActive)) {
        FindCallSelection();
        AnimationTimer->stop();
    }
    if (const int frame = m_animation.visibleFrame())
        showClockFrame(frame);
}

void TLargeForm::showClockFrame(int frame) {
    ClockSpin->setPixmap(ClockFrames::frame(frame));
    ClockSpin->setProperty("frame", frame);
}

bool TLargeForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ClockSpin && event->type() == QEvent::MouseButtonDblClick) {
        ClockSpinDblClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TLargeForm::closeEvent(QCloseEvent* event) {
    // A call still being timed is logged before the window goes.
    if (isTiming())
        StopTiming(true);
    if (m_meterSettings.sensingMode == 2)
        KillTapi();
    if (m_meterSettings.soundOn[SettingsKeys::ExitSound] && m_meterSettings.playSounds && m_services.sound)
        m_services.sound->playAndWait(m_meterSettings.soundFiles[SettingsKeys::ExitSound], ExitSoundLimitMs);
    event->accept();
}

// ---- Rates and costs -------------------------------------------------------

void TLargeForm::LoadValues(int selector) {
    const QString name = Rate->text();
    const LoadResult result =
        loadWorkingValues(ProgramFiles::rateFilePath(m_services.programDirectory, name), selector, m_values);
    if (result.outcome == LoadResult::NotFound)
        m_services.prompter->error(
            QStringLiteral("Dialtally Rate File \"%1\" Not Found. specify a new file in setup.").arg(name));
    else if (result.outcome == LoadResult::BadNumber)
        m_services.prompter->error(
            QStringLiteral("'%1' is not a valid floating point value (Dialtally Rate File \"%2\")")
                .arg(result.badText, name));
}

int TLargeForm::TimeSense() const {
    if (AutoTimeSense->isChecked())
        return timeBandAt(CallStartTime, m_meterSettings.dayTimeStartMs, m_meterSettings.dayTimeEndMs);
    if (DayRadio->isChecked())
        return Daytime;
    return EveRadio->isChecked() ? Evening : Weekend;
}

int TLargeForm::checkedDistance() const {
    if (LocRadio->isChecked())
        return Local;
    if (RegRadio->isChecked())
        return Regional;
    return NatRadio->isChecked() ? National : International;
}

void TLargeForm::TransferRate() {
    const int distance = checkedDistance();
    Distance->setText(distanceName(distance));
    const int band = TimeSense();
    LoadValues(rateCodeOf(distance, band));
    TimeOfDay->setText(timeBandName(band));
}

double TLargeForm::NetCostCalc() {
    const auto cost = netCostOf(m_values, m_services.clock->now() - CallStartTime);
    MinChargeSwitch(cost.minimumEffective);
    return cost.amount;
}

void TLargeForm::MinChargeSwitch(bool on) {
    MinChargeLight->setVisible(on);
    minchargeline1->setVisible(on);
}

void TLargeForm::AutoTimeSenseClick() {
    if (AutoTimeSense->isChecked()) {
        TimeOfDayGroup->hide();
    } else {
        TimeOfDayGroup->show();
        const int band =
            timeBandAt(CallStartTime, m_meterSettings.dayTimeStartMs, m_meterSettings.dayTimeEndMs);
        (band == Daytime ? DayRadio : band == Evening ? EveRadio : WendRadio)->setChecked(true);
    }
    TransferRate();
}

QString TLargeForm::moneyText(double amount) const {
    return moneyDisplay(amount, m_meterSettings.mainSymbol, m_meterSettings.subSymbol);
}

// ---- The call log ----------------------------------------------------------

void TLargeForm::LogCallInFile() {
    CallRecord record;
    record.date = CallStartTime;
    record.startTime = CallStartTime;
    record.endTime = CallEndTime;
    record.duration = CallEndTime - CallStartTime;
    record.dayOfWeek = quint16(DayCount::storedDayOfWeek(CallStartTime));
    const double net = NetCostCalc();
    record.netCost = float(net);
    record.grossCost = float(net * m_values.TaxFactor);

    const RateNameStore names(dataPath(RateNameStoreName));
    QString reason;
    record.rateNameKey = names.RateNameKeyFor(Rate->text(), &reason);
    if (record.rateNameKey == 0)
        m_services.prompter->error(
            QStringLiteral("The rate name could not be stored in %1: %2").arg(names.path(), reason));
    record.rateCode = quint16(rateCodeOf(checkedDistance(), TimeSense()));

    // A call that could not be written before goes out with this one.
    m_unloggedCalls.push_back(record);
    const CallLog log(dataPath(CallLogName));
    if (log.append(m_unloggedCalls, &reason)) {
        m_unloggedCalls.clear();
        return;
    }
    m_services.prompter->error(
        QStringLiteral("%1: %2\n\nThe call was not logged. It is kept and will be written "
                       "with the next call if the file can be written then.")
            .arg(log.path(), reason));
}

void TLargeForm::FindCallSelection() {
    const CallTotals totals = findCallTotals(CallLog(dataPath(CallLogName)), m_services.clock->now());
    ThisWeekValue->setText(weekText(totals, m_meterSettings.mainSymbol));
    TodayValue->setText(todayText(totals, m_meterSettings.mainSymbol));
}

// ---- Settings --------------------------------------------------------------

void TLargeForm::ReadIniSettings() {
    const QString failure = readMeterSettings(m_settings, m_services.programDirectory, m_meterSettings);
    Rate->setText(m_meterSettings.activeRateName);
    StayOnTopCheckbox->setChecked(m_meterSettings.stayOnTop);
    auto* defaultView = findChild<QButtonGroup*>(QStringLiteral("DefaultViewGroup"));
    if (QAbstractButton* chosen = defaultView->button(m_meterSettings.windowToLoad)) {
        chosen->setChecked(true);
    } else {
        defaultView->setExclusive(false);
        for (QAbstractButton* b : defaultView->buttons())
            b->setChecked(false);
        defaultView->setExclusive(true);
    }
    if (!failure.isEmpty())
        m_services.prompter->error(failure);
}

void TLargeForm::SetupButtonClick() {
    MeterInTitle = true;
    const int oldMode = m_meterSettings.sensingMode;
    hide();
    {
        TSetupForm dialog(m_services, this);
        dialog.exec();
    }
    show();
    // The dialog hands over only through the settings file, whichever way it closed.
    ReadIniSettings();
    applySensingModeChange(oldMode);
    MeterInTitle = false;
    TransferRate();
    LoadValues(20);
    FindCallSelection();
    SetApplicationTitle(ApplicationTitle);
}

void TLargeForm::DataButtonClick() {
    MeterInTitle = true;
    hide();
    {
        TDataForm viewer(m_services, this);
        viewer.exec();
    }
    show();
    MeterInTitle = false;
    SetApplicationTitle(ApplicationTitle);
    // The viewer may have deleted calls.
    FindCallSelection();
}

void TLargeForm::applySensingModeChange(int oldMode) {
    const int mode = m_meterSettings.sensingMode;
    if (mode == oldMode)
        return;
    if (mode == 2)
        InitializeTapi();
    if (oldMode == 2)
        KillTapi();
    // The serial device is not held open while its carrier is not watched.
    if (oldMode == 1 && m_services.carrier)
        m_services.carrier->release();
}

// ---- Sounds, warnings, taskbar ---------------------------------------------

void TLargeForm::Flash() {
    QApplication::alert(this, 1000);
    if (!FlashTimer->isActive())
        FlashTimer->start();
}

void TLargeForm::FlashTimerTimer() {
    FlashTimer->stop();
}

void TLargeForm::PlayTheSound(const QString& fileName) {
    if (m_meterSettings.playSounds && m_services.sound)
        m_services.sound->play(fileName);
}

void TLargeForm::DoSpendWarning() {
    TSpendForm warning;
    // Set before the box shows: the meter keeps ticking behind it.
    SpendWarned = true;
    if (m_meterSettings.soundOn[SettingsKeys::SpendSound])
        PlayTheSound(m_meterSettings.soundFiles[SettingsKeys::SpendSound]);
    warning.setMessage(TSpendForm::messageFor(m_meterSettings.mainSymbol, m_meterSettings.spendLimit));
    warning.exec();
}

void TLargeForm::SetApplicationTitle(const QString& title) {
    m_applicationTitle = title;
}

// ---- Call sensing ----------------------------------------------------------

void TLargeForm::InitializeTapi() {
    if (m_services.line && !m_services.line->isOpen())
        m_services.line->open([this](quint32 callHandle, quint32 state) { LineCallback(callHandle, state); });
}

void TLargeForm::KillTapi() {
    if (m_services.line && m_services.line->isOpen())
        m_services.line->close();
}

void TLargeForm::LineCallback(quint32 callHandle, quint32 state) {
    switch (state) {
    case LineMonitor::Dialing:
        DialingSeen = true;
        break;
    case LineMonitor::Connected:
        if (callHandle != 0 && DialingSeen && !isTiming())
            StartTiming(false);
        break;
    case LineMonitor::Idle:
        if (callHandle == 0)
            break;
        DialingSeen = false;
        m_services.line->deallocateCall(callHandle);
        if (isTiming() && !StartedByHand)
            StopTiming(false);
        break;
    case LineMonitor::Disconnected:
        DialingSeen = false;
        if (isTiming() && !StartedByHand)
            StopTiming(false);
        break;
    default:
        break;
    }
}

void TLargeForm::OffTimerTimer() {
    if (m_meterSettings.sensingMode == 1)
        TestPort();
    // The status word gains a dot every tick, up to three, then starts again.
    static const QStringList scanning = {QStringLiteral("Scanning"), QStringLiteral("Scanning."),
                                         QStringLiteral("Scanning.."), QStringLiteral("Scanning...")};
    static const QStringList timing = {QStringLiteral("Timing"), QStringLiteral("Timing."),
                                       QStringLiteral("Timing.."), QStringLiteral("Timing...")};
    const QString text = TimingLabel->text();
    const QStringList& family = text.startsWith(QLatin1Char('S')) ? scanning : timing;
    const qsizetype at = family.indexOf(text);
    if (at >= 0)
        TimingLabel->setText(family[(at + 1) % family.size()]);
}

quint8 TLargeForm::ReadPortByte() {
    if (!m_services.carrier)
        return 0;
    const quint8 status = m_services.carrier->readStatus(m_meterSettings.portToSense);
    const QString failure = m_services.carrier->takeError();
    if (!failure.isEmpty())
        m_services.prompter->warning(
            QStringLiteral("The modem's carrier cannot be read, so calls are not sensed: %1").arg(failure));
    return status;
}

void TLargeForm::TestPort() {
    const auto carrier = [this] {
        return (ReadPortByte() & CarrierSource::CarrierDetectMask) == CarrierSource::CarrierDetectMask;
    };
    if (!isTiming()) {
        if (StoppedByHand) {
            if (!carrier())
                StoppedByHand = false;
            return;
        }
        const bool animating = AnimationTimer->isActive();
        OffTimer->stop();
        AnimationTimer->stop();
        const bool present = carrier();
        OffTimer->start();
        if (animating)
            AnimationTimer->start();
        if (present)
            StartTiming(false);
        return;
    }
    if (StartedByHand)
        return;
    OffTimer->stop();
    AnimationTimer->stop();
    MainTimer->stop();
    const bool present = carrier();
    OffTimer->start();
    AnimationTimer->start();
    MainTimer->start();
    if (!present)
        StopTiming(false);
}
