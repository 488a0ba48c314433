#pragma once

#include "clock/TableDiff.h"

#include <QDialog>

class QTreeWidget;

namespace quintara::clock {
struct ClockTable;
}

namespace quintara::ui {

class LineDescriber;

// Two clock tables side by side where they differ: one row per line that is in use in only one
// of them or differs, described as the list describes it, and below it the fields that differ
// with both values, marked. Only shows; nothing in either table changes. `mine` is headed as the
// editor's table unless it is given a name of its own.
class CompareDialog : public QDialog {
    Q_OBJECT
public:
    CompareDialog(const clock::TableDiff &diff, const clock::ClockTable &mine,
                  const clock::ClockTable &other, const QString &otherName,
                  const LineDescriber &describer, QWidget *parent = nullptr,
                  const QString &mineName = {});

    QTreeWidget *tree() const { return m_tree; }

private:
    QTreeWidget *m_tree = nullptr;
};

} // namespace quintara::ui
