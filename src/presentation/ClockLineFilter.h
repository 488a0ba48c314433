#pragma once

#include <QSortFilterProxyModel>

namespace quintara::ui {

// Sorts the list of clock lines by each column's own order and keeps the rows that match the
// chosen day-table, function type (an entry of the function type list, so the sensor and
// audio groups take in their members) and text (case-insensitive, over the shown texts).
// Equal keys fall back to the line index, so an order never depends on the sort before.
class ClockLineFilter : public QSortFilterProxyModel {
    Q_OBJECT

public:
    static constexpr int All = -1;

    explicit ClockLineFilter(QObject *parent = nullptr);

    void setTableFilter(int table);
    void setFunctionTypeFilter(int typeListEntry);
    void setTextFilter(const QString &text);

    int tableFilter() const { return m_table; }
    int functionTypeFilter() const { return m_functionType; }
    const QString &textFilter() const { return m_text; }

    // The line shown in a row, -1 for none.
    int lineAt(int row) const;
    // The row showing a line, -1 when it is filtered out or free.
    int rowOfLine(int line) const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    int m_table = All;
    int m_functionType = All;
    QString m_text;
};

} // namespace quintara::ui
