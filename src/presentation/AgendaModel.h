#pragma once

#include "clock/Firings.h"
#include "plan/Sun.h"

#include <QAbstractTableModel>
#include <QDate>
#include <QDateTime>
#include <QTimeZone>

#include <QStringList>

#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace quintara::clock {
struct ClockTable;
}

namespace quintara::ui {

class LineDescriber;

// Where the agenda takes sunrise and sunset from.
struct AgendaSun {
    plan::Location location;
    QTimeZone zone;
};

// The agenda of a date range: every firing of the lines in use, in time order, by the one
// firing rule, one row each. The texts of a line are made once per fill, so a year of an
// every-minute line costs its firings, not their descriptions. With a sun set, each day's
// sunrise and sunset stand among the firings as rows of their own (before a firing of the
// same minute), which carry SunRole and no line.
class AgendaModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        DateColumn,
        TimeColumn,
        LineColumn,
        TableColumn,
        FunctionColumn,
        LevelColumn,
        ColumnCount
    };
    static constexpr int LineRole = Qt::UserRole + 1; // the line's index, in every column
    static constexpr int TableRole = Qt::UserRole + 2;
    static constexpr int SunRole = Qt::UserRole + 3; // true on a sunrise or sunset row

    AgendaModel(const clock::ClockTable &table, const LineDescriber &describer,
                QObject *parent = nullptr);

    // What the agenda shows: `from` 00:00 through `to` 23:59, of the lines the filter keeps,
    // at most `maxCount` firings.
    void fill(const QDateTime &now, const clock::WorkdayFlagSet &workdays, QDate from, QDate to,
              const clock::FiringFilter &filter = {}, int maxCount = clock::MaxAgendaFirings);
    // The health warnings of a line (by index), read out and shown as a tooltip on its firings.
    void setWarnings(std::function<QStringList(int line)> warnings)
    {
        m_warnings = std::move(warnings);
    }
    // Sunrise and sunset rows from the next fill on; none without a sun.
    void setSun(std::optional<AgendaSun> sun) { m_sun = std::move(sun); }
    // Whether firings beyond the maximum were left out.
    bool truncated() const { return m_truncated; }
    const std::vector<clock::Firing> &firings() const { return m_firings; }
    const clock::ClockTable &table() const { return m_table; }
    const LineDescriber &describer() const { return m_describer; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    // A row: a firing (its index in m_firings), or a sun event.
    struct Row {
        int firing = -1;
        QDateTime sunAt; // to the minute
        bool sunrise = false;
    };
    void addSunRows(QDate from, QDate to);
    QVariant sunData(const Row &row, int column, int role) const;

    struct LineTexts {
        QString table;
        QString function;
        QString level;
    };

    const clock::ClockTable &m_table;
    const LineDescriber &m_describer;
    std::vector<clock::Firing> m_firings;
    std::vector<Row> m_rows;
    std::optional<AgendaSun> m_sun;
    std::function<QStringList(int line)> m_warnings;
    // Made as rows are first shown.
    mutable std::array<std::optional<LineTexts>, 100> m_texts;
    bool m_truncated = false;
};

} // namespace quintara::ui
