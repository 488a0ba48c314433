#include "ui/SitesWindow.h"

#include "platform/Clock.h"
#include "presentation/SiteListModel.h"
#include "ui/SiteBatchBar.h"
#include "ui/SiteFilterBar.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

namespace quintara::ui {

namespace {

// A list whose wordiest column takes the room the others leave.
QTableView *ListView(QAbstractItemModel *model, int widest, QWidget *parent)
{
    auto *view = new QTableView(parent);
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setSectionResizeMode(widest, QHeaderView::Stretch);
    view->setTabKeyNavigation(false);
    return view;
}

// What the book had to say, in one box.
void Tell(QWidget *parent, const book::BookOutcome &outcome)
{
    for (const platform::Notice &notice : outcome.notices)
        QMessageBox::warning(parent, notice.title, notice.text);
}

} // namespace

SitesWindow::SitesWindow(book::SiteBook &book, QWidget *parent)
    : QDialog(parent), m_book(book), m_siteModel(new SiteListModel(this)),
      m_versionModel(new VersionListModel(this))
{
    setObjectName(QStringLiteral("SitesWindow"));
    setWindowTitle(QStringLiteral("Quintara - ") + tr("Site book"));
    auto *layout = new QVBoxLayout(this);
    auto *searchLabel = new QLabel(tr("&Search:"), this);
    m_search = new QLineEdit(this);
    m_search->setPlaceholderText(tr("name or customer"));
    m_search->setClearButtonEnabled(true);
    searchLabel->setBuddy(m_search);
    auto *searchRow = new QHBoxLayout;
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(m_search, 1);
    layout->addLayout(searchRow);
    m_filters = new SiteFilterBar(this);
    layout->addWidget(m_filters);

    auto *split = new QSplitter(Qt::Vertical, this);
    m_sites = ListView(m_siteModel, SiteListModel::Name, split);
    m_sites->setAccessibleName(tr("Sites"));
    m_sites->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_history = ListView(m_versionModel, VersionListModel::Event, split);
    m_history->setAccessibleName(tr("History of the site"));
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    layout->addWidget(split, 1);

    auto *buttons = new QDialogButtonBox(this);
    m_open = buttons->addButton(tr("&Open in the editor"), QDialogButtonBox::AcceptRole);
    m_open->setObjectName(QStringLiteral("cmdOpenSite"));
    m_restore = buttons->addButton(tr("&Restore this version"), QDialogButtonBox::ActionRole);
    m_compare = buttons->addButton(tr("&Compare with the editor"), QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Close);
    layout->addWidget(buttons);

    connect(m_search, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_siteModel->setSearch(text);
        if (m_siteModel->rowCount() > 0)
            m_sites->selectRow(0);
        showHistory();
    });
    connect(m_filters, &SiteFilterBar::changed, this, &SitesWindow::reload);
    connect(m_sites->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &SitesWindow::showHistory);
    connect(m_sites, &QTableView::activated, this, [this] { choose(Use::Open); });
    connect(m_open, &QPushButton::clicked, this, [this] { choose(Use::Open); });
    connect(m_restore, &QPushButton::clicked, this, [this] { choose(Use::Restore); });
    connect(m_compare, &QPushButton::clicked, this, [this] { choose(Use::Compare); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Enter in the search field opens the first site found.
    connect(m_search, &QLineEdit::returnPressed, this, [this] { choose(Use::Open); });
    // Room for the list, but never more than the screen has (at scale 2 too).
    const QSize room = screen()->availableGeometry().size() * 9 / 10;
    resize(QSize(820, 560).boundedTo(room));
    reload();
}

void SitesWindow::reload()
{
    const book::Fetched<std::vector<book::SiteSummary>> all = m_book.sites();
    m_filters->setChoices(all.value);
    const book::Fetched<std::vector<book::SiteSummary>> sites =
        m_filters->narrows() ? m_book.sites(m_filters->filter()) : all;
    Tell(this, sites);
    m_siteModel->setSites(sites.value);
    m_siteModel->setSearch(m_search->text());
    m_sites->resizeColumnsToContents();
    if (m_siteModel->rowCount() > 0)
        m_sites->selectRow(0);
    showHistory();
}

void SitesWindow::allowBatches(const BatchTools &tools)
{
    m_filters->setDay(tools.clock.now().toLocalTime().date().addMonths(-1));
    m_batches = new SiteBatchBar(m_book, tools, m_sites, m_siteModel, this);
    // Above the window's own buttons.
    static_cast<QVBoxLayout *>(layout())->insertWidget(layout()->count() - 1, m_batches);
    connect(m_batches, &SiteBatchBar::ran, this, &SitesWindow::reload);
}

const book::SiteSummary *SitesWindow::chosenSite() const
{
    return m_siteModel->site(m_sites->currentIndex().row());
}

void SitesWindow::showHistory()
{
    const book::SiteSummary *site = chosenSite();
    book::Fetched<std::vector<book::TableVersion>> versions;
    if (site)
        versions = m_book.history(site->id);
    m_versionModel->setVersions(std::move(versions.value));
    m_history->resizeColumnsToContents();
    if (m_versionModel->rowCount() > 0)
        m_history->selectRow(m_versionModel->rowCount() - 1);
    m_open->setEnabled(site != nullptr);
    m_restore->setEnabled(m_versionModel->rowCount() > 0);
    m_compare->setEnabled(m_versionModel->rowCount() > 0);
}

void SitesWindow::choose(Use use)
{
    const book::SiteSummary *summary = chosenSite();
    if (!summary || !open)
        return;
    const bool restore = use != Use::Open;
    SiteChoice choice;
    choice.restore = use == Use::Restore;
    const book::Fetched<book::Site> site = m_book.site(summary->name);
    const book::Fetched<QByteArray> project = m_book.project(summary->id);
    const book::TableVersion *picked = m_versionModel->version(m_history->currentIndex().row());
    const book::Fetched<book::TableVersion> version =
        restore && picked ? m_book.version(summary->id, picked->number)
                          : m_book.tableInForce(summary->id);
    for (const book::BookOutcome *step : {static_cast<const book::BookOutcome *>(&site),
                                          static_cast<const book::BookOutcome *>(&project),
                                          static_cast<const book::BookOutcome *>(&version)}) {
        if (!step->ok()) {
            Tell(this, *step);
            return;
        }
    }
    choice.site = site.value;
    choice.projectFile = project.value;
    choice.version = version.value;
    if (use == Use::Compare) {
        if (compare)
            compare(choice);
        return;
    }
    if (open(choice))
        accept();
}

} // namespace quintara::ui
