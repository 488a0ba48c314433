#include "presentation/SiteListModel.h"

namespace quintara::ui {

namespace {

QString TimeText(const QDateTime &time)
{
    return time.isValid() ? time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"))
                          : QString();
}

} // namespace

SiteListModel::SiteListModel(QObject *parent) : QAbstractTableModel(parent) {}

void SiteListModel::setSites(std::vector<book::SiteSummary> sites)
{
    beginResetModel();
    m_sites = std::move(sites);
    m_shown.resize(m_sites.size());
    for (size_t i = 0; i < m_sites.size(); ++i)
        m_shown[i] = int(i);
    endResetModel();
}

void SiteListModel::setSearch(const QString &text)
{
    beginResetModel();
    m_shown.clear();
    const QString words = text.trimmed();
    for (size_t i = 0; i < m_sites.size(); ++i) {
        const book::SiteSummary &site = m_sites[i];
        if (words.isEmpty() || site.name.contains(words, Qt::CaseInsensitive) ||
            site.customer.contains(words, Qt::CaseInsensitive))
            m_shown.push_back(int(i));
    }
    endResetModel();
}

const book::SiteSummary *SiteListModel::site(int row) const
{
    if (row < 0 || row >= int(m_shown.size()))
        return nullptr;
    return &m_sites[size_t(m_shown[size_t(row)])];
}

int SiteListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

int SiteListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Columns;
}

QVariant SiteListModel::data(const QModelIndex &index, int role) const
{
    const book::SiteSummary *shown = site(index.row());
    if (!shown || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    switch (index.column()) {
    case Name:
        return shown->name;
    case Customer:
        return shown->customer;
    case Model:
        return shown->model ? QVariant(*shown->model) : QVariant();
    case LastSent:
        return TimeText(shown->lastSent);
    case LastVerified:
        return TimeText(shown->lastVerified);
    case LastReceived:
        return TimeText(shown->lastReceived);
    case Problems:
        return shown->problems;
    default:
        return {};
    }
}

QVariant SiteListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char *const titles[Columns] = {"Site",          "Customer",      "Model",
                                                "Last sent",     "Last verified", "Last received",
                                                "Problems"};
    return section >= 0 && section < Columns ? QString::fromLatin1(titles[section]) : QVariant();
}

VersionListModel::VersionListModel(QObject *parent) : QAbstractTableModel(parent) {}

void VersionListModel::setVersions(std::vector<book::TableVersion> versions)
{
    beginResetModel();
    m_versions = std::move(versions);
    endResetModel();
}

const book::TableVersion *VersionListModel::version(int row) const
{
    return row >= 0 && row < int(m_versions.size()) ? &m_versions[size_t(row)] : nullptr;
}

int VersionListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_versions.size());
}

int VersionListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Columns;
}

QVariant VersionListModel::data(const QModelIndex &index, int role) const
{
    const book::TableVersion *shown = version(index.row());
    if (!shown || role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case Number:
        return shown->number;
    case Time:
        return TimeText(shown->time);
    case User:
        return shown->user;
    case Event:
        return EventText(*shown);
    case Outcome:
        return shown->outcome;
    default:
        return {};
    }
}

QVariant VersionListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char *const titles[Columns] = {"Version", "Time", "User", "What happened",
                                                "Outcome"};
    return section >= 0 && section < Columns ? QString::fromLatin1(titles[section]) : QVariant();
}

QString EventText(const book::TableVersion &version)
{
    switch (version.event) {
    case book::VersionEvent::Saved:
        return QStringLiteral("saved");
    case book::VersionEvent::Sent:
        return QStringLiteral("sent");
    case book::VersionEvent::Verified:
        return QStringLiteral("sent and verified");
    case book::VersionEvent::VerifyFailed:
        return QStringLiteral("verify failed: lines %1 differ").arg(version.detail);
    case book::VersionEvent::Received:
        return QStringLiteral("received");
    case book::VersionEvent::Restored:
        return QStringLiteral("restored from version %1").arg(version.restoredFrom);
    }
    return {};
}

} // namespace quintara::ui
