#include "ui/QtPrompter.h"

#include <QApplication>
#include <QMessageBox>

namespace quintara::ui {

namespace {

using platform::Answer;

QMessageBox::StandardButton toStandard(Answer answer)
{
    switch (answer) {
    case Answer::Ok:
        return QMessageBox::Ok;
    case Answer::Cancel:
        return QMessageBox::Cancel;
    case Answer::Yes:
        return QMessageBox::Yes;
    case Answer::No:
        return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

} // namespace

platform::Answer QtPrompter::ask(const platform::Message &message)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(message.title);
    box.setText(message.text);
    switch (message.icon) {
    case platform::Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case platform::Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case platform::Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case platform::Icon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case platform::Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    QMessageBox::StandardButtons buttons;
    Answer first = Answer::Ok;
    switch (message.buttons) {
    case platform::Buttons::Ok:
        buttons = QMessageBox::Ok;
        break;
    case platform::Buttons::OkCancel:
        buttons = QMessageBox::Ok | QMessageBox::Cancel;
        break;
    case platform::Buttons::YesNo:
        buttons = QMessageBox::Yes | QMessageBox::No;
        first = Answer::Yes;
        break;
    case platform::Buttons::YesNoCancel:
        buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        first = Answer::Yes;
        break;
    }
    box.setStandardButtons(buttons);
    box.setDefaultButton(toStandard(message.defaultButton.value_or(first)));

    switch (box.exec()) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        // Escape or the close box: Cancel where there is one, else the only way out.
        if (message.buttons == platform::Buttons::YesNo)
            return Answer::No;
        return message.buttons == platform::Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
}

void QtPrompter::beep()
{
    QApplication::beep();
}

} // namespace quintara::ui
