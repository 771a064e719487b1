#pragma once

#include "core/settings/ProgramFiles.h"
#include "core/settings/SettingsFile.h"

#include <QDialog>

class CallChargesPage;
class MainSetupPage;
class NumbersPage;
class QPushButton;
class QTabWidget;
struct Services;

// The configuration dialog: "Main Setup", "Call Charges" and "Numbers". It hands its
// results over only through the settings file, written on OK; the main window
// reads the file again after the dialog has closed.
class TSetupForm : public QDialog {
    Q_OBJECT
public:
    explicit TSetupForm(const Services& services, QWidget* parent = nullptr);

    void ReadIniSettings();
    // Stops at the first key that cannot be written and says so; false then.
    bool WriteIniSettings();

    void MainOKButtonClick();
    void MainCancelButtonClick();
    void PageControl1Change(int index);

    bool RatesModified() const;
    QString ActiveRateName() const;
    QString ShownRateName() const;

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void showMainButtons(bool shown);

    const Services& m_services;
    SettingsFile m_settings;
    QTabWidget* m_pages = nullptr;
    MainSetupPage* m_mainPage = nullptr;
    CallChargesPage* m_chargesPage = nullptr;
    NumbersPage* m_numbersPage = nullptr;
    QWidget* m_mainButtons = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};
