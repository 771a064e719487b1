#include "gui/shell/TWelcomeForm.h"

#include "core/settings/SettingsKeys.h"
#include "gui/shell/ShellPictures.h"
#include "gui/widgets/SensingTexts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

TWelcomeForm::TWelcomeForm(const Services& services, QWidget* parent)
    : ChoiceWizard(services, SettingsKeys::AutoCallSensing, HelpTopic, parent) {
    setObjectName(QStringLiteral("WelcomeForm"));
    setWindowTitle(QStringLiteral("Welcome"));

    // "Welcome to" and the logo on the program's dark blue.
    auto* banner = new QWidget(this);
    banner->setObjectName(QStringLiteral("WelcomeBanner"));
    banner->setAutoFillBackground(true);
    QPalette blue = banner->palette();
    blue.setColor(QPalette::Window, QColor(0, 0, 128));
    blue.setColor(QPalette::WindowText, Qt::white);
    banner->setPalette(blue);
    auto* bannerRow = new QHBoxLayout(banner);
    bannerRow->setContentsMargins(14, 8, 14, 8);
    auto* welcomeTo = new QLabel(QStringLiteral("Welcome to"), banner);
    QFont serif = ShellPictures::titleFont(22);
    serif.setItalic(true);
    welcomeTo->setFont(serif);
    auto* logo = new QLabel(banner);
    logo->setObjectName(QStringLiteral("Logo"));
    logo->setAccessibleName(QStringLiteral("Dialtally Pro"));
    logo->setPixmap(ShellPictures::title(QSize(240, 46), devicePixelRatioF()));
    bannerRow->addWidget(welcomeTo);
    bannerRow->addWidget(logo);
    bannerRow->addStretch();
    m_content->addWidget(banner);

    QLabel* heading = addText(QStringLiteral("Welcome to Dialtally Pro v1.0"));
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.25);
    heading->setFont(bold);
    addText(QStringLiteral("An automatic program to help you keep track of your spending online."));
    addText(QStringLiteral("As you haven't used the program before you need to decide which of the "
                           "following options suits you best:"));
    m_content->addSpacing(4);
    // The call charges come next, whichever way calls are sensed.
    const QString next = QStringLiteral("Next >");
    addNote(addChoice("Auto32bitRadioButton", SensingTexts::ModemManager, 2, next),
            SensingTexts::ModemManagerNote, "Auto32bitNote");
    // Serial-port sensing reads the modem's lines without taking the port, so
    // it is offered on every system.
    addNote(addChoice("Auto16bitRadioButton", SensingTexts::Carrier, 1, next), SensingTexts::CarrierNote,
            "Auto16bitNote");
    addNote(addChoice("AutoLinkRadioButton", SensingTexts::NetworkLink, 3, next),
            SensingTexts::NetworkLinkNote, "AutoLinkNote");
    addChoice("AutoDisabledRadioButton", SensingTexts::Disabled, 0, next);
    finishLayout();
}
