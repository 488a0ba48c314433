#pragma once

#include "ui/BatchWindow.h"

#include <QPointer>
#include <QWidget>

#include <vector>

class QPushButton;
class QTableView;

namespace quintara::ui {

class SiteListModel;

// The batches the site list offers: a check, a backup or a send with verify over the sites it
// shows (or those selected, when several are), and the resumption of a batch that was stopped.
// Each runs in its own BatchWindow.
class SiteBatchBar : public QWidget {
    Q_OBJECT
public:
    SiteBatchBar(book::SiteBook &book, const BatchTools &tools, QTableView *list,
                 SiteListModel *sites, QWidget *parent = nullptr);

    // The sites a batch would take now.
    std::vector<qint64> chosenSites() const;

    QPushButton *button(book::BatchKind kind) const;
    QPushButton *resumeButton() const { return m_resume; }
    // The window of the batch begun last, while it is open.
    BatchWindow *batchWindow() const { return m_window; }

signals:
    // A batch ended: the list's times and health changed.
    void ran();

private:
    // "the 3 sites shown", "the 2 selected sites".
    static QString siteCount(int count, bool selected);
    void offerChoice();
    void offerResume();
    void begin(book::BatchKind kind);
    void run(const BatchStart &start);

    book::SiteBook &m_book;
    BatchTools m_tools;
    QTableView *m_list;
    SiteListModel *m_sites;
    QPushButton *m_check;
    QPushButton *m_backup;
    QPushButton *m_send;
    QPushButton *m_resume;
    // Cleared by Qt when the window closes, also while this bar's children are deleted.
    QPointer<BatchWindow> m_window;
};

} // namespace quintara::ui
