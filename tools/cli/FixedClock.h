#pragma once

#include "platform/Clock.h"

namespace quintara::cli {

// "Now" as the command line gives it, so that a script gets the same answer any day.
class FixedClock final : public platform::Clock {
public:
    explicit FixedClock(QDateTime at) : m_at(std::move(at)) {}
    QDateTime now() const override { return m_at; }

private:
    QDateTime m_at;
};

} // namespace quintara::cli
