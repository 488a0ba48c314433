#pragma once

#include "book/Batch.h"

#include <QAbstractTableModel>
#include <QString>

#include <set>
#include <vector>

namespace quintara::ui {

// A batch's queue as it goes, one row a site: waiting, working (with the link's step), done or
// failed with the outcome and what it said. When the batch ends, the same rows are its report.
class BatchTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Site, State, Step, Outcome, Message, Columns };

    explicit BatchTableModel(QObject *parent = nullptr);

    void setItems(std::vector<book::BatchItem> items);
    const std::vector<book::BatchItem> &items() const { return m_items; }

    void siteBegins(const book::BatchItem &item);
    // The link's step for the site at work ("Connecting", "Progress: 40%").
    void setStep(const QString &step);
    void siteEnded(const book::BatchItem &item);
    // The user cancelled: the site at work, if it ends without success, reads as cancelled.
    void cancelRequested();

    QString stateText(int row) const;
    // The item's row; -1 when the batch has no such item.
    int rowOf(const book::BatchItem &item) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    void changed(int row);

    std::vector<book::BatchItem> m_items;
    int m_working = -1;
    QString m_step;
    bool m_cancelling = false;
    std::set<int> m_cancelled; // positions
};

} // namespace quintara::ui
