// A program that times a call and then waits to be told to end by a signal:
// the main window and the signal handling as the program has them, with fake
// outside services. Prints "timing" once the call runs. Given a second signal's
// number, it sends itself that signal the moment it is told to end, before the
// call is logged, as a session manager that sends two may. Given a path, it
// exports the calls there from the viewer and prints "said: " and the error;
// given a first-use page ("+box": with a box over it), it goes there, takes
// a choice without confirming it and prints "open".
#include "app/TerminationSignals.h"
#include "core/seams/Services.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeFileChooser.h"
#include "fakes/FakePrompter.h"
#include "fakes/FakeSoundPlayer.h"
#include "gui/meter/TLargeForm.h"
#include "gui/viewer/TDataForm.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {
void say(const QString& text) {
    std::puts(qPrintable(text));
    std::fflush(stdout);
}
} // namespace

int main(int argc, char** argv) {
    TerminationSignals::ignoreBrokenPipes();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const QString open = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
    FakeClock clock(46000.5);
    FakePrompter prompter;
    FakeSoundPlayer sound;
    FakeFileChooser files;
    Services services;
    services.programDirectory = QString::fromLocal8Bit(argv[1]);
    services.clock = &clock;
    services.prompter = &prompter;
    services.sound = &sound;
    services.files = &files;
    TerminationSignals termination;
    if (const int second = argc > 2 ? std::atoi(argv[2]) : 0) {
        QObject::connect(&termination, &TerminationSignals::received, [second] { std::raise(second); });
    }
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        QWidget* box = QApplication::activeModalWidget();
        if (auto* viewer = qobject_cast<TDataForm*>(box)) {
            driver.stop();
            files.nextPaths = QStringList{open};
            prompter.whileOpen = [&prompter] { say("said: " + prompter.errors.last()); };
            viewer->ExportAllClick();
        } else if (box) {
            const bool here = box->objectName() == open.section(QLatin1Char('+'), 0, 0);
            if (auto* choice = box->findChild<QAbstractButton*>(here ? "AutoDisabledRadioButton"
                                                                     : "Auto16bitRadioButton"))
                choice->click();
            if (auto* device = box->findChild<QComboBox*>("DeviceToSenseBox"))
                device->setEditText(here ? "/dev/ttyUSB1" : "/dev/ttyUSB0");
            if (!here)
                return box->findChild<QAbstractButton*>("OKbutton")->click();
            driver.stop();
            QTimer::singleShot(0, [] { say("open"); });
            if (open.endsWith(QLatin1String("+box")))
                QMessageBox::critical(box, "Error", "A box over the page");
        }
    });
    driver.start(20);
    TLargeForm window(services);
    if (window.hasEnded())
        return 0;
    if (!open.startsWith(QLatin1Char('/')))
        driver.stop();
    QObject::connect(&window, &TLargeForm::ended, &app, [] { QCoreApplication::exit(0); });
    termination.endWith(window);
    window.meter().StartTiming(true);
    clock.advance(5000);
    if (open.isEmpty())
        say("timing");
    else
        QTimer::singleShot(0, &window, &TLargeForm::DataButtonClick);
    return app.exec();
}
