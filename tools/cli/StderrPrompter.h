#pragma once

#include "platform/Prompter.h"

namespace quintara::cli {

// The boxes of the libraries for a program without a window: the text goes to standard error
// and the box's default button answers. Nobody is asked, so nothing waits for a person.
class StderrPrompter final : public platform::Prompter {
public:
    platform::Answer ask(const platform::Message &message) override;
    void beep() override {}

    // How many messages were shown, for commands whose outcome depends on having said nothing.
    int messageCount() const { return m_count; }

    // What the messages are about, named before each one (the file being read, when a command
    // reads several); empty for none.
    void setSubject(const QString &subject) { m_subject = subject; }

private:
    int m_count = 0;
    QString m_subject;
};

} // namespace quintara::cli
