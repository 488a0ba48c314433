#pragma once

#include "platform/Prompter.h"

namespace quintara::fuzzing {

// Nobody reads the boxes of a fuzz run: each is answered at once, with its default button or OK.
class SilentPrompter final : public platform::Prompter {
public:
    platform::Answer ask(const platform::Message &message) override
    {
        return message.defaultButton.value_or(platform::Answer::Ok);
    }
    void beep() override {}
};

} // namespace quintara::fuzzing
