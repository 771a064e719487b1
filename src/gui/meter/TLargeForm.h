#pragma once

#include "core/calllog/CallRecord.h"
#include "core/meter/ClockAnimation.h"
#include "core/seams/Services.h"
#include "core/settings/MeterSettings.h"
#include "core/settings/SettingsFile.h"
#include "core/tariff/Costing.h"

#include <QWidget>

#include <vector>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTimer;

// The main window: the meter, its controls and its totals.
class TLargeForm : public QWidget {
    Q_OBJECT
public:
    static inline const QString Caption = QStringLiteral("Dialtally Pro v1.0 ");
    static inline const QString ApplicationTitle = QStringLiteral("Dialtally Pro v1.0");
    static constexpr int OuterWidth = 517;
    static constexpr int OuterHeight = 328;

    // random() gives a whole number 0..4 (the clock's sweep counts).
    TLargeForm(const Services& services, std::function<int()> random = {}, QWidget* parent = nullptr);
    ~TLargeForm() override;

    // Timing.
    void StartTiming(bool byHand);
    void StopTiming(bool byHand);
    void StartStopButtonClick();
    void ClockSpinDblClick();
    void MainTimerTimer();
    void AnimationTimerTimer();

    // Rates and costs.
    void LoadValues(int selector);
    int TimeSense() const;
    void TransferRate();
    double NetCostCalc();
    void MinChargeSwitch(bool on);
    void AutoTimeSenseClick();

    // The call log.
    void LogCallInFile();
    void FindCallSelection();

    // Settings.
    void ReadIniSettings();
    void SetupButtonClick();
    void DataButtonClick();

    // Calls out to sounds, warnings and the taskbar.
    void Flash();
    void FlashTimerTimer();
    void PlayTheSound(const QString& fileName);
    void DoSpendWarning();
    void SetApplicationTitle(const QString& title);

    // Call sensing: the telephony line and the serial port's carrier.
    void InitializeTapi();
    void KillTapi();
    void LineCallback(quint32 callHandle, quint32 state);
    void OffTimerTimer();
    void TestPort();
    quint8 ReadPortByte();

    // State, for the window's own collaborators and tests.
    bool isTiming() const;
    bool timingActive() const { return TimingActive; }
    bool startedByHand() const { return StartedByHand; }
    bool stoppedByHand() const { return StoppedByHand; }
    bool spendWarned() const { return SpendWarned; }
    double callStartTime() const { return CallStartTime; }
    double callEndTime() const { return CallEndTime; }
    const WorkingValues& workingValues() const { return m_values; }
    const MeterSettings& meterSettings() const { return m_meterSettings; }
    const ClockAnimation& animation() const { return m_animation; }
    QString applicationTitle() const { return m_applicationTitle; }
    int unloggedCalls() const { return int(m_unloggedCalls.size()); }
    bool dialingSeen() const { return DialingSeen; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    void connectControls();
    void showClockFrame(int frame);
    int checkedDistance() const;
    QString moneyText(double amount) const;
    QString dataPath(const QString& fileName) const;
    void storeDefaultView(int mode);
    void applySensingModeChange(int oldMode);

    Services m_services;
    SettingsFile m_settings;
    MeterSettings m_meterSettings;
    WorkingValues m_values;
    ClockAnimation m_animation;
    std::vector<CallRecord> m_unloggedCalls; // calls whose write failed, kept for the next write

    double CallStartTime = 0;
    double CallEndTime = 0;
    bool TimingActive = false;
    bool StartedByHand = false;
    bool StoppedByHand = false;
    bool SpendWarned = false;
    bool MeterInTitle = false;
    bool DialingSeen = false;
    int WindowMode = 0;
    int TrayIconFrame = 1;
    QString m_applicationTitle;

    // Meter.
    QFrame* CurrentCallPanel = nullptr;
    QFrame* AnimationPanel = nullptr;
    QLabel* ClockSpin = nullptr;
    QLabel* Duration = nullptr;
    QLabel* GrossCost = nullptr;
    QLabel* TimingLabel = nullptr;
    QLabel* NetCost = nullptr;
    QLabel* MinChargeLight = nullptr;
    QFrame* minchargeline1 = nullptr;
    QLabel* Rate = nullptr;
    QLabel* TimeOfDay = nullptr;
    QLabel* Distance = nullptr;
    // Band and distance.
    QCheckBox* AutoTimeSense = nullptr;
    QGroupBox* TimeOfDayGroup = nullptr;
    QRadioButton* DayRadio = nullptr;
    QRadioButton* EveRadio = nullptr;
    QRadioButton* WendRadio = nullptr;
    QRadioButton* LocRadio = nullptr;
    QRadioButton* RegRadio = nullptr;
    QRadioButton* NatRadio = nullptr;
    QRadioButton* IntRadio = nullptr;
    // Totals.
    QGroupBox* CallsToday = nullptr;
    QLabel* TodayValue = nullptr;
    QLabel* ThisWeekValue = nullptr;
    // Buttons.
    QPushButton* StartStopButton = nullptr;
    QPushButton* SetupButton = nullptr;
    QPushButton* DataButton = nullptr;
    QPushButton* HelpButton = nullptr;
    QPushButton* AboutButton = nullptr;
    // Views.
    QFrame* ChangeWindowPanel = nullptr;
    QPushButton* NormalButton = nullptr;
    QPushButton* ShrinkToBoxButton = nullptr;
    QPushButton* MinimiseButton = nullptr;
    QPushButton* TaskBarButton = nullptr;
    QPushButton* StayOnTopButton = nullptr;
    QRadioButton* NormalRadio = nullptr;
    QRadioButton* SmallBoxRadio = nullptr;
    QRadioButton* MinimiseRadio = nullptr;
    QRadioButton* TaskbarRadio = nullptr;
    QCheckBox* StayOnTopCheckbox = nullptr;
    // Timers.
    QTimer* MainTimer = nullptr;
    QTimer* AnimationTimer = nullptr;
    QTimer* FlashTimer = nullptr;
    QTimer* OffTimer = nullptr;
};
