#include "app/ShutdownSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

namespace app {

namespace {

int pipeEnds[2] = {-1, -1};
bool g_shuttingDown = false;
constexpr int kSignals[] = {SIGTERM, SIGINT};

void onSignal(int signalNumber) {
    const int saved = errno;
    const char byte = char(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
    errno = saved;
}

sigset_t heldSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (int s : kSignals)
        sigaddset(&set, s);
    return set;
}

} // namespace

ShutdownSignals::ShutdownSignals(QObject *parent) : QObject(parent) {
    if (pipeEnds[0] < 0 && ::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ShutdownSignals::onPipeReadable);
}

ShutdownSignals::~ShutdownSignals() {
    for (int s : kSignals)
        std::signal(s, SIG_DFL);
}

bool ShutdownSignals::shuttingDown() {
    return g_shuttingDown;
}

void ShutdownSignals::install() {
    if (!m_notifier)
        return;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : kSignals)
        ::sigaction(s, &action, nullptr);
    const sigset_t held = heldSignals();
    ::pthread_sigmask(SIG_UNBLOCK, &held, nullptr);
}

void ShutdownSignals::hold() {
    const sigset_t held = heldSignals();
    ::pthread_sigmask(SIG_BLOCK, &held, nullptr);
}

void ShutdownSignals::onPipeReadable() {
    char byte = 0;
    int received = 0;
    while (::read(pipeEnds[0], &byte, 1) == 1)
        received = byte;
    if (!received)
        return;
    // From here on a further signal takes its default course.
    for (int s : kSignals)
        std::signal(s, SIG_DFL);
    m_notifier->setEnabled(false);
    m_requested = true;
    g_shuttingDown = true;
    emit this->received(received);
    // exit() rather than quit(): windows are not asked to close (a form in
    // edit mode would ask whether to keep the typing); every nested loop
    // ends and any loop started afterwards returns at once.
    QCoreApplication::exit(0);
}

} // namespace app
