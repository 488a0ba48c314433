#include "presentation/AgendaModel.h"

#include "clock/ClockTable.h"
#include "presentation/DateText.h"
#include "presentation/LineDescriber.h"
#include "settings/Strings.h"
#include "settings/TextIds.h"

#include <QLocale>

#include <algorithm>

namespace quintara::ui {

namespace {

// Column headings, shared with the list of all lines where they say the same.
namespace List = settings::TextId::LineList;
constexpr int HeadingIds[AgendaModel::ColumnCount] = {settings::TextId::Agenda::Date,
                                                      List::Time,
                                                      List::Number,
                                                      List::DayTable,
                                                      List::Function,
                                                      List::Level};

QString TimeText(int hour, int minute)
{
    return QStringLiteral("%1:%2")
        .arg(hour, 2, 10, QLatin1Char('0'))
        .arg(minute, 2, 10, QLatin1Char('0'));
}

} // namespace

AgendaModel::AgendaModel(const clock::ClockTable &table, const LineDescriber &describer,
                         QObject *parent)
    : QAbstractTableModel(parent), m_table(table), m_describer(describer)
{
}

void AgendaModel::fill(const QDateTime &now, const clock::WorkdayFlagSet &workdays, QDate from,
                       QDate to, const clock::FiringFilter &filter, int maxCount)
{
    beginResetModel();
    m_firings.clear();
    m_rows.clear();
    m_texts.fill(std::nullopt);
    m_truncated = false;
    if (from.isValid() && to.isValid() && from <= to) {
        clock::TableFirings firings(m_table, now, workdays, clock::Moment::fromDate(from),
                                    clock::Moment::fromDate(to, 23, 59), filter, maxCount);
        while (const auto firing = firings.next())
            m_firings.push_back(*firing);
        m_truncated = firings.truncated();
    }
    m_rows.reserve(m_firings.size());
    for (int k = 0; k < int(m_firings.size()); ++k)
        m_rows.push_back({k, {}, false});
    if (m_sun && from.isValid() && to.isValid() && from <= to) {
        // A cut-off agenda gets no sun past its last firing.
        if (m_truncated && !m_firings.empty())
            to = std::min(to, m_firings.back().moment.date());
        addSunRows(from, to);
    }
    endResetModel();
}

void AgendaModel::addSunRows(QDate from, QDate to)
{
    // A day's sunset after midnight (far north in summer) stands on the date it happens.
    const plan::SunDaysOutcome outcome =
        plan::SunDays(m_sun->location, from.addDays(-1), to, m_sun->zone);
    const auto *days = std::get_if<QList<plan::SunDay>>(&outcome);
    if (!days)
        return;
    std::vector<Row> sunRows;
    for (const plan::SunDay &day : *days) {
        for (const auto &[event, sunrise] : {std::pair{day.sunrise, true}, {day.sunset, false}}) {
            if (!event)
                continue;
            const QDateTime at = plan::NearestMinute(*event);
            if (at.date() >= from && at.date() <= to)
                sunRows.push_back({-1, at, sunrise});
        }
    }
    const auto key = [this](const Row &row) {
        if (row.firing < 0)
            return std::tuple(row.sunAt.date(), row.sunAt.time().hour() * 60 +
                                                    row.sunAt.time().minute(), 0);
        const clock::Moment &moment = m_firings[std::size_t(row.firing)].moment;
        return std::tuple(moment.date(), moment.hour() * 60 + moment.minute(), 1);
    };
    std::vector<Row> merged;
    merged.reserve(m_rows.size() + sunRows.size());
    std::merge(sunRows.begin(), sunRows.end(), m_rows.begin(), m_rows.end(),
               std::back_inserter(merged),
               [&key](const Row &a, const Row &b) { return key(a) < key(b); });
    m_rows = std::move(merged);
}

int AgendaModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int AgendaModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant AgendaModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Row &row = m_rows[std::size_t(index.row())];
    if (row.firing < 0)
        return sunData(row, index.column(), role);
    const clock::Firing &firing = m_firings[std::size_t(row.firing)];
    const clock::ClockLine &line = m_table.Lines[std::size_t(firing.line)];
    if (role == LineRole)
        return firing.line;
    if (role == TableRole)
        return int(line.Table);
    if (role == Qt::ToolTipRole || role == Qt::AccessibleTextRole ||
        role == Qt::AccessibleDescriptionRole) {
        // Every cell of the firing: a screen reader reads the warnings wherever it stands.
        const QStringList warnings = m_warnings ? m_warnings(firing.line) : QStringList();
        if (warnings.isEmpty())
            return {};
        return warnings.join(role == Qt::ToolTipRole ? QStringLiteral("\n") : QStringLiteral("; "));
    }
    if (role != Qt::DisplayRole)
        return {};
    std::optional<LineTexts> &texts = m_texts[std::size_t(firing.line)];
    if (!texts)
        texts = LineTexts{m_describer.tableText(line), m_describer.functionText(line),
                          m_describer.levelText(line)};
    switch (index.column()) {
    case DateColumn:
        return DateText::of(m_describer.strings()).dayAndDate(firing.moment.date());
    case TimeColumn:
        return TimeText(firing.moment.hour(), firing.moment.minute());
    case LineColumn:
        return firing.line;
    case TableColumn:
        return texts->table;
    case FunctionColumn:
        return texts->function;
    case LevelColumn:
        return texts->level;
    default:
        return {};
    }
}

QVariant AgendaModel::sunData(const Row &row, int column, int role) const
{
    if (role == SunRole)
        return true;
    if (role != Qt::DisplayRole)
        return {};
    switch (column) {
    case DateColumn:
        return DateText::of(m_describer.strings()).dayAndDate(row.sunAt.date());
    case TimeColumn:
        return TimeText(row.sunAt.time().hour(), row.sunAt.time().minute());
    case FunctionColumn:
        return row.sunrise ? tr("Sunrise") : tr("Sunset");
    default:
        return QString();
    }
}

QVariant AgendaModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= ColumnCount)
        return {};
    return m_describer.strings().GetResString(HeadingIds[section]);
}

} // namespace quintara::ui
