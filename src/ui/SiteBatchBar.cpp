#include "ui/SiteBatchBar.h"

#include "platform/Prompter.h"
#include "presentation/SiteListModel.h"

#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableView>

#include <algorithm>
#include <numeric>

namespace quintara::ui {

namespace {

// One selected row means where the user stands, not a choice of sites.
QModelIndexList ChosenRows(const QTableView *list)
{
    const QModelIndexList rows = list->selectionModel()->selectedRows();
    return rows.size() > 1 ? rows : QModelIndexList();
}

} // namespace

SiteBatchBar::SiteBatchBar(book::SiteBook &book, const BatchTools &tools, QTableView *list,
                           SiteListModel *sites, QWidget *parent)
    : QWidget(parent), m_book(book), m_tools(tools), m_list(list), m_sites(sites)
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    m_check = new QPushButton(tr("Chec&k"), this);
    m_check->setObjectName(QStringLiteral("cmdBatchCheck"));
    m_backup = new QPushButton(tr("&Back up"), this);
    m_backup->setObjectName(QStringLiteral("cmdBatchBackup"));
    m_send = new QPushButton(tr("Send and &verify"), this);
    m_send->setObjectName(QStringLiteral("cmdBatchSend"));
    m_resume = new QPushButton(tr("Resume sto&pped batch"), this);
    m_resume->setObjectName(QStringLiteral("cmdBatchResume"));
    for (QPushButton *button : {m_check, m_backup, m_send})
        row->addWidget(button);
    row->addStretch(1);
    row->addWidget(m_resume);

    connect(m_check, &QPushButton::clicked, this, [this] { begin(book::BatchKind::Check); });
    connect(m_backup, &QPushButton::clicked, this, [this] { begin(book::BatchKind::Backup); });
    connect(m_send, &QPushButton::clicked, this, [this] { begin(book::BatchKind::SendVerify); });
    connect(m_resume, &QPushButton::clicked, this, [this] {
        book::BatchQueue queue(m_book, book::BatchQueue::ThisWorker());
        const book::Fetched<std::optional<BatchStart>> stopped = StoppedBatch(queue);
        if (stopped.ok() && stopped.value)
            run(*stopped.value);
    });
    connect(m_sites, &QAbstractItemModel::modelReset, this, &SiteBatchBar::offerChoice);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &SiteBatchBar::offerChoice);
    offerChoice();
    offerResume();
}

std::vector<qint64> SiteBatchBar::chosenSites() const
{
    std::vector<int> rows;
    for (const QModelIndex &index : ChosenRows(m_list))
        rows.push_back(index.row());
    if (rows.empty()) {
        rows.resize(size_t(m_sites->rowCount()));
        std::iota(rows.begin(), rows.end(), 0);
    }
    // In the list's order, whatever the order of selecting.
    std::sort(rows.begin(), rows.end());
    std::vector<qint64> ids;
    for (const int row : rows)
        ids.push_back(m_sites->site(row)->id);
    return ids;
}

QPushButton *SiteBatchBar::button(book::BatchKind kind) const
{
    switch (kind) {
    case book::BatchKind::Check:
        return m_check;
    case book::BatchKind::Backup:
        return m_backup;
    case book::BatchKind::Send:
    case book::BatchKind::SendVerify:
        return m_send;
    }
    return nullptr;
}

QString SiteBatchBar::siteCount(int count, bool selected)
{
    if (selected)
        return tr("the %1 selected sites").arg(count);
    return count == 1 ? tr("the one site shown") : tr("the %1 sites shown").arg(count);
}

void SiteBatchBar::offerChoice()
{
    const int count = int(chosenSites().size());
    const QString sites = siteCount(count, !ChosenRows(m_list).isEmpty());
    m_check->setToolTip(tr("Checks the health of %1").arg(sites));
    m_backup->setToolTip(tr("Receives the table of %1, each into a new version").arg(sites));
    m_send->setToolTip(tr("Sends the table in force to %1 and reads it back").arg(sites));
    for (QPushButton *button : {m_check, m_backup, m_send})
        button->setEnabled(count > 0);
}

void SiteBatchBar::offerResume()
{
    book::BatchQueue queue(m_book, book::BatchQueue::ThisWorker());
    const book::Fetched<std::optional<BatchStart>> stopped = StoppedBatch(queue);
    m_resume->setEnabled(stopped.ok() && stopped.value.has_value());
    m_resume->setToolTip(m_resume->isEnabled()
                             ? tr("Takes up the %1 batch that was stopped before its end")
                                   .arg(BatchKindText(stopped.value->kind).toLower())
                             : tr("No batch was stopped before its end"));
}

void SiteBatchBar::begin(book::BatchKind kind)
{
    const std::vector<qint64> sites = chosenSites();
    if (sites.empty())
        return;
    // A send changes what the units do: said once more, with the count.
    if (kind == book::BatchKind::SendVerify &&
        m_tools.prompter.show(tr("Send the table in force to %1 and verify it?")
                                  .arg(siteCount(int(sites.size()), !ChosenRows(m_list).isEmpty())),
                              BatchKindText(kind), platform::Buttons::YesNo,
                              platform::Icon::Question,
                              platform::Answer::No) != platform::Answer::Yes)
        return;
    book::BatchQueue queue(m_book, book::BatchQueue::ThisWorker());
    const book::Fetched<BatchStart> created = NewBatch(queue, kind, sites, m_tools.clock);
    if (!created.ok()) {
        for (const platform::Notice &notice : created.notices)
            m_tools.prompter.show(notice);
        return;
    }
    run(created.value);
}

void SiteBatchBar::run(const BatchStart &start)
{
    auto *window = new BatchWindow(m_book, m_tools, start, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    m_window = window;
    connect(window, &BatchWindow::batchEnded, this, [this] {
        offerResume();
        emit ran();
    });
    window->open();
}

} // namespace quintara::ui
