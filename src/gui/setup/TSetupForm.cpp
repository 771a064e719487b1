#include "gui/setup/TSetupForm.h"

#include "core/seams/Prompter.h"
#include "core/seams/Services.h"
#include "core/settings/SettingsKeys.h"
#include "gui/setup/CallChargesPage.h"
#include "gui/setup/MainSetupPage.h"
#include "gui/setup/NumbersPage.h"
#include "gui/widgets/FormRules.h"
#include "gui/widgets/PageScrollArea.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

TSetupForm::TSetupForm(const Services& services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_services(services),
      m_settings(ProgramFiles::settingsPath(services.programDirectory)) {
    setObjectName(QStringLiteral("TSetupForm"));
    setWindowTitle(tr("Dialtally Configuration"));
    setModal(true);

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    m_mainPage = new MainSetupPage(services);
    m_chargesPage = new CallChargesPage(services);
    m_pages->addTab(new PageScrollArea(m_mainPage), tr("Main Setup"));
    m_pages->addTab(new PageScrollArea(m_chargesPage), tr("Call Charges"));
    m_numbersPage = new NumbersPage(services);
    auto* numbersTab = new PageScrollArea(m_numbersPage);
    m_pages->addTab(numbersTab, tr("Numbers"));
    connect(m_numbersPage, &NumbersPage::shownNeeded, this,
            [this, numbersTab] { m_pages->setCurrentWidget(numbersTab); });
    connect(m_pages, &QTabWidget::currentChanged, this, &TSetupForm::PageControl1Change);
    connect(m_chargesPage, &CallChargesPage::editingShown, this,
            [this](bool shown) { showMainButtons(!shown); });

    m_mainButtons = new QWidget(this);
    m_mainButtons->setObjectName(QStringLiteral("MainButtonPanel"));
    m_okButton = new QPushButton(tr("OK"), m_mainButtons);
    m_okButton->setObjectName(QStringLiteral("MainOKButton"));
    m_okButton->setToolTip(tr("Keep the changes"));
    m_cancelButton = new QPushButton(tr("Cancel"), m_mainButtons);
    m_cancelButton->setObjectName(QStringLiteral("MainCancelButton"));
    m_cancelButton->setToolTip(tr("Abandon the changes"));
    m_cancelButton->setAutoDefault(false);
    connect(m_okButton, &QPushButton::clicked, this, &TSetupForm::MainOKButtonClick);
    connect(m_cancelButton, &QPushButton::clicked, this, &TSetupForm::MainCancelButtonClick);
    auto* buttonRow = new QHBoxLayout(m_mainButtons);
    buttonRow->setContentsMargins(0, 0, 0, 0);
    buttonRow->addStretch();
    buttonRow->addWidget(m_okButton);
    buttonRow->addWidget(m_cancelButton);
    // The dialog keeps its height while the buttons are away.
    FormRules::keepSpaceWhenHidden(m_mainButtons);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    layout->addWidget(m_mainButtons);
    m_okButton->setDefault(true);

    FormCreate();
    placeOnScreen(parent ? parent->screen() : QGuiApplication::primaryScreen());
}

// The whole dialog where the screen has the room; where it has not, as much
// as fits, the pages scrolling, so OK and Cancel are never off the screen.
void TSetupForm::placeOnScreen(const QScreen* screen) {
    if (!screen) {
        adjustSize();
        return;
    }
    const QRect room = screen->availableGeometry();
    // The window manager's frame is not known before the dialog is shown.
    const int title = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    const QSize frame(8, title + 8);
    resize(sizeHint().boundedTo(room.size() - frame).expandedTo(minimumSizeHint()));
    const QSize outer = size() + frame;
    move(QPoint(room.left() + std::max(0, (room.width() - outer.width()) / 2),
                room.top() + std::max(0, (room.height() - outer.height()) / 2)));
}

void TSetupForm::FormCreate() {
    // Every path is absolute, so the process's current directory is left alone.
    ReadIniSettings();
    m_chargesPage->setRatesModified(false);
    m_chargesPage->showActiveRate();
}

void TSetupForm::ReadIniSettings() {
    m_chargesPage->setActiveRateName(m_settings.ReadSettingString(
        SettingsKeys::RateSection, SettingsKeys::ActiveRateFile, SettingsKeys::DialogRateNameDefault));
    m_mainPage->ReadIniSettings(m_settings);
    m_numbersPage->ReadIniSettings(m_settings);
}

bool TSetupForm::WriteIniSettings() {
    if (!m_settings.WriteSettingString(SettingsKeys::RateSection, SettingsKeys::ActiveRateFile,
                                       m_chargesPage->ActiveRateName())) {
        m_services.prompter->error(m_settings.failureText());
        return false;
    }
    return m_mainPage->WriteIniSettings(m_settings) && m_numbersPage->WriteIniSettings(m_settings);
}

void TSetupForm::MainOKButtonClick() {
    if (!m_mainPage->checkBeforeClose() || !m_numbersPage->checkBeforeClose())
        return;
    m_chargesPage->finishEditing();
    if (!WriteIniSettings())
        return;
    if (m_chargesPage->saveChangesBeforeLeaving())
        done(Accepted);
}

void TSetupForm::MainCancelButtonClick() {
    m_chargesPage->finishEditing();
    if (m_chargesPage->saveChangesBeforeLeaving())
        done(Rejected);
}

void TSetupForm::PageControl1Change(int) {
    showMainButtons(true);
}

void TSetupForm::showMainButtons(bool shown) {
    m_mainButtons->setVisible(shown);
    if (shown)
        m_okButton->setDefault(true);
}

bool TSetupForm::RatesModified() const {
    return m_chargesPage->RatesModified();
}

QString TSetupForm::ActiveRateName() const {
    return m_chargesPage->ActiveRateName();
}

QString TSetupForm::ShownRateName() const {
    return m_chargesPage->ShownRateName();
}

void TSetupForm::reject() {
    // Escape means Cancel only while the Cancel button is there to press.
    if (!m_mainButtons->isHidden())
        MainCancelButtonClick();
}

void TSetupForm::closeEvent(QCloseEvent* event) {
    // Closing by any other way is a Cancel, with its question about unsaved rates.
    event->ignore();
    if (isVisible())
        MainCancelButtonClick();
}
