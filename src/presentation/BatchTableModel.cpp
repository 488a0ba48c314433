#include "presentation/BatchTableModel.h"

namespace quintara::ui {

BatchTableModel::BatchTableModel(QObject *parent) : QAbstractTableModel(parent) {}

void BatchTableModel::setItems(std::vector<book::BatchItem> items)
{
    beginResetModel();
    m_items = std::move(items);
    m_working = -1;
    m_step.clear();
    endResetModel();
}

int BatchTableModel::rowOf(const book::BatchItem &item) const
{
    for (int row = 0; row < int(m_items.size()); ++row)
        if (m_items[size_t(row)].position == item.position)
            return row;
    return -1;
}

void BatchTableModel::changed(int row)
{
    if (row >= 0)
        emit dataChanged(index(row, 0), index(row, Columns - 1));
}

void BatchTableModel::siteBegins(const book::BatchItem &item)
{
    m_working = rowOf(item);
    m_step.clear();
    if (m_working < 0)
        return;
    m_items[size_t(m_working)] = item;
    m_items[size_t(m_working)].state = book::ItemState::Working;
    changed(m_working);
}

void BatchTableModel::setStep(const QString &step)
{
    m_step = step;
    changed(m_working);
}

void BatchTableModel::siteEnded(const book::BatchItem &item)
{
    const int row = rowOf(item);
    if (row < 0)
        return;
    m_items[size_t(row)] = item;
    if (m_cancelling && item.state != book::ItemState::Done)
        m_cancelled.insert(item.position);
    if (row == m_working) {
        m_working = -1;
        m_step.clear();
    }
    changed(row);
}

void BatchTableModel::cancelRequested()
{
    m_cancelling = true;
}

QString BatchTableModel::stateText(int row) const
{
    const book::BatchItem &item = m_items[size_t(row)];
    switch (item.state) {
    case book::ItemState::Waiting:
        return m_cancelled.count(item.position) ? tr("cancelled") : tr("waiting");
    case book::ItemState::Working:
        return tr("working");
    case book::ItemState::Done:
        return tr("done");
    case book::ItemState::Failed:
        return m_cancelled.count(item.position) ? tr("cancelled") : tr("failed");
    }
    return {};
}

int BatchTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

int BatchTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Columns;
}

QVariant BatchTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() ||
        (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const book::BatchItem &item = m_items[size_t(index.row())];
    const bool ended = item.finished.isValid();
    switch (index.column()) {
    case Site:
        return item.siteName;
    case State:
        return stateText(index.row());
    case Step:
        return index.row() == m_working ? m_step : QString();
    case Outcome:
        return ended ? QVariant(item.outcome) : QVariant();
    case Message:
        return item.message;
    default:
        return {};
    }
}

QVariant BatchTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case Site:
        return tr("Site");
    case State:
        return tr("State");
    case Step:
        return tr("Step");
    case Outcome:
        return tr("Outcome");
    case Message:
        return tr("Message");
    default:
        return {};
    }
}

} // namespace quintara::ui
