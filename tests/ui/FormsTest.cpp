#include "tests/ui/WindowTestSupport.h"
#include "ui/FocusFrameStyle.h"
#include "ui/FocusRing.h"
#include "ui/FormTranslation.h"
#include "ui/FrmTaal.h"
#include "ui/Mnemonics.h"

using namespace quintara;

namespace {

template <typename W> W *child(QWidget *parent, const char *name)
{
    auto *w = new W(parent);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

TEST(TranslateForm, WritesTextsOnTheControlsByName)
{
    settings::Strings strings(settings::StringTable::builtIn());
    QDialog edit;
    edit.setObjectName(QStringLiteral("FrmClkEdit"));
    auto *fnc = child<QLabel>(&edit, "LblFnc");
    auto *wknd = child<QRadioButton>(&edit, "OptTabel_2");
    auto *level = child<QLabel>(&edit, "LblLvl");
    auto *stranger = child<QLabel>(&edit, "LblOther");
    stranger->setText(QStringLiteral("mine"));
    ui::TranslateForm(edit, strings);
    EXPECT_EQ(QStringList({edit.windowTitle(), fnc->text(), wknd->text(), level->text(),
                           stranger->text()}),
              QStringList({"Clockline add/edit", strings.GetResString(1019) + ':', "&Wknd", "Level",
                           "mine"}));

    // Toolbar actions and frames of the other forms (the main window's test sees its menus); a
    // second language follows at once.
    QWidget main;
    main.setObjectName(QStringLiteral("FrmKlokken"));
    QToolBar tlb(&main);
    QAction *special = tlb.addAction(QStringLiteral("x"));
    special->setObjectName(QStringLiteral("Tlb_12"));
    auto *test = child<QPushButton>(&main, "CmdTest");
    auto *frame = child<QGroupBox>(&main, "FraCom");
    strings.setLanguageOffset(20000);
    ui::TranslateForm(main, strings);
    const auto builtIn = [](int id) { return *settings::StringTable::builtIn().find(id); };
    EXPECT_EQ(QStringList({special->text(), test->text()}),
              QStringList({builtIn(20987),
                           u'&' + strings.GetResString(992) + u' ' + strings.GetResString(998)}));
    QWidget com;
    com.setObjectName(QStringLiteral("FrmCom"));
    frame->setParent(&com);
    strings.setLanguageOffset(0);
    ui::TranslateForm(com, strings);
    EXPECT_EQ(frame->title(), "Select Baudrate && Port:");
}

TEST(Mnemonics, EachControlGetsAFreeLetterOfItsOwn)
{
    QMainWindow window;
    window.menuBar()->addMenu(QStringLiteral("&File"));
    auto *surface = new QWidget(&window);
    window.setCentralWidget(surface);
    auto *layout = new QVBoxLayout(surface);
    QStringList texts{"Send", "Save", "&Cancel", "Find", "Stop", "S&&S", "Set as start", "&Clear"};
    QList<QPushButton *> buttons;
    for (const QString &text : texts)
        layout->addWidget(buttons.emplace_back(new QPushButton(text)));
    auto *dateLabel = new QLabel(QStringLiteral("Date"));
    auto *date = new QDateEdit;
    dateLabel->setBuddy(date);
    auto *plain = new QLabel(QStringLiteral("Note"));
    auto *tool = new QToolButton;
    tool->setText(QStringLiteral("Tool"));
    auto *tabs = new QTabWidget;
    tabs->addTab(new QWidget, QStringLiteral("Week"));
    tabs->addTab(new QWidget, QStringLiteral("2"));
    for (QWidget *w : std::initializer_list<QWidget *>{dateLabel, date, plain, tool, tabs})
        layout->addWidget(w);
    QDialog owned(&window); // a window of its own: not this one's letters
    auto *ownedButton = new QPushButton(QStringLiteral("Send"), &owned);

    ui::AssignMnemonics(window);
    QStringList given;
    for (QPushButton *button : buttons)
        given.append(button->text());
    // Word starts first, then any free letter; the menu's F, a plain "&&" and a letter a text
    // brings are respected, unless an earlier control has that letter.
    EXPECT_EQ(given, (QStringList{"&Send", "S&ave", "&Cancel", "F&ind", "S&top", "S&&S",
                                  "S&et as start", "C&lear"}));
    EXPECT_EQ((QStringList{dateLabel->text(), plain->text(), tool->text(), ownedButton->text(),
                           tabs->tabText(0), tabs->tabText(1)}),
              (QStringList{"&Date", "Note", "Tool", "Send", "&Week", "2"}));
    // Run again after some texts were set anew (a change of language sets them all, an
    // activation only some), every control keeps its letter.
    buttons[0]->setText(QStringLiteral("Send"));
    tabs->setTabText(0, QStringLiteral("Week"));
    ui::AssignMnemonics(window);
    QStringList again;
    for (QPushButton *button : buttons)
        again.append(button->text());
    EXPECT_EQ(std::pair(again, tabs->tabText(0)), std::pair(given, QString("&Week")));

    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    QTest::keyClick(&window, Qt::Key_D, Qt::AltModifier);
    EXPECT_TRUE(date->hasFocus());
}

// The focus is framed where it is, in colours that stand out: a cell in its row's text colour,
// a button in the highlight (or the text colour where the highlight is pale).
TEST(FocusFrames, StandOutWhereverTheFocusIs)
{
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(239, 239, 239));
    palette.setColor(QPalette::Highlight, QColor(48, 140, 198));
    EXPECT_EQ(ui::FocusFrameStyle::FrameColour(palette), QColor(48, 140, 198));
    palette.setColor(QPalette::Highlight, QColor(204, 232, 255)); // 1.2:1 on the window
    EXPECT_EQ(ui::FocusFrameStyle::FrameColour(palette), palette.color(QPalette::WindowText));

    ui::FocusFrameStyle style(QStringLiteral("Fusion"));
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    QStandardItemModel model(3, 2);
    auto *view = new QTableView;
    view->setModel(&model);
    view->setItemDelegate(new ui::FocusRingDelegate(view));
    QRadioButton *radios[] = {new QRadioButton(QStringLiteral("Cont")),
                              new QRadioButton(QStringLiteral("Wknd"))};
    for (QWidget *w : std::initializer_list<QWidget *>{view, radios[0], radios[1]}) {
        w->setStyle(&style);
        layout->addWidget(w);
    }
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    radios[1]->setFocus(Qt::TabFocusReason);
    const auto framed = [&](QRadioButton *radio) {
        const QImage image = radio->grab().toImage();
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += image.pixelColor(x, y) == style.FrameColour(radio->palette());
        return count;
    };
    EXPECT_TRUE(framed(radios[0]) == 0 &&
                framed(radios[1]) > 2 * radios[1]->fontMetrics().horizontalAdvance("Wknd"));

    view->setFocus();
    const auto leftEdge = [&](int row) {
        const QRect cell = view->visualRect(model.index(row, 1));
        return view->viewport()->grab().toImage().pixelColor(cell.left(), cell.center().y());
    };
    const QPalette colours = view->palette();
    view->selectionModel()->setCurrentIndex(model.index(1, 1), QItemSelectionModel::NoUpdate);
    EXPECT_EQ(std::pair(leftEdge(1), leftEdge(2) == colours.color(QPalette::Text)),
              std::pair(colours.color(QPalette::Text), false));
    view->selectionModel()->select(model.index(1, 1),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(leftEdge(1), colours.color(QPalette::HighlightedText));
}

// A choice through the modal path is the start-up's to test.
TEST(FrmTaal, ClosingTheFormChoosesNoLanguage)
{
    const quintara::testing::window::ModalAnswer close(QStringLiteral("FrmTaal"), QString());
    EXPECT_EQ(ui::FrmTaal::Choose(), -1);
}

} // namespace
