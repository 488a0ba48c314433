#include "ui/LineListView.h"

#include "clock/ClockLine.h"
#include "presentation/ClockLineFilter.h"
#include "presentation/ClockLineListModel.h"
#include "presentation/FunctionPresenter.h"
#include "render/WeekPainter.h"
#include "settings/Strings.h"
#include "settings/TextIds.h"
#include "ui/FocusRing.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPixmap>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace quintara::ui {

namespace {

constexpr int AllTablesId = settings::TextId::Filter::AllTables;
constexpr int AllTypesId = settings::TextId::Filter::AllTypes;
constexpr int SearchId = 2414;

using Model = ClockLineListModel;

// Greys lines beyond the model's usable lines, and draws the day-table's colour and the
// warning mark, which the widget-free model leaves to the view.
class LineListDelegate : public FocusRingDelegate {
public:
    explicit LineListDelegate(QObject *parent) : FocusRingDelegate(parent)
    {
        for (int table = 0; table < int(m_swatches.size()); ++table) {
            QPixmap swatch(12, 12);
            swatch.fill(render::TableColour(table < clock::TableKindCount ? table : -1));
            m_swatches[std::size_t(table)] = QIcon(swatch);
        }
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        FocusRingDelegate::initStyleOption(option, index);
        if (index.data(Model::BeyondModelRole).toBool())
            option->palette.setColor(QPalette::Text,
                                     option->palette.color(QPalette::Disabled, QPalette::Text));
        if (index.column() == Model::TableColumn) {
            const int table = index.data(Model::TableRole).toInt();
            option->features |= QStyleOptionViewItem::HasDecoration;
            option->icon = m_swatches[std::size_t(std::clamp(table, 0, clock::TableKindCount))];
            option->decorationSize = QSize(12, 12);
        } else if (index.column() == Model::WarningColumn &&
                   !index.data(Model::WarningsRole).toStringList().isEmpty()) {
            const QStyle *style = option->widget ? option->widget->style() : QApplication::style();
            option->features |= QStyleOptionViewItem::HasDecoration;
            option->icon = style->standardIcon(QStyle::SP_MessageBoxWarning);
            option->decorationSize = QSize(16, 16);
            option->decorationAlignment = Qt::AlignCenter;
        }
    }

private:
    // One a day-table, and black for a byte that names none.
    std::array<QIcon, clock::TableKindCount + 1> m_swatches;
};

bool MovesCurrent(int key)
{
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return true;
    default:
        return false;
    }
}

} // namespace

// The table of lines: the item view's own extended selection, except that no key moves the
// current row away from the highlighted ones (Ctrl with a movement key would), and a row the
// program chooses becomes the anchor that Shift+click and Shift+arrows extend from.
class LineListView::Table : public QTableView {
public:
    using QTableView::QTableView;

    // Makes the row current, highlighted alone and the anchor of the next extension.
    void anchorAt(const QModelIndex &index)
    {
        m_anchoring = true;
        setCurrentIndex(index);
        m_anchoring = false;
    }

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event) const override
    {
        if (m_anchoring)
            return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
        const QItemSelectionModel::SelectionFlags command =
            QTableView::selectionCommand(index, event);
        if (command != QItemSelectionModel::NoUpdate || !event || event->type() != QEvent::KeyPress)
            return command;
        const auto *key = static_cast<const QKeyEvent *>(event);
        if (!MovesCurrent(key->key()))
            return command;
        // Shift still extends from the anchor; without it the highlight goes with the row.
        if (key->modifiers() & Qt::ShiftModifier && key->key() != Qt::Key_Backtab)
            return QItemSelectionModel::SelectCurrent | QItemSelectionModel::Rows;
        return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
    }

private:
    bool m_anchoring = false;
};

LineListView::LineListView(ClockLineListModel &model, QWidget *parent)
    : QWidget(parent), m_model(model)
{
    m_filter = new ClockLineFilter(this);
    m_filter->setSourceModel(&m_model);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    auto *filters = new QHBoxLayout;
    m_cboTable = new QComboBox(this);
    m_cboTable->setObjectName(QStringLiteral("CboTable"));
    m_cboFunctionType = new QComboBox(this);
    m_cboFunctionType->setObjectName(QStringLiteral("CboFunctionType"));
    m_txtSearch = new QLineEdit(this);
    m_txtSearch->setObjectName(QStringLiteral("TxtSearch"));
    m_txtSearch->setClearButtonEnabled(true);
    filters->addWidget(m_cboTable);
    filters->addWidget(m_cboFunctionType);
    filters->addWidget(m_txtSearch, 1);
    column->addLayout(filters);

    m_table = new Table(this);
    m_table->setObjectName(QStringLiteral("LstLines"));
    m_table->setModel(m_filter);
    m_table->setItemDelegate(new LineListDelegate(m_table));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->hide();
    // Rows as high as a line of text: a table of 100 lines stays one screen.
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(Model::IndexColumn, Qt::AscendingOrder);
    QHeaderView *header = m_table->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    // The description is the one long text: it takes the room left and gives way first.
    header->setSectionResizeMode(Model::FunctionColumn, QHeaderView::Stretch);
    header->setMinimumSectionSize(24);
    column->addWidget(m_table, 1);
    m_table->installEventFilter(this);

    connect(m_cboTable, &QComboBox::currentIndexChanged, this,
            [this] { m_filter->setTableFilter(m_cboTable->currentData().toInt()); });
    connect(m_cboFunctionType, &QComboBox::currentIndexChanged, this,
            [this] { m_filter->setFunctionTypeFilter(m_cboFunctionType->currentData().toInt()); });
    connect(m_txtSearch, &QLineEdit::textChanged, m_filter, &ClockLineFilter::setTextFilter);

    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_quiet)
            emit selectionChanged(selectedLines());
    });
    connect(m_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        if (!m_quiet)
            emit currentLineChanged(currentLine());
    });
    connect(m_table, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        emit lineActivated(index.data(Model::LineRole).toInt());
    });
    // A refresh rebuilds the rows; the same lines stay selected where they still exist.
    connect(&m_model, &QAbstractItemModel::modelAboutToBeReset, this,
            &LineListView::rememberSelection);
    connect(&m_model, &QAbstractItemModel::modelReset, this, &LineListView::restoreSelection);

    translate();
}

void LineListView::translate()
{
    fillCombos();
    const settings::Strings &strings = m_model.describer().strings();
    m_txtSearch->setPlaceholderText(strings.GetResString(SearchId));
    // A placeholder is gone once something is typed: the field keeps its name.
    m_txtSearch->setAccessibleName(strings.GetResString(SearchId));
    m_table->setAccessibleName(strings.GetResString(settings::TextId::Print::AllLinesTitle));
    m_model.refresh();
}

void LineListView::fillCombos()
{
    const LineDescriber &describer = m_model.describer();
    const settings::Strings &strings = describer.strings();
    // The choice survives a change of language; the filter reads it back below.
    const auto refill = [](QComboBox *combo, const QList<ListEntry> &entries) {
        const QSignalBlocker blocker(combo);
        const QVariant chosen = combo->currentData();
        combo->clear();
        for (const ListEntry &entry : entries)
            combo->addItem(entry.text.trimmed(), entry.itemData);
        combo->setCurrentIndex(std::max(0, combo->findData(chosen)));
    };

    QList<ListEntry> tables{{strings.GetResString(AllTablesId), ClockLineFilter::All}};
    for (int k = 0; k < clock::TableKindCount; ++k) {
        clock::ClockLine line;
        line.Table = quint8(k);
        tables.append({describer.tableText(line), k});
    }
    refill(m_cboTable, tables);

    ItemList types;
    describer.presenter().FillFunctionTypeList(types);
    types.entries.prepend({strings.GetResString(AllTypesId), ClockLineFilter::All});
    refill(m_cboFunctionType, types.entries);
    m_filter->setTableFilter(m_cboTable->currentData().toInt());
    m_filter->setFunctionTypeFilter(m_cboFunctionType->currentData().toInt());
}

QTableView *LineListView::tableView() const
{
    return m_table;
}

QList<int> LineListView::selectedLines() const
{
    QList<int> lines;
    for (const QModelIndex &row : m_table->selectionModel()->selectedRows())
        lines.append(row.data(Model::LineRole).toInt());
    std::sort(lines.begin(), lines.end());
    return lines;
}

int LineListView::currentLine() const
{
    const QModelIndex current = m_table->selectionModel()->currentIndex();
    return current.isValid() ? current.data(Model::LineRole).toInt() : -1;
}

int LineListView::activeLine() const
{
    const QList<int> lines = selectedLines();
    if (const int current = currentLine(); lines.contains(current))
        return current;
    return lines.size() == 1 ? lines.first() : -1;
}

void LineListView::selectLine(int line)
{
    m_quiet = true;
    selectLines({line}, line);
    m_quiet = false;
}

void LineListView::selectLines(const QList<int> &lines, int current)
{
    QItemSelection selection;
    const int lastColumn = m_filter->columnCount() - 1;
    for (const int line : lines) {
        const int row = m_filter->rowOfLine(line);
        if (row >= 0)
            selection.select(m_filter->index(row, 0), m_filter->index(row, lastColumn));
    }
    QItemSelectionModel *selectionModel = m_table->selectionModel();
    const int currentRow = m_filter->rowOfLine(current);
    // The current row (when it is among the lines) is where Shift extends from next.
    if (currentRow >= 0 && lines.contains(current)) {
        m_table->anchorAt(m_filter->index(currentRow, 0));
        selectionModel->select(selection, QItemSelectionModel::Select);
    } else {
        selectionModel->setCurrentIndex(currentRow >= 0 ? m_filter->index(currentRow, 0)
                                                        : QModelIndex(),
                                        QItemSelectionModel::NoUpdate);
        selectionModel->select(selection, QItemSelectionModel::ClearAndSelect);
    }
    if (currentRow >= 0)
        m_table->scrollTo(m_filter->index(currentRow, 0));
}

void LineListView::rememberSelection()
{
    m_keptSelection = selectedLines();
    m_keptCurrent = currentLine();
}

void LineListView::restoreSelection()
{
    m_quiet = true;
    selectLines(m_keptSelection, m_keptCurrent);
    m_quiet = false;
    if (selectedLines() != m_keptSelection)
        emit selectionChanged(selectedLines());
    if (currentLine() != m_keptCurrent)
        emit currentLineChanged(currentLine());
}

bool LineListView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_table && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent *>(event)->key()) {
        case Qt::Key_Delete:
            if (const QList<int> lines = selectedLines(); !lines.isEmpty())
                emit deleteRequested(lines);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (const int line = activeLine(); line >= 0)
                emit lineActivated(line);
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace quintara::ui
