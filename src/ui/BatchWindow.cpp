#include "ui/BatchWindow.h"

#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Prompter.h"
#include "presentation/BatchReport.h"
#include "presentation/BatchTableModel.h"
#include "render/HandOverDocument.h"
#include "settings/Strings.h"
#include "ui/FileDialogs.h"
#include "ui/Mnemonics.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace quintara::ui {

namespace {

// The queue without the link's step, which a finished batch no longer has: the printed report.
class ReportRows final : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool filterAcceptsColumn(int column, const QModelIndex &) const override
    {
        return column != BatchTableModel::Step;
    }
};

int EndedCount(const std::vector<book::BatchItem> &items)
{
    return int(std::count_if(items.begin(), items.end(), [](const book::BatchItem &item) {
        return item.state == book::ItemState::Done || item.state == book::ItemState::Failed;
    }));
}

} // namespace

QString BatchKindText(book::BatchKind kind)
{
    switch (kind) {
    case book::BatchKind::Check:
        return BatchWindow::tr("Check");
    case book::BatchKind::Backup:
        return BatchWindow::tr("Back up");
    case book::BatchKind::Send:
        return BatchWindow::tr("Send");
    case book::BatchKind::SendVerify:
        return BatchWindow::tr("Send and verify");
    }
    return {};
}

BatchWindow::BatchWindow(book::SiteBook &book, const BatchTools &tools, BatchStart start,
                         QWidget *parent)
    : QDialog(parent), m_book(book), m_tools(tools), m_start(start),
      m_work(BatchLinkWork(tools.strings, tools.clock, tools.settingsFile)),
      m_model(new BatchTableModel(this))
{
    setObjectName(QStringLiteral("BatchWindow"));
    setWindowTitle(QStringLiteral("Quintara - ") + tr("Batch: %1").arg(BatchKindText(start.kind)));
    auto *layout = new QVBoxLayout(this);
    m_table = new QTableView(this);
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->setWordWrap(false);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setAccessibleName(tr("Sites of the batch"));
    layout->addWidget(m_table, 1);
    m_progress = new QProgressBar(this);
    m_progress->setFormat(tr("%v of %m sites"));
    layout->addWidget(m_progress);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_status);

    auto *buttons = new QDialogButtonBox(this);
    m_cancel = buttons->addButton(tr("&Cancel batch"), QDialogButtonBox::ActionRole);
    m_cancel->setObjectName(QStringLiteral("cmdCancelBatch"));
    m_saveCsv = buttons->addButton(tr("Save &CSV..."), QDialogButtonBox::ActionRole);
    m_saveCsv->setObjectName(QStringLiteral("cmdSaveCsv"));
    m_savePdf = buttons->addButton(tr("Save &PDF..."), QDialogButtonBox::ActionRole);
    m_savePdf->setObjectName(QStringLiteral("cmdSavePdf"));
    m_close = buttons->addButton(QDialogButtonBox::Close);
    layout->addWidget(buttons);
    for (QPushButton *button : {m_saveCsv, m_savePdf, m_close})
        button->setEnabled(false);

    connect(m_cancel, &QPushButton::clicked, this, &BatchWindow::cancel);
    connect(m_saveCsv, &QPushButton::clicked, this, [this] {
        if (const auto path = chooseFile(tr("Save the report as CSV"),
                                         tr("CSV files (*.csv)|*.csv|"), QStringLiteral("csv")))
            saveCsv(*path);
    });
    connect(m_savePdf, &QPushButton::clicked, this, [this] {
        if (const auto path = chooseFile(tr("Save the report as PDF"),
                                         tr("PDF files (*.pdf)|*.pdf|"), QStringLiteral("pdf")))
            savePdf(*path);
    });
    connect(m_close, &QPushButton::clicked, this, &QDialog::accept);
    m_work.progressText = [this](const QString &text) { m_model->setStep(text); };

    book::BatchQueue queue(m_book, book::BatchQueue::ThisWorker());
    book::Fetched<std::vector<book::BatchItem>> items = queue.items(m_start.batchId);
    m_model->setItems(std::move(items.value));
    m_progress->setRange(0, m_model->rowCount());
    m_progress->setValue(EndedCount(m_model->items()));
    m_table->resizeColumnsToContents();
    // Room for what the state and the step will say while the batch runs.
    const QFontMetrics metrics = m_table->fontMetrics();
    const auto widen = [&](int column, const QString &widest) {
        m_table->setColumnWidth(
            column, std::max(m_table->columnWidth(column), metrics.horizontalAdvance(widest) + 16));
    };
    widen(BatchTableModel::State, tr("cancelled"));
    widen(BatchTableModel::Step, QStringLiteral("Progress: 100%"));
    resize(760, 420);
    QTimer::singleShot(0, this, &BatchWindow::run);
    AssignMnemonics(*this);
}

BatchWindow::~BatchWindow() = default;

void BatchWindow::run()
{
    m_running = true;
    book::BatchQueue queue(m_book, book::BatchQueue::ThisWorker());
    book::BatchProgress progress;
    progress.siteBegins = [this](const book::BatchItem &item, int, int) {
        m_model->siteBegins(item);
        m_table->scrollTo(m_model->index(std::max(0, m_model->rowOf(item)), 0));
        m_status->setText(tr("Working on %1").arg(item.siteName));
    };
    progress.siteEnded = [this](const book::BatchItem &item, int done, int) {
        m_model->siteEnded(item);
        m_progress->setValue(done);
    };
    const book::Fetched<book::BatchSummary> summary =
        book::RunBatch(m_book, queue, m_start.batchId, m_work, m_tools.clock, progress,
                       [this] { return m_cancelled; });
    m_running = false;
    m_ended = m_tools.clock.now();
    if (summary.ok()) {
        m_model->setItems(summary.value.items);
        const int done = EndedCount(summary.value.items);
        m_progress->setValue(done);
        const int total = m_model->rowCount();
        m_status->setText(
            done < total ? tr("Stopped with %1 of %2 sites done; the batch can be "
                              "resumed from the site book.")
                               .arg(done)
                               .arg(total)
                         : tr("Every site had its turn: %1 failed.").arg(summary.value.failed()));
    } else {
        // The book went away: what was done is recorded, the rest can be resumed.
        QStringList texts;
        for (const platform::Notice &notice : summary.notices)
            texts << notice.text;
        m_status->setText(texts.join(QLatin1Char('\n')));
    }
    // The table is the report now: the link has no step any more.
    m_table->setColumnHidden(BatchTableModel::Step, true);
    for (const int column :
         {BatchTableModel::Site, BatchTableModel::State, BatchTableModel::Outcome})
        m_table->resizeColumnToContents(column);
    m_cancel->setEnabled(false);
    for (QPushButton *button : {m_saveCsv, m_savePdf, m_close})
        button->setEnabled(true);
    emit batchEnded();
}

void BatchWindow::cancel()
{
    if (!m_running || m_cancelled)
        return;
    m_cancelled = true;
    m_model->cancelRequested();
    m_cancel->setEnabled(false);
    m_status->setText(tr("Cancelling..."));
    m_work.requestStop();
}

void BatchWindow::reject()
{
    // The book and the unit are left in order first; the window closes once the batch ended.
    if (m_running) {
        cancel();
        return;
    }
    QDialog::reject();
}

std::optional<QString> BatchWindow::chooseFile(const QString &title, const QString &filter,
                                               const QString &extension)
{
    FileDialogRequest request;
    request.title = title;
    request.filter = filter + tr("All files (*.*)|*.*");
    request.initialName =
        tr("batch-%1").arg(m_ended.toString(QStringLiteral("yyyy-MM-dd-HHmm"))) + u'.' + extension;
    request.overwritePrompt = true;
    request.pathMustExist = true;
    const std::optional<QString> chosen = m_tools.dialogs.getSaveFileName(this, request);
    if (!chosen || chosen->isEmpty())
        return std::nullopt;
    return chosen->endsWith(u'.' + extension, Qt::CaseInsensitive) ? *chosen
                                                                   : *chosen + u'.' + extension;
}

bool BatchWindow::write(const QString &path, const QByteArray &bytes)
{
    if (const auto failure = platform::WriteWholeFile(path, bytes)) {
        const QString text =
            platform::FileFailure(path, settings::WriteFailureText(m_tools.strings, *failure));
        m_tools.prompter.show(text, windowTitle(), platform::Buttons::Ok,
                              platform::Icon::Exclamation);
        return false;
    }
    m_status->setText(tr("The report was written to %1.").arg(QDir::toNativeSeparators(path)));
    return true;
}

bool BatchWindow::saveCsv(const QString &path)
{
    book::BatchSummary summary;
    summary.items = m_model->items();
    return write(path, BatchReportCsv(summary).toUtf8());
}

bool BatchWindow::savePdf(const QString &path)
{
    render::DocumentHead head;
    head.fields = {{tr("Batch"), BatchKindText(m_start.kind)},
                   {tr("Date"), m_ended.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"))},
                   {tr("User"), book::CurrentUserName()}};
    head.pageWord = tr("Page");
    ReportRows rows;
    rows.setSourceModel(m_model);
    const QByteArray pdf =
        render::PaintPdf(tr("Batch report"), QPageLayout::Portrait, [&](QPagedPaintDevice &device) {
            return render::PaintTables(device, head, {{tr("Batch report"), &rows}});
        });
    if (pdf.isEmpty()) {
        m_tools.prompter.show(tr("The report could not be painted."), windowTitle(),
                              platform::Buttons::Ok, platform::Icon::Exclamation);
        return false;
    }
    return write(path, pdf);
}

} // namespace quintara::ui
