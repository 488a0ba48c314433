#include "ui/FrmSelectClkAct.h"

#include "settings/Strings.h"
#include "ui/FormTranslation.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace quintara::ui {

FrmSelectClkAct::FrmSelectClkAct(const settings::Strings &strings, Commands commands,
                                 QWidget *parent)
    : QDialog(parent), m_commands(std::move(commands))
{
    setObjectName(QStringLiteral("FrmSelectClkAct"));
    setWindowTitle(QStringLiteral("Quintara"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 20);
    layout->setSpacing(8);
    auto add = [this, layout](const char *name, const std::function<void()> *command) {
        auto *button = new QPushButton(this);
        button->setObjectName(QString::fromLatin1(name));
        button->setMinimumSize(300, 32);
        button->setAutoDefault(false);
        layout->addWidget(button);
        if (command)
            connect(button, &QPushButton::clicked, this, [this, command] { run(*command); });
        else
            connect(button, &QPushButton::clicked, this, &QDialog::reject);
        return button;
    };
    add("cmdOpenF", &m_commands.openFile);
    add("CmdLoad", &m_commands.receive);
    add("CmdNew", &m_commands.newTable);
    layout->addSpacing(6);
    add("CmdCancel", nullptr);

    TranslateForm(*this, strings);
    adjustSize();
    setFixedSize(sizeHint());
    CentreForm(*this);
}

void FrmSelectClkAct::run(const std::function<void()> &command)
{
    hide();
    if (command)
        command();
    accept();
}

} // namespace quintara::ui
