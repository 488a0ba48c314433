// The hand-over on paper, read back as a reader of the PDF sees it: the week across the page in
// either orientation, the legend's words whole, the list's warnings in words.
#include "render/HandOverDocument.h"

#include "clock/ClockTable.h"
#include "presentation/WeekViewModel.h"
#include "render/Pictures.h"
#include "render/WeekPainter.h"
#include "settings/NameTables.h"
#include "settings/Strings.h"
#include "tests/clock/TestLines.h"
#include "tests/support/TestYears.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace quintara;

namespace {

const QDate Monday(2026, 12, 7);

struct HandOverTest : ::testing::Test {
    QTemporaryDir dir;
    QString pdf = dir.filePath(QStringLiteral("hand-over.pdf"));
    settings::Strings strings{settings::StringTable::builtIn()};
    clock::ClockTable table;
    ui::WeekViewModel model;
    render::Pictures pictures;

    HandOverTest()
    {
        table.MaxClockLines = 100;
        table.Lines[0] = clock::testing::Line(Monday, 6, 30, clock::Workday, clock::Days, 1);
        model.build(table, Monday, {1, 1, 1, 1, 1, 0, 0}, quintara::testing::Years2026,
                    {true, true, true, true, true});
    }

    void SetUp() override
    {
        for (const char *tool : {"pdftoppm", "pdftotext"})
            ASSERT_FALSE(QStandardPaths::findExecutable(tool).isEmpty())
                << "scripts/deps installs poppler-utils";
    }

    render::DocumentHead head() const
    {
        return render::MakeDocumentHead(strings, "house.nbt", "house.clk", 0, 100,
                                        QDateTime(Monday, QTime(9, 0)));
    }

    // The week in the language in force into the PDF file.
    void print(QPageLayout::Orientation orientation)
    {
        const settings::NameTables names = settings::FillNameTables(strings);
        const render::DocumentWeek week{model,
                                        table,
                                        {1, 1, 1, 1, 1, 0, 0},
                                        Monday,
                                        render::WeekPainter::LegendCaptions(names, strings)};
        save(render::PaintPdf("week", orientation, [&](QPagedPaintDevice &device) {
            return render::PaintHandOver(device, pictures, head(), week, {});
        }));
    }
    void save(const QByteArray &bytes)
    {
        QFile file(pdf);
        ASSERT_TRUE(!bytes.isEmpty() && file.open(QIODevice::WriteOnly) && file.write(bytes));
    }

    static QByteArray Run(const QString &tool, const QStringList &arguments)
    {
        QProcess process;
        process.start(QStandardPaths::findExecutable(tool), arguments);
        process.waitForFinished(30000);
        return process.readAllStandardOutput();
    }
    QImage firstPage() const
    {
        const QString png = dir.filePath(QStringLiteral("page"));
        Run("pdftoppm", {"-r", "30", "-f", "1", "-l", "1", "-singlefile", "-png", pdf, png});
        return QImage(png + ".png");
    }
    QString text() const
    {
        return QString::fromUtf8(Run("pdftotext", {"-layout", pdf, "-"}))
            .normalized(QString::NormalizationForm_KC);
    }
};

// Where anything is drawn within the rows from `top` to `bottom`.
QRect Ink(const QImage &image, int top, int bottom)
{
    QRect ink;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < image.width(); ++x)
            if (const QColor c = image.pixelColor(x, y); std::min({c.red(), c.green(), c.blue()}) < 235)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

TEST_F(HandOverTest, TheWeekSpansThePageInEitherOrientation)
{
    for (const auto orientation : {QPageLayout::Portrait, QPageLayout::Landscape}) {
        print(orientation);
        const QImage page = firstPage();
        ASSERT_FALSE(page.isNull());
        EXPECT_EQ(page.width() > page.height(), orientation == QPageLayout::Landscape);
        // The head's rule runs from margin to margin; the week's days (a third of the way
        // down) reach the right margin, beside a narrow column of day names.
        const QRect all = Ink(page, 0, page.height());
        const QRect days = Ink(page, page.height() / 4, page.height() / 3);
        EXPECT_GE(days.right(), all.right() - page.width() / 100 - 1) << orientation;
        EXPECT_GT(days.width(), all.width() * 0.8) << orientation;
        // On a landscape page the height limits the week: week and legend reach the bottom
        // margin (as far from the page's edge as the head is).
        if (orientation == QPageLayout::Landscape) {
            EXPECT_GE(all.bottom(), page.height() - all.top() - page.height() / 20);
        }
    }
}

TEST_F(HandOverTest, TheLegendKeepsItsWordsWholeInEveryLanguage)
{
    for (int language = 0; language < settings::LanguageCount; ++language) {
        strings.setLanguageOffset(language * settings::LanguageStep);
        print(language % 2 ? QPageLayout::Portrait : QPageLayout::Landscape);
        const QStringList words =
            text().split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        const settings::NameTables names = settings::FillNameTables(strings);
        // The messages' and the sensors' names were the ones cut short.
        const QStringList captions = render::WeekPainter::LegendCaptions(names, strings) +
                                     QStringList{names.functionTypeName(54),
                                                 names.functionTypeName(65)};
        for (const QString &caption : captions)
            for (const QString &word : caption.split(u' '))
                EXPECT_TRUE(words.contains(word)) << language << ": " << word.toStdString();
    }
}

TEST_F(HandOverTest, ARowsNotesFollowItInWords)
{
    QStandardItemModel rows(2, 3);
    rows.setHorizontalHeaderLabels({"No.", "Function", "!"});
    const QStringList notes{"Switches the hall both on and off at 07:00",
                            "Never fires: its date lies in the past"};
    for (int r = 0; r < 2; ++r) {
        rows.setItem(r, 0, new QStandardItem(QString::number(r + 1)));
        rows.setItem(r, 1, new QStandardItem(QStringLiteral("Hall light %1").arg(r + 1)));
    }
    rows.setData(rows.index(0, 2), notes, Qt::UserRole);
    save(render::PaintPdf("lines", QPageLayout::Portrait, [&](QPagedPaintDevice &device) {
        return render::PaintTables(device, head(), {{"Lines", &rows, 2, Qt::UserRole}});
    }));
    const QStringList lines = text().split(u'\n');
    // The first row marked, its notes below it and above the second row.
    const auto lineOf = [&lines](const QString &part) {
        const auto found = std::find_if(lines.begin(), lines.end(), [&part](const QString &line) {
            return line.contains(part);
        });
        return found == lines.end() ? -1 : found - lines.begin();
    };
    const qsizetype first = lineOf("Hall light 1"), second = lineOf("Hall light 2");
    ASSERT_TRUE(first >= 0 && second > first) << lines.join(u'\n').toStdString();
    EXPECT_TRUE(lines[first].trimmed().endsWith(u'!'));
    EXPECT_FALSE(lines[second].contains(u'!'));
    for (const QString &note : notes) {
        const qsizetype at = lineOf(note);
        EXPECT_TRUE(at > first && at < second) << note.toStdString();
    }
}

} // namespace
