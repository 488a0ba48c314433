#include "tests/ui/WindowTestSupport.h"
#include "ui/FormTranslation.h"
#include "ui/FrmTaal.h"

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

TEST(FrmTaal, ButtonsCarryFixedNamesAndClosingChoosesNone)
{
    ui::FrmTaal form;
    const QStringList expected = {"English", "Nederlands", "Français", "Deutsch",
                                  "Spaans",  "Italiaans",  "Português"};
    QStringList shown;
    for (int i = 0; i < 7; ++i)
        shown << form.findChild<QPushButton *>(QStringLiteral("CmdTaal_%1").arg(i))->text();
    EXPECT_EQ(shown, expected);
    // A choice through the modal path is the start-up's to test; closing it chooses nothing.
    const quintara::testing::window::ModalAnswer close(QStringLiteral("FrmTaal"), QString());
    EXPECT_EQ(ui::FrmTaal::Choose(), -1);

    // Text really renders: two different captions don't paint the same pixels.
    form.show();
    const auto picture = [&form](int i) {
        return form.findChild<QPushButton *>(QStringLiteral("CmdTaal_%1").arg(i))->grab().toImage();
    };
    EXPECT_NE(picture(0), picture(1));
}

} // namespace
