#include "core/seams/Clock.h"
#include "core/seams/Services.h"
#include "core/settings/SettingsFile.h"
#include "core/settings/SettingsKeys.h"
#include "gui/meter/TLargeForm.h"
#include "gui/widgets/AppIcon.h"
#include "gui/widgets/QtFileChooser.h"
#include "gui/widgets/QtPrompter.h"
#include "system/AlsaSoundPlayer.h"
#include "system/ModemManagerLineMonitor.h"
#include "system/SerialCarrierSource.h"
#include "system/XdgAutostart.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

namespace {

QString programDirectory(const QCommandLineParser& options) {
    return ProgramFiles::dataDirectory(options.value(QStringLiteral("dir")),
                                       qEnvironmentVariable("DIALTALLY_DIR"),
                                       qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath());
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Dialtally Pro"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    QApplication::setWindowIcon(AppIcon::icon());
    QGuiApplication::setDesktopFileName(QStringLiteral("dialtally-pro"));

    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("Call-cost meter"));
    options.addHelpOption();
    options.addVersionOption();
    options.addOption(
        {QStringLiteral("dir"), QStringLiteral("Keep the data files in <path>."), QStringLiteral("path")});
    options.process(app);

    const QString directory = programDirectory(options);
    if (!QDir().mkpath(directory)) {
        QMessageBox::critical(nullptr, QStringLiteral("Error"),
                              QStringLiteral("The data directory %1 cannot be created.").arg(directory));
        return 1;
    }

    SystemClock clock;
    QtPrompter prompter;
    QtFileChooser files;
    XdgAutostart autostart;
    AlsaSoundPlayer sound;
    SerialCarrierSource carrier;
    ModemManagerLineMonitor line;

    Services services;
    services.programDirectory = directory;
    services.programPath = QCoreApplication::applicationFilePath();
    services.resourceDirectory = ProgramFiles::resourceDirectory(QCoreApplication::applicationDirPath(),
                                                                 QStringLiteral(DIALTALLY_SHARE_FROM_BIN));
    services.clock = &clock;
    services.prompter = &prompter;
    services.files = &files;
    services.autostart = &autostart;
    services.sound = &sound;
    services.carrier = &carrier;
    services.line = &line;

    TLargeForm window(services);
    prompter.setParentWidget(&window);
    files.setParentWidget(&window);

    const SettingsFile settings(ProgramFiles::settingsPath(directory));
    window.move(settings.ReadSettingInteger(SettingsKeys::DefaultsSection, SettingsKeys::NormalLeft,
                                            SettingsKeys::DefaultPosition),
                settings.ReadSettingInteger(SettingsKeys::DefaultsSection, SettingsKeys::NormalTop,
                                            SettingsKeys::DefaultPosition));
    window.show();
    return app.exec();
}
