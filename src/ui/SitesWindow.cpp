#include "ui/SitesWindow.h"

#include "platform/Clock.h"
#include "presentation/SiteListModel.h"
#include "ui/FileDialogs.h"
#include "ui/Mnemonics.h"
#include "ui/SiteBatchBar.h"
#include "ui/SiteDialog.h"
#include "ui/SiteFilterBar.h"

#include <QDialogButtonBox>
#include <QDir>
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

#include <algorithm>

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
    layout->addLayout(buildSearchRow());
    m_filters = new SiteFilterBar(this);
    layout->addWidget(m_filters);
    layout->addWidget(buildLists(), 1);
    layout->addWidget(buildButtons());
    connectLists();
    // Room for the list, but never more than the screen has (at scale 2 too).
    const QSize room = screen()->availableGeometry().size() * 9 / 10;
    resize(QSize(820, 560).boundedTo(room));
    reload();
    AssignMnemonics(*this);
}

QHBoxLayout *SitesWindow::buildSearchRow()
{
    auto *searchLabel = new QLabel(tr("&Search:"), this);
    m_search = new QLineEdit(this);
    m_search->setPlaceholderText(tr("name or customer"));
    m_search->setClearButtonEnabled(true);
    searchLabel->setBuddy(m_search);
    auto *searchRow = new QHBoxLayout;
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(m_search, 1);
    return searchRow;
}

QSplitter *SitesWindow::buildLists()
{
    auto *split = new QSplitter(Qt::Vertical, this);
    m_sites = ListView(m_siteModel, SiteListModel::Name, split);
    m_sites->setAccessibleName(tr("Sites"));
    m_sites->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto *historyPane = new QWidget(split);
    auto *historyColumn = new QVBoxLayout(historyPane);
    historyColumn->setContentsMargins(0, 0, 0, 0);
    m_history = ListView(m_versionModel, VersionListModel::Event, historyPane);
    m_history->setAccessibleName(tr("History of the site"));
    // Two versions chosen are compared with each other.
    m_history->setSelectionMode(QAbstractItemView::ExtendedSelection);
    historyColumn->addWidget(m_history, 1);
    auto *versionButtons = new QDialogButtonBox(historyPane);
    m_restore = versionButtons->addButton(tr("&Restore this version"), QDialogButtonBox::ActionRole);
    m_compare = versionButtons->addButton(tr("&Compare with the editor"), QDialogButtonBox::ActionRole);
    m_compareVersions =
        versionButtons->addButton(tr("Compare the &two chosen"), QDialogButtonBox::ActionRole);
    m_compareUnit =
        versionButtons->addButton(tr("Compare with the &unit"), QDialogButtonBox::ActionRole);
    m_compareUnit->setToolTip(tr("Receives the unit's table, keeps it as a version and compares "
                                 "the chosen version with it"));
    historyColumn->addWidget(versionButtons);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    return split;
}

QDialogButtonBox *SitesWindow::buildButtons()
{
    auto *buttons = new QDialogButtonBox(this);
    m_import = buttons->addButton(tr("&Import folder…"), QDialogButtonBox::ActionRole);
    m_import->setToolTip(tr("Every project file under a folder becomes a site, its clock files "
                            "its versions"));
    m_export = buttons->addButton(tr("E&xport…"), QDialogButtonBox::ActionRole);
    m_export->setToolTip(tr("The sites listed, each as a folder of its project and every "
                            "version, with manifest.json"));
    m_edit = buttons->addButton(tr("&Edit site…"), QDialogButtonBox::ActionRole);
    m_edit->setObjectName(QStringLiteral("cmdEditSite"));
    m_open = buttons->addButton(tr("&Open in the editor"), QDialogButtonBox::AcceptRole);
    m_open->setObjectName(QStringLiteral("cmdOpenSite"));
    buttons->addButton(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    return buttons;
}

void SitesWindow::connectLists()
{
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
    connect(m_compareVersions, &QPushButton::clicked, this,
            [this] { choose(Use::CompareVersions); });
    connect(m_compareUnit, &QPushButton::clicked, this, [this] { choose(Use::CompareUnit); });
    connect(m_edit, &QPushButton::clicked, this, &SitesWindow::editSite);
    connect(m_import, &QPushButton::clicked, this, &SitesWindow::importFolder);
    connect(m_export, &QPushButton::clicked, this, &SitesWindow::exportSites);
    connect(m_history->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &SitesWindow::enableVersionButtons);
    // Enter in the search field opens the first site found.
    connect(m_search, &QLineEdit::returnPressed, this, [this] { choose(Use::Open); });
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
    m_edit->setEnabled(site != nullptr);
    enableVersionButtons();
}

void SitesWindow::enableVersionButtons()
{
    const qsizetype chosen = chosenVersions().size();
    m_restore->setEnabled(chosen == 1);
    m_compare->setEnabled(chosen == 1);
    m_compareVersions->setEnabled(chosen == 2);
    m_compareUnit->setEnabled(chosen == 1);
}

QList<int> SitesWindow::chosenVersions() const
{
    QList<int> numbers;
    for (const QModelIndex &row : m_history->selectionModel()->selectedRows()) {
        if (const book::TableVersion *version = m_versionModel->version(row.row()))
            numbers << version->number;
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

void SitesWindow::selectSite(qint64 id)
{
    for (int row = 0; row < m_siteModel->rowCount(); ++row) {
        if (m_siteModel->site(row)->id == id) {
            m_sites->selectRow(row);
            return;
        }
    }
}

void SitesWindow::editSite()
{
    const book::SiteSummary *summary = chosenSite();
    if (!summary)
        return;
    const qint64 id = summary->id;
    const book::Fetched<book::Site> site = m_book.site(summary->name);
    if (!site.ok()) {
        Tell(this, site);
        return;
    }
    SiteDialog dialog(m_book, site.value, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    reload();
    selectSite(id);
}

std::optional<QString> SitesWindow::askFolder(const QString &title)
{
    if (!dialogs)
        return std::nullopt;
    FileDialogRequest request;
    request.title = title;
    request.folder = true;
    return dialogs->getOpenFileName(this, request);
}

void SitesWindow::tell(const QString &text, const QString &details)
{
    if (inform) {
        inform(text, details);
        return;
    }
    QMessageBox box(QMessageBox::Information, windowTitle(), text, QMessageBox::Ok, this);
    box.setDetailedText(details);
    box.exec();
}

void SitesWindow::importFolder()
{
    const std::optional<QString> folder = askFolder(tr("Import the sites under a folder"));
    if (!folder)
        return;
    const book::Fetched<book::ImportedFiles> imported =
        book::ImportFolder(m_book, *folder, importSetup);
    if (!imported.ok()) {
        Tell(this, imported);
        return;
    }
    const book::ImportedFiles &files = imported.value;
    const auto count = [](qsizetype n, const QString &one, const QString &many) {
        return n == 1 ? one : many.arg(n);
    };
    QString text = count(files.sites.size(), tr("Imported 1 site"), tr("Imported %1 sites")) +
                   count(files.versions, tr(" with 1 clock table."), tr(" with %1 clock tables."));
    if (!files.skipped.isEmpty())
        text += u' ' + count(files.skipped.size(), tr("1 file skipped: see the details."),
                             tr("%1 files skipped: see the details."));
    reload();
    tell(text, files.skipped.join(u'\n'));
}

void SitesWindow::exportSites()
{
    QStringList names;
    for (int row = 0; row < m_siteModel->rowCount(); ++row)
        names << m_siteModel->site(row)->name;
    if (names.isEmpty())
        return;
    const std::optional<QString> folder = askFolder(tr("Export the sites listed into a folder"));
    if (!folder)
        return;
    const book::Fetched<book::ExportedFiles> exported = book::ExportSites(m_book, *folder, names);
    if (!exported.ok()) {
        Tell(this, exported);
        return;
    }
    const qsizetype sites = exported.value.sites.size();
    const QString where = QDir::toNativeSeparators(*folder);
    tell(sites == 1 ? tr("Exported 1 site into %1.").arg(where)
                    : tr("Exported %1 sites into %2.").arg(sites).arg(where),
         exported.value.files.join(u'\n'));
}

void SitesWindow::choose(Use use)
{
    const book::SiteSummary *summary = chosenSite();
    if (!summary || !open || (use == Use::CompareUnit && !receiveFromUnit))
        return;
    const qint64 siteId = summary->id;
    const QList<int> versions = chosenVersions();
    const bool picked = use != Use::Open;
    if (picked && versions.size() != (use == Use::CompareVersions ? 2 : 1))
        return;
    SiteChoice choice;
    choice.restore = use == Use::Restore;
    const book::Fetched<book::Site> site = m_book.site(summary->name);
    const book::Fetched<QByteArray> project = m_book.project(siteId);
    const book::Fetched<book::TableVersion> version =
        picked ? m_book.version(siteId, versions.front()) : m_book.tableInForce(siteId);
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
    switch (use) {
    case Use::Compare:
        if (compare)
            compare(choice);
        return;
    case Use::CompareVersions: {
        const book::Fetched<book::TableVersion> newer = m_book.version(siteId, versions.back());
        if (!newer.ok())
            Tell(this, newer);
        else if (compareVersions)
            compareVersions(choice, newer.value);
        return;
    }
    case Use::CompareUnit: {
        // What the unit holds is kept before it is shown: a receive is never thrown away.
        book::WorkResult received = receiveFromUnit(choice.site, choice.projectFile);
        if (!received.version) {
            QMessageBox::warning(this, windowTitle(), received.message);
            return;
        }
        const book::Fetched<int> kept = m_book.addVersion(siteId, *received.version);
        reload();
        selectSite(siteId);
        if (!kept.ok()) {
            Tell(this, kept);
            return;
        }
        received.version->number = kept.value;
        if (compareVersions)
            compareVersions(choice, *received.version);
        return;
    }
    case Use::Open:
    case Use::Restore:
        break;
    }
    if (open(choice))
        accept();
}

} // namespace quintara::ui
