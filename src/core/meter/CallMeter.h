#pragma once

#include "core/calllog/KeptCalls.h"
#include "core/meter/ClockAnimation.h"
#include "core/seams/Services.h"
#include "core/sensing/NetworkLinkLine.h"
#include "core/settings/MeterSettings.h"
#include "core/settings/SettingsFile.h"
#include "core/tariff/Costing.h"
#include "core/tariff/NumberPlan.h"

#include <QObject>

#include <array>
#include <deque>
#include <functional>
#include <vector>

class QTimer;

// The meter: the state of the call being timed, its timers and their logic.
// Two states, Scanning and Timing, entered only through StartTiming and
// StopTiming. A window shows the meter through its signals and forwards the
// user's actions to it; call sensing (the telephony line, the serial port's
// carrier) drives it directly.
//
// No box is ever shown inside a state change: messages and the spend warning
// are queued and shown from the event loop once the change is complete, so a
// tick, a line event or a second stop that arrives while a box is open always
// finds a whole state.
class CallMeter : public QObject {
    Q_OBJECT
public:
    enum WindowModes { NormalWindow = 0, SmallBox = 1, TaskbarIcon = 2, Minimised = 3 };

    // random() gives a whole number 0..4 (the clock's sweep counts).
    CallMeter(const Services& services, std::function<int()> random = {}, QObject* parent = nullptr);
    ~CallMeter() override;

    // The meter's part of the program's start, once the settings are read,
    // in two steps around the choice of view: first the line watched in its
    // mode and the run sound; then the rate and band of the present moment,
    // the totals, and the poll tick from now on.
    void startLineAndSound();
    void start();

    // Timing.
    void StartTiming(bool byHand);
    void StopTiming(bool byHand);
    // Start when scanning, stop when timing: the user's start/stop actions.
    void StartOrStopByHand();
    void MainTimerTimer();
    void AnimationTimerTimer();
    // Whether the clock can be seen: while it cannot (a minimised window, the
    // notification icon) it stands still during a call, so nothing wakes 22
    // times a second for it; after a stop it finishes its sweep either way.
    void setClockShown(bool shown);

    // Rates and costs. A rate file that cannot be read is told once for each
    // call started, otherwise only when the failure is new.
    void LoadValues(int selector);
    int TimeSense() const;
    void TransferRate();
    // The costs of the call after elapsedDays, with the values in force; sets
    // the minimum-charge indicator.
    CallCost NetCostCalc(double elapsedDays);

    // The band and distance chosen on the window.
    void setDistance(int distance);
    void setAutoTimeSense(bool on);
    void setManualBand(int band);
    int distance() const { return m_distance; }
    // The number dialled for the call being timed (or last timed); empty for
    // a call timed by hand or one the line did not tell the number of.
    const QString& callNumber() const { return m_callNumber; }
    const NumberPlan& numberPlan() const { return m_numberPlan; }
    bool autoTimeSense() const { return m_autoTimeSense; }
    // The band the call's start falls in, whatever is chosen.
    int automaticBand() const;

    // The call log.
    void LogCallInFile();
    void FindCallSelection();

    // Settings. Reads the meter's keys; a bad value stops the reading and is
    // reported.
    void ReadIniSettings();
    const MeterSettings& settings() const { return m_settings; }
    const SettingsFile& settingsFile() const { return m_settingsFile; }
    // The window's own defaults, stored at once; false (and a message) when
    // the file cannot be written.
    bool storeWindowToLoad(int mode);
    bool storeStayOnTop(bool on);
    // After the settings were read again: watches the line when its mode was
    // entered, lets go of it when its mode was left; a network link watched
    // follows its new name at once.
    void applySensingModeChange(int oldMode);

    // Sounds, warnings, the taskbar.
    void Flash();
    void FlashTimerTimer();
    // Plays the event's sound file without waiting.
    void PlayTheSound(SettingsKeys::SoundEvent event);
    void DoSpendWarning();
    void SetApplicationTitle(const QString& title);

    // Call sensing. The line is the modem's (mode 2) or a network link's (mode 3).
    void InitializeTapi();
    void KillTapi();
    void LineCallback(quint32 callHandle, quint32 state);
    void OffTimerTimer();
    // Notices sensing that cannot work (no bus, no ModemManager, a port that
    // cannot be read) or works again: the status says "Not sensing" instead
    // of "Scanning", and the notification icon's tip says why. With sensing
    // off the status says "Sensing off".
    void checkSensing();
    // Why calls are not sensed; empty while they are, or sensing is off.
    QString sensingProblem() const { return m_sensingProblem; }
    void TestPort();
    quint8 ReadPortByte();

    // Closing, first step: a running call is stopped and logged, calls kept
    // after a failed write go out once more, and from then on nothing starts a
    // call: the timers stop and the line is let go, before any box is shown.
    void closeCalls();
    // Closing: closeCalls(), then the notification icon is taken away, what
    // went wrong is told, and the exit sound is played and waited for. When
    // the user closes the program, messages are shown in boxes and the exit
    // sound plays; when the program is told to end (log-out, a signal),
    // nothing may hold it: messages go to the standard error output and no
    // sound plays.
    void shutDown(bool byUser = true);

    // Shows the queued messages now (the event loop does it otherwise).
    void flushMessages();
    // A message for the user, shown from the event loop like the meter's own.
    void queueError(const QString& text);
    void queueWarning(const QString& text);
    void queueInformation(const QString& text);

    // State.
    bool isTiming() const { return m_timing; }
    bool timingActive() const { return TimingActive; }
    bool startedByHand() const { return StartedByHand; }
    bool stoppedByHand() const { return StoppedByHand; }
    bool spendWarned() const { return SpendWarned; }
    bool dialingSeen() const { return DialingSeen; }
    double callStartTime() const { return CallStartTime; }
    double callEndTime() const { return CallEndTime; }
    const WorkingValues& workingValues() const { return m_values; }
    const ClockAnimation& animation() const { return m_animation; }
    QString rateName() const { return m_settings.activeRateName; }
    QString applicationTitle() const { return m_applicationTitle; }
    int unloggedCalls() const { return int(m_keptCalls.size()); }
    QString moneyText(double amount) const;

    int windowMode() const { return WindowMode; }
    void setWindowMode(int mode) { WindowMode = mode; }
    bool meterInTitle() const { return MeterInTitle; }
    void setMeterInTitle(bool on) { MeterInTitle = on; }
    int trayIconFrame() const { return TrayIconFrame; }
    void setTrayIconFrame(int frame) { TrayIconFrame = frame; }

signals:
    // Timing or Scanning: the start/stop captions and the clock's hint follow it.
    void timingChanged(bool timing);
    // "Scanning" or "Timing", with its dots.
    void statusTextChanged(const QString& text);
    // The duration, net and gross cost of the tick.
    void figuresChanged(const QString& duration, const QString& net, const QString& gross);
    void minChargeCaptionChanged(const QString& caption);
    void minChargeShown(bool shown);
    void rateNameChanged(const QString& name);
    void sensingProblemChanged(const QString& problem);
    void distanceShown(const QString& name);
    // The distance was chosen from the number dialled: the window's choice follows.
    void distanceChosen(int distance);
    void bandShown(const QString& name);
    void totalsChanged(const QString& today, const QString& week);
    void clockFrameChanged(int frame);
    void applicationTitleChanged(const QString& title);
    // Highlight the program's taskbar entry for a moment.
    void flashRequested();
    // Show the spend warning with this message (from the event loop, never
    // inside a tick).
    void spendWarningDue(const QString& message);

private:
    enum class Box { Error, Warning, Information, SpendWarning };
    void queue(Box box, const QString& text);
    // Loads without telling; the first failure is kept in m_rateFailure.
    void loadRateValues(int selector);
    void transferRate();
    void tellRateFailure(bool everyCall);
    void setStatusText(const QString& text);
    QString idleStatusText() const;
    void MinChargeSwitch(bool on);
    void showMinCharge(bool shown);
    void writeKeptCalls();
    // The running call's length so far, in days.
    double lengthSoFar() const;
    // The file to play for an event: the chosen one, else the program's own.
    QString soundFileFor(SettingsKeys::SoundEvent event) const;
    // The line watched in a sensing mode; none for the modes without one.
    LineMonitor* lineOf(int mode);

    Services m_services;
    SettingsFile m_settingsFile;
    MeterSettings m_settings;
    WorkingValues m_values;
    ClockAnimation m_animation;
    KeptCalls m_keptCalls; // calls whose write failed, kept for the next write
    NetworkLinkLine m_linkLine;
    std::deque<std::pair<Box, QString>> m_pending;
    bool m_flushPosted = false;
    bool m_closing = false;

    bool m_timing = false; // the Timing state, from the start's caption step to the stop's
    double CallStartTime = 0;
    double CallEndTime = 0;
    // A call's length is measured on the monotonic clock: setting the clock,
    // or summer time beginning or ending, moves the wall-clock start and end
    // apart but does not change how long the line was up.
    qint64 m_startMs = 0;
    double m_callLength = 0; // days, of the call last stopped
    bool TimingActive = false;
    bool StartedByHand = false;
    bool StoppedByHand = false;
    bool SpendWarned = false;
    bool MeterInTitle = false;
    bool DialingSeen = false;
    bool m_clockShown = true;
    int WindowMode = NormalWindow;
    int TrayIconFrame = 1;
    int m_distance = Local;
    NumberPlan m_numberPlan;
    QString m_dialledNumber; // told by the line for the call about to start
    QString m_callNumber;
    bool m_autoTimeSense = true;
    int m_manualBand = Daytime;
    QString m_statusText;
    QString m_sensingProblem;
    QString m_applicationTitle;
    QString m_rateFailure;                 // of the loads under way
    QString m_rateFailureTold;             // the last told, until a load succeeds
    QString m_totalsFailure;               // shown once, not at every refresh of the totals
    QString m_settingsFailure;             // likewise: a settings file that is not a file
    std::array<QString, 3> m_shownFigures; // duration, net and gross cost last handed on
    int m_minChargeShown = -1;             // the minimum-charge line as last handed on; -1 not yet

    QTimer* MainTimer = nullptr;
    QTimer* AnimationTimer = nullptr;
    QTimer* FlashTimer = nullptr;
    QTimer* OffTimer = nullptr;
};
