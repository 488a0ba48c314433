#include "settings/Strings.h"
#include "tests/support/ScriptedPrompter.h"
#include "ui/FormTranslation.h"
#include "ui/FrmTaal.h"

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

using namespace quintara;

namespace {

template <typename W> W *child(QWidget *parent, const char *name, const QString &text = {})
{
    auto *w = new W(parent);
    w->setObjectName(QString::fromLatin1(name));
    if constexpr (std::is_base_of_v<QAbstractButton, W> || std::is_same_v<W, QLabel>)
        w->setText(text.isEmpty() ? QStringLiteral("designed") : text);
    return w;
}

TEST(TranslateForm, WritesTextsOnTheControlsByName)
{
    quintara::testing::ScriptedPrompter prompter;
    settings::Strings strings(settings::StringTable::builtIn());

    QDialog edit;
    edit.setObjectName(QStringLiteral("FrmClkEdit"));
    auto *fnc = child<QLabel>(&edit, "LblFnc");
    auto *wknd = child<QRadioButton>(&edit, "OptTabel_2");
    auto *ok = child<QPushButton>(&edit, "CmdOK");
    auto *stranger = child<QLabel>(&edit, "LblOther", QStringLiteral("mine"));
    ui::TranslateForm(edit, strings);
    EXPECT_EQ(edit.windowTitle(), "Clockline add/edit");
    EXPECT_EQ(fnc->text(), strings.GetResString(1019) + u':');
    EXPECT_EQ(wknd->text(), "Wknd");
    EXPECT_EQ(ok->text(), "OK");
    EXPECT_EQ(stranger->text(), "mine");

    // Menus, toolbar actions and frames of the other forms; a second language follows at once.
    QWidget main;
    main.setObjectName(QStringLiteral("FrmKlokken"));
    QMenuBar bar(&main);
    QMenu *file = bar.addMenu(QStringLiteral("x"));
    file->setObjectName(QStringLiteral("mmuFile"));
    QAction *close = file->addAction(QStringLiteral("x"));
    close->setObjectName(QStringLiteral("mmuClose"));
    QToolBar tlb(&main);
    QAction *special = tlb.addAction(QStringLiteral("x"));
    special->setObjectName(QStringLiteral("Tlb_12"));
    auto *test = child<QPushButton>(&main, "CmdTest");
    strings.setLanguageOffset(20000);
    ui::TranslateForm(main, strings);
    EXPECT_EQ(file->title(), *settings::StringTable::builtIn().find(22200));
    EXPECT_EQ(close->text(), *settings::StringTable::builtIn().find(22206));
    EXPECT_EQ(special->text(), *settings::StringTable::builtIn().find(20987));
    EXPECT_EQ(test->text(), strings.GetResString(992) + u' ' + strings.GetResString(998));

    QWidget com;
    com.setObjectName(QStringLiteral("FrmCom"));
    auto *frame = new QGroupBox(&com);
    frame->setObjectName(QStringLiteral("FraCom"));
    strings.setLanguageOffset(0);
    ui::TranslateForm(com, strings);
    EXPECT_EQ(frame->title(), "Select Baudrate && Port:");
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST(FrmTaal, ButtonsCarryFixedNamesAndReturnTheChoice)
{
    ui::FrmTaal form;
    const QStringList expected = {"English", "Nederlands", "Français", "Deutsch",
                                  "Spaans",  "Italiaans",  "Português"};
    for (int i = 0; i < 7; ++i) {
        auto *button = form.findChild<QPushButton *>(QStringLiteral("CmdTaal_%1").arg(i));
        ASSERT_NE(button, nullptr) << i;
        EXPECT_EQ(button->text(), expected[i]);
    }
    EXPECT_EQ(form.chosenLanguage(), -1);

    // Through the modal path, as the settings reader uses it.
    QTimer::singleShot(0, [] {
        auto *modal = qobject_cast<ui::FrmTaal *>(QApplication::activeModalWidget());
        ASSERT_NE(modal, nullptr);
        QTest::mouseClick(modal->findChild<QPushButton *>(QStringLiteral("CmdTaal_3")),
                          Qt::LeftButton);
    });
    QTimer::singleShot(2000, [] {
        if (QWidget *left = QApplication::activeModalWidget())
            left->close();
    });
    EXPECT_EQ(ui::FrmTaal::Choose(), 3);

    QTimer::singleShot(0, [] {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    EXPECT_EQ(ui::FrmTaal::Choose(), -1);

    // Text really renders: two different captions don't paint the same pixels.
    form.show();
    auto *en = form.findChild<QPushButton *>(QStringLiteral("CmdTaal_0"));
    auto *nl = form.findChild<QPushButton *>(QStringLiteral("CmdTaal_1"));
    EXPECT_NE(en->grab().toImage(), nl->grab().toImage());
}

} // namespace
