#pragma once

#include <QList>
#include <QWidget>

class QComboBox;
class QLineEdit;
class QTableView;

namespace quintara::ui {

class ClockLineFilter;
class ClockLineListModel;

// The list of all clock lines with its filter row: day-table, function type and a search text.
// Rows sort by any column; the selection is by whole rows and may hold several lines. Lines
// are named by their index in the clock table throughout.
class LineListView : public QWidget {
    Q_OBJECT

public:
    explicit LineListView(ClockLineListModel &model, QWidget *parent = nullptr);

    // Re-reads every text in the language now in force (and the model's).
    void translate();

    // The selected lines, ascending; the line of the current row, -1 for none.
    QList<int> selectedLines() const;
    int currentLine() const;
    // The one highlighted line a command on a single line acts on: the current row when it is
    // highlighted, else the only highlighted row; -1 when there is no such line.
    int activeLine() const;

    QTableView *tableView() const;
    ClockLineFilter *filter() const { return m_filter; }

    // Puts the keyboard in the search field with its text chosen, to type over.
    void focusSearch();

public slots:
    // Follows a selection made elsewhere (the week view) without signalling it back; -1, a
    // free line or a line the filter hides clears the selection.
    void selectLine(int line);

signals:
    void lineActivated(int line);
    void selectionChanged(QList<int> lines);
    void currentLineChanged(int line);
    void deleteRequested(QList<int> lines);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class Table;

    void fillCombos();
    void rememberSelection();
    void restoreSelection();
    void selectLines(const QList<int> &lines, int current);

    ClockLineListModel &m_model;
    ClockLineFilter *m_filter = nullptr;
    QComboBox *m_cboTable = nullptr;
    QComboBox *m_cboFunctionType = nullptr;
    QLineEdit *m_txtSearch = nullptr;
    Table *m_table = nullptr;
    bool m_quiet = false; // selection changes made here, not by the user
    QList<int> m_keptSelection;
    int m_keptCurrent = -1;
};

} // namespace quintara::ui
