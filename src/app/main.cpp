#include "app/SingleInstance.h"
#include "app/TerminationSignals.h"
#include "cli/LogCommands.h"
#include "core/seams/Clock.h"
#include "core/seams/Services.h"
#include "core/settings/ProgramFiles.h"
#include "gui/meter/TLargeForm.h"
#include "gui/shell/HelpWindow.h"
#include "gui/shell/QtTrayIcon.h"
#include "gui/shell/TTitleForm.h"
#include "gui/shell/WindowModes.h"
#include "gui/widgets/AppIcon.h"
#include "gui/widgets/QtFileChooser.h"
#include "gui/widgets/QtPrompter.h"
#include "system/AlsaSoundPlayer.h"
#include "system/ModemManagerLineMonitor.h"
#include "system/SerialCarrierSource.h"
#include "system/SerialDeviceList.h"
#include "system/XdgAutostart.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QProxyStyle>

#include <algorithm>
#include <optional>
#include <unistd.h>

namespace {

LogCommands::Environment environment() {
    return {qEnvironmentVariable("DIALTALLY_DIR"), qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath()};
}

// The help file of the data directory, else the one installed with the program.
QString helpFile(const QString& directory, const QString& resourceDirectory) {
    const QString own = QDir(directory).filePath(HelpWindow::FileName);
    return QFileInfo::exists(own) ? own : QDir(resourceDirectory).filePath(HelpWindow::FileName);
}

// Hints show soon after the pointer comes to rest, everywhere in the program.
class ShortHintStyle final : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_ToolTip_WakeUpDelay)
            return 150;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

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
    return LogCommands::run(app.arguments(), environment(), SystemClock().now(), out, err,
                            ::isatty(STDOUT_FILENO));
}

} // namespace

int main(int argc, char** argv) {
    // Reports, exports, --help and --version take no lock: they run beside the meter.
    if (const std::optional<int> status = runWithoutWindow(argc, argv))
        return *status;

    // A second copy ends here, before it shows a window or touches a file,
    // once it has asked the running copy to come to view.
    SingleInstance instance;
    if (!instance.isFirst()) {
        const QCoreApplication knocking(argc, argv);
        SingleInstance::knock();
        return 0;
    }

    // The meter's clock repaints the same small square 22 times a second. With
    // shared-memory images X11 makes every such repaint wait for the X server
    // to have read the last one (a round trip per frame); the few pixels sent
    // over the socket cost less. The user's own choice stands.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("dialtally-pro"));
    // The program ends when the main window closes, not when the last window
    // on show does: in the taskbar-icon view no window is on show at all.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setStyle(new ShortHintStyle);
    QApplication::setWindowIcon(AppIcon::icon());
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

    TTitleForm splash;
    splash.showUntilDone();
    const QString resources = ProgramFiles::resourceDirectory(QCoreApplication::applicationDirPath(),
                                                              QStringLiteral(DIALTALLY_SHARE_FROM_BIN));

    SystemClock clock;
    QtPrompter prompter;
    QtFileChooser files;
    XdgAutostart autostart;
    AlsaSoundPlayer sound;
    SerialCarrierSource carrier;
    SerialDeviceList serialDevices;
    ModemManagerLineMonitor line;
    QtTrayIcon tray;
    HelpWindow help(helpFile(directory, resources));

    Services services;
    services.programDirectory = directory;
    services.programPath = QCoreApplication::applicationFilePath();
    services.resourceDirectory = resources;
    services.clock = &clock;
    services.prompter = &prompter;
    services.files = &files;
    services.autostart = &autostart;
    services.sound = &sound;
    services.carrier = &carrier;
    services.serialDevices = &serialDevices;
    services.line = &line;
    services.tray = &tray;
    services.help = &help;

    TLargeForm window(services);
    splash.close();
    prompter.setParentWidget(&window);
    files.setParentWidget(&window);
    QObject::connect(&window, &TLargeForm::ended, &app, [] { QCoreApplication::exit(0); });

    instance.whenStartedAgain([&window] { window.views().bringToView(); });

    // From here a running call is logged however the program is told to end.
    const TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::received, &window, &TLargeForm::EndOnRequest);
    return app.exec();
}
