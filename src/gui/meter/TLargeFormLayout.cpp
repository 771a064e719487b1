// The main window's controls and their layouts. At the program's own type
// every part has the size and place the window was drawn with (511 by 303
// inside its frame); at a larger type or scale the parts grow to fit their
// texts and the window with them. The window takes the size its layout needs,
// so when the meter panel alone is shown (the small box) it is that panel's.
#include "gui/meter/ClockFrames.h"
#include "gui/meter/TLargeForm.h"
#include "gui/shell/ShellPictures.h"
#include "gui/shell/TypeScale.h"
#include "gui/widgets/RadioGroupKeys.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

template <typename T, typename... Args> T* make(QWidget* parent, const char* name, Args&&... args) {
    auto* w = new T(std::forward<Args>(args)..., parent);
    w->setObjectName(QLatin1String(name));
    return w;
}

QLabel* panelLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = make<QLabel>(parent, name, text);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    label->setIndent(4);
    label->setAutoFillBackground(true);
    return label;
}

// A caption that a screen reader gives as the name of the value beside it.
QLabel* caption(QWidget* parent, const QString& text, QWidget* value = nullptr) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    label->setBuddy(value);
    return label;
}

// Kept in its place while hidden, so showing it moves nothing.
void keepRoomWhenHidden(QWidget* w) {
    QSizePolicy policy = w->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    w->setSizePolicy(policy);
}

// A button that fills its cell of the grid, never smaller than its text.
void fillCell(QWidget* w) {
    w->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Minimum);
}

void setRowHeights(QGridLayout* grid, std::initializer_list<int> heights) {
    int row = 0;
    for (int height : heights)
        grid->setRowMinimumHeight(row++, height);
}

void setColumnWidths(QGridLayout* grid, std::initializer_list<int> widths) {
    int column = 0;
    for (int width : widths)
        grid->setColumnMinimumWidth(column++, width);
}

} // namespace

void TLargeForm::buildLayout() {
    setObjectName(QStringLiteral("LargeForm"));
    setWindowTitle(Caption);
    NormalView = make<QWidget>(this, "NormalView");

    // The meter.
    CurrentCallPanel = make<QFrame>(NormalView, "CurrentCallPanel");
    CurrentCallPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    NetCost = panelLabel(CurrentCallPanel, "NetCost", QStringLiteral("\u00a30.00"));
    Rate = panelLabel(CurrentCallPanel, "Rate", QString());
    Rate->setToolTip(QStringLiteral("The rate used in current calculations"));
    // A long rate name is cut rather than widening the window.
    Rate->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    TimeOfDay = panelLabel(CurrentCallPanel, "TimeOfDay", QString());
    Distance = panelLabel(CurrentCallPanel, "Distance", QString());
    MinChargeLight =
        make<QLabel>(CurrentCallPanel, "MinChargeLight", QStringLiteral("Minimum charge effective"));
    QPalette red = MinChargeLight->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    MinChargeLight->setPalette(red);
    MinChargeLight->hide();
    minchargeline1 = make<QFrame>(CurrentCallPanel, "minchargeline1");
    minchargeline1->setAutoFillBackground(true);
    minchargeline1->setFixedHeight(2);
    QPalette line = minchargeline1->palette();
    line.setColor(QPalette::Window, Qt::red);
    minchargeline1->setPalette(line);
    minchargeline1->hide();
    for (QWidget* indicator : {static_cast<QWidget*>(MinChargeLight), static_cast<QWidget*>(minchargeline1)})
        keepRoomWhenHidden(indicator);

    auto* figures = new QGridLayout;
    figures->setHorizontalSpacing(2);
    figures->setVerticalSpacing(4);
    setColumnWidths(figures, {100, 100, 120});
    setRowHeights(figures, {20, 20, 20, 18});
    figures->addWidget(caption(CurrentCallPanel, QStringLiteral("Cost (Exc. Tax)"), NetCost), 0, 0);
    figures->addWidget(NetCost, 0, 1, Qt::AlignLeft);
    figures->addWidget(caption(CurrentCallPanel, QStringLiteral("Rate"), Rate), 1, 0);
    figures->addWidget(Rate, 1, 1, 1, 2);
    figures->addWidget(caption(CurrentCallPanel, QStringLiteral("Band / Distance"), TimeOfDay), 2, 0);
    figures->addWidget(TimeOfDay, 2, 1);
    figures->addWidget(Distance, 2, 2);
    auto* indicator = new QHBoxLayout;
    indicator->setSpacing(4);
    indicator->addWidget(MinChargeLight);
    indicator->addWidget(minchargeline1, 1, Qt::AlignVCenter);
    figures->addLayout(indicator, 3, 0, 1, 3);

    AnimationPanel = make<QFrame>(CurrentCallPanel, "AnimationPanel");
    AnimationPanel->setAccessibleName(QStringLiteral("Meter"));
    AnimationPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    AnimationPanel->setAutoFillBackground(true);
    QPalette black = AnimationPanel->palette();
    black.setColor(QPalette::Window, Qt::black);
    black.setColor(QPalette::WindowText, QColor(0, 255, 255));
    AnimationPanel->setPalette(black);
    ClockSpin = make<QLabel>(AnimationPanel, "ClockSpin");
    ClockSpin->setAccessibleName(QStringLiteral("Clock"));
    ClockSpin->setToolTip(QStringLiteral("Double click to start Timing."));
    ClockSpin->setFixedSize(ClockFrames::Size, ClockFrames::Size);
    ClockSpin->installEventFilter(this);
    TimingLabel = make<QLabel>(AnimationPanel, "TimingLabel", QStringLiteral("Scanning"));
    Duration = make<QLabel>(AnimationPanel, "Duration", QStringLiteral("00:00:00"));
    GrossCost = make<QLabel>(AnimationPanel, "GrossCost", QStringLiteral("\u00a30.00"));
    GrossCost->setAlignment(Qt::AlignCenter);
    auto* status = new QVBoxLayout;
    status->setSpacing(0);
    status->addWidget(TimingLabel, 0, Qt::AlignLeft);
    status->addWidget(Duration, 0, Qt::AlignLeft);
    auto* clockRow = new QHBoxLayout;
    clockRow->setSpacing(4);
    clockRow->addWidget(ClockSpin, 0, Qt::AlignTop);
    clockRow->addStretch();
    clockRow->addLayout(status);
    auto* meter = new QVBoxLayout(AnimationPanel);
    meter->setContentsMargins(3, 3, 3, 3);
    meter->setSpacing(1);
    meter->addLayout(clockRow);
    meter->addWidget(GrossCost, 0, Qt::AlignHCenter);

    m_animationHome = new QVBoxLayout;
    m_animationHome->setContentsMargins(0, 4, 0, 0);
    m_animationHome->addWidget(AnimationPanel);
    m_animationHome->addStretch();
    auto* current = new QHBoxLayout(CurrentCallPanel);
    current->setContentsMargins(9, 5, 18, 3); // inside the frame
    current->setSpacing(8);
    current->addLayout(figures, 1);
    current->addLayout(m_animationHome);

    // Band and distance.
    auto* distanceGroup = make<QGroupBox>(NormalView, "DistanceGroup", QStringLiteral("Distance"));
    LocRadio = make<QRadioButton>(distanceGroup, "LocRadio", QStringLiteral("Lo&cal"));
    RegRadio = make<QRadioButton>(distanceGroup, "RegRadio", QStringLiteral("Re&gional"));
    NatRadio = make<QRadioButton>(distanceGroup, "NatRadio", QStringLiteral("Nationa&l"));
    IntRadio = make<QRadioButton>(distanceGroup, "IntRadio", QStringLiteral("Inte&rnational"));
    LocRadio->setChecked(true);
    auto* distances = new QGridLayout(distanceGroup);
    distances->setContentsMargins(2, 0, 0, 0);
    distances->setSpacing(0);
    setColumnWidths(distances, {90, 96});
    distances->addWidget(LocRadio, 0, 0);
    distances->addWidget(RegRadio, 0, 1);
    distances->addWidget(NatRadio, 1, 0);
    distances->addWidget(IntRadio, 1, 1);

    AutoTimeSense = make<QCheckBox>(NormalView, "AutoTimeSense", QStringLiteral("Auto T&ime Sensing"));
    AutoTimeSense->setChecked(true);

    TimeOfDayGroup = make<QGroupBox>(NormalView, "TimeOfDayGroup", QStringLiteral("Time Of Day"));
    DayRadio = make<QRadioButton>(TimeOfDayGroup, "DayRadio", QStringLiteral("&Daytime"));
    EveRadio = make<QRadioButton>(TimeOfDayGroup, "EveRadio", QStringLiteral("E&vening"));
    WendRadio = make<QRadioButton>(TimeOfDayGroup, "WendRadio", QStringLiteral("&Weekend"));
    auto* bands = new QVBoxLayout(TimeOfDayGroup);
    bands->setContentsMargins(2, 0, 0, 0);
    bands->setSpacing(0);
    for (QRadioButton* band : {DayRadio, EveRadio, WendRadio})
        bands->addWidget(band);
    keepRoomWhenHidden(TimeOfDayGroup);
    TimeOfDayGroup->hide();

    // Totals.
    CallsToday = make<QGroupBox>(NormalView, "CallsToday", QStringLiteral("Total"));
    TodayValue = make<QLabel>(CallsToday, "TodayValue", QStringLiteral("No calls made today"));
    ThisWeekValue = make<QLabel>(CallsToday, "ThisWeekValue", QStringLiteral("No calls made this Week"));
    auto* totals = new QVBoxLayout(CallsToday);
    totals->setContentsMargins(2, 0, 0, 0);
    totals->setSpacing(0);
    totals->addWidget(TodayValue);
    totals->addWidget(ThisWeekValue);
    // The budget's line, while the budget is on.
    BudgetLine = make<QLabel>(CallsToday, "BudgetLine");
    BudgetLine->hide();
    totals->addWidget(BudgetLine);
    // While the active rate file has only the starter's prices.
    PricesNeededLine =
        make<QLabel>(CallsToday, "PricesNeededLine", QStringLiteral("Call charges not set yet: see Setup"));
    PricesNeededLine->setToolTip(
        QStringLiteral("Calls are priced at 0.00 until you set your charges in Setup, "
                       "on the Call Charges page, and save them."));
    PricesNeededLine->hide();
    totals->addWidget(PricesNeededLine);

    auto* choices = new QGridLayout;
    choices->setHorizontalSpacing(6);
    choices->setVerticalSpacing(4);
    setColumnWidths(choices, {200, 130});
    setRowHeights(choices, {62, 20, 53});
    choices->addWidget(distanceGroup, 0, 0);
    auto* autoTime = new QHBoxLayout;
    autoTime->setContentsMargins(8, 0, 0, 0);
    autoTime->addWidget(AutoTimeSense);
    choices->addLayout(autoTime, 1, 0);
    choices->addWidget(TimeOfDayGroup, 0, 1, 2, 1);
    choices->addWidget(CallsToday, 2, 0, 1, 2);

    // Buttons.
    StartStopButton = make<QPushButton>(NormalView, "StartStopButton", QStringLiteral("&Start"));
    StartStopButton->setToolTip(QStringLiteral("Click to Start and Stop calls"));
    StartStopButton->setDefault(true);
    SetupButton = make<QPushButton>(NormalView, "SetupButton", QStringLiteral("Set&up"));
    DataButton = make<QPushButton>(NormalView, "DataButton", QStringLiteral("&Past Calls"));
    HelpButton = make<QPushButton>(NormalView, "HelpButton", QStringLiteral("&Help"));
    HelpButton->setToolTip(QStringLiteral("Get Help"));
    AboutButton = make<QPushButton>(NormalView, "AboutButton", QStringLiteral("&About"));
    AboutButton->setToolTip(QStringLiteral("About this program"));
    SpendingButton = make<QPushButton>(NormalView, "SpendingButton", QStringLiteral("Sp&ending..."));
    SpendingButton->setToolTip(QStringLiteral("What calls cost per day, week and month"));
    auto* buttons = new QGridLayout;
    buttons->setContentsMargins(0, 4, 0, 0);
    buttons->setHorizontalSpacing(5);
    // Closer than the design's 6 so that Spending... finds room in the window's height.
    buttons->setVerticalSpacing(4);
    setColumnWidths(buttons, {81, 81});
    setRowHeights(buttons, {46, 28, 26, 26});
    buttons->addWidget(StartStopButton, 0, 0, 1, 2);
    buttons->addWidget(SetupButton, 1, 0);
    buttons->addWidget(DataButton, 1, 1);
    buttons->addWidget(HelpButton, 2, 0);
    buttons->addWidget(AboutButton, 2, 1);
    buttons->addWidget(SpendingButton, 3, 0, 1, 2);
    buttons->setRowStretch(4, 1);
    for (QWidget* b : {StartStopButton, SetupButton, DataButton, HelpButton, AboutButton, SpendingButton})
        fillCell(b);

    // Views.
    ChangeWindowPanel = make<QFrame>(NormalView, "ChangeWindowPanel");
    ChangeWindowPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto* views = new QGridLayout(ChangeWindowPanel);
    views->setContentsMargins(7, 2, 2, 3);
    views->setHorizontalSpacing(1);
    views->setVerticalSpacing(2);
    views->setColumnMinimumWidth(0, 111);
    views->setRowMinimumHeight(1, 18);
    views->addWidget(caption(ChangeWindowPanel, QStringLiteral("Change view to:")), 0, 0);
    auto* defaultViewCaption = caption(ChangeWindowPanel, QStringLiteral("De&fault view:"));
    views->addWidget(defaultViewCaption, 1, 0);
    auto viewButton = [&](const char* name, int column, const QString& text, const QString& hint) {
        auto* b = make<QPushButton>(ChangeWindowPanel, name, text);
        b->setToolTip(hint);
        b->setFocusPolicy(Qt::TabFocus);
        b->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored); // sized by its cell
        views->addWidget(b, 0, column + 1);
        return b;
    };
    NormalButton = viewButton("NormalButton", 0, QStringLiteral("&Normal"), QString());
    NormalButton->setEnabled(false);
    ShrinkToBoxButton = viewButton("ShrinkToBoxButton", 1, QStringLiteral("Small &Box"),
                                   QStringLiteral("Change window to the Smallbox"));
    MinimiseButton = viewButton("MinimiseButton", 2, QStringLiteral("&Minimise"),
                                QStringLiteral("Change window to minimised"));
    TaskBarButton = viewButton("TaskBarButton", 3, QStringLiteral("&Taskbar"),
                               QStringLiteral("Change window to Taskbar icon (next to the clock)"));
    StayOnTopButton = viewButton("StayOnTopButton", 4, QStringLiteral("&On Top"),
                                 QStringLiteral("Make window stay on top"));
    StayOnTopButton->setIcon(ShellPictures::StayOnTopImage());

    auto defaultViewChoice = [&](QAbstractButton* b, const char* name, int column, const QString& view,
                                 const QString& hint) {
        b->setObjectName(QLatin1String(name));
        b->setToolTip(hint);
        b->setAccessibleName(QStringLiteral("Default view: ") + view);
        views->addWidget(b, 1, column + 1, Qt::AlignCenter);
    };
    NormalRadio = new QRadioButton(ChangeWindowPanel);
    defaultViewChoice(NormalRadio, "NormalRadio", 0, QStringLiteral("Normal"),
                      QStringLiteral("Make Normal Window the default on Startup"));
    SmallBoxRadio = new QRadioButton(ChangeWindowPanel);
    defaultViewChoice(SmallBoxRadio, "SmallBoxRadio", 1, QStringLiteral("Small Box"),
                      QStringLiteral("Make Small box the default of Startup"));
    MinimiseRadio = new QRadioButton(ChangeWindowPanel);
    defaultViewChoice(MinimiseRadio, "MinimiseRadio", 2, QStringLiteral("Minimised"),
                      QStringLiteral("Make Minimised the default on Startup"));
    TaskbarRadio = new QRadioButton(ChangeWindowPanel);
    defaultViewChoice(TaskbarRadio, "TaskbarRadio", 3, QStringLiteral("Taskbar"),
                      QStringLiteral("Make Taskbar Icon the default on Startup"));
    StayOnTopCheckbox = new QCheckBox(ChangeWindowPanel);
    defaultViewChoice(StayOnTopCheckbox, "StayOnTopCheckbox", 4, QStringLiteral("Stay On Top"),
                      QStringLiteral("Make Stay On Top the default on Startup"));
    auto* defaultView = new QButtonGroup(this);
    defaultView->setObjectName(QStringLiteral("DefaultViewGroup"));
    defaultView->addButton(NormalRadio, 0);
    defaultView->addButton(SmallBoxRadio, 1);
    defaultView->addButton(TaskbarRadio, 2);
    defaultView->addButton(MinimiseRadio, 3);

    auto* middle = new QHBoxLayout;
    middle->setSpacing(4);
    middle->addLayout(choices, 1);
    middle->addLayout(buttons);
    auto* normal = new QVBoxLayout(NormalView);
    normal->setContentsMargins(2, 3, 2, 2);
    normal->setSpacing(3);
    normal->addWidget(CurrentCallPanel);
    normal->addLayout(middle);
    normal->addWidget(ChangeWindowPanel);

    auto* window = new QVBoxLayout(this);
    window->setContentsMargins(0, 0, 0, 0);
    window->setSpacing(0);
    window->setSizeConstraint(QLayout::SetFixedSize);
    window->addWidget(NormalView);

    // The keyboard: each group of choices is one stop of Tab, taken in the
    // window's order (the choices on the left from the top, the buttons beside
    // them, then the views' row); the window opens at Start. No Alt key serves
    // two controls.
    RadioGroupKeys::oneTabStop({LocRadio, RegRadio, NatRadio, IntRadio});
    RadioGroupKeys::oneTabStop({DayRadio, EveRadio, WendRadio});
    RadioGroupKeys::oneTabStop({NormalRadio, SmallBoxRadio, MinimiseRadio, TaskbarRadio}, defaultViewCaption);
    QWidget* const order[] = {LocRadio,        RegRadio,       NatRadio,        IntRadio,
                              AutoTimeSense,   DayRadio,       EveRadio,        WendRadio,
                              StartStopButton, SetupButton,    DataButton,      HelpButton,
                              AboutButton,     SpendingButton, NormalButton,    ShrinkToBoxButton,
                              MinimiseButton,  TaskBarButton,  StayOnTopButton, NormalRadio,
                              SmallBoxRadio,   MinimiseRadio,  TaskbarRadio,    StayOnTopCheckbox};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    StartStopButton->setFocus();
    fitToType();
    window->activate(); // sized before the desktop first hears of it
}

// The meter's own type and the room of texts that change while on show, in
// step with the program's font. The figures the meter changes while a call is
// timed have a size of their own, so a new figure never has the window's
// layout worked out again.
void TLargeForm::fitToType() {
    auto setType = [](QWidget* w, double pixels, bool bold) {
        QFont font = TypeScale::sized(QFont(), pixels);
        font.setBold(bold);
        w->setFont(font);
    };
    setType(MinChargeLight, 12, true);
    setType(TimingLabel, 11, false);
    setType(Duration, 19, true);
    setType(GrossCost, 25, true);
    setType(StartStopButton, 16, true);

    // Up to a thousand pounds (or any one-letter currency) and a day's duration.
    const QStringList money = {QStringLiteral("\u00a3000.00"), QStringLiteral("100.0p")};
    TimingLabel->setFixedSize(TypeScale::roomFor(
        TimingLabel,
        {QStringLiteral("Scanning..."), QStringLiteral("Timing..."), QStringLiteral("Not sensing")},
        QSize(94, 14)));
    Duration->setFixedSize(TypeScale::roomFor(Duration, {QStringLiteral("00:00:00")}, QSize(96, 24)));
    GrossCost->setFixedSize(TypeScale::roomFor(GrossCost, money, QSize(138, 30)));
    NetCost->setFixedSize(TypeScale::roomFor(NetCost, money, QSize(100, 20)));
    MinChargeLight->setMinimumSize(TypeScale::roomFor(
        MinChargeLight, {QStringLiteral("Minimum charge effective"), QStringLiteral("Previous Call")},
        {180, 0}));
    TimeOfDay->setMinimumSize(TypeScale::roomFor(
        TimeOfDay, {QStringLiteral("Daytime"), QStringLiteral("Evening"), QStringLiteral("Weekend")}, {}));
    Distance->setMinimumSize(TypeScale::roomFor(Distance,
                                                {QStringLiteral("Local"), QStringLiteral("Regional"),
                                                 QStringLiteral("National"), QStringLiteral("International")},
                                                {}));
    // A busy week in full.
    for (QLabel* total : {TodayValue, ThisWeekValue})
        total->setMinimumSize(
            TypeScale::roomFor(total, {QStringLiteral("100 calls this week totalling \u00a31000.00")}, {}));
    // The view buttons fill cells as wide as their texts need: the style's own
    // buttons would be too wide for the row.
    auto* views = static_cast<QGridLayout*>(ChangeWindowPanel->layout());
    int buttonHeight = 0;
    for (QPushButton* view :
         {NormalButton, ShrinkToBoxButton, MinimiseButton, TaskBarButton, StayOnTopButton}) {
        const QSize room = TypeScale::tightButton(view, QSize(76, 21));
        int row = 0, column = 0, rows = 0, columns = 0;
        views->getItemPosition(views->indexOf(view), &row, &column, &rows, &columns);
        views->setColumnMinimumWidth(column, room.width());
        buttonHeight = std::max(buttonHeight, room.height());
    }
    views->setRowMinimumHeight(0, buttonHeight);
}
