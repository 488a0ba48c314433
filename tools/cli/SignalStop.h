#pragma once

#include <QtGlobal>

#include <array>
#include <csignal>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace quintara::cli {

// Turns SIGINT and SIGTERM into a call on the event loop while it lives, so that a transfer
// stops as Cancel stops it (the port closed, its lock file gone) instead of the process dying
// with the port open. The previous handlers come back when it goes.
class SignalStop {
public:
    explicit SignalStop(std::function<void()> onSignal);
    ~SignalStop();
    SignalStop(const SignalStop &) = delete;
    SignalStop &operator=(const SignalStop &) = delete;

    // The signal that came (the first), or 0; also one whose byte the event loop has not yet
    // read.
    int caught();
    // The exit status that tells of it: 128 + the signal's number.
    int exitStatus() const { return 128 + m_caught; }

private:
    // Reads what the handler wrote; true when a signal came that was not known before.
    bool drainPipe();
    void readPipe();

    std::function<void()> m_onSignal;
    int m_pipe[2] = {-1, -1};
    std::array<struct sigaction, 2> m_previous{}; // of SIGINT and SIGTERM
    std::unique_ptr<QSocketNotifier> m_notifier;
    int m_caught = 0;
};

} // namespace quintara::cli
