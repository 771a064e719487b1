#pragma once

#include "core/settings/SettingsKeys.h"

#include <QObject>
#include <QString>

class QCheckBox;
class QGridLayout;
class QLineEdit;
class QToolButton;
class QWidget;
struct Services;

// One event's controls on the "Main Setup" page: its "Use Sound" box (which
// carries the event's caption), its "Sound Location" box, and its browse and
// preview buttons.
class SoundRow : public QObject {
    Q_OBJECT
public:
    struct Names {
        const char* soundOn;
        const char* fileBox;
        const char* browseButton;
        const char* playButton;
    };

    SoundRow(SettingsKeys::SoundEvent event, const QString& caption, const Names& names,
             const Services& services, QWidget* parent);

    void addTo(QGridLayout* grid, int row);

    SettingsKeys::SoundEvent event() const { return m_event; }
    QString location() const;
    void setLocation(const QString& path);
    bool soundOn() const;
    void setSoundOn(bool on);

    // With sounds played at all, the location, browse and preview follow the
    // "Use Sound" box; without, the whole row is off.
    void applyEnabling(bool playSounds);

    QCheckBox* soundOnBox() const { return m_soundOn; }
    QLineEdit* fileBox() const { return m_fileBox; }
    QToolButton* browseButton() const { return m_browse; }
    QToolButton* playButton() const { return m_play; }

    void SoundOnClick();
    void FileboxChange();
    void FileboxExit();
    void FileboxDblClick();
    void BrowseButtonClick();
    void PlayButtonClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Relative locations count from the program directory, where the meter
    // keeps its files.
    QString resolvedPath() const;
    bool fileExists() const;

    SettingsKeys::SoundEvent m_event;
    const Services& m_services;
    QCheckBox* m_soundOn;
    QLineEdit* m_fileBox;
    QToolButton* m_browse;
    QToolButton* m_play;
};
