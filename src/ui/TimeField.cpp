#include "ui/TimeField.h"

#include "presentation/TimeInput.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionSpinBox>

#include <algorithm>

namespace quintara::ui {

namespace {

constexpr int HourDigits = 2; // the shown text is "HH:mm"

} // namespace

TimeField::TimeField(QWidget *parent) : QAbstractSpinBox(parent)
{
    setAccelerated(true);
    lineEdit()->installEventFilter(this);
    connect(this, &QAbstractSpinBox::editingFinished, this, [this] { takeTypedText(); });
    showTime(m_time);
}

void TimeField::setTime(QTime time)
{
    if (!time.isValid())
        return;
    m_time = QTime(time.hour(), time.minute());
    showTime(m_time);
}

bool TimeField::takeTypedText()
{
    const std::optional<QTime> typed = ParseTypedTime(text());
    if (typed)
        m_time = *typed;
    else
        emit refused();
    if (text() != TimeFieldText(m_time))
        showTime(m_time);
    return typed.has_value();
}

QValidator::State TimeField::validate(QString &input, int &) const
{
    switch (CheckTypedTime(input)) {
    case TypedTimeState::Acceptable:
        return QValidator::Acceptable;
    case TypedTimeState::Intermediate:
        return QValidator::Intermediate;
    case TypedTimeState::Invalid:
        break;
    }
    return QValidator::Invalid;
}

void TimeField::stepBy(int steps)
{
    const bool hours = cursorInHours();
    // Half-typed text is settled first, so the step starts from what the field will hold.
    if (!takeTypedText())
        return;
    if (hours)
        m_time.setHMS(std::clamp(m_time.hour() + steps, 0, 23), m_time.minute(), 0);
    else
        m_time.setHMS(m_time.hour(), std::clamp(m_time.minute() + steps, 0, 59), 0);
    showTime(m_time);
    // Keep the stepped part selected, as it is in a date editor.
    if (hours)
        lineEdit()->setSelection(0, HourDigits);
    else
        lineEdit()->setSelection(HourDigits + 1, 2);
}

QAbstractSpinBox::StepEnabled TimeField::stepEnabled() const
{
    const int value = cursorInHours() ? m_time.hour() : m_time.minute();
    const int last = cursorInHours() ? 23 : 59;
    StepEnabled enabled = StepNone;
    if (value > 0)
        enabled |= StepDownEnabled;
    if (value < last)
        enabled |= StepUpEnabled;
    return enabled;
}

QSize TimeField::sizeHint() const
{
    ensurePolished();
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    // Room for the widest time, a blank and the blinking cursor.
    const QSize text(fontMetrics().horizontalAdvance(QStringLiteral("00:00 ")) + 2,
                     lineEdit()->sizeHint().height());
    return style()->sizeFromContents(QStyle::CT_SpinBox, &option, text, this);
}

QSize TimeField::minimumSizeHint() const
{
    return sizeHint();
}

bool TimeField::eventFilter(QObject *watched, QEvent *event)
{
    // The line edit has placed its cursor by now; a drag that marked part of the text keeps it.
    if (watched == lineEdit() && event->type() == QEvent::MouseButtonRelease &&
        m_selectOnRelease) {
        m_selectOnRelease = false;
        if (!lineEdit()->hasSelectedText())
            selectAll();
    }
    return QAbstractSpinBox::eventFilter(watched, event);
}

void TimeField::focusInEvent(QFocusEvent *event)
{
    m_selectOnRelease = event->reason() == Qt::MouseFocusReason;
    QAbstractSpinBox::focusInEvent(event);
}

void TimeField::keyPressEvent(QKeyEvent *event)
{
    // Enter confirms the dialog only with a time in the field; a refused text keeps it open.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !ParseTypedTime(text())) {
        takeTypedText();
        selectAll();
        event->accept();
        return;
    }
    QAbstractSpinBox::keyPressEvent(event);
}

bool TimeField::cursorInHours() const
{
    const QString shown = text();
    qsizetype hourDigits = shown.indexOf(u':');
    if (hourDigits < 0)
        hourDigits = shown.indexOf(u'.');
    if (hourDigits < 0)
        hourDigits = shown.size() <= 2 ? shown.size() : shown.size() - 2;
    const QLineEdit *edit = lineEdit();
    const int at = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    return at < hourDigits || (at == hourDigits && !edit->hasSelectedText());
}

void TimeField::showTime(QTime time)
{
    lineEdit()->setText(TimeFieldText(time));
}

} // namespace quintara::ui
