// The sun in the main window: the project's location chosen from the menu, the night it shades
// in the week and the sun rows of the agenda, and Retime to the sun as one step of the history.
#include "plan/ProjectLocation.h"
#include "plan/SunRetime.h"
#include "presentation/AgendaModel.h"
#include "tests/ui/WindowTestSupport.h"
#include "ui/AgendaView.h"
#include "ui/FrmKlokken.h"
#include "ui/WeekView.h"

using namespace quintara;
using namespace quintara::testing::window;
using platform::Answer;

namespace {

const plan::Location Amsterdam = std::get<plan::Location>(plan::Location::make(52.37, 4.89));

struct SunWindowTest : ProgramTest {
    std::unique_ptr<ui::FrmKlokken> window;

    SunWindowTest()
    {
        useModelZero();
        program.settings.nbtFile = dir.filePath(QStringLiteral("house.nbt"));
        window = std::make_unique<ui::FrmKlokken>(program, dialogs);
        window->resize(window->sizeHint());
        window->show();
    }
    ~SunWindowTest() override
    {
        window.reset();
        EXPECT_TRUE(prompter.allAnswered());
    }

    // Runs a menu item whose modal dialog `answer` fills in; a dialog still open after it is
    // closed, so that a failed expectation can't hang the test.
    void run(const char *item, const std::function<void(QDialog &)> &answer = {})
    {
        // Dies with the call: an item that shows no dialog leaves nothing to answer the next.
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [answer] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            if (answer)
                answer(*dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        timer.start(0);
        Named<QAction>(window.get(), QString::fromLatin1(item))->trigger();
    }

    QTimeZone zone() const { return clock.now().timeZone(); }
};

TEST_F(SunWindowTest, TheLocationFromTheMenuShadesTheWeekAndPutsTheSunInTheAgenda)
{
    EXPECT_TRUE(window->Pic()->nights().empty());

    // A latitude beyond the pole is refused in the dialog, which stays open; a pasted pair
    // fills both fields.
    QString refused;
    run("mmuFileLocation", [&refused](QDialog &dialog) {
        auto *latitude = Named<QLineEdit>(&dialog, "txtLatitude");
        QTest::keyClicks(latitude, "95");
        QTest::keyClicks(Named<QLineEdit>(&dialog, "txtLongitude"), "4.89");
        Named<QDialogButtonBox>(&dialog, "")->button(QDialogButtonBox::Ok)->click();
        EXPECT_TRUE(dialog.isVisible());
        refused = Named<QLabel>(&dialog, "lblRefusal")->text();
        latitude->clear();
        QGuiApplication::clipboard()->setText(QStringLiteral("52.37,4.89"));
        latitude->paste();
        EXPECT_EQ(latitude->text(), "52.37");
        EXPECT_EQ(Named<QLineEdit>(&dialog, "txtLongitude")->text(), "4.89");
        Named<QDialogButtonBox>(&dialog, "")->button(QDialogButtonBox::Ok)->click();
    });
    EXPECT_TRUE(refused.contains("latitude 95")) << refused.toStdString();
    EXPECT_EQ(plan::ReadProjectLocation(program.profile, program.settings.nbtFile), Amsterdam);
    EXPECT_EQ(window->Pic()->nights(), ui::WeekNights(Amsterdam, Monday, zone()));

    // The agenda of this week: a sunrise and a sunset each day, leading to no line.
    window->views().agenda()->refresh();
    const QAbstractItemModel *agenda = window->views().agenda()->tableView()->model();
    int sunRows = 0;
    for (int r = 0; r < agenda->rowCount(); ++r)
        sunRows += agenda->index(r, 0).data(ui::AgendaModel::SunRole).toBool();
    EXPECT_EQ(sunRows, 14);

    // None takes it away again, here and in the settings file.
    run("mmuFileLocation", [](QDialog &dialog) { Named<QPushButton>(&dialog, "cmdNone")->click(); });
    EXPECT_EQ(plan::ReadProjectLocation(program.profile, program.settings.nbtFile), std::nullopt);
    EXPECT_TRUE(window->Pic()->nights().empty());
    window->views().agenda()->refresh();
    EXPECT_EQ(agenda->rowCount(), 0);
}

TEST_F(SunWindowTest, RetimeToTheSunIsOneStepOfTheHistoryAndIsRefusedWithoutALocationOrLines)
{
    put(0, Line(Monday.addDays(3), 19, 30, clock::Workday, clock::Days, 1));
    put(1, Line(Monday.addDays(4), 6, 0, clock::Weekend, clock::Once, 0));
    window->ScrWeeks_Change();

    // Without a location, and then without a chosen line: told, nothing asked.
    prompter.expect(Answer::Ok);
    run("mmuRetimeSun");
    EXPECT_TRUE(lastMessage().contains("No location")) << lastMessage().toStdString();
    run("mmuFileLocation", [](QDialog &dialog) {
        QTest::keyClicks(Named<QLineEdit>(&dialog, "txtLatitude"), "52.37");
        QTest::keyClicks(Named<QLineEdit>(&dialog, "txtLongitude"), "4.89");
        Named<QDialogButtonBox>(&dialog, "")->button(QDialogButtonBox::Ok)->click();
    });
    window->weekInput().clearSelection();
    prompter.expect(Answer::Ok);
    run("mmuRetimeSun");
    EXPECT_TRUE(lastMessage().contains("Choose the lines")) << lastMessage().toStdString();

    // Line 0 chosen: civil dusk plus a quarter of an hour on today's date.
    window->selectLine(0);
    const auto before = program.clockTable.Lines;
    const int steps = window->history().stack().count();
    QStringList preview;
    run("mmuRetimeSun", [&preview](QDialog &dialog) {
        auto *event = Named<QComboBox>(&dialog, "cboSunEvent");
        event->setCurrentIndex(event->findData(int(plan::SunEvent::CivilDusk)));
        Named<QSpinBox>(&dialog, "spnOffset")->setValue(15);
        auto *list = Named<QListWidget>(&dialog, "lstRetime");
        for (int k = 0; k < list->count(); ++k)
            preview << list->item(k)->text();
        Named<QPushButton>(&dialog, "cmdApplyRetime")->click();
    });
    const QTime dusk =
        plan::NearestMinute(*plan::SunTimes(Amsterdam, Today, zone()).dusk).addSecs(15 * 60).time();
    clock::ClockLine expected = before[0];
    expected.Hour = quint8(dusk.hour());
    expected.Minute = quint8(dusk.minute());
    EXPECT_EQ(program.clockTable.Lines[0], expected);
    EXPECT_EQ(program.clockTable.Lines[1], before[1]);
    ASSERT_EQ(preview.size(), 1);
    EXPECT_TRUE(preview[0].contains(QStringLiteral("19:30 → ") + dusk.toString("HH:mm")))
        << preview[0].toStdString();
    EXPECT_TRUE(program.clockTable.TableChanged);

    // One step, and undone as one.
    EXPECT_EQ(window->history().stack().count(), steps + 1);
    EXPECT_EQ(window->history().stack().undoText(), "Retime to the sun");
    window->history().stack().undo();
    EXPECT_EQ(program.clockTable.Lines, before);
}

} // namespace
