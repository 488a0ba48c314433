#include "ui/FrmTaal.h"

#include "ui/FormTranslation.h"
#include "ui/Mnemonics.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quintara::ui {

const QStringList &FrmTaal::LanguageNames()
{
    static const QStringList names = {
        QStringLiteral("English"),  QStringLiteral("Nederlands"), QStringLiteral("Français"),
        QStringLiteral("Deutsch"),  QStringLiteral("Spaans"),     QStringLiteral("Italiaans"),
        QStringLiteral("Português"),
    };
    return names;
}

FrmTaal::FrmTaal(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmTaal"));
    setWindowTitle(QStringLiteral("Quintara"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->setSpacing(6);
    auto *globe = new QLabel(QStringLiteral("Language · Taal · Langue · Sprache · Idioma · Lingua"),
                             this);
    globe->setAlignment(Qt::AlignCenter);
    QFont small = globe->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    globe->setFont(small);
    layout->addWidget(globe);
    layout->addSpacing(6);

    const QStringList &names = LanguageNames();
    for (int i = 0; i < names.size(); ++i) {
        auto *button = new QPushButton(names[i], this);
        button->setObjectName(QStringLiteral("CmdTaal_%1").arg(i));
        button->setMinimumWidth(200);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, i] {
            m_chosen = i;
            accept();
        });
        layout->addWidget(button);
    }
    adjustSize();
    setFixedSize(sizeHint());
    AssignMnemonics(*this);
}

int FrmTaal::Choose(QWidget *parent)
{
    FrmTaal form(parent);
    CentreForm(form);
    form.exec();
    return form.chosenLanguage();
}

} // namespace quintara::ui
