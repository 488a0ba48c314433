#pragma once

#include <QDateTime>

namespace quintara::platform {

// The current local date and time. Everything that asks "when is now" asks this.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

} // namespace quintara::platform
