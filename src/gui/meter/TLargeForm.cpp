#include "gui/meter/TLargeForm.h"

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

TLargeForm::TLargeForm(const Services& services, std::function<int()> random, QWidget* parent)
    : QWidget(parent), m_services(services), m_meter(new CallMeter(services, std::move(random), this)) {
    buildLayout();
    connectControls();
    connectMeter();
    showClockFrame(1);

    ReadIniSettings();
    m_meter->start();
}

TLargeForm::~TLargeForm() = default;

void TLargeForm::connectControls() {
    connect(StartStopButton, &QPushButton::clicked, this, &TLargeForm::StartStopButtonClick);
    connect(SetupButton, &QPushButton::clicked, this, &TLargeForm::SetupButtonClick);
    connect(DataButton, &QPushButton::clicked, this, &TLargeForm::DataButtonClick);
    connect(AutoTimeSense, &QCheckBox::clicked, this, &TLargeForm::AutoTimeSenseClick);
    for (QRadioButton* radio : {DayRadio, EveRadio, WendRadio, LocRadio, RegRadio, NatRadio, IntRadio})
        connect(radio, &QRadioButton::clicked, this, &TLargeForm::BandOrDistanceClick);

    auto* defaultView = findChild<QButtonGroup*>(QStringLiteral("DefaultViewGroup"));
    connect(defaultView, &QButtonGroup::idClicked, m_meter, &CallMeter::storeWindowToLoad);
    connect(StayOnTopCheckbox, &QCheckBox::clicked, m_meter, &CallMeter::storeStayOnTop);
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
    connect(m_meter, &CallMeter::distanceShown, Distance, &QLabel::setText);
    connect(m_meter, &CallMeter::bandShown, TimeOfDay, &QLabel::setText);
    connect(m_meter, &CallMeter::totalsChanged, this, [this](const QString& today, const QString& week) {
        ThisWeekValue->setText(week);
        TodayValue->setText(today);
    });
    connect(m_meter, &CallMeter::clockFrameChanged, this, &TLargeForm::showClockFrame);
    connect(m_meter, &CallMeter::applicationTitleChanged, this, &QWidget::setWindowTitle);
    connect(m_meter, &CallMeter::flashRequested, this, [this] { QApplication::alert(this, 1000); });
    connect(m_meter, &CallMeter::spendWarningDue, this, &TLargeForm::showSpendWarning);
}

void TLargeForm::showTiming(bool timing) {
    StartStopButton->setText(timing ? QStringLiteral("&Stop") : QStringLiteral("&Start"));
    ClockSpin->setToolTip(timing ? QStringLiteral("Double click to stop timing.")
                                 : QStringLiteral("Double click to start timing."));
}

void TLargeForm::showClockFrame(int frame) {
    ClockSpin->setPixmap(ClockFrames::frame(frame));
    ClockSpin->setProperty("frame", frame);
}

void TLargeForm::showSpendWarning(const QString& message) {
    TSpendForm warning;
    warning.setMessage(message);
    warning.exec();
}

void TLargeForm::StartStopButtonClick() {
    m_meter->setTrayIconFrame(1);
    ClockSpinDblClick();
}

void TLargeForm::ClockSpinDblClick() {
    m_meter->StartOrStopByHand();
}

bool TLargeForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ClockSpin && event->type() == QEvent::MouseButtonDblClick) {
        ClockSpinDblClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TLargeForm::closeEvent(QCloseEvent* event) {
    m_meter->shutDown();
    event->accept();
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

void TLargeForm::SetupButtonClick() {
    m_meter->setMeterInTitle(true);
    const int oldMode = m_meter->settings().sensingMode;
    hide();
    {
        TSetupForm dialog(m_services, this);
        dialog.exec();
    }
    show();
    // The dialog hands over only through the settings file, whichever way it closed.
    ReadIniSettings();
    m_meter->applySensingModeChange(oldMode);
    m_meter->setMeterInTitle(false);
    m_meter->TransferRate();
    m_meter->LoadValues(20);
    m_meter->FindCallSelection();
    m_meter->SetApplicationTitle(ApplicationTitle);
}

void TLargeForm::DataButtonClick() {
    m_meter->setMeterInTitle(true);
    hide();
    {
        TDataForm viewer(m_services, this);
        viewer.exec();
    }
    show();
    m_meter->setMeterInTitle(false);
    m_meter->SetApplicationTitle(ApplicationTitle);
    // The viewer may have deleted calls.
    m_meter->FindCallSelection();
}
