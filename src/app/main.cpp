#include "app/SingleInstance.h"
#include "app/TerminationSignals.h"
#include "cli/LogCommands.h"
#include "core/calllog/KeptCalls.h"
#include "core/seams/Clock.h"
#include "core/seams/Services.h"
#include "core/settings/ProgramFiles.h"
#include "gui/meter/TLargeForm.h"
#include "gui/shell/HelpWindow.h"
#include "gui/shell/QtTrayIcon.h"
#include "gui/shell/TTitleForm.h"
#include "gui/shell/WindowModes.h"
#include "gui/shell/WindowSystem.h"
#include "gui/spending/ChartImage.h"
#include "gui/widgets/AppIcon.h"
#include "gui/widgets/QtFileChooser.h"
#include "gui/widgets/QtPrompter.h"
#include "system/AlsaSoundPlayer.h"
#include "system/DesktopNotifier.h"
#include "system/ModemManagerLineMonitor.h"
#include "system/NetworkLinkWatcher.h"
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
#include <cerrno>
#include <cstdio>
#include <optional>

#include <fcntl.h>
#include <unistd.h>

namespace {

LogCommands::Environment environment() {
    return {qEnvironmentVariable("DIALTALLY_DIR"), qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath(),
            qEnvironmentVariable("XDG_STATE_HOME")};
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

// A standard file the program was started without is held open read-only on
// /dev/null: writes to it then fail (and are reported) instead of going to
// whatever file the program opens next and gets its number.
void holdClosedStandardFiles() {
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(fd, F_GETFD) >= 0 || errno != EBADF)
            continue;
        const int held = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (held >= 0 && held != fd) {
            ::dup2(held, fd);
            ::close(held);
        }
    }
}

// Commands, --help and --version run without a window, so without a display.
std::optional<int> runWithoutWindow(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    static const QStringList asking = {QStringLiteral("-h"),         QStringLiteral("--help"),
                                       QStringLiteral("--help-all"), QStringLiteral("-v"),
                                       QStringLiteral("--version"),  QStringLiteral("-?")};
    // A command answers --help itself.
    const bool command = LogCommands::isCommand(arguments);
    const bool help = !command && std::any_of(arguments.begin(), arguments.end(),
                                              [](const QString& a) { return asking.contains(a); });
    if (!help && !command)
        return std::nullopt;
    holdClosedStandardFiles();
    // A chart is drawn with the toolkit's widgets, on no screen when there is none.
    const bool chart = !help && LogCommands::drawsChart(arguments);
    if (chart && qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::optional<QCoreApplication> core;
    std::optional<QApplication> widgets;
    QCoreApplication& app =
        chart ? static_cast<QCoreApplication&>(widgets.emplace(argc, argv)) : core.emplace(argc, argv);
    if (help) {
        QCommandLineParser options;
        describe(app, options); // prints and ends the program
        return 0;
    }
    // Unbuffered: every write is checked as it is made. A pipe whose reader
    // has gone is an error that names the output, as every failed write is.
    QFile out, err;
    out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    err.open(STDERR_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    const LogCommands::ChartMaker draw = [](const SpendingReading& reading, SpendView view, QSize size,
                                            const QString& path) {
        return ChartImage::render(reading.figures, view, SpendingChart::Stack::Bands, reading.budgetAmount(),
                                  reading.symbol, size, path);
    };
    return LogCommands::run(app.arguments(), environment(), SystemClock().now(), out, err,
                            ::isatty(STDOUT_FILENO), draw);
}

// A start that may not go on says why, where a terminal and a desktop user
// see it; on the terminal first, in case there is no desktop to show a box on.
int refuse(const QString& reason, int& argc, char** argv) {
    const QString text = QStringLiteral("Dialtally Pro cannot start. ") + reason;
    std::fprintf(stderr, "%s\n", qPrintable(text));
    std::optional<QApplication> forTheBox;
    if (!QCoreApplication::instance())
        forTheBox.emplace(argc, argv);
    QMessageBox::critical(nullptr, QStringLiteral("Error"), text);
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    TerminationSignals::ignoreBrokenPipes();
    // Reports, exports, --help and --version take no lock: they run beside the meter.
    if (const std::optional<int> status = runWithoutWindow(argc, argv))
        return *status;

    // A second copy ends here, before it shows a window or touches a file,
    // once it has asked the running copy to come to view.
    SingleInstance instance;
    if (!instance.isFirst() && instance.refusal().isEmpty()) {
        const QCoreApplication knocking(argc, argv);
        if (!instance.knock(qEnvironmentVariable("XDG_ACTIVATION_TOKEN")))
            std::fprintf(stderr, "Dialtally Pro is running already but does not answer (its lock is %s).\n",
                         qPrintable(instance.lockPath()));
        return 0;
    }
    if (!instance.isFirst())
        return refuse(instance.refusal(), argc, argv);

    // The meter's clock repaints the same small square 22 times a second. With
    // shared-memory images X11 makes every such repaint wait for the X server
    // to have read the last one (a round trip per frame); the few pixels sent
    // over the socket cost less. The user's own choice stands.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication app(argc, argv);
    // From here the program ends in order however it is told to, at any
    // moment, and further signals wait until the running call is logged.
    TerminationSignals termination;
    // Knocks from copies started meanwhile are answered from the splash on.
    // Until the window is made they wait for it, except that the box its
    // making waits on (the first-use wizard) comes to view at once.
    TLargeForm* shown = nullptr;
    bool startedAgain = false;
    WindowSystem windows;
    instance.whenStartedAgain([&shown, &startedAgain, &windows](const QString& token) {
        if (shown) {
            shown->views().bringToView(token);
            return;
        }
        if (!token.isEmpty())
            windows.useActivationToken(token);
        if (!WindowModes::raiseWaitingBox())
            startedAgain = true;
    });
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
    if (!QDir().mkpath(directory))
        return refuse(QStringLiteral("The data directory %1 cannot be created: %2")
                          .arg(directory, qt_error_string(errno)),
                      argc, argv);
    const QString state =
        ProgramFiles::stateDirectory(qEnvironmentVariable("XDG_STATE_HOME"), QDir::homePath());
    // Calls kept when the log could not be written reach it before anything reads it.
    const KeptCalls::Report recovery = KeptCalls::recoverAtStart(directory, state);

    TTitleForm splash;
    splash.showUntilDone();
    if (termination.requested())
        return 0;
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
    NetworkLinkWatcher links;
    QtTrayIcon tray;
    DesktopNotifier notifier(&tray);
    HelpWindow help(helpFile(directory, resources));

    Services services;
    services.programDirectory = directory;
    services.stateDirectory = state;
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
    services.links = &links;
    services.tray = &tray;
    services.notifier = &notifier;
    services.help = &help;
    services.windowSystem = &windows;

    TLargeForm window(services);
    splash.close();
    if (window.hasEnded()) // while its first questions were open
        return 0;
    prompter.setOwnerWindow(&window);
    files.setOwnerWindow(&window);
    if (recovery.failed)
        window.meter().queueError(recovery.text);
    else if (!recovery.text.isEmpty())
        window.meter().queueInformation(recovery.text);
    QObject::connect(&window, &TLargeForm::ended, &app, [] { QCoreApplication::exit(0); });

    shown = &window;
    if (startedAgain)
        window.views().bringToView();
    termination.endWith(window);
    return app.exec();
}
