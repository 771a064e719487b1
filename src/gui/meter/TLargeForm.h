#pragma once

#include "core/meter/CallMeter.h"
#include "core/seams/Services.h"

#include <QWidget>

#include <functional>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

// The main window: it shows the meter (CallMeter) and forwards the user's
// actions to it, and holds the band, distance and view choices.
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

    CallMeter& meter() const { return *m_meter; }

    void StartStopButtonClick();
    void ClockSpinDblClick();
    void AutoTimeSenseClick();
    // A band or distance was chosen: the rate is applied again, also during a call.
    void BandOrDistanceClick();
    void ReadIniSettings();
    void SetupButtonClick();
    void DataButtonClick();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    void connectControls();
    void connectMeter();
    void showClockFrame(int frame);
    void showTiming(bool timing);
    void showSpendWarning(const QString& message);
    int checkedDistance() const;
    int checkedBand() const;

    Services m_services;
    CallMeter* m_meter = nullptr;

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
};
