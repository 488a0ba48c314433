#include "tests/tools/CliFixture.h"

#include "project/ProjectFileReader.h"
#include "settings/NameTables.h"
#include "settings/Settings.h"
#include "tables/TableCompiler.h"
#include "tables/TableSet.h"
#include "presentation/FunctionPresenter.h"

#include <QFile>
#include <QJsonArray>

namespace quintara::testing {
namespace {

class CliProjectTest : public CliTest {
protected:
    // The demo installation as the program reads it, in English.
    std::unique_ptr<project::ProjectModel> readDemo()
    {
        QFile file(demoProject());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        project::ProjectRead read =
            project::ReadProjectData(file.readAll(), settings::Settings(), strings);
        EXPECT_EQ(read.status, project::ReadOutcome::Read);
        return std::move(read.model);
    }
};

TEST_F(CliProjectTest, ModelLimitsWorkdaysAndTheEditorsFunctionLists)
{
    const CliRun result = run({"project", demoProject(), "--json"});
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    EXPECT_TRUE(result.err.isEmpty());
    const QJsonObject document = result.json();

    const auto model = readDemo();
    EXPECT_EQ(document.value("version").toInt(), 60);
    EXPECT_EQ(document.value("model").toInt(), model->ModelIndex);
    const QJsonObject limits = document.value("limits").toObject();
    EXPECT_EQ(limits.size(), 13);
    EXPECT_EQ(limits.value("Relays").toInt(), model->Limits.Relays);
    EXPECT_EQ(limits.value("ClockLines").toInt(), model->Limits.ClockLines);
    QJsonArray workdays;
    for (const quint8 flag : model->WorkdayFlags())
        workdays.append(flag);
    EXPECT_EQ(document.value("workdays").toArray(), workdays);

    // Exactly what the clock line editor offers, type by type of its type list.
    const settings::NameTables names = settings::FillNameTables(strings);
    const ui::ValueFormatter values(strings, QLocale::c());
    const ui::FunctionPresenter presenter(*model, names, strings, values);
    ui::ItemList types;
    presenter.FillFunctionTypeList(types);
    QJsonArray expected;
    for (const ui::ListEntry &type : std::as_const(types.entries)) {
        ui::ItemList list;
        presenter.FillFunctionList(list, type.itemData, ui::DescribeMode::Number, false, 2);
        for (const ui::ListEntry &entry : std::as_const(list.entries))
            expected.append(QJsonObject{{"type", type.itemData},
                                        {"number", entry.itemData % 256},
                                        {"itemData", entry.itemData},
                                        {"text", entry.text}});
    }
    const QJsonArray functions = document.value("functions").toArray();
    EXPECT_GT(functions.size(), 50);
    EXPECT_EQ(functions, expected);
    EXPECT_EQ(functions[0].toObject(),
              (QJsonObject{
                  {"type", 1}, {"number", 1}, {"itemData", 257}, {"text", " 01 Kitchen ceiling"}}));

    const CliRun text = run({"project", demoProject()});
    ASSERT_EQ(text.exitCode, 0);
    EXPECT_TRUE(text.out.contains("Relays (1): 24")) << text.out.constData();
    EXPECT_TRUE(text.out.contains("    257   01 Kitchen ceiling\n"));
}

TEST_F(CliProjectTest, UnreadableProjectsFailWithTheReadersMessage)
{
    for (const QString command : {"project", "tables"}) {
        const CliRun foreign = run({command, writeFile("foreign.nbt", "QBN and more")});
        EXPECT_EQ(foreign.exitCode, 1) << qPrintable(command);
        EXPECT_FALSE(foreign.err.isEmpty());
        EXPECT_TRUE(foreign.out.isEmpty());

        const CliRun missing = run({command, "/nonexistent/x.nbt", "--json"});
        EXPECT_EQ(missing.exitCode, 1);
        EXPECT_TRUE(missing.err.contains("/nonexistent/x.nbt"));
    }
}

TEST_F(CliProjectTest, TablesAreTheCompiledSetSlotBySlot)
{
    const CliRun result = run({"tables", demoProject(), "--json"});
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    EXPECT_TRUE(result.err.isEmpty());
    const QJsonObject document = result.json();

    auto model = readDemo();
    tables::TableSet set;
    ASSERT_TRUE(tables::TableCompiler(set, *model, strings).BuildAllTables().ok);
    EXPECT_EQ(document.value("bytesTotal").toInteger(), set.BytesTotal);
    const QJsonArray slotList = document.value("slots").toArray();
    ASSERT_EQ(slotList.size(), tables::TableSet::SlotCount);
    for (int slot = 0; slot < tables::TableSet::SlotCount; ++slot) {
        const QJsonObject entry = slotList[slot].toObject();
        const tables::CentralTable &table = set[slot];
        EXPECT_EQ(entry.value("slot").toInt(), slot);
        EXPECT_EQ(entry.value("length").toInt(), table.Length) << slot;
        const QByteArray bytes(reinterpret_cast<const char *>(table.Data.data()), table.Length);
        EXPECT_EQ(entry.value("hex").toString(), QString::fromLatin1(bytes.toHex())) << slot;
    }
    EXPECT_EQ(slotList[tables::TableSet::ClockSlot].toObject().value("length").toInt(), 0);
    EXPECT_GT(slotList[0].toObject().value("length").toInt(), 0);
}

TEST_F(CliProjectTest, PoolMessagesOfTheCompilerGoToStandardErrorWithoutFailing)
{
    // Every key of a model-2 installation drives relay 1: 88 keys for 79 pool records.
    auto model = emptyProject(2);
    for (int i = 0; i <= model->Limits.MaxInputModule; ++i) {
        for (project::InputKeyRec &key : model->InputModules[i].Keys)
            key.Bytes = {1, 1, 0, 0};
    }
    const CliRun result = run({"tables", writeProject("keys.nbt", *model)});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, QByteArray("To many variations in SW\n").repeated(9));
    EXPECT_TRUE(result.out.contains("slot 13: "));
}

} // namespace
} // namespace quintara::testing
