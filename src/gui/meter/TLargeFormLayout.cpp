// The main window's controls and their places. The window has a fixed size,
// and the meter panel moves as a whole when the window shrinks to the small
// box, so everything is placed by position.
#include "gui/meter/ClockFrames.h"
#include "gui/meter/TLargeForm.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace {

template <typename T, typename... Args>
T* make(QWidget* parent, const char* name, QRect geometry, Args&&... args) {
    auto* w = new T(std::forward<Args>(args)..., parent);
    w->setObjectName(QLatin1String(name));
    w->setGeometry(geometry);
    return w;
}

QLabel* panelLabel(QWidget* parent, const char* name, QRect geometry, const QString& text) {
    auto* label = make<QLabel>(parent, name, geometry, text);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    label->setIndent(4);
    label->setAutoFillBackground(true);
    return label;
}

QLabel* caption(QWidget* parent, QRect geometry, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    return label;
}

QFont pixelFont(int pixels, bool bold) {
    QFont font;
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

} // namespace

void TLargeForm::buildLayout() {
    setObjectName(QStringLiteral("LargeForm"));
    setWindowTitle(Caption);
    // The outer size is 517 by 328 with a dialog border and a title bar.
    setFixedSize(OuterWidth - 6, OuterHeight - 25);

    // The meter.
    CurrentCallPanel = make<QFrame>(this, "CurrentCallPanel", QRect(2, 3, 507, 100));
    CurrentCallPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);

    caption(CurrentCallPanel, QRect(10, 6, 100, 20), QStringLiteral("Cost (Exc. Tax)"));
    NetCost = panelLabel(CurrentCallPanel, "NetCost", QRect(112, 6, 100, 20), QStringLiteral("\u00a30.00"));
    caption(CurrentCallPanel, QRect(10, 30, 100, 20), QStringLiteral("Rate"));
    Rate = panelLabel(CurrentCallPanel, "Rate", QRect(112, 30, 222, 20), QString());
    Rate->setToolTip(QStringLiteral("The rate used in current calculations"));
    caption(CurrentCallPanel, QRect(10, 54, 100, 20), QStringLiteral("Band / Distance"));
    TimeOfDay = panelLabel(CurrentCallPanel, "TimeOfDay", QRect(112, 54, 100, 20), QString());
    Distance = panelLabel(CurrentCallPanel, "Distance", QRect(216, 54, 118, 20), QString());

    MinChargeLight = make<QLabel>(CurrentCallPanel, "MinChargeLight", QRect(10, 77, 180, 18),
                                  QStringLiteral("Minimum charge effective"));
    QPalette red = MinChargeLight->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    MinChargeLight->setPalette(red);
    MinChargeLight->setFont(pixelFont(12, true));
    MinChargeLight->hide();
    minchargeline1 = make<QFrame>(CurrentCallPanel, "minchargeline1", QRect(194, 86, 140, 2));
    minchargeline1->setAutoFillBackground(true);
    QPalette line = minchargeline1->palette();
    line.setColor(QPalette::Window, Qt::red);
    minchargeline1->setPalette(line);
    minchargeline1->hide();

    AnimationPanel = make<QFrame>(CurrentCallPanel, "AnimationPanel", QRect(342, 10, 146, 77));
    AnimationPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    AnimationPanel->setAutoFillBackground(true);
    QPalette black = AnimationPanel->palette();
    black.setColor(QPalette::Window, Qt::black);
    black.setColor(QPalette::WindowText, QColor(0, 255, 255));
    AnimationPanel->setPalette(black);

    ClockSpin = make<QLabel>(AnimationPanel, "ClockSpin", QRect(5, 5, ClockFrames::Size, ClockFrames::Size));
    ClockSpin->setToolTip(QStringLiteral("Double click to start Timing."));
    ClockSpin->installEventFilter(this);
    TimingLabel =
        make<QLabel>(AnimationPanel, "TimingLabel", QRect(48, 4, 94, 14), QStringLiteral("Scanning"));
    TimingLabel->setFont(pixelFont(11, false));
    Duration = make<QLabel>(AnimationPanel, "Duration", QRect(46, 18, 96, 24), QStringLiteral("00:00:00"));
    Duration->setFont(pixelFont(19, true));
    GrossCost =
        make<QLabel>(AnimationPanel, "GrossCost", QRect(4, 43, 138, 30), QStringLiteral("\u00a30.00"));
    GrossCost->setFont(pixelFont(25, true));
    GrossCost->setAlignment(Qt::AlignCenter);

    // Band and distance.
    auto* distanceGroup =
        make<QGroupBox>(this, "DistanceGroup", QRect(2, 106, 200, 62), QStringLiteral("Distance"));
    LocRadio = make<QRadioButton>(distanceGroup, "LocRadio", QRect(10, 18, 90, 20), QStringLiteral("Local"));
    RegRadio =
        make<QRadioButton>(distanceGroup, "RegRadio", QRect(100, 18, 96, 20), QStringLiteral("Regional"));
    NatRadio =
        make<QRadioButton>(distanceGroup, "NatRadio", QRect(10, 38, 90, 20), QStringLiteral("National"));
    IntRadio = make<QRadioButton>(distanceGroup, "IntRadio", QRect(100, 38, 96, 20),
                                  QStringLiteral("International"));
    LocRadio->setChecked(true);

    AutoTimeSense =
        make<QCheckBox>(this, "AutoTimeSense", QRect(10, 172, 190, 20), QStringLiteral("Auto Time Sensing"));
    AutoTimeSense->setChecked(true);

    TimeOfDayGroup =
        make<QGroupBox>(this, "TimeOfDayGroup", QRect(208, 106, 130, 86), QStringLiteral("Time Of Day"));
    DayRadio =
        make<QRadioButton>(TimeOfDayGroup, "DayRadio", QRect(10, 18, 110, 20), QStringLiteral("Daytime"));
    EveRadio =
        make<QRadioButton>(TimeOfDayGroup, "EveRadio", QRect(10, 39, 110, 20), QStringLiteral("Evening"));
    WendRadio =
        make<QRadioButton>(TimeOfDayGroup, "WendRadio", QRect(10, 60, 110, 20), QStringLiteral("Weekend"));
    TimeOfDayGroup->hide();

    // Totals.
    CallsToday = make<QGroupBox>(this, "CallsToday", QRect(2, 196, 336, 54), QStringLiteral("Total"));
    TodayValue = make<QLabel>(CallsToday, "TodayValue", QRect(10, 17, 320, 16),
                              QStringLiteral("3 calls today totalling \u00a31.50"));
    ThisWeekValue = make<QLabel>(CallsToday, "ThisWeekValue", QRect(10, 34, 320, 16),
                                 QStringLiteral("3 calls this week totalling \u00a31.50"));

    // Buttons.
    StartStopButton =
        make<QPushButton>(this, "StartStopButton", QRect(342, 110, 167, 46), QStringLiteral("&Start"));
    StartStopButton->setFont(pixelFont(16, true));
    StartStopButton->setToolTip(QStringLiteral("Click to Start and Stop calls"));
    StartStopButton->setDefault(true);
    SetupButton = make<QPushButton>(this, "SetupButton", QRect(342, 162, 81, 28), QStringLiteral("Set&up"));
    DataButton =
        make<QPushButton>(this, "DataButton", QRect(428, 162, 81, 28), QStringLiteral("&Past Calls"));
    HelpButton = make<QPushButton>(this, "HelpButton", QRect(342, 196, 81, 26), QStringLiteral("&Help"));
    HelpButton->setToolTip(QStringLiteral("Get Help"));
    AboutButton = make<QPushButton>(this, "AboutButton", QRect(428, 196, 81, 26), QStringLiteral("&About"));
    AboutButton->setToolTip(QStringLiteral("About this program"));

    // Views.
    ChangeWindowPanel = make<QFrame>(this, "ChangeWindowPanel", QRect(2, 253, 507, 48));
    ChangeWindowPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    caption(ChangeWindowPanel, QRect(8, 3, 100, 20), QStringLiteral("Change view to:"));
    caption(ChangeWindowPanel, QRect(8, 25, 100, 20), QStringLiteral("Default view:"));
    const int buttonWidth = 76;
    auto viewButton = [&](const char* name, int column, const QString& text, const QString& hint) {
        auto* b =
            make<QPushButton>(ChangeWindowPanel, name, QRect(120 + column * 77, 3, buttonWidth, 21), text);
        b->setToolTip(hint);
        b->setFocusPolicy(Qt::TabFocus);
        return b;
    };
    NormalButton = viewButton("NormalButton", 0, QStringLiteral("Normal"), QString());
    NormalButton->setEnabled(false);
    ShrinkToBoxButton = viewButton("ShrinkToBoxButton", 1, QStringLiteral("Small Box"),
                                   QStringLiteral("Change window to the Smallbox"));
    MinimiseButton = viewButton("MinimiseButton", 2, QStringLiteral("Minimise"),
                                QStringLiteral("Change window to minimised"));
    TaskBarButton = viewButton("TaskBarButton", 3, QStringLiteral("Taskbar"),
                               QStringLiteral("Change window to Taskbar icon (next to the clock)"));
    StayOnTopButton =
        viewButton("StayOnTopButton", 4, QStringLiteral("On Top"), QStringLiteral("Make window stay on top"));

    auto defaultViewRadio = [&](const char* name, int column, const QString& hint) {
        auto* r = make<QRadioButton>(ChangeWindowPanel, name, QRect(120 + column * 77 + 30, 26, 20, 18));
        r->setToolTip(hint);
        return r;
    };
    NormalRadio =
        defaultViewRadio("NormalRadio", 0, QStringLiteral("Make Normal Window the default on Startup"));
    SmallBoxRadio =
        defaultViewRadio("SmallBoxRadio", 1, QStringLiteral("Make Small box the default of Startup"));
    MinimiseRadio =
        defaultViewRadio("MinimiseRadio", 2, QStringLiteral("Make Minimised the default on Startup"));
    TaskbarRadio =
        defaultViewRadio("TaskbarRadio", 3, QStringLiteral("Make Taskbar Icon the default on Startup"));
    auto* defaultView = new QButtonGroup(this);
    defaultView->setObjectName(QStringLiteral("DefaultViewGroup"));
    defaultView->addButton(NormalRadio, 0);
    defaultView->addButton(SmallBoxRadio, 1);
    defaultView->addButton(TaskbarRadio, 2);
    defaultView->addButton(MinimiseRadio, 3);
    StayOnTopCheckbox =
        make<QCheckBox>(ChangeWindowPanel, "StayOnTopCheckbox", QRect(120 + 4 * 77 + 30, 26, 20, 18));
    StayOnTopCheckbox->setToolTip(QStringLiteral("Make Stay On Top the default on Startup"));

    setTabOrder(StartStopButton, SetupButton);
    setTabOrder(SetupButton, DataButton);
    setTabOrder(DataButton, LocRadio);
    setTabOrder(LocRadio, AutoTimeSense);
}
