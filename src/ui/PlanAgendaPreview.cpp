#include "ui/PlanAgendaPreview.h"

#include "clock/Firings.h"
#include "presentation/AgendaModel.h"
#include "presentation/DateText.h"

#include <QCheckBox>
#include <QFont>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

namespace quintara::ui {

// Rows of the lines a plan writes stand out, in the font and for a screen reader.
class PlannedRows : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QList<int> added;

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role == Qt::FontRole || role == Qt::ToolTipRole ||
            role == Qt::AccessibleDescriptionRole) {
            if (!added.contains(index.data(AgendaModel::LineRole).toInt()))
                return QIdentityProxyModel::data(index, role);
            if (role != Qt::FontRole)
                return PlanAgendaPreview::tr("Written by the plan");
            QFont font;
            font.setBold(true);
            return font;
        }
        return QIdentityProxyModel::data(index, role);
    }
};

PlanAgendaPreview::PlanAgendaPreview(const LineDescriber &describer, QWidget *parent)
    : QWidget(parent), m_model(std::make_unique<AgendaModel>(m_shown, describer))
{
    setObjectName(QStringLiteral("PlanAgendaPreview"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    m_onlyPlanned = new QCheckBox(tr("&Only the lines the plan writes"), this);
    m_onlyPlanned->setChecked(true);
    column->addWidget(m_onlyPlanned);
    m_caption = new QLabel(this);
    m_caption->setWordWrap(true);
    column->addWidget(m_caption);
    m_marked = new PlannedRows(this);
    m_marked->setSourceModel(m_model.get());
    m_view = new QTableView(this);
    m_view->setModel(m_marked);
    m_view->setAccessibleName(tr("Agenda with the plan"));
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->verticalHeader()->hide();
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->setWordWrap(false);
    column->addWidget(m_view, 1);
    m_caption->setBuddy(m_view);
    connect(m_onlyPlanned, &QCheckBox::toggled, this, &PlanAgendaPreview::refill);
}

PlanAgendaPreview::~PlanAgendaPreview()
{
    // The proxy goes first: it must not see the model it reads go.
    delete m_marked;
}

void PlanAgendaPreview::show(const clock::ClockTable &planned, const QList<int> &added, QDate from,
                             QDate to, const QDateTime &now, const clock::WorkdayFlagSet &workdays)
{
    m_planned = planned;
    m_added = added;
    m_from = from;
    m_to = to;
    m_now = now;
    m_workdays = workdays;
    refill();
}

void PlanAgendaPreview::clear()
{
    show({}, {}, {}, {}, {}, {});
}

void PlanAgendaPreview::refill()
{
    m_shown = m_planned;
    if (m_onlyPlanned->isChecked()) {
        for (std::size_t i = 0; i < m_shown.Lines.size(); ++i) {
            if (!m_added.contains(int(i)))
                m_shown.Lines[i] = {};
        }
    }
    m_marked->added = m_added;
    m_model->fill(m_now, m_workdays, m_from, m_to);
    m_view->resizeColumnsToContents();
    if (!m_from.isValid() || m_from > m_to) {
        m_caption->clear();
        return;
    }
    // As the agenda's own date column writes them.
    const DateText dates;
    const QString range = tr("%1 to %2").arg(dates.date(m_from), dates.date(m_to));
    const int count = m_model->rowCount();
    m_caption->setText(
        m_model->truncated()
            ? tr("%1: the first %2 switchings (more left out).").arg(range).arg(count)
        : count == 1 ? tr("%1: 1 switching.").arg(range)
                     : tr("%1: %2 switchings.").arg(range).arg(count));
}

} // namespace quintara::ui
