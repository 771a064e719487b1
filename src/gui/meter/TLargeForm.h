#pragma once

#include "core/meter/CallMeter.h"
#include "core/seams/Services.h"
#include "core/spending/BudgetAlerts.h"

#include <QHash>
#include <QStaticText>
#include <QWidget>

#include <functional>
#include <map>

class QBoxLayout;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSessionManager;
class SmallBoxMenu;
class WindowModes;

// The main window: it shows the meter (CallMeter) and forwards the user's
// actions to it, and holds the band, distance and view choices. It lives from
// the program's start to its end: made, it runs the program's preparation
// (the wizard on the first use, the settings, the default view); closed, it
// ends the program in order, whichever way the end comes.
class TLargeForm : public QWidget {
    Q_OBJECT
public:
    static inline const QString Caption = QStringLiteral("Dialtally Pro v1.0 ");
    static inline const QString ApplicationTitle = QStringLiteral("Dialtally Pro v1.0");

    // random() gives a whole number 0..4 (the clock's sweep counts).
    TLargeForm(const Services& services, std::function<int()> random = {}, QWidget* parent = nullptr);
    ~TLargeForm() override;

    CallMeter& meter() const { return *m_meter; }
    WindowModes& views() const { return *m_views; }

    void StartStopButtonClick();
    void StartOrStopClick();
    void ClockSpinDblClick();
    void AutoTimeSenseClick();
    // A band or distance was chosen: the rate is applied again, also during a call.
    void BandOrDistanceClick();
    void ReadIniSettings();
    void SetupButtonClick();
    void DataButtonClick();
    void SetupMenuItemClick();
    void PastCallsMenuItemClick();
    // The Spending window, from the button or the menus.
    void SpendingClick();
    void CloseProgramClick();
    void AboutButtonClick();
    void HelpButtonClick();

    // Start-up. OpenWelcomeWindow is false when the program was told to end
    // while one of its pages was open.
    bool FirstUseOfProg();
    bool OpenWelcomeWindow();

    // The end. FormCloseQuery asks whether the window may close, FormClose
    // ends the program. EndOfSession answers the desktop's log-off or
    // shut-down: false when the user chose to stay (mayAsk says whether a
    // question may be put). EndOnRequest ends the program when it is told to
    // from outside (a signal, the event loop ended). Ended from outside, the
    // program asks nothing, shows no box and plays no exit sound.
    bool FormCloseQuery();
    void FormClose();
    bool EndOfSession(const std::function<bool()>& mayAsk);
    void EndOnRequest();
    // The program has been ended and is only waiting to terminate.
    bool hasEnded() const { return m_ended; }

signals:
    // On the way to the end, a running call has been logged and nothing can
    // start another.
    void callsLogged();
    // The program's end is done: the application is to terminate.
    void ended();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    // The configuration dialog, the window hidden meanwhile when hideWindow;
    // false when the program was ended while it was open.
    bool runSetupDialog(bool hideWindow);
    // The call log viewer, likewise.
    bool runViewer(bool hideWindow);
    void commitData(QSessionManager& manager);
    bool askExit();
    void endProgram(bool byUser, bool savePosition);
    void buildLayout();
    void fitToType();
    void connectControls();
    void connectMeter();
    void showClockFrame(int frame);
    // The window was shown, hidden, minimised or restored: the clock turns only where it is seen.
    void clockShownChanged();
    void paintClockSpin();
    void paintFigure(QLabel* figure);
    void showTiming(bool timing);
    void showSpendWarning(const QString& message);
    // The budget's line and notices, whenever the totals are refreshed.
    void refreshBudget();
    int checkedDistance() const;
    int checkedBand() const;

    Services m_services;
    CallMeter* m_meter = nullptr;
    SmallBoxMenu* m_menu = nullptr;
    WindowModes* m_views = nullptr;
    int m_clockFrame = 0; // the picture ClockSpin shows, 1..21
    std::map<const QLabel*, QHash<QString, QStaticText>> m_figureTexts;
    bool m_askingExit = false;
    bool m_ended = false;
    BudgetAlerts m_budgetAlerts;

    // All but the meter panel, which is alone in the small box.
    QWidget* NormalView = nullptr;
    QBoxLayout* m_animationHome = nullptr; // the meter panel's place in the normal view
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
    QLabel* BudgetLine = nullptr;
    QLabel* FreeMinutesLine = nullptr;
    QLabel* PricesNeededLine = nullptr;
    // Buttons.
    QPushButton* StartStopButton = nullptr;
    QPushButton* SetupButton = nullptr;
    QPushButton* DataButton = nullptr;
    QPushButton* HelpButton = nullptr;
    QPushButton* AboutButton = nullptr;
    QPushButton* SpendingButton = nullptr;
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
