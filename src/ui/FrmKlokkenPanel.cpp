// The main window's selection: the lines under the last click in the information panel, what
// the panel and the week's tooltips say of a line, and the list and agenda choosing lines.
#include "ui/FrmKlokken.h"
#include "ui/FrmKlokkenParts.h"

#include "clock/ClockTable.h"
#include "clock/Firings.h"
#include "clock/Occurrences.h"
#include "settings/NameTables.h"
#include "settings/TextIds.h"
#include "ui/Program.h"
#include "presentation/LineDescriber.h"

#include "render/Pictures.h"
#include "ui/FileCommands.h"
#include "ui/InfoPanel.h"
#include "ui/LineCommands.h"
#include "ui/WeekInput.h"
#include "ui/LineListView.h"
#include "ui/WeekView.h"
#include "presentation/HealthText.h"

#include <QLocale>

#include <algorithm>

namespace quintara::ui {

using namespace klokken;

namespace {

constexpr int BandTextId = 2110;

} // namespace

void FrmKlokken::buildSidePanel()
{
    m_panel = new InfoPanel(m_pictures, m_surface);
    LineCommands &lines = *m_lines;
    connect(m_panel, &InfoPanel::addClicked, this, [&lines] { lines.AddLine(clock::Workday); });
    connect(m_panel, &InfoPanel::editClicked, this, [&lines] { lines.EditLine(); });
    connect(m_panel, &InfoPanel::deleteClicked, this, [&lines] { lines.DeleteLine(); });
    connect(m_panel, &InfoPanel::testClicked, this, [&lines] { lines.OnlineTest(); });
    connect(m_panel, &InfoPanel::tabChosen, this, [this](int index) { tabChosen(index); });
}

void FrmKlokken::showSelection(const QList<int> &lines, int chosen)
{
    QList<InfoPanel::Entry> entries;
    for (const int index : lines) {
        const clock::ClockLine *line = m_program.clockTable.line(index);
        if (!line)
            break;
        const auto [what, when] = m_describer.panelSummary(*line);
        entries.append({what, when, render::MarkerPicture(line->FunctionType, line->Level)});
    }
    m_panel->showEntries(entries, chosen);
    // The list follows (without answering back, so its own choice of several rows stays).
    if (!m_lineViews->list()->signalsBlocked())
        m_lineViews->list()->selectLine(chosen >= 0 ? lines[chosen] : -1);
}

QString FrmKlokken::markerToolTip(QPoint at) const
{
    const auto time = [](int minuteOfDay) {
        return QStringLiteral("%1:%2")
            .arg(minuteOfDay / 60, 2, 10, QLatin1Char('0'))
            .arg(minuteOfDay % 60, 2, 10, QLatin1Char('0'));
    };
    const WeekProjection onto = m_pic->projection();
    const std::vector<int> hits = m_model.hitList(at, onto);
    if (hits.empty())
        return {};
    // What will not work as intended, as the list's warnings say it.
    const auto warnings =
        HealthTextsByLine(m_files->healthProblems(), m_program.clockTable, m_program.strings,
                          m_files->years());
    QStringList lines;
    for (const int index : hits) {
        const clock::ClockLine &line = m_program.clockTable.Lines[std::size_t(index)];
        const auto [what, when] = m_describer.panelSummary(line);
        QString text = what.simplified() + u'\n' + when.simplified();
        if (line.Table < clock::TableKindCount)
            text += QStringLiteral(" (%1)").arg(
                m_program.strings.GetResString(clock::TableKindNameIds[line.Table]).trimmed());
        for (const WeekBand &band : m_model.bandsAt(at, onto)) {
            if (band.line == index && band.stepMinutes > 0)
                text += u'\n' + m_program.strings.GetResString(BandTextId)
                                    .arg(band.stepMinutes)
                                    .arg(time(band.firstMinute), time(band.lastMinute))
                                    .arg(band.count);
        }
        for (const QString &warning : warnings[std::size_t(index)])
            text += QStringLiteral("\n⚠ ") + warning;
        lines.append(text);
    }
    return lines.join(QStringLiteral("\n\n"));
}

QString FrmKlokken::daySpeech(int row) const
{
    const QDate day = m_firstShownDay.addDays(row);
    const bool workday = m_program.project.WorkdayFlags()[std::size_t(row)] == 1;
    return QLocale().toString(day, QStringLiteral("dddd ")) +
           day.toString(QStringLiteral("dd-MM-yyyy, ")) +
           m_program.strings.GetResString(workday ? settings::TextId::TableName::Workday
                                                  : settings::TextId::TableName::Weekend)
               .trimmed();
}

QString FrmKlokken::markerSpeech(const WeekMarker &marker) const
{
    const clock::ClockLine &line = m_program.clockTable.Lines[std::size_t(marker.line)];
    const QDate day = m_firstShownDay.addDays((marker.y - WeekCanvas::FirstRowY) / RowPitch);
    QStringList parts{
        QLocale().toString(day, QStringLiteral("dddd ")) +
            day.toString(QStringLiteral("dd-MM-yyyy ")) +
            QStringLiteral("%1:%2")
                .arg(marker.minute / 60, 2, 10, QLatin1Char('0'))
                .arg(marker.minute % 60, 2, 10, QLatin1Char('0')),
        m_describer.functionText(line).simplified(), m_describer.levelText(line).simplified(),
        m_describer.tableText(line)};
    // What will not work as intended, as the list's warnings say it.
    const auto warnings = HealthTextsByLine(m_files->healthProblems(), m_program.clockTable,
                                            m_program.strings, m_files->years());
    parts.append(warnings[std::size_t(marker.line)]);
    return parts.join(QStringLiteral(", "));
}

void FrmKlokken::tabChosen(int index)
{
    const std::optional<int> line = m_input->chooseHit(index);
    if (!line)
        return;
    m_panel->highlight(index);
    // The list shows the chosen line as the week does.
    m_lineViews->list()->selectLine(*line);
}

void FrmKlokken::buildViews()
{
    m_lineViews = new LineViews(m_program, m_lineModel, m_agendaModel,
                                [this] { return m_files->healthProblems(); }, m_surface);
    connect(m_lineViews, &LineViews::lineChosen, this, [this](int line) { selectLine(line); });
    connect(m_lineViews, &LineViews::choiceCleared, this, [this] {
        if (m_program.clockTable.SelectedLine == 0)
            return;
        const QSignalBlocker quiet(m_lineViews->list());
        m_input->clearSelection();
    });
    connect(m_lineViews, &LineViews::editRequested, this, [this](int line) {
        selectLine(line);
        m_lines->EditLine();
    });
    connect(m_lineViews, &LineViews::deleteRequested, this,
            [this](const QList<int> &lines) { m_lines->DeleteLines(lines); });
    connect(m_lineViews, &LineViews::firingChosen, this, [this](int line) { selectLine(line); });
}

void FrmKlokken::selectLine(int index)
{
    const clock::ClockLine *line = m_program.clockTable.line(index);
    if (!line || !line->inUse()) {
        m_input->clearSelection();
        return;
    }
    // The week of the line's next firing, on the row of that day.
    const QDateTime now = m_program.clock.now();
    const clock::LineFirings firings(*line, now, m_program.project.WorkdayFlags());
    if (const auto next = firings.firstFrom(clock::Moment::fromDateTime(now))) {
        const QDate currentMonday = clock::MondayOf(now.date());
        showWeek(int(currentMonday.daysTo(clock::MondayOf(next->date())) / 7));
        m_input->setFocusRow(clock::WeekdayRow(next->date()));
    }
    const QSignalBlocker quiet(m_lineViews->list());
    m_input->selectMarkerOf(index, m_input->focusRow());
    // No marker of it on show (a hidden day-table, a band): the line all the same.
    if (m_program.clockTable.SelectedLine != index + 1)
        m_input->selectOnly(index);
}

} // namespace quintara::ui
