#include "setup/MainSetupPage.h"

#include "platform/Services.h"
#include "setup/SettingsFile.h"

MainSetupPage::MainSetupPage(const Services&, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MainSetupPage"));
}

void MainSetupPage::ReadIniSettings(const SettingsFile&) {}

bool MainSetupPage::WriteIniSettings(const SettingsFile&) {
    return true;
}

bool MainSetupPage::checkBeforeClose() {
    return true;
}
