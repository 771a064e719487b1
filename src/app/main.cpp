#include "app/SingleInstance.h"
#include "app/TerminationSignals.h"
#include "core/seams/Clock.h"
#include "core/seams/Services.h"
#include "gui/meter/TLargeForm.h"
#include "gui/shell/HelpWindow.h"
#include "gui/shell/QtTrayIcon.h"
#include "gui/shell/ShellPictures.h"
#include "gui/shell/TTitleForm.h"
#include "gui/shell/WindowModes.h"
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
#include <QProxyStyle>

namespace {

// The data directory: --dir, else $DIALTALLY_DIR, else the executable's own.
QString programDirectory(const QCommandLineParser& options) {
    QString dir = options.value(QStringLiteral("dir"));
    if (dir.isEmpty())
        dir = qEnvironmentVariable("DIALTALLY_DIR");
    if (dir.isEmpty())
        dir = QCoreApplication::applicationDirPath();
    return QDir::cleanPath(QFileInfo(dir).absoluteFilePath());
}

// The help file of the data directory, else the one installed with the program.
QString helpFile(const QString& directory) {
    const QString own = QDir(directory).filePath(HelpWindow::FileName);
    return QFileInfo::exists(own)
               ? own
               : QDir(QCoreApplication::applicationDirPath()).filePath(HelpWindow::FileName);
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

} // namespace

int main(int argc, char** argv) {
    // A second copy ends here, before it shows a window or touches a file,
    // once it has asked the running copy to come to view.
    SingleInstance instance;
    if (!instance.isFirst()) {
        const QCoreApplication knocking(argc, argv);
        SingleInstance::knock();
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Dialtally Pro"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    QGuiApplication::setDesktopFileName(QStringLiteral("dialtally-pro"));
    // The program ends when the main window closes, not when the last window
    // on show does: in the taskbar-icon view no window is on show at all.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setStyle(new ShortHintStyle);
    QApplication::setWindowIcon(ShellPictures::trayImage(QStringLiteral("mini1")));

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

    TTitleForm splash;
    splash.showUntilDone();

    SystemClock clock;
    QtPrompter prompter;
    QtFileChooser files;
    XdgAutostart autostart;
    AlsaSoundPlayer sound;
    SerialCarrierSource carrier;
    ModemManagerLineMonitor line;
    QtTrayIcon tray;
    HelpWindow help(helpFile(directory));

    Services services;
    services.programDirectory = directory;
    services.programPath = QCoreApplication::applicationFilePath();
    services.clock = &clock;
    services.prompter = &prompter;
    services.files = &files;
    services.autostart = &autostart;
    services.sound = &sound;
    services.carrier = &carrier;
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
