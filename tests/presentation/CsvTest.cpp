#include "ui/presentation/Csv.h"

#include "clock/TableDiff.h"
#include "settings/Strings.h"
#include "tests/support/ScriptedPrompter.h"
#include "ui/presentation/TableDiffText.h"

#include <gtest/gtest.h>

namespace quintara::ui {
namespace {

TEST(Csv, FieldsAreQuotedOnlyWhereTheyMustBe)
{
    EXPECT_EQ(CsvField(QStringLiteral("Hall light 50%")), QStringLiteral("Hall light 50%"));
    EXPECT_EQ(CsvField(QString()), QString());
    EXPECT_EQ(CsvField(QStringLiteral("Living, dining")), QStringLiteral("\"Living, dining\""));
    EXPECT_EQ(CsvField(QStringLiteral("12\" screen")), QStringLiteral("\"12\"\" screen\""));
    EXPECT_EQ(CsvField(QStringLiteral("two\nlines")), QStringLiteral("\"two\nlines\""));
    EXPECT_EQ(CsvField(QStringLiteral("cr\r")), QStringLiteral("\"cr\r\""));
    EXPECT_EQ(CsvRow({QStringLiteral("a"), QStringLiteral("b,c"), QString()}),
              QStringLiteral("a,\"b,c\",\r\n"));
}

TEST(TableDiffText, EveryFieldHasItsNameInEveryLanguage)
{
    testing::ScriptedPrompter prompter;
    settings::Strings strings{settings::StringTable::builtIn(), prompter};
    EXPECT_EQ(LineFieldText(clock::LineField::Minute, strings), QStringLiteral("Minute"));
    EXPECT_EQ(LineFieldText(clock::LineField::Level, strings), QStringLiteral("Level"));
    for (int language = 0; language < settings::LanguageCount; ++language) {
        strings.setLanguageOffset(language * 10000);
        QStringList seen;
        for (int f = 0; f < clock::LineFieldCount; ++f) {
            const QString text = LineFieldText(static_cast<clock::LineField>(f), strings);
            EXPECT_FALSE(text.isEmpty()) << language << ' ' << f;
            EXPECT_FALSE(seen.contains(text)) << language << ' ' << qPrintable(text);
            seen << text;
        }
    }
}

} // namespace
} // namespace quintara::ui
