#pragma once

#include "gui/shell/ChoiceWizard.h"

class SerialDeviceBox;

// The port chooser, after the wizard when carrier-detect sensing was chosen:
// which serial device the modem is on ("Device To Sense", and "Port To Sense"
// for the four numbered ports).
class TPortSetupForm : public ChoiceWizard {
    Q_OBJECT
public:
    static constexpr int HelpTopic = 3;
    explicit TPortSetupForm(const Services& services, QWidget* parent = nullptr);

protected:
    bool storeChoice(const SettingsFile& file) override;

private:
    SerialDeviceBox* m_device;
};
