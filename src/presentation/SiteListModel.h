#pragma once

#include "book/SiteBook.h"

#include <QAbstractTableModel>
#include <QString>

#include <vector>

namespace quintara::ui {

// The Sites view's list: one row a site, narrowed as the user types (name, customer or address
// words, any case) without going back to the book.
class SiteListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Name, Customer, Model, LastSent, LastVerified, LastReceived, Problems, Columns };

    explicit SiteListModel(QObject *parent = nullptr);

    void setSites(std::vector<book::SiteSummary> sites);
    // Shows the sites whose name or customer holds the text; all of them for an empty text.
    void setSearch(const QString &text);
    const book::SiteSummary *site(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    std::vector<book::SiteSummary> m_sites;
    std::vector<int> m_shown; // indexes into m_sites
};

// A site's history: one row a version, oldest first.
class VersionListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Number, Time, User, Event, Outcome, Columns };

    explicit VersionListModel(QObject *parent = nullptr);

    void setVersions(std::vector<book::TableVersion> versions);
    const book::TableVersion *version(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    std::vector<book::TableVersion> m_versions;
};

// What a version's event reads as in the list ("sent and verified", "restored from version 3").
QString EventText(const book::TableVersion &version);

} // namespace quintara::ui
