#include "core/meter/CallMeter.h"

#include "core/calllog/CallLog.h"
#include "core/calllog/CallTotals.h"
#include "core/calllog/DialledNumber.h"
#include "core/seams/CarrierSource.h"
#include "core/seams/Clock.h"
#include "core/seams/DayCount.h"
#include "core/seams/LineMonitor.h"
#include "core/seams/Prompter.h"
#include "core/seams/SoundPlayer.h"
#include "core/seams/TrayIcon.h"
#include "core/settings/ProgramFiles.h"
#include "core/storage/RegularFile.h"
#include "core/tariff/RateFile.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <QTimer>

namespace {
const QString TimingText = QStringLiteral("Timing");
const QString ScanningText = QStringLiteral("Scanning");
const QString ScanningForCalls = QStringLiteral("Scanning for calls");
const QString NotSensingText = QStringLiteral("Not sensing");
const QString SensingOffText = QStringLiteral("Sensing off");
// The exit sound is waited for, but a device that never finishes must not
// keep the program from ending.
constexpr int ExitSoundLimitMs = 5000;
constexpr int TrayIconFrames = 8;

std::function<int()> defaultRandom() {
    return [] { return int(QRandomGenerator::global()->bounded(5)); };
}

QTimer* makeTimer(QObject* parent, const char* name, int interval) {
    auto* timer = new QTimer(parent);
    timer->setObjectName(QLatin1String(name));
    timer->setInterval(interval);
    return timer;
}
} // namespace

CallMeter::CallMeter(const Services& services, std::function<int()> random, QObject* parent)
    : QObject(parent), m_services(services),
      m_settingsFile(ProgramFiles::settingsPath(services.programDirectory)),
      m_animation(random ? std::move(random) : defaultRandom()),
      m_keptCalls(services.programDirectory, services.stateDirectory), m_linkLine(services.links),
      m_statusText(ScanningText) {
    setObjectName(QStringLiteral("CallMeter"));
    MainTimer = makeTimer(this, "MainTimer", 150);
    AnimationTimer = makeTimer(this, "AnimationTimer", 45);
    FlashTimer = makeTimer(this, "FlashTimer", 1000);
    OffTimer = makeTimer(this, "OffTimer", 250);
    connect(MainTimer, &QTimer::timeout, this, &CallMeter::MainTimerTimer);
    connect(AnimationTimer, &QTimer::timeout, this, &CallMeter::AnimationTimerTimer);
    connect(FlashTimer, &QTimer::timeout, this, &CallMeter::FlashTimerTimer);
    connect(OffTimer, &QTimer::timeout, this, &CallMeter::OffTimerTimer);
}

CallMeter::~CallMeter() {
    KillTapi();
}

void CallMeter::startLineAndSound() {
    m_linkLine.setPattern(m_settings.linkToSense);
    InitializeTapi();
    if (m_settings.soundOn[SettingsKeys::RunSound])
        PlayTheSound(SettingsKeys::RunSound);
    checkSensing();
}

void CallMeter::start() {
    // The rate is applied before the start time is set, so a missing rate file
    // is reported at start; the band shown is then that of the present moment.
    TransferRate();
    CallStartTime = m_services.clock->now();
    emit bandShown(timeBandName(TimeSense()));
    FindCallSelection();
    OffTimer->start();
}

// ---- Messages --------------------------------------------------------------

void CallMeter::queue(Box box, const QString& text) {
    m_pending.emplace_back(box, text);
    if (m_flushPosted)
        return;
    m_flushPosted = true;
    QTimer::singleShot(0, this, &CallMeter::flushMessages);
}

void CallMeter::queueError(const QString& text) {
    queue(Box::Error, text);
}

void CallMeter::queueWarning(const QString& text) {
    queue(Box::Warning, text);
}

void CallMeter::queueInformation(const QString& text) {
    queue(Box::Information, text);
}

void CallMeter::flushMessages() {
    m_flushPosted = false;
    // Each box may run an event loop of its own, in which more can be queued.
    while (!m_pending.empty()) {
        const auto [box, text] = m_pending.front();
        m_pending.pop_front();
        switch (box) {
        case Box::Error:
            m_services.prompter->error(text);
            break;
        case Box::Warning:
            m_services.prompter->warning(text);
            break;
        case Box::Information:
            m_services.prompter->information(text);
            break;
        case Box::SpendWarning:
            emit spendWarningDue(text);
            break;
        }
    }
}

// ---- Timing ----------------------------------------------------------------

void CallMeter::StartTiming(bool byHand) {
    // A call started now could never be logged.
    if (m_closing)
        return;
    Flash();
    emit minChargeCaptionChanged(QStringLiteral("Minimum charge effective"));
    SpendWarned = false;
    StartedByHand = byHand;
    if (m_settings.soundOn[SettingsKeys::StartSound])
        PlayTheSound(SettingsKeys::StartSound);
    m_timing = true;
    emit timingChanged(true);
    CallStartTime = m_services.clock->now();
    m_startMs = m_services.clock->monotonicMs();
    const QString told = std::exchange(m_dialledNumber, QString());
    m_callNumber = byHand ? QString() : told;
    if (const std::optional<int> distance = m_numberPlan.distanceOf(m_callNumber)) {
        m_distance = *distance;
        emit distanceChosen(*distance);
    }
    MainTimer->start();
    setStatusText(TimingText);
    // One call, one message: the rate and the charges come from the same file.
    m_rateFailure.clear();
    transferRate();
    loadRateValues(20);
    tellRateFailure(true);
    TimingActive = true;
    if (m_clockShown)
        AnimationTimer->start();
}

void CallMeter::StopTiming(bool byHand) {
    Flash();
    if (byHand && !StartedByHand)
        StoppedByHand = true;
    if (m_settings.soundOn[SettingsKeys::StopSound])
        PlayTheSound(SettingsKeys::StopSound);
    if (WindowMode == TaskbarIcon && m_services.tray)
        m_services.tray->TrayIconSetImageAndTip(
            QStringLiteral("mini"), m_sensingProblem.isEmpty() ? ScanningForCalls : m_sensingProblem);
    if (WindowMode == Minimised)
        SetApplicationTitle(ScanningForCalls);
    m_timing = false;
    emit timingChanged(false);
    CallEndTime = m_services.clock->now();
    m_callLength = lengthSoFar();
    MainTimer->stop();
    LogCallInFile();
    setStatusText(idleStatusText());
    emit minChargeCaptionChanged(QStringLiteral("Previous Call"));
    showMinCharge(true);
    TimingActive = false;
    // Stood still out of sight, the clock finishes its sweep, and the totals
    // are then refreshed, all the same.
    if (!AnimationTimer->isActive())
        AnimationTimer->start();
}

void CallMeter::StartOrStopByHand() {
    if (m_timing)
        StopTiming(true);
    else
        StartTiming(true);
}

// The figures of one tick all come from one reading of the clock, and only
// what has changed is handed on: the tick runs several times a second for as
// long as a call lasts, and every change shown costs a repaint.
void CallMeter::MainTimerTimer() {
    const double elapsedDays = lengthSoFar();
    const CallCost cost = NetCostCalc(elapsedDays);
    if (m_settings.spendWarningOn && !SpendWarned && cost.gross >= m_settings.spendLimit)
        DoSpendWarning();
    const QString elapsed = DayCount::durationText(elapsedDays);
    const QString net = moneyText(cost.net);
    const QString gross = moneyText(cost.gross);
    if (elapsed != m_shownFigures[0] || net != m_shownFigures[1] || gross != m_shownFigures[2]) {
        m_shownFigures = {elapsed, net, gross};
        emit figuresChanged(elapsed, net, gross);
    }
    if (WindowMode == TaskbarIcon && m_services.tray) {
        m_services.tray->TrayIconSetTip(m_settings.activeRateName + QStringLiteral(" - ") + elapsed +
                                        QStringLiteral(" - ") + gross);
        TrayIconFrame = TrayIconFrame % TrayIconFrames + 1;
        m_services.tray->TrayIconSetImage(QStringLiteral("mini%1").arg(TrayIconFrame));
    }
    if (WindowMode == Minimised || MeterInTitle) {
        if (const QString title = gross + QStringLiteral("   ") + elapsed; title != m_applicationTitle)
            SetApplicationTitle(title);
    }
}

double CallMeter::lengthSoFar() const {
    return DayCount::fromMs(m_services.clock->monotonicMs() - m_startMs);
}

void CallMeter::AnimationTimerTimer() {
    if (m_animation.advance(TimingActive)) {
        FindCallSelection();
        AnimationTimer->stop();
    }
    if (const int frame = m_animation.visibleFrame())
        emit clockFrameChanged(frame);
}

void CallMeter::setClockShown(bool shown) {
    m_clockShown = shown;
    if (!TimingActive)
        return;
    if (shown && !AnimationTimer->isActive())
        AnimationTimer->start();
    else if (!shown)
        AnimationTimer->stop();
}

// What the status says between calls: whether calls are watched for.
QString CallMeter::idleStatusText() const {
    if (m_settings.sensingMode == 0)
        return SensingOffText;
    return m_sensingProblem.isEmpty() ? ScanningText : NotSensingText;
}

void CallMeter::setStatusText(const QString& text) {
    m_statusText = text;
    emit statusTextChanged(text);
}

// ---- Rates and costs -------------------------------------------------------

void CallMeter::LoadValues(int selector) {
    m_rateFailure.clear();
    loadRateValues(selector);
    tellRateFailure(false);
}

void CallMeter::loadRateValues(int selector) {
    const QString& name = m_settings.activeRateName;
    const QString path = ProgramFiles::rateFilePath(m_services.programDirectory, name);
    const LoadResult result = loadWorkingValues(path, selector, m_values);
    if (!m_rateFailure.isEmpty())
        return;
    const QString notAFile =
        result.outcome == LoadResult::NotFound ? RegularFile::notRegular(path) : QString();
    if (!notAFile.isEmpty())
        m_rateFailure = notAFile;
    else if (result.outcome == LoadResult::NotFound)
        m_rateFailure =
            QStringLiteral("Dialtally Rate File \"%1\" Not Found. specify a new file in setup.").arg(name);
    else if (result.outcome == LoadResult::BadNumber)
        m_rateFailure = RateFileCodec::notANumberText(result.badText) +
                        QStringLiteral(" (Dialtally Rate File \"%1\")").arg(name);
}

// A file that stays missing is told at the program's start and at each call
// that is priced without it, not again at every click of a band or distance
// (a box at every click would make the window unusable until it is mended).
void CallMeter::tellRateFailure(bool everyCall) {
    if (m_rateFailure.isEmpty()) {
        m_rateFailureTold.clear();
        return;
    }
    if (everyCall || m_rateFailure != m_rateFailureTold)
        queue(Box::Error, m_rateFailure);
    m_rateFailureTold = m_rateFailure;
}

int CallMeter::automaticBand() const {
    return timeBandAt(CallStartTime, m_settings.dayTimeStartMs, m_settings.dayTimeEndMs);
}

int CallMeter::TimeSense() const {
    return m_autoTimeSense ? automaticBand() : m_manualBand;
}

void CallMeter::setDistance(int distance) {
    m_distance = distance;
}

void CallMeter::setAutoTimeSense(bool on) {
    m_autoTimeSense = on;
}

void CallMeter::setManualBand(int band) {
    m_manualBand = band;
}

void CallMeter::TransferRate() {
    m_rateFailure.clear();
    transferRate();
    tellRateFailure(false);
}

void CallMeter::transferRate() {
    emit distanceShown(distanceName(m_distance));
    const int band = TimeSense();
    loadRateValues(rateCodeOf(m_distance, band));
    emit bandShown(timeBandName(band));
}

CallCost CallMeter::NetCostCalc(double elapsedDays) {
    const CallCost cost = callCostOf(m_values, elapsedDays);
    MinChargeSwitch(cost.minimumEffective);
    return cost;
}

void CallMeter::MinChargeSwitch(bool on) {
    showMinCharge(on);
}

void CallMeter::showMinCharge(bool shown) {
    if (m_minChargeShown == int(shown))
        return;
    m_minChargeShown = int(shown);
    emit minChargeShown(shown);
}

QString CallMeter::moneyText(double amount) const {
    return moneyDisplay(amount, m_settings.mainSymbol, m_settings.subSymbol);
}

// ---- The call log ----------------------------------------------------------

void CallMeter::LogCallInFile() {
    CallRecord record;
    record.date = CallStartTime;
    record.startTime = CallStartTime;
    record.endTime = CallEndTime;
    record.duration = m_callLength;
    record.dayOfWeek = quint16(DayCount::storedDayOfWeek(CallStartTime));
    // The price of the duration logged, so the call can be priced again from its record.
    const CallCost cost = NetCostCalc(record.duration);
    record.netCost = cost.storedNet();
    record.grossCost = cost.storedGross();
    record.rateCode = quint16(rateCodeOf(m_distance, TimeSense()));

    // A call that could not be written before goes out with this one.
    m_keptCalls.add({record, m_settings.activeRateName, m_callNumber});
    writeKeptCalls();
}

void CallMeter::writeKeptCalls() {
    QString numbersLost;
    const std::optional<KeptCalls::Failure> failure = m_keptCalls.write(nullptr, &numbersLost);
    if (!numbersLost.isEmpty())
        queue(Box::Error,
              numbersLost + QStringLiteral("\n\nThe call was logged without the number dialled."));
    if (!failure)
        return;
    const QString what = QStringLiteral("%1: %2").arg(failure->file, failure->reason);
    const QString keptIn = m_keptCalls.recoveryFile().path();
    const qsizetype kept = m_keptCalls.size();
    QString text;
    if (m_closing && failure->lost == 0)
        text =
            QStringLiteral("%1\n\n%2 call(s) could not be logged. They are kept in %3 and will be added to "
                           "the log when the program next starts.")
                .arg(what)
                .arg(kept)
                .arg(keptIn);
    else if (m_closing)
        text = QStringLiteral("%1\n\n%2 call(s) could not be logged, and %3 of them are lost: %4")
                   .arg(what)
                   .arg(kept)
                   .arg(failure->lost)
                   .arg(failure->keepReason);
    else if (failure->lost == 0)
        text = QStringLiteral(
                   "%1\n\nThe call was not logged. It is kept in %2 and will be written with the next "
                   "call, or when the program next starts.")
                   .arg(what, keptIn);
    else
        text =
            QStringLiteral("%1\n\nThe call was not logged. It is kept and will be written with the next call "
                           "if the file can be written then, but it is lost if the program ends first: %2")
                .arg(what, failure->keepReason);
    queue(Box::Error, text);
}

void CallMeter::FindCallSelection() {
    QString failure;
    const CallTotals totals = findCallTotals(CallLog(ProgramFiles::callLogPath(m_services.programDirectory)),
                                             m_services.clock->now(), &failure);
    if (!failure.isEmpty() && failure != m_totalsFailure)
        queue(Box::Error, failure);
    m_totalsFailure = failure;
    emit totalsChanged(todayText(totals, m_settings.mainSymbol), weekText(totals, m_settings.mainSymbol));
}

// ---- Settings --------------------------------------------------------------

void CallMeter::ReadIniSettings() {
    // Such a file reads as every default, which is no reason to stay silent.
    const QString notAFile = RegularFile::notRegular(m_settingsFile.path());
    if (!notAFile.isEmpty() && notAFile != m_settingsFailure)
        queue(Box::Error, notAFile);
    m_settingsFailure = notAFile;
    const QString failure = readMeterSettings(m_settingsFile, m_services.resourceDirectory, m_settings);
    m_numberPlan = NumberPlan::read(m_settingsFile);
    emit rateNameChanged(m_settings.activeRateName);
    // Before the first call the meter shows nothing spent, in the currency chosen.
    if (m_shownFigures[0].isEmpty()) {
        const QString nothing = m_settings.mainSymbol + QStringLiteral("0.00");
        emit figuresChanged(DayCount::durationText(0), nothing, nothing);
    }
    if (!failure.isEmpty())
        queue(Box::Error, failure);
}

bool CallMeter::storeWindowToLoad(int mode) {
    m_settings.windowToLoad = mode;
    if (m_settingsFile.WriteSettingInteger(SettingsKeys::DefaultsSection, SettingsKeys::WindowToLoad, mode))
        return true;
    queue(Box::Error, m_settingsFile.failureText());
    return false;
}

bool CallMeter::storeStayOnTop(bool on) {
    m_settings.stayOnTop = on;
    if (m_settingsFile.WriteSettingBool(SettingsKeys::DefaultsSection, SettingsKeys::StayOnTop, on))
        return true;
    queue(Box::Error, m_settingsFile.failureText());
    return false;
}

void CallMeter::applySensingModeChange(int oldMode) {
    const int mode = m_settings.sensingMode;
    m_linkLine.setPattern(m_settings.linkToSense);
    if (mode != oldMode) {
        InitializeTapi();
        if (LineMonitor* old = lineOf(oldMode); old && old->isOpen())
            old->close();
    }
    checkSensing();
}

// ---- Sounds, warnings, taskbar ---------------------------------------------

void CallMeter::Flash() {
    emit flashRequested();
    if (!FlashTimer->isActive())
        FlashTimer->start();
}

void CallMeter::FlashTimerTimer() {
    FlashTimer->stop();
}

QString CallMeter::soundFileFor(SettingsKeys::SoundEvent event) const {
    const auto playable = [](const QString& path) {
        const QFileInfo file(path);
        return file.isFile() && file.isReadable();
    };
    const QString chosen = ProgramFiles::resolve(m_services.programDirectory, m_settings.soundFiles[event]);
    if (playable(chosen))
        return chosen;
    // The program's own sound for the event stands in for a chosen file that
    // is gone or cannot be read; without it the event is silent.
    const QString own =
        ProgramFiles::path(m_services.resourceDirectory, QLatin1String(SettingsKeys::Sounds[event].fileName));
    return playable(own) ? own : QString();
}

void CallMeter::PlayTheSound(SettingsKeys::SoundEvent event) {
    if (!m_settings.playSounds || !m_services.sound)
        return;
    if (const QString file = soundFileFor(event); !file.isEmpty())
        m_services.sound->play(file);
}

void CallMeter::DoSpendWarning() {
    // Set before the box shows: the meter keeps ticking behind it.
    SpendWarned = true;
    if (m_settings.soundOn[SettingsKeys::SpendSound])
        PlayTheSound(SettingsKeys::SpendSound);
    queue(Box::SpendWarning, QStringLiteral("Spend Limit of ") + m_settings.mainSymbol +
                                 formatFixed(m_settings.spendLimit, 2) +
                                 QStringLiteral(" has been reached."));
}

void CallMeter::SetApplicationTitle(const QString& title) {
    m_applicationTitle = title;
    emit applicationTitleChanged(title);
}

// ---- Call sensing ----------------------------------------------------------

LineMonitor* CallMeter::lineOf(int mode) {
    if (mode == 2)
        return m_services.line;
    if (mode == 3 && m_services.links)
        return &m_linkLine;
    return nullptr;
}

void CallMeter::InitializeTapi() {
    LineMonitor* line = lineOf(m_settings.sensingMode);
    if (line && !line->isOpen())
        line->open([this](quint32 callHandle, quint32 state) { LineCallback(callHandle, state); });
}

void CallMeter::KillTapi() {
    for (LineMonitor* line : {lineOf(2), lineOf(3)}) {
        if (line && line->isOpen())
            line->close();
    }
}

void CallMeter::LineCallback(quint32 callHandle, quint32 state) {
    switch (state) {
    case LineMonitor::Dialing:
        DialingSeen = true;
        break;
    case LineMonitor::Connected:
        if (callHandle != 0 && DialingSeen && !m_timing) {
            if (LineMonitor* line = lineOf(m_settings.sensingMode))
                m_dialledNumber = DialledNumber::clean(line->numberOf(callHandle)).value_or(QString());
            StartTiming(false);
        }
        break;
    case LineMonitor::Idle:
        if (callHandle == 0)
            break;
        DialingSeen = false;
        if (LineMonitor* line = lineOf(m_settings.sensingMode))
            line->deallocateCall(callHandle);
        if (m_timing && !StartedByHand)
            StopTiming(false);
        break;
    case LineMonitor::Disconnected:
        DialingSeen = false;
        if (m_timing && !StartedByHand)
            StopTiming(false);
        break;
    default:
        break;
    }
}

void CallMeter::checkSensing() {
    QString problem;
    if (m_settings.sensingMode == 1 && m_settings.deviceToSense.isEmpty())
        problem = QStringLiteral("no serial port is chosen");
    else if (m_settings.sensingMode == 1 && m_services.carrier)
        problem = m_services.carrier->failure();
    else if (LineMonitor* line = lineOf(m_settings.sensingMode))
        problem = line->failure();
    if (!problem.isEmpty())
        problem = QStringLiteral("Calls are not sensed: ") + problem;
    const bool changed = problem != m_sensingProblem;
    m_sensingProblem = problem;
    if (changed)
        emit sensingProblemChanged(problem);
    if (m_timing)
        return;
    // A word of the right kind keeps its dots.
    if (!m_statusText.startsWith(idleStatusText()))
        setStatusText(idleStatusText());
    if (changed && WindowMode == TaskbarIcon && m_services.tray)
        m_services.tray->TrayIconSetTip(problem.isEmpty() ? ScanningForCalls : problem);
}

void CallMeter::OffTimerTimer() {
    if (m_settings.sensingMode == 1)
        TestPort();
    checkSensing();
    // The status word gains a dot every tick, up to three, then starts again.
    static const QStringList scanning = {ScanningText, ScanningText + QStringLiteral("."),
                                         ScanningText + QStringLiteral(".."),
                                         ScanningText + QStringLiteral("...")};
    static const QStringList timing = {TimingText, TimingText + QStringLiteral("."),
                                       TimingText + QStringLiteral(".."), TimingText + QStringLiteral("...")};
    const QStringList& family = m_statusText.startsWith(QLatin1Char('S')) ? scanning : timing;
    const qsizetype at = family.indexOf(m_statusText);
    if (at >= 0)
        setStatusText(family[(at + 1) % family.size()]);
}

quint8 CallMeter::ReadPortByte() {
    if (!m_services.carrier)
        return 0;
    const quint8 status = m_services.carrier->readStatus(m_settings.deviceToSense);
    const QString failure = m_services.carrier->takeError();
    if (!failure.isEmpty())
        queue(Box::Warning,
              QStringLiteral("The modem's carrier cannot be read, so calls are not sensed: %1").arg(failure));
    return status;
}

void CallMeter::TestPort() {
    const auto carrier = [this] {
        return (ReadPortByte() & CarrierSource::CarrierDetectMask) == CarrierSource::CarrierDetectMask;
    };
    if (!m_timing) {
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
    const bool animating = AnimationTimer->isActive();
    OffTimer->stop();
    AnimationTimer->stop();
    MainTimer->stop();
    const bool present = carrier();
    OffTimer->start();
    if (animating)
        AnimationTimer->start();
    MainTimer->start();
    if (!present)
        StopTiming(false);
}

// ---- Closing ---------------------------------------------------------------

void CallMeter::closeCalls() {
    if (m_closing)
        return;
    m_closing = true;
    if (m_timing)
        StopTiming(true);
    else if (m_keptCalls.size() > 0)
        writeKeptCalls(); // one more chance before the program ends
    // Nothing starts a call from here on: no poll of the port, no line.
    for (QTimer* timer : {MainTimer, AnimationTimer, FlashTimer, OffTimer})
        timer->stop();
    KillTapi();
}

void CallMeter::shutDown(bool byUser) {
    closeCalls();
    if (WindowMode == TaskbarIcon && m_services.tray)
        m_services.tray->TrayIconRemove();
    // What went wrong is told before the program goes; a spend warning no longer matters.
    std::erase_if(m_pending, [](const auto& message) { return message.first == Box::SpendWarning; });
    if (byUser) {
        flushMessages();
    } else {
        for (const auto& message : m_pending)
            qWarning("%s", qPrintable(message.second));
        m_pending.clear();
    }
    if (byUser && m_settings.soundOn[SettingsKeys::ExitSound] && m_settings.playSounds && m_services.sound) {
        if (const QString file = soundFileFor(SettingsKeys::ExitSound); !file.isEmpty())
            m_services.sound->playAndWait(file, ExitSoundLimitMs);
    }
}
