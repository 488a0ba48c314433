#pragma once

#include "presentation/LineDescriber.h"

#include <QAbstractTableModel>
#include <QDateTime>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

namespace quintara::clock {
struct ClockTable;
}

namespace quintara::ui {

// Every line in use among all 100, one row each, described as the information panel describes
// it. The texts are worked out once per refresh(), so painting and sorting cost nothing and the
// hooks (firing rule, health check) run once per line. Colours are the view's: the model gives
// the day-table number and whether a line lies beyond the model's usable lines.
class ClockLineListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column {
        IndexColumn,
        TableColumn,
        TimeColumn,
        DateColumn,
        RepeatColumn,
        FunctionColumn,
        LevelColumn,
        NextFiringColumn,
        WarningColumn,
        ColumnCount
    };
    enum Role {
        LineRole = Qt::UserRole + 1, // the line's index, in every column
        SortRole,                    // a key that sorts the column in its own order
        TableRole,                   // the day-table byte
        FunctionTypeRole,            // the function type byte
        BeyondModelRole,             // true for a line at or beyond MaxClockLines
        WarningsRole,                // the health check's texts (QStringList)
    };
    using NextFiringHook = std::function<std::optional<QDateTime>(int line)>;
    using WarningsHook = std::function<QStringList(int line)>;

    ClockLineListModel(const clock::ClockTable &table, const LineDescriber &describer,
                       QObject *parent = nullptr);

    // The window plugs in the firing rule and the health check; a refresh() follows.
    void setNextFiring(NextFiringHook hook) { m_nextFiring = std::move(hook); }
    void setWarnings(WarningsHook hook) { m_warnings = std::move(hook); }

    // Re-reads the table (after every change to it, and after a change of language).
    void refresh();

    // The row showing a line, -1 when the line is free or outside the table.
    int rowOfLine(int line) const;
    int lineAt(int row) const;
    // The shown texts of a line's columns that have one, for people (the clipboard's text).
    QStringList lineTexts(int line) const;
    // Every column of a row as words, the warnings spelled out: the list as a file holds it.
    QStringList rowTexts(int row) const;
    // The columns' full headings (the warnings' one too, which the header shows as a sign).
    QStringList headings() const { return {m_headers.begin(), m_headers.end()}; }

    const clock::ClockTable &table() const { return m_table; }
    const LineDescriber &describer() const { return m_describer; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    struct Row {
        int line = 0;
        int table = 0;
        int functionType = 0;
        bool beyondModel = false;
        std::array<QString, ColumnCount> texts;
        std::array<QVariant, ColumnCount> sortKeys;
        QStringList warnings;
    };
    Row makeRow(int line) const;
    QString beyondModelReason() const;

    const clock::ClockTable &m_table;
    LineDescriber m_describer;
    NextFiringHook m_nextFiring;
    WarningsHook m_warnings;
    QList<Row> m_rows;
    std::array<QString, ColumnCount> m_headers;
};

} // namespace quintara::ui
