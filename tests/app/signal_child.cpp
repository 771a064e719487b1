// A program that times a call and then waits to be told to end by a signal:
// the main window and the signal handling as the program has them, with fake
// outside services. Prints "timing" once the call runs. Given a second signal's
// number, it sends itself that signal the moment it is told to end, before the
// call is logged, as a session manager that sends two may.
#include "app/TerminationSignals.h"
#include "core/seams/Services.h"
#include "fakes/FakeClock.h"
#include "fakes/FakePrompter.h"
#include "fakes/FakeSoundPlayer.h"
#include "gui/meter/TLargeForm.h"

#include <QApplication>

#include <csignal>
#include <cstdio>
#include <cstdlib>

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
    TerminationSignals termination;
    if (const int second = argc > 2 ? std::atoi(argv[2]) : 0) {
        QObject::connect(&termination, &TerminationSignals::received, [second] { std::raise(second); });
    }
    QObject::connect(&termination, &TerminationSignals::received, &window, &TLargeForm::EndOnRequest);
    QObject::connect(&window, &TLargeForm::callsLogged, &termination, &TerminationSignals::letGo);
    window.meter().StartTiming(true);
    clock.advance(5000);
    std::puts("timing");
    std::fflush(stdout);
    return app.exec();
}
