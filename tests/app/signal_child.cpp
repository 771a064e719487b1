// A program that times a call and then waits to be told to end by a signal:
// the main window and the signal handling as the program has them, with fake
// outside services. Prints "timing" once the call runs.
#include "app/TerminationSignals.h"
#include "core/seams/Services.h"
#include "fakes/FakeClock.h"
#include "fakes/FakePrompter.h"
#include "fakes/FakeSoundPlayer.h"
#include "gui/meter/TLargeForm.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    FakeClock clock(46000.5);
    FakePrompter prompter;
    FakeSoundPlayer sound;
    Services services;
    services.programDirectory = QString::fromLocal8Bit(argv[1]);
    services.clock = &clock;
    services.prompter = &prompter;
    services.sound = &sound;
    TLargeForm window(services);
    QObject::connect(&window, &TLargeForm::ended, &app, [] { QCoreApplication::exit(0); });
    const TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::received, &window, &TLargeForm::EndOnRequest);
    window.meter().StartTiming(true);
    clock.advance(5000);
    std::puts("timing");
    std::fflush(stdout);
    return app.exec();
}
