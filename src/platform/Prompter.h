#pragma once

#include "platform/Outcome.h"

#include <QString>

#include <optional>

namespace quintara::platform {

// Everything the program says to the user in a box, and its beep, goes through here so that
// tests can read what was said and answer for the user.
class Prompter {
public:
    virtual ~Prompter() = default;
    virtual Answer ask(const Message &message) = 0;
    virtual void beep() = 0;

    // Convenience for the common forms.
    Answer show(const Notice &notice)
    {
        return ask(Message{notice.text, notice.title, Buttons::Ok, notice.icon, {}});
    }
    Answer show(const QString &text, const QString &title, Buttons buttons = Buttons::Ok,
                Icon icon = Icon::None, std::optional<Answer> defaultButton = {})
    {
        return ask(Message{text, title, buttons, icon, defaultButton});
    }
};

// The button that takes Enter in a box: the one given, else the first of its set (OK or Yes).
// What a prompter answers when nobody is there to choose.
inline Answer DefaultAnswer(const Message &message)
{
    if (message.defaultButton)
        return *message.defaultButton;
    switch (message.buttons) {
    case Buttons::Ok:
    case Buttons::OkCancel:
        return Answer::Ok;
    case Buttons::YesNo:
    case Buttons::YesNoCancel:
        return Answer::Yes;
    }
    return Answer::Ok;
}

} // namespace quintara::platform
