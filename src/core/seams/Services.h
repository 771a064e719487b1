#pragma once

#include <QString>

class Autostart;
class CarrierSource;
class Clock;
class FileChooser;
class HelpViewer;
class LineMonitor;
class NetworkLinks;
class Notifier;
class Prompter;
class SerialDevices;
class SoundPlayer;
class TrayIcon;
class WindowSystem;

// What the program asks of the outside world, built once by main() and handed
// to every window. Tests hand in fakes.
struct Services {
    QString programDirectory;  // where every data file lives, no trailing "/"
    QString stateDirectory;    // where calls that could not be logged wait for the next start
    QString programPath;       // the executable's full path
    QString resourceDirectory; // where the program's own files are: the default sounds, the help
    Clock* clock = nullptr;
    Prompter* prompter = nullptr;
    FileChooser* files = nullptr;
    SoundPlayer* sound = nullptr;
    LineMonitor* line = nullptr;
    NetworkLinks* links = nullptr;
    CarrierSource* carrier = nullptr;
    SerialDevices* serialDevices = nullptr;
    HelpViewer* help = nullptr;
    Autostart* autostart = nullptr;
    TrayIcon* tray = nullptr;
    Notifier* notifier = nullptr;
    WindowSystem* windowSystem = nullptr; // none: Qt's platform answers
};
