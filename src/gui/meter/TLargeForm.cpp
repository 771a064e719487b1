#include "gui/meter/TLargeForm.h"

#include "core/seams/Clock.h"
#include "core/seams/HelpViewer.h"
#include "core/seams/Notifier.h"
#include "core/seams/Prompter.h"
#include "core/settings/ShellSettings.h"
#include "core/settings/StarterTariff.h"
#include "core/spending/SpendWarningNotice.h"
#include "core/spending/SpendingReading.h"
#include "gui/meter/ClockFrames.h"
#include "gui/meter/TSpendForm.h"
#include "gui/setup/TSetupForm.h"
#include "gui/shell/SmallBoxMenu.h"
#include "gui/shell/TAboutForm.h"
#include "gui/shell/TPortSetupForm.h"
#include "gui/shell/TTariffForm.h"
#include "gui/shell/TTitleForm.h"
#include "gui/shell/TWelcomeForm.h"
#include "gui/shell/WindowModes.h"
#include "gui/shell/WindowSystem.h"
#include "gui/spending/TSpendingForm.h"
#include "gui/viewer/TDataForm.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSessionManager>
#include <QStyle>

#include <algorithm>
#include <array>
#include <optional>

namespace {
constexpr int MainWindowHelpTopic = 1;

// The normal window makes way for the dialogs of its buttons; the small box
// stays, with the meter, beside the ones of its menu (out of the always-on-top
// layer, so as not to hide them), and a window hidden behind the notification
// icon stays hidden. Where the program cannot place its windows, a window
// shown again would lose its place: it stays where it is.
class WindowAside {
public:
    WindowAside(TLargeForm& window, bool hide)
        : m_window(window), m_hidden(hide && window.views().windowSystem().placesWindows()) {
        if (m_hidden)
            m_window.hide();
        else if (m_window.isVisible())
            m_pause.emplace(m_window.views());
    }
    ~WindowAside() {
        // Ended while the dialog was open: nothing is to show again.
        if (m_hidden && !m_window.hasEnded())
            m_window.show();
    }
    WindowAside(const WindowAside&) = delete;
    WindowAside& operator=(const WindowAside&) = delete;

private:
    TLargeForm& m_window;
    bool m_hidden;
    std::optional<TopLayerPause> m_pause;
};
} // namespace

TLargeForm::TLargeForm(const Services& services, std::function<int()> random, QWidget* parent)
    : QWidget(parent), m_services(services), m_meter(new CallMeter(services, std::move(random), this)) {
    buildLayout();
    m_menu = new SmallBoxMenu(this);
    m_views = new WindowModes(
        *m_meter, services.tray, services.windowSystem,
        {this, NormalView, AnimationPanel, m_animationHome, StayOnTopButton, StayOnTopCheckbox, m_menu},
        this);
    connectControls();
    connectMeter();
    ClockSpin->setMinimumSize(ClockFrames::Size, ClockFrames::Size);
    // What changes while a call is timed paints its own background, so a
    // change repaints that control alone and not the panel behind it.
    ClockSpin->setAttribute(Qt::WA_OpaquePaintEvent);
    for (QLabel* figure : {TimingLabel, Duration, GrossCost}) {
        figure->setAutoFillBackground(true);
        figure->installEventFilter(this);
    }
    showClockFrame(1);
    FormCreate();
}

TLargeForm::~TLargeForm() = default;

// The meter starts with the line not dialling, the clock on its first picture
// with its sweep count drawn, and the views with no drag under way.
void TLargeForm::FormCreate() {
    if (FirstUseOfProg() && !OpenWelcomeWindow()) {
        // Each choice was stored as it was made; nothing else starts, nothing shows.
        endProgram(false, false);
        return;
    }
    ReadIniSettings();
    m_meter->startLineAndSound();
    // The totals and the budget's line are in before the window is placed and
    // shown: a window that grew while the desktop was still framing it would be
    // moved by its frame (its inside put where its frame was to go).
    m_meter->start();
    m_views->ChangeWindow();
    clockShownChanged();
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive)
            m_views->ApplicationActivate();
        else if (state == Qt::ApplicationInactive)
            m_views->ApplicationDeActivate();
    });
    // However the event loop comes to an end, a running call is logged first.
    connect(qGuiApp, &QCoreApplication::aboutToQuit, this, &TLargeForm::EndOnRequest);
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, &TLargeForm::commitData,
            Qt::DirectConnection);
    connect(
        qGuiApp, &QGuiApplication::saveStateRequest, this,
        [this](QSessionManager& manager) {
            // The program starts with the desktop by its own switch, not by the session.
            manager.setRestartHint(QSessionManager::RestartNever);
            m_views->SaveWindowPosition();
        },
        Qt::DirectConnection);
}

bool TLargeForm::FirstUseOfProg() {
    bool written = true;
    const bool first = ShellSettings::FirstUseOfProg(m_meter->settingsFile(), &written);
    if (!written)
        m_meter->queueError(m_meter->settingsFile().failureText());
    return first;
}

// The pages go forward with "Next >", back with "< Back"; closed, a page
// ends the questions. A call-charges page left without a tariff (skipped,
// closed, or never reached) leaves the starter tariff in its place.
bool TLargeForm::OpenWelcomeWindow() {
    TTitleForm::closeShown();
    hide();
    TWelcomeForm welcome(m_services, this);
    std::unique_ptr<TPortSetupForm> ports;
    TTariffForm tariff(m_services, this);
    const auto portPage = [&]() -> QDialog* {
        if (m_meter->settings().sensingMode != 1)
            return nullptr;
        if (!ports)
            ports = std::make_unique<TPortSetupForm>(m_services, this);
        return ports.get();
    };
    QDialog* page = &welcome;
    bool tariffGiven = false;
    while (page) {
        const int result = page->exec();
        if (result == WindowModes::EndedUnanswered)
            return false;
        QDialog* const shown = page;
        page = nullptr;
        if (result == ChoiceWizard::Back) {
            page = shown == &tariff && portPage() ? portPage() : static_cast<QDialog*>(&welcome);
        } else if (result == QDialog::Accepted && shown == &welcome) {
            ReadIniSettings(); // the choice just stored is in force
            page = portPage() ? portPage() : &tariff;
        } else if (result == QDialog::Accepted) {
            tariffGiven = shown == &tariff;
            page = tariffGiven ? nullptr : &tariff;
        }
    }
    if (!tariffGiven) {
        if (const QString failure = StarterTariff::layDown(m_services.programDirectory); !failure.isEmpty())
            m_meter->queueError(failure);
    }
    // Shown by ChangeWindow, which comes next, once it is where it was left:
    // moved while the desktop is still framing it, it would be placed by its
    // inside rather than its frame.
    return true;
}

void TLargeForm::connectControls() {
    connect(StartStopButton, &QPushButton::clicked, this, &TLargeForm::StartStopButtonClick);
    connect(SetupButton, &QPushButton::clicked, this, &TLargeForm::SetupButtonClick);
    connect(DataButton, &QPushButton::clicked, this, &TLargeForm::DataButtonClick);
    connect(HelpButton, &QPushButton::clicked, this, &TLargeForm::HelpButtonClick);
    connect(AboutButton, &QPushButton::clicked, this, &TLargeForm::AboutButtonClick);
    connect(SpendingButton, &QPushButton::clicked, this, &TLargeForm::SpendingClick);
    connect(AutoTimeSense, &QCheckBox::clicked, this, &TLargeForm::AutoTimeSenseClick);
    for (QRadioButton* radio : {DayRadio, EveRadio, WendRadio, LocRadio, RegRadio, NatRadio, IntRadio})
        connect(radio, &QRadioButton::clicked, this, &TLargeForm::BandOrDistanceClick);

    auto* defaultView = findChild<QButtonGroup*>(QStringLiteral("DefaultViewGroup"));
    connect(defaultView, &QButtonGroup::idClicked, m_meter, &CallMeter::storeWindowToLoad);
    connect(StayOnTopCheckbox, &QCheckBox::clicked, m_meter, &CallMeter::storeStayOnTop);

    connect(ShrinkToBoxButton, &QPushButton::clicked, m_views, &WindowModes::ShrinkToBoxAndGrow);
    connect(MinimiseButton, &QPushButton::clicked, m_views, &WindowModes::MinimiseButtonClick);
    connect(TaskBarButton, &QPushButton::clicked, m_views, [this] { m_views->TaskBarButtonClick(); });
    connect(StayOnTopButton, &QPushButton::clicked, m_views, &WindowModes::StayOnTopButtonClick);

    connect(m_menu->StartOrStop, &QAction::triggered, this, &TLargeForm::StartOrStopClick);
    connect(m_menu->StayOnTopMenuItem, &QAction::triggered, m_views, &WindowModes::StayOnTopButtonClick);
    connect(m_menu->LoadMain, &QAction::triggered, m_views, &WindowModes::LoadMainClick);
    connect(m_menu->SetupMenuItem, &QAction::triggered, this, &TLargeForm::SetupMenuItemClick);
    connect(m_menu->PastCallsMenuItem, &QAction::triggered, this, &TLargeForm::PastCallsMenuItemClick);
    connect(m_menu->SpendingMenuItem, &QAction::triggered, this, &TLargeForm::SpendingClick);
    connect(m_menu->CloseProgram, &QAction::triggered, this, &TLargeForm::CloseProgramClick);
}

void TLargeForm::connectMeter() {
    connect(m_meter, &CallMeter::timingChanged, this, &TLargeForm::showTiming);
    connect(m_meter, &CallMeter::statusTextChanged, TimingLabel, &QLabel::setText);
    connect(m_meter, &CallMeter::figuresChanged, this,
            [this](const QString& duration, const QString& net, const QString& gross) {
                Duration->setText(duration);
                NetCost->setText(net);
                GrossCost->setText(gross);
            });
    connect(m_meter, &CallMeter::minChargeCaptionChanged, MinChargeLight, &QLabel::setText);
    connect(m_meter, &CallMeter::minChargeShown, this, [this](bool shown) {
        MinChargeLight->setVisible(shown);
        minchargeline1->setVisible(shown);
    });
    connect(m_meter, &CallMeter::rateNameChanged, Rate, &QLabel::setText);
    connect(m_meter, &CallMeter::sensingProblemChanged, TimingLabel, &QLabel::setToolTip);
    connect(m_meter, &CallMeter::distanceShown, Distance, &QLabel::setText);
    connect(m_meter, &CallMeter::distanceChosen, this, [this](int distance) {
        const std::array radios{LocRadio, RegRadio, NatRadio, IntRadio};
        radios[size_t(std::clamp(distance, int(Local), int(International)) - Local)]->setChecked(true);
    });
    connect(m_meter, &CallMeter::bandShown, TimeOfDay, &QLabel::setText);
    connect(m_meter, &CallMeter::totalsChanged, this, [this](const QString& today, const QString& week) {
        ThisWeekValue->setText(week);
        TodayValue->setText(today);
        refreshBudget();
    });
    connect(m_meter, &CallMeter::freeMinutesChanged, this, [this](const QString& line) {
        FreeMinutesLine->setText(line);
        FreeMinutesLine->setVisible(!line.isEmpty());
    });
    connect(m_meter, &CallMeter::clockFrameChanged, this, &TLargeForm::showClockFrame);
    connect(m_meter, &CallMeter::applicationTitleChanged, this, &QWidget::setWindowTitle);
    connect(m_meter, &CallMeter::flashRequested, this, [this] { QApplication::alert(this, 1000); });
    connect(m_meter, &CallMeter::spendWarningDue, this, &TLargeForm::showSpendWarning);
}

void TLargeForm::showTiming(bool timing) {
    StartStopButton->setText(timing ? QStringLiteral("&Stop") : QStringLiteral("&Start"));
    m_menu->showTiming(timing);
    ClockSpin->setToolTip(timing ? QStringLiteral("Double click to stop timing.")
                                 : QStringLiteral("Double click to start timing."));
}

// The clock turns 22 times a second for as long as a call lasts: a new
// picture repaints the clock's own square and nothing else (a label's own
// picture would have the window's layout worked out again at every frame),
// and at once, in the tick, rather than in a pass of the event loop of its own.
// A minimised window, or one hidden behind the notification icon, draws
// nothing: the picture under way is drawn when the window is back.
void TLargeForm::showClockFrame(int frame) {
    if (frame == m_clockFrame)
        return;
    m_clockFrame = frame;
    if (ClockSpin->isVisible() && !isMinimized())
        ClockSpin->repaint();
}

void TLargeForm::clockShownChanged() {
    const bool shown = isVisible() && !isMinimized();
    m_meter->setClockShown(shown);
    if (shown)
        ClockSpin->update();
}

void TLargeForm::paintClockSpin() {
    QPainter painter(ClockSpin);
    painter.fillRect(ClockSpin->rect(), ClockSpin->palette().window());
    const QPixmap picture = ClockFrames::frame(m_clockFrame, ClockSpin->devicePixelRatioF());
    const QSize shown = picture.deviceIndependentSize().toSize();
    painter.drawPixmap(
        QStyle::alignedRect(layoutDirection(), Qt::AlignCenter, shown, ClockSpin->contentsRect()), picture);
}

// The status word and the figures change several times a second while a call
// is timed; each text is laid out once and drawn from then on.
void TLargeForm::paintFigure(QLabel* figure) {
    QHash<QString, QStaticText>& laidOut = m_figureTexts[figure];
    // A duration or a cost is seldom shown twice; the status words come round every second.
    if (laidOut.size() > 16)
        laidOut.clear();
    auto text = laidOut.find(figure->text());
    if (text == laidOut.end()) {
        QStaticText layout(figure->text());
        layout.setTextFormat(Qt::PlainText);
        layout.prepare(QTransform(), figure->font());
        text = laidOut.insert(figure->text(), layout);
    }
    QPainter painter(figure);
    painter.setFont(figure->font());
    painter.setPen(figure->palette().color(figure->foregroundRole()));
    const QRect place = QStyle::alignedRect(layoutDirection(), figure->alignment(), text->size().toSize(),
                                            figure->contentsRect());
    painter.drawStaticText(place.topLeft(), *text);
}

void TLargeForm::showSpendWarning(const QString& message) {
    if (m_services.notifier) {
        if (const std::optional<Notice> notice =
                SpendWarningNotice::due(message, m_meter->windowMode(), isVisible() && !isMinimized()))
            m_services.notifier->notify(*notice);
    }
    TSpendForm warning;
    warning.setMessage(message);
    warning.exec();
}

void TLargeForm::StartStopButtonClick() {
    m_meter->setTrayIconFrame(1);
    ClockSpinDblClick();
}

void TLargeForm::StartOrStopClick() {
    m_meter->StartOrStopByHand();
}

void TLargeForm::ClockSpinDblClick() {
    m_meter->StartOrStopByHand();
}

bool TLargeForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ClockSpin && event->type() == QEvent::MouseButtonDblClick) {
        ClockSpinDblClick();
        return true;
    }
    if (event->type() == QEvent::Paint) {
        if (watched == ClockSpin) {
            paintClockSpin();
            return true;
        }
        if (watched == TimingLabel || watched == Duration || watched == GrossCost) {
            paintFigure(static_cast<QLabel*>(watched));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TLargeForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    clockShownChanged();
}

void TLargeForm::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    clockShownChanged();
}

void TLargeForm::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange) {
        m_views->windowStateChanged();
        clockShownChanged();
    } else if (event->type() == QEvent::FontChange)
        // Once every control has the new font too.
        QMetaObject::invokeMethod(
            this, [this] { fitToType(); }, Qt::QueuedConnection);
    QWidget::changeEvent(event);
}

// ---- The end ---------------------------------------------------------------

void TLargeForm::closeEvent(QCloseEvent* event) {
    // A second request while the question is open waits for its answer.
    const bool allowed = m_ended || (!m_askingExit && FormCloseQuery());
    // The program may also have been ended while the question was open.
    if (m_ended) {
        event->accept();
        return;
    }
    if (!allowed) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

bool TLargeForm::FormCloseQuery() {
    const TopLayerPause pause(*m_views);
    m_views->SaveWindowPosition();
    return !m_meter->settings().queryExit || askExit();
}

void TLargeForm::FormClose() {
    endProgram(true, false); // the place was stored by FormCloseQuery
}

bool TLargeForm::askExit() {
    m_askingExit = true;
    const bool yes =
        m_services.prompter->askYesNo(QStringLiteral("Do you want to exit and stop timing calls?"));
    m_askingExit = false;
    return yes;
}

// The question comes first, while its answer can still keep the program (and
// the session) going; once the end is settled the call is logged and the
// program ends without its exit sound.
bool TLargeForm::EndOfSession(const std::function<bool()>& mayAsk) {
    if (m_ended)
        return true;
    const bool asking = m_meter->settings().queryExit && !m_askingExit && mayAsk && mayAsk();
    if (asking) {
        // Stored before the question, as the close box does.
        m_views->SaveWindowPosition();
        const TopLayerPause pause(*m_views);
        if (!askExit())
            return false;
        if (m_ended) // ended from outside while the question was open
            return true;
    }
    endProgram(false, !asking);
    return true;
}

void TLargeForm::EndOnRequest() {
    if (!m_ended)
        endProgram(false, true);
}

void TLargeForm::commitData(QSessionManager& manager) {
    bool interacting = false;
    const bool ends = EndOfSession([&] { return interacting = manager.allowsInteraction(); });
    if (!ends)
        manager.cancel();
    if (interacting)
        manager.release();
}

void TLargeForm::endProgram(bool byUser, bool savePosition) {
    m_ended = true;
    // The call before anything else is written: after it, nothing more may
    // hold the end up.
    m_meter->closeCalls();
    emit callsLogged();
    if (savePosition)
        m_views->SaveWindowPosition();
    m_meter->shutDown(byUser);
    emit ended();
}

void TLargeForm::CloseProgramClick() {
    close();
}

// ---- Band and distance -----------------------------------------------------

int TLargeForm::checkedDistance() const {
    if (LocRadio->isChecked())
        return Local;
    if (RegRadio->isChecked())
        return Regional;
    return NatRadio->isChecked() ? National : International;
}

int TLargeForm::checkedBand() const {
    if (DayRadio->isChecked())
        return Daytime;
    return EveRadio->isChecked() ? Evening : Weekend;
}

void TLargeForm::BandOrDistanceClick() {
    m_meter->setDistance(checkedDistance());
    m_meter->setManualBand(checkedBand());
    m_meter->TransferRate();
}

void TLargeForm::AutoTimeSenseClick() {
    const bool automatic = AutoTimeSense->isChecked();
    m_meter->setAutoTimeSense(automatic);
    if (automatic) {
        TimeOfDayGroup->hide();
    } else {
        TimeOfDayGroup->show();
        const int band = m_meter->automaticBand();
        (band == Daytime ? DayRadio : band == Evening ? EveRadio : WendRadio)->setChecked(true);
        m_meter->setManualBand(band);
    }
    m_meter->TransferRate();
}

// ---- Settings --------------------------------------------------------------

void TLargeForm::ReadIniSettings() {
    m_meter->ReadIniSettings();
    const MeterSettings& settings = m_meter->settings();
    PricesNeededLine->setVisible(settings.awaitingPrices());
    StayOnTopCheckbox->setChecked(settings.stayOnTop);
    auto* defaultView = findChild<QButtonGroup*>(QStringLiteral("DefaultViewGroup"));
    if (QAbstractButton* chosen = defaultView->button(settings.windowToLoad)) {
        chosen->setChecked(true);
    } else {
        defaultView->setExclusive(false);
        for (QAbstractButton* b : defaultView->buttons())
            b->setChecked(false);
        defaultView->setExclusive(true);
    }
}

bool TLargeForm::runSetupDialog(bool hideWindow) {
    m_meter->setMeterInTitle(true);
    const int oldMode = m_meter->settings().sensingMode;
    {
        const WindowAside aside(*this, hideWindow);
        TSetupForm dialog(m_services, this);
        dialog.exec();
    }
    // Ended while the dialog was open: nothing is to start again.
    if (m_ended)
        return false;
    // The dialog hands over only through the settings file, whichever way it closed.
    ReadIniSettings();
    m_meter->applySensingModeChange(oldMode);
    m_meter->setMeterInTitle(false);
    return true;
}

void TLargeForm::SetupButtonClick() {
    if (!runSetupDialog(true))
        return;
    m_meter->TransferRate();
    m_meter->LoadValues(20);
    m_meter->FindCallSelection();
    m_meter->SetApplicationTitle(ApplicationTitle);
}

bool TLargeForm::runViewer(bool hideWindow) {
    m_meter->setMeterInTitle(true);
    {
        const WindowAside aside(*this, hideWindow);
        TDataForm viewer(m_services, this);
        viewer.exec();
    }
    if (m_ended)
        return false;
    m_meter->setMeterInTitle(false);
    return true;
}

void TLargeForm::DataButtonClick() {
    if (!runViewer(true))
        return;
    m_meter->SetApplicationTitle(ApplicationTitle);
    // The viewer may have deleted calls.
    m_meter->FindCallSelection();
}

// A running call keeps its rate until the next start.
void TLargeForm::SetupMenuItemClick() {
    runSetupDialog(false);
}

void TLargeForm::PastCallsMenuItemClick() {
    runViewer(false);
}

void TLargeForm::SpendingClick() {
    const TopLayerPause pause(*m_views);
    TSpendingForm spending(m_services, this);
    spending.exec();
}

// The log is read in full here: this runs with the totals' refresh (at the
// start, after setup and the viewer, after a call), never with the tick. A
// log that cannot be read is reported by the totals; no line is better than a
// wrong one.
void TLargeForm::refreshBudget() {
    const SpendingReading reading =
        SpendingReading::read(m_services.programDirectory, m_services.clock->now());
    const QString line = reading.figures.logRead() ? reading.budgetText() : QString();
    BudgetLine->setText(line);
    BudgetLine->setVisible(!line.isEmpty());
    m_views->setBudgetLine(line);
    if (line.isEmpty() || !m_services.notifier)
        return;
    // The notice may be answered after this window has gone.
    m_budgetAlerts.check(reading, m_meter->settingsFile(), *m_services.notifier,
                         [meter = QPointer<CallMeter>(m_meter)](const QString& failure) {
                             if (meter)
                                 meter->queueError(failure);
                         });
}

// ---- About and help --------------------------------------------------------

void TLargeForm::AboutButtonClick() {
    const TopLayerPause pause(*m_views);
    TAboutForm about(m_services, this);
    about.exec();
}

void TLargeForm::HelpButtonClick() {
    if (m_services.help)
        m_services.help->showTopic(MainWindowHelpTopic);
}
