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

// A clock that stays where it is set: "now" given on a command line, or a test's moment.
class FixedClock final : public Clock {
public:
    explicit FixedClock(QDateTime at) : at(std::move(at)) {}
    QDateTime now() const override { return at; }

    QDateTime at;
};

} // namespace quintara::platform
