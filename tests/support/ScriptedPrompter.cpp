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
    return platform::DefaultAnswer(message);
}

} // namespace quintara::testing
