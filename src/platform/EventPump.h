#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

namespace quintara::platform {

// Lets pending events run while a long operation waits, on the one user-interface thread.
class EventPump {
public:
    virtual ~EventPump() = default;

    // Runs the events that are pending. With maxWaitMs > 0 it sleeps until an event arrives
    // or maxWaitMs have passed, so a waiting loop does not spin a core.
    virtual void processEvents(int maxWaitMs = 0) = 0;

    // Monotonic milliseconds from an arbitrary start.
    virtual qint64 msecs() const = 0;
};

class QtEventPump final : public EventPump {
public:
    QtEventPump();
    void processEvents(int maxWaitMs = 0) override;
    qint64 msecs() const override;

private:
    QElapsedTimer m_timer;
};

} // namespace quintara::platform
