#include "book/SiteFolders.h"
#include "settings/Settings.h"
#include "settings/Strings.h"
#include "tests/book/BookRig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace quintara::book::test {
namespace {

QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QByteArray DemoProject = FileBytes(QStringLiteral(QUINTARA_DEMO_PROJECT));
const QByteArray DemoTable = FileBytes(QStringLiteral(QUINTARA_DEMO_CLOCK_FILE));
const QDateTime Then(QDate(2030, 6, 1), QTime(12, 0), Qt::UTC);

class SiteFoldersTest : public BothBooks {
protected:
    // A file in the tree, made `days` after Then.
    void put(const QString &relative, const QByteArray &bytes, int days = 0)
    {
        const QString path = m_tree.filePath(relative);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.flush();
        file.setFileTime(Then.addDays(days), QFileDevice::FileModificationTime);
    }
    QString tree() const { return m_tree.path(); }

    ImportSetup setup()
    {
        // The counter sees what it is given: a table that is not the demo's has one problem.
        return {QStringLiteral("tech"), &m_settings, &m_strings,
                [](const QByteArray &project, const QByteArray &table) {
                    return project == DemoProject && table != DemoTable.left(1308) ? 1 : 0;
                }};
    }

private:
    QTemporaryDir m_tree;
    settings::Settings m_settings;
    settings::Strings m_strings{settings::StringTable::builtIn()};
};

QStringList Names(const SiteBook &book)
{
    QStringList names;
    for (const SiteSummary &site : book.sites().value)
        names << site.name;
    return names;
}

TEST_P(SiteFoldersTest, AFolderTreeBecomesSitesAndAnExportReadsBackTheSame)
{
    ASSERT_FALSE(DemoProject.isEmpty());
    QByteArray edited = DemoTable;
    edited[20] = char(edited[20] ^ 1);
    put(QStringLiteral("home/Home.nbt"), DemoProject);
    put(QStringLiteral("home/latest.clk"), DemoTable, 2);
    put(QStringLiteral("home/before.CLK"), edited, 1);
    put(QStringLiteral("shared/Alpha.nbt"), DemoProject);
    put(QStringLiteral("shared/Alpha 2030.clk"), DemoTable);
    put(QStringLiteral("shared/Alpha-broken.clk"), "QBN but far too short");
    put(QStringLiteral("shared/Beta.nbt"), DemoProject);
    put(QStringLiteral("shared/Gamma.clk"), DemoTable);
    put(QStringLiteral("bad/Broken.nbt"), QByteArray(300, 'x'));
    put(QStringLiteral("zz/Home.nbt"), DemoProject);
    ASSERT_EQ(mkfifo(QFile::encodeName(tree() + QStringLiteral("/shared/Beta.clk")).constData(),
                     0600),
              0);

    SiteBook book;
    ASSERT_TRUE(book.open(scratch().location()).ok());
    const Fetched<ImportedFiles> imported = ImportFolder(book, tree(), setup());
    ASSERT_TRUE(imported.ok());
    EXPECT_EQ(std::pair(imported.value.sites, imported.value.versions),
              std::pair(QStringList{"Home", "Alpha", "Beta"}, 3));
    QStringList skipped = imported.value.skipped;
    for (QString &line : skipped)
        line = line.mid(tree().size() + 1).section(QLatin1Char(':'), 0, 0);
    skipped.sort();
    EXPECT_EQ(skipped, (QStringList{"bad/Broken.nbt", "shared/Alpha-broken.clk",
                                    "shared/Beta.clk", "shared/Gamma.clk", "zz/Home.nbt"}));

    const Site home = book.site(QStringLiteral("Home")).value;
    const std::vector<TableVersion> history = book.history(home.id, true).value;
    ASSERT_EQ(history.size(), 2U);
    EXPECT_EQ(std::tuple(history[0].clockImage, history[0].time, history[0].user),
              std::tuple(edited.left(1308), Then.addDays(1), QStringLiteral("tech")));
    EXPECT_EQ(history[1].clockImage, DemoTable.left(1308));
    EXPECT_EQ(book.project(home.id).value, DemoProject);
    EXPECT_EQ(book.sites().value[2].problems, 0); // Home: its latest table is the demo's

    // The same tree again adds nothing and says why.
    const Fetched<ImportedFiles> again = ImportFolder(book, tree(), setup());
    EXPECT_TRUE(again.value.sites.isEmpty());
    EXPECT_EQ(again.value.skipped.filter(QStringLiteral("in the book already")).size(), 3);

    QTemporaryDir out;
    const Fetched<ExportedFiles> exported = ExportSites(book, out.path());
    ASSERT_TRUE(exported.ok());
    const QJsonValue sites =
        QJsonDocument::fromJson(FileBytes(out.filePath("manifest.json")))["sites"];
    const QJsonValue saved = sites[2]["versions"][0];
    EXPECT_EQ(std::tuple(sites.toArray().size(), sites[2]["name"].toString(),
                         sites[2]["versions"].toArray().size(), saved["event"].toString()),
              std::tuple(3, QString("Home"), 2, QString("saved")));
    EXPECT_EQ(FileBytes(out.filePath(saved["file"].toString())), edited.left(1308));

    ScratchBook copyPlace(Kind::SQLite);
    SiteBook copy;
    ASSERT_TRUE(copy.open(copyPlace.location()).ok());
    const Fetched<ImportedFiles> back = ImportFolder(copy, out.path(), setup());
    EXPECT_TRUE(back.value.skipped.isEmpty()) << back.value.skipped.join('\n').toStdString();
    EXPECT_EQ(Names(copy), Names(book));
    const std::vector<TableVersion> copied =
        copy.history(copy.site(QStringLiteral("Home")).value.id, true).value;
    ASSERT_EQ(copied.size(), 2U);
    EXPECT_EQ(std::tuple(copied[0].clockImage, copied[0].time, copied[1].clockImage),
              std::tuple(history[0].clockImage, history[0].time, history[1].clockImage));
}

INSTANTIATE_TEST_SUITE_P(Databases, SiteFoldersTest,
                         testing::Values(Kind::SQLite, Kind::PostgreSQL), KindName);

} // namespace
} // namespace quintara::book::test
