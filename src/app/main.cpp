#include "core/seams/Clock.h"
#include "core/seams/Services.h"
#include "core/settings/SettingsFile.h"
#include "core/settings/SettingsKeys.h"
#include "gui/meter/TLargeForm.h"
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

// The data directory: --dir, else $DIALTALLY_DIR, else the executable's own.
QString programDirectory(const QCommandLineParser& options) {
    QString dir = options.value(QStringLiteral("dir"));
    if (dir.isEmpty())
        dir = qEnvironmentVariable("DIALTALLY_DIR");
    if (dir.isEmpty())
        dir = QCoreApplication::applicationDirPath();
    return QDir::cleanPath(QFileInfo(dir).absoluteFilePath());
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Dialtally Pro"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));

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
    services.resourceDirectory = QCoreApplication::applicationDirPath();
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
