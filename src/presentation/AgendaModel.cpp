#include "presentation/AgendaModel.h"

#include "clock/ClockTable.h"
#include "presentation/LineDescriber.h"
#include "settings/Strings.h"
#include "settings/TextIds.h"

#include <QLocale>

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
    m_texts.fill(std::nullopt);
    m_truncated = false;
    if (from.isValid() && to.isValid() && from <= to) {
        clock::TableFirings firings(m_table, now, workdays, clock::Moment::fromDate(from),
                                    clock::Moment::fromDate(to, 23, 59), filter, maxCount);
        while (const auto firing = firings.next())
            m_firings.push_back(*firing);
        m_truncated = firings.truncated();
    }
    endResetModel();
}

int AgendaModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_firings.size());
}

int AgendaModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant AgendaModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const clock::Firing &firing = m_firings[std::size_t(index.row())];
    const clock::ClockLine &line = m_table.Lines[std::size_t(firing.line)];
    if (role == LineRole)
        return firing.line;
    if (role == TableRole)
        return int(line.Table);
    if (role != Qt::DisplayRole)
        return {};
    std::optional<LineTexts> &texts = m_texts[std::size_t(firing.line)];
    if (!texts)
        texts = LineTexts{m_describer.tableText(line), m_describer.functionText(line),
                          m_describer.levelText(line)};
    switch (index.column()) {
    case DateColumn:
        return QLocale().toString(firing.moment.date(), QStringLiteral("ddd dd-MM-yyyy"));
    case TimeColumn:
        return QStringLiteral("%1:%2")
            .arg(firing.moment.hour(), 2, 10, QLatin1Char('0'))
            .arg(firing.moment.minute(), 2, 10, QLatin1Char('0'));
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

QVariant AgendaModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= ColumnCount)
        return {};
    return m_describer.strings().GetResString(HeadingIds[section]);
}

} // namespace quintara::ui
