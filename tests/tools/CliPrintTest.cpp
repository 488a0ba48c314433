#include "tests/tools/CliFixture.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace quintara::testing {
namespace {

// What a reader of the PDF finds: its page count and its text (ligatures as their letters).
struct PdfContents {
    int pages = 0;
    QString text;
};

PdfContents ReadPdf(const QString &path)
{
    PdfContents contents;
    const auto tool = [](const char *name) {
        return QStandardPaths::findExecutable(QString::fromLatin1(name));
    };
    QProcess info;
    info.start(tool("pdfinfo"), {path});
    info.waitForFinished(20000);
    for (const QByteArray &line : info.readAllStandardOutput().split('\n')) {
        if (line.startsWith("Pages:"))
            contents.pages = line.mid(6).trimmed().toInt();
    }
    QProcess text;
    text.start(tool("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    text.waitForFinished(20000);
    contents.text =
        QString::fromUtf8(text.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
    return contents;
}

class CliPrintTest : public CliTest {
protected:
    QString pdf = writeFile("placeholder", {}).replace("placeholder", "hand-over.pdf");
};

TEST_F(CliPrintTest, TheDemoHandOverHoldsItsWeekLinesAndAgenda)
{
    ASSERT_FALSE(QStandardPaths::findExecutable("pdftotext").isEmpty())
        << "scripts/deps installs poppler-utils";
    const QStringList arguments{"print", demoClockFile(),    "--project", demoProject(), "-o", pdf,
                                "--now", "2026-12-09T10:00", "--monday",  "2026-12-07"};
    CliRun result = run(arguments);
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    EXPECT_EQ(result.out, "Wrote 2 pages to " + pdf.toUtf8() + "\n");
    PdfContents contents = ReadPdf(pdf);
    // The week, then the list of its 39 lines.
    EXPECT_EQ(contents.pages, 2);
    for (const char *expected :
         {"Project file: demo.nbt", "Clock file: demo.clk", "Monday:", "07-12-2026",
          "All clock lines", "Good night children", "Bathroom fan 15 min"})
        EXPECT_TRUE(contents.text.contains(QLatin1String(expected))) << expected;

    // A week of agenda adds its pages: every firing of the week, in time order.
    result = run(arguments + QStringList{"--agenda-weeks", "1"});
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    contents = ReadPdf(pdf);
    EXPECT_GT(contents.pages, 2);
    EXPECT_TRUE(contents.text.contains("Agenda 2026-12-07 - 2026-12-13"));
    EXPECT_TRUE(contents.text.contains(QRegularExpression("10-12-2026\\s+06:30\\s+1\\b")));
}

TEST_F(CliPrintTest, AMistakeOrAnUnwritablePlaceWritesNothing)
{
    EXPECT_EQ(run({"print", demoClockFile()}).exitCode, 2); // no -o
    EXPECT_EQ(run({"print", demoClockFile(), "-o", pdf, "--agenda-weeks", "60"}).exitCode, 2);
    // A place that cannot be written is a failure, said before anything is painted.
    EXPECT_EQ(run({"print", demoClockFile(), "-o", "/dev/null"}).exitCode, 1);
    const CliRun nowhere = run({"print", demoClockFile(), "-o", "/no/such/folder/x.pdf"});
    EXPECT_EQ(nowhere.exitCode, 1);
    EXPECT_TRUE(
        nowhere.err.endsWith("quintara-cli: The folder of /no/such/folder/x.pdf does not exist\n"))
        << nowhere.err.constData();
    EXPECT_FALSE(QFile::exists(pdf));
}

} // namespace
} // namespace quintara::testing
