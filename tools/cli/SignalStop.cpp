#include "tools/cli/SignalStop.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace quintara::cli {

namespace {

// The write end of the self-pipe. A signal handler can reach nothing but a global, and may do
// nothing but async-signal-safe calls such as write(); everything else happens on the event
// loop when the byte arrives. Set before the handlers are installed and cleared after they
// are gone, so a handler never sees it change.
volatile sig_atomic_t signalPipeWrite = -1;

void OnSignal(int signal)
{
    const int saved = errno;
    const auto byte = static_cast<char>(signal);
    if (signalPipeWrite >= 0)
        [[maybe_unused]] const ssize_t written = ::write(signalPipeWrite, &byte, 1);
    errno = saved;
}

constexpr std::array<int, 2> Signals = {SIGINT, SIGTERM};

} // namespace

SignalStop::SignalStop(std::function<void()> onSignal) : m_onSignal(std::move(onSignal))
{
    if (::pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    signalPipeWrite = m_pipe[1];
    m_notifier = std::make_unique<QSocketNotifier>(m_pipe[0], QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(),
                     [this] { readPipe(); });
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < Signals.size(); ++i)
        sigaction(Signals[i], &action, &m_previous[i]);
}

SignalStop::~SignalStop()
{
    if (m_pipe[0] < 0)
        return;
    for (std::size_t i = 0; i < Signals.size(); ++i)
        sigaction(Signals[i], &m_previous[i], nullptr);
    signalPipeWrite = -1;
    m_notifier.reset();
    ::close(m_pipe[0]);
    ::close(m_pipe[1]);
}

bool SignalStop::drainPipe()
{
    const int before = m_caught;
    char byte = 0;
    while (m_pipe[0] >= 0 && ::read(m_pipe[0], &byte, 1) == 1) {
        if (m_caught == 0)
            m_caught = static_cast<unsigned char>(byte);
    }
    return before == 0 && m_caught != 0;
}

void SignalStop::readPipe()
{
    if (drainPipe() && m_onSignal)
        m_onSignal();
}

int SignalStop::caught()
{
    drainPipe();
    return m_caught;
}

} // namespace quintara::cli
