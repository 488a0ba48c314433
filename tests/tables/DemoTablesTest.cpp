#include "tests/tables/TablesFixture.h"

#include "project/ProjectFileReader.h"
#include "settings/Settings.h"
#include "tables/TableSlots.h"

#include <QDir>

namespace quintara::testing {
namespace {

using namespace project;
namespace slot = tables::TableSlot;

// The tests' main() sees to it that QUINTARA_SOURCE_DIR names the source tree.
QString DemoPath()
{
    return QDir(qEnvironmentVariable("QUINTARA_SOURCE_DIR")).filePath("examples/demo.nbt");
}

class DemoTablesTest : public TablesTest {};

TEST_F(DemoTablesTest, TheDemoInstallationBuildsWithoutAMessageAndDecodesBack)
{
    ProjectRead read = ReadProjectFile(DemoPath(), settings::Settings(), strings);
    ASSERT_EQ(read.status, ReadOutcome::Read) << DemoPath().toStdString();
    model() = std::move(*read.model);

    const tables::BuildResult built = compiler.BuildAllTables();
    ASSERT_TRUE(built.ok);
    EXPECT_TRUE(built.notices.empty());
    for (const int filled : {slot::InputModules, slot::DimmerOutputs, slot::TimedFunctions,
                             slot::Fans, slot::Motors, slot::LocalMoods, slot::GeneralMoods,
                             slot::KeyIndex, slot::LocalMoodIndex, slot::OutputModules})
        EXPECT_GT(set[filled].Length, 0) << filled;
    std::vector<tables::TableArea> sent;
    for (int slot = 0; slot < tables::TableSet::SlotCount; ++slot)
        sent.push_back(set[slot].Data);
    const qint64 bytesTotal = set.BytesTotal;

    receiveAsSent();
    NewProject(model(), 19200, 0);
    compiler.DecodeAllTables();
    EXPECT_EQ(model().Fans[0].Value, 300);
    EXPECT_EQ(model().DimmerChannel(1)->Ramp, 4);
    EXPECT_EQ(model().Motors[0].Bytes, (std::array<quint8, 2>{23, 24}));
    EXPECT_EQ(model().GeneralMoods[0].RelayStates[30], 3);
    EXPECT_EQ(model().OutputModules[0].Name.trimmedRight(), "Interface 0");

    // Apart from the texts that are not read back, the decoded project sends the same tables.
    ASSERT_TRUE(compiler.BuildAllTables().ok);
    for (const int slot : tables::TableCompiler::DecodeOrder()) {
        if (slot != slot::Sensors && slot != slot::Messages) {
            EXPECT_EQ(set[slot].Data, sent[slot]) << slot;
        }
    }
    for (const int slot : {slot::KeyIndex, slot::LocalMoodIndex})
        EXPECT_EQ(set[slot].Data, sent[slot]) << slot;
    EXPECT_LE(set.BytesTotal, bytesTotal);
}

} // namespace
} // namespace quintara::testing
