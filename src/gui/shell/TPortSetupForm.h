#pragma once

#include "gui/shell/ChoiceWizard.h"

// The port chooser, after the wizard when serial-port sensing was chosen:
// which COM port the modem is on ("Port To Sense").
class TPortSetupForm : public ChoiceWizard {
    Q_OBJECT
public:
    static constexpr int HelpTopic = 3;
    explicit TPortSetupForm(const Services& services, QWidget* parent = nullptr);
};
