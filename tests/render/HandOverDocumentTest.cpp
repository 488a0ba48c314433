// The hand-over on paper, read back as a reader of the PDF sees it: the week across the page,
// the list's warnings in words.
#include "render/HandOverDocument.h"

#include "clock/ClockTable.h"
#include "presentation/WeekViewModel.h"
#include "render/Pictures.h"
#include "render/WeekPainter.h"
#include "settings/Strings.h"
#include "tests/support/TestYears.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>

using namespace quintara;

namespace {

const QDate Monday(2026, 12, 7);

struct HandOverTest : ::testing::Test {
    QTemporaryDir dir;
    QString pdf = dir.filePath(QStringLiteral("hand-over.pdf"));
    settings::Strings strings{settings::StringTable::builtIn()};

    void SetUp() override
    {
        ASSERT_FALSE(QStandardPaths::findExecutable("pdftoppm").isEmpty())
            << "scripts/deps installs poppler-utils";
    }
    void save(const std::function<int(QPagedPaintDevice &)> &paint)
    {
        const QByteArray bytes = render::PaintPdf("hand-over", QPageLayout::Landscape, paint);
        QFile file(pdf);
        ASSERT_TRUE(!bytes.isEmpty() && file.open(QIODevice::WriteOnly) && file.write(bytes));
    }
    render::DocumentHead head() const
    {
        return render::MakeDocumentHead(strings, "house.nbt", "house.clk", 0, 100,
                                        QDateTime(Monday, QTime(9, 0)));
    }
    QByteArray run(const char *tool, const QStringList &arguments) const
    {
        QProcess process;
        process.start(QStandardPaths::findExecutable(tool), arguments);
        process.waitForFinished(30000);
        return process.readAllStandardOutput();
    }
    // The text as a reader finds it, ligatures as their letters.
    QString text() const
    {
        return QString::fromUtf8(run("pdftotext", {"-layout", pdf, "-"}))
            .normalized(QString::NormalizationForm_KC);
    }
};

// What is drawn between the rows `top` and `bottom`: where it begins and ends.
QRect Ink(const QImage &image, int top, int bottom)
{
    QRect ink;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < image.width(); ++x)
            if (const QColor c = image.pixelColor(x, y);
                std::min({c.red(), c.green(), c.blue()}) < 235)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

// On a landscape page, where the height limits the week, it still reaches the right margin.
TEST_F(HandOverTest, TheWeekSpansThePagesWidth)
{
    clock::ClockTable table;
    table.MaxClockLines = 100;
    ui::WeekViewModel model;
    model.build(table, Monday, {1, 1, 1, 1, 1, 0, 0}, quintara::testing::Years2026,
                {true, true, true, true, true});
    const render::Pictures pictures;
    save([&](QPagedPaintDevice &device) {
        return render::PaintHandOver(device, pictures, head(),
                                     {model, table, {1, 1, 1, 1, 1, 0, 0}, Monday, {}}, {});
    });
    const QString png = dir.filePath(QStringLiteral("page"));
    run("pdftoppm", {"-r", "30", "-l", "1", "-singlefile", "-png", pdf, png});
    const QImage page(png + ".png");
    // The head's rule runs from margin to margin; the days (a third of the way down) as far,
    // beside a narrow column of day names; week and legend reach the bottom margin.
    const QRect all = Ink(page, 0, page.height());
    const QRect days = Ink(page, page.height() / 4, page.height() / 3);
    EXPECT_GE(days.right(), all.right() - page.width() / 100 - 1);
    EXPECT_GT(days.width(), all.width() * 0.8);
    EXPECT_GE(all.bottom(), page.height() - all.top() - page.height() / 20);
}

TEST_F(HandOverTest, ARowsNotesFollowItInWords)
{
    QStandardItemModel rows(2, 3);
    rows.setHorizontalHeaderLabels({"No.", "Function", "!"});
    for (int r = 0; r < 2; ++r) {
        rows.setItem(r, 0, new QStandardItem(QString::number(r + 1)));
        rows.setItem(r, 1, new QStandardItem(QStringLiteral("Hall light %1").arg(r + 1)));
    }
    const QStringList notes{"Switches the hall on and off at 07:00", "Never fires"};
    rows.setData(rows.index(0, 2), notes, Qt::UserRole);
    save([&](QPagedPaintDevice &device) {
        return render::PaintTables(device, head(), {{"Lines", &rows, 2, Qt::UserRole}});
    });
    // The first row marked, its notes below it and above the second row.
    EXPECT_TRUE(text().contains(QRegularExpression(
        "Hall light 1 +!\\s*\\n +Switches the hall on and off at 07:00\\s*\\n +Never fires\\s*\\n"
        "2 +Hall light 2 *\\n")))
        << text().toStdString();
}

} // namespace
