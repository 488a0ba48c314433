#pragma once

#include "book/Batch.h"
#include "book/SiteBook.h"
#include "book/SiteFolders.h"

#include <QDialog>

#include <functional>
#include <optional>

class QDialogButtonBox;
class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QSplitter;
class QTableView;

namespace quintara::ui {

class SiteBatchBar;
class SiteFilterBar;
class FileDialogs;
class SiteListModel;
class VersionListModel;
struct BatchTools;

// A site's table as the editor takes it: the table in force (open), or an older version put
// back (restore).
struct SiteChoice {
    book::Site site;
    QByteArray projectFile;
    book::TableVersion version;
    bool restore = false;
};

// The site book's window: every site with its last transfers and health, searched as the user
// types, and the history of the chosen site. A site or one of its versions opens in the editor.
class SitesWindow : public QDialog {
    Q_OBJECT
public:
    SitesWindow(book::SiteBook &book, QWidget *parent = nullptr);

    // The editor takes the choice; false when it did not (and said why).
    std::function<bool(const SiteChoice &choice)> open;
    // Shows how the chosen version differs from the table in the editor.
    std::function<void(const SiteChoice &choice)> compare;
    // Shows how two versions of one site differ (`choice.version` the older).
    std::function<void(const SiteChoice &choice, const book::TableVersion &newer)> compareVersions;
    // Receives the site's table from its central unit; the window keeps it as a version.
    std::function<book::WorkResult(const book::Site &site, const QByteArray &projectFile)>
        receiveFromUnit;

    // Import and export ask for a folder through these; without them the window offers none.
    FileDialogs *dialogs = nullptr;
    book::ImportSetup importSetup;
    // Tells how an import or export went: a message box unless a test puts its own here.
    std::function<void(const QString &text, const QString &details)> inform;

    // Reads the list from the book again.
    void reload();
    // Offers batches over the sites shown, and the resumption of a stopped one.
    void allowBatches(const BatchTools &tools);

    QLineEdit *searchField() const { return m_search; }
    QTableView *siteList() const { return m_sites; }
    QTableView *historyList() const { return m_history; }
    QPushButton *openButton() const { return m_open; }
    QPushButton *restoreButton() const { return m_restore; }
    QPushButton *compareButton() const { return m_compare; }
    SiteFilterBar *filterBar() const { return m_filters; }
    SiteBatchBar *batchBar() const { return m_batches; }
    QPushButton *compareVersionsButton() const { return m_compareVersions; }
    QPushButton *compareUnitButton() const { return m_compareUnit; }
    QPushButton *editButton() const { return m_edit; }
    QPushButton *importButton() const { return m_import; }
    QPushButton *exportButton() const { return m_export; }

private:
    QHBoxLayout *buildSearchRow();
    // The sites above the history of the chosen one, with its versions' buttons.
    QSplitter *buildLists();
    QDialogButtonBox *buildButtons();
    void connectLists();
    void showHistory();
    void enableVersionButtons();
    enum class Use { Open, Restore, Compare, CompareVersions, CompareUnit };
    void choose(Use use);
    void editSite();
    void importFolder();
    void exportSites();
    std::optional<QString> askFolder(const QString &title);
    void tell(const QString &text, const QString &details = {});
    const book::SiteSummary *chosenSite() const;
    // The versions chosen in the history, oldest first.
    QList<int> chosenVersions() const;
    void selectSite(qint64 id);

    book::SiteBook &m_book;
    SiteListModel *m_siteModel;
    VersionListModel *m_versionModel;
    QLineEdit *m_search;
    QTableView *m_sites;
    QTableView *m_history;
    QPushButton *m_open;
    QPushButton *m_restore;
    QPushButton *m_compare;
    SiteFilterBar *m_filters;
    SiteBatchBar *m_batches = nullptr;
    QPushButton *m_compareVersions;
    QPushButton *m_compareUnit;
    QPushButton *m_edit;
    QPushButton *m_import;
    QPushButton *m_export;
};

} // namespace quintara::ui
