#pragma once

#include <QWidget>

class SettingsFile;
struct Services;

// Placeholder for the "Main Setup" page until the real one lands: same
// interface, no controls.
class MainSetupPage : public QWidget {
    Q_OBJECT
public:
    MainSetupPage(const Services& services, QWidget* parent = nullptr);
    void ReadIniSettings(const SettingsFile& file);
    bool WriteIniSettings(const SettingsFile& file);
    bool checkBeforeClose();
};
