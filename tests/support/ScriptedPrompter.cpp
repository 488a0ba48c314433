#include "tests/support/ScriptedPrompter.h"

#include <gtest/gtest.h>

namespace quintara::testing {

platform::Answer ScriptedPrompter::ask(const platform::Message &message)
{
    shown.append(message);
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    if (!m_lenient)
        ADD_FAILURE() << "unexpected message: \"" << message.text.toStdString() << "\" ("
                      << message.title.toStdString() << ")";
    if (message.defaultButton)
        return *message.defaultButton;
    switch (message.buttons) {
    case platform::Buttons::Ok:
    case platform::Buttons::OkCancel:
        return platform::Answer::Ok;
    case platform::Buttons::YesNo:
    case platform::Buttons::YesNoCancel:
        return platform::Answer::Yes;
    }
    return platform::Answer::Ok;
}

} // namespace quintara::testing
