#include "gui/shell/ChoiceWizard.h"

#include "core/seams/HelpViewer.h"
#include "core/seams/Prompter.h"
#include "core/seams/Services.h"
#include "core/settings/ProgramFiles.h"
#include "core/settings/SettingsFile.h"
#include "core/settings/SettingsKeys.h"
#include "gui/shell/ScreenPlace.h"
#include "gui/shell/TypeScale.h"
#include "gui/widgets/FormRules.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

ChoiceWizard::ChoiceWizard(const Services& services, const QString& key, int helpTopic, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint),
      m_content(new QVBoxLayout(this)), m_services(services), m_key(key), m_helpTopic(helpTopic),
      OKbutton(new QPushButton(NextCaption, this)) {
    m_content->setContentsMargins(16, 14, 16, 12);
    m_content->setSpacing(8);
    OKbutton->setObjectName(QStringLiteral("OKbutton"));
    OKbutton->setDefault(true);
    OKbutton->setEnabled(false);
    connect(OKbutton, &QPushButton::clicked, this, &ChoiceWizard::OKbuttonClick);
}

QLabel* ChoiceWizard::addText(const QString& text) {
    auto* label = new QLabel(text, this);
    label->setWordWrap(true);
    m_content->addWidget(label);
    return label;
}

QRadioButton* ChoiceWizard::addChoice(const char* name, const QString& text, int value,
                                      const QString& finishCaption) {
    auto* button = new QRadioButton(text, this);
    button->setObjectName(QLatin1String(name));
    m_choices.push_back({button, value, finishCaption});
    // Taking a choice with the keyboard counts as clicking it.
    connect(button, &QRadioButton::toggled, this, [this, finishCaption](bool on) {
        if (!on)
            return;
        OKbutton->setEnabled(true);
        OKbutton->setText(finishCaption);
    });
    m_content->addWidget(button);
    return button;
}

QLabel* ChoiceWizard::addNote(QRadioButton* choice, const QString& text, const char* name) {
    QLabel* note = addText(text);
    note->setObjectName(QLatin1String(name));
    FormRules::noteUnderChoice(note, choice);
    return note;
}

void ChoiceWizard::finishLayout(bool withBack) {
    auto* help = new QPushButton(QStringLiteral("&Help"), this);
    help->setObjectName(QStringLiteral("HelpButton"));
    help->setAutoDefault(false);
    connect(help, &QPushButton::clicked, this, &ChoiceWizard::HelpButtonClick);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(help);
    buttons->addStretch();
    QWidget* beforeNext = help;
    if (withBack) {
        auto* back = new QPushButton(QStringLiteral("< &Back"), this);
        back->setObjectName(QStringLiteral("BackButton"));
        back->setAutoDefault(false);
        connect(back, &QPushButton::clicked, this, [this] { done(Back); });
        buttons->addWidget(back);
        setTabOrder(help, back);
        beforeNext = back;
    }
    // Made first, the button still comes last in the window's order.
    setTabOrder(beforeNext, OKbutton);
    buttons->addWidget(OKbutton);
    m_content->addSpacing(6);
    m_content->addLayout(buttons);
    TypeScale::fixSize(this, QSize());
    ScreenPlace::fit(this, size());
}

void ChoiceWizard::setChoiceTaken(bool taken) {
    OKbutton->setEnabled(taken);
}

bool ChoiceWizard::storeChoice(const SettingsFile& file) {
    for (const Choice& choice : m_choices)
        if (choice.button->isChecked())
            return file.WriteSettingInteger(SettingsKeys::DefaultsSection, m_key, choice.value);
    return true;
}

void ChoiceWizard::OKbuttonClick() {
    if (!OKbutton->isEnabled())
        return;
    const SettingsFile file(ProgramFiles::settingsPath(m_services.programDirectory));
    if (!storeChoice(file)) {
        // The window stays, so the choice can be made again once the file can be written.
        m_services.prompter->error(file.failureText());
        return;
    }
    accept();
}

void ChoiceWizard::HelpButtonClick() {
    if (m_services.help)
        m_services.help->showTopic(m_helpTopic);
}

// Closed once a choice is taken, the window keeps it as "Next >" would: left
// unwritten, the choice would be lost for good, since the use count that
// brings the questions back is already stored.
void ChoiceWizard::reject() {
    if (OKbutton->isEnabled())
        OKbuttonClick();
    else
        QDialog::reject();
}
