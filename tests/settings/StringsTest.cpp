#include "settings/Strings.h"
#include "settings/FormTexts.h"
#include "settings/NameTables.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

using namespace quintara::settings;

namespace {

// The ids the forms show and those the code names.
QSet<int> UsedIds()
{
    QSet<int> ids;
    for (const char *form : {"FrmClkEdit", "FrmKlokken", "FrmCom", "FrmSelectClkAct"}) {
        for (const ControlText &c : FormTexts(QString::fromLatin1(form))) {
            for (const TextPart &p : c.recipe)
                ids.insert(p.id);
        }
    }
    QFile names(qEnvironmentVariable("QUINTARA_SOURCE_DIR") + "/src/settings/TextIds.h");
    EXPECT_TRUE(names.open(QIODevice::ReadOnly));
    static const QRegularExpression constant(QStringLiteral(R"(constexpr int \w+ = (\d+);)"));
    for (const auto &m : constant.globalMatch(QString::fromUtf8(names.readAll())))
        ids.insert(m.captured(1).toInt());
    ids.remove(0);
    return ids;
}

TEST(StringTable, EveryTextInEveryLanguageBut919InDutch)
{
    const StringTable &table = StringTable::builtIn();
    const QList<int> ids = table.baseIds();
    ASSERT_GT(ids.size(), 200);
    for (int id : ids) {
        for (int language = 0; language < LanguageCount; ++language) {
            const bool expected = !(id == 919 && language == 1);
            EXPECT_EQ(table.find(id + language * LanguageStep).has_value(), expected)
                << "id " << id << " language " << language;
        }
    }
    for (int id : UsedIds())
        EXPECT_TRUE(ids.contains(id)) << "id " << id << " is used but has no text";
}

// Texts, names and captions as the language in force has them; out of range or missing is empty,
// never a crash or a box.
TEST(Strings, TextsNamesAndCaptionsComeFromTheLanguageInForce)
{
    const StringTable &table = StringTable::builtIn();
    Strings strings(table);
    const NameTables en = FillNameTables(strings);
    const StringTable empty;
    const auto caption = [&](const char *form, const QString &name, const Strings &in) {
        for (const ControlText &c : FormTexts(QString::fromLatin1(form))) {
            if (c.objectName() == name)
                return ComposeText(c.recipe, in);
        }
        return QStringLiteral("<missing>");
    };
    // clang-format off
    const QList<std::pair<QString, QString>> cases{
        {*table.find(1031), "Select Baudrate && Port"}, {*table.find(50), "Niveau"},
        {*table.find(167), "Continuous dimming "}, {*table.find(985), "Wknd"}, {strings.GetResString(30), "OK"},
        {en.functionTypeName(1), "Switch"}, {en.functionTypeName(51), "TP zoemer"},
        {en.functionTypeName(13), ""}, {en.functionTypeName(255), ""}, {en.functionTypeName(-1), ""},
        {en.functionTypeCode(23), "TMP"}, {en.functionTypeCode(28), ""},
        {en.interfaceTypeCode(23), "B&O"}, {en.interfaceTypeCode(114), "SSD"},
        {en.regimeName(5), "Custom Clock Table On/Off"}, {en.noActionName(1), "No-Action Control ON/OFF"},
        {en.loadTypeName(83), "WallSocket"}, {en.repeatName(0), "Once" + QString(46, u' ')},
        {en.repeatName(8), ""}, {FunctionTypeCode(55), "U/D"}, {InterfaceTypeCode(131), "DIM"},
        {caption("FrmClkEdit", "LblFnc", strings), strings.GetResString(1019) + u':'},
        {caption("FrmClkEdit", "OptTabel_2", strings), "Wknd"}, {caption("FrmClkEdit", "", strings), "Clockline add/edit"},
        {caption("FrmKlokken", "CmdTest", strings), "Action Test On-Line"}, {caption("FrmKlokken", "Tlb_12", strings), strings.GetResString(987)},
        {caption("FrmKlokken", "Tlb_7", strings), "<missing>"},
        {caption("FrmCom", "FraCom", strings), "Select Baudrate && Port:"},
        // A missing text leaves only the literal.
        {caption("FrmClkEdit", "LblFnc", Strings(empty)), ":"},
    };
    // clang-format on
    for (const auto &[actual, expected] : cases)
        EXPECT_EQ(actual, expected);
    for (int language = 0; language < LanguageCount; ++language)
        EXPECT_TRUE(table.find(1031 + language * LanguageStep)->contains(u"&&")) << language;

    // Which offsets name a language is pinned by the project reader's tests.
    strings.setLanguageOffset(30000);
    EXPECT_EQ(std::pair(strings.GetResString(31), FillNameTables(strings).functionTypeName(1)),
              std::pair(*table.find(30031), *table.find(30101)));
    strings.setLanguageOffset(10000);
    EXPECT_EQ(strings.GetResString(919), "");
}

} // namespace
