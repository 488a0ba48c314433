#include "presentation/ClockLineListModel.h"

#include "clock/ClockTable.h"
#include "presentation/DateText.h"
#include "settings/Strings.h"
#include "settings/TextIds.h"

#include <limits>

namespace quintara::ui {

namespace {

qlonglong DateKey(const clock::ClockLine &line, clock::YearWindow years)
{
    return qlonglong(years.fullYear(line.Year) & 0xffff) * 10000 + line.Month * 100 + line.Day;
}

} // namespace

ClockLineListModel::ClockLineListModel(const clock::ClockTable &table,
                                       const LineDescriber &describer, QObject *parent)
    : QAbstractTableModel(parent), m_table(table), m_describer(describer)
{
    refresh();
}

void ClockLineListModel::refresh()
{
    beginResetModel();
    for (int c = 0; c < ColumnCount; ++c)
        m_headers[std::size_t(c)] =
            m_describer.strings().GetResString(settings::TextId::LineList::FirstHeading + c);
    m_rows.clear();
    for (int i = 0; i < clock::ClockLineCount; ++i) {
        if (m_table.Lines[std::size_t(i)].inUse())
            m_rows.append(makeRow(i));
    }
    endResetModel();
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

ClockLineListModel::Row ClockLineListModel::makeRow(int index) const
{
    const clock::ClockLine &line = m_table.Lines[std::size_t(index)];
    Row row;
    row.line = index;
    row.table = line.Table;
    row.functionType = line.FunctionType;
    row.beyondModel = index >= m_table.usableLines();
    auto &texts = row.texts;
    auto &keys = row.sortKeys;

    texts[IndexColumn] = QString::number(index);
    keys[IndexColumn] = index;
    texts[TableColumn] = m_describer.tableText(line);
    keys[TableColumn] = int(line.Table);
    texts[TimeColumn] = LineDescriber::timeText(line);
    keys[TimeColumn] = line.Hour * 60 + line.Minute;
    texts[DateColumn] = m_describer.dateText(line);
    keys[DateColumn] = DateKey(line, m_describer.years());
    texts[RepeatColumn] = m_describer.repeatText(line);
    keys[RepeatColumn] = line.RepeatUnit * 256 + line.RepeatCount;
    texts[FunctionColumn] = m_describer.functionText(line);
    keys[FunctionColumn] = clock::FunctionReference(line.FunctionType, line.FunctionNumber);
    texts[LevelColumn] = m_describer.levelText(line);
    keys[LevelColumn] = int(line.Level);

    // A line that never fires sorts after every line that does.
    const std::optional<QDateTime> next = m_nextFiring ? m_nextFiring(index) : std::nullopt;
    if (next && next->isValid()) {
        texts[NextFiringColumn] = DateText::of(m_describer.strings()).dateTime(*next);
        keys[NextFiringColumn] = next->toMSecsSinceEpoch();
    } else {
        keys[NextFiringColumn] = std::numeric_limits<qlonglong>::max();
    }
    if (m_warnings)
        row.warnings = m_warnings(index);
    keys[WarningColumn] = int(row.warnings.size());
    return row;
}

QString ClockLineListModel::beyondModelReason() const
{
    const settings::Strings &strings = m_describer.strings();
    return m_table.usableLines() == 0
               ? strings.GetResString(settings::TextId::LineList::NoModel)
               : strings.GetResString(settings::TextId::LineList::BeyondModel)
                     .arg(m_table.usableLines());
}

int ClockLineListModel::rowOfLine(int line) const
{
    for (int r = 0; r < m_rows.size(); ++r) {
        if (m_rows[r].line == line)
            return r;
    }
    return -1;
}

int ClockLineListModel::lineAt(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows[row].line : -1;
}

QStringList ClockLineListModel::lineTexts(int line) const
{
    const int r = rowOfLine(line);
    QStringList texts;
    if (r < 0)
        return texts;
    for (const QString &text : m_rows[r].texts) {
        if (!text.isEmpty())
            texts.append(text.simplified());
    }
    return texts;
}

QStringList ClockLineListModel::rowTexts(int row) const
{
    QStringList texts;
    if (row < 0 || row >= m_rows.size())
        return texts;
    for (const QString &text : m_rows[row].texts)
        texts.append(text.simplified());
    texts[WarningColumn] = m_rows[row].warnings.join(QStringLiteral("; "));
    return texts;
}

int ClockLineListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ClockLineListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ClockLineListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size() || index.column() >= ColumnCount)
        return {};
    const Row &row = m_rows[index.row()];
    const auto column = std::size_t(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return row.texts[column];
    case Qt::ToolTipRole:
        if (column == WarningColumn && !row.warnings.isEmpty())
            return row.warnings.join(u'\n');
        if (row.beyondModel)
            return beyondModelReason();
        return {};
    case Qt::AccessibleTextRole:
    case Qt::AccessibleDescriptionRole:
        // A screen reader reads the warnings themselves, not the sign that stands for them.
        if (column == WarningColumn && !row.warnings.isEmpty())
            return row.warnings.join(QStringLiteral("; "));
        return {};
    case Qt::TextAlignmentRole:
        return column == IndexColumn ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    case LineRole:
        return row.line;
    case SortRole:
        return row.sortKeys[column];
    case TableRole:
        return row.table;
    case FunctionTypeRole:
        return row.functionType;
    case BeyondModelRole:
        return row.beyondModel;
    case WarningsRole:
        return row.warnings;
    default:
        return {};
    }
}

QVariant ClockLineListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return section == WarningColumn ? QStringLiteral("!") : m_headers[std::size_t(section)];
    if (role == Qt::ToolTipRole)
        return m_headers[std::size_t(section)];
    return {};
}

} // namespace quintara::ui
