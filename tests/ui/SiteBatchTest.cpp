#include "tests/ui/WindowTestSupport.h"

#include "book/SiteBook.h"
#include "presentation/BatchTableModel.h"
#include "tests/support/CentralSimProcess.h"
#include "ui/BatchWindow.h"
#include "ui/SiteBatchBar.h"
#include "ui/SiteFilterBar.h"
#include "ui/SitesWindow.h"

#include <QSignalSpy>

#include <deque>

namespace quintara::testing::window {
namespace {

using book::VersionEvent;

// The Sites window over a book of its own, offering batches that reach central-sim units on
// pseudo-terminals.
struct SiteBatchTest : ProgramTest {
    book::SiteBook book;
    std::deque<CentralSimProcess> units;
    std::unique_ptr<ui::SitesWindow> sites;

    SiteBatchTest()
    {
        book::BookLocation location;
        location.path = dir.filePath(QStringLiteral("book.sqlite"));
        EXPECT_TRUE(book.open(location).ok());
    }

    // A site made from the demo installation, its table the one version.
    void addSite(book::Site site, book::TableVersion version = {})
    {
        version.clockImage = FileBytes(DemoClockFile());
        ASSERT_TRUE(book.addSite(site, FileBytes(DemoProject()), {version}).ok());
    }
    // Reached through a unit of its own unless a port is given.
    void addSite(const QString &name, const QStringList &tags, const QString &port = {})
    {
        book::Site site;
        site.name = name;
        site.tags = tags;
        site.connection.port = port;
        if (port.isEmpty()) {
            CentralSimProcess &unit = units.emplace_back(
                QStringLiteral(QUINTARA_CENTRAL_SIM),
                QStringList{QStringLiteral("--project"), QStringLiteral(QUINTARA_DEMO_PROJECT)});
            ASSERT_FALSE(unit.device.isEmpty());
            site.connection.port = unit.device;
        }
        addSite(site);
    }

    void openWindow()
    {
        sites = std::make_unique<ui::SitesWindow>(book);
        sites->allowBatches({program.strings, clock, prompter, dialogs, ini});
        sites->show();
    }

    QStringList shownSites() const
    {
        QStringList names;
        const QAbstractItemModel *model = sites->siteList()->model();
        for (int row = 0; row < model->rowCount(); ++row)
            names << model->index(row, 0).data().toString();
        return names;
    }

    // The batch the button began, once it has ended.
    ui::BatchWindow *ran(QPushButton *button,
                         const std::function<void(ui::BatchWindow *)> &meanwhile = {})
    {
        QTest::mouseClick(button, Qt::LeftButton);
        ui::BatchWindow *batch = sites->batchBar()->batchWindow();
        EXPECT_NE(batch, nullptr);
        if (!batch)
            return nullptr;
        if (meanwhile)
            meanwhile(batch);
        QSignalSpy ended(batch, &ui::BatchWindow::batchEnded);
        EXPECT_TRUE(ended.wait(120000));
        return batch;
    }

    static QStringList States(const ui::BatchWindow *batch)
    {
        QStringList states;
        const ui::BatchTableModel *rows = batch->queue();
        for (int row = 0; row < rows->rowCount(); ++row)
            states << rows->index(row, ui::BatchTableModel::Site).data().toString() + u'=' +
                          rows->stateText(row);
        return states;
    }
};

TEST_F(SiteBatchTest, ASendFromTheFilteredListGoesOnPastAFailingSiteAndEndsInAReport)
{
    for (const char *name : {"S1", "S2", "S4"})
        addSite(name, {"north"});
    addSite("S3", {"north"}, dir.filePath("no-unit"));
    addSite("S5", {"south"}, dir.filePath("no-unit"));
    openWindow();
    QTest::keyClick(sites->filterBar()->tagBox(), Qt::Key_Down);
    ASSERT_EQ(shownSites(), (QStringList{"S1", "S2", "S3", "S4"}));

    QPushButton *send = sites->batchBar()->button(book::BatchKind::SendVerify);
    EXPECT_TRUE(send->toolTip().contains(QStringLiteral("4 sites shown")))
        << send->toolTip().toStdString();
    prompter.expect(platform::Answer::Yes);
    ui::BatchWindow *batch = ran(send);
    ASSERT_NE(batch, nullptr);
    EXPECT_TRUE(lastMessage().contains(QStringLiteral("the 4 sites shown")))
        << lastMessage().toStdString();
    EXPECT_EQ(States(batch), (QStringList{"S1=done", "S2=done", "S3=failed", "S4=done"}));
    // What each site keeps of its turn, and the report's fields, are the batch's to test.
    EXPECT_TRUE(batch->queue()
                    ->index(2, ui::BatchTableModel::Message)
                    .data()
                    .toString()
                    .contains(QStringLiteral("no-unit")));
    // Every site had its turn: nothing to resume.
    EXPECT_TRUE(batch->progressBar()->value() == 4 &&
                !sites->batchBar()->resumeButton()->isEnabled());

    const QString csv = dir.filePath(QStringLiteral("report.csv"));
    dialogs.answer(csv);
    QTest::mouseClick(batch->saveCsvButton(), Qt::LeftButton);
    EXPECT_TRUE(FileBytes(csv).contains("\r\nS3,failed,") &&
                batch->statusLabel()->text().contains(QDir::toNativeSeparators(csv)));
    dialogs.answer(dir.filePath(QStringLiteral("report"))); // the extension is added
    QTest::mouseClick(batch->savePdfButton(), Qt::LeftButton);
    EXPECT_TRUE(FileBytes(dir.filePath(QStringLiteral("report.pdf"))).startsWith("%PDF"));

    // A place that can't take the file says so and leaves nothing behind.
    QDir(dir.path()).mkdir(QStringLiteral("taken.pdf"));
    const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden);
    dialogs.answer(dir.filePath(QStringLiteral("taken.pdf")));
    prompter.expect(platform::Answer::Ok);
    QTest::mouseClick(batch->savePdfButton(), Qt::LeftButton);
    EXPECT_TRUE(lastMessage().contains(QStringLiteral("taken.pdf"))) << lastMessage().toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden), before);
    EXPECT_TRUE(prompter.allAnswered());
}

TEST_F(SiteBatchTest, ACancelledBatchIsResumedFromTheSiteItStoppedAt)
{
    addSite("S1", {}, dir.filePath("no-unit"));
    for (const char *name : {"S2", "S3", "S4"})
        addSite(name, {});
    openWindow();
    EXPECT_FALSE(sites->batchBar()->resumeButton()->isEnabled());
    prompter.expect(platform::Answer::Yes);
    // Cancelled once the third site's link is at work.
    const auto cancelOnThird = [](ui::BatchWindow *batch) {
        QObject::connect(batch->queue(), &QAbstractItemModel::dataChanged, batch, [batch] {
            const QModelIndex step = batch->queue()->index(2, ui::BatchTableModel::Step);
            if (!step.data().toString().isEmpty() && batch->cancelButton()->isEnabled())
                QTest::mouseClick(batch->cancelButton(), Qt::LeftButton);
        });
    };
    ui::BatchWindow *batch =
        ran(sites->batchBar()->button(book::BatchKind::SendVerify), cancelOnThird);
    ASSERT_NE(batch, nullptr);
    EXPECT_EQ(States(batch), (QStringList{"S1=failed", "S2=done", "S3=cancelled", "S4=waiting"}));
    EXPECT_TRUE(batch->queue()->index(2, ui::BatchTableModel::Outcome).data().isValid());
    EXPECT_TRUE(sites->batchBar()->resumeButton()->isEnabled());
    QTest::mouseClick(batch->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Close),
                      Qt::LeftButton);

    // The failed site had its turn; the cancelled one and the rest are done now (that a verified
    // site is not sent again is the batch's to test).
    batch = ran(sites->batchBar()->resumeButton());
    ASSERT_NE(batch, nullptr);
    EXPECT_EQ(States(batch), (QStringList{"S1=failed", "S2=done", "S3=done", "S4=done"}));
    EXPECT_FALSE(sites->batchBar()->resumeButton()->isEnabled());
}

TEST_F(SiteBatchTest, EachFilterNarrowsTheListAndSelectedRowsNarrowTheBatch)
{
    const auto add = [this](const QString &name, const QString &tag, int model, QDate verified,
                            int problems) {
        book::Site site;
        site.name = name;
        site.tags = {tag};
        site.model = model;
        book::TableVersion version;
        version.problems = problems;
        if (verified.isValid()) {
            version.event = VersionEvent::Verified;
            version.time = QDateTime(verified, QTime(9, 0), Qt::UTC);
        }
        addSite(site, version);
    };
    add(QStringLiteral("Alpha"), QStringLiteral("north"), 3, Today.addDays(-3), 0);
    add(QStringLiteral("Bravo"), QStringLiteral("south"), 3, {}, 2);
    add(QStringLiteral("Charlie"), QStringLiteral("north"), 5, Today.addMonths(-2), 0);
    openWindow();
    ui::SiteFilterBar *filters = sites->filterBar();
    EXPECT_EQ(shownSites(), (QStringList{"Alpha", "Bravo", "Charlie"}));

    QTest::keyClick(filters->tagBox(), Qt::Key_Down);
    EXPECT_EQ(shownSites(), (QStringList{"Alpha", "Charlie"}));
    QTest::keyClick(filters->modelBox(), Qt::Key_Down);
    EXPECT_EQ(shownSites(), (QStringList{"Alpha"}));
    QTest::keyClick(filters->tagBox(), Qt::Key_Up);
    EXPECT_EQ(shownSites(), (QStringList{"Alpha", "Bravo"}));
    QTest::keyClick(filters->modelBox(), Qt::Key_Up);

    // "Not verified since" offers a month ago: never verified counts as not.
    QTest::mouseClick(filters->notVerifiedBox(), Qt::LeftButton);
    EXPECT_EQ(shownSites(), (QStringList{"Bravo", "Charlie"}));
    QTest::keyClicks(sites->searchField(), QStringLiteral("char"));
    EXPECT_EQ(shownSites(), (QStringList{"Charlie"}));
    sites->searchField()->clear();
    QTest::mouseClick(filters->notVerifiedBox(), Qt::LeftButton);
    QTest::mouseClick(filters->problemsBox(), Qt::LeftButton);
    EXPECT_EQ(shownSites(), (QStringList{"Bravo"}));
    QTest::mouseClick(filters->problemsBox(), Qt::LeftButton);

    // Several rows selected: the batch takes those alone, and says so.
    QTableView *list = sites->siteList();
    const auto click = [list](int row, Qt::KeyboardModifiers keys) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, keys,
                          list->visualRect(list->model()->index(row, 0)).center());
    };
    click(2, Qt::NoModifier);
    click(0, Qt::ControlModifier);
    const std::vector<qint64> chosen = sites->batchBar()->chosenSites();
    EXPECT_EQ(chosen, (std::vector<qint64>{book.site(QStringLiteral("Alpha")).value.id,
                                           book.site(QStringLiteral("Charlie")).value.id}));
    EXPECT_TRUE(sites->batchBar()
                    ->button(book::BatchKind::Check)
                    ->toolTip()
                    .contains(QStringLiteral("2 selected sites")));
}

} // namespace
} // namespace quintara::testing::window
