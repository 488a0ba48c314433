#include "settings/Strings.h"
#include "settings/FormTexts.h"
#include "settings/NameTables.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

using namespace quintara::settings;

namespace {

QSet<int> IdsOfAllForms()
{
    QSet<int> ids;
    for (const char *form : {"FrmClkEdit", "FrmKlokken", "FrmCom", "FrmSelectClkAct"}) {
        for (const ControlText &c : FormTexts(QString::fromLatin1(form))) {
            for (const TextPart &p : c.recipe) {
                if (p.id > 0)
                    ids.insert(p.id);
            }
        }
    }
    return ids;
}

// Ids named literally in the code: GetResString(650) and the like.
QSet<int> IdsInSources()
{
    QSet<int> ids;
    const QString root = qEnvironmentVariable("QUINTARA_SOURCE_DIR");
    if (root.isEmpty())
        return ids;
    static const QRegularExpression call(QStringLiteral(R"(GetResString\(\s*(\d+)\s*\))"));
    for (const char *folder : {"src", "app"}) {
        QDirIterator it(root + u'/' + QString::fromLatin1(folder), {"*.cpp", "*.h"}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile f(it.next());
            if (!f.open(QIODevice::ReadOnly))
                continue;
            const QString text = QString::fromUtf8(f.readAll());
            for (const auto &m : call.globalMatch(text))
                ids.insert(m.captured(1).toInt());
        }
    }
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
    QSet<int> used = IdsOfAllForms() + IdsInSources();
    for (int id : used)
        EXPECT_TRUE(ids.contains(id)) << "id " << id << " is used but has no text";
}

TEST(StringTable, KnownEnglishTextsStandAsTheyAre)
{
    const StringTable &table = StringTable::builtIn();
    EXPECT_EQ(table.find(1031), "Select Baudrate && Port");
    EXPECT_EQ(table.find(50), "Niveau");
    EXPECT_EQ(table.find(167), "Continuous dimming ");
    EXPECT_EQ(table.find(985), "Wknd");
    EXPECT_EQ(table.find(1047), "Once");
    for (int language = 0; language < LanguageCount; ++language)
        EXPECT_TRUE(table.find(1031 + language * LanguageStep)->contains(u"&&")) << language;
}

TEST(StringTable, ParsesEscapesAndEmptyCells)
{
    QString error;
    const StringTable table = StringTable::fromTsv("# id\ten\tnl\n"
                                                   "7\tTwo\\nlines\t\tTrois\n"
                                                   "3\tTab\\there \n",
                                                   &error);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_EQ(table.baseIds(), QList<int>({3, 7}));
    EXPECT_EQ(table.find(7), "Two\nlines");
    EXPECT_FALSE(table.find(10007).has_value());
    EXPECT_EQ(table.find(20007), "Trois");
    EXPECT_EQ(table.find(3), "Tab\there ");

    StringTable::fromTsv("x\ty\n", &error);
    EXPECT_FALSE(error.isEmpty());
}

TEST(Strings, OffsetsAndAMissingText)
{
    Strings strings(StringTable::builtIn());
    EXPECT_EQ(strings.GetResString(30), "OK");
    strings.setLanguageOffset(30000);
    EXPECT_EQ(strings.GetResString(31), StringTable::builtIn().find(30031));

    // A text the language lacks is empty: nothing is shown, nothing is thrown.
    strings.setLanguageOffset(10000);
    EXPECT_EQ(strings.GetResString(919), "");
    EXPECT_TRUE(strings.GetResString(919).isEmpty());

    EXPECT_TRUE(Strings::IsValidLanguageOffset(60000));
    EXPECT_FALSE(Strings::IsValidLanguageOffset(70000));
    EXPECT_FALSE(Strings::IsValidLanguageOffset(15000));
    EXPECT_FALSE(Strings::IsValidLanguageOffset(-10000));
}

TEST(NameTables, FilledFromTheLanguageInForce)
{
    Strings strings(StringTable::builtIn());
    const NameTables en = FillNameTables(strings);
    EXPECT_EQ(en.functionTypeName(1), "Switch");
    EXPECT_EQ(en.functionTypeName(6), "Motor");
    EXPECT_EQ(en.functionTypeName(51), "TP zoemer");
    EXPECT_EQ(en.functionTypeName(13), ""); // not named: stays empty
    EXPECT_EQ(en.functionTypeCode(23), "TMP");
    EXPECT_EQ(en.functionTypeCode(28), "");
    EXPECT_EQ(en.interfaceTypeCode(23), "B&O");
    EXPECT_EQ(en.interfaceTypeCode(114), "SSD");
    EXPECT_FALSE(en.interfaceTypeName(114).isEmpty());
    EXPECT_EQ(en.regimeName(5), "Custom Clock Table On/Off");
    EXPECT_EQ(en.noActionName(1), "No-Action Control ON/OFF");
    EXPECT_EQ(en.loadTypeName(83), "WallSocket");
    EXPECT_EQ(en.repeatName(0), QStringLiteral("Once") + QString(46, u' '));
    for (const QString &name : en.RepeatName)
        EXPECT_EQ(name.size(), 50);

    // Out of range is empty, never a crash.
    EXPECT_EQ(en.functionTypeName(255), "");
    EXPECT_EQ(en.functionTypeName(-1), "");
    EXPECT_EQ(en.repeatName(8), "");

    strings.setLanguageOffset(30000);
    const NameTables de = FillNameTables(strings);
    EXPECT_EQ(de.functionTypeName(1), StringTable::builtIn().find(30101));
    EXPECT_EQ(de.functionTypeCode(1), "REL");
    EXPECT_EQ(FunctionTypeCode(55), "U/D");
    EXPECT_EQ(InterfaceTypeCode(131), "DIM");
}

TEST(FormTexts, RecipesJoinTextsAndLiterals)
{
    Strings strings(StringTable::builtIn());
    const QList<ControlText> edit = FormTexts(QStringLiteral("FrmClkEdit"));
    auto find = [&](const QList<ControlText> &form, const QString &name) {
        for (const ControlText &c : form) {
            if (c.objectName() == name)
                return ComposeText(c.recipe, strings);
        }
        return QStringLiteral("<missing>");
    };
    EXPECT_EQ(find(edit, "LblFnc"), strings.GetResString(1019) + u':');
    EXPECT_EQ(find(edit, "OptTabel_2"), "Wknd");
    EXPECT_EQ(find(edit, ""), "Clockline add/edit");
    const QList<ControlText> main = FormTexts(QStringLiteral("FrmKlokken"));
    EXPECT_EQ(find(main, "CmdTest"), "Action Test On-Line");
    EXPECT_EQ(find(main, "Tlb_12"), strings.GetResString(987));
    EXPECT_EQ(find(main, "Tlb_7"), "<missing>");
    EXPECT_EQ(find(FormTexts(QStringLiteral("FrmCom")), "FraCom"), "Select Baudrate && Port:");
    EXPECT_TRUE(FormTexts(QStringLiteral("FrmTaal")).isEmpty());

    // A missing text leaves only the literal: a lone colon.
    StringTable empty;
    Strings none(empty);
    for (const ControlText &c : edit) {
        if (c.control == u"LblFnc") {
            EXPECT_EQ(ComposeText(c.recipe, none), ":");
        }
    }
}

} // namespace
