#include "gui/setup/SoundRow.h"

#include "core/seams/FileChooser.h"
#include "core/seams/Prompter.h"
#include "core/seams/Services.h"
#include "core/seams/SoundPlayer.h"
#include "core/settings/ProgramFiles.h"
#include "gui/widgets/FormRules.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGridLayout>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

namespace {
const QString BrowseCaption = QStringLiteral("Select Sound to use for event");
const QString WaveFilter = QStringLiteral("Wave file (*.wav)");
const QString InvalidLocation =
    QStringLiteral("Sound Location is invalid. If not changed, it will be ignored.");
} // namespace

SoundRow::SoundRow(SettingsKeys::SoundEvent event, const QString& caption, const Names& names,
                   const Services& services, QWidget* parent)
    : QObject(parent), m_event(event), m_services(services), m_soundOn(new QCheckBox(caption, parent)),
      m_fileBox(new QLineEdit(parent)), m_browse(new QToolButton(parent)), m_play(new QToolButton(parent)) {
    m_soundOn->setObjectName(QLatin1String(names.soundOn));
    m_fileBox->setObjectName(QLatin1String(names.fileBox));
    m_browse->setObjectName(QLatin1String(names.browseButton));
    m_play->setObjectName(QLatin1String(names.playButton));

    m_fileBox->setAccessibleName(QStringLiteral("Sound Location"));
    m_fileBox->setMinimumWidth(220);
    m_fileBox->installEventFilter(this);

    m_browse->setText(QStringLiteral("..."));
    m_browse->setToolTip(QStringLiteral("Browse for sound"));
    m_browse->setAccessibleName(m_browse->toolTip());
    m_play->setIcon(parent->style()->standardIcon(QStyle::SP_MediaPlay));
    m_play->setToolTip(QStringLiteral("Preview"));
    m_play->setAccessibleName(m_play->toolTip());
    // Five rows of like controls, each told apart by its event.
    for (QWidget* control : std::initializer_list<QWidget*>{m_fileBox, m_browse, m_play})
        control->setAccessibleDescription(QString(caption).remove(QLatin1Char('&')));

    connect(m_soundOn, &QCheckBox::clicked, this, &SoundRow::SoundOnClick);
    connect(m_fileBox, &QLineEdit::textChanged, this, &SoundRow::FileboxChange);
    connect(m_browse, &QToolButton::clicked, this, &SoundRow::BrowseButtonClick);
    connect(m_play, &QToolButton::clicked, this, &SoundRow::PlayButtonClick);
    FileboxChange();
}

void SoundRow::addTo(QGridLayout* grid, int row) {
    grid->addWidget(m_soundOn, row, 0);
    grid->addWidget(m_fileBox, row, 1);
    grid->addWidget(m_browse, row, 2);
    grid->addWidget(m_play, row, 3);
}

QString SoundRow::location() const {
    return m_fileBox->text();
}

void SoundRow::setLocation(const QString& path) {
    m_fileBox->setText(path);
    // setText() of an equal text sends no change, yet the file may have come or gone.
    FileboxChange();
}

bool SoundRow::soundOn() const {
    return m_soundOn->isChecked();
}
void SoundRow::setSoundOn(bool on) {
    m_soundOn->setChecked(on);
}

void SoundRow::applyEnabling(bool playSounds) {
    m_soundOn->setEnabled(playSounds);
    const bool rowOn = playSounds && m_soundOn->isChecked();
    m_fileBox->setEnabled(rowOn);
    m_browse->setEnabled(rowOn);
    m_play->setEnabled(rowOn);
}

void SoundRow::SoundOnClick() {
    applyEnabling(true);
}

QString SoundRow::resolvedPath() const {
    return ProgramFiles::resolve(m_services.programDirectory, m_fileBox->text());
}

bool SoundRow::fileExists() const {
    const QString path = resolvedPath();
    return !path.isEmpty() && QFileInfo(path).isFile();
}

void SoundRow::FileboxChange() {
    // Only the active and inactive text turns red, so a disabled box still looks
    // disabled; a found file's name has no colour of its own, so it follows the
    // desktop's palette when that changes.
    QPalette palette;
    if (!fileExists()) {
        palette.setColor(QPalette::Active, QPalette::Text, Qt::red);
        palette.setColor(QPalette::Inactive, QPalette::Text, Qt::red);
    }
    m_fileBox->setPalette(palette);
}

void SoundRow::FileboxExit() {
    if (fileExists())
        return;
    m_services.prompter->beep();
    m_services.prompter->warning(InvalidLocation);
}

void SoundRow::FileboxDblClick() {
    BrowseButtonClick();
}

void SoundRow::BrowseButtonClick() {
    const QString current = resolvedPath();
    const QString directory = current.isEmpty() ? QString() : QFileInfo(current).absolutePath();
    const QString chosen =
        m_services.files->openFileName(BrowseCaption, directory, WaveFilter, QStringLiteral("wav"));
    if (!chosen.isEmpty())
        m_fileBox->setText(chosen);
}

void SoundRow::PlayButtonClick() {
    m_services.sound->stop();
    if (fileExists())
        m_services.sound->play(resolvedPath());
    else
        m_services.prompter->beep(); // the desktop's own sound stands in for a missing file
}

bool SoundRow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_fileBox) {
        if (event->type() == QEvent::MouseButtonDblClick && m_fileBox->isEnabled()) {
            FileboxDblClick();
            return true;
        }
        if (event->type() == QEvent::FocusOut) {
            if (FormRules::isUserFocusMove(static_cast<QFocusEvent*>(event)->reason()))
                FileboxExit();
        }
    }
    return QObject::eventFilter(watched, event);
}
