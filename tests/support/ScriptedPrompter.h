#pragma once

#include "platform/Prompter.h"

#include <QList>

namespace quintara::testing {

// Records every message and answers from a queue the test fills. A message that finds the
// queue empty fails the test, so no box goes unnoticed.
class ScriptedPrompter final : public platform::Prompter {
public:
    platform::Answer ask(const platform::Message &message) override;
    void beep() override { ++beeps; }

    // Queue the answer to the next message.
    void expect(platform::Answer answer) { m_answers.append(answer); }
    // Answer every message with its default (OK / the default button) without failing.
    void answerAllWithDefault(bool on = true) { m_lenient = on; }

    QList<platform::Message> shown;
    int beeps = 0;
    bool allAnswered() const { return m_answers.isEmpty(); }

private:
    QList<platform::Answer> m_answers;
    bool m_lenient = false;
};

} // namespace quintara::testing
