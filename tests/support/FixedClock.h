#pragma once

#include "platform/Clock.h"

namespace quintara::testing {

class FixedClock final : public platform::Clock {
public:
    explicit FixedClock(QDateTime at) : at(std::move(at)) {}
    QDateTime now() const override { return at; }
    QDateTime at;
};

} // namespace quintara::testing
