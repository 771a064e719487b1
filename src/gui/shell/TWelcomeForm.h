#pragma once

#include "gui/shell/ChoiceWizard.h"

// The first-use wizard: how calls are to be sensed ("Auto Call Sensing").
class TWelcomeForm : public ChoiceWizard {
    Q_OBJECT
public:
    static constexpr int HelpTopic = 4;
    explicit TWelcomeForm(const Services& services, QWidget* parent = nullptr);
};
