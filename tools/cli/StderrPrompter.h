#pragma once

#include "platform/Prompter.h"

namespace quintara::cli {

// The command line's adapter for what operations tell, and for what they would ask: the text
// goes to standard error, a line a message, and a question takes its default button. Nobody is
// asked, so nothing waits for a person.
class StderrPrompter final : public platform::Prompter, public platform::NoticeSink {
public:
    platform::Answer ask(const platform::Message &message) override;
    void beep() override {}

    using NoticeSink::tell;
    void tell(const platform::Notice &notice) override { write(notice.text); }

    // How many messages were shown, for commands whose outcome depends on having said nothing.
    int messageCount() const { return m_count; }

    // What the messages are about, named before each one (the file being read, when a command
    // reads several); empty for none.
    void setSubject(const QString &subject) { m_subject = subject; }

private:
    void write(QString text);

    int m_count = 0;
    QString m_subject;
};

} // namespace quintara::cli
