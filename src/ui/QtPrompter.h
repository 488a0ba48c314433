#pragma once

#include "platform/Prompter.h"

class QWidget;

namespace quintara::ui {

// Message boxes and the beep on the real screen.
class QtPrompter final : public platform::Prompter {
public:
    explicit QtPrompter(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }

    platform::Answer ask(const platform::Message &message) override;
    void beep() override;

private:
    QWidget *m_parent;
};

} // namespace quintara::ui
