#include "ui/AgendaView.h"

#include "clock/ClockTable.h"
#include "presentation/AgendaModel.h"
#include "presentation/DateText.h"
#include "presentation/LineDescriber.h"
#include "settings/Strings.h"
#include "settings/TextIds.h"
#include "ui/FocusRing.h"
#include "ui/WaitPointer.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QTableView>
#include <QVBoxLayout>

#include <map>

namespace quintara::ui {

namespace {

constexpr int RangeIds[] = {2482, 2483, 2484};
constexpr int AllTablesId = settings::TextId::Filter::AllTables;
constexpr int AllFunctionsId = 2486;
constexpr int TruncatedId = 2488;
constexpr int CountId = 2489;
constexpr int FromId = 2438;
constexpr int ToId = 2439;

QString Text(const AgendaModel &model, int id)
{
    return model.describer().strings().GetResString(id);
}

} // namespace

AgendaView::AgendaView(AgendaModel &model, QWidget *parent) : QWidget(parent), m_model(model)
{
    setObjectName(QStringLiteral("AgendaView"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 4, 0, 0);
    auto *filters = new QHBoxLayout;
    m_cboRange = new QComboBox(this);
    m_cboRange->setObjectName(QStringLiteral("CboRange"));
    m_from = new QDateEdit(this);
    m_from->setObjectName(QStringLiteral("DateFrom"));
    m_to = new QDateEdit(this);
    m_to->setObjectName(QStringLiteral("DateTo"));
    for (QDateEdit *edit : {m_from, m_to}) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(DateText().format());
        edit->installEventFilter(this);
        connect(edit, &QDateEdit::dateChanged, this, [this] {
            if (!m_quiet && m_cboRange->currentIndex() == ChosenDates)
                refresh();
        });
    }
    m_cboTable = new QComboBox(this);
    m_cboTable->setObjectName(QStringLiteral("CboAgendaTable"));
    m_cboFunction = new QComboBox(this);
    m_cboFunction->setObjectName(QStringLiteral("CboAgendaFunction"));
    m_cboFunction->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_cboFunction->setMinimumContentsLength(18);
    filters->addWidget(m_cboRange);
    filters->addWidget(m_from);
    filters->addWidget(m_to);
    filters->addWidget(m_cboTable);
    filters->addWidget(m_cboFunction, 1);
    column->addLayout(filters);
    m_lblCount = new QLabel(this);
    m_lblCount->setObjectName(QStringLiteral("LblAgendaCount"));
    column->addWidget(m_lblCount);

    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("AgendaTable"));
    m_table->setModel(&m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setAlternatingRowColors(true);
    m_table->setItemDelegate(new FocusRingDelegate(m_table));
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->installEventFilter(this);
    column->addWidget(m_table, 1);
    connect(m_table, &QTableView::doubleClicked, this, [this](const QModelIndex &index) {
        activate(index);
    });

    connect(m_cboRange, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_quiet)
            rangeChosen();
    });
    for (QComboBox *filter : {m_cboTable, m_cboFunction}) {
        connect(filter, &QComboBox::currentIndexChanged, this, [this] {
            if (!m_quiet)
                refresh();
        });
    }
    translate();
    setRange(ThisWeek);
}

void AgendaView::translate()
{
    const QSignalBlocker quiet(this);
    m_quiet = true;
    const int range = std::max(0, m_cboRange->currentIndex());
    m_cboRange->clear();
    for (const int id : RangeIds)
        m_cboRange->addItem(Text(m_model, id));
    m_cboRange->setCurrentIndex(range);
    const int table = std::max(0, m_cboTable->currentIndex());
    m_cboTable->clear();
    m_cboTable->addItem(Text(m_model, AllTablesId));
    for (int t = 0; t < clock::TableKindCount; ++t)
        m_cboTable->addItem(Text(m_model, clock::TableKindNameIds[t]).trimmed(), t);
    m_cboTable->setCurrentIndex(table);
    // The fields carry no label on screen: the range list says what they are.
    m_from->setAccessibleName(Text(m_model, FromId));
    m_to->setAccessibleName(Text(m_model, ToId));
    m_table->setAccessibleName(Text(m_model, settings::TextId::Print::AgendaTitle));
    m_from->setToolTip(Text(m_model, FromId));
    m_to->setToolTip(Text(m_model, ToId));
    m_quiet = false;
    fillFunctions();
}

void AgendaView::fillFunctions()
{
    // The functions the table's lines drive, by their description.
    const QVariant kept = m_cboFunction->currentData();
    std::map<QString, int> functions;
    const clock::ClockTable &table = m_model.table();
    for (int i = 0; i < table.usableLines(); ++i) {
        const clock::ClockLine &line = table.Lines[std::size_t(i)];
        if (line.inUse())
            functions.emplace(m_model.describer().functionText(line).simplified(),
                              line.FunctionType * 256 + line.FunctionNumber);
    }
    m_quiet = true;
    m_cboFunction->clear();
    m_cboFunction->addItem(Text(m_model, AllFunctionsId));
    for (const auto &[text, reference] : functions)
        m_cboFunction->addItem(text, reference);
    m_cboFunction->setCurrentIndex(std::max(0, m_cboFunction->findData(kept)));
    m_quiet = false;
}

void AgendaView::setRange(Range range)
{
    m_quiet = true;
    m_cboRange->setCurrentIndex(range);
    m_quiet = false;
    rangeChosen();
}

std::pair<QDate, QDate> AgendaView::dates() const
{
    return {m_from->date(), m_to->date()};
}

void AgendaView::rangeChosen()
{
    const int range = m_cboRange->currentIndex();
    if (range != ChosenDates) {
        const QDate today = now ? now().date() : QDate::currentDate();
        const QDate monday = clock::MondayOf(today);
        m_quiet = true;
        m_from->setDate(monday);
        m_to->setDate(monday.addDays(range == ThisWeek ? 6 : 27));
        m_quiet = false;
    }
    m_from->setEnabled(range == ChosenDates);
    m_to->setEnabled(range == ChosenDates);
    refresh();
}

void AgendaView::refresh()
{
    WaitPointer wait;
    fillFunctions();
    clock::FiringFilter filter;
    if (m_cboTable->currentIndex() > 0)
        filter.table = m_cboTable->currentData().toInt();
    if (m_cboFunction->currentIndex() > 0) {
        const int reference = m_cboFunction->currentData().toInt();
        filter.function = std::pair{reference / 256, reference % 256};
    }
    m_model.setSun(sun ? sun() : std::nullopt);
    m_model.fill(now ? now() : QDateTime::currentDateTime(),
                 workdays ? workdays() : clock::WorkdayFlagSet{1, 1, 1, 1, 1, 0, 0}, m_from->date(),
                 m_to->date(), filter);
    const auto firings = qsizetype(m_model.firings().size());
    m_lblCount->setText(m_model.truncated() ? Text(m_model, TruncatedId).arg(firings)
                                            : Text(m_model, CountId).arg(firings));
    m_table->resizeColumnsToContents();
}

void AgendaView::activate(const QModelIndex &index)
{
    // A sunrise or sunset row has no line to lead to.
    const QVariant line = index.data(AgendaModel::LineRole);
    if (line.isValid())
        emit lineActivated(line.toInt());
}

bool AgendaView::eventFilter(QObject *watched, QEvent *event)
{
    // Enter is the agenda's own: in a date field it ends the typing, on a firing it leads to
    // the line. It must not reach the window's "edit line".
    if ((watched == m_from || watched == m_to || watched == m_table) &&
        event->type() == QEvent::ShortcutOverride) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            event->accept();
            return true;
        }
    }
    if (watched == m_table && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        const QModelIndex current = m_table->currentIndex();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && current.isValid()) {
            activate(current);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace quintara::ui
