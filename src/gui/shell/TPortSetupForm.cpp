#include "gui/shell/TPortSetupForm.h"

#include "core/settings/SettingsKeys.h"

#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

TPortSetupForm::TPortSetupForm(const Services& services, QWidget* parent)
    : ChoiceWizard(services, SettingsKeys::PortToSense, HelpTopic, parent) {
    setObjectName(QStringLiteral("PortSetupForm"));
    setWindowTitle(QStringLiteral("Port Setup"));
    addText(QStringLiteral("16 bit Call Sensing needs to know which port to look at for your modem."));
    addText(QStringLiteral("Please click the box below that is connected to your modem."));
    addText(QStringLiteral("If you don't know which it is then click help for details of how to find out:"));
    m_content->addSpacing(4);
    static const char* const names[] = {"ComPort1RadioButton", "ComPort2RadioButton", "ComPort3RadioButton",
                                        "ComPort4RadioButton"};
    for (int port = 1; port <= 4; ++port) {
        const QString text = port == 1 ? QStringLiteral("COM Port 1        (WARNING: Usually the mouse Port)")
                                       : QStringLiteral("COM Port %1").arg(port);
        QRadioButton* choice = addChoice(names[port - 1], text, port);
        choice->setToolTip(QStringLiteral("/dev/ttyS%1").arg(port - 1));
    }
    m_content->addSpacing(4);
    QLabel* warning = addText(QStringLiteral("Selecting the wrong port could cause unpredictable results"));
    QPalette red = warning->palette();
    red.setColor(QPalette::WindowText, QColor(176, 0, 0));
    warning->setPalette(red);
    finishLayout();
}
