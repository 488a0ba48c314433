#include "platform/EventPump.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace quintara::platform {

QtEventPump::QtEventPump()
{
    m_timer.start();
}

void QtEventPump::processEvents(int maxWaitMs)
{
    if (maxWaitMs <= 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return;
    }
    // The timer guarantees a wake-up; any other event (a byte on the line, a click) comes first.
    // A coarse timer may fire 5 % late, which the link's pauses would add up block after block.
    QEventLoop loop;
    QTimer wakeUp;
    wakeUp.setSingleShot(true);
    wakeUp.setTimerType(Qt::PreciseTimer);
    wakeUp.start(maxWaitMs);
    loop.processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

qint64 QtEventPump::msecs() const
{
    return m_timer.elapsed();
}

} // namespace quintara::platform
