#include "app/TerminationSignals.h"

#include "gui/meter/TLargeForm.h"
#include "gui/shell/WindowModes.h"

#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <initializer_list>

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

namespace {
int signalPipe[2] = {-1, -1};
pthread_t eventLoopThread;
constexpr std::initializer_list<int> Handled = {SIGTERM, SIGHUP, SIGINT};

extern "C" void onSignal(int signalNumber) {
    const int savedErrno = errno;
    const unsigned char number = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &number, 1);
    // Any thread may take the signal; the event loop's thread is told too, so
    // that a wait there (for a pipe's reader) is cut short at once.
    if (!pthread_equal(pthread_self(), eventLoopThread))
        pthread_kill(eventLoopThread, signalNumber);
    errno = savedErrno;
}

extern "C" void onBrokenPipe(int) {}

void setHandler(void (*handler)(int), std::initializer_list<int> signalNumbers = Handled) {
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signalNumber : signalNumbers)
        sigaction(signalNumber, &action, nullptr);
}
} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // the signals keep their default course
    eventLoopThread = pthread_self();
    m_notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readPipe);
    setHandler(onSignal);
}

TerminationSignals::~TerminationSignals() {
    letGo();
}

void TerminationSignals::endWith(TLargeForm& window) {
    m_window = &window;
    connect(&window, &TLargeForm::callsLogged, this, &TerminationSignals::letGo);
    if (m_told)
        QTimer::singleShot(0, &window, &TLargeForm::EndOnRequest);
}

void TerminationSignals::letGo() {
    if (!m_notifier)
        return;
    setHandler(SIG_DFL);
    delete m_notifier;
    m_notifier = nullptr;
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

// A handler that does nothing rather than SIG_IGN, which the programs started
// from here (the file manager) would inherit.
void TerminationSignals::ignoreBrokenPipes() {
    setHandler(onBrokenPipe, {SIGPIPE});
}

void TerminationSignals::readPipe() {
    unsigned char numbers[16];
    const ssize_t count = ::read(signalPipe[0], numbers, sizeof numbers);
    if (count <= 0 || m_told)
        return;
    m_told = true;
    emit received(numbers[0]);
    // The running call is logged first; then no box left open holds the end up.
    if (m_window)
        m_window->EndOnRequest();
    WindowModes::endWaitingBoxes();
}
