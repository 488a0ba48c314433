#include "ui/FormTranslation.h"

#include "settings/FormTexts.h"
#include "ui/Mnemonics.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QWidget>

namespace quintara::ui {

namespace {

void setText(QObject *target, const QString &text)
{
    if (auto *button = qobject_cast<QAbstractButton *>(target))
        button->setText(text);
    else if (auto *label = qobject_cast<QLabel *>(target))
        label->setText(text);
    else if (auto *menu = qobject_cast<QMenu *>(target))
        menu->setTitle(text);
    else if (auto *action = qobject_cast<QAction *>(target))
        action->setText(text);
    else if (auto *group = qobject_cast<QGroupBox *>(target))
        group->setTitle(text);
}

} // namespace

void TranslateForm(QWidget &form, const settings::Strings &strings)
{
    for (const settings::ControlText &control : settings::FormTexts(form.objectName())) {
        const QString text = settings::ComposeText(control.recipe, strings);
        if (control.control.isEmpty()) {
            form.setWindowTitle(text);
            continue;
        }
        if (QObject *target = form.findChild<QObject *>(control.objectName()))
            setText(target, text);
    }
    AssignMnemonics(form);
}

void CentreForm(QWidget &form)
{
    const QScreen *screen = form.screen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QSize size = form.frameGeometry().size();
    form.move(area.x() + area.width() / 2 - size.width() / 2,
              area.y() + area.height() / 2 - size.height() / 2);
}

} // namespace quintara::ui
