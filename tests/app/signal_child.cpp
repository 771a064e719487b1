// The main window and the signal handling as the program has them, with fake
// outside services, in a process of its own:
//   signal_child DIR SECOND [OPEN]
// Without OPEN it times a call and prints "timing". With OPEN the name of a
// first-use page (WelcomeForm, PortSetupForm, TariffForm; "+box" adds an error
// box over it) it starts as a first use, takes the choices that lead to that
// page, takes one there without confirming it, and prints "open". With OPEN a
// path it times a call and exports the viewer's calls to that path, printing
// "said: " and each error shown. SECOND, when not 0, is a signal it sends
// itself the moment it is told to end, before the call is logged, as a
// session manager that sends two may.
#include "app/TerminationSignals.h"
#include "core/seams/Services.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeFileChooser.h"
#include "fakes/FakePrompter.h"
#include "fakes/FakeSerialDevices.h"
#include "fakes/FakeSoundPlayer.h"
#include "gui/meter/TLargeForm.h"
#include "gui/viewer/TDataForm.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {
void say(const char* text) {
    std::puts(text);
    std::fflush(stdout);
}

void click(QWidget* page, const char* name) {
    page->findChild<QAbstractButton*>(QLatin1String(name))->click();
}

// Goes on through the first-use pages up to `wanted`, and there takes a
// choice that only "Next >" or "Finish" would store.
void drive(const QString& wanted, bool& open) {
    QWidget* page = QApplication::activeModalWidget();
    if (open || !page)
        return;
    const QString name = page->objectName();
    const bool here = name == wanted.section(QLatin1Char('+'), 0, 0);
    if (name == QLatin1String("WelcomeForm")) {
        click(page, here ? "AutoDisabledRadioButton" : "Auto16bitRadioButton");
    } else if (name == QLatin1String("PortSetupForm")) {
        page->findChild<QComboBox*>(QStringLiteral("DeviceToSenseBox"))
            ->setEditText(here ? QStringLiteral("/dev/ttyUSB1") : QStringLiteral("/dev/ttyUSB0"));
    } else if (name == QLatin1String("TariffForm")) {
        page->findChild<QLineEdit*>(QStringLiteral("TariffNameEdit"))->setText(QStringLiteral("Mine"));
    }
    if (!here) {
        click(page, "OKbutton");
        return;
    }
    open = true;
    if (!wanted.endsWith(QLatin1String("+box"))) {
        say("open");
        return;
    }
    QTimer::singleShot(0, page, [] { say("open"); });
    QMessageBox::critical(page, QStringLiteral("Error"), QStringLiteral("A box over the page"));
}
} // namespace

int main(int argc, char** argv) {
    TerminationSignals::ignoreBrokenPipes();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const QString open = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
    const bool firstUse = !open.isEmpty() && !open.startsWith(QLatin1Char('/'));
    FakeClock clock(46000.5);
    FakePrompter prompter;
    FakeSoundPlayer sound;
    FakeFileChooser files;
    FakeSerialDevices devices;
    Services services;
    services.programDirectory = QString::fromLocal8Bit(argv[1]);
    services.clock = &clock;
    services.prompter = &prompter;
    services.sound = &sound;
    services.files = &files;
    services.serialDevices = &devices;
    TerminationSignals termination;
    if (const int second = argc > 2 ? std::atoi(argv[2]) : 0) {
        QObject::connect(&termination, &TerminationSignals::received, [second] { std::raise(second); });
    }
    QTimer driver;
    bool pageOpen = false;
    if (firstUse) {
        QObject::connect(&driver, &QTimer::timeout, [&] { drive(open, pageOpen); });
        driver.start(20);
    }
    TLargeForm window(services);
    if (window.hasEnded())
        return 0;
    if (firstUse)
        return 2; // the pages were left without a signal
    QObject::connect(&window, &TLargeForm::ended, &app, [] { QCoreApplication::exit(0); });
    termination.endWith(window);
    window.meter().StartTiming(true);
    clock.advance(5000);
    if (open.isEmpty()) {
        say("timing");
    } else {
        files.nextPaths = QStringList{open};
        QTimer::singleShot(0, &window, [&window] { window.DataButtonClick(); });
        // Once the viewer is open, with its calls.
        QObject::connect(&driver, &QTimer::timeout, [&] {
            if (auto* viewer = qobject_cast<TDataForm*>(QApplication::activeModalWidget())) {
                driver.stop();
                prompter.whileOpen = [&prompter] { say(qPrintable("said: " + prompter.errors.last())); };
                viewer->ExportAllClick();
            }
        });
        driver.start(20);
    }
    return app.exec();
}
