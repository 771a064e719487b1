#include "core/seams/Clock.h"
#include "core/seams/Services.h"
#include "core/settings/SettingsFile.h"
#include "core/settings/SettingsKeys.h"
#include "core/viewer/LogCommands.h"
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
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>

#include <algorithm>
#include <optional>

namespace {

LogCommands::Environment environment() {
    return {qEnvironmentVariable("DIALTALLY_DIR"), qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath()};
}

void describe(QCoreApplication& app, QCommandLineParser& options) {
    QCoreApplication::setApplicationName(QStringLiteral("Dialtally Pro"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));
    options.setApplicationDescription(QStringLiteral("Call-cost meter.\n\n") + LogCommands::usage());
    options.addHelpOption();
    options.addVersionOption();
    options.addOption(
        {QStringLiteral("dir"), QStringLiteral("Keep the data files in <path>."), QStringLiteral("path")});
    options.process(app);
}

// Commands, --help and --version run without a window, so without a display.
std::optional<int> runWithoutWindow(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    static const QStringList asking = {QStringLiteral("-h"),         QStringLiteral("--help"),
                                       QStringLiteral("--help-all"), QStringLiteral("-v"),
                                       QStringLiteral("--version"),  QStringLiteral("-?")};
    const bool command = LogCommands::isCommand(arguments);
    if (!command &&
        std::none_of(arguments.begin(), arguments.end(), [](const QString& a) { return asking.contains(a); }))
        return std::nullopt;
    QCoreApplication app(argc, argv);
    if (!command) {
        QCommandLineParser options;
        describe(app, options); // prints and ends the program
        return 0;
    }
    QFile out, err;
    out.open(stdout, QIODevice::WriteOnly);
    err.open(stderr, QIODevice::WriteOnly);
    return LogCommands::run(app.arguments(), environment(), SystemClock().now(), out, err);
}

} // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> status = runWithoutWindow(argc, argv))
        return *status;

    QApplication app(argc, argv);
    QApplication::setWindowIcon(AppIcon::icon());
    QGuiApplication::setDesktopFileName(QStringLiteral("dialtally-pro"));
    QCommandLineParser options;
    describe(app, options);

    const LogCommands::Environment env = environment();
    const QString directory = ProgramFiles::dataDirectory(options.value(QStringLiteral("dir")),
                                                          env.dialtallyDir, env.xdgDataHome, env.home);
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
