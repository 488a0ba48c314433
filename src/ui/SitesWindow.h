#pragma once

#include "book/SiteBook.h"

#include <QDialog>

#include <functional>

class QLineEdit;
class QPushButton;
class QTableView;

namespace quintara::ui {

class SiteBatchBar;
class SiteFilterBar;
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

private:
    void showHistory();
    enum class Use { Open, Restore, Compare };
    void choose(Use use);
    const book::SiteSummary *chosenSite() const;

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
};

} // namespace quintara::ui
