#include "gui/shell/TPortSetupForm.h"

#include "core/seams/Services.h"
#include "core/settings/SensedDevice.h"
#include "core/settings/SettingsKeys.h"
#include "gui/widgets/SerialDeviceBox.h"

#include <QLabel>
#include <QVBoxLayout>

TPortSetupForm::TPortSetupForm(const Services& services, QWidget* parent)
    : ChoiceWizard(services, SettingsKeys::DeviceToSense, HelpTopic, parent) {
    setObjectName(QStringLiteral("PortSetupForm"));
    setWindowTitle(QStringLiteral("Port Setup"));
    addText(QStringLiteral("Watching the carrier-detect line needs to know which port to look at for your "
                           "modem."));
    QLabel* choose =
        addText(QStringLiteral("Please choose below the serial &device that is connected to your "
                               "modem, or type its path."));
    addText(QStringLiteral("If you don't know which it is then click help for details of how to find out:"));
    m_content->addSpacing(4);
    m_device = new SerialDeviceBox(services.serialDevices, this);
    m_device->setObjectName(QStringLiteral("DeviceToSenseBox"));
    m_device->setToolTip(QStringLiteral("The serial device the modem is on; a path may be typed"));
    // None is chosen at first, as the port was not.
    m_device->setCurrentIndex(-1);
    m_device->setEditText(QString());
    choose->setBuddy(m_device);
    connect(m_device, &QComboBox::currentTextChanged, this,
            [this] { setChoiceTaken(!m_device->device().isEmpty()); });
    m_content->addWidget(m_device);
    m_content->addSpacing(4);
    QLabel* warning = addText(QStringLiteral("Selecting the wrong port could cause unpredictable results"));
    QPalette red = warning->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    warning->setPalette(red);
    finishLayout(true);
}

bool TPortSetupForm::storeChoice(const SettingsFile& file) {
    return SensedDevice::write(file, m_device->device());
}
