#include "tools/cli/Commands.h"
#include "tools/cli/Session.h"

#include "clock/Firings.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "presentation/AgendaModel.h"
#include "presentation/ClockLineListModel.h"
#include "presentation/HealthText.h"
#include "presentation/LineDescriber.h"
#include "presentation/WeekViewModel.h"
#include "render/HandOverDocument.h"
#include "render/Pictures.h"
#include "render/WeekPainter.h"
#include "settings/TextIds.h"

#include <QBuffer>
#include <QFileInfo>
#include <QLocale>
#include <QPdfWriter>
#include <QTextStream>

#include <cstdio>

namespace quintara::cli {

int RunPrint(Session &session, const QString &clockFile, const QString &pdfFile,
             std::optional<QDate> monday, int agendaWeeks, const platform::Clock &clock,
             QTextStream &out)
{
    if (!session.ReadClock(clockFile))
        return ExitFailed;
    clock::ClockTable &table = session.clockTable();
    const QDateTime now = clock.now();
    // As the window shows it: reference dates kept current, every day-table on show.
    clock::CheckDates(table, now.date());
    const clock::YearWindow years = clock::YearWindow::around(now);
    const QDate firstDay = monday.value_or(clock::MondayOf(now.date()));
    const clock::WorkdayFlagSet workdays = session.workdays();
    ui::WeekViewModel week;
    week.build(table, firstDay, workdays, years, {true, true, true, true, true});

    const ui::LineDescriber describer(session.presenter(), session.names(), session.strings(),
                                      clock);
    ui::ClockLineListModel lines(table, describer);
    const auto warnings =
        ui::HealthTextsByLine(session.health(now), table, session.strings(), years);
    lines.setWarnings([&warnings](int line) { return warnings[std::size_t(line)]; });
    lines.setNextFiring(
        [&](int line) { return clock::NextFiring(table.Lines[std::size_t(line)], now, workdays); });
    lines.refresh();
    const settings::Strings &strings = session.strings();
    QList<render::DocumentTable> tables{
        {strings.GetResString(settings::TextId::Print::AllLinesTitle), &lines,
         ui::ClockLineListModel::WarningColumn, ui::ClockLineListModel::WarningsRole}};
    ui::AgendaModel agenda(table, describer);
    if (agendaWeeks > 0) {
        const QDate last = firstDay.addDays(7 * agendaWeeks - 1);
        agenda.fill(now, workdays, firstDay, last);
        tables.append({strings.GetResString(settings::TextId::Print::AgendaTitle) +
                           QStringLiteral(" %1 - %2")
                               .arg(firstDay.toString(Qt::ISODate), last.toString(Qt::ISODate)),
                       &agenda});
    }

    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    int pages = 0;
    {
        QPdfWriter pdf(&bytes);
        pdf.setResolution(300);
        pdf.setPageOrientation(QPageLayout::Landscape);
        pdf.setTitle(QFileInfo(clockFile).fileName());
        pdf.setCreator(QStringLiteral("Quintara"));
        const render::Pictures pictures;
        pages = render::PaintHandOver(
            pdf, pictures,
            render::MakeDocumentHead(strings, session.settings().nbtFile, clockFile,
                                     session.project().ModelIndex, table.MaxClockLines, now),
            render::DocumentWeek{week, table, workdays, firstDay,
                                 render::WeekPainter::LegendCaptions(session.names(), session.strings())},
            tables);
    }
    if (pages == 0) {
        std::fputs("Nothing could be painted into the PDF\n", stderr);
        return ExitFailed;
    }
    if (const auto failure = platform::WriteWholeFile(pdfFile, bytes.data())) {
        const QString reason = settings::WriteFailureText(session.strings(), *failure);
        std::fputs(qPrintable(platform::FileFailure(pdfFile, reason) + u'\n'), stderr);
        return ExitFailed;
    }
    out << "Wrote " << pages << (pages == 1 ? " page" : " pages") << " to " << pdfFile << '\n';
    return ExitOk;
}

} // namespace quintara::cli
