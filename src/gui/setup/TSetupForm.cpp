#include "gui/setup/TSetupForm.h"

#include "core/seams/Prompter.h"
#include "core/seams/Services.h"
#include "core/settings/SettingsKeys.h"
#include "gui/setup/CallChargesPage.h"
#include "gui/setup/MainSetupPage.h"
#include "gui/setup/NumbersPage.h"
#include "gui/shell/ScreenPlace.h"
#include "gui/widgets/FormRules.h"
#include "gui/widgets/PageScrollArea.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

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
    // Where the screen is too small for the whole dialog, its pages scroll,
    // so OK and Cancel are never off the screen.
    ScreenPlace::fit(this, sizeHint());
}

void TSetupForm::FormCreate() {
    // Every path is absolute, so the process's current directory is left alone.
    ReadIniSettings();
    m_chargesPage->setRatesModified(false);
    m_chargesPage->showActiveRate();
}

void TSetupForm::ReadIniSettings() {
    const SettingsSnapshot settings = m_settings.readAll();
    m_chargesPage->setActiveRateName(settings.ReadSettingString(
        SettingsKeys::RateSection, SettingsKeys::ActiveRateFile, SettingsKeys::DialogRateNameDefault));
    m_chargesPage->setPricesNeeded(
        settings.ReadSettingString(SettingsKeys::RateSection, SettingsKeys::PricesNeeded, QString()));
    m_mainPage->ReadIniSettings(settings);
    m_numbersPage->ReadIniSettings(settings);
}

bool TSetupForm::WriteIniSettings() {
    SettingsChanges changes;
    changes.setString(SettingsKeys::RateSection, SettingsKeys::ActiveRateFile,
                      m_chargesPage->ActiveRateName());
    m_numbersPage->addTo(changes);
    return m_mainPage->WriteIniSettings(m_settings, changes) && m_numbersPage->WriteIniSettings();
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
    // Escape means Cancel while the Cancel button is there to press, and
    // cancels the change of a value while its adjusting controls hide it.
    if (!m_mainButtons->isHidden())
        MainCancelButtonClick();
    else
        m_chargesPage->cancelEditing();
}

void TSetupForm::closeEvent(QCloseEvent* event) {
    // Closing by any other way is a Cancel, with its question about unsaved rates.
    event->ignore();
    if (isVisible())
        MainCancelButtonClick();
}
