#include "gui/shell/TTariffForm.h"

#include "core/calllog/RateNameStore.h"
#include "core/seams/FileChooser.h"
#include "core/seams/HelpViewer.h"
#include "core/seams/Prompter.h"
#include "core/seams/Services.h"
#include "core/settings/MeterSettings.h"
#include "core/settings/ProgramFiles.h"
#include "core/settings/SettingsFile.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/StarterTariff.h"
#include "core/tariff/Costing.h"
#include "core/tariff/RateFile.h"
#include "gui/shell/ChoiceWizard.h"
#include "gui/shell/ScreenPlace.h"
#include "gui/shell/TypeScale.h"
#include "gui/widgets/MaskedEdit.h"
#include "gui/widgets/MoneyValidator.h"
#include "gui/widgets/NameLimit.h"
#include "gui/widgets/TimeValidator.h"

#include <QDir>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

TTariffForm::TTariffForm(const Services& services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint),
      m_services(services) {
    setObjectName(QStringLiteral("TariffForm"));
    setWindowTitle(QStringLiteral("Welcome"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 12);
    layout->setSpacing(8);

    auto* heading = new QLabel(QStringLiteral("Your call charges"), this);
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.25);
    heading->setFont(bold);
    layout->addWidget(heading);
    auto* intro =
        new QLabel(QStringLiteral("Give the charges of your telephone tariff, so that your calls are "
                                  "priced from the first one. You can change them, and add other "
                                  "tariffs, later in Setup on the Call Charges page."),
                   this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    m_name = new QLineEdit(StarterTariff::Name, this);
    m_name->setObjectName(QStringLiteral("TariffNameEdit"));
    // The name becomes a file name and a value of the settings file, and the
    // call log keeps it whole.
    auto* characters = new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[^/\\\\\\x00-\\x1f\\x7f]*")), m_name);
    auto* nameNote = new QLabel(NameLimit::RateNameNote, this);
    nameNote->setObjectName(QStringLiteral("TariffNameNote"));
    new NameLimit(m_name, nameNote, &RateNameStore::keepsWhole, {}, characters);
    auto* nameLabel = new QLabel(QStringLiteral("Tariff n&ame"), this);
    nameLabel->setBuddy(m_name);
    // The first control the page opens on: a name typed replaces the offered one.
    m_name->selectAll();
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(m_name, 1);
    layout->addLayout(nameRow);
    layout->addWidget(nameNote);

    auto* local = new QGroupBox(QStringLiteral("Local calls: Pence per minute (exc. Tax)"), this);
    local->setObjectName(QStringLiteral("LocalRatesGroup"));
    auto* localGrid = new QGridLayout(local);
    m_locDay = moneyBox("LocDay", QStringLiteral("Local Daytime rate (Pence per minute)"));
    m_locEve = moneyBox("LocEve", QStringLiteral("Local Evening rate (Pence per minute)"));
    m_locWend = moneyBox("locWend", QStringLiteral("Local Weekend rate (Pence per minute)"));
    const QString bandTexts[] = {QStringLiteral("&Daytime"), QStringLiteral("&Evening"),
                                 QStringLiteral("&Weekend")};
    int column = 0;
    for (MaskedEdit* box : {m_locDay, m_locEve, m_locWend}) {
        auto* label = new QLabel(bandTexts[column / 2], local);
        label->setBuddy(box);
        localGrid->addWidget(label, 0, column++);
        localGrid->addWidget(box, 0, column++);
    }
    localGrid->setColumnStretch(column, 1);
    layout->addWidget(local);
    auto* others = new QLabel(QStringLiteral("Regional, National and International calls are priced at these "
                                             "local rates until you set their own in Setup."),
                              this);
    others->setObjectName(QStringLiteral("OtherDistancesNote"));
    others->setWordWrap(true);
    layout->addWidget(others);

    auto* charges = new QFormLayout;
    m_tax = moneyBox("Tax");
    m_min = moneyBox("Min");
    m_conn = moneyBox("Conn");
    m_dayTimeStart = timeBox("DayTimeStart", StarterTariff::DayTimeStart);
    m_dayTimeEnd = timeBox("DayTimeEnd", StarterTariff::DayTimeEnd);
    charges->addRow(QStringLiteral("&Tax (%)"), m_tax);
    charges->addRow(QStringLiteral("&Minimum Charge (In Pence)"), m_min);
    charges->addRow(QStringLiteral("&Connection Charge (In Pence)"), m_conn);
    charges->addRow(QStringLiteral("Daytime &Start"), m_dayTimeStart);
    charges->addRow(QStringLiteral("Daytime E&nd"), m_dayTimeEnd);
    layout->addLayout(charges);

    auto* help = new QPushButton(QStringLiteral("&Help"), this);
    help->setObjectName(QStringLiteral("HelpButton"));
    help->setAutoDefault(false);
    auto* back = new QPushButton(QStringLiteral("< &Back"), this);
    back->setObjectName(QStringLiteral("BackButton"));
    back->setAutoDefault(false);
    auto* skip = new QPushButton(QStringLiteral("S&kip"), this);
    skip->setObjectName(QStringLiteral("SkipButton"));
    skip->setToolTip(QStringLiteral("Set the call charges later in Setup"));
    skip->setAutoDefault(false);
    m_finish = new QPushButton(QStringLiteral("Finish"), this);
    m_finish->setObjectName(QStringLiteral("FinishButton"));
    m_finish->setDefault(true);
    connect(help, &QPushButton::clicked, this, &TTariffForm::HelpButtonClick);
    connect(back, &QPushButton::clicked, this, [this] { done(ChoiceWizard::Back); });
    connect(skip, &QPushButton::clicked, this, &TTariffForm::SkipButtonClick);
    connect(m_finish, &QPushButton::clicked, this, [this] { FinishButtonClick(); });
    connect(m_name, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_finish->setEnabled(!text.trimmed().isEmpty()); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(help);
    buttons->addStretch();
    buttons->addWidget(back);
    buttons->addWidget(skip);
    buttons->addWidget(m_finish);
    layout->addSpacing(6);
    layout->addLayout(buttons);

    TypeScale::fixSize(this, QSize());
    ScreenPlace::fit(this, size());
}

// A box is said by its caption (its label's buddy); a hint adds what the caption leaves out.
MaskedEdit* TTariffForm::moneyBox(const char* name, const QString& hint) {
    auto* box = new MaskedEdit(*m_services.prompter, new MoneyValidator, QStringLiteral("00.00"), this);
    box->setObjectName(QLatin1String(name));
    box->setToolTip(hint);
    box->setAlignment(Qt::AlignRight);
    box->setValue(StarterTariff::NoPrice);
    return box;
}

MaskedEdit* TTariffForm::timeBox(const char* name, const QString& time) {
    auto* box = new MaskedEdit(*m_services.prompter, new TimeValidator, QStringLiteral("00:00"), this);
    box->setObjectName(QLatin1String(name));
    box->setValue(time);
    return box;
}

bool TTariffForm::checkTime(MaskedEdit* box) {
    if (parseTimeOfDay(box->value()))
        return true;
    m_services.prompter->error(QStringLiteral("Not A Valid Time"));
    box->setFocus();
    return false;
}

bool TTariffForm::FinishButtonClick() {
    for (MaskedEdit* box :
         {m_locDay, m_locEve, m_locWend, m_tax, m_min, m_conn, m_dayTimeStart, m_dayTimeEnd})
        if (!box->checkComplete())
            return false;
    if (!checkTime(m_dayTimeStart) || !checkTime(m_dayTimeEnd))
        return false;
    const QString name = m_name->text().trimmed();
    if (name.isEmpty())
        return false;
    const QString path = ProgramFiles::rateFilePath(m_services.programDirectory, name);
    if (!FileChooser::mayReplace(QString(), path, *m_services.prompter))
        return false;

    RateTable table;
    const QString local[] = {m_locDay->value(), m_locEve->value(), m_locWend->value()};
    for (int distance = Local; distance <= International; ++distance)
        for (int band = Daytime; band <= Weekend; ++band)
            table.slot(rateCodeOf(distance, band)) = local[band - 1];
    table.slot(TaxSlot) = m_tax->value();
    table.slot(MinimumSlot) = m_min->value();
    table.slot(ConnectionSlot) = m_conn->value();
    table.slot(DiscountSlot) = StarterTariff::NoPrice;
    QString reason;
    if (!writeRateFile(path, table, &reason)) {
        m_services.prompter->error(
            QStringLiteral("Unable to write to %1\n%2").arg(QDir::toNativeSeparators(path), reason));
        return false;
    }
    // The rate file is written first: the settings never name a file that is not there.
    using namespace SettingsKeys;
    const SettingsFile settings(ProgramFiles::settingsPath(m_services.programDirectory));
    if (!settings.write(SettingsChanges()
                            .setString(RateSection, ActiveRateFile, name)
                            .setString(RateSection, DayTimeStart, m_dayTimeStart->value())
                            .setString(RateSection, DayTimeEnd, m_dayTimeEnd->value()))) {
        m_services.prompter->error(settings.failureText());
        return false;
    }
    accept();
    return true;
}

void TTariffForm::SkipButtonClick() {
    done(Rejected);
}

void TTariffForm::HelpButtonClick() {
    if (m_services.help)
        m_services.help->showTopic(HelpTopic);
}

// Closing the page (or Escape) is skipping it: charges half typed are not
// taken for the user's tariff.
void TTariffForm::reject() {
    SkipButtonClick();
}
