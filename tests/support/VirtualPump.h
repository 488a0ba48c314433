#pragma once

#include "platform/EventPump.h"

#include <functional>
#include <vector>

namespace quintara::testing {

// Virtual time: every wait advances the clock at once, and the hooks (a fake central unit,
// a button the test "presses") run as the pending events would.
class VirtualPump final : public platform::EventPump {
public:
    using Hook = std::function<void(qint64 nowMs)>;

    void processEvents(int maxWaitMs = 0) override
    {
        m_now += maxWaitMs > 0 ? maxWaitMs : 1;
        ++calls;
        for (const auto &hook : m_hooks)
            hook(m_now);
    }
    qint64 msecs() const override { return m_now; }

    void addHook(Hook hook) { m_hooks.push_back(std::move(hook)); }
    void advance(qint64 ms) { m_now += ms; }

    long calls = 0;

private:
    qint64 m_now = 0;
    std::vector<Hook> m_hooks;
};

} // namespace quintara::testing
