// The main window's selection: the lines under the last click in the information panel, and
// what the panel and the week's tooltips say of a line.
#include "ui/FrmKlokken.h"
#include "ui/FrmKlokkenParts.h"

#include "clock/ClockTable.h"
#include "settings/NameTables.h"
#include "ui/Program.h"
#include "presentation/LineDescriber.h"

#include "render/Pictures.h"
#include "ui/InfoPanel.h"
#include "ui/LineListView.h"
#include "ui/WeekView.h"
#include "presentation/HealthText.h"

#include <algorithm>

namespace quintara::ui {

using namespace klokken;

namespace {

constexpr int BandTextId = 2110;

} // namespace

void FrmKlokken::buildSidePanel()
{
    m_panel = new InfoPanel(m_pictures, m_surface);
    connect(m_panel, &InfoPanel::addClicked, this, [this] { AddLine(clock::Workday); });
    connect(m_panel, &InfoPanel::editClicked, this, [this] { EditLine(); });
    connect(m_panel, &InfoPanel::deleteClicked, this, [this] { DeleteLine(); });
    connect(m_panel, &InfoPanel::testClicked, this, [this] { OnlineTest(); });
    connect(m_panel, &InfoPanel::tabChosen, this, [this](int index) { tabChosen(index); });
}

void FrmKlokken::SetSelected(int newCount, int newIndex)
{
    clock::ClockTable &table = m_program.clockTable;
    newCount = std::clamp(newCount, 0, MaxHits);
    m_hitCount = newCount;
    const bool choose = newIndex >= 1 && newIndex <= newCount;
    const int chosen = choose ? m_hits[static_cast<std::size_t>(newIndex - 1)] : 0;
    const bool repaint = table.SelectedLine != chosen;
    table.SelectedLine = static_cast<qint16>(chosen);
    if (repaint)
        PaintAClock(chosen - 1, Settled);

    QList<InfoPanel::Entry> entries;
    for (int k = 0; k < newCount; ++k) {
        const clock::ClockLine *line = table.line(m_hits[std::size_t(k)] - 1);
        if (!line)
            break;
        const auto [what, when] = lineSummary(*line);
        entries.append({what, when, render::MarkerPicture(line->FunctionType, line->Level)});
    }
    m_panel->showEntries(entries, choose ? newIndex - 1 : -1);
    // The list follows (without answering back, so its own choice of several rows stays).
    if (!m_lineList->signalsBlocked())
        m_lineList->selectLine(chosen - 1);
    m_lastTab = choose ? newIndex - 1 : -1;
}

std::pair<QString, QString> FrmKlokken::lineSummary(const clock::ClockLine &line) const
{
    return m_describer.panelSummary(line);
}

QString FrmKlokken::markerToolTip(QPoint at) const
{
    const auto time = [](int minuteOfDay) {
        return QStringLiteral("%1:%2")
            .arg(minuteOfDay / 60, 2, 10, QLatin1Char('0'))
            .arg(minuteOfDay % 60, 2, 10, QLatin1Char('0'));
    };
    static constexpr int TableNameIds[] = {1003, 1005, 1006, 1007, 1004};
    const WeekProjection onto = m_pic->projection();
    const std::vector<int> hits = m_model.hitList(at, onto);
    if (hits.empty())
        return {};
    // What will not work as intended, as the list's warnings say it.
    const auto warnings =
        HealthTextsByLine(healthProblems(), m_program.clockTable, m_program.strings, years());
    QStringList lines;
    for (const int index : hits) {
        const clock::ClockLine &line = m_program.clockTable.Lines[std::size_t(index)];
        const auto [what, when] = lineSummary(line);
        QString text = what.simplified() + u'\n' + when.simplified();
        if (line.Table < clock::TableKindCount)
            text += QStringLiteral(" (%1)").arg(
                m_program.strings.GetResString(TableNameIds[line.Table]).trimmed());
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

void FrmKlokken::tabChosen(int index)
{
    if (index < 0 || index >= m_hitCount || index == m_lastTab)
        return;
    m_panel->highlight(index);
    const int chosen = m_hits[static_cast<std::size_t>(index)];
    m_program.clockTable.SelectedLine = static_cast<qint16>(chosen);
    PaintAClock(chosen - 1, Settled);
    m_lastTab = index;
    // The list shows the chosen line as the week does.
    m_lineList->selectLine(chosen - 1);
}

} // namespace quintara::ui
