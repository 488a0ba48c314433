#pragma once

#include "presentation/BatchSetup.h"

#include <QDateTime>
#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;

namespace quintara::platform {
class Clock;
class Prompter;
} // namespace quintara::platform
namespace quintara::settings {
class Strings;
}

namespace quintara::ui {

class BatchTableModel;
class FileDialogs;

// What a batch from the window needs besides the book.
struct BatchTools {
    const settings::Strings &strings;
    const platform::Clock &clock;
    platform::Prompter &prompter;
    FileDialogs &dialogs;
    // Maps port numbers to devices, as for a single transfer.
    QString settingsFile;
};

// What a batch kind is called on a button and in a report.
QString BatchKindText(book::BatchKind kind);

// A batch at work: one row a site, its state and the link's step as they come, a progress bar
// over the sites, and Cancel. Nothing stops to ask: a site that fails is a row. When the batch
// ends the table is its report, to be saved as CSV or PDF.
class BatchWindow : public QDialog {
    Q_OBJECT
public:
    // The batch begins as soon as the event loop turns.
    BatchWindow(book::SiteBook &book, const BatchTools &tools, BatchStart start,
                QWidget *parent = nullptr);
    ~BatchWindow() override;

    bool running() const { return m_running; }
    // Each writes the whole file or nothing, and says where it went or why it did not.
    bool saveCsv(const QString &path);
    bool savePdf(const QString &path);

    BatchTableModel *queue() const { return m_model; }
    QTableView *table() const { return m_table; }
    QProgressBar *progressBar() const { return m_progress; }
    QLabel *statusLabel() const { return m_status; }
    QPushButton *cancelButton() const { return m_cancel; }
    QPushButton *saveCsvButton() const { return m_saveCsv; }
    QPushButton *savePdfButton() const { return m_savePdf; }

    void reject() override;

signals:
    // Every site had its turn, or the batch was cancelled or stopped.
    void batchEnded();

private:
    void run();
    void cancel();
    std::optional<QString> chooseFile(const QString &title, const QString &filter,
                                      const QString &extension);
    bool write(const QString &path, const QByteArray &bytes);

    book::SiteBook &m_book;
    BatchTools m_tools;
    BatchStart m_start;
    book::LinkWork m_work;
    bool m_running = false;
    bool m_cancelled = false;
    QDateTime m_ended;
    BatchTableModel *m_model;
    QTableView *m_table;
    QProgressBar *m_progress;
    QLabel *m_status;
    QPushButton *m_cancel;
    QPushButton *m_saveCsv;
    QPushButton *m_savePdf;
    QPushButton *m_close;
};

} // namespace quintara::ui
