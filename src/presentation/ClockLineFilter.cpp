#include "presentation/ClockLineFilter.h"

#include "presentation/ClockLineListModel.h"
#include "presentation/FunctionPresenter.h"

namespace quintara::ui {

ClockLineFilter::ClockLineFilter(QObject *parent) : QSortFilterProxyModel(parent)
{
    setSortRole(ClockLineListModel::SortRole);
}

void ClockLineFilter::setTableFilter(int table)
{
    if (table == m_table)
        return;
    m_table = table;
    invalidateFilter();
}

void ClockLineFilter::setFunctionTypeFilter(int typeListEntry)
{
    if (typeListEntry == m_functionType)
        return;
    m_functionType = typeListEntry;
    invalidateFilter();
}

void ClockLineFilter::setTextFilter(const QString &text)
{
    // Descriptions pad with double blanks ("REL  05 Hall"); what is typed need not.
    const QString simplified = text.simplified();
    if (simplified == m_text)
        return;
    m_text = simplified;
    invalidateFilter();
}

int ClockLineFilter::lineAt(int row) const
{
    const QModelIndex shown = index(row, 0);
    return shown.isValid() ? shown.data(ClockLineListModel::LineRole).toInt() : -1;
}

int ClockLineFilter::rowOfLine(int line) const
{
    const auto *source = qobject_cast<const ClockLineListModel *>(sourceModel());
    if (!source)
        return -1;
    const int sourceRow = source->rowOfLine(line);
    if (sourceRow < 0)
        return -1;
    return mapFromSource(source->index(sourceRow, 0)).row();
}

bool ClockLineFilter::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    const QAbstractItemModel *source = sourceModel();
    const QModelIndex first = source->index(sourceRow, 0, sourceParent);
    if (m_table != All && first.data(ClockLineListModel::TableRole).toInt() != m_table)
        return false;
    if (m_functionType != All &&
        FunctionPresenter::TypeListEntryFor(
            first.data(ClockLineListModel::FunctionTypeRole).toInt()) != m_functionType)
        return false;
    if (m_text.isEmpty())
        return true;
    for (int c = 0; c < source->columnCount(sourceParent); ++c) {
        const QString shown = source->index(sourceRow, c, sourceParent).data().toString();
        if (shown.simplified().contains(m_text, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

bool ClockLineFilter::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    if (QSortFilterProxyModel::lessThan(left, right))
        return true;
    if (QSortFilterProxyModel::lessThan(right, left))
        return false;
    return left.data(ClockLineListModel::LineRole).toInt() <
           right.data(ClockLineListModel::LineRole).toInt();
}

} // namespace quintara::ui
