#include "ui/presentation/Csv.h"

#include <gtest/gtest.h>

namespace quintara::ui {
namespace {

TEST(Csv, FieldsAreQuotedOnlyWhereTheyMustBe)
{
    EXPECT_EQ(CsvField(QStringLiteral("Hall light 50%")), QStringLiteral("Hall light 50%"));
    EXPECT_EQ(CsvField(QStringLiteral("12\" screen")), QStringLiteral("\"12\"\" screen\""));
    EXPECT_EQ(CsvField(QStringLiteral("two\nlines")), QStringLiteral("\"two\nlines\""));
    EXPECT_EQ(CsvField(QStringLiteral("cr\r")), QStringLiteral("\"cr\r\""));
    EXPECT_EQ(CsvRow({QStringLiteral("a"), QStringLiteral("b,c"), QString()}),
              QStringLiteral("a,\"b,c\",\r\n"));
}

} // namespace
} // namespace quintara::ui
