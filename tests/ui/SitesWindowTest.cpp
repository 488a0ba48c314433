#include "tests/ui/WindowTestSupport.h"

#include "book/SiteBook.h"
#include "clock/TableDiff.h"
#include "plan/ProjectLocation.h"
#include "tests/support/CentralSimProcess.h"
#include "ui/ClockMain.h"
#include "ui/FileCommands.h"
#include "ui/FrmKlokken.h"
#include "ui/SiteDialog.h"
#include "ui/SitesWindow.h"
#include "ui/SunCommands.h"
#include "ui/TableHistory.h"
#include "ui/WeekView.h"

namespace quintara::testing::window {
namespace {

// The site book's window over a book of two sites, opening into a real main window.
struct SitesWindowTest : ProgramTest {
    QByteArray received;
    QByteArray saved;
    std::unique_ptr<ui::FrmKlokken> window;
    std::unique_ptr<ui::SitesWindow> sites;
    qint64 villa = 0;

    SitesWindowTest()
    {
        useModelZero();
        // Lines still to come today: the window has no dates to bring up to date.
        put(0, Line(Today, 23, 0, 1, 0, 0));
        saved = clock::ClockFileImage(program.clockTable);
        put(1, Line(Today, 22, 15, 1, 0, 0));
        received = clock::ClockFileImage(program.clockTable);
        clock::ClearClockTable(program.clockTable);
        program.book = std::make_unique<book::SiteBook>();
        book::BookLocation location;
        location.path = dir.filePath(QStringLiteral("book.sqlite"));
        EXPECT_TRUE(program.book->open(location).ok());
        book::Site site;
        site.name = QStringLiteral("Farm");
        program.book->addSite(site);
        site.name = QStringLiteral("Villa Sol");
        std::vector<book::TableVersion> versions(2);
        versions[0].clockImage = saved;
        versions[1].event = book::VersionEvent::Received;
        versions[1].clockImage = received;
        villa = program.book->addSite(site, FileBytes(DemoProject()), versions).value;

        window = std::make_unique<ui::FrmKlokken>(program, dialogs);
        sites = std::make_unique<ui::SitesWindow>(*program.book, window.get());
        sites->open = [this](const ui::SiteChoice &choice) {
            return window->files().OpenSite(choice);
        };
    }
    std::vector<book::TableVersion> history() { return program.book->history(villa, true).value; }
    book::Site villaRecord() const { return program.book->site(QStringLiteral("Villa Sol")).value; }
    QByteArray table() const { return clock::ClockFileImage(program.clockTable); }
    // The times of the lines in use: what the window shows of a table, whose reference dates
    // it brings to the week in view.
    static QStringList Times(const QByteArray &image)
    {
        clock::ClockTable table;
        clock::ReadClockImage(table, image);
        QStringList times;
        for (const clock::ClockLine &line : table.Lines)
            if (line.inUse())
                times << QStringLiteral("%1:%2").arg(line.Hour).arg(line.Minute);
        return times;
    }
    QStringList times() const { return Times(table()); }
};

TEST_F(SitesWindowTest, ASiteFoundByTypingOpensSavesAndRestoresThroughTheBook)
{
    EXPECT_EQ(sites->siteList()->model()->rowCount(), 2);
    QTest::keyClicks(sites->searchField(), QStringLiteral("VIL"));
    EXPECT_EQ(std::tuple(sites->siteList()->model()->rowCount(),
                         sites->historyList()->model()->rowCount(),
                         sites->historyList()->model()->index(1, 3).data().toString()),
              std::tuple(1, 2, QStringLiteral("received")));

    // Enter in the search field opens the site found, its latest table unchanged.
    QTest::keyClick(sites->searchField(), Qt::Key_Return);
    EXPECT_TRUE(times() == Times(received) && !program.clockTable.TableChanged);
    window->RefreshStatus();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Quintara - Villa Sol[*]"));

    // Save keeps the edited table as the next version, no file dialog asked.
    put(3, Line(Today, 21, 30, 1, 0, 0));
    program.clockTable.TableChanged = true;
    window->files().Save();
    EXPECT_EQ(std::tuple(history().size(), history().back().event, history().back().clockImage,
                         program.clockTable.TableChanged),
              std::tuple(std::size_t(3), book::VersionEvent::Saved, table(), false));
    const QStringList edited = times();

    // The first version put back: kept as a version of its own, and one undo step away.
    sites->reload();
    sites->historyList()->selectRow(0);
    sites->restoreButton()->click();
    EXPECT_EQ(std::tuple(times(), history().size(), history().back().event,
                         history().back().restoredFrom),
              std::tuple(Times(saved), std::size_t(4), book::VersionEvent::Restored, 1));
    window->history().stack().undo();
    EXPECT_EQ(times(), edited);

    // A new table belongs to no site any more.
    prompter.expect(platform::Answer::No);
    window->files().NewTable();
    EXPECT_TRUE(window->files().siteInEditor().isEmpty());
}

TEST_F(SitesWindowTest, ASaveAfterSomeoneElseKeptANewerVersionAsksWhichGoesOn)
{
    QTest::keyClicks(sites->searchField(), QStringLiteral("villa"));
    sites->openButton()->click();
    // Another technician keeps a table of their own meanwhile.
    book::TableVersion theirs;
    theirs.user = QStringLiteral("bob");
    theirs.clockImage = saved;
    ASSERT_EQ(program.book->addVersion(villa, theirs).value, 3);

    put(5, Line(Today, 20, 0, 1, 0, 0));
    program.clockTable.TableChanged = true;
    const QStringList mine = times();
    const auto save = [this](platform::Answer answer) {
        prompter.expect(answer);
        window->files().Save();
        return std::tuple(history().size(), Times(history().back().clockImage), times(),
                          program.clockTable.TableChanged);
    };
    EXPECT_EQ(save(platform::Answer::Cancel), std::tuple(std::size_t(3), Times(saved), mine, true));
    EXPECT_TRUE(lastMessage().startsWith(QStringLiteral("bob kept version 3 of Villa Sol")))
        << lastMessage().toStdString();
    EXPECT_EQ(save(platform::Answer::Yes), std::tuple(std::size_t(4), mine, mine, false));

    // Once more, and this time theirs is taken.
    ASSERT_EQ(program.book->addVersion(villa, theirs).value, 5);
    put(6, Line(Today, 19, 0, 1, 0, 0));
    EXPECT_EQ(save(platform::Answer::No),
              std::tuple(std::size_t(5), Times(saved), Times(saved), false));
}

TEST_F(SitesWindowTest, TwoVersionsAreComparedWithEachOtherOldestFirst)
{
    QTest::keyClicks(sites->searchField(), QStringLiteral("villa"));
    std::optional<std::pair<int, int>> compared;
    sites->compareVersions = [&](const ui::SiteChoice &older, const book::TableVersion &newer) {
        compared = {older.version.number, newer.number};
        EXPECT_EQ(Times(newer.clockImage), Times(received));
    };
    const auto enabled = [this] {
        return QList<bool>{sites->compareButton()->isEnabled(), sites->restoreButton()->isEnabled(),
                           sites->compareVersionsButton()->isEnabled()};
    };
    // One version chosen: only what takes one.
    EXPECT_EQ(enabled(), (QList<bool>{true, true, false}));
    sites->historyList()->selectAll();
    EXPECT_EQ(enabled(), (QList<bool>{false, false, true}));
    sites->compareVersionsButton()->click();
    EXPECT_EQ(compared, (std::pair{1, 2}));
}

TEST_F(SitesWindowTest, ASiteRecordSavedBySomeoneElseMeanwhileIsNeverOverwrittenUnseen)
{
    const book::Site record = villaRecord();
    ui::SiteDialog dialog(*program.book, record);
    EXPECT_EQ(AltLetterFaults(dialog), QStringList());
    EXPECT_EQ(AltLetterFaults(*sites), QStringList());
    dialog.show();
    // Another technician saves the record while this one has it open.
    book::Site theirs = record;
    theirs.customer = QStringLiteral("J. Jansen");
    ASSERT_TRUE(program.book->updateSite(theirs).ok());

    auto *phone = dialog.findChildren<QLineEdit *>().at(2);
    phone->setText(QStringLiteral("020 555 0101"));
    QStringList told;
    ui::SiteDialog::ConflictChoice answer = ui::SiteDialog::ConflictChoice::TakeTheirs;
    dialog.askOnConflict = [&](const QStringList &differences) {
        told = differences;
        return answer;
    };
    dialog.accept();
    EXPECT_EQ(told, (QStringList{QStringLiteral("Customer: “” here, “J. Jansen” in the book"),
                                 QStringLiteral("Phone: “020 555 0101” here, “” in the book")}));
    // Theirs on show.
    EXPECT_EQ(std::tuple(dialog.result(), dialog.edited().customer, dialog.edited().phone),
              std::tuple(int(QDialog::Rejected), QStringLiteral("J. Jansen"), QString()));

    // Edited again on theirs, a device typed as the port, Enter: saved without a question.
    phone->setText(QStringLiteral("020 555 0102"));
    auto *port = dialog.findChild<QComboBox *>();
    port->lineEdit()->selectAll();
    QTest::keyClicks(port->lineEdit(), QStringLiteral("/dev/ttyUSB1"));
    QTest::keyClick(port->lineEdit(), Qt::Key_Return);
    const book::Site stored = villaRecord();
    EXPECT_EQ(std::tuple(dialog.result(), stored.customer, stored.phone, stored.connection.port),
              std::tuple(int(QDialog::Accepted), QStringLiteral("J. Jansen"),
                         QStringLiteral("020 555 0102"), QStringLiteral("/dev/ttyUSB1")));

    // Once more, and this time one's own goes over theirs, as the user chose.
    ui::SiteDialog again(*program.book, stored);
    theirs = stored;
    theirs.notes = QStringLiteral("dog in the garden");
    ASSERT_TRUE(program.book->updateSite(theirs).ok());
    again.findChildren<QLineEdit *>().at(0)->setText(QStringLiteral("P. de Vries"));
    answer = ui::SiteDialog::ConflictChoice::KeepMine;
    again.askOnConflict = dialog.askOnConflict;
    again.accept();
    const book::Site last = villaRecord();
    EXPECT_EQ(std::tuple(again.result(), last.customer, last.notes, last.revision),
              std::tuple(int(QDialog::Accepted), QStringLiteral("P. de Vries"), QString(),
                         stored.revision + 2));
}

// A site's location is kept in its record, only a valid one, and is the sun's while the site's
// table is in the editor.
TEST_F(SitesWindowTest, ASiteKeepsItsLocationAndTheEditorTakesTheSunFromIt)
{
    ui::SiteDialog dialog(*program.book, villaRecord());
    auto *location = Named<QLineEdit>(&dialog, "txtSiteLocation");
    location->setText(QStringLiteral("95,4.89"));
    const ModalAnswer refused(QStringLiteral(""), QString());
    dialog.accept();
    EXPECT_TRUE(refused.seen == 1 && dialog.result() != QDialog::Accepted &&
                villaRecord().location.isEmpty());
    location->setText(QStringLiteral(" 52.370, 4.890 "));
    dialog.accept();
    EXPECT_EQ(std::pair(dialog.result(), villaRecord().location),
              std::pair(int(QDialog::Accepted), QStringLiteral("52.37,4.89")));

    // The project file's own location gives way to the site's while the site is in the editor.
    program.settings.nbtFile = dir.filePath(QStringLiteral("house.nbt"));
    ASSERT_TRUE(plan::WriteProjectLocation(
        program.profile, program.settings.nbtFile,
        std::get<plan::Location>(plan::Location::make(-33.87, 151.21))));
    EXPECT_EQ(window->sun().location()->latitude(), -33.87);
    ASSERT_TRUE(window->files().OpenSite(
        {villaRecord(), FileBytes(DemoProject()), history().back(), false}));
    EXPECT_EQ(window->sun().location(),
              std::get<plan::Location>(plan::Location::make(52.37, 4.89)));
    EXPECT_FALSE(window->Pic()->nights().empty());
    // Its location is changed in its record, not under File.
    prompter.expect(platform::Answer::Ok);
    Named<QAction>(window.get(), "mmuFileLocation")->trigger();
    EXPECT_TRUE(lastMessage().contains("site book")) << lastMessage().toStdString();
}

TEST_F(SitesWindowTest, AFolderIsImportedAndTheSitesListedAreExported)
{
    QDir folders(dir.filePath(QStringLiteral("customers")));
    ASSERT_TRUE(folders.mkpath(QStringLiteral("mill")));
    QFile::copy(DemoProject(), folders.filePath(QStringLiteral("mill/Mill.nbt")));
    WriteFile(folders.filePath(QStringLiteral("mill/Mill.clk")), saved);
    WriteFile(folders.filePath(QStringLiteral("stray.clk")), saved);
    QStringList told;
    sites->inform = [&](const QString &text, const QString &details) { told << text << details; };
    sites->dialogs = &dialogs;
    sites->importSetup.strings = &program.strings;
    dialogs.answer(folders.path());
    sites->importButton()->click();
    ASSERT_EQ(told.size(), 2);
    EXPECT_EQ(told[0], QStringLiteral(
                           "Imported 1 site with 1 clock table. 1 file skipped: see the details."));
    EXPECT_TRUE(told[1].contains(QStringLiteral("stray.clk"))) << told[1].toStdString();
    EXPECT_EQ(sites->siteList()->model()->rowCount(), 3);

    // What the search leaves listed is what goes out.
    QTest::keyClicks(sites->searchField(), QStringLiteral("villa"));
    const QString out = dir.filePath(QStringLiteral("out"));
    QDir().mkpath(out);
    dialogs.answer(out);
    sites->exportButton()->click();
    EXPECT_EQ(told.value(2), QStringLiteral("Exported 1 site into %1.").arg(out));
    EXPECT_EQ(QDir(out).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name),
              (QStringList{QStringLiteral("Villa Sol"), QStringLiteral("manifest.json")}))
        << "the filtered list only";
}

TEST_F(SitesWindowTest, AUserWithABookChoosesASiteFirstAtStartUp)
{
    const QString settings = WriteFile(
        dir.filePath(QStringLiteral("start.ini")),
        "[Global]\nLanguage=0\n[Clock]\nNBTFile=" + DemoProject().toUtf8() +
            "\n[Quintara]\nBook=sqlite:" + dir.filePath(QStringLiteral("book.sqlite")).toUtf8());
    ui::Program again{prompter, clock, pump, settings::ProfileFile(settings)};
    const ModalAnswer open(QStringLiteral("SitesWindow"), QStringLiteral("cmdOpenSite"));
    const std::unique_ptr<ui::FrmKlokken> main = ui::ClockMain::Main(again, dialogs);
    ASSERT_TRUE(main && open.seen == 1);
    main->RefreshStatus();
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Quintara - Farm[*]"));
}

// Compare with the unit: what the unit holds is kept as a version before it is compared.
TEST_F(SitesWindowTest, ComparingWithTheUnitKeepsWhatItHoldsAsAVersionFirst)
{
    CentralSimProcess unit{QStringLiteral(QUINTARA_CENTRAL_SIM),
                           {QStringLiteral("--project"), QStringLiteral(QUINTARA_DEMO_PROJECT)}};
    ASSERT_FALSE(unit.device.isEmpty());
    book::Site record = villaRecord();
    record.connection.port = unit.device;
    ASSERT_TRUE(program.book->updateSite(record).ok());
    std::optional<std::pair<clock::TableDiff, QString>> shown;
    window->exports().compareDialog = [&](const clock::TableDiff &diff, const clock::ClockTable &,
                                          const QString &name) { shown = {diff, name}; };
    const WhenModal<ui::SitesWindow> user([](ui::SitesWindow &found) {
        QTest::keyClicks(found.searchField(), QStringLiteral("villa"));
        found.historyList()->selectRow(0);
        found.compareUnitButton()->click();
    });
    window->showSites();
    EXPECT_EQ(
        std::tuple(history().size(), history().back().event, history().back().trace.isEmpty()),
        std::tuple(std::size_t(3), book::VersionEvent::Received, false));
    ASSERT_TRUE(shown);
    // The unit starts empty: every line of version 1 is one it lacks.
    EXPECT_EQ(std::pair(shown->second, shown->first.lines.size()),
              std::pair(QStringLiteral("Villa Sol, version 3"), Times(saved).size()));
}

} // namespace
} // namespace quintara::testing::window
