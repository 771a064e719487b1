#pragma once

#include "core/settings/BudgetSettings.h"
#include "core/settings/SettingsFile.h"
#include "core/settings/SettingsKeys.h"

#include <QWidget>

#include <array>

class MaskedEdit;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class SerialDeviceBox;
class SettingsFile;
class SettingsSnapshot;
class SoundRow;
struct Services;

// The "Main Setup" page of the configuration dialog: Daytime band, event
// sounds, program defaults, call sensing and its port, the spend warning and
// the currency symbols, and the monthly budget. Its values live in its controls; the dialog reads them
// from and writes them to the settings file.
class MainSetupPage : public QWidget {
    Q_OBJECT
public:
    MainSetupPage(const Services& services, QWidget* parent = nullptr);

    // Fills every control from the settings file (all but the active rate
    // name, which the dialog keeps), then applies the sound and spend-limit
    // enabling.
    void ReadIniSettings(const SettingsSnapshot& file);
    // Writes every key of this page in the dialog's order after the changes
    // given, all in one write, then the autostart entry. Stops at the first
    // failure, shows its message and returns false.
    bool WriteIniSettings(const SettingsFile& file, SettingsChanges changes = {});
    // Runs the checks of the fixed-format boxes as leaving them would; false
    // when one refuses or had to be reset.
    bool checkBeforeClose();

private:
    void buildDaytimeGroup(QWidget* group);
    void buildSoundsGroup(QWidget* group);
    void buildDefaultsGroup(QWidget* group);
    void buildSensingGroup(QWidget* group);
    void buildPortGroup(QWidget* group);
    void buildSpendGroup(QWidget* group);
    void buildCurrencyGroup(QWidget* group);
    void buildBudgetGroup(QWidget* group);

    // false when the box held no time of day and was reset.
    bool checkTime(MaskedEdit* box);
    void showHelp(int topic);

    void DayTimeStartExit();
    void DayTimeEndExit();
    void PlaySoundsCheckBoxClick();
    void Auto32bitRadioButtonClick();
    void Auto16bitRadioButtonClick();
    void AutoDisabledRadioButtonClick();
    void AutoLinkRadioButtonClick();
    void Auto16GroupAble(bool enable);
    void SpendLimitOnClick();
    void BudgetOnClick();
    // The budget as the controls hold it.
    BudgetSettings budgetShown() const;
    void HelpButtonClick();
    void HelpforsensingClick();
    void BitBtn1Click();

    const Services& m_services;

    MaskedEdit* m_dayTimeStart = nullptr;
    MaskedEdit* m_dayTimeEnd = nullptr;
    QList<QLabel*> m_soundLabels;
    std::array<SoundRow*, SettingsKeys::SoundEventCount> m_sounds{};
    QCheckBox* m_playSounds = nullptr;
    QCheckBox* m_showSplash = nullptr;
    QCheckBox* m_queryExit = nullptr;
    QCheckBox* m_runOnStartup = nullptr;
    QRadioButton* m_auto32 = nullptr;
    QRadioButton* m_auto16 = nullptr;
    QRadioButton* m_autoDisabled = nullptr;
    QRadioButton* m_autoLink = nullptr;
    QLineEdit* m_linkToSense = nullptr;
    // As read: the key is written only once the user changed it.
    QString m_linkRead = SettingsKeys::DefaultLinkToSense;
    SerialDeviceBox* m_device = nullptr;
    QPushButton* m_portHelp = nullptr;
    QCheckBox* m_spendLimitOn = nullptr;
    QLabel* m_spendLimitLabel = nullptr;
    // The main symbol read when the page was made: a new one shows at the next opening.
    QLabel* m_spendSymbol = nullptr;
    MaskedEdit* m_spendLimit = nullptr;
    // The last complete amount the entry showed, put back when a disabled entry is left blank.
    QString m_goodSpendAmount = QStringLiteral(" 1.00");
    QLineEdit* m_mainSymbol = nullptr;
    QLineEdit* m_subSymbol = nullptr;
    QCheckBox* m_budgetOn = nullptr;
    QLabel* m_budgetSymbol = nullptr;
    MaskedEdit* m_budgetAmount = nullptr;
    QSpinBox* m_billDay = nullptr;
    // As read: the section is written only when the user changed it.
    BudgetSettings m_budgetRead;
};
