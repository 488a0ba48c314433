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
    QEventLoop loop;
    QTimer wakeUp;
    wakeUp.setSingleShot(true);
    wakeUp.start(maxWaitMs);
    loop.processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

qint64 QtEventPump::msecs() const
{
    return m_timer.elapsed();
}

} // namespace quintara::platform
