#pragma once

#include "platform/Outcome.h"
#include "platform/Prompter.h"

namespace quintara::ui {

// The window's adapter for what operations tell: every notice is a box with OK, with its text,
// title and icon, one after the other in the order told.
class NoticeBoxes final : public platform::NoticeSink {
public:
    explicit NoticeBoxes(platform::Prompter &prompter) : m_prompter(prompter) {}

    using NoticeSink::tell;
    void tell(const platform::Notice &notice) override { m_prompter.show(notice); }

private:
    platform::Prompter &m_prompter;
};

} // namespace quintara::ui
