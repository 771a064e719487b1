#include "gui/setup/CallChargesPage.h"

#include "core/seams/FileChooser.h"
#include "core/seams/HelpViewer.h"
#include "core/seams/Prompter.h"
#include "core/seams/Services.h"
#include "core/settings/ProgramFiles.h"
#include "core/settings/SettingsFile.h"
#include "core/settings/SettingsKeys.h"
#include "core/tariff/BillingRulesFile.h"
#include "core/tariff/RateFile.h"
#include "gui/setup/BillingEditor.h"
#include "gui/setup/RateEditor.h"
#include "gui/widgets/FormRules.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString& Extension = ProgramFiles::RateFileExtension;
constexpr int SelectorNameLength = 50;
constexpr int RatesHelpTopic = 7;

QPushButton* makeButton(const QString& text, const QString& name, const QString& hint, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setToolTip(hint);
    return button;
}

QLabel* makeNamePanel(const QString& name, const QString& hint, QWidget* parent) {
    auto* panel = new QLabel(parent);
    panel->setObjectName(name);
    panel->setToolTip(hint);
    panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    panel->setMargin(3);
    panel->setTextFormat(Qt::PlainText);
    return panel;
}

} // namespace

CallChargesPage::CallChargesPage(const Services& services, QWidget* parent)
    : QWidget(parent), m_services(services) {
    setObjectName(QStringLiteral("CallChargesPage"));

    m_shownPanel = makeNamePanel(QStringLiteral("ShownRateNamePanel"), tr("The rate file shown below"), this);
    m_shownPanel->setAlignment(Qt::AlignCenter);
    QFont bold = m_shownPanel->font();
    bold.setBold(true);
    m_shownPanel->setFont(bold);
    m_shownPanel->setText(m_shownRateName);

    auto* help = makeButton(tr("Help"), QStringLiteral("HelpForRates"), tr("Help on call charges"), this);
    help->setAutoDefault(false);
    connect(help, &QPushButton::clicked, this, &CallChargesPage::HelpForRatesClick);

    m_editor = new RateEditor(*services.prompter, this);
    connect(m_editor, &RateEditor::dataBarShown, this, [this](bool shown) {
        showFileControls(!shown);
        emit editingShown(shown);
    });

    m_billing = new BillingEditor(this);
    connect(m_billing, &BillingEditor::edited, this, [this] { setRatesModified(true); });

    m_fileControls = new QWidget(this);
    m_fileControls->setObjectName(QStringLiteral("RateFilePanel"));
    auto* divider = new QFrame(m_fileControls);
    divider->setObjectName(QStringLiteral("RateFileDivider"));
    divider->setFrameStyle(QFrame::HLine | QFrame::Sunken);

    m_selectBox = new QComboBox(m_fileControls);
    m_selectBox->setObjectName(QStringLiteral("RateNameSelectBox"));
    m_selectBox->setToolTip(tr("Choose the rate file to show"));
    m_selectBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_selectBox->setMinimumContentsLength(20);
    connect(m_selectBox, &QComboBox::activated, this, &CallChargesPage::RateNameSelectBoxChange);
    auto* selectLabel = new QLabel(tr("Rate file:"), m_fileControls);
    selectLabel->setBuddy(m_selectBox);

    m_useRateButton = makeButton(tr("Use Rate"), QStringLiteral("UseRateButton"),
                                 tr("Use the shown rates in calculations"), m_fileControls);
    m_saveButton =
        makeButton(tr("Save"), QStringLiteral("SaveButton"), tr("Save the shown rates"), m_fileControls);
    m_saveAsButton = makeButton(tr("Save As.."), QStringLiteral("SaveAsButton"),
                                tr("Save the shown rates under a new name"), m_fileControls);
    m_deleteButton = makeButton(tr("Delete"), QStringLiteral("DeleteButton"),
                                tr("Delete the shown rate file"), m_fileControls);
    connect(m_useRateButton, &QPushButton::clicked, this, &CallChargesPage::UseRateButtonClick);
    connect(m_saveButton, &QPushButton::clicked, this, [this] { SaveButtonClick(); });
    connect(m_saveAsButton, &QPushButton::clicked, this, [this] { SaveAsButtonClick(); });
    connect(m_deleteButton, &QPushButton::clicked, this, &CallChargesPage::DeleteButtonClick);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(selectLabel);
    fileRow->addWidget(m_selectBox, 1);
    fileRow->addSpacing(8);
    for (QPushButton* button : {m_useRateButton, m_saveButton, m_saveAsButton, m_deleteButton}) {
        button->setAutoDefault(false);
        fileRow->addWidget(button);
    }
    auto* fileLayout = new QVBoxLayout(m_fileControls);
    fileLayout->setContentsMargins(0, 0, 0, 0);
    fileLayout->addStretch();
    fileLayout->addWidget(divider);
    fileLayout->addLayout(fileRow);
    fileLayout->addStretch();

    // The adjusting controls take the place of the file controls while a value
    // is edited; both keep their space so the page does not jump.
    QWidget* dataBar = m_editor->dataBar();
    FormRules::keepSpaceWhenHidden(dataBar);
    FormRules::keepSpaceWhenHidden(m_fileControls);
    auto* swapArea = new QGridLayout;
    swapArea->addWidget(dataBar, 0, 0);
    swapArea->addWidget(m_fileControls, 0, 0);

    m_activePanel =
        makeNamePanel(QStringLiteral("ActiveRateNamePanel"),
                      tr("The rate file the meter uses once the configuration is confirmed"), this);
    m_activePanel->setMinimumWidth(180);
    auto* activeLabel = new QLabel(tr("Rate to be used in calculations"), this);
    activeLabel->setBuddy(m_activePanel);

    auto* top = new QHBoxLayout;
    top->addStretch();
    top->addWidget(m_shownPanel, 2);
    top->addStretch();
    top->addWidget(help);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(activeLabel);
    bottom->addWidget(m_activePanel, 1);

    auto* layout = new QVBoxLayout(this);
    // Spare height, when the other page is taller, goes between the sections.
    layout->addLayout(top);
    layout->addStretch(1);
    auto* editors = new QHBoxLayout;
    editors->addWidget(m_editor, 1);
    editors->addSpacing(12);
    editors->addWidget(m_billing);
    layout->addLayout(editors);
    layout->addStretch(1);
    layout->addLayout(swapArea);
    layout->addStretch(1);
    layout->addLayout(bottom);
}

bool CallChargesPage::RatesModified() const {
    return m_editor->RatesModified();
}

void CallChargesPage::setRatesModified(bool modified) {
    m_editor->setRatesModified(modified);
}

void CallChargesPage::setActiveRateName(const QString& name) {
    m_activeRateName = name;
    m_activePanel->setText(name);
}

void CallChargesPage::setShownRate(const QString& name, const QString& path) {
    m_shownRateName = name;
    m_shownRatePath = path;
    m_shownPanel->setText(name);
}

void CallChargesPage::showActiveRate() {
    RefreshRateNames();
    // File names are case-sensitive here: an exact match wins, and the listed
    // name is the one loaded, so what is shown is what a save will replace.
    // An active file that is not there is no error here: the panel says it is
    // not found, and the empty editor is ready to become a new rate file.
    const int index = findRateName(m_activeRateName);
    if (index < 0)
        return;
    const QString name = rateFileName(index);
    LoadRates(name + Extension);
    m_selectBox->setCurrentIndex(index);
    setShownRate(name, ProgramFiles::rateFilePath(m_services.programDirectory, name));
}

QString CallChargesPage::rateFileName(int index) const {
    return m_selectBox->itemData(index).toString();
}

int CallChargesPage::findRateName(const QString& name) const {
    int caseless = -1;
    for (int i = 0; i < m_selectBox->count(); ++i) {
        const QString item = rateFileName(i);
        if (item == name)
            return i;
        if (caseless < 0 && item.compare(name, Qt::CaseInsensitive) == 0)
            caseless = i;
    }
    return caseless;
}

void CallChargesPage::selectShownRate() {
    const bool listed = !m_shownRatePath.isEmpty() &&
                        QFileInfo(m_shownRatePath).absoluteDir() == QDir(m_services.programDirectory);
    int index = -1;
    for (int i = 0; listed && i < m_selectBox->count(); ++i)
        if (rateFileName(i) == m_shownRateName)
            index = i;
    m_selectBox->setCurrentIndex(index);
}

void CallChargesPage::RefreshRateNames() {
    const QStringList files = rateFileNames(m_services.programDirectory);
    m_selectBox->clear();
    m_selectBox->setPlaceholderText(files.isEmpty() ? tr("No Dialtally Rate Files Found") : QString());
    for (const QString& file : files) {
        // The list shows at most 46 characters of a name; the item keeps the
        // whole name so choosing it opens the right file.
        m_selectBox->addItem(file.left(SelectorNameLength).chopped(Extension.size()),
                             file.chopped(Extension.size()));
    }
    m_selectBox->setCurrentIndex(-1);
}

bool CallChargesPage::LoadRates(const QString& fileName) {
    const QString path = ProgramFiles::path(m_services.programDirectory, fileName);
    const std::optional<RateTable> table = readRateFile(path);
    if (!table) {
        m_services.prompter->error(tr("Dialtally Rate File \"%1\" Not Found").arg(fileName));
        return false;
    }
    m_editor->setRates(*table);
    const QString rulesPath = BillingRulesFile::pathFor(path);
    QString error;
    if (const std::optional<BillingRules> rules = BillingRulesFile::read(rulesPath, &error))
        m_billing->setRules(*rules);
    else // the folder is the page's own
        m_billing->setUnreadable(error.replace(rulesPath, QFileInfo(rulesPath).fileName()));
    return true;
}

void CallChargesPage::RateNameSelectBoxChange(int index) {
    if (index < 0)
        return;
    const QString chosen = rateFileName(index);
    // Unsaved rates are never dropped by a save that did not happen; the
    // selector goes back to the file still shown.
    if (!saveChangesBeforeLeaving()) {
        selectShownRate();
        return;
    }
    LoadRates(chosen + Extension);
    setShownRate(chosen, ProgramFiles::rateFilePath(m_services.programDirectory, chosen));
    setRatesModified(false);
    selectShownRate();
}

bool CallChargesPage::writeRates(const QString& path) {
    std::optional<BillingRules> rules;
    if (m_billing->isReadable()) {
        QString problem;
        rules = m_billing->rules(&problem);
        if (!rules) {
            m_services.prompter->error(tr("The billing rules cannot be saved.\n%1").arg(problem));
            return false;
        }
    }
    // Rules that could not be read stay in their file; another file gets none.
    const BillingRules none;
    const BillingRules* written = rules ? &*rules : path == m_shownRatePath ? nullptr : &none;
    TariffFiles::Failure failure;
    if (!TariffFiles::save(path, m_editor->rates(), written, &failure)) {
        m_services.prompter->error(
            tr("Unable to write to %1\n%2").arg(QDir::toNativeSeparators(failure.path), failure.reason));
        return false;
    }
    setRatesModified(false);
    return true;
}

bool CallChargesPage::SaveButtonClick() {
    // With no file shown there is no name to save under: ask for one.
    if (m_shownRatePath.isEmpty())
        return SaveAsButtonClick();
    return writeRates(m_shownRatePath);
}

bool CallChargesPage::SaveAsButtonClick() {
    QString path = m_services.files->saveFileName(tr("Save Rates File As..."), m_services.programDirectory,
                                                  tr("Dialtally Rate File (*.dtr)"), QStringLiteral("dtr"));
    if (path.isEmpty())
        return false;
    // A rate file is known by its extension; a name typed with another one gets
    // it added, and the file dialog has not asked about that name.
    if (!path.endsWith(Extension)) {
        path += Extension;
        if (QFileInfo::exists(path) &&
            !m_services.prompter->askYesNo(
                tr("%1 already exists.\nDo you want to replace it?").arg(QFileInfo(path).fileName())))
            return false;
    }
    const bool elsewhere = path != m_shownRatePath;
    if (!writeRates(path))
        return false;
    // Rules that could not be read were not copied: the new file has none.
    if (elsewhere && !m_billing->isReadable())
        m_billing->setRules({});
    setShownRate(QFileInfo(path).fileName().chopped(Extension.size()), QFileInfo(path).absoluteFilePath());
    RefreshRateNames();
    selectShownRate();
    useIfActiveIsMissing();
    return true;
}

// With the active file gone, the meter has nothing to price calls with: a new
// file saved where the meter looks becomes the active one at once (stored
// now, not only on OK, since the file itself is already written).
void CallChargesPage::useIfActiveIsMissing() {
    if (QFileInfo(m_shownRatePath).absoluteDir() != QDir(m_services.programDirectory))
        return;
    if (!m_activeRateName.isEmpty() &&
        readRateFile(ProgramFiles::rateFilePath(m_services.programDirectory, m_activeRateName)))
        return;
    setActiveRateName(m_shownRateName);
    const SettingsFile settings(ProgramFiles::settingsPath(m_services.programDirectory));
    if (!settings.WriteSettingString(SettingsKeys::RateSection, SettingsKeys::ActiveRateFile,
                                     m_shownRateName))
        m_services.prompter->error(settings.failureText());
}

void CallChargesPage::DeleteButtonClick() {
    if (m_shownRatePath.isEmpty())
        return;
    if (!m_services.prompter->askYesNo(
            tr("Do you really want to delete the Dialtally Rate File \"%1\"?").arg(m_shownRateName)))
        return;
    TariffFiles::Failure failure;
    if (!TariffFiles::remove(m_shownRatePath, &failure)) {
        m_services.prompter->error(
            tr("Unable to delete %1\n%2").arg(QDir::toNativeSeparators(failure.path), failure.reason));
        return;
    }
    RefreshRateNames();
    if (m_selectBox->count() > 0) {
        const QString first = rateFileName(0);
        m_selectBox->setCurrentIndex(0);
        setShownRate(first, ProgramFiles::rateFilePath(m_services.programDirectory, first));
        LoadRates(first + Extension);
        setRatesModified(false);
    } else {
        setShownRate(QString(), QString());
    }
    setActiveRateName(m_shownRateName);
}

void CallChargesPage::UseRateButtonClick() {
    if (!m_shownRatePath.isEmpty())
        setActiveRateName(m_shownRateName);
}

void CallChargesPage::HelpForRatesClick() {
    if (m_services.help)
        m_services.help->showTopic(RatesHelpTopic);
}

bool CallChargesPage::saveChangesBeforeLeaving() {
    if (!RatesModified())
        return true;
    switch (m_services.prompter->askYesNoCancel(
        tr("Do you want to Save the changes to \"%1\"?").arg(m_shownRateName))) {
    case Prompter::Answer::Yes:
        return SaveButtonClick();
    case Prompter::Answer::No:
        return true;
    case Prompter::Answer::Cancel:
        break;
    }
    return false;
}

void CallChargesPage::finishEditing() {
    if (m_editor->isEditing())
        m_editor->ChangeDataOKButtonClick();
}

void CallChargesPage::showFileControls(bool shown) {
    m_fileControls->setVisible(shown);
}
