#include "ui/UpDown.h"

#include <QToolButton>
#include <QVBoxLayout>

namespace quintara::ui {

namespace {

QToolButton *arrowButton(QWidget *parent, Qt::ArrowType arrow, const char *name)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    return button;
}

} // namespace

UpDown::UpDown(QWidget *parent)
    : QWidget(parent), m_up(arrowButton(this, Qt::UpArrow, "up")),
      m_down(arrowButton(this, Qt::DownArrow, "down"))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_up);
    layout->addWidget(m_down);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(m_up, &QToolButton::clicked, this, &UpDown::up);
    connect(m_down, &QToolButton::clicked, this, &UpDown::down);
}

void UpDown::setButtonHeight(int height)
{
    const int half = qMax(8, height / 2);
    for (QToolButton *button : {m_up, m_down})
        button->setFixedSize(qMax(16, half + 4), half);
    setFixedSize(qMax(16, half + 4), 2 * half);
}

} // namespace quintara::ui
